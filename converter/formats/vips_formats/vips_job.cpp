// SPDX-License-Identifier: MIT
#include "vips_job.h"

#include "error.h"

#include <string>

namespace nconvert {
namespace {

struct SinkCallbacks {
    static int append(void* sink, const void* bytes, std::size_t size) {
        return static_cast<OutputSink*>(sink)->append(bytes, size) ? 0 : -1;
    }
    static int writeAt(void* sink, std::uint64_t offset, const void* bytes, std::size_t size) {
        return static_cast<OutputSink*>(sink)->writeAt(offset, bytes, size) ? 0 : -1;
    }
    // The text lives on in the job's sink until the next failure, which never comes: the first
    // failed write ends the conversion.
    static const char* failure(void* sink) {
        thread_local std::string text;
        text = static_cast<OutputSink*>(sink)->failure();
        return text.c_str();
    }
};

} // namespace

NconvertVipsJob vipsJob(const char* argv0, const unsigned char* data, std::size_t size,
                        const ConvertSettings& settings, OutputSink* sink) {
    NconvertVipsJob job{};
    job.version = NCONVERT_VIPS_SEAM_VERSION;
    job.structSize = sizeof job;
    job.argv0 = argv0;
    job.data = data;
    job.size = size;
    job.widthPercent = settings.widthPercent;
    job.heightPercent = settings.heightPercent;
    job.outputFormat = settings.outputFormat ? int32_t(*settings.outputFormat) : -1;
    job.maxInputPixels = settings.limits.maxInputPixels;
    job.maxOutputSide = settings.limits.maxOutputSide;
    job.maxOutputPixels = settings.limits.maxOutputPixels;
    job.maxHeldBytes = settings.limits.maxHeldBytes;
    job.inputName = settings.inputName.c_str();
    job.outputName = settings.outputName.c_str();
    job.sink = sink;
    job.append = SinkCallbacks::append;
    job.writeAt = SinkCallbacks::writeAt;
    job.failure = SinkCallbacks::failure;
    return job;
}

void throwVipsFailure(int status, const NconvertVipsJob& job, const ConvertSettings& settings) {
    const std::string line = job.message;
    for (const std::string& subject : {settings.inputName, settings.outputName}) {
        const std::string prefix = "nconvert: " + subject + ": ";
        if (line.compare(0, prefix.size(), prefix) == 0)
            throw Error(Status(status), subject, line.substr(prefix.size()));
    }
    const std::string prefix = "nconvert: libvips: ";
    throw Error(Status(status), "libvips",
                line.compare(0, prefix.size(), prefix) == 0 ? line.substr(prefix.size())
                                                            : "failed without a word");
}

} // namespace nconvert
