// SPDX-License-Identifier: MIT
#pragma once

#include "resample.h"
#include "rows.h"

#include <vector>

namespace nconvert {

/// The resampler as a row sink, fed the source's rows: each is filtered across to outWidth as
/// it comes (float, colour premultiplied by alpha) straight into a window of the last `taps`
/// such rows, and `out` gets the output rows of outFrameHeight a frame, in the input's depth,
/// as soon as the rows their vertical taps need have come. Memory follows the width. Each frame
/// is filtered on its own, and the pixels are those of resample() to the bit.
///
/// Beside a reader on its own thread, this is the writer's side: rows cross between the
/// threads as decoded, a quarter or less of their size as floats, and the reader does nothing
/// but decode, the one part that cannot be spread.
class RowResampler : public RowSink {
public:
    RowResampler(const PictureShape& in, int outWidth, int outFrameHeight, RowSink& out);

    /// The shape of the rows `out` gets.
    const PictureShape& outputShape() const { return m_outShape; }
    void writeRow(const void* row) override;
    void finish() override;

private:
    void prepare();
    void emitReadyRows();

    PictureShape m_inShape;
    PictureShape m_outShape;
    RowSink& m_out;
    AxisTaps m_across;
    AxisTaps m_down;
    std::size_t m_floats = 0; // one filtered row
    std::vector<float> m_loaded;
    // The last `taps` filtered rows, row y in slot y % taps.
    std::vector<float> m_window;
    std::vector<const float*> m_taps;
    std::vector<float> m_sum;
    std::vector<unsigned char> m_row;
    std::vector<unsigned char> m_second; // the second of a pair of rows made together
    int m_inY = 0;                       // input rows of this frame received
    int m_outY = 0;                      // output rows of this frame given out
};

} // namespace nconvert
