// SPDX-License-Identifier: MIT
// The command-line parser, format recognition, size arithmetic, filter taps and the JPEG
// quality estimate.
#include "cli.h"
#include "convert.h"
#include "error.h"
#include "fixtures.h"
#include "format.h"
#include "harness.h"
#include "jpeg_tables.h"
#include "lanczos.h"

#include <cmath>

using namespace nconvert;

namespace {

Status usageStatus(const std::vector<std::string>& args) {
    try {
        parseCommandLine(args);
    } catch (const Error& error) {
        return error.status();
    }
    return Status::Ok;
}

} // namespace

TEST_CASE("units", parsesTheContract) {
    const Command c = parseCommandLine({"-resize", "200%", "300%", "-o", "out.png", "in.jpg"});
    CHECK(c.action == Command::Action::Convert);
    CHECK_EQ(c.request.widthPercent, 200);
    CHECK_EQ(c.request.heightPercent, 300);
    CHECK_EQ(c.request.output, "out.png");
    CHECK_EQ(c.request.input, "in.jpg");
    // Paths are positional: a leading dash is a name like any other.
    const Command dash = parseCommandLine({"-resize", "50%", "50%", "-o", "-o", "--help"});
    CHECK_EQ(dash.request.output, "-o");
    CHECK_EQ(dash.request.input, "--help");
    CHECK(parseCommandLine({"--help"}).action == Command::Action::Help);
    CHECK(parseCommandLine({"--version"}).action == Command::Action::Version);
}

TEST_CASE("units", refusesEverythingElse) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"-resize", "200%", "200%", "-o", "out.png"},
        {"-resize", "200%", "200%", "-o", "out.png", "in.png", "extra"},
        {"-resize", "-200%", "200%", "-o", "out.png", "in.png"},
        {"-resize", "200%", "-1%", "-o", "out.png", "in.png"},
        {"-resize", "0%", "200%", "-o", "out.png", "in.png"},
        {"-resize", "200%", "-0%", "-o", "out.png", "in.png"},
        {"-resize", "200", "200%", "-o", "out.png", "in.png"},
        {"-resize", "2.5%", "200%", "-o", "out.png", "in.png"},
        {"-resize", "+200%", "200%", "-o", "out.png", "in.png"},
        {"-resize", "%", "200%", "-o", "out.png", "in.png"},
        {"-resize", "99999999999%", "200%", "-o", "out.png", "in.png"},
        {"-resize", "200%", "200%", "-out", "out.png", "in.png"},
        {"-o", "out.png", "-resize", "200%", "200%", "in.png"},
        {"-resize", "200%", "200%", "-o", "", "in.png"},
        {"--help", "extra"},
    };
    for (const auto& args : bad)
        CHECK(usageStatus(args) == Status::Usage);
}

TEST_CASE("units", errorMessageIsOneLine) {
    const Error error(Status::BadInput, "a b.png", "first\nsecond\n");
    CHECK_EQ(error.message(), "nconvert: a b.png: first second");
}

TEST_CASE("units", outputSizeRoundsHalfUpAndIsAtLeastOne) {
    CHECK_EQ(scaledLength(3, 150), 5); // 4.5
    CHECK_EQ(scaledLength(5, 30), 2);  // 1.5
    CHECK_EQ(scaledLength(640, 200), 1280);
    CHECK_EQ(scaledLength(1, 1), 1);    // 0.01
    CHECK_EQ(scaledLength(7, 333), 23); // 23.31
}

TEST_CASE("units", formatsByExtensionAnyCase) {
    CHECK(formatFromExtension("a.JPG") == Format::Jpeg);
    CHECK(formatFromExtension("a.jpeg") == Format::Jpeg);
    CHECK(formatFromExtension("a.Jpe") == Format::Jpeg);
    CHECK(formatFromExtension("a.JFIF") == Format::Jpeg);
    CHECK(formatFromExtension("dir/a.PnG") == Format::Png);
    CHECK(formatFromExtension("a.gif") == Format::Gif);
    CHECK(formatFromExtension("a.Bmp") == Format::Bmp);
    CHECK(!formatFromExtension("a.tif"));
    CHECK(!formatFromExtension("a"));
    CHECK(!formatFromExtension("dir.png/a"));
}

