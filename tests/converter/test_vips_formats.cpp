// SPDX-License-Identifier: MIT
// WebP, TIFF and AVIF: decoded and encoded by the libvips module, scaled by our pipeline.
#include "error.h"
#include "file_facts.h"
#include "fixtures.h"
#include "format.h"
#include "output_sink.h"
#include "tiff_writer.h"
#include "vips_rows.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace nconvert;
using fixtures::Bytes;
using vips::VImage;

namespace {

VImage withMetadata(VImage picture) {
    picture = picture.copy();
    const Bytes icc = fixtures::srgbProfile();
    vips_image_set_blob_copy(picture.get_image(), VIPS_META_ICC_NAME, icc.data(), icc.size());
    const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'>quorvel-test</x:xmpmeta>";
    vips_image_set_blob_copy(picture.get_image(), VIPS_META_XMP_NAME, xmp.data(), xmp.size());
    return picture;
}

VImage frames(int count) {
    std::vector<VImage> pages;
    for (int i = 0; i < count; ++i)
        pages.push_back(fixtures::photo(40, 30, 4) * (1.0 - 0.2 * i));
    VImage stacked = VImage::arrayjoin(pages, VImage::option()->set("across", 1))
                         .cast(VIPS_FORMAT_UCHAR)
                         .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    stacked.set(VIPS_META_PAGE_HEIGHT, 30);
    stacked.set("delay", std::vector<int>{100, 250, 40});
    stacked.set("loop", 3);
    return stacked.copy_memory();
}

VImage sixteenBitGrey() {
    return (fixtures::photo(40, 30, 1).cast(VIPS_FORMAT_USHORT) * 257)
        .cast(VIPS_FORMAT_USHORT)
        .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_GREY16));
}

VImage cmyk() {
    return fixtures::photo(40, 30, 4).copy(
        VImage::option()->set("interpretation", VIPS_INTERPRETATION_CMYK));
}

VImage scan() {
    return (fixtures::photo(64, 48, 1) > 128).copy_memory();
}

struct Kind {
    const char* name;
    std::function<Bytes()> make;
    int frames;
    int bands;
    VipsBandFormat sample;
    std::function<void(const Bytes& out, const VImage& result)> check;
};

int compression(const Bytes& tiff) {
    return fileFacts(Format::Tiff, tiff.data(), tiff.size()).tiffCompression;
}

vips::VOption* tiffWith(VipsForeignTiffCompression c) {
    return VImage::option()->set("compression", c);
}

// Room for `room` bytes, then the disc is full.
class TightSink : public MemorySink {
public:
    explicit TightSink(std::size_t room) : m_room(room) {}
    bool append(const void* data, std::size_t size) override {
        return writeAt(bytes().size(), data, size);
    }
    bool writeAt(std::uint64_t offset, const void* data, std::size_t size) override {
        return offset + size <= m_room && MemorySink::writeAt(offset, data, size);
    }
    std::string failure() const override { return "No space left on device"; }

private:
    std::size_t m_room;
};

// The first directory of a little-endian classic TIFF: each tag's type and value bytes.
std::map<int, std::pair<int, Bytes>> tiffTags(const Bytes& tiff) {
    const auto at = [&](std::size_t offset, int bytes) {
        std::uint32_t value = 0;
        (void)tiff.at(offset + std::size_t(bytes) - 1);
        std::memcpy(&value, tiff.data() + offset, std::size_t(bytes));
        return value;
    };
    const int typeBytes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    std::map<int, std::pair<int, Bytes>> tags;
    const std::size_t directory = at(4, 4);
    for (std::uint32_t i = 0; i < at(directory, 2); ++i) {
        const std::size_t entry = directory + 2 + 12 * i;
        const int type = int(at(entry + 2, 2));
        const std::size_t size = at(entry + 4, 4) * std::size_t(typeBytes[type]);
        const std::size_t value = size <= 4 ? entry + 8 : at(entry + 8, 4);
        tags[int(at(entry, 2))] = {type, Bytes(&tiff.at(value), &tiff.at(value) + size)};
    }
    return tags;
}

