// SPDX-License-Identifier: MIT
#pragma once

#include "resample.h"
#include "rows.h"

#include <memory>
#include <vector>

namespace nconvert {

// The resampler in two halves, so that they can run on different cores: the horizontal pass
// goes with the reader, the vertical pass with the writer. Between them travel input rows
// already filtered across, as floats. Each frame is filtered on its own, and the pixels are
// those of resample() to the bit.

/// `source`'s rows filtered across to outWidth: float samples (shape().floatSamples), colour
/// premultiplied by alpha; shape().sixteenBit still tells the input's depth.
class HorizontalPass : public RowSource {
public:
    HorizontalPass(std::unique_ptr<RowSource> source, int outWidth);

    const PictureShape& shape() const override { return m_shape; }
    const PictureMetadata& metadata() const override { return m_source->metadata(); }
    void readRow(void* row) override;

private:
    std::unique_ptr<RowSource> m_source;
    PictureShape m_shape;
    AxisTaps m_across;
    std::vector<unsigned char> m_inRow;
    std::vector<float> m_loaded;
};

/// Takes a HorizontalPass's rows and hands `out` the output rows of outFrameHeight a frame, in
/// the input's depth, as soon as the rows their vertical taps need have come. Only those rows
/// are kept, so memory follows the width.
class VerticalPass : public RowSink {
public:
    VerticalPass(const PictureShape& filtered, int outFrameHeight, RowSink& out);

    /// The shape of the rows `out` gets.
    const PictureShape& outputShape() const { return m_outShape; }
    void writeRow(const void* row) override;
    void finish() override;

private:
    void emitReadyRows();

    PictureShape m_inShape;
    PictureShape m_outShape;
    RowSink& m_out;
    AxisTaps m_down;
    std::size_t m_floats = 0; // one filtered row
    // The last `taps` filtered rows, row y in slot y % taps.
    std::vector<float> m_window;
    std::vector<const float*> m_taps;
    std::vector<float> m_sum;
    std::vector<unsigned char> m_row;
    std::vector<unsigned char> m_second; // the second of a pair of rows made together
    int m_inY = 0;                       // filtered rows of this frame received
    int m_outY = 0;                      // output rows of this frame given out
};

} // namespace nconvert
