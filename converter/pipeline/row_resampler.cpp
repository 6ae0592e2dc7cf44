// SPDX-License-Identifier: MIT
#include "row_resampler.h"

#include <cstring>

namespace nconvert {

RowResampler::RowResampler(std::unique_ptr<RowSource> source, int outWidth, int outFrameHeight)
    : m_source(std::move(source)) {
    const PictureShape& in = m_source->shape();
    m_shape = in;
    m_shape.width = outWidth;
    m_shape.height = outFrameHeight;
    m_across = lanczosTaps(in.width, outWidth);
    m_down = lanczosTaps(in.height, outFrameHeight);
    m_outFloats = std::size_t(outWidth) * in.bands;
    m_inRow.resize(in.rowBytes());
    m_loaded.resize(std::size_t(in.width) * in.bands);
    m_window.resize(m_outFloats * 2 * m_down.taps);
    m_sum.resize(m_outFloats);
}

void RowResampler::pullInputRow() {
    const PictureShape& in = m_source->shape();
    m_source->readRow(m_inRow.data());
    if (in.sixteenBit)
        loadRow(reinterpret_cast<const std::uint16_t*>(m_inRow.data()), in.width, in.bands,
                in.alpha, m_loaded.data());
    else
        loadRow(m_inRow.data(), in.width, in.bands, in.alpha, m_loaded.data());
    const int taps = m_down.taps;
    float* slot = m_window.data() + m_outFloats * std::size_t(m_inY % taps);
    filterRow(m_across, in.bands, 0, m_shape.width, 0, m_loaded.data(), slot);
    std::memcpy(slot + m_outFloats * taps, slot, m_outFloats * sizeof(float));
    ++m_inY;
}

void RowResampler::readRow(void* row) {
    const int taps = m_down.taps;
    const int first = m_down.start[m_outY];
    while (m_inY < first + taps)
        pullInputRow();
    const float* base = m_window.data() + m_outFloats * std::size_t(first % taps);
    sumRows(&m_down.weights[std::size_t(m_outY) * taps], taps, base, m_outFloats, m_sum.data());
    if (m_shape.sixteenBit)
        storeRow(m_sum.data(), m_shape.width, m_shape.bands, m_shape.alpha,
                 static_cast<std::uint16_t*>(row));
    else
        storeRow(m_sum.data(), m_shape.width, m_shape.bands, m_shape.alpha,
                 static_cast<std::uint8_t*>(row));
    if (++m_outY == m_shape.height) {
        // The next frame starts afresh; rows of this one its filter never reached are skipped.
        while (m_inY < m_source->shape().height)
            pullInputRow();
        m_inY = 0;
        m_outY = 0;
    }
}

} // namespace nconvert
