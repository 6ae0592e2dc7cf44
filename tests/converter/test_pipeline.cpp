// SPDX-License-Identifier: MIT
// Our pipeline against the libvips module where both can make the copy: the same pixels.
#include "fixtures.h"
#include "resample.h"
#include "row_resampler.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

using fixtures::Bytes;
using nconvert::Format;
using vips::VImage;

namespace {

// The largest difference between two decoded outputs, every frame.
double maxDifference(Bytes a, Bytes b) {
    if (a.size() > 46 && a[0] == 'B' && a[1] == 'M') {
        // libvips reads no BMP; the pixels are stored as they are. Only the resolution may
        // differ (libvips makes up 1 pixel per millimetre where the source says nothing).
        std::fill(a.begin() + 38, a.begin() + 46, 0);
        std::fill(b.begin() + 38, b.begin() + 46, 0);
        return a == b ? 0 : 1e9;
    }
    const VImage left = fixtures::load(a, true);
    const VImage right = fixtures::load(b, true);
    if (left.width() != right.width() || left.height() != right.height() ||
        left.bands() != right.bands())
        return 1e9;
    return (left - right).abs().max();
}

Bytes gifOf(const VImage& image) {
    return fixtures::save(image, ".gif");
}

// libvips writes no BMP: ours, by way of a PNG at 100 %.
Bytes bmpOf(const VImage& image) {
    return fixtures::convertBy(fixtures::Path::VipsOnly, fixtures::save(image, ".png"), 100, 100,
                               Format::Bmp)
        .bytes;
}

} // namespace

TEST(Pipeline, sameCopyAsTheLibvipsModule) {
    const VImage photo = fixtures::photo(61, 47);
    const VImage withAlpha = fixtures::photo(33, 29, 4);
    const VImage few = (photo / 64).cast(VIPS_FORMAT_UCHAR) * 64;
    struct Case {
        const char* name;
        Bytes input;
        int widthPercent, heightPercent;
        std::optional<Format> output;
    } cases[] = {
        {"BMP enlarged", bmpOf(photo), 200, 300, std::nullopt},
        {"BMP reduced", bmpOf(photo), 37, 50, std::nullopt},
        {"BMP with alpha", bmpOf(withAlpha), 150, 150, std::nullopt},
        {"GIF", gifOf(few), 250, 200, std::nullopt},
        {"GIF to BMP", gifOf(few), 200, 200, Format::Bmp},
        {"BMP of few colours to GIF", bmpOf(few), 200, 200, Format::Gif},
    };
    for (const Case& c : cases) {
        const auto ours = fixtures::convert(c.input, c.widthPercent, c.heightPercent, c.output);
        const auto reference = fixtures::convertBy(fixtures::Path::VipsOnly, c.input,
                                                   c.widthPercent, c.heightPercent, c.output);
        EXPECT_EQ(maxDifference(ours.bytes, reference.bytes), 0) << c.name;
    }
}

// The streamed resampler keeps only the rows its filter needs, frame by
// frame; its pixels must be the whole-picture resampler's to the bit.
TEST(Pipeline, streamedRowsAreTheWholePictureResample) {
    class Held : public nconvert::RowSource {
    public:
        Held(nconvert::Pixels<std::uint8_t> pixels, int frames) : m_pixels(std::move(pixels)) {
            m_shape.width = m_pixels.width;
            m_shape.height = m_pixels.height / frames;
            m_shape.frames = frames;
            m_shape.bands = m_pixels.bands;
            m_shape.alpha = m_pixels.alpha;
        }
        const nconvert::PictureShape& shape() const override { return m_shape; }
        const nconvert::PictureMetadata& metadata() const override { return m_metadata; }
        void readRow(void* row) override {
            std::memcpy(row, &m_pixels.samples[m_shape.rowBytes() * m_row++], m_shape.rowBytes());
        }

    private:
        nconvert::Pixels<std::uint8_t> m_pixels;
        nconvert::PictureShape m_shape;
        nconvert::PictureMetadata m_metadata;
        std::size_t m_row = 0;
    };
    std::mt19937 random(7);
    struct Size {
        int width, height, outWidth, outHeight, frames;
    } sizes[] = {{19, 13, 40, 31, 1}, {40, 30, 13, 7, 1}, {8, 6, 8, 6, 1}, {12, 9, 30, 20, 3}};
    for (const Size& s : sizes) {
        nconvert::Pixels<std::uint8_t> in;
        in.width = s.width;
        in.height = s.height * s.frames;
        in.bands = 4;
        in.alpha = true;
        in.samples.resize(std::size_t(in.width) * in.height * 4);
        for (auto& v : in.samples)
            v = std::uint8_t(random());
        class Collected : public nconvert::RowSink {
        public:
            void writeRow(const void* row) override {
                const auto* bytes = static_cast<const unsigned char*>(row);
                rows.emplace_back(bytes, bytes + size);
            }
            void finish() override {}
            std::size_t size = 0;
            std::vector<std::vector<unsigned char>> rows;
        } collected;
        Held source(in, s.frames);
        nconvert::RowResampler resampler(source.shape(), s.outWidth, s.outHeight, collected);
        collected.size = resampler.outputShape().rowBytes();
        std::vector<unsigned char> row(source.shape().rowBytes());
        for (int y = 0; y < s.height * s.frames; ++y) {
            source.readRow(row.data());
            resampler.writeRow(row.data());
        }
        ASSERT_EQ(collected.rows.size(), std::size_t(s.outHeight * s.frames));
        std::size_t next = 0;
        for (int frame = 0; frame < s.frames; ++frame) {
            nconvert::Pixels<std::uint8_t> one = in;
            one.height = s.height;
            const std::size_t frameBytes = std::size_t(in.width) * s.height * 4;
            one.samples.assign(in.samples.begin() + frameBytes * frame,
                               in.samples.begin() + frameBytes * (frame + 1));
            const auto whole = nconvert::resample(one, s.outWidth, s.outHeight);
            for (int y = 0; y < s.outHeight; ++y) {
                const std::vector<unsigned char>& row = collected.rows[next++];
                ASSERT_EQ(std::memcmp(row.data(), &whole.samples[row.size() * y], row.size()), 0)
                    << s.width << "x" << s.height << " frame " << frame << " row " << y;
            }
        }
    }
}