double rational(const Bytes& value) {
    std::uint32_t parts[2];
    std::memcpy(parts, value.data(), sizeof parts);
    return double(parts[0]) / parts[1];
}

} // namespace

TEST(VipsFormats, ourTiffWriterGivesTheModulesPixelsAndTags) {
    struct Case {
        const char* name;
        int bands;
        bool sixteenBit;
        bool cmyk;
        int sourceCompression;
        int compression;
    };
    // Two strips: 128 rows and the rest.
    const int width = 150, height = 200;
    const Case cases[] = {
        {"8-bit RGB, LZW for a source of no TIFF", 3, false, false, 0, 5},
        {"16-bit RGB LZW", 3, true, false, 5, 5},
        {"16-bit RGBA deflate", 4, true, false, 32946, 8},
        {"8-bit grey + alpha deflate", 2, false, false, 8, 8},
        {"8-bit grey PackBits", 1, false, false, 32773, 32773},
        {"CMYK uncompressed", 4, false, true, 1, 1},
        {"16-bit grey, fax becomes LZW", 1, true, false, 4, 5},
    };
    const Bytes icc = fixtures::srgbProfile();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PictureShape shape;
        shape.width = width;
        shape.height = height;
        shape.bands = c.bands;
        shape.alpha = c.bands % 2 == 0 && !c.cmyk;
        shape.sixteenBit = c.sixteenBit;
        shape.cmyk = c.cmyk;
        PictureMetadata metadata;
        metadata.tiffCompression = c.sourceCompression;
        metadata.icc = icc;
        metadata.xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'>quorvel-test</x:xmpmeta>";
        metadata.pixelsPerMetre[0] = 2834.0000153;
        metadata.pixelsPerMetre[1] = 11811;
        VImage picture = fixtures::photo(width, height, c.bands);
        if (c.sixteenBit)
            picture = (picture.cast(VIPS_FORMAT_USHORT) * 257 + 3).cast(VIPS_FORMAT_USHORT);
        std::size_t size = 0;
        void* samples = picture.write_to_memory(&size);
        const auto write = [&](std::unique_ptr<RowSink> writer) {
            for (int y = 0; y < height; ++y)
                writer->writeRow(static_cast<unsigned char*>(samples) + y * shape.rowBytes());
            writer->finish();
        };
        ConvertSettings settings;
        settings.vipsRows = fixtures::moduleRows;
        MemorySink module, ours;
        write(openVipsSink(Format::Tiff, module, shape, metadata, settings));
        ASSERT_EQ(tiffWriterCompression(shape, c.sourceCompression), c.compression);
        write(openTiffWriter(ours, shape, metadata, "out.tif", 3));
        g_free(samples);

        const VImage expected = fixtures::load(module.bytes());
        const VImage result = fixtures::load(ours.bytes());
        EXPECT_EQ(result.interpretation(), expected.interpretation());
        EXPECT_EQ((result - expected).abs().max(), 0.0);
        EXPECT_EQ(compression(ours.bytes()), c.compression);
        auto want = tiffTags(module.bytes());
        auto got = tiffTags(ours.bytes());
        for (const int tag : {273, 279, 282, 283}) {
            ASSERT_TRUE(got.count(tag)) << tag;
            if (tag >= 282) {
                EXPECT_NEAR(rational(got[tag].second), rational(want[tag].second), 1e-5) << tag;
            }
            want.erase(tag);
            got.erase(tag);
        }
        for (const auto& [tag, value] : want)
            EXPECT_TRUE(got[tag] == value) << tag;
        EXPECT_EQ(got.size(), want.size());
    }

    // A full disc fails the rows or the finish with its reason; nothing is kept of the copy.
    PictureShape shape;
    shape.width = 1000;
    shape.height = 600;
    const Bytes rows(shape.rowBytes() * 600, 7);
    TightSink sink(20'000);
    try {
        const std::unique_ptr<RowSink> writer =
            openTiffWriter(sink, shape, PictureMetadata{}, "out.tif", 2);
        for (int y = 0; y < shape.height; ++y)
            writer->writeRow(&rows[std::size_t(y) * shape.rowBytes()]);
        writer->finish();
        ADD_FAILURE() << "no failure";
    } catch (const Error& error) {
        EXPECT_EQ(error.status(), Status::CannotWrite);
        EXPECT_EQ(error.reason(), "No space left on device");
    }
}

