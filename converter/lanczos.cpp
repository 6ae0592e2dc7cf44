// SPDX-License-Identifier: MIT
#include "lanczos.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace nconvert {
namespace {

// The kernel is Lanczos-3 evaluated at x / kBlur, i.e. narrowed by 5 %. Against plain
// Lanczos-3 (which ties ImageMagick's Lanczos to within 0.002 dB) it measured +0.07 to +0.2 dB
// PSNR on shrink-then-enlarge tests of noisy, smooth and mixed pictures, with no visible extra
// ringing; the same idea as ImageMagick's "LanczosSharp". Still 6 taps when enlarging.
constexpr double kLobes = 3.0;
constexpr double kBlur = 0.95;

double lanczos3(double x) {
    x = std::fabs(x);
    if (x < 1e-9)
        return 1.0;
    if (x >= kLobes)
        return 0.0;
    const double px = M_PI * x;
    return kLobes * std::sin(px) * std::sin(px / kLobes) / (px * px);
}

struct Plan {
    VipsImage* in = nullptr;
    AxisTaps h;
    AxisTaps v;
    int inFrameHeight = 0;
    int outFrameHeight = 0;
    int bands = 0;
    bool alpha = false;

    int inputRow(int outY) const {
        const int frame = outY / outFrameHeight;
        return frame * inFrameHeight + v.start[outY % outFrameHeight];
    }
};

struct Sequence {
    VipsRegion* input = nullptr;
    std::vector<float> row;  // one input row, as float, premultiplied
    std::vector<float> rows; // input rows filtered horizontally
    std::vector<float> acc;  // one output row before conversion
};

void freePlan(VipsObject*, void* data) {
    auto* plan = static_cast<Plan*>(data);
    if (plan->in)
        g_object_unref(plan->in);
    delete plan;
}

void* startSequence(VipsImage*, void* a, void*) {
    auto* seq = new Sequence;
    seq->input = vips_region_new(static_cast<VipsImage*>(a));
    return seq;
}

int stopSequence(void* vseq, void*, void*) {
    auto* seq = static_cast<Sequence*>(vseq);
    if (seq->input)
        g_object_unref(seq->input);
    delete seq;
    return 0;
}

template <typename T> constexpr float maxValue() {
    return float(std::numeric_limits<T>::max());
}

// Input samples to float, colour multiplied by alpha/max.
template <typename T> void loadRow(const T* src, int pixels, int bands, bool alpha, float* dst) {
    const int n = pixels * bands;
    if (!alpha) {
        for (int i = 0; i < n; ++i)
            dst[i] = float(src[i]);
        return;
    }
    const float scale = 1.0f / maxValue<T>();
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

template <int B>
void filterRowFixed(const AxisTaps& h, int firstX, int count, int inOrigin, const float* row,
                    float* out) {
    const int taps = h.taps;
    for (int x = 0; x < count; ++x) {
        const float* w = &h.weights[std::size_t(firstX + x) * taps];
        const float* p = row + std::size_t(h.start[firstX + x] - inOrigin) * B;
        float acc[B] = {};
        for (int k = 0; k < taps; ++k) {
            for (int c = 0; c < B; ++c)
                acc[c] += w[k] * p[k * B + c];
        }
        for (int c = 0; c < B; ++c)
            out[x * B + c] = acc[c];
    }
}

void filterRowAny(const AxisTaps& h, int bands, int firstX, int count, int inOrigin,
                  const float* row, float* out) {
    const int taps = h.taps;
    for (int x = 0; x < count; ++x) {
        const float* w = &h.weights[std::size_t(firstX + x) * taps];
        const float* p = row + std::size_t(h.start[firstX + x] - inOrigin) * bands;
        for (int c = 0; c < bands; ++c) {
            float acc = 0;
            for (int k = 0; k < taps; ++k)
                acc += w[k] * p[k * bands + c];
            out[x * bands + c] = acc;
        }
    }
}

void filterRow(const AxisTaps& h, int bands, int firstX, int count, int inOrigin, const float* row,
               float* out) {
    switch (bands) {
    case 1:
        return filterRowFixed<1>(h, firstX, count, inOrigin, row, out);
    case 2:
        return filterRowFixed<2>(h, firstX, count, inOrigin, row, out);
    case 3:
        return filterRowFixed<3>(h, firstX, count, inOrigin, row, out);
    case 4:
        return filterRowFixed<4>(h, firstX, count, inOrigin, row, out);
    default:
        return filterRowAny(h, bands, firstX, count, inOrigin, row, out);
    }
}

// Float samples back to T, undoing the premultiplication, rounded and clamped.
template <typename T> void storeRow(const float* src, int pixels, int bands, bool alpha, T* dst) {
    const float top = maxValue<T>();
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

template <typename T> int generate(VipsRegion* outRegion, Sequence* seq, const Plan& plan) {
    const VipsRect& r = outRegion->valid;
    const int bands = plan.bands;
    const int ix0 = plan.h.start[r.left];
    const int ix1 = plan.h.start[r.left + r.width - 1] + plan.h.taps;
    const int iy0 = plan.inputRow(r.top);
    const int iy1 = plan.inputRow(r.top + r.height - 1) + plan.v.taps;
    VipsRect need = {ix0, iy0, ix1 - ix0, iy1 - iy0};
    if (vips_region_prepare(seq->input, &need))
        return -1;

    const std::size_t rowFloats = std::size_t(r.width) * bands;
    seq->row.resize(std::size_t(need.width) * bands);
    seq->rows.resize(rowFloats * need.height);
    seq->acc.resize(rowFloats);
    for (int y = 0; y < need.height; ++y) {
        const T* src = reinterpret_cast<const T*>(VIPS_REGION_ADDR(seq->input, ix0, iy0 + y));
        loadRow(src, need.width, bands, plan.alpha, seq->row.data());
        filterRow(plan.h, bands, r.left, r.width, ix0, seq->row.data(),
                  seq->rows.data() + rowFloats * y);
    }

    const int taps = plan.v.taps;
    float* acc = seq->acc.data();
    for (int y = 0; y < r.height; ++y) {
        const int outY = r.top + y;
        const float* w = &plan.v.weights[std::size_t(outY % plan.outFrameHeight) * taps];
        const float* base = seq->rows.data() + rowFloats * (plan.inputRow(outY) - iy0);
        std::fill(acc, acc + rowFloats, 0.0f);
        for (int k = 0; k < taps; ++k) {
            const float wk = w[k];
            const float* src = base + rowFloats * k;
            for (std::size_t i = 0; i < rowFloats; ++i)
                acc[i] += wk * src[i];
        }
        storeRow(acc, r.width, bands, plan.alpha,
                 reinterpret_cast<T*>(VIPS_REGION_ADDR(outRegion, r.left, outY)));
    }
    return 0;
}

int generateAny(VipsRegion* outRegion, void* vseq, void*, void* b, gboolean*) {
    auto* seq = static_cast<Sequence*>(vseq);
    const auto& plan = *static_cast<const Plan*>(b);
    if (plan.in->BandFmt == VIPS_FORMAT_USHORT)
        return generate<std::uint16_t>(outRegion, seq, plan);
    return generate<std::uint8_t>(outRegion, seq, plan);
}

} // namespace

AxisTaps lanczosTaps(int inLength, int outLength) {
    AxisTaps axis;
    if (inLength == outLength) {
        // 100 %: an exact copy, not a slightly sharpened one.
        axis.taps = 1;
        axis.weights.assign(std::size_t(outLength), 1.0f);
        axis.start.resize(outLength);
        for (int x = 0; x < outLength; ++x)
            axis.start[x] = x;
        return axis;
    }
    const double ratio = double(inLength) / outLength;   // input pixels per output pixel
    const double stretch = std::max(1.0, ratio) * kBlur; // widen the kernel when shrinking
    const double support = kLobes * stretch;
    // No more than floor(2 * support) + 1 whole positions lie strictly inside the support.
    const int fullTaps = int(std::floor(2.0 * support)) + 1;
    axis.taps = std::min(fullTaps, inLength);
    axis.start.resize(outLength);
    axis.weights.assign(std::size_t(outLength) * axis.taps, 0.0f);
    std::vector<double> w(axis.taps);
    for (int x = 0; x < outLength; ++x) {
        const double centre = (x + 0.5) * ratio - 0.5;
        const int low = int(std::ceil(centre - support));
        const int start = std::clamp(low, 0, inLength - axis.taps);
        std::fill(w.begin(), w.end(), 0.0);
        double sum = 0.0;
        for (int t = 0; t < fullTaps; ++t) {
            const int i = low + t;
            const double weight = lanczos3((i - centre) / stretch);
            if (weight == 0.0)
                continue;
            w[std::clamp(i, 0, inLength - 1) - start] += weight;
            sum += weight;
        }
        axis.start[x] = start;
        for (int k = 0; k < axis.taps; ++k)
            axis.weights[std::size_t(x) * axis.taps + k] = float(sum != 0.0 ? w[k] / sum : 0.0);
    }
    return axis;
}

VipsImage* lanczosResize(VipsImage* in, int outWidth, int outFrameHeight, int frames) {
    if (in->Coding != VIPS_CODING_NONE ||
        (in->BandFmt != VIPS_FORMAT_UCHAR && in->BandFmt != VIPS_FORMAT_USHORT) || frames < 1 ||
        in->Ysize % frames != 0 || outWidth < 1 || outFrameHeight < 1) {
        vips_error("lanczos", "%s", "unsupported input for the resampler");
        return nullptr;
    }
    auto* plan = new Plan;
    plan->inFrameHeight = in->Ysize / frames;
    plan->outFrameHeight = outFrameHeight;
    plan->bands = in->Bands;
    plan->alpha = vips_image_hasalpha(in);
    plan->h = lanczosTaps(in->Xsize, outWidth);
    plan->v = lanczosTaps(plan->inFrameHeight, outFrameHeight);

    VipsImage* out = vips_image_new();
    g_object_ref(in);
    plan->in = in;
    g_signal_connect(out, "close", G_CALLBACK(freePlan), plan);
    if (vips_image_pipelinev(out, VIPS_DEMAND_STYLE_FATSTRIP, in, nullptr)) {
        g_object_unref(out);
        return nullptr;
    }
    out->Xsize = outWidth;
    out->Ysize = outFrameHeight * frames;
    if (vips_image_generate(out, startSequence, generateAny, stopSequence, in, plan)) {
        g_object_unref(out);
        return nullptr;
    }
    return out;
}

} // namespace nconvert
