// SPDX-License-Identifier: MIT
// One conversion as every path sees it: the limits, the settings of a command line, what was
// written.
#pragma once

#include "cli.h"
#include "format.h"
#include "output_sink.h"
#include "vips_seam.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace nconvert {

/// Size limits, checked from the header before any pixel is decoded.
struct Limits {
    std::int64_t maxInputPixels = 250'000'000;
    std::int64_t maxOutputSide = 65'000;
    std::int64_t maxOutputPixels = 1'000'000'000;
    /// What a reader may hold at once where its format makes it keep the whole picture (an
    /// interlaced PNG, a progressive JPEG's coefficients, a GIF's frames): above it the picture
    /// is refused from the header rather than left to run the machine out of memory.
    std::int64_t maxHeldBytes = std::int64_t(1) << 30;
};

/// The libvips module's row readers and writers, which the pipeline uses for the formats
/// decodedByVips() names.
struct VipsRowEntries {
    const char* argv0 = nullptr; ///< for libvips' start-up
    NconvertVipsOpenReader openReader = nullptr;
    NconvertVipsOpenWriter openWriter = nullptr;
};

struct ConvertSettings {
    int widthPercent = 100;
    int heightPercent = 100;
    /// The format OUTPUT's extension names; nothing means "the input's format".
    std::optional<Format> outputFormat;
    Limits limits;
    /// Names used in error messages.
    std::string inputName = "input";
    std::string outputName = "output";
    /// Finds the module's entries on first need (loading it); nothing where there is no module,
    /// and its formats are then refused as unsupported.
    const VipsRowEntries* (*vipsRows)() = nullptr;
};

/// What was written.
struct ConvertResult {
    Format inputFormat = Format::Png;
    Format outputFormat = Format::Png;
    int width = 0;       ///< output width
    int frameHeight = 0; ///< output height of one frame
    int frames = 1;
};

/// round(length * percent / 100), at least 1.
std::int64_t scaledLength(std::int64_t length, int percent);

/// The settings of one command line.
inline ConvertSettings settingsFor(const Request& request) {
    ConvertSettings settings;
    settings.widthPercent = request.widthPercent;
    settings.heightPercent = request.heightPercent;
    settings.outputFormat = formatFromExtension(request.output);
    settings.inputName = request.input;
    settings.outputName = request.output;
    return settings;
}

} // namespace nconvert
