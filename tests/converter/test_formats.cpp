// SPDX-License-Identifier: MIT
// What each format's copy keeps: size, type, bands, alpha, frames, delays and metadata.
#include "error.h"
#include "fixtures.h"
#include "format.h"
#include "jpeg_tables.h"
#include "vips_bmp.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace nconvert;
using fixtures::Bytes;
using vips::VImage;

namespace {

std::string blobText(const VImage& image, const char* field) {
    if (!vips_image_get_typeof(image.get_image(), field))
        return {};
    size_t length = 0;
    const void* data = image.get_blob(field, &length);
    return std::string(static_cast<const char*>(data), length);
}

VImage decodeBmp(const Bytes& bytes) {
    const BmpLayout layout = readBmpLayout(bytes.data(), bytes.size(), "test");
    return VImage(bmpImage(bytes.data(), bytes.size(), layout)).copy_memory();
}

} // namespace

TEST(Formats, jpegKeepsQualitySubsamplingAndMetadata) {
    VImage picture = fixtures::photo(64, 48).copy();
    const Bytes icc = fixtures::srgbProfile();
    vips_image_set_blob_copy(picture.get_image(), VIPS_META_ICC_NAME, icc.data(), icc.size());
    picture.set("orientation", 6);
    const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'>quorvel-test</x:xmpmeta>";
    vips_image_set_blob_copy(picture.get_image(), VIPS_META_XMP_NAME, xmp.data(), xmp.size());
    const Bytes input = fixtures::save(
        picture, ".jpg",
        VImage::option()->set("Q", 77)->set("subsample_mode", VIPS_FOREIGN_SUBSAMPLE_OFF));
    const auto out = fixtures::convert(input, 200, 150);
    EXPECT_TRUE(sniffFormat(out.bytes.data(), out.bytes.size()) == Format::Jpeg);
    const VImage result = fixtures::load(out.bytes);
    EXPECT_EQ(result.width(), 128); // pixels not rotated despite orientation 6
    EXPECT_EQ(result.height(), 72);
    EXPECT_EQ(result.get_int(VIPS_META_ORIENTATION), 6);
    EXPECT_TRUE(!blobText(result, VIPS_META_ICC_NAME).empty());
    EXPECT_TRUE(blobText(result, VIPS_META_XMP_NAME).find("quorvel-test") != std::string::npos);
    EXPECT_TRUE(!blobText(result, VIPS_META_EXIF_NAME).empty());
    const auto encoding = inspectJpeg(out.bytes.data(), out.bytes.size());
    EXPECT_TRUE(encoding && encoding->quality == 77 && !encoding->chromaSubsampled);
}

TEST(Formats, jpegGreyAndCmykStayGreyAndCmyk) {
    const Bytes grey = fixtures::save(fixtures::photo(40, 30, 1), ".jpg");
    const VImage g = fixtures::load(fixtures::convert(grey, 300, 300).bytes);
    EXPECT_EQ(g.bands(), 1);
    EXPECT_EQ(g.width(), 120);
    const VImage cmykImage = fixtures::photo(40, 30).colourspace(VIPS_INTERPRETATION_CMYK);
    const Bytes cmyk = fixtures::save(cmykImage, ".jpg");
    const VImage c = fixtures::load(fixtures::convert(cmyk, 200, 200).bytes);
    EXPECT_EQ(c.bands(), 4);
    EXPECT_TRUE(c.interpretation() == VIPS_INTERPRETATION_CMYK);
    // To PNG, CMYK becomes RGB.
    const VImage p = fixtures::load(fixtures::convert(cmyk, 200, 200, Format::Png).bytes);
    EXPECT_EQ(p.bands(), 3);
    const Bytes progressive =
        fixtures::save(fixtures::photo(40, 30), ".jpg", VImage::option()->set("interlace", true));
    EXPECT_EQ(fixtures::load(fixtures::convert(progressive, 250, 250).bytes).width(), 100);
}

TEST(Formats, jpegFromNonJpegIsQuality90) {
    const Bytes png = fixtures::save(fixtures::photo(40, 30), ".png");
    const auto out = fixtures::convert(png, 200, 200, Format::Jpeg);
    const auto encoding = inspectJpeg(out.bytes.data(), out.bytes.size());
    EXPECT_TRUE(encoding && encoding->quality == 90);
    // Alpha is flattened onto white for JPEG.
    const Bytes rgba = fixtures::save(fixtures::photo(40, 30, 4), ".png");
    EXPECT_EQ(fixtures::load(fixtures::convert(rgba, 200, 200, Format::Jpeg).bytes).bands(), 3);
}

