// SPDX-License-Identifier: MIT
// The JPEG row source and sink: what a copy keeps, damage refused, memory a picture may hold.
#include "error.h"
#include "fixtures.h"
#include "jpeg_markers.h"
#include "jpeg_source.h"
#include "jpeg_strict.h"
#include "jpeg_writer.h"

#include <cstdlib>
#include <gtest/gtest.h>

using namespace nconvert;
using Bytes = std::vector<unsigned char>;

namespace {

struct JpegRecipe {
    int width = 48;
    int height = 32;
    int bands = 3; // 4 is CMYK (written with Adobe's marker)
    int quality = 75;
    bool subsampled = true;
    bool progressive = false;
    int restartRows = 0;
    std::vector<Bytes> app1{}; // whole APP1 bodies, in order
    Bytes icc{};
};

std::vector<JSAMPLE> samplesOf(const JpegRecipe& recipe) {
    std::vector<JSAMPLE> samples(std::size_t(recipe.width) * recipe.height * recipe.bands);
    // Smooth ramps with a little texture, as photographs are.
    for (int y = 0; y < recipe.height; ++y)
        for (int x = 0; x < recipe.width; ++x)
            for (int b = 0; b < recipe.bands; ++b)
                samples[(std::size_t(y) * recipe.width + x) * recipe.bands + b] =
                    JSAMPLE(40 + x * 2 + y * 3 + b * 30 + (x * y + b) % 9);
    return samples;
}

// Made by libjpeg directly, so the reader is tested against another writer than its own.
Bytes makeJpeg(const JpegRecipe& recipe) {
    const std::vector<JSAMPLE> samples = samplesOf(recipe);
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &length);
    cinfo.image_width = JDIMENSION(recipe.width);
    cinfo.image_height = JDIMENSION(recipe.height);
    cinfo.input_components = recipe.bands;
    cinfo.in_color_space = recipe.bands == 4   ? JCS_CMYK
                           : recipe.bands == 3 ? JCS_RGB
                                               : JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, recipe.quality, TRUE);
    cinfo.write_JFIF_header = FALSE;
    if (recipe.bands == 3 && !recipe.subsampled)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    if (recipe.progressive)
        jpeg_simple_progression(&cinfo);
    cinfo.restart_in_rows = recipe.restartRows;
    jpeg_start_compress(&cinfo, TRUE);
    for (const Bytes& body : recipe.app1)
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, body.data(), unsigned(body.size()));
    if (!recipe.icc.empty())
        jpeg_write_icc_profile(&cinfo, recipe.icc.data(), unsigned(recipe.icc.size()));
    const std::size_t stride = std::size_t(recipe.width) * recipe.bands;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(samples.data()) + stride * cinfo.next_scanline;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes bytes(buffer, buffer + length);
    std::free(buffer);
    return bytes;
}

Bytes prefixed(const char* id, std::size_t idSize, const Bytes& data) {
    Bytes body(id, id + idSize);
    body.insert(body.end(), data.begin(), data.end());
    return body;
}

// A little-endian block: IFD0 with the Exif IFD, which holds PixelXDimension (LONG) and a
// MakerNote-like blob.
Bytes cameraExif(std::uint32_t width) {
    Bytes b = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0x69, 0x87, 4, 0, 1, 0, 0, 0,
               26,  0,   0,  0, 0, 0, 0, 0, 2, 0, 2,    0xa0, 4, 0, 1, 0, 0, 0};
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<unsigned char>(width >> (8 * i)));
    b.insert(b.end(), {0x7c, 0x92, 7, 0, 12, 0, 0, 0, 56, 0, 0, 0, 0, 0, 0, 0});
    for (int i = 0; i < 12; ++i)
        b.push_back(static_cast<unsigned char>(0xa0 + i));
    return b;
}

struct Decoded {
    PictureShape shape;
    PictureMetadata metadata;
    std::vector<unsigned char> samples;
};

Decoded decode(const Bytes& jpeg, const ConvertSettings& settings = {}) {
    const std::unique_ptr<RowSource> source = openJpegReader(jpeg.data(), jpeg.size(), settings);
    Decoded decoded{source->shape(), source->metadata(), {}};
    decoded.samples.resize(decoded.shape.rowBytes() * decoded.shape.height);
    for (int y = 0; y < decoded.shape.height; ++y)
        source->readRow(decoded.samples.data() + decoded.shape.rowBytes() * y);
    return decoded;
}

