// SPDX-License-Identifier: MIT
#include "error.h"
#include "vips_job.h"
#include "vips_module.h"
#include "vips_seam.h"

#include <dlfcn.h>
#include <string>

namespace nconvert {
namespace {

[[noreturn]] void cannotLoad(const std::string& why) {
    throw Error(Status::Internal, "libvips", "cannot load the module: " + why);
}

struct Module {
    NconvertVipsConvert convert = nullptr;
    VipsRowEntries rows;
};

// Loaded once, on first need, and kept for the process.
const Module& loadModule() {
    static Module loaded;
    if (loaded.convert)
        return loaded;
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
    if (!version)
        cannotLoad("it is of another build (no seam version)");
    if (version() != NCONVERT_VIPS_SEAM_VERSION)
        cannotLoad("it is of another build (seam version " + std::to_string(version()) +
                   ", this converter needs " + std::to_string(NCONVERT_VIPS_SEAM_VERSION) + ")");
    Module found;
    found.convert =
        reinterpret_cast<NconvertVipsConvert>(::dlsym(module, NCONVERT_VIPS_CONVERT_ENTRY));
    found.rows.openReader =
        reinterpret_cast<NconvertVipsOpenReader>(::dlsym(module, NCONVERT_VIPS_OPEN_READER_ENTRY));
    found.rows.openWriter =
        reinterpret_cast<NconvertVipsOpenWriter>(::dlsym(module, NCONVERT_VIPS_OPEN_WRITER_ENTRY));
    if (!found.convert || !found.rows.openReader || !found.rows.openWriter)
        cannotLoad("it lacks an entry of seam version " +
                   std::to_string(NCONVERT_VIPS_SEAM_VERSION));
    loaded = found;
    return loaded;
}

const char* g_argv0 = nullptr;

} // namespace

const VipsRowEntries* vipsModuleRows() {
    static VipsRowEntries rows;
    rows = loadModule().rows;
    rows.argv0 = g_argv0;
    return &rows;
}

void setVipsModuleArgv0(const char* argv0) {
    g_argv0 = argv0;
}

void convertWithVipsModule(const char* argv0, const unsigned char* data, std::size_t size,
                           const ConvertSettings& settings, OutputSink& sink) {
    const NconvertVipsConvert convert = loadModule().convert;
    NconvertVipsJob job = vipsJob(argv0, data, size, settings, &sink);
    const int status = convert(&job);
    if (status != 0)
        throwVipsFailure(status, job, settings);
}

} // namespace nconvert
