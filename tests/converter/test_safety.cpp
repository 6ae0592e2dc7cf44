// SPDX-License-Identifier: MIT
// Resampling quality properties, refusing bad input (truncation, bombs, limits, formats), and
// what a killed converter may leave behind.
#include "atomic_output.h"
#include "error.h"
#include "fixtures.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace nconvert;
using fixtures::Bytes;
using vips::VImage;

namespace {

// A PNG that is only a header claiming width x height (no usable pixel data).
Bytes pngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    return fixtures::pngClaiming(width, height, {0x78, 0x9c, 0x03, 0x00, 0x00, 0x00, 0x00, 0x01});
}

Bytes symmetricPicture(int width, int height) {
    std::mt19937 random(7);
    std::vector<unsigned char> samples(std::size_t(width) * height);
    for (int y = 0; y < (height + 1) / 2; ++y) {
        for (int x = 0; x < (width + 1) / 2; ++x) {
            const unsigned char v = random() % 256;
            for (int yy : {y, height - 1 - y})
                for (int xx : {x, width - 1 - x})
                    samples[std::size_t(yy) * width + xx] = v;
        }
    }
    return fixtures::save(fixtures::fromSamples(samples, width, height, 1), ".png");
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

TEST(Safety, symmetricPatternStaysSymmetric) {
    const Bytes input = symmetricPicture(9, 7);
    for (int percent : {300, 250, 173, 400}) {
        const VImage out = fixtures::load(fixtures::convert(input, percent, percent).bytes);
        const VImage flippedH = out.flip(VIPS_DIRECTION_HORIZONTAL);
        const VImage flippedV = out.flip(VIPS_DIRECTION_VERTICAL);
        const double h = (out - flippedH).abs().max();
        const double v = (out - flippedV).abs().max();
        if (h > 1 || v > 1)
            ADD_FAILURE() << ("at " + std::to_string(percent) + "% asymmetry " + std::to_string(h) +
                              " / " + std::to_string(v));
    }
}

TEST(Safety, noDarkFringeAroundWhiteOnTransparent) {
    std::vector<unsigned char> samples(16 * 16 * 4, 0); // transparent black
    for (int y = 5; y < 11; ++y)
        for (int x = 5; x < 11; ++x)
            std::memset(&samples[(y * 16 + x) * 4], 255, 4); // opaque white
    VImage image = fixtures::fromSamples(samples, 16, 16, 4)
                       .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    const VImage out =
        fixtures::load(fixtures::convert(fixtures::save(image, ".png"), 300, 300).bytes);
    EXPECT_EQ(out.bands(), 4);
    // Wherever the copy is at all visible, it is white.
    const VImage visible = out[3] > 0;
    const VImage colourWhereVisible =
        visible.ifthenelse(out.extract_band(0, VImage::option()->set("n", 3)), 255);
    EXPECT_TRUE(colourWhereVisible.min() >= 254);
    EXPECT_TRUE(out[3].max() == 255);
}

TEST(Safety, truncatedInputIsAnError) {
    const VImage picture = fixtures::photo(200, 150);
    for (const char* suffix : {".jpg", ".png", ".gif"}) {
        Bytes bytes = fixtures::save(picture, suffix);
        bytes.resize(bytes.size() * 2 / 3);
        if (fixtures::convertStatus(bytes, 200, 200) != Status::BadInput)
            ADD_FAILURE() << (std::string("truncated ") + suffix + " accepted");
    }
    fixtures::BmpLayout bmp{4, 4, 24};
    bmp.rows.assign(4, Bytes(12, 100));
    Bytes cut = fixtures::makeBmp(bmp);
    cut.resize(cut.size() - 10);
    EXPECT_TRUE(fixtures::convertStatus(cut, 200, 200) == Status::BadInput);
}

TEST(Safety, damagedJpegDataIsAnErrorButPaddingIsNot) {
    const Bytes jpeg = fixtures::save(fixtures::photo(200, 150), ".jpg");
    Bytes damaged = jpeg;
    for (std::size_t i = damaged.size() / 2; i < damaged.size() / 2 + 40; ++i)
        damaged[i] = i % 7 == 0 ? 0xff : damaged[i] ^ 0x5a;
    EXPECT_TRUE(fixtures::convertStatus(damaged, 200, 200) == Status::BadInput);
    // Extraneous bytes before the end marker, as some cameras write: accepted.
    Bytes padded(jpeg.begin(), jpeg.end() - 2);
    padded.insert(padded.end(), {0, 0, 0, 0xff, 0xd9});
    EXPECT_TRUE(fixtures::convertStatus(padded, 200, 200) == Status::Ok);
}

TEST(Safety, headerBombsAreRefusedFast) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(fixtures::convertStatus(pngHeaderOnly(100000, 100000), 100, 100) ==
                Status::TooLarge);
    // A small JPEG whose frame header claims 60000 x 60000.
    Bytes jpeg = fixtures::save(fixtures::photo(16, 16), ".jpg");
    for (std::size_t i = 0; i + 9 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xc0) {
            jpeg[i + 5] = 60000 >> 8;
            jpeg[i + 6] = 60000 & 0xff;
            jpeg[i + 7] = 60000 >> 8;
            jpeg[i + 8] = 60000 & 0xff;
            break;
        }
    }
    EXPECT_TRUE(fixtures::convertStatus(jpeg, 100, 100) == Status::TooLarge);
    fixtures::BmpLayout bmp{100000, 100000, 24};
    bmp.rows.assign(0, Bytes());
    bmp.height = 0;
    Bytes bmpBytes = fixtures::makeBmp(bmp);
    bmpBytes[22] = 0xa0, bmpBytes[23] = 0x86, bmpBytes[24] = 0x01; // height 100000
    EXPECT_TRUE(fixtures::convertStatus(bmpBytes, 100, 100) == Status::TooLarge);
    EXPECT_TRUE(seconds(start) < 1.0);
}