TEST_CASE("units", formatsByContent) {
    const unsigned char jpeg[] = {0xff, 0xd8, 0xff, 0xe0};
    const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const unsigned char gif[] = {'G', 'I', 'F', '8', '9', 'a'};
    const unsigned char bmp[] = {'B', 'M', 0, 0};
    const unsigned char tiff[] = {'I', 'I', '*', 0};
    CHECK(sniffFormat(jpeg, sizeof jpeg) == Format::Jpeg);
    CHECK(sniffFormat(png, sizeof png) == Format::Png);
    CHECK(sniffFormat(gif, sizeof gif) == Format::Gif);
    CHECK(sniffFormat(bmp, sizeof bmp) == Format::Bmp);
    CHECK(!sniffFormat(tiff, sizeof tiff));
    CHECK(!sniffFormat(png, 4));
}

TEST_CASE("units", tapsSumToOneAndMirror) {
    for (auto [in, out] : {std::pair{10, 30}, {7, 16}, {100, 37}, {3, 8}, {1, 5}, {640, 641}}) {
        const AxisTaps taps = lanczosTaps(in, out);
        for (int x = 0; x < out; ++x) {
            double sum = 0;
            for (int k = 0; k < taps.taps; ++k)
                sum += taps.weights[std::size_t(x) * taps.taps + k];
            CHECK(std::fabs(sum - 1.0) < 1e-5);
            CHECK(taps.start[x] >= 0 && taps.start[x] + taps.taps <= in);
            // Weight of input i for output x equals weight of in-1-i for out-1-x.
            const int mx = out - 1 - x;
            for (int k = 0; k < taps.taps; ++k) {
                const int i = taps.start[x] + k;
                const int mi = in - 1 - i;
                const int mk = mi - taps.start[mx];
                const float mirrored = mk >= 0 && mk < taps.taps
                                           ? taps.weights[std::size_t(mx) * taps.taps + mk]
                                           : 0.f;
                CHECK(std::fabs(taps.weights[std::size_t(x) * taps.taps + k] - mirrored) < 1e-5);
            }
        }
    }
}

TEST_CASE("units", estimatesJpegQualityAndSubsampling) {
    const vips::VImage picture = fixtures::photo(64, 48);
    for (int q : {30, 50, 75, 85, 92, 100}) {
        for (bool subsample : {true, false}) {
            const fixtures::Bytes jpeg =
                fixtures::save(picture, ".jpg",
                               vips::VImage::option()->set("Q", q)->set(
                                   "subsample_mode", subsample ? VIPS_FOREIGN_SUBSAMPLE_ON
                                                               : VIPS_FOREIGN_SUBSAMPLE_OFF));
            const auto encoding = inspectJpeg(jpeg.data(), jpeg.size());
            CHECK(encoding.has_value());
            if (!encoding)
                continue;
            CHECK_EQ(encoding->quality, q);
            CHECK_EQ(encoding->chromaSubsampled, subsample);
        }
    }
    const unsigned char junk[] = {0xff, 0xd8, 0xff, 0x00, 0x01};
    CHECK(!inspectJpeg(junk, sizeof junk));
}

TEST_CASE("units", jpegNamingAMissingQuantTableIsNoCrash) {
    // Found by the fuzzer: the frame header may name quantisation table 200.
    fixtures::Bytes jpeg = fixtures::save(fixtures::photo(16, 16), ".jpg");
    for (std::size_t i = 0; i + 12 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {
            jpeg[i + 12] = 200;
            break;
        }
    }
    inspectJpeg(jpeg.data(), jpeg.size());
    CHECK(fixtures::convertStatus(jpeg, 200, 200) == Status::BadInput);
}
