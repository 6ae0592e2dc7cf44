// SPDX-License-Identifier: MIT
// The entry of the libvips module: everything that needs libvips runs behind it, reached only
// through the plain-C seam.
#include "convert.h"
#include "error.h"
#include "vips_runtime.h"
#include "vips_seam.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

namespace nconvert {
namespace {

// The converter's output, seen through the seam's callbacks.
class SeamSink : public OutputSink {
public:
    explicit SeamSink(const NconvertVipsJob& job) : m_job(job) {}
    bool append(const void* data, std::size_t size) override {
        return m_job.append(m_job.sink, data, size) == 0;
    }
    bool writeAt(std::uint64_t offset, const void* data, std::size_t size) override {
        return m_job.writeAt(m_job.sink, offset, data, size) == 0;
    }
    std::string failure() const override {
        const char* why = m_job.failure(m_job.sink);
        return why ? why : "";
    }

private:
    const NconvertVipsJob& m_job;
};

ConvertSettings settingsOf(const NconvertVipsJob& job) {
    ConvertSettings settings;
    settings.widthPercent = job.widthPercent;
    settings.heightPercent = job.heightPercent;
    if (job.outputFormat >= 0)
        settings.outputFormat = Format(job.outputFormat);
    settings.limits.maxInputPixels = job.maxInputPixels;
    settings.limits.maxOutputSide = job.maxOutputSide;
    settings.limits.maxOutputPixels = job.maxOutputPixels;
    settings.limits.maxHeldBytes = job.maxHeldBytes;
    settings.inputName = job.inputName;
    settings.outputName = job.outputName;
    return settings;
}

void setMessage(NconvertVipsJob& job, const std::string& line) {
    std::snprintf(job.message, sizeof job.message, "%s", line.c_str());
}

} // namespace
} // namespace nconvert

extern "C" __attribute__((visibility("default"))) std::uint32_t nconvert_vips_seam_version() {
    return NCONVERT_VIPS_SEAM_VERSION;
}

extern "C" __attribute__((visibility("default"))) int nconvert_vips_convert(NconvertVipsJob* job) {
    using namespace nconvert;
    if (job->version != NCONVERT_VIPS_SEAM_VERSION || job->structSize != sizeof(NconvertVipsJob))
        return static_cast<int>(Status::Internal); // not ours to read, not even its message
    try {
        const ConvertSettings settings = settingsOf(*job);
        if (!startVips(job->argv0))
            throw Error(Status::Internal, "libvips", "cannot start: " + takeVipsError());
        SeamSink sink(*job);
        convertImage(job->data, job->size, settings, sink);
        return 0;
    } catch (const Error& error) {
        setMessage(*job, error.message());
        return static_cast<int>(error.status());
    } catch (const std::bad_alloc&) {
        setMessage(*job, std::string("nconvert: ") + job->inputName + ": out of memory");
    } catch (const std::exception& error) {
        setMessage(*job, std::string("nconvert: ") + job->inputName + ": " + error.what());
    }
    return static_cast<int>(Status::Internal);
}