TEST(Safety, outputLimits) {
    // 10000 x 10000 is within the input limit; 400 % of it is 1600 megapixels.
    EXPECT_TRUE(fixtures::convertStatus(pngHeaderOnly(10000, 10000), 400, 400) == Status::TooLarge);
    const Bytes wide = fixtures::save(fixtures::photo(1000, 2), ".png");
    EXPECT_TRUE(fixtures::convertStatus(wide, 6501, 100) == Status::TooLarge); // 65010 px wide
    EXPECT_TRUE(fixtures::convertStatus(wide, 6500, 100) != Status::TooLarge);
}

TEST(Safety, unsupportedAndEmptyInput) {
    const Bytes psd = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0};
    EXPECT_TRUE(fixtures::convertStatus(psd, 200, 200) == Status::Unsupported);
    const Bytes emptyTiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0}; // a directory of no entries
    EXPECT_TRUE(fixtures::convertStatus(emptyTiff, 200, 200) == Status::BadInput);
    const std::string text = "just some text, not a picture";
    EXPECT_TRUE(fixtures::convertStatus(Bytes(text.begin(), text.end()), 200, 200) ==
                Status::Unsupported);
    EXPECT_TRUE(fixtures::convertStatus(Bytes(), 200, 200) == Status::BadInput);
    fixtures::BmpLayout embedded{2, 2, 8, false, 4}; // BI_JPEG
    embedded.palette = {0, 0xffffff};
    embedded.rows = {{0, 1}, {1, 0}};
    EXPECT_TRUE(fixtures::convertStatus(fixtures::makeBmp(embedded), 200, 200) ==
                Status::Unsupported);
    // Corrupt headers are errors, never crashes.
    Bytes bmp = fixtures::makeBmp(embedded);
    bmp[30] = 0;    // BI_RGB
    bmp[10] = 0xff; // pixel offset past the end
    EXPECT_TRUE(fixtures::convertStatus(bmp, 200, 200) == Status::BadInput);
    Bytes png = fixtures::save(fixtures::photo(20, 20), ".png");
    png[20] ^= 0xff; // IHDR corrupted: CRC mismatch
    EXPECT_TRUE(fixtures::convertStatus(png, 200, 200) == Status::BadInput);
}

// Where the file system cannot make unnamed files, a process killed outright leaves its named
// scratch file; the next run in that folder removes it once nothing has written to it for a
// while. Files of live processes, recent ones and other names stay.
TEST(Safety, namedScratchOfDeadProcessesIsSwept) {
    fixtures::TempDir dir;
    const pid_t dead = ::fork();
    if (dead == 0)
        ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const auto scratch = [](long pid, const char* random) {
        return ".nconvert-" + std::to_string(pid) + "-" + random + ".tmp";
    };
    const std::string stale = scratch(dead, "0000abcd"), recent = scratch(dead, "0000abce"),
                      alive = scratch(1, "0000abcf");
    for (const std::string& name : {stale, recent, alive, std::string("notes.tmp")})
        fixtures::writeFile(dir.file(name), {'x'});
    const timespec hourAgo[2] = {{std::time(nullptr) - 3600, 0}, {std::time(nullptr) - 3600, 0}};
    for (const std::string& name : {stale, alive})
        ::utimensat(AT_FDCWD, dir.file(name).c_str(), hourAgo, 0);
    {
        AtomicOutput output(dir.file("out.bmp"), std::nullopt, Scratch::Named);
        EXPECT_FALSE(output.temporaryPath().empty());
        EXPECT_TRUE(output.append("new", 3));
        output.commit();
    }
    EXPECT_TRUE(dir.entries() == std::vector<std::string>({alive, recent, "notes.tmp", "out.bmp"}));
    EXPECT_TRUE(fixtures::readFile(dir.file("out.bmp")) == fixtures::Bytes({'n', 'e', 'w'}));
}
