// SPDX-License-Identifier: MIT
#include "gif_palette.h"

#include <algorithm>
#include <limits>

namespace nconvert {
namespace {

constexpr int kMaxEntries = 256;
constexpr std::uint32_t kUsed = 1u << 24;
constexpr int kMaxCacheBits = 16;
constexpr int kMinCacheBits = 8;

// A cache of a quarter of the pixels' number holds most of an enlargement's blends; a small
// picture spares the zeroing and page faults of the full one.
int cacheBitsFor(std::int64_t pixels) {
    int bits = kMinCacheBits;
    while (bits < kMaxCacheBits && (std::int64_t(1) << (bits + 2)) < pixels)
        ++bits;
    return bits;
}

// The pixel's colour as 0xRRGGBB and whether it is opaque enough to be drawn.
inline std::uint32_t colourAt(const unsigned char* p, int bands, bool& opaque) {
    switch (bands) {
    case 1:
        opaque = true;
        return std::uint32_t(p[0]) * 0x010101u;
    case 2:
        opaque = p[1] >= kGifAlphaThreshold;
        return std::uint32_t(p[0]) * 0x010101u;
    case 3:
        opaque = true;
        return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
    default:
        opaque = p[3] >= kGifAlphaThreshold;
        return std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
    }
}

inline std::uint32_t hashOf(std::uint32_t rgb) {
    return (rgb * 2654435761u) >> 8;
}

} // namespace

ColourCounter::ColourCounter(int bands) : m_bands(bands) {}

bool ColourCounter::insert(std::uint32_t rgb) {
    const std::uint32_t mask = std::uint32_t(m_slots.size()) - 1;
    for (std::uint32_t i = hashOf(rgb) & mask;; i = (i + 1) & mask) {
        if (m_slots[i] == (rgb | kUsed))
            return true;
        if (m_slots[i] == 0) {
            if (int(m_colours.size()) + (m_transparent ? 1 : 0) >= kMaxEntries)
                return false;
            m_slots[i] = rgb | kUsed;
            m_colours.push_back(rgb);
            return true;
        }
    }
}

bool ColourCounter::addRow(const unsigned char* pixels, int width) {
    if (m_full)
        return false;
    // A run of one colour costs one look-up.
    std::uint32_t last = std::numeric_limits<std::uint32_t>::max();
    for (int x = 0; x < width; ++x, pixels += m_bands) {
        bool opaque = true;
        const std::uint32_t rgb = colourAt(pixels, m_bands, opaque);
        const std::uint32_t key = opaque ? rgb : kUsed;
        if (key == last)
            continue;
        last = key;
        if (!opaque) {
            if (!m_transparent && int(m_colours.size()) >= kMaxEntries) {
                m_full = true;
                return false;
            }
            m_transparent = true;
        } else if (!insert(rgb)) {
            m_full = true;
            return false;
        }
    }
    return true;
}

GifPalette ColourCounter::palette() const {
    GifPalette palette;
    palette.colours = m_colours;
    palette.transparent = m_transparent;
    return palette;
}

PaletteMapper::PaletteMapper(const GifPalette& palette, int bands, std::int64_t pixels)
    : m_bands(bands), m_colours(palette.colours),
      m_transparentIndex(palette.transparent ? palette.transparentIndex() : -1),
      m_cacheBits(cacheBitsFor(pixels)), m_cache(std::size_t(1) << m_cacheBits) {
    // An empty entry reads as black mapped to entry 0, and black's place is slot 0: there it
    // is replaced by a colour that belongs elsewhere.
    m_cache[0].store(1u << 8, std::memory_order_relaxed);
    for (std::size_t i = 0; i < m_colours.size(); ++i) {
        const std::uint32_t rgb = m_colours[i];
        m_byGreen.push_back(Entry{int(rgb >> 8 & 0xff), int(rgb >> 16), int(rgb & 0xff), int(i)});
    }
    std::sort(m_byGreen.begin(), m_byGreen.end(),
              [](const Entry& a, const Entry& b) { return a.green < b.green; });
}

unsigned char PaletteMapper::nearest(std::uint32_t rgb) {
    const std::size_t slot = hashOf(rgb) >> (24 - m_cacheBits) & ((1u << m_cacheBits) - 1);
    const std::uint32_t cached = m_cache[slot].load(std::memory_order_relaxed);
    if (cached >> 8 == rgb)
        return static_cast<unsigned char>(cached);
    const int r = int(rgb >> 16), g = int(rgb >> 8 & 0xff), b = int(rgb & 0xff);
    // Distance and index in one number (the distance is at most 3 * 255^2 < 2^18): the least
    // is the nearest colour, the lowest index among equals. An entry whose green alone is
    // farther than the best distance cannot win or tie, nor can any beyond it, so each
    // direction stops there; the answer is that of a search through every entry.
    std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
    const auto consider = [&](const Entry& e) {
        const int dr = r - e.red, dg = g - e.green, db = b - e.blue;
        best = std::min(best,
                        std::uint32_t(dr * dr + dg * dg + db * db) << 8 | std::uint32_t(e.index));
    };
    const auto beyond = [&](int dg) { return std::uint32_t(dg * dg) > best >> 8; };
    const auto start = std::lower_bound(m_byGreen.begin(), m_byGreen.end(), g,
                                        [](const Entry& e, int green) { return e.green < green; });
    for (auto e = start; e != m_byGreen.end() && !beyond(e->green - g); ++e)
        consider(*e);
    for (auto e = start; e != m_byGreen.begin() && !beyond(g - (e - 1)->green); --e)
        consider(*(e - 1));
    const auto index = static_cast<unsigned char>(best & 0xff);
    m_cache[slot].store(rgb << 8 | index, std::memory_order_relaxed);
    return index;
}

void PaletteMapper::mapRow(const unsigned char* pixels, int width, unsigned char* indices) {
    // A palette of only the transparent entry: every pixel is that entry.
    if (m_colours.empty()) {
        std::fill(indices, indices + width, static_cast<unsigned char>(0));
        return;
    }
    std::uint32_t lastKey = std::numeric_limits<std::uint32_t>::max();
    unsigned char lastIndex = 0;
    for (int x = 0; x < width; ++x, pixels += m_bands) {
        bool opaque = true;
        const std::uint32_t rgb = colourAt(pixels, m_bands, opaque);
        const bool transparent = !opaque && m_transparentIndex >= 0;
        const std::uint32_t key = transparent ? kUsed : rgb;
        if (key != lastKey) {
            lastKey = key;
            lastIndex = transparent ? static_cast<unsigned char>(m_transparentIndex) : nearest(rgb);
        }
        indices[x] = lastIndex;
    }
}

std::optional<GifPalettes> planPalettes(const std::vector<GifPalette>& frames) {
    GifPalettes plan;
    if (frames.empty())
        return plan;
    for (const GifPalette& frame : frames)
        if (frame.size() > kMaxEntries)
            return std::nullopt;
    std::vector<std::uint32_t> sorted;
    bool transparent = false;
    for (const GifPalette& frame : frames) {
        transparent = transparent || frame.transparent;
        sorted.insert(sorted.end(), frame.colours.begin(), frame.colours.end());
    }
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    if (int(sorted.size()) + (transparent ? 1 : 0) <= kMaxEntries) {
        plan.global.colours = sorted;
        plan.global.transparent = transparent;
        return plan;
    }
    // A frame is cleared before the next is drawn, and readers clear a frame without a
    // transparent entry to the opaque background colour: in an animation with transparency
    // every table needs the entry, used or not.
    plan.local = frames;
    for (GifPalette& frame : plan.local) {
        frame.transparent = frame.transparent || transparent;
        if (frame.size() > kMaxEntries)
            return std::nullopt;
    }
    plan.global = plan.local.front();
    return plan;
}

} // namespace nconvert