TEST(Formats, pngKeepsDepthGreyAndAlpha) {
    const VImage grey16 =
        (fixtures::photo(50, 40, 1).cast(VIPS_FORMAT_USHORT) * 257)
            .cast(VIPS_FORMAT_USHORT)
            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_GREY16));
    const VImage g =
        fixtures::load(fixtures::convert(fixtures::save(grey16, ".png"), 200, 200).bytes);
    EXPECT_TRUE(g.format() == VIPS_FORMAT_USHORT);
    EXPECT_EQ(g.bands(), 1);
    EXPECT_EQ(g.width(), 100);
    EXPECT_EQ(g.height(), 80);
    for (int bands : {2, 4}) {
        const Bytes in = fixtures::save(fixtures::photo(50, 40, bands), ".png");
        const VImage out = fixtures::load(fixtures::convert(in, 130, 70).bytes);
        EXPECT_EQ(out.bands(), bands);
        EXPECT_EQ(out.width(), 65);
        EXPECT_EQ(out.height(), 28);
        EXPECT_TRUE(out.format() == VIPS_FORMAT_UCHAR);
    }
    // A JPEG's EXIF block goes on into the PNG, its size brought up to date.
    const Bytes jpeg = fixtures::save(fixtures::photo(50, 40), ".jpg");
    const VImage fromJpeg = fixtures::load(fixtures::convert(jpeg, 200, 200, Format::Png).bytes);
    EXPECT_EQ(std::string(fromJpeg.get_string("exif-ifd2-PixelXDimension")).rfind("100 ", 0), 0u);
    const Bytes palette =
        fixtures::save(fixtures::photo(50, 40), ".png", VImage::option()->set("palette", true));
    const VImage p = fixtures::load(fixtures::convert(palette, 200, 200).bytes);
    EXPECT_EQ(p.width(), 100);
    EXPECT_EQ(p.bands(), 3);
}

TEST(Formats, gifKeepsFramesDelaysLoopAndTransparency) {
    std::vector<VImage> frames;
    for (int i = 0; i < 3; ++i) {
        VImage frame = fixtures::photo(40, 30, 4);
        // Frame i is transparent on its left i*10 columns.
        VImage mask = (VImage::xyz(40, 30)[0] >= i * 10).ifthenelse(255, 0).cast(VIPS_FORMAT_UCHAR);
        frames.push_back(frame.extract_band(0, VImage::option()->set("n", 3)).bandjoin(mask));
    }
    VImage strip = VImage::arrayjoin(frames, VImage::option()->set("across", 1));
    strip = strip.copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    strip.set(VIPS_META_PAGE_HEIGHT, 30);
    strip.set("delay", std::vector<int>{100, 250, 400});
    strip.set("loop", 2);
    const Bytes gif = fixtures::save(strip, ".gif");
    const auto out = fixtures::convert(gif, 150, 200);
    EXPECT_TRUE(sniffFormat(out.bytes.data(), out.bytes.size()) == Format::Gif);
    EXPECT_EQ(out.result.frames, 3);
    const VImage result = fixtures::load(out.bytes, true);
    EXPECT_EQ(result.width(), 60);
    EXPECT_EQ(result.get_int(VIPS_META_PAGE_HEIGHT), 60);
    EXPECT_EQ(result.get_int(VIPS_META_N_PAGES), 3);
    EXPECT_EQ(result.height(), 180);
    EXPECT_EQ(result.get_int("loop"), 2);
    const std::vector<int> delays = result.get_array_int("delay");
    EXPECT_TRUE(delays == std::vector<int>({100, 250, 400}));
    // Frame 3's left part is transparent, its right part opaque.
    EXPECT_EQ(result.getpoint(2, 2 * 60 + 30)[3], 0.0);
    EXPECT_EQ(result.getpoint(55, 2 * 60 + 30)[3], 255.0);
    // To PNG, only the first frame.
    const VImage first = fixtures::load(fixtures::convert(gif, 100, 100, Format::Png).bytes);
    EXPECT_EQ(first.height(), 30);
}