TEST(VipsFormats, eachKindIsEnlargedWithWhatItCarries) {
    const auto keepsMetadata = [](const Bytes&, const VImage& r) {
        EXPECT_TRUE(vips_image_get_typeof(r.get_image(), VIPS_META_ICC_NAME));
        size_t length = 0;
        const void* xmp = r.get_blob(VIPS_META_XMP_NAME, &length);
        EXPECT_TRUE(std::string(static_cast<const char*>(xmp), length).find("quorvel-test") !=
                    std::string::npos);
    };
    const auto tiffCompression = [](int tag) {
        return [tag](const Bytes& out, const VImage&) { EXPECT_EQ(compression(out), tag); };
    };
    const Kind kinds[] = {
        {"lossy WebP keeps its quality",
         [] {
             return fixtures::save(fixtures::photo(64, 48), ".webp",
                                   VImage::option()->set("Q", 60));
         },
         1, 3, VIPS_FORMAT_UCHAR,
         [](const Bytes& out, const VImage&) {
             const FileFacts facts = fileFacts(Format::Webp, out.data(), out.size());
             EXPECT_FALSE(facts.webpLossless);
             // Read back from a larger picture the estimate runs a little low (see README).
             EXPECT_NEAR(facts.quality, 60, 6);
         }},
        {"lossless WebP with alpha stays lossless",
         [] {
             return fixtures::save(fixtures::photo(64, 48, 4), ".webp",
                                   VImage::option()->set("lossless", true));
         },
         1, 4, VIPS_FORMAT_UCHAR,
         [](const Bytes& out, const VImage&) {
             EXPECT_TRUE(fileFacts(Format::Webp, out.data(), out.size()).webpLossless);
         }},
        {"animated WebP keeps frames, delays and loop",
         [] { return fixtures::save(frames(3), ".webp", VImage::option()->set("lossless", true)); },
         3, 4, VIPS_FORMAT_UCHAR,
         [](const Bytes&, const VImage& r) {
             EXPECT_EQ(r.get_array_int("delay"), (std::vector<int>{100, 250, 40}));
             EXPECT_EQ(r.get_int("loop"), 3);
         }},
        {"WebP keeps ICC and XMP",
         [] { return fixtures::save(withMetadata(fixtures::photo(64, 48)), ".webp"); }, 1, 3,
         VIPS_FORMAT_UCHAR, keepsMetadata},
        {"TIFF deflate",
         [] {
             return fixtures::save(fixtures::photo(64, 48), ".tif",
                                   tiffWith(VIPS_FOREIGN_TIFF_COMPRESSION_DEFLATE));
         },
         1, 3, VIPS_FORMAT_UCHAR, tiffCompression(8)},
        {"TIFF LZW with metadata",
         [] {
             return fixtures::save(withMetadata(fixtures::photo(64, 48)), ".tif",
                                   tiffWith(VIPS_FOREIGN_TIFF_COMPRESSION_LZW));
         },
         1, 3, VIPS_FORMAT_UCHAR,
         [&](const Bytes& out, const VImage& r) {
             EXPECT_EQ(compression(out), 5);
             keepsMetadata(out, r);
         }},
        {"TIFF JPEG",
         [] {
             return fixtures::save(fixtures::photo(64, 48), ".tif",
                                   tiffWith(VIPS_FOREIGN_TIFF_COMPRESSION_JPEG));
         },
         1, 3, VIPS_FORMAT_UCHAR, tiffCompression(7)},
        {"TIFF PackBits with alpha",
         [] {
             return fixtures::save(fixtures::photo(64, 48, 4), ".tif",
                                   tiffWith(VIPS_FOREIGN_TIFF_COMPRESSION_PACKBITS));
         },
         1, 4, VIPS_FORMAT_UCHAR, tiffCompression(32773)},
        {"TIFF uncompressed 16-bit grey", [] { return fixtures::save(sixteenBitGrey(), ".tif"); },
         1, 1, VIPS_FORMAT_USHORT, tiffCompression(1)},
        {"TIFF CMYK stays CMYK", [] { return fixtures::save(cmyk(), ".tif"); }, 1, 4,
         VIPS_FORMAT_UCHAR,
         [](const Bytes&, const VImage& r) {
             EXPECT_EQ(r.interpretation(), VIPS_INTERPRETATION_CMYK);
         }},
        {"TIFF pages of one size", [] { return fixtures::save(frames(3), ".tif"); }, 3, 4,
         VIPS_FORMAT_UCHAR, nullptr},
        {"1-bit CCITT scan becomes 8-bit grey, LZW",
         [] {
             return fixtures::save(
                 scan(), ".tif",
                 tiffWith(VIPS_FOREIGN_TIFF_COMPRESSION_CCITTFAX4)->set("bitdepth", 1));
         },
         1, 1, VIPS_FORMAT_UCHAR, tiffCompression(5)},
        {"TIFF resolution",
         [] {
             return fixtures::save(fixtures::photo(64, 48).copy(
                                       VImage::option()->set("xres", 11.811)->set("yres", 5.0)),
                                   ".tif");
         },
         1, 3, VIPS_FORMAT_UCHAR,
         [](const Bytes&, const VImage& r) {
             EXPECT_NEAR(r.xres(), 11.811, 0.01);
             EXPECT_NEAR(r.yres(), 5.0, 0.01);
         }},
        {"AVIF with alpha and ICC",
         [] { return fixtures::save(withMetadata(fixtures::photo(64, 48, 4)), ".avif"); }, 1, 4,
         VIPS_FORMAT_UCHAR,
         [](const Bytes&, const VImage& r) {
             EXPECT_TRUE(vips_image_get_typeof(r.get_image(), VIPS_META_ICC_NAME));
         }},
        {"10-bit AVIF stays 10-bit",
         [] {
             const VImage rgb16 = fixtures::photo(64, 48).colourspace(VIPS_INTERPRETATION_RGB16);
             return fixtures::save(rgb16, ".avif", VImage::option()->set("bitdepth", 10));
         },
         1, 3, VIPS_FORMAT_USHORT,
         [](const Bytes&, const VImage& r) { EXPECT_EQ(r.get_int("heif-bitdepth"), 10); }},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const Bytes input = kind.make();
        const VImage source = fixtures::load(input, true);
        const auto out = fixtures::convert(input, 200, 150);
        const VImage result = fixtures::load(out.bytes, true);
        EXPECT_EQ(sniffFormat(out.bytes.data(), out.bytes.size()),
                  sniffFormat(input.data(), input.size()));
        EXPECT_EQ(out.result.frames, kind.frames);
        EXPECT_EQ(result.width(), source.width() * 2);
        EXPECT_EQ(result.height(), (source.height() / kind.frames * 3 + 1) / 2 * kind.frames);
        EXPECT_EQ(result.bands(), kind.bands);
        EXPECT_EQ(result.format(), kind.sample);
        if (kind.check)
            kind.check(out.bytes, result);
    }
}

