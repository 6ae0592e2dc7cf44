// SPDX-License-Identifier: MIT
#pragma once

#include "jpeg_strict.h"

#include <cstddef>

namespace nconvert {

/// libjpeg decoding that stops at the first damage (see jpeg_strict.h), in the steps every
/// reader of JPEG pixels takes. Each step returns false on damage or failure, with libjpeg's
/// text in `errors.message`; the decoder is then of no further use.
struct StrictJpegDecoder {
    StrictJpegDecoder() = default;
    StrictJpegDecoder(const StrictJpegDecoder&) = delete;
    StrictJpegDecoder& operator=(const StrictJpegDecoder&) = delete;
    ~StrictJpegDecoder();

    jpeg_decompress_struct cinfo{};
    StrictJpegErrors errors{};
    bool created = false;
    /// Adobe's CMYK JPEGs store inverted ink; rows are handed out as ink.
    bool invert = false;
};

/// Creates the decoder if need be and reads the header of `data` (which must outlive the
/// decoding); again after jpeg_abort_decompress to start over.
bool readJpegHeader(StrictJpegDecoder& decoder, const unsigned char* data, std::size_t size);

/// Starts decompressing with the output colour space libjpeg chose or the caller set.
bool startJpegDecode(StrictJpegDecoder& decoder);

/// Reads the next `count` rows; after the last row of the picture, reads on to the end marker,
/// which finds a stream cut after its last scan and damage after it.
bool readJpegRows(StrictJpegDecoder& decoder, JSAMPROW* rows, int count);

} // namespace nconvert