// `picture` cropped to width x height and written with its metadata.
Bytes encode(const Decoded& picture, int width, int height) {
    PictureShape shape = picture.shape;
    shape.width = width;
    shape.height = height;
    MemorySink sink;
    const std::unique_ptr<RowSink> writer = openJpegWriter(sink, shape, picture.metadata, "out");
    for (int y = 0; y < height; ++y)
        writer->writeRow(picture.samples.data() + picture.shape.rowBytes() * y);
    writer->finish();
    return sink.bytes();
}

Status statusOf(const Bytes& jpeg, const ConvertSettings& settings = {}) {
    try {
        decode(jpeg, settings);
    } catch (const Error& error) {
        return error.status();
    }
    return Status::Ok;
}

} // namespace

TEST(JpegRows, aCopyKeepsWhatTheInputCarried) {
    Bytes bigIcc(70000);
    for (std::size_t i = 0; i < bigIcc.size(); ++i)
        bigIcc[i] = static_cast<unsigned char>(i * 31 >> 3);
    const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>";
    const Bytes xmpBody = prefixed(kJpegXmpId, sizeof kJpegXmpId, Bytes(xmp.begin(), xmp.end()));
    const Bytes exifBody = prefixed(kJpegExifId, sizeof kJpegExifId, cameraExif(48));
    struct Case {
        const char* name;
        JpegRecipe recipe;
    };
    const Case cases[] = {
        {"4:2:0, q75, EXIF, XMP, profile over two markers",
         {48, 32, 3, 75, true, false, 0, {exifBody, xmpBody}, bigIcc}},
        {"4:4:4, q93", {48, 32, 3, 93, false, false, 0, {}, Bytes(300, 7)}},
        {"grey, progressive", {48, 32, 1, 60, false, true, 0, {exifBody}, {}}},
        {"CMYK", {48, 32, 4, 85, false, false, 0, {}, {}}},
    };
    for (const Case& c : cases) {
        const Decoded input = decode(makeJpeg(c.recipe));
        EXPECT_EQ(input.shape.cmyk, c.recipe.bands == 4) << c.name;
        const Decoded copy = decode(encode(input, 40, 30));
        ASSERT_EQ(copy.shape.width, 40) << c.name;
        EXPECT_EQ(copy.shape.bands, c.recipe.bands) << c.name;
        EXPECT_EQ(copy.metadata.jpegQuality, c.recipe.quality) << c.name;
        EXPECT_EQ(copy.metadata.chromaSubsampled, c.recipe.subsampled && c.recipe.bands == 3)
            << c.name;
        EXPECT_EQ(copy.metadata.icc, c.recipe.icc) << c.name;
        EXPECT_EQ(copy.metadata.xmp, c.recipe.app1.size() > 1 ? xmp : "") << c.name;
        if (!c.recipe.app1.empty()) {
            EXPECT_EQ(copy.metadata.exif, cameraExif(40)) << c.name;
        }
        // Ink comes back as ink: the inversion of Adobe's CMYK is undone on the way out.
        int worst = 0;
        for (int y = 0; y < 30; ++y)
            for (std::size_t x = 0; x < copy.shape.rowBytes(); ++x)
                worst =
                    std::max(worst, std::abs(int(copy.samples[copy.shape.rowBytes() * y + x]) -
                                             int(input.samples[input.shape.rowBytes() * y + x])));
        EXPECT_LT(worst, 48) << c.name;
    }
}

TEST(JpegRows, damageIsRefusedWhereItIsMet) {
    JpegRecipe recipe;
    recipe.width = 256;
    recipe.height = 256;
    const Bytes jpeg = makeJpeg(recipe);
    Bytes badHuffman = jpeg;
    for (std::size_t i = jpeg.size() / 2; i < jpeg.size() / 2 + 40; ++i)
        badHuffman[i] = i % 7 == 0 ? 0xff : badHuffman[i] ^ 0x5a;
    const Bytes cases[] = {
        Bytes(jpeg.begin(), jpeg.begin() + long(jpeg.size() / 2)),
        Bytes(jpeg.begin(), jpeg.end() - 2), // the end marker missing
        badHuffman,
    };
    for (const Bytes& input : cases) {
        try {
            decode(input);
            ADD_FAILURE() << input.size() << " bytes accepted";
        } catch (const Error& error) {
            EXPECT_EQ(error.status(), Status::BadInput);
            EXPECT_EQ(error.reason().rfind("corrupt or truncated JPEG (jpeg: ", 0), 0u)
                << error.reason();
        }
    }
}

