// SPDX-License-Identifier: MIT
#include "jpeg_decoder.h"

// after jpeglib.h, which it needs
#include <jerror.h>

namespace nconvert {

// Each step is kept free of C++ objects with destructors between its setjmp and its last
// libjpeg call: libjpeg leaves by longjmp.

bool readJpegHeader(StrictJpegDecoder& decoder, const unsigned char* data, std::size_t size) {
    if (!decoder.created)
        decoder.cinfo.err = strictJpegErrors(decoder.errors);
    if (setjmp(decoder.errors.jump))
        return false;
    if (!decoder.created) {
        jpeg_create_decompress(&decoder.cinfo);
        decoder.created = true;
    }
    jpeg_mem_src(&decoder.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&decoder.cinfo, TRUE);
    return true;
}

bool startJpegDecode(StrictJpegDecoder& decoder) {
    if (setjmp(decoder.errors.jump))
        return false;
    jpeg_start_decompress(&decoder.cinfo);
    decoder.invert = decoder.cinfo.out_color_space == JCS_CMYK && decoder.cinfo.saw_Adobe_marker;
    return true;
}

bool readJpegRows(StrictJpegDecoder& decoder, JSAMPROW* rows, int count) {
    jpeg_decompress_struct* cinfo = &decoder.cinfo;
    if (setjmp(decoder.errors.jump))
        return false;
    for (int done = 0; done < count;) {
        if (cinfo->output_scanline >= cinfo->output_height)
            ERREXIT(cinfo, JWRN_TOO_MUCH_DATA);
        done += int(jpeg_read_scanlines(cinfo, rows + done, JDIMENSION(count - done)));
    }
    if (decoder.invert) {
        const std::size_t bytes = std::size_t(cinfo->output_width) * cinfo->output_components;
        for (int i = 0; i < count; ++i)
            for (std::size_t k = 0; k < bytes; ++k)
                rows[i][k] = JSAMPLE(255 - rows[i][k]);
    }
    if (cinfo->output_scanline == cinfo->output_height)
        jpeg_finish_decompress(cinfo);
    return true;
}

StrictJpegDecoder::~StrictJpegDecoder() {
    if (created)
        jpeg_destroy_decompress(&cinfo);
}

} // namespace nconvert
