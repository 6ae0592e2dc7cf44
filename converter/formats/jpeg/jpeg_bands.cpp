// SPDX-License-Identifier: MIT
// Bands encoded apart and joined. Each band is compressed as a JPEG of its own, with the
// picture's settings and restart interval, into memory; the first one also writes the
// metadata markers. Their scans are what one compressor over the whole picture would write
// between its restart markers: a restart resets the DC predictions and pads the bit stream to
// a byte, as a scan's start and end do, and a band that ends on an MCU row leaves nothing to
// the next (no smoothing, no optimised Huffman tables, each block's samples its own). So the
// file is the first band's up to its scan's end, with the frame header's height made the
// picture's, then RSTn and each further band's scan, then EOI: byte for byte the single
// compressor's file. Taking whole files apart at their markers keeps libjpeg's own header
// writing, where encoding raw scans would mean writing DQT, SOF, DHT, DRI and SOS ourselves.
#include "jpeg_bands.h"

#include "band_workers.h"
#include "error.h"
#include "jpeg_markers.h"
#include "jpeg_strict.h"
#include "large_memory.h"

#include <cstring>
#include <new>
#include <vector>

// after jpeglib.h, which it needs
#include <jerror.h>

namespace nconvert {
namespace {

struct Band {
    int index = 0;
    int rows = 0;                       // held so far
    LargeVector<unsigned char> samples; // kept as the band is reused
    std::vector<unsigned char> jpeg;    // the band as a file of its own, in its first jpegSize
    std::size_t jpegSize = 0;
    std::size_t heightAt = 0; // of the frame header's height field
    std::size_t scanBegin = 0;
    std::size_t scanEnd = 0; // where EOI stands
};

struct MemoryDestination {
    jpeg_destination_mgr base;
    Band* band;
};

// Gives libjpeg the bytes from `used` on, `size` in all. Out of memory is libjpeg's error,
// raised once the exception is over.
void provide(j_compress_ptr cinfo, std::size_t size, std::size_t used) {
    auto* destination = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    bool grown = true;
    try {
        if (destination->band->jpeg.size() < size)
            destination->band->jpeg.resize(size);
    } catch (const std::bad_alloc&) {
        grown = false;
    }
    if (!grown)
        ERREXIT(cinfo, JERR_OUT_OF_MEMORY);
    destination->base.next_output_byte = destination->band->jpeg.data() + used;
    destination->base.free_in_buffer = destination->band->jpeg.size() - used;
}

// A recycled buffer keeps its size, the room an earlier band needed, so it is not cleared
// again.
void initMemory(j_compress_ptr cinfo) {
    provide(cinfo, 1 << 16, 0);
}

boolean growMemory(j_compress_ptr cinfo) {
    const std::size_t used = reinterpret_cast<MemoryDestination*>(cinfo->dest)->band->jpeg.size();
    provide(cinfo, used * 2, used);
    return TRUE;
}

void termMemory(j_compress_ptr cinfo) {
    auto* destination = reinterpret_cast<MemoryDestination*>(cinfo->dest);
    destination->band->jpegSize = destination->band->jpeg.size() - destination->base.free_in_buffer;
}

// Everything libjpeg touches, held by the caller of the function that sets the jump, so that
// nothing of that function's own is read after a longjmp.
struct BandCompressor {
    JpegCompressor compressor;
    StrictJpegErrors errors{};
    MemoryDestination destination{};
    std::vector<JSAMPROW> rows;
};

bool compress(const JpegEncoding& encoding, Band& band, BandCompressor& c) {
    jpeg_compress_struct& cinfo = c.compressor.cinfo;
    cinfo.err = strictJpegErrors(c.errors);
    if (setjmp(c.errors.jump))
        return false;
    jpeg_create_compress(&cinfo);
    c.compressor.created = true;
    c.destination.base.init_destination = initMemory;
    c.destination.base.empty_output_buffer = growMemory;
    c.destination.base.term_destination = termMemory;
    c.destination.band = &band;
    cinfo.dest = &c.destination.base;
    startJpegCompress(cinfo, encoding, band.rows, band.index == 0);
    while (cinfo.next_scanline < cinfo.image_height)
        jpeg_write_scanlines(&cinfo, c.rows.data() + cinfo.next_scanline,
                             cinfo.image_height - cinfo.next_scanline);
    jpeg_finish_compress(&cinfo);
    return true;
}

void encode(const JpegEncoding& encoding, Band& band, const std::string& outputName) {
    BandCompressor c;
    const std::size_t rowBytes = encoding.shape.rowBytes();
    for (int y = 0; y < band.rows; ++y)
        c.rows.push_back(band.samples.data() + rowBytes * y);
    if (!compress(encoding, band, c))
        throw jpegEncodingError(outputName, c.errors.message);
    JpegMarkerWalker walker(band.jpeg.data(), band.jpegSize);
    JpegMarker marker;
    while (walker.next(marker)) {
        const std::size_t body = std::size_t(marker.body - band.jpeg.data());
        if (isJpegFrameHeader(marker.code))
            band.heightAt = body + 1; // after the sample precision
        else if (marker.code == 0xda)
            band.scanBegin = body + marker.size;
        else if (marker.code == 0xd9 && band.scanBegin > 0) {
            band.scanEnd = marker.offset;
            return;
        }
    }
    throw Error(Status::Internal, outputName, "cannot join the JPEG's bands: a band has no scan");
}

class BandedJpegSink : public RowSink {
public:
    BandedJpegSink(OutputSink& sink, JpegEncoding encoding, int threads,
                   const std::string& outputName)
        : m_sink(sink), m_encoding(std::move(encoding)), m_bandCount(m_encoding.bandCount()),
          m_outputName(outputName), m_queue(threads) {
        startBand(0);
    }

