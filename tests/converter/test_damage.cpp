// SPDX-License-Identifier: MIT
// Damaged input is refused early, and limits are reported as limits: big claims in tiny files,
// warnings after a harmless one, files cut at a block boundary, frame counts, format limits.
#include "error.h"
#include "fixtures.h"

#include <gtest/gtest.h>

using namespace nconvert;
using fixtures::Bytes;
using vips::VImage;

namespace {

// Counts what the converter wrote, without keeping it.
class CountingSink : public OutputSink {
public:
    bool append(const void*, std::size_t size) override {
        m_written += size;
        return true;
    }
    bool writeAt(std::uint64_t, const void*, std::size_t size) override {
        m_written += size;
        return true;
    }
    std::string failure() const override { return {}; }
    std::uint64_t written() const { return m_written; }

private:
    std::uint64_t m_written = 0;
};

struct Outcome {
    Status status = Status::Ok;
    std::uint64_t written = 0;
};

Outcome run(const Bytes& input, int percent, std::optional<Format> output) {
    ConvertSettings settings;
    settings.widthPercent = percent;
    settings.heightPercent = percent;
    settings.outputFormat = output;
    CountingSink sink;
    try {
        convertImage(input.data(), input.size(), settings, sink);
    } catch (const Error& error) {
        return {error.status(), sink.written()};
    }
    return {Status::Ok, sink.written()};
}

std::size_t find(const Bytes& bytes, std::initializer_list<unsigned char> pattern) {
    return std::size_t(std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end()) -
                       bytes.begin());
}

// A real JPEG whose frame header claims another size.
Bytes jpegClaiming(const Bytes& jpeg, unsigned width, unsigned height) {
    Bytes b = jpeg;
    const std::size_t sof = find(b, {0xff, 0xc0});
    b[sof + 5] = height >> 8, b[sof + 6] = height & 0xff;
    b[sof + 7] = width >> 8, b[sof + 8] = width & 0xff;
    return b;
}

// An RGB PNG claiming width x height whose image data is one tiny zlib stream.
Bytes pngClaiming(std::uint32_t width, std::uint32_t height) {
    return fixtures::pngClaiming(width, height,
                                 {0x78, 0x9c, 0x63, 0x60, 0x00, 0x00, 0x00, 0x02, 0x00, 0x01});
}

// A GIF of `frames` frames of width x height, each coded in two bytes of LZW data (enough for
// one pixel).
Bytes gifOf(int frames, unsigned width, unsigned height, bool trailer = true) {
    Bytes b = {'G',
               'I',
               'F',
               '8',
               '9',
               'a',
               Bytes::value_type(width),
               Bytes::value_type(width >> 8),
               Bytes::value_type(height),
               Bytes::value_type(height >> 8),
               0x80,
               0,
               0,
               0,
               0,
               0,
               255,
               255,
               255};
    for (int i = 0; i < frames; ++i) {
        b.insert(b.end(),
                 {0x2c, 0, 0, 0, 0, Bytes::value_type(width), Bytes::value_type(width >> 8),
                  Bytes::value_type(height), Bytes::value_type(height >> 8), 0});
        b.insert(b.end(), {0x02, 0x02, 0x44, 0x01, 0x00});
    }
    if (trailer)
        b.push_back(0x3b);
    return b;
}

} // namespace

TEST(Damage, jpegWarningsAfterAHarmlessOneStillCount) {
    const Bytes jpeg = fixtures::save(fixtures::photo(200, 150), ".jpg");
    // Padding before the scan: libjpeg's first warning, and harmless.
    Bytes padded = jpeg;
    const std::size_t sos = find(padded, {0xff, 0xda});
    padded.insert(padded.begin() + std::ptrdiff_t(sos), {0, 0, 0});
    EXPECT_EQ(run(padded, 200, std::nullopt).status, Status::Ok);
    Bytes damaged = padded;
    for (std::size_t i = damaged.size() / 2; i < damaged.size() / 2 + 40; ++i)
        damaged[i] = i % 7 == 0 ? 0xff : damaged[i] ^ 0x5a;
    EXPECT_EQ(run(damaged, 200, std::nullopt).status, Status::BadInput);
}

