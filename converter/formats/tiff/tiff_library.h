// SPDX-License-Identifier: MIT
#pragma once

#include <tiffio.h>

namespace nconvert {

/// Debian's libtiff, opened the first time a TIFF is written rather than linked: linked, it and
/// the six libraries it needs were loaded by every conversion, 1.8 ms a process (a fifth of a
/// small icon's whole conversion), for a format few conversions write.
struct TiffLibrary {
    decltype(&TIFFOpenOptionsAlloc) openOptionsAlloc;
    decltype(&TIFFOpenOptionsFree) openOptionsFree;
    decltype(&TIFFOpenOptionsSetErrorHandlerExtR) setErrorHandler;
    decltype(&TIFFOpenOptionsSetWarningHandlerExtR) setWarningHandler;
    decltype(&TIFFClientOpenExt) clientOpen;
    decltype(&TIFFSetField) setField;
    decltype(&TIFFWriteRawStrip) writeRawStrip;
    decltype(&TIFFWriteDirectory) writeDirectory;
    decltype(&TIFFCleanup) cleanup;
};

/// The library, or null where it cannot be opened (the module's writer then writes TIFF).
const TiffLibrary* tiffLibrary();

} // namespace nconvert
