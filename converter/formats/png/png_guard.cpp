// SPDX-License-Identifier: MIT
#include "png_guard.h"

#include <cstdio>

namespace nconvert {

void keepPngError(png_structp png, png_const_charp message) {
    auto* messages = static_cast<PngMessages*>(png_get_error_ptr(png));
    std::snprintf(messages->error, sizeof messages->error, "%s", message);
    png_longjmp(png, 1);
}

} // namespace nconvert
