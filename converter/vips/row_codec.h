// SPDX-License-Identifier: MIT
// The module's row readers and writers behind the seam: libvips decodes and encodes, the
// converter's pipeline scales.
#pragma once

#include "error.h"
#include "job.h"
#include "output_sink.h"
#include "vips_runtime.h"
#include "vips_seam.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

namespace nconvert {

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

inline ConvertSettings settingsOf(const NconvertVipsJob& job) {
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

/// Fills `reader` for the job's input; returns the exit status (0, or the job's message set).
int openVipsReader(NconvertVipsJob* job, int32_t format, int32_t keepCmyk,
                   NconvertVipsReader* reader);

/// Fills `writer` for `picture`; returns the exit status as openVipsReader does.
int openVipsWriter(NconvertVipsJob* job, int32_t format, const NconvertVipsPicture* picture,
                   NconvertVipsWriter* writer);

/// Runs `work`, turning what it throws into an exit status and the job's one line.
template <typename Work> int guardedForSeam(NconvertVipsJob& job, Work&& work) {
    std::string line;
    int status = static_cast<int>(Status::Internal);
    try {
        work();
        return 0;
    } catch (const Error& error) {
        line = error.message();
        status = static_cast<int>(error.status());
    } catch (const std::bad_alloc&) {
        line = std::string("nconvert: ") + job.inputName + ": out of memory";
    } catch (const std::exception& error) {
        line = std::string("nconvert: ") + job.inputName + ": " + error.what();
    }
    std::snprintf(job.message, sizeof job.message, "%s", line.c_str());
    return status;
}

} // namespace nconvert
