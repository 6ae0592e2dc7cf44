// SPDX-License-Identifier: MIT
#pragma once

#include <csetjmp>
#include <png.h>

namespace nconvert {

/// What libpng said, kept for the error its caller throws. Give it as the error pointer of
/// png_create_read_struct or png_create_write_struct, with keepPngError as the error handler.
struct PngMessages {
    char error[256] = {};   ///< why libpng gave up
    char warning[256] = {}; ///< a warning a handler holds back for a later decision
};

/// libpng's error handler: keeps the reason in the PngMessages and returns to pngGuarded.
[[noreturn]] void keepPngError(png_structp png, png_const_charp message);

/// Runs `calls`, libpng calls only: false when libpng gave up. libpng leaves by longjmp, so no
/// object with a destructor may be alive inside `calls`.
template <typename Calls> bool pngGuarded(png_structp png, Calls calls) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    calls();
    return true;
}

} // namespace nconvert
