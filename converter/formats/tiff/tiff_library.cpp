// SPDX-License-Identifier: MIT
#include "tiff_library.h"

#include <dlfcn.h>

namespace nconvert {
namespace {

template <class Function> bool find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

const TiffLibrary* open() {
    // Local: its symbols stay out of the process's namespace, where the libvips module may
    // bring a libtiff of its own.
    void* library = ::dlopen(QUORVEL_LIBTIFF_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    static TiffLibrary found;
    if (find(library, "TIFFOpenOptionsAlloc", found.openOptionsAlloc) &&
        find(library, "TIFFOpenOptionsFree", found.openOptionsFree) &&
        find(library, "TIFFOpenOptionsSetErrorHandlerExtR", found.setErrorHandler) &&
        find(library, "TIFFOpenOptionsSetWarningHandlerExtR", found.setWarningHandler) &&
        find(library, "TIFFClientOpenExt", found.clientOpen) &&
        find(library, "TIFFSetField", found.setField) &&
        find(library, "TIFFWriteRawStrip", found.writeRawStrip) &&
        find(library, "TIFFWriteDirectory", found.writeDirectory) &&
        find(library, "TIFFCleanup", found.cleanup))
        return &found;
    ::dlclose(library);
    return nullptr;
}

} // namespace

const TiffLibrary* tiffLibrary() {
    static const TiffLibrary* const library = open();
    return library;
}

} // namespace nconvert
