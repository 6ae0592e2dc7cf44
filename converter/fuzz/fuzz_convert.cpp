// SPDX-License-Identifier: MIT
// libFuzzer entry: the whole conversion of one input held in memory, the way nconvert runs it
// (our pipeline, else the libvips module for what it cannot do) but with tighter size limits so
// that the fuzzer explores formats rather than memory.
#include "conversion.h"
#include "convert.h"
#include "error.h"
#include "row_codec.h"
#include "vips_runtime.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    nconvert::startVips((*argv)[0]);
    return 0;
}

namespace {

// The module's row readers and writers, linked in, as nconvert reaches them through the seam.
const nconvert::VipsRowEntries* moduleRows() {
    static nconvert::VipsRowEntries rows{"nconvert_fuzz", nconvert::openVipsReader,
                                         nconvert::openVipsWriter};
    return &rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nconvert;
    ConvertSettings settings;
    // Vary scale and output format with the input's size, so each seed exercises several.
    static const int kPercents[] = {100, 37, 150, 200, 333};
    settings.widthPercent = kPercents[size % 5];
    settings.heightPercent = kPercents[(size / 5) % 5];
    // The input's own format, or each of the others.
    static const std::optional<Format> kOutputs[] = {std::nullopt, Format::Jpeg, Format::Png,
                                                     Format::Gif,  Format::Bmp,  Format::Webp,
                                                     Format::Tiff, Format::Avif};
    settings.outputFormat = kOutputs[(size / 25) % std::size(kOutputs)];
    settings.vipsRows = moduleRows;
    settings.limits.maxInputPixels = 4'000'000;
    settings.limits.maxOutputPixels = 4'000'000;
    settings.limits.maxOutputSide = 8'000;
    MemorySink sink;
    try {
        // Our pipeline first, as nconvert runs it; whatever it leaves goes to libvips.
        if (!convertInPipeline(data, size, settings, sink))
            convertImage(data, size, settings, sink);
    } catch (const Error&) {
        // Refusing a bad input is the expected outcome for most inputs.
    }
    takeVipsWarnings();
    return 0;
}