TEST(Formats, bmpReadsEveryUncompressedKind) {
    // 2 x 2 pictures: red, green / blue, white (top row first).
    const std::uint32_t rgb[4] = {0xff0000, 0x00ff00, 0x0000ff, 0xffffff};
    std::vector<fixtures::BmpLayout> specs;
    fixtures::BmpLayout s24{2, 2, 24};
    s24.rows = {{0, 0, 255, 0, 255, 0}, {255, 0, 0, 255, 255, 255}};
    specs.push_back(s24);
    fixtures::BmpLayout top = s24;
    top.topDown = true;
    specs.push_back(top);
    fixtures::BmpLayout p8{2, 2, 8};
    p8.palette = {rgb[0], rgb[1], rgb[2], rgb[3]};
    p8.rows = {{0, 1}, {2, 3}};
    specs.push_back(p8);
    fixtures::BmpLayout p4 = p8;
    p4.bitCount = 4;
    p4.rows = {{0x01}, {0x23}};
    specs.push_back(p4);
    fixtures::BmpLayout p1{2, 2, 1};
    p1.palette = {0x000000, 0xffffff};
    p1.rows = {{0x40}, {0x80}}; // (black, white) / (white, black)
    specs.push_back(p1);
    fixtures::BmpLayout b565{2, 2, 16, false, 3, {0xf800, 0x07e0, 0x001f}};
    b565.rows = {{0x00, 0xf8, 0xe0, 0x07}, {0x1f, 0x00, 0xff, 0xff}};
    specs.push_back(b565);
    fixtures::BmpLayout b32{2, 2, 32, false, 3, {0xff0000, 0xff00, 0xff, 0xff000000}};
    b32.rows = {{0, 0, 255, 255, 0, 255, 0, 128}, {255, 0, 0, 255, 255, 255, 255, 0}};
    specs.push_back(b32);
    for (std::size_t i = 0; i < specs.size(); ++i) {
        const VImage image = decodeBmp(fixtures::makeBmp(specs[i]));
        const bool mono = specs[i].bitCount == 1;
        const std::vector<double> expect[4] = {
            mono ? std::vector<double>{0, 0, 0} : std::vector<double>{255, 0, 0},
            mono ? std::vector<double>{255, 255, 255} : std::vector<double>{0, 255, 0},
            mono ? std::vector<double>{255, 255, 255} : std::vector<double>{0, 0, 255},
            mono ? std::vector<double>{0, 0, 0} : std::vector<double>{255, 255, 255}};
        for (int p = 0; p < 4; ++p) {
            std::vector<double> px = image.getpoint(p % 2, p / 2);
            px.resize(3);
            if (px != expect[p])
                ADD_FAILURE() << ("BMP kind " + std::to_string(i) + " pixel " + std::to_string(p) +
                                  " wrong");
        }
        if (specs[i].bitCount == 32) {
            EXPECT_EQ(image.bands(), 4);
            EXPECT_EQ(image.getpoint(1, 0)[3], 128.0);
        }
    }
}

TEST(Formats, bmpWrites24BitOr32BitWithAlpha) {
    const Bytes png = fixtures::save(fixtures::photo(30, 20), ".png");
    const auto out = fixtures::convert(png, 200, 200, Format::Bmp);
    EXPECT_TRUE(out.bytes.size() > 54 && out.bytes[28] == 24);
    const VImage rgb = decodeBmp(out.bytes);
    EXPECT_EQ(rgb.width(), 60);
    EXPECT_EQ(rgb.height(), 40);
    // Same pixels as the PNG route.
    const VImage viaPng = fixtures::load(fixtures::convert(png, 200, 200).bytes);
    EXPECT_EQ((rgb - viaPng).abs().max(), 0.0);

    const Bytes rgba = fixtures::save(fixtures::photo(30, 20, 4), ".png");
    const auto alphaOut = fixtures::convert(rgba, 100, 100, Format::Bmp);
    EXPECT_TRUE(alphaOut.bytes[28] == 32);
    const VImage withAlpha = decodeBmp(alphaOut.bytes);
    EXPECT_EQ(withAlpha.bands(), 4);
    // 100 % is an exact copy.
    EXPECT_EQ((withAlpha - fixtures::load(rgba)).abs().max(), 0.0);

    // Grey input becomes 24-bit.
    const Bytes grey = fixtures::save(fixtures::photo(30, 20, 1), ".png");
    EXPECT_TRUE(fixtures::convert(grey, 100, 100, Format::Bmp).bytes[28] == 24);
    // A BMP input with another extension stays BMP.
    const auto again = fixtures::convert(out.bytes, 50, 50);
    EXPECT_TRUE(sniffFormat(again.bytes.data(), again.bytes.size()) == Format::Bmp);
}

TEST(Formats, outputFormatFollowsTheExtension) {
    const Bytes png = fixtures::save(fixtures::photo(20, 20), ".png");
    for (Format f : {Format::Jpeg, Format::Png, Format::Gif, Format::Bmp}) {
        const auto out = fixtures::convert(png, 200, 200, f);
        EXPECT_TRUE(sniffFormat(out.bytes.data(), out.bytes.size()) == f);
    }
    const auto same = fixtures::convert(png, 200, 200);
    EXPECT_TRUE(sniffFormat(same.bytes.data(), same.bytes.size()) == Format::Png);
}
