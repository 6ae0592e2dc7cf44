// SPDX-License-Identifier: MIT
// Our pipeline against the libvips module, where both can make the copy.
#include "conversion.h"
#include "fixtures.h"

#include <cstring>
#include <gtest/gtest.h>
#include <lcms2.h>

using fixtures::Bytes;
using nconvert::Format;
using vips::VImage;
using vips::VOption;

namespace {

Bytes greyProfile() {
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.2);
    cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), gamma);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    Bytes bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    cmsFreeToneCurve(gamma);
    return bytes;
}

VImage withIcc(VImage image, const Bytes& icc) {
    image = image.copy();
    vips_image_set_blob_copy(image.get_image(), VIPS_META_ICC_NAME, icc.data(), icc.size());
    return image;
}

// `jpeg` with its EXIF block replaced by a JFIF header of that density unit and value.
Bytes withJfif(const Bytes& jpeg, unsigned char unit, unsigned density) {
    const unsigned char d0 = static_cast<unsigned char>(density >> 8);
    const unsigned char d1 = static_cast<unsigned char>(density);
    Bytes out = {0xff, 0xd8, 0xff, 0xe0, 0,  16, 'J', 'F', 'I', 'F',
                 0,    1,    1,    unit, d0, d1, d0,  d1,  0,   0};
    std::size_t pos = 2;
    while (jpeg[pos + 1] != 0xda) {
        const std::size_t length = std::size_t(jpeg[pos + 2]) << 8 | jpeg[pos + 3];
        if (jpeg[pos + 1] != 0xe1)
            out.insert(out.end(), jpeg.begin() + long(pos), jpeg.begin() + long(pos + 2 + length));
        pos += 2 + length;
    }
    out.insert(out.end(), jpeg.begin() + long(pos), jpeg.end());
    return out;
}

// `png` with the chunks libvips does not read: colour hints before the image data, text after.
Bytes withUnreadChunks(const Bytes& png) {
    Bytes out(png.begin(), png.begin() + 8);
    std::size_t pos = 8;
    while (pos < png.size()) {
        const std::size_t length = std::size_t(png[pos]) << 24 | std::size_t(png[pos + 1]) << 16 |
                                   std::size_t(png[pos + 2]) << 8 | png[pos + 3];
        const std::string type(png.begin() + long(pos + 4), png.begin() + long(pos + 8));
        if (type == "IDAT" && out.size() == pos) { // first image data, nothing inserted yet
            fixtures::appendPngChunk(out, "gAMA", {0, 0, 0xb1, 0x8f});
            fixtures::appendPngChunk(out, "sRGB", {0});
            fixtures::appendPngChunk(out, "tIME", {0x07, 0xea, 12, 8, 20, 30, 0});
        }
        if (type == "IEND")
            fixtures::appendPngChunk(out, "tEXt", {'d', 'a', 't', 'e', 0, '2', '0', '2', '6'});
        out.insert(out.end(), png.begin() + long(pos), png.begin() + long(pos + 12 + length));
        pos += 12 + length;
    }
    return out;
}

// `gif` with its first frame's LZW data replaced by codes that are not in the table.
Bytes withBadLzw(Bytes gif) {
    std::size_t pos = 13 + (gif[10] & 0x80 ? 3u * (2u << (gif[10] & 7)) : 0);
    while (gif[pos] == 0x21) {
        pos += 2;
        while (gif[pos] != 0)
            pos += gif[pos] + 1;
        ++pos;
    }
    pos += 10 + (gif[pos + 9] & 0x80 ? 3u * (2u << (gif[pos + 9] & 7)) : 0);
    std::fill(gif.begin() + long(pos) + 2, gif.begin() + long(pos) + 2 + gif[pos + 1], 0xff);
    return gif;
}

// Two frames of 200 colours each, the second drawn over half of the first.
Bytes manyColourGif() {
    fixtures::GifLayout layout;
    layout.width = 20;
    layout.height = 20;
    for (int k = 0; k < 2; ++k) {
        fixtures::GifFrame frame;
        frame.width = 20;
        frame.height = 20 - 10 * k;
        frame.y = 10 * k;
        for (std::uint32_t i = 0; i < 200; ++i)
            frame.local.push_back(i << 8 | std::uint32_t(k) << 16);
        for (int i = 0; i < frame.width * frame.height; ++i)
            frame.indices.push_back(static_cast<unsigned char>(i % 200));
        layout.frames.push_back(frame);
    }
    return fixtures::makeGif(layout);
}

