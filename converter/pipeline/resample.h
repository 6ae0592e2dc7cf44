// SPDX-License-Identifier: MIT
#pragma once

#include "large_memory.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace nconvert {

/// The taps of a separable Lanczos-3 filter (narrowed 5%) along one axis: output position X reads
/// `taps` input samples from start[X], weighted by weights[X * taps + k]. Sample positions are
/// centred (output centre X + 0.5 maps to input (X + 0.5) * in / out), edges repeat the
/// border sample, and each set of weights sums to 1.
struct AxisTaps {
    int taps = 0;
    std::vector<int> start;
    std::vector<float> weights;
};

AxisTaps lanczosTaps(int inLength, int outLength);

// The steps of one output strip, shared by the streamed resampler and the whole-picture one so
// that both give the same pixels to the bit: load a row as float (colour premultiplied by
// alpha), filter it horizontally, sum filtered rows vertically, store rounded.

template <typename T> constexpr float maxSample() {
    return float(std::numeric_limits<T>::max());
}

/// Input samples to float, colour multiplied by alpha/max.
template <typename T> void loadRow(const T* src, int pixels, int bands, bool alpha, float* dst);

/// Output positions firstX .. firstX + count - 1 of one row; `row` starts at input sample
/// inOrigin.
void filterRow(const AxisTaps& h, int bands, int firstX, int count, int inOrigin, const float* row,
               float* out);

/// One output row: the `taps` filtered rows rows[0..taps-1] weighted by `w`.
void sumRows(const float* w, int taps, const float* const* rows, std::size_t rowFloats, float* acc);

/// Float samples back to T, undoing the premultiplication, rounded and clamped.
template <typename T> void storeRow(const float* src, int pixels, int bands, bool alpha, T* dst);

/// sumRows then storeRow, in one pass where it can be (`acc`, one row of floats, is used where
/// not); the same samples to the bit.
template <typename T>
void sumStoreRow(const float* w, int taps, const float* const* rows, int pixels, int bands,
                 bool alpha, float* acc, T* dst);

/// Two output rows that sum the same rows with their own weights; the samples of two
/// sumStoreRow calls.
template <typename T>
void sumStoreRowPair(const float* w0, const float* w1, int taps, const float* const* rows,
                     int pixels, int bands, bool alpha, float* acc, T* dst0, T* dst1);

/// A whole picture held in memory, interleaved samples.
template <typename T> struct Pixels {
    int width = 0;
    int height = 0;
    int bands = 0;
    bool alpha = false;
    LargeVector<T> samples;
};

/// `in` scaled to outWidth x outHeight with the same filter as the streamed resampler.
template <typename T> Pixels<T> resample(const Pixels<T>& in, int outWidth, int outHeight);

extern template void loadRow(const std::uint8_t*, int, int, bool, float*);
extern template void loadRow(const std::uint16_t*, int, int, bool, float*);
extern template void storeRow(const float*, int, int, bool, std::uint8_t*);
extern template void storeRow(const float*, int, int, bool, std::uint16_t*);
extern template void sumStoreRow(const float*, int, const float* const*, int, int, bool, float*,
                                 std::uint8_t*);
extern template void sumStoreRow(const float*, int, const float* const*, int, int, bool, float*,
                                 std::uint16_t*);
extern template void sumStoreRowPair(const float*, const float*, int, const float* const*, int, int,
                                     bool, float*, std::uint8_t*, std::uint8_t*);
extern template void sumStoreRowPair(const float*, const float*, int, const float* const*, int, int,
                                     bool, float*, std::uint16_t*, std::uint16_t*);
extern template Pixels<std::uint8_t> resample(const Pixels<std::uint8_t>&, int, int);
extern template Pixels<std::uint16_t> resample(const Pixels<std::uint16_t>&, int, int);

} // namespace nconvert
