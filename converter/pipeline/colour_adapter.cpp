// SPDX-License-Identifier: MIT
#include "colour_adapter.h"

#include <cstdint>

namespace nconvert {
namespace {

class AdaptedSource : public RowSource {
public:
    AdaptedSource(std::unique_ptr<RowSource> source, const PictureShape& shape)
        : m_source(std::move(source)), m_shape(shape), m_metadata(m_source->metadata()),
          m_in(m_source->shape().rowBytes()) {
        // The source's colours are not what comes out of here.
        m_metadata.frameColours.clear();
    }

    const PictureShape& shape() const override { return m_shape; }
    const PictureMetadata& metadata() const override { return m_metadata; }

    void readRow(void* row) override {
        const PictureShape& in = m_source->shape();
        m_source->readRow(m_in.data());
        if (in.sixteenBit)
            convert(reinterpret_cast<const std::uint16_t*>(m_in.data()), in,
                    static_cast<std::uint8_t*>(row));
        else
            convert(m_in.data(), in, static_cast<std::uint8_t*>(row));
        // Frames past the first are not kept: read through them at the end so that the whole
        // file is still checked.
        if (++m_row == m_shape.height)
            for (int rest = m_shape.height; rest < in.height * in.frames; ++rest)
                m_source->readRow(m_in.data());
    }

    bool rewind() override {
        m_row = 0;
        return m_source->rewind();
    }

private:
    // 16 bits become 8 by the high byte; alpha is flattened onto white, rounded; grey spreads
    // to RGB where the output has no grey.
    template <typename T> void convert(const T* src, const PictureShape& in, std::uint8_t* dst) {
        constexpr unsigned top = sizeof(T) == 2 ? 65535u : 255u;
        const int shift = sizeof(T) == 2 ? 8 : 0;
        const int inColours = in.alpha ? in.bands - 1 : in.bands;
        const bool flatten = in.alpha && !m_shape.alpha;
        const bool spread = inColours == 1 && m_shape.bands - (m_shape.alpha ? 1 : 0) == 3;
        for (int x = 0; x < in.width; ++x) {
            const T* s = src + std::size_t(x) * in.bands;
            std::uint8_t* d = dst + std::size_t(x) * m_shape.bands;
            const unsigned a = in.alpha ? s[in.bands - 1] : top;
            for (int c = 0; c < (spread ? 3 : inColours); ++c) {
                unsigned v = s[spread ? 0 : c];
                if (flatten)
                    v = unsigned((std::uint64_t(v) * a + std::uint64_t(top) * (top - a) + top / 2) /
                                 top);
                d[c] = std::uint8_t(v >> shift);
            }
            if (m_shape.alpha)
                d[m_shape.bands - 1] = std::uint8_t(a >> shift);
        }
    }

    std::unique_ptr<RowSource> m_source;
    PictureShape m_shape;
    PictureMetadata m_metadata;
    std::vector<unsigned char> m_in;
    int m_row = 0;
};

bool sameShape(const PictureShape& a, const PictureShape& b) {
    return a.width == b.width && a.height == b.height && a.frames == b.frames &&
           a.bands == b.bands && a.alpha == b.alpha && a.sixteenBit == b.sixteenBit &&
           a.cmyk == b.cmyk;
}

} // namespace

PictureShape adaptedShape(const PictureShape& in, Format output) {
    PictureShape out = in;
    if (output != Format::Gif && output != Format::Webp && output != Format::Tiff)
        out.frames = 1;
    switch (output) {
    case Format::Jpeg:
        out.sixteenBit = false;
        if (in.alpha) {
            out.alpha = false;
            --out.bands;
        }
        break;
    case Format::Gif:
        out.sixteenBit = false;
        break;
    case Format::Bmp:
        out.sixteenBit = false;
        out.bands = in.alpha ? 4 : 3;
        break;
    case Format::Webp:
        // WebP stores 8-bit RGB, with or without alpha.
        out.sixteenBit = false;
        out.bands = in.alpha ? 4 : 3;
        break;
    case Format::Png:
    case Format::Tiff:
    case Format::Avif:
        break;
    }
    return out;
}

bool canAdapt(const PictureShape& in, Format output) {
    return !in.cmyk || output == Format::Jpeg || output == Format::Tiff;
}

std::unique_ptr<RowSource> adaptForOutput(std::unique_ptr<RowSource> source, Format output) {
    const PictureShape shape = adaptedShape(source->shape(), output);
    if (sameShape(shape, source->shape()))
        return source;
    return std::make_unique<AdaptedSource>(std::move(source), shape);
}

} // namespace nconvert