    void* rowSpace() override {
        if (m_next > m_bandCount)
            return nullptr;
        return m_filling->samples.data() +
               m_encoding.shape.rowBytes() * std::size_t(m_filling->rows);
    }

    void writeRow(const void* row) override {
        if (m_next > m_bandCount)
            throw Error(Status::Internal, m_outputName, "more rows than the JPEG's height");
        const std::size_t rowBytes = m_encoding.shape.rowBytes();
        const auto* from = static_cast<const unsigned char*>(row);
        unsigned char* to = m_filling->samples.data() + rowBytes * std::size_t(m_filling->rows);
        if (m_encoding.shape.cmyk) {
            for (std::size_t i = 0; i < rowBytes; ++i)
                to[i] = static_cast<unsigned char>(255 - from[i]);
        } else if (from != to) {
            std::memcpy(to, from, rowBytes);
        }
        if (++m_filling->rows == rowsOf(m_filling->index))
            submit();
    }

    void finish() override {
        const auto write = [this](Band& band) { return writeBand(band); };
        m_queue.drain(write);
        if (m_next <= m_bandCount)
            throw Error(Status::Internal, m_outputName, "fewer rows than the JPEG's height");
        static constexpr unsigned char kEnd[] = {0xff, 0xd9};
        append(kEnd, sizeof kEnd);
    }

private:
    int rowsOf(int index) const {
        return std::min(m_encoding.bandRows(),
                        m_encoding.shape.height - index * m_encoding.bandRows());
    }

    void startBand(int index) {
        m_next = index + 1;
        if (index >= m_bandCount)
            return;
        m_filling = m_queue.take();
        m_filling->index = index;
        m_filling->rows = 0;
        m_filling->scanBegin = 0;
        const std::size_t bytes = m_encoding.shape.rowBytes() * std::size_t(m_encoding.bandRows());
        m_filling->samples.resize(bytes);
    }

    void submit() {
        const auto code = [this](Band& band, int) { encode(m_encoding, band, m_outputName); };
        const auto write = [this](Band& band) { return writeBand(band); };
        m_queue.submit(std::move(m_filling), code, write);
        startBand(m_next);
    }

    bool writeBand(Band& band) {
        if (band.index == 0) {
            band.jpeg[band.heightAt] = static_cast<unsigned char>(m_encoding.shape.height >> 8);
            band.jpeg[band.heightAt + 1] = static_cast<unsigned char>(m_encoding.shape.height);
            append(band.jpeg.data(), band.scanEnd);
        } else {
            const unsigned char restart[] = {
                0xff, static_cast<unsigned char>(0xd0 + (band.index - 1) % 8)};
            append(restart, sizeof restart);
            append(band.jpeg.data() + band.scanBegin, band.scanEnd - band.scanBegin);
        }
        return true;
    }

    void append(const unsigned char* data, std::size_t size) {
        if (!m_sink.append(data, size))
            throw Error(Status::CannotWrite, m_outputName, m_sink.failure());
    }

    OutputSink& m_sink;
    const JpegEncoding m_encoding;
    const int m_bandCount;
    const std::string m_outputName;
    int m_next = 0; // the band after the one filling; past the last once all are in
    std::unique_ptr<Band> m_filling;
    // Last, so that its threads are waited for before what they read goes.
    BandQueue<Band> m_queue;
};

} // namespace

std::unique_ptr<RowSink> bandedJpegWriter(OutputSink& sink, JpegEncoding encoding, int threads,
                                          const std::string& outputName) {
    return std::make_unique<BandedJpegSink>(sink, std::move(encoding), threads, outputName);
}

} // namespace nconvert