TEST(VipsFormats, refusalsBeforeAnyWork) {
    struct Case {
        const char* name;
        Bytes input;
        int percent;
        Status status;
    };
    const Bytes wide =
        fixtures::save(fixtures::photo(9000, 1), ".webp", VImage::option()->set("lossless", true));
    const VImage floats = fixtures::photo(16, 16).cast(VIPS_FORMAT_FLOAT);
    const Case cases[] = {
        {"a WebP over 16,383 pixels a side", wide, 200, Status::TooLarge},
        {"the same within it", wide, 180, Status::Ok},
        {"an AVIF result over 50 megapixels", fixtures::save(fixtures::photo(16, 16), ".avif"),
         45'000, Status::TooLarge},
        {"floating-point TIFF", fixtures::save(floats, ".tif"), 200, Status::Unsupported},
        {"not a picture of ours", {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0}, 200, Status::Unsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(fixtures::convertStatus(c.input, c.percent, c.percent), c.status);
    }
}

TEST(VipsFormats, damagedFilesAreRefused) {
    const Bytes sources[] = {
        fixtures::save(fixtures::photo(300, 200), ".webp"),
        fixtures::save(fixtures::photo(300, 200), ".webp", VImage::option()->set("lossless", true)),
        fixtures::save(frames(3), ".webp"),
        fixtures::save(fixtures::photo(300, 200), ".tif",
                       tiffWith(VIPS_FOREIGN_TIFF_COMPRESSION_LZW)),
        fixtures::save(fixtures::photo(300, 200), ".tif"),
        fixtures::save(fixtures::photo(300, 200), ".avif"),
    };
    for (const Bytes& whole : sources) {
        const Format format = *sniffFormat(whole.data(), whole.size());
        SCOPED_TRACE(formatName(format));
        for (double at : {0.1, 0.5, 0.9, 0.99}) {
            const Bytes cut(whole.begin(), whole.begin() + std::ptrdiff_t(whole.size() * at));
            EXPECT_EQ(fixtures::convertStatus(cut, 200, 200), Status::BadInput) << at;
        }
    }
    // A WebP chunk whose size runs past the file.
    Bytes wrongChunk = sources[0];
    wrongChunk[16] = 0xff;
    EXPECT_EQ(fixtures::convertStatus(wrongChunk, 200, 200), Status::BadInput);
    // A lossless WebP whose header claims 16,000 x 15,000 pixels of a few bytes' data.
    Bytes claims = sources[1];
    const std::uint32_t w = 16000 - 1, h = 15000 - 1;
    const std::uint32_t bits = w | h << 14 | (claims[21 + 4] & 0xe0u) << 24;
    for (int i = 0; i < 4; ++i)
        claims[21 + i] = static_cast<unsigned char>(bits >> (8 * i));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(fixtures::convertStatus(claims, 100, 100), Status::BadInput);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 1.0);
}

TEST(VipsFormats, tiffRowsAreSavedAsTheyComeNotHeld) {
    // More rows than the writer's ring holds, under a held cap the picture is far above.
    const int width = 1000, height = 1600;
    const VImage picture = fixtures::photo(width, height);
    std::size_t size = 0;
    void* samples = picture.write_to_memory(&size);
    const auto* rows = static_cast<const unsigned char*>(samples);
    struct Case {
        const char* name;
        int frames;
        std::size_t room;
        int rowsGiven; // then finish; fewer: the pipeline failed and the writer is dropped
        Status status;
    };
    const std::size_t ample = std::size_t(1) << 30;
    const Case cases[] = {
        {"one page streams past the cap", 1, ample, height, Status::Ok},
        {"pages are made in memory, so capped", 2, ample, height, Status::TooLarge},
        {"a full disc stops the rows", 1, 100'000, height, Status::CannotWrite},
        {"dropped halfway, the save stops", 1, ample, height / 2, Status::Ok},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConvertSettings settings;
        settings.vipsRows = fixtures::moduleRows;
        settings.limits.maxHeldBytes = std::int64_t(size) / 4;
        PictureShape shape;
        shape.width = width;
        shape.height = height / c.frames;
        shape.frames = c.frames;
        shape.bands = 3;
        PictureMetadata metadata;
        metadata.tiffCompression = 5;
        TightSink sink(c.room);
        Status status = Status::Ok;
        try {
            const std::unique_ptr<RowSink> writer =
                openVipsSink(Format::Tiff, sink, shape, metadata, settings);
            for (int y = 0; y < c.rowsGiven; ++y)
                writer->writeRow(rows + std::size_t(y) * shape.rowBytes());
            if (c.rowsGiven == height)
                writer->finish();
        } catch (const Error& error) {
            status = error.status();
            if (status == Status::CannotWrite) {
                EXPECT_EQ(error.reason(), "No space left on device");
            }
        }
        EXPECT_EQ(status, c.status);
        if (c.status == Status::Ok && c.rowsGiven == height) {
            const VImage written = fixtures::load(sink.bytes(), false);
            EXPECT_EQ((written - picture).abs().max(), 0.0);
        }
    }
    g_free(samples);
}
