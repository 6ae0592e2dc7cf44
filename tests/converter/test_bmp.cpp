// SPDX-License-Identifier: MIT
// The BMP reader: every kind of BMP a Windows or OS/2 program writes, and damaged RLE streams.
#include "bmp_reader.h"
#include "fixtures.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace nconvert;
using fixtures::Bytes;

namespace {

using Grid = std::vector<std::vector<int>>; // palette indices, top row first

// Blue, red, green, white: exact in every 16-bit layout too.
const std::uint32_t kPalette[4] = {0x0000ff, 0xff0000, 0x00ff00, 0xffffff};
const Grid kPicture = {{0, 1, 2, 3, 1}, {1, 1, 1, 2, 2}, {3, 3, 0, 2, 0}};

void le16(Bytes& b, std::uint32_t v) {
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}
void le32(Bytes& b, std::uint32_t v) {
    le16(b, v & 0xffff);
    le16(b, v >> 16);
}

struct Info {
    std::uint32_t size = 40;
    int height = 3; // negative: top-down
    int bits = 8;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> masks = {}; // those inside the header
};

// A 5-pixel-wide BMP: the info header cut to its size, then `between` (masks, colour table),
// then the pixel data.
Bytes bmpFile(const Info& info, const Bytes& between, const Bytes& pixels) {
    Bytes h;
    le32(h, info.size);
    if (info.size == 12) {
        le16(h, 5);
        le16(h, std::uint32_t(info.height));
        le16(h, 1);
        le16(h, std::uint32_t(info.bits));
    } else {
        le32(h, 5);
        le32(h, std::uint32_t(info.height));
        le16(h, 1);
        le16(h, std::uint32_t(info.bits));
        le32(h, info.compression);
        h.resize(40, 0);
        for (std::uint32_t m : info.masks)
            le32(h, m);
        h.resize(info.size, 0);
    }
    Bytes file = {'B', 'M'};
    const std::size_t offset = 14 + h.size() + between.size();
    le32(file, std::uint32_t(offset + pixels.size()));
    le32(file, 0);
    le32(file, std::uint32_t(offset));
    file.insert(file.end(), h.begin(), h.end());
    file.insert(file.end(), between.begin(), between.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

Bytes palette(int entries, int entrySize) {
    Bytes b;
    for (int i = 0; i < entries; ++i) {
        for (int shift : {0, 8, 16})
            b.push_back((kPalette[i] >> shift) & 0xff);
        if (entrySize == 4)
            b.push_back(0);
    }
    return b;
}

// Uncompressed rows, stored bottom-up (or top-down), each pixel made by `put`, padded to 4.
template <typename Put> Bytes rows(const Grid& grid, int bits, bool topDown, Put put) {
    Bytes b;
    for (std::size_t r = 0; r < grid.size(); ++r) {
        const auto& row = grid[topDown ? r : grid.size() - 1 - r];
        Bytes packed((row.size() * bits + 7) / 8, 0);
        for (std::size_t x = 0; x < row.size(); ++x)
            put(packed, x, row[x]);
        packed.resize((packed.size() + 3) & ~std::size_t(3), 0);
        b.insert(b.end(), packed.begin(), packed.end());
    }
    return b;
}

Bytes indexed(const Grid& grid, int bits, bool topDown = false) {
    return rows(grid, bits, topDown, [bits](Bytes& p, std::size_t x, int i) {
        p[x * bits / 8] |= i << (8 - bits - x * bits % 8);
    });
}

Bytes direct(const Grid& grid, int bytes, bool topDown, std::uint32_t (*pixel)(std::uint32_t)) {
    return rows(grid, bytes * 8, topDown, [&](Bytes& p, std::size_t x, int i) {
        const std::uint32_t v = pixel(kPalette[i]);
        for (int k = 0; k < bytes; ++k)
            p[x * bytes + k] = (v >> (8 * k)) & 0xff;
    });
}

std::uint32_t rgb555(std::uint32_t c) {
    return (c >> 19 & 31) << 10 | (c >> 11 & 31) << 5 | (c >> 3 & 31);
}
std::uint32_t rgb565(std::uint32_t c) {
    return (c >> 19 & 31) << 11 | (c >> 10 & 63) << 5 | (c >> 3 & 31);
}
std::uint32_t bgr(std::uint32_t c) {
    return c;
}
// Padding byte that BI_RGB readers must ignore.
std::uint32_t bgrx(std::uint32_t c) {
    return c | 0x7f000000;
}
// White is half transparent.
std::uint32_t bgra(std::uint32_t c) {
    return c | (c == 0xffffff ? 0x80000000 : 0xff000000);
}

// The same picture as a plain 24-bit BMP, or 32-bit with alpha.
Bytes uncompressedCopy(const Grid& grid, bool alpha) {
    fixtures::BmpLayout layout{5, int(grid.size()), alpha ? 32 : 24, false, alpha ? 3u : 0u};
    if (alpha)
        layout.masks = {0xff0000, 0xff00, 0xff, 0xff000000};
    for (const auto& row : grid) {
        Bytes packed;
        for (int i : row) {
            const std::uint32_t v = alpha ? bgra(kPalette[i]) : kPalette[i];
            for (int k = 0; k < (alpha ? 4 : 3); ++k)
                packed.push_back((v >> (8 * k)) & 0xff);
        }
        layout.rows.push_back(packed);
    }
    return fixtures::makeBmp(layout);
}

int runNconvert(const std::string& in, const std::string& out) {
    std::vector<std::string> args = {NCONVERT_PATH, "-resize", "200%", "200%", "-o", out, in};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(Bmp, everyKindEnlargesLikeItsUncompressedCopy) {
    const Info rle8{40, 3, 8, 1}, rle4{40, 3, 4, 2};
    const Bytes pal4 = palette(4, 4);
    // clang-format off
    const Bytes rle8Stream = {2, 3, 0, 3, 0, 2, 0, 0, 0, 0,        // 3 3 | literal 0 2 0, padded
                              3, 1, 2, 2, 0, 0,                    // 1 1 1 | 2 2
                              0, 5, 0, 1, 2, 3, 1, 0, 0, 0, 0, 1}; // literal, padded; end
    // Skipped and unwritten pixels are index 0: a delta within the row, a row ended early, a
    // delta up past a whole row, and an end of picture in mid-row.
    const Bytes gaps = {1, 3, 0, 2, 2, 0, 1, 2, 0, 0, 0, 2, 1, 1, 1, 1, 1, 2, 0, 1};
    const Grid gapPicture = {{0, 1, 2, 0, 0}, {0, 0, 0, 0, 0}, {3, 0, 0, 2, 0}};
    const Bytes rle4Stream = {2, 0x33, 3, 0x02, 0, 0,              // 3 3 | 0 2 0 alternating
                              3, 0x11, 2, 0x22, 0, 0,              // 1 1 1 | 2 2
                              0, 5, 0x01, 0x23, 0x10, 0, 0, 1};    // 5 literal nibbles, padded
    // clang-format on
    const Bytes noEnd(rle8Stream.begin(), rle8Stream.end() - 2);
    Grid mono = kPicture;
    for (auto& row : mono)
        for (int& i : row)
            i &= 1;
    struct Kind {
        const char* name;
        Bytes file;
        Grid picture = kPicture;
        bool alpha = false;
    };
    const Kind kinds[] = {
        {"RLE8", bmpFile(rle8, pal4, rle8Stream)},
        {"RLE8 without end of picture", bmpFile(rle8, pal4, noEnd)},
        {"RLE8 deltas and early ends", bmpFile(rle8, pal4, gaps), gapPicture},
        {"RLE4", bmpFile(rle4, pal4, rle4Stream)},
        {"1-bit OS/2 core", bmpFile({12, 3, 1}, palette(2, 3), indexed(mono, 1)), mono},
        {"8-bit OS/2 core", bmpFile({12, 3, 8}, palette(4, 3), indexed(kPicture, 8))},
        {"24-bit OS/2 core", bmpFile({12, 3, 24}, {}, direct(kPicture, 3, false, bgr))},
        {"8-bit OS/2 2.x short", bmpFile({16, 3, 8}, pal4, indexed(kPicture, 8))},
        {"4-bit OS/2 2.x", bmpFile({64, 3, 4}, pal4, indexed(kPicture, 4))},
        {"4-bit top-down", bmpFile({40, -3, 4}, pal4, indexed(kPicture, 4, true))},
        {"16-bit 5-5-5", bmpFile({40, 3, 16}, {}, direct(kPicture, 2, false, rgb555))},
        {"16-bit 5-6-5 in a V3 header", bmpFile({56, 3, 16, 3, {0xf800, 0x07e0, 0x001f, 0}}, {},
                                                direct(kPicture, 2, false, rgb565))},
        {"32-bit", bmpFile({40, 3, 32}, {}, direct(kPicture, 4, false, bgrx))},
        {"32-bit alpha bit fields, V2 header",
         bmpFile({52, 3, 32, 6, {0xff0000, 0xff00, 0xff}}, {0, 0, 0, 0xff},
                 direct(kPicture, 4, false, bgra)),
         kPicture, true},
        {"24-bit top-down V5", bmpFile({124, -3, 24}, {}, direct(kPicture, 3, true, bgr))},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const Bytes reference = uncompressedCopy(kind.picture, kind.alpha);
        const auto expected = fixtures::convert(reference, 200, 200, Format::Bmp);
        const Status status = fixtures::convertStatus(kind.file, 200, 200, Format::Bmp);
        EXPECT_EQ(int(status), int(Status::Ok));
        if (status == Status::Ok) {
            EXPECT_TRUE(fixtures::convert(kind.file, 200, 200, Format::Bmp).bytes ==
                        expected.bytes);
        }
    }
}

TEST(Bmp, brokenRleIsCorruptAndWritesNothing) {
    const Bytes pal4 = palette(4, 4);
    const struct {
        const char* name;
        Info info;
        Bytes stream;
    } cases[] = {
        {"run past the row", {40, 3, 8, 1}, {6, 1, 0, 1}},
        {"literal run past the row", {40, 3, 8, 1}, {0, 6, 1, 1, 1, 1, 1, 1, 0, 1}},
        {"RLE4 run past the row", {40, 3, 4, 2}, {6, 0x11, 0, 1}},
        {"delta past the right edge", {40, 3, 8, 1}, {2, 1, 0, 2, 4, 0, 0, 1}},
        {"delta past the top", {40, 3, 8, 1}, {0, 2, 0, 3, 0, 1}},
        {"run past the last row", {40, 3, 8, 1}, {0, 0, 0, 0, 0, 0, 1, 1, 0, 1}},
        {"cut inside a code", {40, 3, 8, 1}, {3, 1, 2}},
        {"cut inside a literal run", {40, 3, 8, 1}, {0, 5, 0, 1}},
        {"cut inside a delta", {40, 3, 8, 1}, {0, 2, 1}},
        {"ends before the picture", {40, 3, 8, 1}, {5, 1, 0, 0}},
        {"top-down RLE", {40, -3, 8, 1}, {0, 1}},
        {"RLE8 with 4 bits per pixel", {40, 3, 4, 1}, {0, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(int(fixtures::convertStatus(bmpFile(c.info, pal4, c.stream), 200, 200)),
                  int(Status::BadInput));
    }
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("in.bmp"), bmpFile(cases[4].info, pal4, cases[4].stream));
    EXPECT_EQ(runNconvert(dir.file("in.bmp"), dir.file("out.bmp")), 3);
    EXPECT_TRUE(dir.entries() == std::vector<std::string>{"in.bmp"});
}

TEST(Bmp, colourMasksAreReadOnlyWhereTheFileHoldsThem) {
    // A V2 header holds three masks; BI_ALPHABITFIELDS asks for a fourth. A file that ends with
    // the header, or whose pixels start right after it, does not hold it.
    const Info v2Alpha{52, 1, 32, 6, {0xff0000, 0xff00, 0xff}};
    Bytes headerOnly = bmpFile(v2Alpha, {}, {});
    headerOnly.shrink_to_fit(); // nothing readable past the end
    EXPECT_THROW(readBmpLayout(headerOnly.data(), headerOnly.size(), "t"), Error);
    // Pixels that would pass for an alpha mask.
    Bytes pixels(20, 0);
    pixels[3] = 0xff;
    const Bytes overlapping = bmpFile(v2Alpha, {}, pixels);
    EXPECT_EQ(int(fixtures::convertStatus(overlapping, 100, 100)), int(Status::BadInput));
}
