// SPDX-License-Identifier: MIT
#pragma once

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace nconvert {

/// libjpeg's error manager for decoding that stops at the first damage: errors and every
/// warning that loses or invents pixels longjmp to `jump` with the text in `message`.
struct StrictJpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

/// Installs the strict handlers into `errors` and returns the manager for cinfo.err; the caller
/// still sets `jump` before calling libjpeg.
jpeg_error_mgr* strictJpegErrors(StrictJpegErrors& errors);

/// Whether libjpeg's warning `code` leaves every pixel as it was encoded.
bool harmlessJpegWarning(int code);

} // namespace nconvert
