// SPDX-License-Identifier: MIT
#include "gif_rows.h"

#include "error.h"
#include "gif_writer.h"

#include <cstring>
#include <vector>

namespace nconvert {
namespace {

class GifSource : public RowSource {
public:
    explicit GifSource(ComposedGif gif) : m_gif(std::move(gif)) {
        const Pixels<std::uint8_t>& pixels = m_gif.pixels;
        m_shape.width = pixels.width;
        m_shape.height = m_gif.frameHeight;
        m_shape.frames = m_gif.frames;
        m_shape.bands = pixels.bands;
        m_shape.alpha = pixels.alpha;
        m_metadata.delaysMs = m_gif.delaysMs;
        m_metadata.loop = m_gif.loop;
        if (m_gif.indexed)
            m_metadata.frameColours = {{m_gif.indexed->colours, m_gif.indexed->transparent}};
    }
    const PictureShape& shape() const override { return m_shape; }
    const PictureMetadata& metadata() const override { return m_metadata; }
    void readRow(void* row) override {
        if (m_gif.indexed) {
            expandRow(static_cast<unsigned char*>(row));
            return;
        }
        const std::size_t bytes = m_shape.rowBytes();
        std::memcpy(row, m_gif.pixels.samples.data() + bytes * m_row++, bytes);
    }
    bool rewind() override {
        m_row = 0;
        return true;
    }

private:
    void expandRow(unsigned char* out) {
        const std::size_t width = std::size_t(m_shape.width);
        const unsigned char* index = m_gif.indexed->indices.data() + width * m_row++;
        const std::uint32_t* rgba = m_gif.indexed->rgba.data();
        if (m_shape.bands == 4) {
            for (std::size_t x = 0; x < width; ++x, out += 4)
                std::memcpy(out, &rgba[index[x]], 4);
            return;
        }
        // Four bytes put down a pixel, the fourth overwritten by the next; the last pixel's
        // three by themselves.
        for (std::size_t x = 0; x + 1 < width; ++x, out += 3)
            std::memcpy(out, &rgba[index[x]], 4);
        std::memcpy(out, &rgba[index[width - 1]], 3);
    }

    ComposedGif m_gif;
    PictureShape m_shape;
    PictureMetadata m_metadata;
    std::size_t m_row = 0;
};

class GifSink : public RowSink {
public:
    GifSink(OutputSink& sink, GifLayout layout, int bands, std::string outputName)
        : m_sink(sink), m_writer(sink, std::move(layout), bands),
          m_outputName(std::move(outputName)) {}
    void writeRow(const void* row) override {
        if (!m_writer.addRow(static_cast<const unsigned char*>(row)))
            fail();
    }
    void finish() override {
        if (!m_writer.finish())
            fail();
    }

private:
    [[noreturn]] void fail() { throw Error(Status::CannotWrite, m_outputName, m_sink.failure()); }
    OutputSink& m_sink;
    GifWriter m_writer;
    std::string m_outputName;
};

} // namespace

std::unique_ptr<RowSource> gifRowSource(ComposedGif gif) {
    return std::make_unique<GifSource>(std::move(gif));
}

std::optional<GifPalettes> countGifPalettes(RowSource& source) {
    const PictureShape& shape = source.shape();
    const std::vector<FrameColours>& known = source.metadata().frameColours;
    if (int(known.size()) == shape.frames) {
        std::vector<GifPalette> frames;
        for (const FrameColours& frame : known)
            frames.push_back(GifPalette{frame.rgb, frame.transparent});
        return planPalettes(frames);
    }
    std::vector<unsigned char> row(shape.rowBytes());
    std::vector<GifPalette> frames;
    for (int frame = 0; frame < shape.frames; ++frame) {
        ColourCounter counter(shape.bands);
        for (int y = 0; y < shape.height; ++y) {
            source.readRow(row.data());
            if (!counter.addRow(row.data(), shape.width))
                return std::nullopt;
        }
        frames.push_back(counter.palette());
    }
    return planPalettes(frames);
}

std::unique_ptr<RowSink> gifRowSink(OutputSink& sink, const PictureShape& shape,
                                    const PictureMetadata& metadata, GifPalettes palettes,
                                    const std::string& outputName) {
    GifLayout layout;
    layout.width = shape.width;
    layout.frameHeight = shape.height;
    layout.frames = shape.frames;
    layout.palettes = std::move(palettes);
    layout.delaysMs = metadata.delaysMs;
    layout.loop = metadata.loop;
    return std::make_unique<GifSink>(sink, std::move(layout), shape.bands, outputName);
}

} // namespace nconvert
