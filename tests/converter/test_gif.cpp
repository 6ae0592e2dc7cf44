// SPDX-License-Identifier: MIT
// Our own GIF writer, read back by libvips, and where libvips' saver still takes over.
#include "fixtures.h"
#include "gif_palette.h"

#include <gtest/gtest.h>
#include <random>
#include <set>

using namespace nconvert;
using fixtures::Bytes;
using vips::VImage;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

std::vector<unsigned char> samplesOf(const VImage& image) {
    size_t size = 0;
    void* data = image.write_to_memory(&size);
    std::vector<unsigned char> samples(static_cast<unsigned char*>(data),
                                       static_cast<unsigned char*>(data) + size);
    g_free(data);
    return samples;
}

// libvips loads a GIF without transparency as RGB.
VImage withAlpha(const VImage& image) {
    return image.bands() == 4 ? image : image.bandjoin_const({255});
}

// The opaque colours of an RGB or RGBA picture, as 0xRRGGBB.
std::set<std::uint32_t> opaqueColours(const VImage& image) {
    std::set<std::uint32_t> colours;
    const std::vector<unsigned char> s = samplesOf(withAlpha(image));
    for (std::size_t i = 0; i + 3 < s.size(); i += 4)
        if (s[i + 3] == 255)
            colours.insert(std::uint32_t(s[i]) << 16 | std::uint32_t(s[i + 1]) << 8 | s[i + 2]);
    return colours;
}

struct Animation {
    const char* name;
    int frames;
    int coloursPerFrame;
    bool transparency;
    std::vector<int> delays;
    int loop;
};

// Frames of kWidth x kHeight, each with its own colours; with transparency, frame k is
// transparent on its left 16 * k columns (a still picture on its left 16), so a frame may be
// transparent where the one before was opaque.
Bytes gifOf(const Animation& a) {
    std::vector<unsigned char> samples;
    for (int k = 0; k < a.frames; ++k)
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const int c = (x / 3 * 7 + y / 3 * 13) % a.coloursPerFrame;
                const int clear = a.transparency ? (a.frames == 1 ? 16 : 16 * k) : 0;
                samples.insert(samples.end(),
                               {static_cast<unsigned char>(c * 5 % 256),
                                static_cast<unsigned char>(k * 80), static_cast<unsigned char>(c),
                                static_cast<unsigned char>(x < clear ? 0 : 255)});
            }
    VImage image = fixtures::fromSamples(samples, kWidth, kHeight * a.frames, 4)
                       .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    image.set(VIPS_META_PAGE_HEIGHT, kHeight);
    if (!a.delays.empty())
        image.set("delay", a.delays);
    image.set("loop", a.loop);
    return fixtures::save(image, ".gif", VImage::option()->set("dither", 0.0));
}

} // namespace

TEST(Gif, enlargedGifsKeepTheirFramesTimingTransparencyAndColours) {
    const Animation cases[] = {
        {"still", 1, 4, false, {}, 0},
        {"still with transparency", 1, 6, true, {}, 1},
        {"animated, one table", 3, 50, true, {100, 250, 400}, 3},
        {"animated, a table per frame", 3, 200, true, {20, 30, 70}, 2},
    };
    for (const Animation& a : cases) {
        SCOPED_TRACE(a.name);
        const Bytes gif = gifOf(a);
        const VImage in = withAlpha(fixtures::load(gif, true));
        const auto out = fixtures::convert(gif, 200, 200);
        const VImage result = withAlpha(fixtures::load(out.bytes, true));
        EXPECT_EQ(result.width(), 2 * kWidth);
        EXPECT_EQ(vips_image_get_page_height(result.get_image()), 2 * kHeight);
        EXPECT_EQ(vips_image_get_n_pages(result.get_image()), a.frames);
        EXPECT_EQ(result.get_int("loop"), in.get_int("loop"));
        if (a.frames > 1) {
            EXPECT_EQ(result.get_array_int("delay"), in.get_array_int("delay"));
        }
        // Transparent where the source is, also in a frame after an opaque one.
        for (int k = 0; k < a.frames; ++k)
            for (int x : {4, 2 * kWidth - 4}) {
                const int y = k * 2 * kHeight + kHeight;
                EXPECT_EQ(result.getpoint(x, y)[3], in.getpoint(x / 2, y / 2)[3])
                    << "frame " << k << " x " << x;
            }
        // No new colour: edges take the nearest colour of the source.
        const std::set<std::uint32_t> source = opaqueColours(in);
        for (std::uint32_t rgb : opaqueColours(result))
            ASSERT_TRUE(source.count(rgb)) << std::hex << rgb;
    }
}

TEST(Gif, beyond256ColoursLibvipsQuantises) {
    struct Case {
        int colours;
        bool transparent;
        bool exact;
    };
    const Case cases[] = {
        {256, false, true}, {255, true, true}, {257, false, false}, {256, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.colours) + (c.transparent ? " + transparent" : ""));
        const int width = c.colours + (c.transparent ? 1 : 0);
        std::vector<unsigned char> samples;
        for (int y = 0; y < 2; ++y)
            for (int i = 0; i < width; ++i)
                samples.insert(samples.end(),
                               {static_cast<unsigned char>(i % 256),
                                static_cast<unsigned char>(i / 256 * 100), 7,
                                static_cast<unsigned char>(i < c.colours ? 255 : 0)});
        const VImage picture =
            fixtures::fromSamples(samples, width, 2, 4)
                .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
        const Bytes png = fixtures::save(picture, ".png");
        const VImage result = fixtures::load(fixtures::convert(png, 100, 100, Format::Gif).bytes);
        ASSERT_EQ(result.width(), width);
        const std::set<std::uint32_t> colours =
            opaqueColours(result.bands() == 4 ? result : result.bandjoin_const({255}));
        if (c.exact)
            EXPECT_EQ(colours, opaqueColours(picture));
        else
            EXPECT_LE(colours.size(), 255u); // a quantised palette, as before
    }
}

TEST(Gif, nearestColourIsTheFullSearchsLowestIndexAmongEquals) {
    // Few levels per primary and repeated greens: many pixels lie at equal distances.
    std::mt19937 random(7);
    GifPalette palette;
    for (int i = 0; i < 200; ++i)
        palette.colours.push_back(std::uint32_t(random() % 6 * 51) << 16 |
                                  std::uint32_t(random() % 4 * 85) << 8 | random() % 6 * 51);
    PaletteMapper mapper(palette, 3);
    for (int n = 0; n < 20000; ++n) {
        const unsigned char pixel[3] = {static_cast<unsigned char>(random()),
                                        static_cast<unsigned char>(random()),
                                        static_cast<unsigned char>(random())};
        int best = 0;
        int bestDistance = 1 << 30;
        for (int i = 0; i < int(palette.colours.size()); ++i) {
            const std::uint32_t c = palette.colours[std::size_t(i)];
            const int dr = pixel[0] - int(c >> 16), dg = pixel[1] - int(c >> 8 & 0xff),
                      db = pixel[2] - int(c & 0xff);
            if (dr * dr + dg * dg + db * db < bestDistance) {
                bestDistance = dr * dr + dg * dg + db * db;
                best = i;
            }
        }
        unsigned char index = 0;
        mapper.mapRow(pixel, 1, &index);
        ASSERT_EQ(index, best) << int(pixel[0]) << " " << int(pixel[1]) << " " << int(pixel[2]);
    }
}