TEST(JpegRows, onlyPicturesHeldWholeAreBoundByTheCap) {
    ConvertSettings tight;
    tight.limits.maxHeldBytes = 48 * 32 * 3 * 2 - 1; // just below its 4:4:4 coefficients
    JpegRecipe progressive;
    progressive.subsampled = false;
    progressive.progressive = true;
    EXPECT_EQ(statusOf(makeJpeg(progressive), tight), Status::TooLarge);
    EXPECT_EQ(statusOf(makeJpeg(progressive)), Status::Ok);
    JpegRecipe baseline = progressive;
    baseline.progressive = false;
    EXPECT_EQ(statusOf(makeJpeg(baseline), tight), Status::Ok);
}

TEST(JpegRows, theWalkerCrossesScansAndRestartMarkers) {
    JpegRecipe recipe;
    recipe.restartRows = 1;
    const Bytes jpeg = makeJpeg(recipe);
    JpegMarkerWalker walker(jpeg.data(), jpeg.size());
    JpegMarker marker;
    std::vector<unsigned> codes;
    while (walker.next(marker))
        codes.push_back(marker.code);
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes[codes.size() - 2], 0xdau);
    EXPECT_EQ(codes.back(), 0xd9u);
    JpegMarkerWalker cut(jpeg.data(), 30);
    while (cut.next(marker)) {
    }
    EXPECT_TRUE(cut.cut());
}

// Bands encoded on any number of threads join into the file one compressor writes with restart
// markers, metadata included, and decode (libjpeg and libvips) to the pixels of a plain scan:
// band boundaries on the first and last rows, restart numbers past 7, narrower than an MCU.
TEST(JpegBands, joinedBandsAreOneCompressorsFile) {
    struct Case {
        JpegRecipe recipe;
        int bandMcuRows;
    };
    const Case cases[] = {
        {{.width = 37, .height = 89, .bands = 1}, 1}, // 12 bands, the last one row
        {{.width = 45, .height = 64}, 1},             // 4:2:0, the last band full
        {{.width = 5, .height = 33}, 1},              // narrower than an MCU
        {{.width = 40, .height = 41, .subsampled = false}, 2},
        {{.width = 23, .height = 30, .bands = 4}, 1},
        {{.width = 30, .height = 1}, 1},
    };
    for (const Case& c : cases) {
        const JpegRecipe& recipe = c.recipe;
        SCOPED_TRACE(std::to_string(recipe.width) + "x" + std::to_string(recipe.height) + "x" +
                     std::to_string(recipe.bands));
        const Bytes plain = makeJpeg(recipe);
        std::vector<JSAMPLE> samples = samplesOf(recipe);
        // Ink goes in as ink and is stored inverted, as makeJpeg stores its samples.
        if (recipe.bands == 4)
            for (JSAMPLE& sample : samples)
                sample = JSAMPLE(255 - sample);
        const PictureShape shape{recipe.width, recipe.height,    1, recipe.bands, false,
                                 false,        recipe.bands == 4};
        PictureMetadata metadata;
        metadata.jpegQuality = recipe.quality;
        metadata.chromaSubsampled = recipe.subsampled;
        metadata.xmp = "<x/>";
        metadata.icc = Bytes(70000, 7);
        Bytes single;
        for (const int threads : {1, 2, 3}) {
            MemorySink sink;
            const auto writer =
                openJpegWriter(sink, shape, metadata, "out", {threads, c.bandMcuRows});
            for (int y = 0; y < recipe.height; ++y)
                writer->writeRow(samples.data() + shape.rowBytes() * y);
            writer->finish();
            if (threads == 1)
                single = sink.bytes();
            else
                EXPECT_EQ(sink.bytes(), single) << threads << " threads";
        }
        EXPECT_EQ(decode(single).samples, decode(plain).samples);
        const vips::VImage difference = fixtures::load(single) - fixtures::load(plain);
        EXPECT_EQ(difference.abs().max(), 0.0);
    }
}

// A write that fails while bands are in flight is the sink's failure, not an encoding error.
TEST(JpegBands, aFailedWriteIsReportedAsSuch) {
    struct FullSink : MemorySink {
        bool append(const void* data, std::size_t size) override {
            return bytes().size() + size <= 2000 && MemorySink::append(data, size);
        }
        std::string failure() const override { return "No space left on device"; }
    } sink;
    const JpegRecipe recipe{.width = 64, .height = 256};
    const std::vector<JSAMPLE> samples = samplesOf(recipe);
    const PictureShape shape{recipe.width, recipe.height};
    try {
        const auto writer = openJpegWriter(sink, shape, {}, "out", {2, 1});
        for (int y = 0; y < recipe.height; ++y)
            writer->writeRow(samples.data() + shape.rowBytes() * y);
        writer->finish();
        ADD_FAILURE() << "the write went through";
    } catch (const Error& error) {
        EXPECT_EQ(error.status(), Status::CannotWrite);
        EXPECT_EQ(error.reason(), "No space left on device");
    }
}
