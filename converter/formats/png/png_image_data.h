// SPDX-License-Identifier: MIT
#pragma once

#include "band_workers.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace nconvert {

/// Rows of this many filtered bytes, or the nearest whole number of rows above, make one band.
constexpr std::size_t kPngBandBytes = std::size_t(1) << 18;

/// The rows of one band of a picture whose rows hold `rowBytes` bytes: fixed by the picture
/// alone, so that the file is the same whatever number of threads wrote it.
int pngBandRows(std::size_t rowBytes);

/// A PNG's image data as one zlib stream: rows "up"-filtered, deflated in bands on `threads`
/// threads (each band a raw deflate stream primed with the 32 KiB before it and ended by a
/// sync flush, the last by the stream's end), each band handed to `writeChunk` as the data of
/// one IDAT chunk, in order. `writeChunk` returns false once a write failed; so do addRow and
/// finish then. A deflate failure throws std::bad_alloc (zlib fails only for lack of memory).
class PngImageData {
public:
    using ChunkWriter = std::function<bool(const unsigned char* data, std::size_t size)>;

    PngImageData(std::size_t rowBytes, int height, bool sixteenBit, int level, int threads,
                 ChunkWriter writeChunk);
    ~PngImageData();
    PngImageData(const PngImageData&) = delete;
    PngImageData& operator=(const PngImageData&) = delete;

    /// One row of samples, 16-bit ones in native byte order.
    bool addRow(const unsigned char* row);
    bool finish();

private:
    struct Band {
        BandBuffer filtered; // each row its filter byte, then the differences
        std::vector<unsigned char> dictionary;
        BandBuffer deflated;
        std::uint32_t adler = 1;
        bool first = false;
        bool last = false;
    };
    class Deflater;

    void submit();
    bool writeBand(Band& band);
    std::unique_ptr<Band> spareBand();

    const std::size_t m_rowBytes;
    const int m_height;
    const bool m_sixteenBit;
    const int m_level;
    const int m_bandRows;
    ChunkWriter m_writeChunk;
    int m_row = 0;
    std::vector<unsigned char> m_previous; // the last row as the file stores it
    std::vector<unsigned char> m_current;
    std::unique_ptr<Band> m_filling;
    std::uint32_t m_adler = 1;
    bool m_ok = true;
    std::vector<std::unique_ptr<Deflater>> m_deflaters; // one per thread
    // Last, so that it is destroyed first: its threads may still be working on the bands.
    BandQueue<Band> m_queue;
};

} // namespace nconvert
