// SPDX-License-Identifier: MIT
#include "jpeg_tables.h"

#include <climits>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace nconvert {
namespace {

// ITU-T T.81 Annex K tables, natural (row-major) order, as in libjpeg's jcparam.c.
const unsigned kLuma[DCTSIZE2] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                  58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                  22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                  77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                  103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
const unsigned kChroma[DCTSIZE2] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onError(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(manager->jump, 1);
}

void onMessage(j_common_ptr, int) {}

long tableDistance(const JQUANT_TBL* table, bool chroma, int quality) {
    long sum = 0;
    for (int i = 0; i < DCTSIZE2; ++i) {
        const long d = long(table->quantval[i]) - scaledStandardQuant(chroma, i, quality);
        sum += d < 0 ? -d : d;
    }
    return sum;
}

} // namespace

int scaledStandardQuant(bool chroma, int index, int quality) {
    const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    long value = (long(chroma ? kChroma[index] : kLuma[index]) * scale + 50) / 100;
    if (value < 1)
        value = 1;
    if (value > 255)
        value = 255;
    return int(value);
}

JpegEncoding jpegEncodingOf(const jpeg_decompress_struct& cinfo) {
    JpegEncoding encoding;
    // The luma table is the one of the first component; chroma the one of the second.
    // jpeg_read_header does not check the table numbers of the frame header (decoding does, later),
    // so a damaged file can name a table that does not exist.
    const auto table = [&](int component) -> const JQUANT_TBL* {
        if (component >= cinfo.num_components)
            return nullptr;
        const int number = cinfo.comp_info[component].quant_tbl_no;
        return number >= 0 && number < NUM_QUANT_TBLS ? cinfo.quant_tbl_ptrs[number] : nullptr;
    };
    const JQUANT_TBL* luma = table(0);
    const JQUANT_TBL* chroma = table(1);
    if (chroma == luma)
        chroma = nullptr;
    if (luma) {
        long best = LONG_MAX;
        for (int q = 1; q <= 100; ++q) {
            long d = tableDistance(luma, false, q);
            if (chroma)
                d += tableDistance(chroma, true, q);
            if (d < best) {
                best = d;
                encoding.quality = q;
            }
        }
    }
    if (cinfo.num_components >= 3 && cinfo.comp_info) {
        const auto& y = cinfo.comp_info[0];
        for (int c = 1; c < cinfo.num_components && c < 3; ++c) {
            if (cinfo.comp_info[c].h_samp_factor < y.h_samp_factor ||
                cinfo.comp_info[c].v_samp_factor < y.v_samp_factor)
                encoding.chromaSubsampled = true;
        }
    }
    return encoding;
}

std::optional<JpegEncoding> inspectJpeg(const unsigned char* data, std::size_t size) {
    jpeg_decompress_struct cinfo{};
    ErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = onMessage;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return std::nullopt;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return std::nullopt;
    }

    const JpegEncoding encoding = jpegEncodingOf(cinfo);
    jpeg_destroy_decompress(&cinfo);
    return encoding;
}

} // namespace nconvert
