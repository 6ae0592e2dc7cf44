// SPDX-License-Identifier: MIT
#pragma once

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
template <typename T> void loadRow(const T* src, int pixels, int bands, bool alpha, float* dst) {
    const int n = pixels * bands;
    if (!alpha) {
        for (int i = 0; i < n; ++i)
            dst[i] = float(src[i]);
        return;
    }
    const float scale = 1.0f / maxSample<T>();
    for (int p = 0; p < pixels; ++p) {
        const T* s = src + p * bands;
        float* d = dst + p * bands;
        const float a = float(s[bands - 1]);
        const float f = a * scale;
        for (int c = 0; c < bands - 1; ++c)
            d[c] = float(s[c]) * f;
        d[bands - 1] = a;
    }
}

/// Output positions firstX .. firstX + count - 1 of one row; `row` starts at input sample
/// inOrigin.
void filterRow(const AxisTaps& h, int bands, int firstX, int count, int inOrigin, const float* row,
               float* out);

/// One output row: the `taps` filtered rows from `base` (rowFloats apart) weighted by `w`.
void sumRows(const float* w, int taps, const float* base, std::size_t rowFloats, float* acc);

/// Float samples back to T, undoing the premultiplication, rounded and clamped.
template <typename T> void storeRow(const float* src, int pixels, int bands, bool alpha, T* dst) {
    const float top = maxSample<T>();
    const auto clampRound = [top](float v) {
        v = v < 0.0f ? 0.0f : (v > top ? top : v);
        return T(v + 0.5f);
    };
    const int n = pixels * bands;
    if (!alpha) {
        for (int i = 0; i < n; ++i)
            dst[i] = clampRound(src[i]);
        return;
    }
    for (int p = 0; p < pixels; ++p) {
        const float* s = src + p * bands;
        T* d = dst + p * bands;
        float a = s[bands - 1];
        a = a < 0.0f ? 0.0f : (a > top ? top : a);
        const float f = a > 0.0f ? top / a : 0.0f;
        for (int c = 0; c < bands - 1; ++c)
            d[c] = clampRound(s[c] * f);
        d[bands - 1] = T(a + 0.5f);
    }
}

/// A whole picture held in memory, interleaved samples.
template <typename T> struct Pixels {
    int width = 0;
    int height = 0;
    int bands = 0;
    bool alpha = false;
    std::vector<T> samples;
};

/// `in` scaled to outWidth x outHeight with the same filter as the streamed resampler.
template <typename T> Pixels<T> resample(const Pixels<T>& in, int outWidth, int outHeight);

extern template Pixels<std::uint8_t> resample(const Pixels<std::uint8_t>&, int, int);
extern template Pixels<std::uint16_t> resample(const Pixels<std::uint16_t>&, int, int);

} // namespace nconvert
