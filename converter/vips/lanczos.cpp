// SPDX-License-Identifier: MIT
#include "lanczos.h"

#include <algorithm>
#include <cstdint>

namespace nconvert {
namespace {

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
    std::vector<float> row;         // one input row, as float, premultiplied
    std::vector<float> rows;        // input rows filtered horizontally
    std::vector<float> acc;         // one output row before conversion
    std::vector<const float*> taps; // the rows one output row sums
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
    seq->taps.resize(std::size_t(taps));
    for (int y = 0; y < r.height; ++y) {
        const int outY = r.top + y;
        const float* w = &plan.v.weights[std::size_t(outY % plan.outFrameHeight) * taps];
        const float* base = seq->rows.data() + rowFloats * (plan.inputRow(outY) - iy0);
        for (int k = 0; k < taps; ++k)
            seq->taps[k] = base + rowFloats * k;
        sumStoreRow(w, taps, seq->taps.data(), r.width, bands, plan.alpha, seq->acc.data(),
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
