// SPDX-License-Identifier: MIT
#pragma once

#include "output_sink.h"
#include "rows.h"

#include <memory>
#include <string>

namespace nconvert {

/// How the JPEG writer shares out its work; tests force what a picture would not choose.
struct JpegWriterOptions {
    int threads = 0;     ///< encoding threads at most; 0 for the cores the process may use
    int bandMcuRows = 0; ///< MCU rows a band; 0 for the picture's own choice
};

/// A JPEG encoder writing to `sink` as rows come: grey, RGB or CMYK (ink, stored inverted
/// with Adobe's marker) of 8 bits, baseline with libjpeg's standard Huffman tables, at
/// metadata.jpegQuality (90 without one), 4:2:0 when metadata.chromaSubsampled, else 4:4:4.
/// It carries the EXIF block with its size tags set to the picture's (or, without one, the
/// block of required tags libvips writes, with the resolution), XMP and the ICC
/// profile (split over markers when it needs more than one). A failed write throws
/// Error(Status::CannotWrite, outputName, sink.failure()).
///
/// A picture of more than one band (a couple of megabytes of rows, set by its width) is encoded
/// band by band on up to `options.threads` threads and joined with restart markers; the bytes
/// are the same whatever the number of threads, and the decoded pixels those of one plain
/// scan.
std::unique_ptr<RowSink> openJpegWriter(OutputSink& sink, const PictureShape& shape,
                                        const PictureMetadata& metadata,
                                        const std::string& outputName,
                                        const JpegWriterOptions& options = {});

} // namespace nconvert
