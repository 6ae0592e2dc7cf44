// SPDX-License-Identifier: MIT
#include "gif_decoder.h"

#include "bytes.h"
#include "gif_lzw.h"
#include "gif_parser.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace nconvert {
namespace {

constexpr int kDisposalBackground = 2;
constexpr int kDisposalPrevious = 3;
// A frame without a graphic control block shows for this long in libvips' loader.
constexpr int kDefaultDelayCs = 10;

// libvips' loader takes a screen of these sizes, or over 2048 pixels a side, for a size left
// over from the program that made the file, and makes the screen just large enough for the
// frames instead.
bool screenReplacedByLoader(int width, int height) {
    static constexpr int kScreens[][2] = {{640, 480},  {640, 512},   {800, 600},
                                          {1024, 768}, {1280, 1024}, {1600, 1200}};
    for (const auto& screen : kScreens)
        if (width == screen[0] && height == screen[1])
            return true;
    return width > 2048 || height > 2048;
}

struct Control {
    bool seen = false;
    int disposal = 0;
    int delayCs = kDefaultDelayCs;
    int transparent = -1;
};

struct ColourTable {
    const unsigned char* rgb = nullptr;
    int entries = 0;
};

struct Frame {
    int x = 0, y = 0, width = 0, height = 0;
    bool interlaced = false;
    ColourTable table;
    Control control;
    std::vector<unsigned char> indices; // in row order, interlacing undone
};

// The screen as libvips' loader makes it: the file's own, except that a size it takes for one
// left over from the program that made the file becomes just large enough for the first frame
// (from the screen's corner; later frames reaching beyond it are left to libvips). Nothing
// when the blocks cannot be walked.
std::optional<std::array<int, 2>> loaderScreen(const unsigned char* data, std::size_t size) {
    const int width = int(readLe16(data + 6));
    const int height = int(readLe16(data + 8));
    if (!screenReplacedByLoader(width, height))
        return std::array<int, 2>{width, height};
    GifParser parser(data, size);
    parser.take(13);
    if ((data[10] & 0x80) && !parser.skip(GifParser::colourTableBytes(data[10])))
        return std::nullopt;
    std::array<int, 2> extent{0, 0};
    while (parser.left(1)) {
        const unsigned char block = *parser.take(1);
        if (block == 0x3b)
            break;
        if (block == 0x21) {
            if (!parser.skip(1) || !parser.subBlocks(nullptr))
                return std::nullopt;
            continue;
        }
        if (block != 0x2c || !parser.left(10))
            return std::nullopt;
        const unsigned char* d = parser.take(9);
        extent = {int(readLe16(d) + readLe16(d + 4)), int(readLe16(d + 2) + readLe16(d + 6))};
        break;
    }
    if (extent[0] == 0 || extent[1] == 0)
        return std::nullopt;
    return extent;
}

// Rows of an interlaced frame come in four passes: every 8th from 0, every 8th from 4, every
// 4th from 2, every 2nd from 1.
void deinterlace(Frame& frame) {
    std::vector<unsigned char> rows(frame.indices.size());
    const std::size_t w = std::size_t(frame.width);
    static constexpr int kPasses[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
    std::size_t source = 0;
    for (const auto& pass : kPasses)
        for (int y = pass[0]; y < frame.height; y += pass[1], ++source)
            std::memcpy(&rows[w * std::size_t(y)], &frame.indices[w * source], w);
    frame.indices.swap(rows);
}

// The logical screen as libvips' loader keeps it between frames: RGBA, transparent black
// before the first frame.
class Canvas {
public:
    Canvas(int width, int height, std::array<unsigned char, 4> background)
        : m_width(width), m_background(background), m_rgba(std::size_t(width) * height * 4, 0) {}

    // Draws `frame` after undoing what the frame before asked to be undone. False when the
    // frame cannot be drawn exactly.
    bool draw(const Frame& frame) {
        if (m_previous) {
            const Placed& before = *m_previous;
            if (before.disposal == kDisposalBackground) {
                clear(before);
            } else if (before.disposal == kDisposalPrevious) {
                if (m_saved.empty())
                    return false;
                m_rgba = m_saved;
            }
        }
        if (frame.control.disposal == kDisposalPrevious) {
            if (!m_previous)
                return false;
            m_saved = m_rgba;
        }
        const int transparent = frame.control.transparent;
        // Each entry as the four bytes it puts down, so that a pixel is one store.
        std::array<unsigned char, 256 * 4> colours{};
        for (int i = 0; i < frame.table.entries; ++i) {
            std::memcpy(&colours[std::size_t(i) * 4], frame.table.rgb + 3 * i, 3);
            colours[std::size_t(i) * 4 + 3] = 255;
        }
        for (int y = 0; y < frame.height; ++y) {
            const unsigned char* index = &frame.indices[std::size_t(y) * frame.width];
            unsigned char* out = pixel(frame.x, frame.y + y);
            for (int x = 0; x < frame.width; ++x, out += 4) {
                const int i = index[x];
                if (i == transparent)
                    continue;
                if (i >= frame.table.entries)
                    return false;
                std::memcpy(out, &colours[std::size_t(i) * 4], 4);
            }
        }
        m_previous = Placed{
            frame.x, frame.y, frame.width, frame.height, frame.control.disposal, transparent >= 0};
        return true;
    }

    const LargeVector<unsigned char>& rgba() const { return m_rgba; }
    LargeVector<unsigned char> takeRgba() { return std::move(m_rgba); }

private:
    unsigned char* pixel(int x, int y) { return &m_rgba[(std::size_t(y) * m_width + x) * 4]; }

    // What disposing of a frame needs to know of it.
    struct Placed {
        int x, y, width, height;
        int disposal;
        bool transparent;
    };

    // A frame with a transparent index leaves its rectangle transparent, one without it the
    // screen's background colour.
    void clear(const Placed& frame) {
        const std::array<unsigned char, 4> fill =
            frame.transparent ? std::array<unsigned char, 4>{} : m_background;
        for (int y = 0; y < frame.height; ++y) {
            unsigned char* out = pixel(frame.x, frame.y + y);
            for (int x = 0; x < frame.width; ++x, out += 4)
                std::memcpy(out, fill.data(), 4);
        }
    }

    int m_width;
    std::array<unsigned char, 4> m_background;
    LargeVector<unsigned char> m_rgba;
    LargeVector<unsigned char> m_saved;
    std::optional<Placed> m_previous;
};

// Graphic control, looping and comments; anything else is not handled here.
bool readExtension(GifParser& parser, Control& control, int& loop) {
    if (!parser.left(1))
        return false;
    const unsigned char label = *parser.take(1);
    if (label == 0xf9) {
        const unsigned char* body = parser.exactBlock(4);
        if (!body || control.seen)
            return false;
        control.seen = true;
        control.disposal = body[0] >> 2 & 7;
        control.delayCs = int(readLe16(body + 1));
        control.transparent = body[0] & 1 ? body[3] : -1;
        return control.disposal <= kDisposalPrevious;
    }
    if (label == 0xff) {
        const unsigned char* id = parser.left(12) ? parser.take(12) : nullptr;
        if (!id || id[0] != 11 || std::memcmp(id + 1, "NETSCAPE2.0", 11) != 0)
            return false;
        const unsigned char* body = parser.exactBlock(3);
        if (!body || body[0] != 1)
            return false;
        // The block counts repeats after the first showing; 0 is for ever.
        const int repeats = int(readLe16(body + 1));
        loop = repeats == 0 ? 0 : repeats + 1;
        return true;
    }
    if (label == 0xfe)
        return parser.subBlocks(nullptr);
    return false;
}

bool readFrame(GifParser& parser, const ColourTable& global, int screenWidth, int screenHeight,
               Frame& frame) {
    if (!parser.left(9))
        return false;
    const unsigned char* d = parser.take(9);
    frame.x = int(readLe16(d));
    frame.y = int(readLe16(d + 2));
    frame.width = int(readLe16(d + 4));
    frame.height = int(readLe16(d + 6));
    const unsigned char flags = d[8];
    if (frame.width == 0 || frame.height == 0 || frame.x + frame.width > screenWidth ||
        frame.y + frame.height > screenHeight)
        return false;
    frame.interlaced = flags & 0x40;
    frame.table = global;
    if (flags & 0x80) {
        frame.table.entries = 2 << (flags & 7);
        if (!parser.left(3 * std::size_t(frame.table.entries)))
            return false;
        frame.table.rgb = parser.take(3 * std::size_t(frame.table.entries));
    }
    if (!frame.table.rgb || !parser.left(1))
        return false;
    const int minCodeSize = *parser.take(1);
    std::vector<unsigned char> lzw;
    if (!parser.subBlocks(&lzw))
        return false;
    frame.indices.resize(std::size_t(frame.width) * frame.height);
    if (!decodeLzw(minCodeSize, lzw, frame.indices.data(), frame.indices.size()))
        return false;
    if (frame.interlaced)
        deinterlace(frame);
    return true;
}

// A still frame that covers the screen shows its own indices and nothing of the screen under
// them: it is kept as they are, with its colours in the order its rows first show them, as
// counting the composed rows would find them. Nothing when an index lies past the table.
std::optional<ComposedGif::Indexed> indexedStill(Frame& frame) {
    ComposedGif::Indexed still;
    const int transparent = frame.control.transparent;
    for (int i = 0; i < frame.table.entries; ++i) {
        const unsigned char* rgb = frame.table.rgb + 3 * i;
        still.rgba[std::size_t(i)] = std::uint32_t(rgb[0]) | std::uint32_t(rgb[1]) << 8 |
                                     std::uint32_t(rgb[2]) << 16 | 0xff000000u;
    }
    if (transparent >= 0)
        still.rgba[std::size_t(transparent)] = 0;
    std::array<bool, 256> seen{};
    for (const unsigned char index : frame.indices) {
        if (seen[index])
            continue;
        seen[index] = true;
        if (index == transparent) {
            still.transparent = true;
            continue;
        }
        if (index >= frame.table.entries)
            return std::nullopt;
        const unsigned char* rgb = frame.table.rgb + 3 * index;
        const std::uint32_t colour =
            std::uint32_t(rgb[0]) << 16 | std::uint32_t(rgb[1]) << 8 | rgb[2];
        // A table may hold a colour twice; the rows show it once.
        if (std::find(still.colours.begin(), still.colours.end(), colour) == still.colours.end())
            still.colours.push_back(colour);
    }
    still.indices = std::move(frame.indices);
    return still;
}

} // namespace

std::optional<std::array<int, 2>> gifScreen(const unsigned char* data, std::size_t size) {
    if (size < 13)
        return std::nullopt;
    return loaderScreen(data, size);
}

std::optional<ComposedGif> decodeGif(const unsigned char* data, std::size_t size,
                                     std::int64_t maxPixels) {
    if (size < 13 || (std::memcmp(data, "GIF87a", 6) != 0 && std::memcmp(data, "GIF89a", 6) != 0))
        return std::nullopt;
    const std::optional<std::array<int, 2>> screen = loaderScreen(data, size);
    if (!screen)
        return std::nullopt;
    const int width = (*screen)[0];
    const int height = (*screen)[1];
    if (width == 0 || height == 0 || std::int64_t(width) * height > maxPixels)
        return std::nullopt;
    GifParser parser(data, size);
    parser.take(13);
    const unsigned char flags = data[10];
    ColourTable global;
    std::array<unsigned char, 4> background{};
    if (flags & 0x80) {
        global.entries = 2 << (flags & 7);
        if (!parser.left(3 * std::size_t(global.entries)))
            return std::nullopt;
        global.rgb = parser.take(3 * std::size_t(global.entries));
        const int index = data[11] < global.entries ? data[11] : 0;
        std::memcpy(background.data(), global.rgb + 3 * index, 3);
        background[3] = 255;
    }
    ComposedGif gif;
    gif.frameHeight = height;
    // Made with the second frame: a still picture that covers the screen needs none.
    std::optional<Canvas> canvas;
    LargeVector<unsigned char> stacked;
    int drawn = 0;
    const auto draw = [&](const Frame& frame) {
        if (!canvas)
            canvas.emplace(width, height, background);
        // The frame before as it was shown: what it asked to be undone is undone in draw().
        if (drawn++ > 0)
            stacked.insert(stacked.end(), canvas->rgba().begin(), canvas->rgba().end());
        return canvas->draw(frame);
    };
    std::optional<Frame> last; // read, not yet drawn
    bool trailer = false;
    bool transparency = false;
    Control control;
    while (parser.left(1)) {
        const unsigned char block = *parser.take(1);
        if (block == 0x3b) {
            trailer = true;
            break;
        }
        if (block == 0x21) {
            if (!readExtension(parser, control, gif.loop))
                return std::nullopt;
            continue;
        }
        if (block != 0x2c)
            return std::nullopt;
        if (std::int64_t(width) * height * (gif.frames + 1) > maxPixels)
            return std::nullopt;
        Frame frame;
        frame.control = control;
        control = Control{};
        if (!readFrame(parser, global, width, height, frame))
            return std::nullopt;
        if (last && !draw(*last))
            return std::nullopt;
        transparency = transparency || frame.control.transparent >= 0;
        gif.delaysMs.push_back(frame.control.delayCs * 10);
        ++gif.frames;
        last = std::move(frame);
    }
    // Bytes after the trailer, a control block that belongs to no frame: unusual.
    if (!trailer || !parser.done() || gif.frames == 0 || control.seen)
        return std::nullopt;
    Pixels<std::uint8_t>& pixels = gif.pixels;
    pixels.width = width;
    pixels.height = height * gif.frames;
    pixels.bands = transparency ? 4 : 3;
    pixels.alpha = transparency;
    // (Disposal to the previous frame on the first is left to libvips: draw() refuses it.)
    if (gif.frames == 1 && last->width == width && last->height == height &&
        last->control.disposal != kDisposalPrevious) {
        gif.indexed = indexedStill(*last);
        if (!gif.indexed)
            return std::nullopt;
        return gif;
    }
    if (!draw(*last))
        return std::nullopt;
    // The last frame is taken from the canvas itself: a still picture is never copied whole.
    if (transparency) {
        if (stacked.empty()) {
            pixels.samples = canvas->takeRgba();
        } else {
            stacked.insert(stacked.end(), canvas->rgba().begin(), canvas->rgba().end());
            pixels.samples = std::move(stacked);
        }
        return gif;
    }
    pixels.samples.resize((stacked.size() + canvas->rgba().size()) / 4 * 3);
    unsigned char* out = pixels.samples.data();
    const LargeVector<unsigned char>* parts[] = {&stacked, &canvas->rgba()};
    for (const LargeVector<unsigned char>* rgba : parts) {
        const unsigned char* in = rgba->data();
        for (std::size_t i = 0; i < rgba->size(); i += 4, out += 3) {
            out[0] = in[i];
            out[1] = in[i + 1];
            out[2] = in[i + 2];
        }
    }
    return gif;
}

} // namespace nconvert
