// SPDX-License-Identifier: MIT
#include "row_resampler.h"

namespace nconvert {

RowResampler::RowResampler(const PictureShape& in, int outWidth, int outFrameHeight, RowSink& out)
    : m_inShape(in), m_out(out) {
    m_outShape = in;
    m_outShape.width = outWidth;
    m_outShape.height = outFrameHeight;
    m_floats = std::size_t(outWidth) * in.bands;
}

// The taps and buffers are made with the first row rather than up front: beside a reader
// thread, that is while it decodes the first rows, where it would otherwise delay them.
void RowResampler::prepare() {
    m_across = lanczosTaps(m_inShape.width, m_outShape.width);
    m_down = lanczosTaps(m_inShape.height, m_outShape.height);
    m_loaded.resize(std::size_t(m_inShape.width) * m_inShape.bands);
    m_window.resize(m_floats * m_down.taps);
    m_taps.resize(std::size_t(m_down.taps));
    m_sum.resize(m_floats);
    m_row.resize(m_outShape.rowBytes());
    m_second.resize(m_outShape.rowBytes());
}

void RowResampler::writeRow(const void* row) {
    if (m_down.taps == 0)
        prepare();
    const PictureShape& in = m_inShape;
    if (in.sixteenBit)
        loadRow(static_cast<const std::uint16_t*>(row), in.width, in.bands, in.alpha,
                m_loaded.data());
    else
        loadRow(static_cast<const std::uint8_t*>(row), in.width, in.bands, in.alpha,
                m_loaded.data());
    filterRow(m_across, in.bands, 0, m_outShape.width, 0, m_loaded.data(),
              m_window.data() + m_floats * std::size_t(m_inY % m_down.taps));
    ++m_inY;
    emitReadyRows();
    if (m_inY == m_inShape.height) {
        // The next frame starts afresh.
        m_inY = 0;
        m_outY = 0;
    }
}

void RowResampler::emitReadyRows() {
    const int taps = m_down.taps;
    while (m_outY < m_outShape.height && m_down.start[m_outY] + taps <= m_inY) {
        const int first = m_down.start[m_outY];
        for (int k = 0; k < taps; ++k)
            m_taps[k] = m_window.data() + m_floats * std::size_t((first + k) % taps);
        // Straight into the sink's own buffer where it has one, saving a copy of every row.
        void* row = m_out.rowSpace();
        if (!row)
            row = m_row.data();
        // Enlarging, output rows come in runs that sum the same input rows: two of them are
        // made in one pass over those rows.
        const bool pair = m_outY + 1 < m_outShape.height && m_down.start[m_outY + 1] == first;
        const float* weights = &m_down.weights[std::size_t(m_outY) * taps];
        const auto make = [&](auto sample) {
            using T = decltype(sample);
            if (pair)
                sumStoreRowPair(weights, weights + taps, taps, m_taps.data(), m_outShape.width,
                                m_outShape.bands, m_outShape.alpha, m_sum.data(),
                                static_cast<T*>(row), reinterpret_cast<T*>(m_second.data()));
            else
                sumStoreRow(weights, taps, m_taps.data(), m_outShape.width, m_outShape.bands,
                            m_outShape.alpha, m_sum.data(), static_cast<T*>(row));
        };
        if (m_outShape.sixteenBit)
            make(std::uint16_t{});
        else
            make(std::uint8_t{});
        m_out.writeRow(row);
        ++m_outY;
        if (pair) {
            m_out.writeRow(m_second.data());
            ++m_outY;
        }
    }
}

void RowResampler::finish() {
    m_out.finish();
}

} // namespace nconvert
