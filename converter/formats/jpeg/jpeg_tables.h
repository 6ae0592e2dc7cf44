// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>

struct jpeg_decompress_struct;

namespace nconvert {

/// How a JPEG was encoded, as far as re-encoding it at the same settings needs.
struct JpegEncoding {
    int quality = 90;              ///< IJG quality whose scaled standard tables fit best, 1..100
    bool chromaSubsampled = false; ///< colour planes stored at less than full resolution
};

/// Reads the JPEG's header only (libjpeg's jpeg_read_header) and estimates its quality by
/// comparing its quantisation tables with the standard tables scaled for every quality.
/// Nothing when the header cannot be read.
std::optional<JpegEncoding> inspectJpeg(const unsigned char* data, std::size_t size);

/// The same estimate from a decoder that has read the header.
JpegEncoding jpegEncodingOf(const jpeg_decompress_struct& cinfo);

/// The standard (Annex K) table scaled the way libjpeg's jpeg_set_quality does it.
int scaledStandardQuant(bool chroma, int index, int quality);

} // namespace nconvert
