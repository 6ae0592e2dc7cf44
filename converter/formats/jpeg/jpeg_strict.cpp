// SPDX-License-Identifier: MIT
#include "jpeg_strict.h"

// after jpeglib.h, which it needs
#include <jerror.h>

namespace nconvert {
namespace {

// Both errors and damage warnings end the decode: there is no sensible way to go on.
[[noreturn]] void onError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<StrictJpegErrors*>(cinfo->err);
    cinfo->err->format_message(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && !harmlessJpegWarning(cinfo->err->msg_code))
        onError(cinfo);
}

} // namespace

jpeg_error_mgr* strictJpegErrors(StrictJpegErrors& errors) {
    jpeg_error_mgr* manager = jpeg_std_error(&errors.base);
    manager->error_exit = onError;
    manager->emit_message = onMessage;
    return manager;
}

bool harmlessJpegWarning(int code) {
    // Padding before a marker (some cameras write it), an unknown JFIF revision and scan
    // parameters a sequential decoder ignores: the pixels are intact.
    // Anything else (bad Huffman or arithmetic code, premature end, lost restart markers, bad
    // progression, unknown colour transform) loses or invents pixels.
    switch (code) {
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_JFIF_MAJOR:
    case JWRN_NOT_SEQUENTIAL:
        return true;
    default:
        return false;
    }
}

} // namespace nconvert
