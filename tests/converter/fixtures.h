// SPDX-License-Identifier: MIT
// Test pictures made at run time by libvips, and small helpers around the converter.
#pragma once

#include "conversion.h"
#include "convert.h"
#include "error.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <vips/vips8>

namespace fixtures {

using Bytes = std::vector<unsigned char>;

/// A photo-like uchar picture: gradients plus noise, `bands` 1..4 (4 = RGB + varying alpha).
vips::VImage photo(int width, int height, int bands = 3);

/// An sRGB ICC profile (made by lcms2).
Bytes srgbProfile();

/// A uchar image from explicit samples (row-major, interleaved).
vips::VImage fromSamples(const std::vector<unsigned char>& samples, int width, int height,
                         int bands);

Bytes save(const vips::VImage& image, const char* suffix, vips::VOption* options = nullptr);
vips::VImage load(const Bytes& bytes, bool allFrames = false);

/// The module's row readers and writers, linked into the tests, for ConvertSettings::vipsRows.
const nconvert::VipsRowEntries* moduleRows();

struct Converted {
    nconvert::ConvertResult result;
    Bytes bytes;
};

/// Converts in memory as nconvert does: our pipeline, else the libvips module's convertImage.
Converted convert(const Bytes& input, int widthPercent, int heightPercent,
                  std::optional<nconvert::Format> output = std::nullopt);

/// Which way convertBy goes: as nconvert chooses, or the libvips module's way alone (the
/// reference our pipeline is held to where both can make the copy).
enum class Path { AsNconvert, VipsOnly };
Converted convertBy(Path path, const Bytes& input, int widthPercent, int heightPercent,
                    std::optional<nconvert::Format> output = std::nullopt);

/// Runs convert and returns the status of the Error it throws (Status::Ok when none).
nconvert::Status convertStatus(const Bytes& input, int widthPercent, int heightPercent,
                               std::optional<nconvert::Format> output = std::nullopt);

/// A hand-made BMP: BITMAPINFOHEADER (or V4 with alpha mask), rows given top-down as the
/// already-packed pixel bytes of each row (without padding).
struct BmpLayout {
    BmpLayout(int w, int h, int bits, bool down = false, std::uint32_t comp = 0,
              std::vector<std::uint32_t> m = {})
        : width(w), height(h), bitCount(bits), topDown(down), compression(comp),
          masks(std::move(m)) {}
    int width = 0;
    int height = 0;
    int bitCount = 24;
    bool topDown = false;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> masks;   // R, G, B[, A] for BI_BITFIELDS
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::vector<Bytes> rows;            // top-down, packed
};
Bytes makeBmp(const BmpLayout& layout);

/// A hand-made GIF. Pixels are colour indices in row order (written interlaced when asked),
/// LZW coded as literals only, so any stream the test describes is valid.
struct GifFrame {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> indices;
    std::vector<std::uint32_t> local; ///< a local colour table (0xRRGGBB) when not empty
    bool control = true;              ///< a graphic control block before the frame
    int disposal = 0;
    int delayCs = 0;
    int transparent = -1;
    bool interlaced = false;
};
struct GifLayout {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> global;
    int background = 0;
    int loopRepeats = -1; ///< the looping block's count; none when negative
    std::vector<GifFrame> frames;
};
Bytes makeGif(const GifLayout& layout);

/// A private folder under $TMPDIR, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + "/" + name; }
    std::vector<std::string> entries() const;

private:
    std::string m_path;
};

void writeFile(const std::string& path, const Bytes& bytes);
Bytes readFile(const std::string& path);
bool exists(const std::string& path);

// Appends v big-endian, as PNG and JPEG headers store it.
void appendBe32(Bytes& b, std::uint32_t v);
// Appends one PNG chunk with its length and CRC, for hand-made hostile PNGs.
void appendPngChunk(Bytes& b, const char* type, const Bytes& data);
// An 8-bit RGB PNG whose header claims width x height, with `idat` as its only image data.
Bytes pngClaiming(std::uint32_t width, std::uint32_t height, const Bytes& idat);

} // namespace fixtures