// A 640 x 480 screen (a size programs leave over) around two small frames, the first away
// from the corner.
Bytes monitorSizedGif() {
    fixtures::GifLayout layout;
    layout.width = 640;
    layout.height = 480;
    layout.global = {0x000000, 0xffffff, 0xff0000, 0x00ff00};
    fixtures::GifFrame frame;
    frame.x = 2;
    frame.y = 1;
    frame.width = frame.height = 4;
    frame.indices.assign(16, 1);
    layout.frames.push_back(frame);
    fixtures::GifFrame later;
    later.x = 3;
    later.y = 2;
    later.width = 2;
    later.height = 2;
    later.indices = {2, 3, 3, 2};
    layout.frames.push_back(later);
    return fixtures::makeGif(layout);
}

// The copy our pipeline makes, or nothing when it leaves the picture to libvips.
std::optional<Bytes> convertInPipeline(const Bytes& input, int widthPercent, int heightPercent) {
    nconvert::ConvertSettings settings;
    settings.widthPercent = widthPercent;
    settings.heightPercent = heightPercent;
    nconvert::MemorySink sink;
    if (!nconvert::convertInPipeline(input.data(), input.size(), settings, sink))
        return std::nullopt;
    return sink.bytes();
}

// The libvips module drops EXIF from a PNG; our pipeline keeps the source's.
bool droppedFromPngByLibvips(const VImage& image, const std::string& name) {
    return image.get_string("vips-loader") == std::string("pngload_buffer") &&
           (name.rfind("exif-", 0) == 0 || name == "orientation" || name == "resolution-unit");
}

// Every field libvips reads from the file, by value (blobs byte by byte).
void expectSameMetadata(const VImage& a, const VImage& b) {
    char** fa = vips_image_get_fields(a.get_image());
    char** fb = vips_image_get_fields(b.get_image());
    std::vector<std::string> na, nb;
    for (char** f = fa; *f; ++f)
        if (!droppedFromPngByLibvips(a, *f))
            na.emplace_back(*f);
    for (char** f = fb; *f; ++f)
        if (!droppedFromPngByLibvips(b, *f))
            nb.emplace_back(*f);
    g_strfreev(fa);
    g_strfreev(fb);
    ASSERT_EQ(na, nb);
    for (const std::string& name : na) {
        if (name == "filename")
            continue;
        if (vips_image_get_typeof(a.get_image(), name.c_str()) == VIPS_TYPE_BLOB) {
            const void* da = nullptr;
            const void* db = nullptr;
            size_t sa = 0, sb = 0;
            vips_image_get_blob(a.get_image(), name.c_str(), &da, &sa);
            vips_image_get_blob(b.get_image(), name.c_str(), &db, &sb);
            EXPECT_TRUE(sa == sb && std::memcmp(da, db, sa) == 0) << name;
        } else {
            char* va = nullptr;
            char* vb = nullptr;
            vips_image_get_as_string(a.get_image(), name.c_str(), &va);
            vips_image_get_as_string(b.get_image(), name.c_str(), &vb);
            EXPECT_STREQ(va, vb) << name;
            g_free(va);
            g_free(vb);
        }
    }
}

} // namespace