TEST(Damage, hugeClaimsAreRefusedBeforeAnyOutput) {
    const Bytes small = fixtures::save(fixtures::photo(16, 16), ".jpg");
    struct Case {
        const char* name;
        Bytes input;
        int percent;
        Format output;
        Status status;
    };
    const Case cases[] = {
        {"JPEG claiming 15000 x 15000", jpegClaiming(small, 15000, 15000), 100, Format::Bmp,
         Status::BadInput},
        {"JPEG claiming 20000 x 12000", jpegClaiming(small, 20000, 12000), 100, Format::Png,
         Status::BadInput},
        {"PNG claiming 15000 x 15000", pngClaiming(15000, 15000), 100, Format::Png,
         Status::BadInput},
        {"GIF frame claiming 8000 x 8000", gifOf(1, 8000, 8000), 100, Format::Gif,
         Status::BadInput},
        {"JPEG of 65535 x 65535", jpegClaiming(small, 65535, 65535), 100, Format::Jpeg,
         Status::TooLarge},
        {"JPEG wider than libjpeg reads", jpegClaiming(small, 65510, 8), 1, Format::Jpeg,
         Status::TooLarge},
        {"GIF frame above 536 MP", pngClaiming(1000, 1000), 2400, Format::Gif, Status::TooLarge},
        {"GIF frame just below it", pngClaiming(1000, 1000), 2300, Format::Gif, Status::BadInput},
        {"GIF of 5000 frames", gifOf(5000, 1, 1), 100, Format::Gif, Status::TooLarge},
    };
    for (const Case& c : cases) {
        const Outcome outcome = run(c.input, c.percent, c.output);
        EXPECT_EQ(outcome.status, c.status) << c.name;
        EXPECT_EQ(outcome.written, 0u) << c.name;
    }
}

TEST(Damage, damageFoundWhileDecodingStopsTheWrite) {
    // Enough data to pass the size check, far too little for the claim: the decoder runs out
    // within the first strips, and the write stops there (the whole BMP would be 48 MB).
    const Bytes jpeg = jpegClaiming(fixtures::save(fixtures::photo(300, 300), ".jpg"), 4000, 4000);
    const Outcome outcome = run(jpeg, 100, Format::Bmp);
    EXPECT_EQ(outcome.status, Status::BadInput);
    EXPECT_LT(outcome.written, 2'000'000u);
}

TEST(Damage, flatPicturesAreNotMistakenForDamage) {
    // The most compressible pictures there are, against the size checks' floors.
    const VImage flat =
        (VImage::black(2000, 2000, VImage::option()->set("bands", 3)) + 200)
            .cast(VIPS_FORMAT_UCHAR)
            .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    const VImage grey =
        flat[0].copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_B_W));
    const Bytes inputs[] = {
        fixtures::save(flat, ".jpg"),
        fixtures::save(grey, ".jpg"),
        fixtures::save(flat, ".png"),
        fixtures::save(grey > 128, ".png", VImage::option()->set("bitdepth", 1)),
        fixtures::save(flat, ".gif"),
    };
    for (const Bytes& input : inputs)
        EXPECT_EQ(run(input, 10, std::nullopt).status, Status::Ok) << input.size() << " bytes";
}

TEST(Damage, filesCutBeforeTheirEndAreTruncated) {
    const Bytes png = fixtures::save(fixtures::photo(40, 30), ".png");
    const Bytes jpeg = fixtures::save(fixtures::photo(40, 30), ".jpg");
    const Bytes gif = gifOf(3, 1, 1);
    struct Case {
        const char* name;
        Bytes input;
        Status status;
    };
    const Case cases[] = {
        {"GIF", gif, Status::Ok},
        {"GIF cut before its trailer", gifOf(3, 1, 1, false), Status::BadInput},
        {"GIF cut after its first frame", Bytes(gif.begin(), gif.begin() + 34), Status::BadInput},
        {"PNG cut after its image data", Bytes(png.begin(), png.end() - 12), Status::BadInput},
        {"JPEG cut before its end marker", Bytes(jpeg.begin(), jpeg.end() - 2), Status::BadInput},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run(c.input, 200, std::nullopt).status, c.status) << c.name;
}

TEST(Damage, everyGifFrameIsConvertedOrTheGifRefused) {
    EXPECT_EQ(fixtures::convert(gifOf(4097, 1, 1), 200, 200).result.frames, 4097);
    EXPECT_EQ(fixtures::convertStatus(gifOf(4098, 1, 1), 200, 200), Status::TooLarge);
}
