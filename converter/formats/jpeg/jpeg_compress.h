// SPDX-License-Identifier: MIT
#pragma once

#include "error.h"
#include "rows.h"

#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <string>
#include <vector>

namespace nconvert {

/// How one picture is encoded: what every libjpeg compressor of it is given, so that bands
/// encoded apart share their tables, and the metadata markers that open the file.
struct JpegEncoding {
    PictureShape shape;
    int quality = 90;
    bool subsampled = false;
    std::vector<unsigned char> exif; ///< the APP1 body, "Exif\0\0" included
    std::vector<unsigned char> xmp;  ///< the APP1 body; empty without XMP
    std::vector<unsigned char> icc;
    /// MCU rows of a band, which is also the restart interval when there is more than one.
    int bandMcuRows = 1;

    int mcuHeight() const { return shape.bands == 3 && subsampled ? 16 : 8; }
    int bandRows() const { return bandMcuRows * mcuHeight(); }
    int bandCount() const { return (shape.height + bandRows() - 1) / bandRows(); }
};

/// The encoding of `shape` with `metadata`'s quality, subsampling and markers. The bands are
/// about a couple of megabytes of rows each, set by the width alone (so the file is the same
/// on any machine); `forcedBandMcuRows` > 0 asks for that many MCU rows instead.
JpegEncoding jpegEncoding(const PictureShape& shape, const PictureMetadata& metadata,
                          int forcedBandMcuRows = 0);

/// Sets up `cinfo` (created, its destination set) for `height` rows of the picture and starts
/// it; with `markers`, writes the metadata markers too. libjpeg's errors longjmp as `cinfo`'s
/// error manager says, so the caller sets its jump first.
void startJpegCompress(jpeg_compress_struct& cinfo, const JpegEncoding& encoding, int height,
                       bool markers);

/// The error for a compression libjpeg gave up on, with its `message`.
Error jpegEncodingError(const std::string& outputName, const char* message);

/// A libjpeg compressor destroyed with its owner, even when making it failed half way.
struct JpegCompressor {
    JpegCompressor() = default;
    JpegCompressor(const JpegCompressor&) = delete;
    JpegCompressor& operator=(const JpegCompressor&) = delete;
    ~JpegCompressor() {
        if (created)
            jpeg_destroy_compress(&cinfo);
    }
    jpeg_compress_struct cinfo{};
    bool created = false;
};

} // namespace nconvert
