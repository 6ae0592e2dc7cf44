// SPDX-License-Identifier: MIT
#include "error.h"
#include "vips_module.h"

#include <dlfcn.h>

namespace nconvert {

VipsModuleEntry loadVipsModule() {
    // A bare name: the dynamic loader looks in this program's RUNPATH (an absolute folder of
    // the build or the install, never the folder the program runs from) and in
    // LD_LIBRARY_PATH, which the window sets to its own folder. The module finds libvips beside
    // itself.
    void* module = ::dlopen(kVipsModuleName, RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        const char* why = ::dlerror();
        throw Error(Status::Internal, "libvips", std::string("cannot load: ") + (why ? why : "?"));
    }
    void* entry = ::dlsym(module, kVipsModuleEntry);
    if (!entry)
        throw Error(Status::Internal, "libvips", "cannot load: no entry in the module");
    return reinterpret_cast<VipsModuleEntry>(entry);
}

} // namespace nconvert
