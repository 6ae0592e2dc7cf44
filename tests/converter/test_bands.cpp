// SPDX-License-Identifier: MIT
// Encoders that work in bands on several threads: the same bytes whatever the number of threads,
// decoding to exactly the rows given, bands ending on the first and last rows.
#include "fixtures.h"
#include "png_image_data.h"
#include "png_reader.h"
#include "png_writer.h"

#include <gtest/gtest.h>
#include <random>

using namespace nconvert;
using fixtures::Bytes;
using vips::VImage;

namespace {

constexpr int kThreadCounts[] = {1, 2, 5};

// A short pattern with sparse noise: deflate then reaches back across bands, which decodes
// right only when each band was primed with the very bytes before it.
Bytes rowsFor(const PictureShape& shape) {
    std::mt19937 random(11);
    Bytes pattern(997);
    for (unsigned char& byte : pattern)
        byte = static_cast<unsigned char>(random());
    Bytes rows(shape.rowBytes() * std::size_t(shape.height));
    for (std::size_t i = 0; i < rows.size(); ++i)
        rows[i] = i % 61 == 0 ? static_cast<unsigned char>(random()) : pattern[i % pattern.size()];
    return rows;
}

Bytes writePng(const PictureShape& shape, const Bytes& rows, int threads) {
    MemorySink sink;
    const std::unique_ptr<RowSink> writer = openPngWriter(sink, shape, {}, "out.png", threads);
    for (int y = 0; y < shape.height; ++y)
        writer->writeRow(&rows[std::size_t(y) * shape.rowBytes()]);
    writer->finish();
    return sink.bytes();
}

Bytes samplesOf(const VImage& image) {
    std::size_t size = 0;
    void* data = image.write_to_memory(&size);
    Bytes samples(static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + size);
    g_free(data);
    return samples;
}

} // namespace

TEST(Bands, aPngIsTheSameFileOnAnyThreadsAndDecodesToItsRows) {
    struct Case {
        const char* name;
        int width;
        int height;
        int bands;
        bool sixteenBit;
    };
    // Wide rows make bands of a few rows: 8-bit RGB 30000 wide is 3 rows a band, 16-bit RGBA
    // 8192 wide 4 rows.
    const Case cases[] = {
        {"one row", 30000, 1, 3, false},
        {"one band exactly", 30000, 3, 3, false},
        {"a band of one row last", 30000, 7, 3, false},
        {"bands ending on the last row", 30000, 9, 3, false},
        {"16-bit, a band of one row last", 8192, 9, 4, true},
        {"16-bit grey, one row", 5, 1, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PictureShape shape;
        shape.width = c.width;
        shape.height = c.height;
        shape.bands = c.bands;
        shape.alpha = c.bands == 4;
        shape.sixteenBit = c.sixteenBit;
        const Bytes rows = rowsFor(shape);
        const Bytes png = writePng(shape, rows, 1);
        for (const int threads : kThreadCounts)
            EXPECT_EQ(writePng(shape, rows, threads), png) << threads << " threads";
        // libpng (our reader) checks the Adler-32 too; libvips reads with a decoder of its own.
        const std::unique_ptr<RowSource> reader =
            openPngReader(png.data(), png.size(), ConvertSettings{});
        Bytes read(rows.size());
        for (int y = 0; y < shape.height; ++y)
            reader->readRow(&read[std::size_t(y) * shape.rowBytes()]);
        EXPECT_TRUE(read == rows);
        EXPECT_TRUE(samplesOf(fixtures::load(png)) == rows);
    }
    EXPECT_EQ(pngBandRows(30000 * 3), 3);
    EXPECT_EQ(pngBandRows(8192 * 8), 4);
}
