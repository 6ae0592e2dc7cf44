// SPDX-License-Identifier: MIT
// The command-line parser, format recognition, size arithmetic, filter taps and the JPEG
// quality estimate.
#include "cli.h"
#include "convert.h"
#include "error.h"
#include "fixtures.h"
#include "format.h"
#include "jpeg_tables.h"
#include "lanczos.h"

#include <cmath>
#include <gtest/gtest.h>

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

TEST(Units, parsesTheContract) {
    const Command c = parseCommandLine({"-resize", "200%", "300%", "-o", "out.png", "in.jpg"});
    EXPECT_TRUE(c.action == Command::Action::Convert);
    EXPECT_EQ(c.request.widthPercent, 200);
    EXPECT_EQ(c.request.heightPercent, 300);
    EXPECT_EQ(c.request.output, "out.png");
    EXPECT_EQ(c.request.input, "in.jpg");
    // Paths are positional: a leading dash is a name like any other.
    const Command dash = parseCommandLine({"-resize", "50%", "50%", "-o", "-o", "--help"});
    EXPECT_EQ(dash.request.output, "-o");
    EXPECT_EQ(dash.request.input, "--help");
    EXPECT_TRUE(parseCommandLine({"--help"}).action == Command::Action::Help);
    EXPECT_TRUE(parseCommandLine({"--version"}).action == Command::Action::Version);
}

TEST(Units, refusesEverythingElse) {
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
        EXPECT_TRUE(usageStatus(args) == Status::Usage);
}

TEST(Units, errorMessageIsOneLine) {
    const Error error(Status::BadInput, "a b.png", "first\nsecond\n");
    EXPECT_EQ(error.message(), "nconvert: a b.png: first second");
}

TEST(Units, outputSizeRoundsHalfUpAndIsAtLeastOne) {
    EXPECT_EQ(scaledLength(3, 150), 5); // 4.5
    EXPECT_EQ(scaledLength(5, 30), 2);  // 1.5
    EXPECT_EQ(scaledLength(640, 200), 1280);
    EXPECT_EQ(scaledLength(1, 1), 1);    // 0.01
    EXPECT_EQ(scaledLength(7, 333), 23); // 23.31
}

TEST(Units, formatsByExtensionAnyCase) {
    EXPECT_TRUE(formatFromExtension("a.JPG") == Format::Jpeg);
    EXPECT_TRUE(formatFromExtension("a.jpeg") == Format::Jpeg);
    EXPECT_TRUE(formatFromExtension("a.Jpe") == Format::Jpeg);
    EXPECT_TRUE(formatFromExtension("a.JFIF") == Format::Jpeg);
    EXPECT_TRUE(formatFromExtension("dir/a.PnG") == Format::Png);
    EXPECT_TRUE(formatFromExtension("a.gif") == Format::Gif);
    EXPECT_TRUE(formatFromExtension("a.Bmp") == Format::Bmp);
    EXPECT_TRUE(formatFromExtension("a.tif") == Format::Tiff);
    EXPECT_TRUE(formatFromExtension("a.TIFF") == Format::Tiff);
    EXPECT_TRUE(formatFromExtension("a.WebP") == Format::Webp);
    EXPECT_TRUE(formatFromExtension("a.avif") == Format::Avif);
    EXPECT_TRUE(!formatFromExtension("a.heic"));
    EXPECT_TRUE(!formatFromExtension("a"));
    EXPECT_TRUE(!formatFromExtension("dir.png/a"));
}

