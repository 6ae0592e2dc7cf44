// SPDX-License-Identifier: MIT
// An EXIF block is kept as it came but for its size tags, and hostile blocks pass untouched.
#include "exif.h"

#include <gtest/gtest.h>

using nconvert::exifResolution;
using nconvert::exifWithSize;
using Bytes = std::vector<unsigned char>;

namespace {

// A big-endian camera-like block: IFD0 with Make, ImageWidth (SHORT), ImageLength (SHORT),
// XResolution, ResolutionUnit and the Exif IFD; that IFD with PixelXDimension (SHORT),
// PixelYDimension (LONG) and a MakerNote blob. Offsets of the fields a test patches are fixed.
struct Camera {
    Bytes bytes;
    static constexpr std::size_t kIfd0 = 8;
    static constexpr std::size_t kExifIfd = 112;
    static constexpr std::size_t kWidthEntry = kIfd0 + 2 + 12;
    static constexpr std::size_t kLengthEntry = kIfd0 + 2 + 24;
    static constexpr std::size_t kExifPointerEntry = kIfd0 + 2 + 72;
    static constexpr std::size_t kPixelXEntry = kExifIfd + 2;
    static constexpr std::size_t kPixelYEntry = kExifIfd + 2 + 12;

    Camera() : bytes(200, 0) {
        put(0, 0x4d4d, 2), put(2, 42, 2), put(4, kIfd0, 4);
        put(kIfd0, 7, 2);
        entry(0, 0x010f, 2, 6, 106);       // Make -> "Maker\0"
        entry(1, 0x0100, 3, 1, 640 << 16); // SHORT sits in the first two bytes
        entry(2, 0x0101, 3, 1, 480 << 16);
        entry(3, 0x011a, 5, 1, 98); // XResolution and YResolution -> 300/1
        entry(4, 0x011b, 5, 1, 98);
        entry(5, 0x0128, 3, 1, 2 << 16);
        entry(6, 0x8769, 4, 1, kExifIfd);
        put(98, 300, 4), put(102, 1, 4);
        for (int i = 0; i < 6; ++i)
            bytes[106 + i] = static_cast<unsigned char>("Maker"[i]);
        put(kExifIfd, 3, 2);
        exifEntry(0, 0xa002, 3, 1, 640 << 16);
        exifEntry(1, 0xa003, 4, 1, 480);
        exifEntry(2, 0x927c, 7, 40, 160); // MakerNote, bytes 160..199
        for (std::size_t i = 160; i < 200; ++i)
            bytes[i] = static_cast<unsigned char>(i * 7);
    }
    void put(std::size_t at, std::uint32_t value, int length) {
        for (int i = 0; i < length; ++i)
            bytes[at + i] = static_cast<unsigned char>(value >> (8 * (length - 1 - i)));
    }
    void entryAt(std::size_t at, unsigned tag, unsigned type, std::uint32_t count,
                 std::uint32_t value) {
        put(at, tag, 2), put(at + 2, type, 2), put(at + 4, count, 4), put(at + 8, value, 4);
    }
    void entry(int i, unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value) {
        entryAt(kIfd0 + 2 + 12 * i, tag, type, count, value);
    }
    void exifEntry(int i, unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value) {
        entryAt(kExifIfd + 2 + 12 * i, tag, type, count, value);
    }
};

} // namespace

TEST(Exif, onlyTheSizeTagsChange) {
    Camera camera;
    const Bytes updated = exifWithSize(camera.bytes, 70000, 300);
    Camera expected;
    // A SHORT that cannot hold 70000 becomes a LONG in its own four-byte field.
    expected.entryAt(Camera::kWidthEntry, 0x0100, 4, 1, 70000);
    expected.entryAt(Camera::kLengthEntry, 0x0101, 3, 1, 300 << 16);
    expected.entryAt(Camera::kPixelXEntry, 0xa002, 4, 1, 70000);
    expected.entryAt(Camera::kPixelYEntry, 0xa003, 4, 1, 300);
    EXPECT_EQ(updated, expected.bytes);

    const auto resolution = exifResolution(camera.bytes);
    ASSERT_TRUE(resolution);
    EXPECT_NEAR(resolution->pixelsPerMetre[0], 300 / 0.0254, 1e-6);
}

TEST(Exif, blocksThatCannotBeWalkedPassUntouched) {
    struct Case {
        const char* name;
        std::size_t at;
        std::uint32_t value;
        int length;
    };
    const Case cases[] = {
        {"IFD0 past the end", 4, 0xfffffff0, 4},
        {"IFD0 inside the header", 4, 2, 4},
        {"IFD0 count past the end", Camera::kIfd0, 0xffff, 2},
        {"Exif IFD past the end", Camera::kExifPointerEntry + 8, 0x7fffffff, 4},
        {"Exif IFD count past the end", Camera::kExifIfd, 1000, 2},
        {"Exif IFD that is IFD0 again", Camera::kExifPointerEntry + 8, Camera::kIfd0, 4},
        {"not TIFF", 2, 43, 2},
    };
    for (const Case& c : cases) {
        Camera camera;
        camera.put(c.at, c.value, c.length);
        EXPECT_EQ(exifWithSize(camera.bytes, 1, 1), camera.bytes) << c.name;
        (void)exifResolution(camera.bytes); // must not read outside the block
    }
    const Camera camera;
    for (std::size_t cut = 0; cut < Camera::kExifIfd + 2 + 36; cut += 5) {
        const Bytes truncated(camera.bytes.begin(), camera.bytes.begin() + long(cut));
        EXPECT_EQ(exifWithSize(truncated, 1, 1), truncated) << cut;
        (void)exifResolution(truncated);
    }
}
