// SPDX-License-Identifier: MIT
// Encoders that work in bands on several threads: the same bytes whatever the number of threads,
// decoding to exactly the rows given, bands ending on the first and last rows.
#include "band_workers.h"
#include "fixtures.h"
#include "gif_writer.h"
#include "png_image_data.h"
#include "png_reader.h"
#include "png_writer.h"
#include "tiff_writer.h"

#include <atomic>
#include <chrono>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <random>
#include <stdexcept>
#include <thread>

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

// Frames of random colours: most the palette's own, the rest blends the mapper has to place,
// a few pixels transparent.
struct GifCase {
    const char* name;
    int width;
    int frameHeight;
    int frames;
};

GifLayout gifLayout(const GifCase& c, std::mt19937& random) {
    GifLayout layout;
    layout.width = c.width;
    layout.frameHeight = c.frameHeight;
    layout.frames = c.frames;
    std::vector<GifPalette> frames(std::size_t(c.frames));
    for (GifPalette& palette : frames) {
        palette.transparent = true;
        for (int i = 0; i < 200; ++i)
            palette.colours.push_back(std::uint32_t(random()) & 0xffffff);
    }
    layout.palettes = *planPalettes(frames); // 400 colours: a local table each
    return layout;
}

Bytes gifRows(const GifCase& c, const GifLayout& layout, std::mt19937& random) {
    Bytes rows;
    for (int frame = 0; frame < c.frames; ++frame) {
        const GifPalette& palette =
            frame > 0 ? layout.palettes.local[std::size_t(frame)] : layout.palettes.global;
        for (int i = 0; i < c.width * c.frameHeight; ++i) {
            std::uint32_t rgb = palette.colours[random() % palette.colours.size()];
            if (random() % 4 == 0)
                rgb = std::uint32_t(random());
            rows.insert(rows.end(),
                        {static_cast<unsigned char>(rgb >> 16),
                         static_cast<unsigned char>(rgb >> 8), static_cast<unsigned char>(rgb),
                         static_cast<unsigned char>(random() % 16 == 0 ? 0 : 255)});
        }
    }
    return rows;
}

Bytes writeGif(const GifLayout& layout, const Bytes& rows, int threads) {
    MemorySink sink;
    GifWriter writer(sink, layout, 4, threads);
    for (std::size_t at = 0; at < rows.size(); at += std::size_t(layout.width) * 4)
        EXPECT_TRUE(writer.addRow(&rows[at]));
    EXPECT_TRUE(writer.finish());
    return sink.bytes();
}

// Each frame's colour indices as giflib decodes them.
std::vector<Bytes> giflibIndices(const Bytes& gif) {
    struct Reader {
        const Bytes& bytes;
        std::size_t at = 0;
    } reader{gif};
    const InputFunc read = [](GifFileType* file, GifByteType* out, int count) {
        auto* r = static_cast<Reader*>(file->UserData);
        const std::size_t n = std::min(std::size_t(count), r->bytes.size() - r->at);
        std::copy_n(r->bytes.begin() + long(r->at), n, out);
        r->at += n;
        return int(n);
    };
    int error = 0;
    GifFileType* file = DGifOpen(&reader, read, &error);
    std::vector<Bytes> frames;
    if (file && DGifSlurp(file) == GIF_OK)
        for (int i = 0; i < file->ImageCount; ++i) {
            const SavedImage& image = file->SavedImages[i];
            const GifWord size = image.ImageDesc.Width * image.ImageDesc.Height;
            frames.emplace_back(image.RasterBits, image.RasterBits + size);
        }
    DGifCloseFile(file, &error);
    return frames;
}

} // namespace