TEST(Units, formatsByContent) {
    const unsigned char jpeg[] = {0xff, 0xd8, 0xff, 0xe0};
    const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const unsigned char gif[] = {'G', 'I', 'F', '8', '9', 'a'};
    const unsigned char bmp[] = {'B', 'M', 0, 0};
    const unsigned char tiff[] = {'I', 'I', '*', 0};
    const unsigned char bigTiff[] = {'M', 'M', 0, '+'};
    const unsigned char webp[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P'};
    const unsigned char wave[] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    const unsigned char avif[] = {0, 0, 0, 24, 'f', 't', 'y', 'p', 'm', 'i', 'f', '1',
                                  0, 0, 0, 0,  'm', 'i', 'f', '1', 'a', 'v', 'i', 'f'};
    const unsigned char heic[] = {0,   0,   0, 20, 'f', 't', 'y', 'p', 'h', 'e',
                                  'i', 'c', 0, 0,  0,   0,   'm', 'i', 'f', '1'};
    EXPECT_TRUE(sniffFormat(jpeg, sizeof jpeg) == Format::Jpeg);
    EXPECT_TRUE(sniffFormat(png, sizeof png) == Format::Png);
    EXPECT_TRUE(sniffFormat(gif, sizeof gif) == Format::Gif);
    EXPECT_TRUE(sniffFormat(bmp, sizeof bmp) == Format::Bmp);
    EXPECT_TRUE(sniffFormat(tiff, sizeof tiff) == Format::Tiff);
    EXPECT_TRUE(sniffFormat(bigTiff, sizeof bigTiff) == Format::Tiff);
    EXPECT_TRUE(sniffFormat(webp, sizeof webp) == Format::Webp);
    EXPECT_TRUE(!sniffFormat(wave, sizeof wave));
    EXPECT_TRUE(sniffFormat(avif, sizeof avif) == Format::Avif);
    EXPECT_TRUE(!sniffFormat(heic, sizeof heic));
    EXPECT_TRUE(!sniffFormat(png, 4));
}

TEST(Units, tapsSumToOneAndMirror) {
    for (auto [in, out] : {std::pair{10, 30}, {7, 16}, {100, 37}, {3, 8}, {1, 5}, {640, 641}}) {
        const AxisTaps taps = lanczosTaps(in, out);
        for (int x = 0; x < out; ++x) {
            double sum = 0;
            for (int k = 0; k < taps.taps; ++k)
                sum += taps.weights[std::size_t(x) * taps.taps + k];
            EXPECT_TRUE(std::fabs(sum - 1.0) < 1e-5);
            EXPECT_TRUE(taps.start[x] >= 0 && taps.start[x] + taps.taps <= in);
            // Weight of input i for output x equals weight of in-1-i for out-1-x.
            const int mx = out - 1 - x;
            for (int k = 0; k < taps.taps; ++k) {
                const int i = taps.start[x] + k;
                const int mi = in - 1 - i;
                const int mk = mi - taps.start[mx];
                const float mirrored = mk >= 0 && mk < taps.taps
                                           ? taps.weights[std::size_t(mx) * taps.taps + mk]
                                           : 0.f;
                EXPECT_TRUE(std::fabs(taps.weights[std::size_t(x) * taps.taps + k] - mirrored) <
                            1e-5);
            }
        }
    }
}

// The vector paths against the plain sums they stand for, which they must equal to the bit:
// every band count, whole rows and tiles of one (a start and an origin inside the row, as the
// libvips module filters), rows that end mid-vector, and sums outside 0..255.
TEST(Units, vectorFiltersEqualThePlainSums) {
    for (auto [in, out] : {std::pair{10, 30}, {7, 16}, {100, 37}, {3, 8}, {33, 70}}) {
        const AxisTaps h = lanczosTaps(in, out);
        for (int bands = 1; bands <= 4; ++bands) {
            for (auto [firstX, count] : {std::pair{0, out}, {out / 3, out - out / 3 - 1}}) {
                const int origin = h.start[firstX];
                const int last = h.start[firstX + count - 1] + h.taps;
                std::vector<float> row(std::size_t(last - origin) * bands);
                for (std::size_t i = 0; i < row.size(); ++i)
                    row[i] = float((i * 37) % 256);
                std::vector<float> got(std::size_t(count) * bands);
                filterRow(h, bands, firstX, count, origin, row.data(), got.data());
                for (int x = 0; x < count; ++x) {
                    for (int c = 0; c < bands; ++c) {
                        float acc = 0;
                        for (int k = 0; k < h.taps; ++k)
                            acc += h.weights[std::size_t(firstX + x) * h.taps + k] *
                                   row[std::size_t(h.start[firstX + x] - origin + k) * bands + c];
                        ASSERT_EQ(got[std::size_t(x) * bands + c], acc)
                            << in << "->" << out << " bands " << bands << " x " << x;
                    }
                }
            }
        }
    }
    const float w[6] = {-0.02f, 0.13f, 0.41f, 0.52f, 0.07f, -0.11f};
    for (int pixels : {1, 5, 16, 23}) {
        std::vector<std::vector<float>> taps(6, std::vector<float>(std::size_t(pixels) * 3));
        std::vector<const float*> rows;
        for (int k = 0; k < 6; ++k) {
            for (std::size_t i = 0; i < taps[k].size(); ++i)
                taps[k][i] = float(int((i * 53 + k * 91) % 400) - 70) + 0.25f * k;
            rows.push_back(taps[k].data());
        }
        std::vector<float> acc(taps[0].size());
        std::vector<std::uint8_t> fused(taps[0].size()), plain(taps[0].size());
        sumStoreRow(w, 6, rows.data(), pixels, 3, false, acc.data(), fused.data());
        sumRows(w, 6, rows.data(), acc.size(), acc.data());
        storeRow(acc.data(), pixels, 3, false, plain.data());
        EXPECT_EQ(fused, plain) << pixels;
        // A pair of rows over the same taps: each as made alone.
        const float w1[6] = {0.03f, -0.09f, 0.33f, 0.61f, 0.17f, -0.05f};
        std::vector<std::uint8_t> first(fused.size()), second(fused.size()), alone(fused.size());
        sumStoreRowPair(w, w1, 6, rows.data(), pixels, 3, false, acc.data(), first.data(),
                        second.data());
        sumStoreRow(w1, 6, rows.data(), pixels, 3, false, acc.data(), alone.data());
        EXPECT_EQ(first, plain) << pixels;
        EXPECT_EQ(second, alone) << pixels;
    }
}

TEST(Units, estimatesJpegQualityAndSubsampling) {
    const vips::VImage picture = fixtures::photo(64, 48);
    for (int q : {30, 50, 75, 85, 92, 100}) {
        for (bool subsample : {true, false}) {
            const fixtures::Bytes jpeg =
                fixtures::save(picture, ".jpg",
                               vips::VImage::option()->set("Q", q)->set(
                                   "subsample_mode", subsample ? VIPS_FOREIGN_SUBSAMPLE_ON
                                                               : VIPS_FOREIGN_SUBSAMPLE_OFF));
            const auto encoding = inspectJpeg(jpeg.data(), jpeg.size());
            EXPECT_TRUE(encoding.has_value());
            if (!encoding)
                continue;
            EXPECT_EQ(encoding->quality, q);
            EXPECT_EQ(encoding->chromaSubsampled, subsample);
        }
    }
    const unsigned char junk[] = {0xff, 0xd8, 0xff, 0x00, 0x01};
    EXPECT_TRUE(!inspectJpeg(junk, sizeof junk));
}

TEST(Units, jpegNamingAMissingQuantTableIsNoCrash) {
    // Found by the fuzzer: the frame header may name quantisation table 200.
    fixtures::Bytes jpeg = fixtures::save(fixtures::photo(16, 16), ".jpg");
    for (std::size_t i = 0; i + 12 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {
            jpeg[i + 12] = 200;
            break;
        }
    }
    inspectJpeg(jpeg.data(), jpeg.size());
    EXPECT_TRUE(fixtures::convertStatus(jpeg, 200, 200) == Status::BadInput);
}
