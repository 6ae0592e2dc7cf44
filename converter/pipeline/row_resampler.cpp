// SPDX-License-Identifier: MIT
#include "row_resampler.h"

#include <cstring>

namespace nconvert {

HorizontalPass::HorizontalPass(std::unique_ptr<RowSource> source, int outWidth)
    : m_source(std::move(source)) {
    const PictureShape& in = m_source->shape();
    m_shape = in;
    m_shape.width = outWidth;
    m_shape.floatSamples = true;
    m_across = lanczosTaps(in.width, outWidth);
    m_inRow.resize(in.rowBytes());
    m_loaded.resize(std::size_t(in.width) * in.bands);
}

void HorizontalPass::readRow(void* row) {
    const PictureShape& in = m_source->shape();
    m_source->readRow(m_inRow.data());
    if (in.sixteenBit)
        loadRow(reinterpret_cast<const std::uint16_t*>(m_inRow.data()), in.width, in.bands,
                in.alpha, m_loaded.data());
    else
        loadRow(m_inRow.data(), in.width, in.bands, in.alpha, m_loaded.data());
    filterRow(m_across, in.bands, 0, m_shape.width, 0, m_loaded.data(), static_cast<float*>(row));
}

VerticalPass::VerticalPass(const PictureShape& filtered, int outFrameHeight, RowSink& out)
    : m_inShape(filtered), m_out(out) {
    m_outShape = filtered;
    m_outShape.floatSamples = false;
    m_outShape.height = outFrameHeight;
    m_floats = std::size_t(filtered.width) * filtered.bands;
}

void VerticalPass::writeRow(const void* row) {
    if (m_down.taps == 0) {
        // Made with the first row rather than up front: on a second core that is while the
        // reader makes the first rows, where it would otherwise delay them.
        m_down = lanczosTaps(m_inShape.height, m_outShape.height);
        m_window.resize(m_floats * m_down.taps);
        m_taps.resize(std::size_t(m_down.taps));
        m_sum.resize(m_floats);
        m_row.resize(m_outShape.rowBytes());
        m_second.resize(m_outShape.rowBytes());
    }
    const int taps = m_down.taps;
    std::memcpy(m_window.data() + m_floats * std::size_t(m_inY % taps), row,
                m_floats * sizeof(float));
    ++m_inY;
    emitReadyRows();
    if (m_inY == m_inShape.height) {
        // The next frame starts afresh.
        m_inY = 0;
        m_outY = 0;
    }
}

void VerticalPass::emitReadyRows() {
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

void VerticalPass::finish() {
    m_out.finish();
}

} // namespace nconvert