TEST(Bands, aGifIsTheSameFileOnAnyThreadsAndDecodesToTheMappedIndices) {
    // 32768 pixels wide, a band is 4 rows; random colours fill the LZW table within a row.
    const GifCase cases[] = {
        {"one row", 32768, 1, 1},
        {"one band exactly", 32768, 4, 1},
        {"a band of one row last, two frames", 32768, 5, 2},
        {"narrow: one band a frame", 7, 3, 2},
    };
    std::mt19937 random(5);
    for (const GifCase& c : cases) {
        SCOPED_TRACE(c.name);
        const GifLayout layout = gifLayout(c, random);
        const Bytes rows = gifRows(c, layout, random);
        const Bytes gif = writeGif(layout, rows, 1);
        for (const int threads : kThreadCounts)
            EXPECT_EQ(writeGif(layout, rows, threads), gif) << threads << " threads";
        const std::vector<Bytes> decoded = giflibIndices(gif);
        ASSERT_EQ(int(decoded.size()), c.frames);
        const std::size_t pixels = std::size_t(c.width) * std::size_t(c.frameHeight);
        for (int frame = 0; frame < c.frames; ++frame) {
            PaletteMapper mapper(
                frame > 0 ? layout.palettes.local[std::size_t(frame)] : layout.palettes.global, 4);
            Bytes expected(pixels);
            mapper.mapRow(&rows[pixels * 4 * std::size_t(frame)], int(pixels), expected.data());
            EXPECT_TRUE(decoded[std::size_t(frame)] == expected) << "frame " << frame;
        }
        // libvips' decoder, another again, sees the same frames.
        const VImage image = fixtures::load(gif, true);
        EXPECT_EQ(image.height(), c.frameHeight * c.frames);
    }
    EXPECT_EQ(kGifBandPixels / 32768, 4);
}

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

TEST(Bands, aTiffIsTheSameFileOnAnyThreadsAndDecodesToItsRows) {
    // Strips of 128 rows, the last of 44; LZW's table fills and clears within a strip.
    PictureShape shape;
    shape.width = 700;
    shape.height = 300;
    shape.bands = 4;
    shape.alpha = true;
    shape.sixteenBit = true;
    const Bytes rows = rowsFor(shape);
    for (const int compression : {5, 8, 32773}) {
        SCOPED_TRACE(compression);
        PictureMetadata metadata;
        metadata.tiffCompression = compression;
        const auto write = [&](int threads) {
            MemorySink sink;
            const std::unique_ptr<RowSink> writer =
                openTiffWriter(sink, shape, metadata, "out.tif", threads);
            for (int y = 0; y < shape.height; ++y)
                writer->writeRow(&rows[std::size_t(y) * shape.rowBytes()]);
            writer->finish();
            return sink.bytes();
        };
        const Bytes tiff = write(1);
        for (const int threads : kThreadCounts)
            EXPECT_EQ(write(threads), tiff) << threads << " threads";
        EXPECT_TRUE(samplesOf(fixtures::load(tiff)) == rows);
    }
}

// The encoder's own thread runs jobs no worker has taken while it waits: each job runs once,
// with a thread number below threads(), and failures come back with their own job, in order.
TEST(Bands, workersRunEveryJobOnceAndHandBackFailuresInOrder) {
    BandWorkers workers(2);
    EXPECT_EQ(workers.threads(), 3);
    constexpr int kJobs = 40;
    std::vector<std::atomic<int>> runs(kJobs);
    std::vector<std::atomic<int>> threadOf(kJobs);
    int failed = 0;
    const auto collect = [&] {
        try {
            workers.collect();
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::stoi(e.what()), failed++ * 7);
        }
    };
    for (int job = 0; job < kJobs; ++job) {
        workers.submit([&, job](int thread) {
            ++runs[std::size_t(job)];
            threadOf[std::size_t(job)] = thread;
            std::this_thread::sleep_for(std::chrono::microseconds(job % 3 * 200));
            if (job % 7 == 0)
                throw std::runtime_error(std::to_string(job));
        });
        if (workers.pending() >= workers.depth())
            collect();
    }
    while (workers.pending() > 0)
        collect();
    EXPECT_EQ(failed, (kJobs + 6) / 7);
    for (int job = 0; job < kJobs; ++job) {
        EXPECT_EQ(runs[std::size_t(job)], 1) << job;
        EXPECT_LT(threadOf[std::size_t(job)], workers.threads()) << job;
    }
}
