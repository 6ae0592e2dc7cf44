// SPDX-License-Identifier: MIT
#include "exif.h"

#include "bytes.h"

namespace nconvert {
namespace {

constexpr unsigned kShort = 3;
constexpr unsigned kLong = 4;
constexpr unsigned kRational = 5;
constexpr unsigned kExifIfdPointer = 0x8769;

// The TIFF structure of an EXIF block: its byte order and reads that never leave the block.
class Tiff {
public:
    explicit Tiff(const std::vector<unsigned char>& bytes) : m_bytes(bytes) {
        if (bytes.size() >= 8 && bytes[0] == bytes[1] && (bytes[0] == 'I' || bytes[0] == 'M')) {
            m_bigEndian = bytes[0] == 'M';
            m_valid = u16(2) == 42;
        }
    }
    bool valid() const { return m_valid; }
    bool bigEndian() const { return m_bigEndian; }
    bool holds(std::uint64_t offset, std::uint64_t length) const {
        return offset <= m_bytes.size() && length <= m_bytes.size() - offset;
    }
    std::uint32_t u16(std::size_t at) const {
        return m_bigEndian ? readBe16(&m_bytes[at]) : readLe16(&m_bytes[at]);
    }
    std::uint32_t u32(std::size_t at) const {
        return m_bigEndian ? readBe32(&m_bytes[at]) : readLe32(&m_bytes[at]);
    }

private:
    const std::vector<unsigned char>& m_bytes;
    bool m_bigEndian = false;
    bool m_valid = false;
};

// The entries of one IFD: where each starts, or nothing when the IFD does not fit the block.
std::optional<std::vector<std::size_t>> ifdEntries(const Tiff& tiff, std::uint64_t offset) {
    if (offset < 8 || !tiff.holds(offset, 2))
        return std::nullopt;
    const std::uint32_t count = tiff.u16(std::size_t(offset));
    if (!tiff.holds(offset + 2, std::uint64_t(count) * 12))
        return std::nullopt;
    std::vector<std::size_t> entries;
    for (std::uint32_t i = 0; i < count; ++i)
        entries.push_back(std::size_t(offset + 2 + 12 * i));
    return entries;
}

// Where a size tag's value is to be written: the entry, and the new value.
struct SizeEdit {
    std::size_t entry;
    std::uint32_t value;
};

void collectSizeEdits(const Tiff& tiff, const std::vector<std::size_t>& entries, unsigned widthTag,
                      unsigned heightTag, std::uint32_t width, std::uint32_t height,
                      std::vector<SizeEdit>& edits) {
    for (const std::size_t entry : entries) {
        const std::uint32_t tag = tiff.u16(entry);
        const std::uint32_t type = tiff.u16(entry + 2);
        if ((tag == widthTag || tag == heightTag) && (type == kShort || type == kLong) &&
            tiff.u32(entry + 4) == 1)
            edits.push_back({entry, tag == widthTag ? width : height});
    }
}

void put(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value, int length,
         bool bigEndian) {
    for (int i = 0; i < length; ++i) {
        const int shift = 8 * (bigEndian ? length - 1 - i : i);
        bytes[at + std::size_t(i)] = static_cast<unsigned char>(value >> shift);
    }
}

} // namespace

std::vector<unsigned char> exifWithSize(const std::vector<unsigned char>& bytes,
                                        std::uint32_t width, std::uint32_t height) {
    const Tiff tiff(bytes);
    if (!tiff.valid())
        return bytes;
    const std::uint32_t ifd0Offset = tiff.u32(4);
    const std::optional<std::vector<std::size_t>> ifd0 = ifdEntries(tiff, ifd0Offset);
    if (!ifd0)
        return bytes;
    std::vector<SizeEdit> edits;
    collectSizeEdits(tiff, *ifd0, 0x0100, 0x0101, width, height, edits);
    for (const std::size_t entry : *ifd0) {
        if (tiff.u16(entry) != kExifIfdPointer)
            continue;
        // An Exif IFD that is IFD0 again would be edited twice: the block is not what it claims.
        const std::uint32_t offset = tiff.u32(entry + 8);
        const std::optional<std::vector<std::size_t>> exifIfd = ifdEntries(tiff, offset);
        if (!exifIfd || offset == ifd0Offset)
            return bytes;
        collectSizeEdits(tiff, *exifIfd, 0xa002, 0xa003, width, height, edits);
    }
    std::vector<unsigned char> out = bytes;
    for (const SizeEdit& edit : edits) {
        // A value field is four bytes whatever the type, so a SHORT that cannot hold the new
        // size becomes a LONG in place; both types are allowed for these tags.
        const bool wide = tiff.u16(edit.entry + 2) == kLong || edit.value > 0xffff;
        if (wide)
            put(out, edit.entry + 2, kLong, 2, tiff.bigEndian());
        put(out, edit.entry + 8, edit.value, wide ? 4 : 2, tiff.bigEndian());
    }
    return out;
}

std::optional<ExifResolution> exifResolution(const std::vector<unsigned char>& bytes) {
    const Tiff tiff(bytes);
    if (!tiff.valid())
        return std::nullopt;
    const std::optional<std::vector<std::size_t>> ifd0 = ifdEntries(tiff, tiff.u32(4));
    if (!ifd0)
        return std::nullopt;
    double perUnit[2] = {0, 0};
    double metresPerUnit = 0.0254;
    for (const std::size_t entry : *ifd0) {
        const std::uint32_t tag = tiff.u16(entry);
        const std::uint32_t type = tiff.u16(entry + 2);
        if (tiff.u32(entry + 4) != 1)
            continue;
        if (tag == 0x0128 && type == kShort) {
            const std::uint32_t unit = tiff.u16(entry + 8);
            if (unit != 2 && unit != 3)
                return std::nullopt;
            metresPerUnit = unit == 2 ? 0.0254 : 0.01;
        } else if ((tag == 0x011a || tag == 0x011b) && type == kRational) {
            const std::uint32_t at = tiff.u32(entry + 8);
            if (!tiff.holds(at, 8) || tiff.u32(at + 4) == 0)
                return std::nullopt;
            perUnit[tag - 0x011a] = double(tiff.u32(at)) / tiff.u32(at + 4);
        }
    }
    if (perUnit[0] <= 0 || perUnit[1] <= 0)
        return std::nullopt;
    ExifResolution resolution;
    for (int axis = 0; axis < 2; ++axis)
        resolution.pixelsPerMetre[axis] = perUnit[axis] / metresPerUnit;
    return resolution;
}

} // namespace nconvert
