// SPDX-License-Identifier: MIT
#include "gif_palette.h"

#include <algorithm>
#include <limits>

namespace nconvert {
namespace {

constexpr int kMaxEntries = 256;
constexpr std::uint32_t kUsed = 1u << 24;
constexpr int kCacheBits = 14;

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

PaletteMapper::PaletteMapper(const GifPalette& palette, int bands)
    : m_bands(bands), m_colours(palette.colours),
      m_transparentIndex(palette.transparent ? palette.transparentIndex() : -1),
      m_cacheKeys(std::size_t(1) << kCacheBits, 0), m_cacheValues(std::size_t(1) << kCacheBits) {}

unsigned char PaletteMapper::nearest(std::uint32_t rgb) {
    const std::size_t slot = hashOf(rgb) >> (24 - kCacheBits) & ((1u << kCacheBits) - 1);
    if (m_cacheKeys[slot] == (rgb | kUsed))
        return m_cacheValues[slot];
    const int r = int(rgb >> 16), g = int(rgb >> 8 & 0xff), b = int(rgb & 0xff);
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < int(m_colours.size()); ++i) {
        const std::uint32_t c = m_colours[i];
        const int dr = r - int(c >> 16), dg = g - int(c >> 8 & 0xff), db = b - int(c & 0xff);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0)
                break;
        }
    }
    m_cacheKeys[slot] = rgb | kUsed;
    m_cacheValues[slot] = static_cast<unsigned char>(best);
    return static_cast<unsigned char>(best);
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
    ColourCounter all(3);
    bool fits = true;
    bool transparent = false;
    for (const GifPalette& frame : frames) {
        transparent = transparent || frame.transparent;
        for (std::uint32_t rgb : frame.colours) {
            const unsigned char p[3] = {static_cast<unsigned char>(rgb >> 16),
                                        static_cast<unsigned char>(rgb >> 8),
                                        static_cast<unsigned char>(rgb)};
            fits = fits && all.addRow(p, 1);
        }
    }
    plan.global = all.palette();
    plan.global.transparent = transparent;
    if (fits && plan.global.size() <= kMaxEntries)
        return plan;
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
