// SPDX-License-Identifier: MIT
#pragma once

#include "gif_palette.h"
#include "output_sink.h"

#include <memory>
#include <vector>

namespace nconvert {

/// What the file says besides the pixels.
struct GifLayout {
    int width = 0;
    int frameHeight = 0;
    int frames = 1;
    GifPalettes palettes;
    /// Times each frame shows, in milliseconds; frames past the end show for 0.
    std::vector<int> delaysMs;
    /// How often the animation plays: 0 for ever, 1 once (no looping block), N N times.
    int loop = 0;
};

/// Writes a GIF89a of full-canvas frames, fed one row at a time from the top of the first
/// frame to the bottom of the last, so that no frame need be held whole. Rows are 8-bit
/// pixels of 1 to 4 bands (grey, grey + alpha, RGB, RGBA), mapped onto the layout's palettes.
/// Every method returns false once a write to the sink has failed.
class GifWriter {
public:
    GifWriter(OutputSink& sink, GifLayout layout, int bands);
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    bool addRow(const unsigned char* pixels);
    /// Writes the trailer; false as well when rows are missing.
    bool finish();

private:
    class Lzw;

    bool writeHeader();
    bool beginFrame();
    bool endFrame();
    bool flush();

    OutputSink& m_sink;
    GifLayout m_layout;
    int m_bands;
    bool m_anyTransparent = false;
    int m_frame = 0;
    int m_row = 0; // within the frame
    bool m_ok = true;
    std::vector<unsigned char> m_out;
    std::vector<unsigned char> m_indices;
    std::unique_ptr<PaletteMapper> m_mapper;
    std::unique_ptr<Lzw> m_lzw;
};

} // namespace nconvert
