// SPDX-License-Identifier: MIT
#include "png_image_data.h"

#include <algorithm>
#include <bit>
#include <new>
#include <zlib.h>

namespace nconvert {
namespace {

constexpr std::size_t kWindow = std::size_t(1) << 15;
constexpr int kFilterUp = 2;

// The second byte of a zlib stream after 0x78 (deflate, 32 KiB window): the level's rough
// class, and the check that makes the two bytes a multiple of 31.
unsigned char zlibLevelFlags(int level) {
    const unsigned levelClass = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    const unsigned flags = levelClass << 6;
    return static_cast<unsigned char>(flags + 31 - (0x78u << 8 | flags) % 31);
}

// One pass that the compiler vectorises, told that the rows do not overlap.
void filterUp(const unsigned char* __restrict row, unsigned char* __restrict previous,
              unsigned char* __restrict filtered, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) {
        filtered[i] = static_cast<unsigned char>(row[i] - previous[i]);
        previous[i] = row[i];
    }
}

} // namespace

int pngBandRows(std::size_t rowBytes) {
    const std::size_t filtered = rowBytes + 1;
    return int(std::max<std::size_t>(1, (kPngBandBytes + filtered - 1) / filtered));
}

// One thread's raw deflate stream, reset for each band it compresses.
class PngImageData::Deflater {
public:
    explicit Deflater(int level) {
        // As libpng sets zlib for filtered rows; the strategy matters from level 4 up.
        if (deflateInit2(&m_stream, level, Z_DEFLATED, -15, 8, Z_FILTERED) != Z_OK)
            throw std::bad_alloc();
    }
    ~Deflater() { deflateEnd(&m_stream); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void deflateBand(Band& band, int level) {
        if (deflateReset(&m_stream) != Z_OK)
            throw std::bad_alloc();
        if (!band.dictionary.empty() && deflateSetDictionary(&m_stream, band.dictionary.data(),
                                                             uInt(band.dictionary.size())) != Z_OK)
            throw std::bad_alloc();
        const BandBuffer& in = band.filtered;
        BandBuffer& out = band.deflated;
        // Room for the header, the stored-block worst case and the flush's marker.
        out.reserve(deflateBound(&m_stream, uLong(in.size)) + 64);
        out.size = 0;
        if (band.first) {
            const unsigned char header[2] = {0x78, zlibLevelFlags(level)};
            std::copy(header, header + 2, out.data.get());
            out.size = 2;
        }
        m_stream.next_in = in.data.get();
        m_stream.avail_in = uInt(in.size);
        m_stream.next_out = out.data.get() + out.size;
        m_stream.avail_out = uInt(out.capacity - out.size);
        const int status = deflate(&m_stream, band.last ? Z_FINISH : Z_SYNC_FLUSH);
        if (status != (band.last ? Z_STREAM_END : Z_OK) || m_stream.avail_in != 0 ||
            m_stream.avail_out == 0)
            throw std::bad_alloc();
        out.size = out.capacity - m_stream.avail_out;
        band.adler = std::uint32_t(adler32(1, in.data.get(), uInt(in.size)));
    }

private:
    z_stream m_stream{};
};

PngImageData::PngImageData(std::size_t rowBytes, int height, bool sixteenBit, int level,
                           int threads, ChunkWriter writeChunk)
    : m_rowBytes(rowBytes), m_height(height), m_sixteenBit(sixteenBit), m_level(level),
      m_bandRows(pngBandRows(rowBytes)), m_writeChunk(std::move(writeChunk)),
      m_previous(rowBytes, 0), m_current(rowBytes), m_queue(threads) {
    m_deflaters.resize(std::size_t(m_queue.threads()));
}

PngImageData::~PngImageData() = default;

bool PngImageData::addRow(const unsigned char* row) {
    if (!m_ok || m_row >= m_height)
        return m_ok = false;
    const unsigned char* stored = row;
    if (m_sixteenBit && std::endian::native == std::endian::little) {
        for (std::size_t i = 0; i + 1 < m_rowBytes; i += 2) {
            m_current[i] = row[i + 1];
            m_current[i + 1] = row[i];
        }
        stored = m_current.data();
    }
    if (!m_filling)
        m_filling = spareBand();
    BandBuffer& out = m_filling->filtered;
    out.data[out.size] = kFilterUp;
    filterUp(stored, m_previous.data(), out.data.get() + out.size + 1, m_rowBytes);
    out.size += m_rowBytes + 1;
    ++m_row;
    if (m_row % m_bandRows == 0 || m_row == m_height)
        submit();
    return m_ok;
}

void PngImageData::submit() {
    std::unique_ptr<Band> band = std::move(m_filling);
    band->first = m_row <= m_bandRows;
    band->last = m_row == m_height;
    // The next band starts from the end of this one, as one stream would.
    m_filling = spareBand();
    const BandBuffer& filtered = band->filtered;
    const std::size_t tail = std::min(kWindow, filtered.size);
    m_filling->dictionary.assign(filtered.data.get() + filtered.size - tail,
                                 filtered.data.get() + filtered.size);
    const int level = m_level;
    const auto code = [this, level](Band& job, int thread) {
        std::unique_ptr<Deflater>& deflater = m_deflaters[std::size_t(thread)];
        if (!deflater)
            deflater = std::make_unique<Deflater>(level);
        deflater->deflateBand(job, level);
    };
    const auto write = [this](Band& done) { return writeBand(done); };
    m_ok = m_queue.submit(std::move(band), code, write);
}

bool PngImageData::writeBand(Band& band) {
    m_adler = std::uint32_t(adler32_combine(m_adler, band.adler, z_off_t(band.filtered.size)));
    BandBuffer& out = band.deflated;
    if (band.last) {
        // The reserve above left room for it.
        for (int shift = 24; shift >= 0; shift -= 8)
            out.data[out.size++] = static_cast<unsigned char>(m_adler >> shift);
    }
    return m_writeChunk(out.data.get(), out.size);
}

std::unique_ptr<PngImageData::Band> PngImageData::spareBand() {
    std::unique_ptr<Band> band = m_queue.take();
    band->filtered.reserve(std::size_t(m_bandRows) * (m_rowBytes + 1));
    band->filtered.size = 0;
    band->dictionary.clear();
    return band;
}

bool PngImageData::finish() {
    const auto write = [this](Band& done) { return writeBand(done); };
    m_ok = m_ok && m_queue.drain(write);
    return m_ok && m_row == m_height;
}

} // namespace nconvert
