// SPDX-License-Identifier: MIT
#pragma once

#include "resample.h"
#include "rows.h"

#include <memory>
#include <vector>

namespace nconvert {

/// `source` scaled to outWidth x outFrameHeight a frame, row by row: each input row is loaded
/// and filtered across once, and only the rows the vertical filter still needs are kept, so
/// memory follows the width. Each frame is filtered on its own. The pixels are those of
/// resample() to the bit.
class RowResampler : public RowSource {
public:
    RowResampler(std::unique_ptr<RowSource> source, int outWidth, int outFrameHeight);

    const PictureShape& shape() const override { return m_shape; }
    const PictureMetadata& metadata() const override { return m_source->metadata(); }
    void readRow(void* row) override;

private:
    void pullInputRow();

    std::unique_ptr<RowSource> m_source;
    PictureShape m_shape;
    AxisTaps m_across;
    AxisTaps m_down;
    std::size_t m_outFloats = 0; // one filtered row
    std::vector<unsigned char> m_inRow;
    std::vector<float> m_loaded;
    // Filtered rows, each stored twice (slot and slot + taps), so that any `taps` consecutive
    // rows lie side by side for the vertical sum.
    std::vector<float> m_window;
    std::vector<float> m_sum;
    int m_inY = 0;  // input rows of this frame read so far
    int m_outY = 0; // output rows of this frame given out
};

} // namespace nconvert