TEST(Reference, ourPipelineGivesTheLibvipsModulesPixelsAndMetadata) {
    VImage oriented = withIcc(fixtures::photo(40, 30, 1), greyProfile());
    oriented.set(VIPS_META_ORIENTATION, 6);
    VImage sixteen =
        withIcc(
            (fixtures::photo(20, 16, 3).cast(VIPS_FORMAT_USHORT) * 257).cast(VIPS_FORMAT_USHORT),
            fixtures::srgbProfile())
            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_RGB16));
    sixteen.set("png-comment-0-Title", "quorvel");
    const Bytes plainJpeg = fixtures::save(fixtures::photo(24, 16), ".jpg");
    const struct {
        const char* name;
        Bytes input;
        int widthPercent;
        int heightPercent;
        std::vector<const char*> kept; // fields the case is about
    } cases[] = {
        {"jpeg 4:2:0", fixtures::save(fixtures::photo(64, 48), ".jpg"), 200, 200, {}},
        {"jpeg 4:4:4, reduced",
         fixtures::save(
             fixtures::photo(64, 48), ".jpg",
             VImage::option()->set("Q", 93)->set("subsample_mode", VIPS_FOREIGN_SUBSAMPLE_OFF)),
         50,
         75,
         {}},
        {"grey jpeg, EXIF and ICC",
         fixtures::save(oriented, ".jpg"),
         300,
         150,
         {VIPS_META_ICC_NAME, VIPS_META_EXIF_NAME, VIPS_META_ORIENTATION}},
        {"jpeg, JFIF 300 dpi", withJfif(plainJpeg, 1, 300), 200, 200, {VIPS_META_EXIF_NAME}},
        {"jpeg, JFIF 118 per cm", withJfif(plainJpeg, 2, 118), 200, 200, {VIPS_META_EXIF_NAME}},
        {"jpeg, JFIF aspect only", withJfif(plainJpeg, 0, 1), 200, 200, {VIPS_META_EXIF_NAME}},
        {"png rgb", fixtures::save(fixtures::photo(16, 16), ".png"), 200, 200, {}},
        {"png rgba", fixtures::save(fixtures::photo(16, 16, 4), ".png"), 300, 200, {}},
        {"png with chunks libvips does not read",
         withUnreadChunks(fixtures::save(fixtures::photo(16, 16), ".png")),
         200,
         200,
         {}},
        {"png grey + alpha", fixtures::save(fixtures::photo(17, 9, 2), ".png"), 200, 100, {}},
        {"png 16-bit, ICC and text",
         fixtures::save(sixteen, ".png"),
         150,
         250,
         {VIPS_META_ICC_NAME, "png-comment-0-Title"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Bytes> ours =
            convertInPipeline(c.input, c.widthPercent, c.heightPercent);
        ASSERT_TRUE(ours);
        const VImage fast = fixtures::load(*ours);
        const VImage full = fixtures::load(
            fixtures::convertBy(fixtures::Path::VipsOnly, c.input, c.widthPercent, c.heightPercent)
                .bytes);
        ASSERT_EQ(fast.width(), full.width());
        ASSERT_EQ(fast.height(), full.height());
        ASSERT_EQ(fast.bands(), full.bands());
        ASSERT_EQ(fast.format(), full.format());
        EXPECT_LE((fast - full).abs().max(), 1.0);
        expectSameMetadata(fast, full);
        for (const char* field : c.kept)
            EXPECT_NE(vips_image_get_typeof(fast.get_image(), field), 0u) << field;
    }
}

// libvips is loaded only for what our pipeline cannot do; everything else, large, unusual or
// damaged, is ours to convert or to refuse.
TEST(Reference, leavesToLibvipsOnlyWhatThePipelineCannotDo) {
    const Bytes cmyk =
        fixtures::save(fixtures::photo(32, 32).colourspace(VIPS_INTERPRETATION_CMYK), ".jpg");
    Bytes cut = fixtures::save(fixtures::photo(32, 32), ".jpg");
    cut.resize(cut.size() * 3 / 4);
    const auto png = [](VOption* options) {
        return fixtures::save(fixtures::photo(16, 16), ".png", options);
    };
    enum Outcome { Ours, Libvips, Refused };
    const struct {
        const char* name;
        Bytes input;
        std::optional<Format> output;
        Outcome outcome;
    } cases[] = {
        {"large jpeg", fixtures::save(fixtures::photo(600, 500), ".jpg"), std::nullopt, Ours},
        {"cmyk jpeg", cmyk, std::nullopt, Ours},
        {"cmyk jpeg to png: colour management", cmyk, Format::Png, Libvips},
        {"damaged jpeg", cut, std::nullopt, Refused},
        {"palette png", png(VImage::option()->set("palette", true)), std::nullopt, Ours},
        {"interlaced png", png(VImage::option()->set("interlace", true)), std::nullopt, Ours},
        {"large gif", fixtures::save(fixtures::photo(400, 400), ".gif"), std::nullopt, Ours},
        {"photo to gif: quantising", fixtures::save(fixtures::photo(40, 40), ".png"), Format::Gif,
         Libvips},
        {"gif, frames composed into over 256 colours", manyColourGif(), std::nullopt, Libvips},
        {"gif, damaged LZW", withBadLzw(fixtures::save(fixtures::photo(16, 16), ".gif")),
         std::nullopt, Libvips},
        {"gif, a screen size libvips replaces by the frames' extent", monitorSizedGif(),
         std::nullopt, Ours},
    };
    for (const auto& c : cases) {
        nconvert::ConvertSettings settings;
        settings.widthPercent = settings.heightPercent = 200;
        settings.outputFormat = c.output;
        nconvert::MemorySink sink;
        Outcome outcome = Refused;
        try {
            outcome = nconvert::convertInPipeline(c.input.data(), c.input.size(), settings, sink)
                          ? Ours
                          : Libvips;
        } catch (const nconvert::Error&) {
        }
        EXPECT_EQ(outcome, c.outcome) << c.name;
        if (outcome == Libvips) {
            EXPECT_TRUE(sink.bytes().empty()) << c.name;
        }
    }
}

TEST(Reference, ourPipelineWritesTheLibvipsModulesGif) {
    const std::vector<std::uint32_t> four = {0xff0000, 0x00ff00, 0x0000ff, 0xffffff};
    const auto frame = [](int x, int y, int width, int height, int colours, int seed) {
        fixtures::GifFrame f;
        f.x = x;
        f.y = y;
        f.width = width;
        f.height = height;
        for (int i = 0; i < width * height; ++i)
            f.indices.push_back(
                static_cast<unsigned char>((i / 3 * 7 + i / width * 5 + seed) % colours));
        return f;
    };
    const auto layout = [&](std::vector<fixtures::GifFrame> frames) {
        fixtures::GifLayout l;
        l.width = 12;
        l.height = 10;
        l.global = four;
        l.frames = std::move(frames);
        return l;
    };
    fixtures::GifLayout still = layout({frame(0, 0, 12, 10, 4, 0)});
    still.frames[0].control = false;
    fixtures::GifLayout transparent = layout({frame(0, 0, 12, 10, 4, 1)});
    transparent.frames[0].transparent = 2;
    fixtures::GifLayout animated =
        layout({frame(0, 0, 12, 10, 4, 0), frame(0, 0, 12, 10, 3, 1), frame(0, 0, 12, 10, 2, 2)});
    animated.loopRepeats = 2;
    for (int k = 0; k < 3; ++k)
        animated.frames[k].delayCs = 7 + 40 * k;
    fixtures::GifLayout forever = animated;
    forever.loopRepeats = 0;
    fixtures::GifLayout interlaced = layout({frame(0, 0, 12, 10, 4, 3)});
    interlaced.frames[0].interlaced = true;
    // Each later frame covers part of the screen, on what the one before left.
    fixtures::GifLayout offset = layout({frame(0, 0, 12, 10, 2, 0), frame(3, 2, 5, 4, 4, 1)});
    offset.frames[1].local = {0x102030, 0x405060, 0x708090, 0xa0b0c0};
    offset.background = 3;
    fixtures::GifLayout restoreBackground = offset;
    restoreBackground.frames[1].disposal = 2;
    restoreBackground.frames.push_back(frame(6, 5, 6, 5, 4, 2));
    fixtures::GifLayout restoreTransparent = restoreBackground;
    restoreTransparent.frames[1].transparent = 0;
    fixtures::GifLayout restorePrevious = restoreBackground;
    restorePrevious.frames[1].disposal = 3;
    const struct {
        const char* name;
        Bytes input;
        int widthPercent;
        int heightPercent;
    } cases[] = {
        {"still, no control block", fixtures::makeGif(still), 200, 200},
        {"still, transparent", fixtures::makeGif(transparent), 300, 200},
        {"animated, delays, looping twice", fixtures::makeGif(animated), 200, 200},
        {"animated, looping for ever, reduced", fixtures::makeGif(forever), 50, 75},
        {"interlaced", fixtures::makeGif(interlaced), 200, 200},
        {"a frame smaller than the screen, local table", fixtures::makeGif(offset), 200, 200},
        {"disposal to the background", fixtures::makeGif(restoreBackground), 200, 200},
        {"disposal to transparency", fixtures::makeGif(restoreTransparent), 200, 200},
        {"disposal to the previous frame", fixtures::makeGif(restorePrevious), 200, 200},
        {"made by libvips", fixtures::save(fixtures::photo(16, 16), ".gif"), 200, 200},
        {"a monitor-sized screen, shrunk to the frames' extent", monitorSizedGif(), 200, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<Bytes> ours =
            convertInPipeline(c.input, c.widthPercent, c.heightPercent);
        ASSERT_TRUE(ours);
        EXPECT_TRUE(*ours == fixtures::convertBy(fixtures::Path::VipsOnly, c.input, c.widthPercent,
                                                 c.heightPercent)
                                 .bytes);
    }
}
