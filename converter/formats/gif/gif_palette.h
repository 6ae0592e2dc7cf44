// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

namespace nconvert {

/// Below this alpha a pixel is written transparent, at or above it opaque (libvips' GIF saver
/// draws the same line).
constexpr int kGifAlphaThreshold = 128;

/// Colours of a GIF colour table: distinct opaque colours (0xRRGGBB), then, when some pixel is
/// transparent, one transparent entry after them.
struct GifPalette {
    std::vector<std::uint32_t> colours;
    bool transparent = false;

    int size() const { return int(colours.size()) + (transparent ? 1 : 0); }
    int transparentIndex() const { return int(colours.size()); }
};

/// Collects the distinct colours of rows of 8-bit pixels (1 to 4 bands: grey, grey + alpha,
/// RGB, RGBA). Gives up once they no longer fit a GIF colour table.
class ColourCounter {
public:
    explicit ColourCounter(int bands);
    /// False once the rows so far hold more than 256 colours, the transparent one included.
    bool addRow(const unsigned char* pixels, int width);
    GifPalette palette() const;

private:
    bool insert(std::uint32_t rgb);

    int m_bands;
    bool m_transparent = false;
    bool m_full = false;
    std::vector<std::uint32_t> m_colours;
    std::array<std::uint32_t, 1024> m_slots{}; // rgb | kUsed, open addressing
};

/// Maps pixels onto a palette's indices: a colour of the palette to itself, any other opaque
/// colour to the nearest entry by squared RGB distance, a pixel below the alpha threshold to
/// the transparent entry (when the palette has none, the pixel counts as opaque). Several
/// threads may map rows at once, sharing what the mapper has learnt.
class PaletteMapper {
public:
    /// `pixels`: about how many pixels will be mapped, which sizes the cache of answers.
    PaletteMapper(const GifPalette& palette, int bands, std::int64_t pixels = 1 << 20);
    void mapRow(const unsigned char* pixels, int width, unsigned char* indices);

private:
    unsigned char nearest(std::uint32_t rgb);

    int m_bands;
    std::vector<std::uint32_t> m_colours;
    // The entries sorted by green, the search walking outwards from the pixel's green.
    struct Entry {
        int green, red, blue, index;
    };
    std::vector<Entry> m_byGreen;
    int m_transparentIndex = -1;
    // Enlarged pictures repeat the same few blends at every edge: a direct-mapped cache of
    // recent answers saves the search through the palette for nearly every pixel. An entry is
    // the colour and its answer in one word, so that threads sharing the cache read whole
    // entries; any answer there is right, whichever thread wrote it.
    int m_cacheBits;
    std::vector<std::atomic<std::uint32_t>> m_cache;
};

/// How a picture's frames are coloured: one global table shared by all, or, where the frames
/// together have too many colours, each frame its own local table (`local`, one per frame).
struct GifPalettes {
    GifPalette global;
    std::vector<GifPalette> local;
};

/// The tables for frames of the given colours: one global table when their union fits, else
/// a local table per frame. Nothing when a single frame has too many colours.
std::optional<GifPalettes> planPalettes(const std::vector<GifPalette>& frames);

} // namespace nconvert
