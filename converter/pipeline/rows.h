// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nconvert {

/// The samples of one picture as they travel through the pipeline: rows of interleaved samples,
/// 8 bits (std::uint8_t) or 16 bits (std::uint16_t, native byte order) each, the alpha band last.
struct PictureShape {
    int width = 0;
    int height = 0; ///< of one frame
    int frames = 1; ///< frames of one size, stacked: rows run through the first, then the next
    int bands = 3;  ///< 1 grey, 2 grey + alpha, 3 RGB, 4 RGBA; 4 is CMYK when `cmyk`
    bool alpha = false;
    bool sixteenBit = false;
    bool cmyk = false; ///< four ink bands, no alpha, as libjpeg gives them (Adobe inverted as read)

    int bytesPerSample() const { return sixteenBit ? 2 : 1; }
    std::size_t rowBytes() const { return std::size_t(width) * bands * bytesPerSample(); }
};

/// The colours a frame shows (0xRRGGBB, each once, in the order its rows first show them) and
/// whether some pixel of it is transparent.
struct FrameColours {
    std::vector<std::uint32_t> rgb;
    bool transparent = false;
};

/// What a copy carries besides the pixels. A source fills what its file holds; a sink writes
/// what its format can keep.
struct PictureMetadata {
    /// The EXIF block as TIFF data (beginning "II*\0" or "MM\0*"), without JPEG's "Exif\0\0".
    std::vector<unsigned char> exif;
    std::vector<unsigned char> icc;
    std::string xmp;
    /// PNG text chunks, keyword and text (UTF-8), in file order.
    std::vector<std::pair<std::string, std::string>> text;
    /// Resolution in pixels per metre, horizontally and vertically; 0 when unknown.
    double pixelsPerMetre[2] = {0, 0};
    /// A JPEG source's estimated quality (1..100) and chroma subsampling.
    std::optional<int> jpegQuality;
    bool chromaSubsampled = false;
    /// A WebP source's coding: lossless, or lossy at an estimated quality (1..100).
    bool webpLossless = false;
    std::optional<int> webpQuality;
    /// A TIFF source's Compression tag; 0 when the source was no TIFF.
    int tiffCompression = 0;
    /// An AVIF source's bit depth; 0 when the source was no AVIF.
    int avifBitDepth = 0;
    /// An animation's frame delays in milliseconds and play count (0 for ever, 1 once; a
    /// picture that says nothing plays for ever, as libvips has it).
    std::vector<int> delaysMs;
    int loop = 0;
    /// Each frame's colours, where the source knows them without a pass over its pixels (a
    /// still GIF, from its indices); empty otherwise.
    std::vector<FrameColours> frameColours;
};

/// A decoder that hands out its picture row by row, top to bottom, frame after frame.
/// Damage found while reading throws Error (Status::BadInput, or as the format says).
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual const PictureShape& shape() const = 0;
    virtual const PictureMetadata& metadata() const = 0;
    /// Fills `row` with the next row: shape().rowBytes() bytes.
    virtual void readRow(void* row) = 0;
    /// Starts again at the first row, where the source holds its picture anyway (a GIF's
    /// frames), so that a second pass costs no second decoding. False where it cannot.
    virtual bool rewind() { return false; }
};

/// An encoder fed row by row, top to bottom, frame after frame, in the shape it was made for.
/// A failed write throws Error (Status::CannotWrite) with the sink's reason.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void writeRow(const void* row) = 0;
    /// Where the next row may be built, so that writeRow(rowSpace()) takes it without a copy;
    /// null where the sink keeps no rows of its own.
    virtual void* rowSpace() { return nullptr; }
    /// After the last row: completes the file.
    virtual void finish() = 0;
};

} // namespace nconvert
