// SPDX-License-Identifier: MIT
#include "error.h"
#include "vips_module.h"
#include "vips_seam.h"

#include <dlfcn.h>
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

[[noreturn]] void cannotLoad(const std::string& why) {
    throw Error(Status::Internal, "libvips", "cannot load the module: " + why);
}

NconvertVipsConvert loadModule() {
    // A bare name: the dynamic loader looks in this program's RUNPATH (an absolute folder of
    // the build or the install, never the folder the program runs from) and in
    // LD_LIBRARY_PATH, which the window sets to its own folder. The module finds libvips beside
    // itself.
    void* module = ::dlopen(NCONVERT_VIPS_MODULE_NAME, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* why = ::dlerror();
        cannotLoad(why ? why : "?");
    }
    const auto version = reinterpret_cast<NconvertVipsSeamVersion>(
        ::dlsym(module, NCONVERT_VIPS_SEAM_VERSION_ENTRY));
    const auto convert =
        reinterpret_cast<NconvertVipsConvert>(::dlsym(module, NCONVERT_VIPS_CONVERT_ENTRY));
    if (!version || !convert)
        cannotLoad("it is of another build (no seam version)");
    if (version() != NCONVERT_VIPS_SEAM_VERSION)
        cannotLoad("it is of another build (seam version " + std::to_string(version()) +
                   ", this converter needs " + std::to_string(NCONVERT_VIPS_SEAM_VERSION) + ")");
    return convert;
}

} // namespace

void convertWithVipsModule(const char* argv0, const unsigned char* data, std::size_t size,
                           const ConvertSettings& settings, OutputSink& sink) {
    const NconvertVipsConvert convert = loadModule();
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
    job.sink = &sink;
    job.append = SinkCallbacks::append;
    job.writeAt = SinkCallbacks::writeAt;
    job.failure = SinkCallbacks::failure;
    const int status = convert(&job);
    if (status == 0)
        return;
    // The module's line is whole, "nconvert: SUBJECT: REASON", its subject one of the names it
    // was given (or libvips itself).
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
