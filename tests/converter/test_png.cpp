// SPDX-License-Identifier: MIT
// The PNG reader and writer: every kind of PNG read to exact samples and written back without a
// difference, metadata carried, extra chunks skipped, damage refused.
#include "fixtures.h"
#include "png_chunks.h"
#include "png_reader.h"
#include "png_writer.h"

#include <bit>
#include <cstring>
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

using namespace nconvert;
using fixtures::Bytes;
using vips::VImage;

namespace {

// A PNG's layout; a palette PNG's samples are indices.
struct Layout {
    const char* name;
    int colour;
    int depth;
    bool interlaced = false;
    bool transparency = false; ///< a tRNS chunk
};

constexpr int kWidth = 13; // not a whole number of bytes at 1, 2 and 4 bits
constexpr int kHeight = 7;

int storedBands(int colour) {
    static const int bands[7] = {1, 0, 3, 1, 2, 0, 4};
    return bands[colour];
}

unsigned maxStored(const Layout& layout) {
    if (layout.colour == PNG_COLOR_TYPE_PALETTE)
        return layout.depth == 8 ? 199 : (1u << layout.depth) - 1;
    return (1u << layout.depth) - 1;
}

unsigned stored(const Layout& layout, int pixel, int band) {
    return (unsigned(pixel) * 2654435761u + unsigned(band) * 40503u) % (maxStored(layout) + 1);
}

png_color paletteEntry(unsigned index) {
    return {png_byte(index * 3), png_byte(255 - index), png_byte(index * 7)};
}

png_byte paletteAlpha(unsigned index) {
    return png_byte(index * 50);
}
constexpr int kPaletteAlphas = 5;

// The samples a reader must give: what libpng's own expansions give, worked out by hand.
std::vector<unsigned> expected(const Layout& layout) {
    std::vector<unsigned> out;
    const int bands = storedBands(layout.colour);
    for (int i = 0; i < kWidth * kHeight; ++i) {
        if (layout.colour == PNG_COLOR_TYPE_PALETTE) {
            const unsigned index = stored(layout, i, 0);
            const png_color c = paletteEntry(index);
            out.insert(out.end(), {c.red, c.green, c.blue});
            if (layout.transparency)
                out.push_back(index < kPaletteAlphas ? paletteAlpha(index) : 255);
            continue;
        }
        bool key = true; // the tRNS colour is pixel 0's
        for (int b = 0; b < bands; ++b) {
            const unsigned v = stored(layout, i, b);
            key = key && v == stored(layout, 0, b);
            out.push_back(layout.depth < 8 ? v * 255 / maxStored(layout) : v);
        }
        if (layout.transparency)
            out.push_back(key ? 0 : layout.depth == 16 ? 65535 : 255);
    }
    return out;
}

// Writes `layout` with libpng itself.
Bytes makePng(const Layout& layout) {
    Bytes bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const int bands = storedBands(layout.colour);
    const std::size_t rowSamples = std::size_t(kWidth) * bands;
    std::vector<std::uint16_t> rows16(rowSamples * kHeight);
    std::vector<png_byte> rows8(rowSamples * kHeight);
    for (int i = 0; i < kWidth * kHeight; ++i)
        for (int b = 0; b < bands; ++b) {
            rows16[std::size_t(i) * bands + b] = std::uint16_t(stored(layout, i, b));
            rows8[std::size_t(i) * bands + b] = png_byte(stored(layout, i, b));
        }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng cannot write " << layout.name;
        return {};
    }
    png_set_write_fn(
        png, &bytes,
        [](png_structp p, png_bytep data, png_size_t size) {
            auto* out = static_cast<Bytes*>(png_get_io_ptr(p));
            out->insert(out->end(), data, data + size);
        },
        nullptr);
    png_set_IHDR(png, info, kWidth, kHeight, layout.depth, layout.colour,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (unsigned k = 0; k <= maxStored(layout) && layout.colour == PNG_COLOR_TYPE_PALETTE; ++k)
        palette.push_back(paletteEntry(k));
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    png_byte alphas[kPaletteAlphas];
    for (int k = 0; k < kPaletteAlphas; ++k)
        alphas[k] = paletteAlpha(unsigned(k));
    png_color_16 key{};
    key.gray = key.red = png_uint_16(stored(layout, 0, 0));
    key.green = png_uint_16(stored(layout, 0, 1));
    key.blue = png_uint_16(stored(layout, 0, 2));
    if (layout.transparency)
        png_set_tRNS(png, info, alphas, std::min<int>(kPaletteAlphas, int(palette.size())), &key);
    png_write_info(png, info);
    if (layout.depth < 8)
        png_set_packing(png);
    if (layout.depth == 16 && std::endian::native == std::endian::little)
        png_set_swap(png);
    const int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < kHeight; ++y)
            png_write_row(png, layout.depth == 16
                                   ? reinterpret_cast<png_bytep>(&rows16[y * rowSamples])
                                   : &rows8[y * rowSamples]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

struct Read {
    PictureShape shape;
    PictureMetadata metadata;
    std::vector<unsigned> samples;
    Bytes rows; ///< as read
};

Read readPng(const Bytes& png, const ConvertSettings& settings = {}) {
    const std::unique_ptr<RowSource> reader = openPngReader(png.data(), png.size(), settings);
    Read read{reader->shape(), reader->metadata(), {}, {}};
    read.rows.resize(read.shape.rowBytes() * std::size_t(read.shape.height));
    for (int y = 0; y < read.shape.height; ++y)
        reader->readRow(&read.rows[std::size_t(y) * read.shape.rowBytes()]);
    const std::size_t count = read.rows.size() / read.shape.bytesPerSample();
    for (std::size_t i = 0; i < count; ++i) {
        std::uint16_t wide = 0;
        if (read.shape.sixteenBit)
            std::memcpy(&wide, &read.rows[2 * i], 2);
        read.samples.push_back(read.shape.sixteenBit ? wide : read.rows[i]);
    }
    return read;
}

Bytes writePng(const PictureShape& shape, const PictureMetadata& metadata, const Bytes& rows) {
    MemorySink sink;
    const std::unique_ptr<RowSink> writer = openPngWriter(sink, shape, metadata, "out.png");
    for (int y = 0; y < shape.height; ++y)
        writer->writeRow(&rows[std::size_t(y) * shape.rowBytes()]);
    writer->finish();
    return sink.bytes();
}

// `png` with chunks added just before its first IDAT and just before IEND.
Bytes withChunks(const Bytes& png, const std::vector<std::pair<const char*, Bytes>>& before,
                 const std::vector<std::pair<const char*, Bytes>>& after) {
    Bytes out(png.begin(), png.begin() + 8);
    bool added = false;
    PngChunks chunks(png.data(), png.size());
    while (const std::optional<PngChunk> chunk = chunks.next()) {
        for (const auto& [type, data] : (chunk->is("IDAT") && !added) ? before
                                        : chunk->is("IEND")           ? after
                                                                      : decltype(before){})
            fixtures::appendPngChunk(out, type, data);
        added = added || chunk->is("IDAT");
        out.insert(out.begin() + long(out.size()), png.begin() + long(chunk->offset),
                   png.begin() + long(chunk->offset + 12 + chunk->length));
    }
    return out;
}

// Recomputes the CRC of the chunk at `offset`, so that damage inside it reaches the decoder.
void resealChunk(Bytes& png, std::size_t offset) {
    const std::uint32_t length = readBe32(&png[offset]);
    const uLong crc = crc32(0, &png[offset + 4], 4 + length);
    for (int k = 0; k < 4; ++k)
        png[offset + 8 + length + std::size_t(k)] = static_cast<unsigned char>(crc >> (24 - 8 * k));
}

// Takes `room` bytes, then fails as a full disk does.
class FullSink : public MemorySink {
public:
    explicit FullSink(std::size_t room) : m_room(room) {}
    bool append(const void* data, std::size_t size) override {
        return size <= m_room - bytes().size() && MemorySink::append(data, size);
    }
    std::string failure() const override { return "No space left on device"; }

private:
    std::size_t m_room;
};

} // namespace

TEST(Png, everyKindReadsExactlyAndWritesBackWithoutADifference) {
    const Layout layouts[] = {
        {"grey 1-bit", PNG_COLOR_TYPE_GRAY, 1},
        {"grey 2-bit", PNG_COLOR_TYPE_GRAY, 2},
        {"grey 4-bit", PNG_COLOR_TYPE_GRAY, 4},
        {"grey 8-bit + tRNS", PNG_COLOR_TYPE_GRAY, 8, false, true},
        {"grey 16-bit + tRNS", PNG_COLOR_TYPE_GRAY, 16, false, true},
        {"grey 2-bit + tRNS, interlaced", PNG_COLOR_TYPE_GRAY, 2, true, true},
        {"grey + alpha 8-bit", PNG_COLOR_TYPE_GRAY_ALPHA, 8},
        {"grey + alpha 16-bit", PNG_COLOR_TYPE_GRAY_ALPHA, 16},
        {"RGB 8-bit", PNG_COLOR_TYPE_RGB, 8},
        {"RGB 16-bit + tRNS", PNG_COLOR_TYPE_RGB, 16, false, true},
        {"RGB 8-bit, interlaced", PNG_COLOR_TYPE_RGB, 8, true},
        {"RGBA 8-bit", PNG_COLOR_TYPE_RGB_ALPHA, 8},
        {"RGBA 16-bit, interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 16, true},
        {"palette 1-bit", PNG_COLOR_TYPE_PALETTE, 1},
        {"palette 2-bit + tRNS", PNG_COLOR_TYPE_PALETTE, 2, false, true},
        {"palette 4-bit, interlaced", PNG_COLOR_TYPE_PALETTE, 4, true},
        {"palette 8-bit + tRNS", PNG_COLOR_TYPE_PALETTE, 8, false, true},
        {"palette 8-bit + tRNS, interlaced", PNG_COLOR_TYPE_PALETTE, 8, true, true},
    };
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        const Read read = readPng(makePng(layout));
        EXPECT_EQ(read.shape.width, kWidth);
        EXPECT_EQ(read.shape.height, kHeight);
        EXPECT_EQ(read.shape.sixteenBit, layout.depth == 16);
        EXPECT_EQ(read.shape.alpha, read.shape.bands == 2 || read.shape.bands == 4);
        EXPECT_EQ(read.samples, expected(layout));
        // Written back and read by libvips, not by our reader.
        const VImage copy = fixtures::load(writePng(read.shape, {}, read.rows));
        EXPECT_EQ(copy.bands(), read.shape.bands);
        std::size_t size = 0;
        void* memory = copy.write_to_memory(&size);
        EXPECT_EQ(
            Bytes(static_cast<unsigned char*>(memory), static_cast<unsigned char*>(memory) + size),
            read.rows);
        g_free(memory);
    }
}

TEST(Png, metadataIsCarried) {
    // What libvips writes is read ...
    VImage image =
        fixtures::photo(16, 16).copy(VImage::option()->set("xres", 5.0)->set("yres", 2.0));
    const Bytes icc = fixtures::srgbProfile();
    vips_image_set_blob_copy(image.get_image(), VIPS_META_ICC_NAME, icc.data(), icc.size());
    const std::string xmp = "<x:xmpmeta xmlns:x='adobe:ns:meta/'/>";
    vips_image_set_blob_copy(image.get_image(), VIPS_META_XMP_NAME, xmp.data(), xmp.size());
    image.set("png-comment-0-Title", "quorvel");
    const PictureMetadata read = readPng(fixtures::save(image, ".png")).metadata;
    EXPECT_EQ(read.icc, icc);
    EXPECT_EQ(read.xmp, xmp);
    ASSERT_FALSE(read.text.empty());
    EXPECT_EQ(read.text[0], std::make_pair(std::string("Title"), std::string("quorvel")));
    EXPECT_EQ(read.pixelsPerMetre[0], 5000);
    EXPECT_EQ(read.pixelsPerMetre[1], 2000);
    // ... and what we write, EXIF included, reads back the same.
    PictureMetadata given;
    given.icc = icc;
    given.xmp = xmp;
    given.text = {{"Title", "quorvel"}, {"Comment", "é, in UTF-8"}};
    given.pixelsPerMetre[0] = 3780;
    given.pixelsPerMetre[1] = 1890;
    given.exif = {'I', 'I', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    PictureShape shape;
    shape.width = shape.height = 2;
    const Read back = readPng(writePng(shape, given, Bytes(12, 7)));
    EXPECT_EQ(back.metadata.icc, given.icc);
    EXPECT_EQ(back.metadata.xmp, given.xmp);
    EXPECT_EQ(back.metadata.text, given.text);
    EXPECT_EQ(back.metadata.pixelsPerMetre[0], 3780);
    EXPECT_EQ(back.metadata.pixelsPerMetre[1], 1890);
    EXPECT_EQ(back.metadata.exif, given.exif);
    // A profile of another colour kind than the picture's is left out, not fatal.
    shape.bands = 1;
    EXPECT_TRUE(readPng(writePng(shape, given, Bytes(4, 7))).metadata.icc.empty());
}

TEST(Png, extraChunksAndAnimationAreSkipped) {
    const Layout layout{"palette", PNG_COLOR_TYPE_PALETTE, 4, false, true};
    const Bytes plain = makePng(layout);
    const Bytes frame = {0, 0, 0, 1, 0, 0, 0, 13, 0, 0, 0, 7, 0, 0, 0, 0, 0, 0, 0, 1, 0, 10, 0, 0};
    Bytes sequenced = frame;
    sequenced.insert(sequenced.end(), {0, 0, 0, 2, 0x78, 0x9c, 1, 2, 3}); // fdAT, not decoded
    const Bytes busy =
        withChunks(plain,
                   {{"sBIT", {4, 4, 4}},
                    {"gAMA", {1}}, // the wrong size: libpng ignores it with a warning
                    {"cHRM", Bytes(32, 1)},
                    {"sRGB", {0}},
                    {"bKGD", {1}},
                    {"hIST", Bytes(32, 0)},
                    {"sPLT", {'p', 0, 8, 1, 2, 3, 4, 0, 9}},
                    {"tIME", {0x07, 0xea, 1, 2, 3, 4, 5}},
                    {"prVt", {1, 2, 3}},
                    {"acTL", {0, 0, 0, 2, 0, 0, 0, 0}},
                    {"fcTL", frame}},
                   {{"fcTL", frame}, {"fdAT", sequenced}, {"tEXt", {'k', 0, 'v'}}});
    const Read read = readPng(busy);
    EXPECT_EQ(read.samples, expected(layout));
    EXPECT_TRUE(read.metadata.text.empty()); // text after the image data is not carried
}

TEST(Png, damageIsRefused) {
    const Bytes png = makePng({"RGB", PNG_COLOR_TYPE_RGB, 8});
    PngChunks chunks(png.data(), png.size());
    std::size_t idat = 0;
    while (const std::optional<PngChunk> chunk = chunks.next())
        idat = chunk->is("IDAT") ? chunk->offset : idat;
    const auto cut = [&](std::size_t size) { return Bytes(png.begin(), png.begin() + long(size)); };
    Bytes badData = png; // not a deflate stream, under a good CRC
    badData[idat + 8 + 2] ^= 0xff;
    badData[idat + 8 + 3] ^= 0xff;
    resealChunk(badData, idat);
    Bytes badCrc = png;
    badCrc[idat + 8 + readBe32(&png[idat])] ^= 1; // the stored CRC
    const Bytes badTextCrc = [&] {
        Bytes b = withChunks(png, {{"tEXt", {'k', 0, 'v'}}}, {});
        b[idat + 8] ^= 1; // the text chunk's first byte
        return b;
    }();
    const std::pair<const char*, Bytes> cases[] = {
        {"cut in the header", cut(20)},
        {"cut in the image data", cut(idat + 20)},
        {"cut before IEND", cut(png.size() - 12)},
        {"cut in IEND", cut(png.size() - 2)},
        {"image data that does not inflate", badData},
        {"image data failing its CRC", badCrc},
        {"a text chunk failing its CRC", badTextCrc},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        try {
            readPng(bytes);
            ADD_FAILURE() << "read";
        } catch (const Error& error) {
            EXPECT_EQ(error.status(), Status::BadInput);
            EXPECT_EQ(error.reason().rfind("corrupt or truncated PNG (", 0), 0u) << error.reason();
        }
    }
}

TEST(Png, onlyAnInterlacedPictureIsHeldAndItsSizeCapped) {
    ConvertSettings settings;
    settings.limits.maxHeldBytes = kWidth * kHeight * 3 - 1;
    const Bytes interlaced = makePng({"RGB", PNG_COLOR_TYPE_RGB, 8, true});
    try {
        openPngReader(interlaced.data(), interlaced.size(), settings);
        ADD_FAILURE() << "opened";
    } catch (const Error& error) {
        EXPECT_EQ(error.status(), Status::TooLarge);
    }
    EXPECT_NO_THROW(readPng(makePng({"RGB", PNG_COLOR_TYPE_RGB, 8}), settings));
}

TEST(Png, aFailedWriteIsReportedAsOne) {
    PictureShape shape;
    shape.width = shape.height = 64;
    std::size_t size = 0;
    void* rows = fixtures::photo(64, 64).write_to_memory(&size); // incompressible enough
    FullSink sink(300);
    try {
        const std::unique_ptr<RowSink> writer = openPngWriter(sink, shape, {}, "out.png");
        for (int y = 0; y < shape.height; ++y)
            writer->writeRow(static_cast<unsigned char*>(rows) + std::size_t(y) * shape.rowBytes());
        writer->finish();
        ADD_FAILURE() << "written";
    } catch (const Error& error) {
        EXPECT_EQ(error.status(), Status::CannotWrite);
        EXPECT_EQ(error.reason(), "No space left on device");
    }
    g_free(rows);
}
