// SPDX-License-Identifier: MIT
#pragma once

#include "band_workers.h"
#include "gif_lzw_encoder.h"
#include "gif_palette.h"
#include "output_sink.h"
#include "row_pump.h"

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

/// Rows of about this many pixels (whole rows, at least one, within one frame) make a band.
constexpr int kGifBandPixels = 1 << 17;

/// Writes a GIF89a of full-canvas frames, fed one row at a time from the top of the first
/// frame to the bottom of the last, so that no frame need be held whole. Rows are 8-bit
/// pixels of 1 to 4 bands (grey, grey + alpha, RGB, RGBA), mapped onto the layout's palettes.
/// Bands of rows are mapped and LZW-coded on `threads` threads; the file is the same bytes
/// for any number. Every method returns false once a write to the sink has failed.
class GifWriter {
public:
    GifWriter(OutputSink& sink, GifLayout layout, int bands, int threads = usableCores());
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    bool addRow(const unsigned char* pixels);
    /// Writes the trailer; false as well when rows are missing.
    bool finish();

private:
    struct Band {
        std::vector<unsigned char> pixels;
        std::vector<unsigned char> indices;
        LzwCodes codes;
        std::shared_ptr<PaletteMapper> mapper; // shared by the frame's bands
        int rows = 0;
        int frame = 0;
        bool first = false; // of its frame
        bool last = false;
    };
    bool writeHeader();
    void writeFrameHeader(int frame);
    const GifPalette& paletteOf(int frame) const;
    bool localPalette(int frame) const;
    void code(Band& band, LzwEncoder& lzw);
    void submit();
    bool writeBand(Band& band);
    bool flush();

    OutputSink& m_sink;
    GifLayout m_layout;
    int m_bands;
    int m_bandRows;
    bool m_anyTransparent = false;
    int m_frame = 0;
    int m_row = 0; // within the frame
    bool m_ok = true;
    std::vector<unsigned char> m_out;
    GifSubBlocks m_blocks{m_out};
    std::unique_ptr<Band> m_filling;
    std::shared_ptr<PaletteMapper> m_mapper;
    std::vector<LzwEncoder> m_encoders; // one a thread: its table is large
    // Last, so that it is destroyed first: its threads may still be working on the bands.
    BandQueue<Band> m_queue;
};

} // namespace nconvert
