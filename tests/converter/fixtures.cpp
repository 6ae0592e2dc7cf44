// SPDX-License-Identifier: MIT
#include "fixtures.h"

#include "error.h"
#include "row_codec.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <lcms2.h>
#include <stdexcept>

using vips::VImage;

namespace fixtures {

VImage photo(int width, int height, int bands) {
    // Smooth ramps in different directions plus a little noise.
    VImage xy = VImage::xyz(width, height);
    VImage x = xy[0] * (255.0 / width);
    VImage y = xy[1] * (255.0 / height);
    // Seeded, so that a picture and what is measured of its copy are the same in every run.
    VImage noise =
        VImage::gaussnoise(width, height, VImage::option()->set("sigma", 12.0)->set("seed", 7));
    VImage rgb = VImage::bandjoin(
        std::vector<VImage>{x + noise, y + noise * 0.5, (x + y) * 0.5 - noise * 0.3});
    rgb = rgb.cast(VIPS_FORMAT_UCHAR)
              .copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
    const VImage alpha = (y * 0.5 + 100).cast(VIPS_FORMAT_UCHAR);
    VImage grey = rgb.colourspace(VIPS_INTERPRETATION_B_W);
    switch (bands) {
    case 1:
        return grey.copy_memory();
    case 2:
        return grey.bandjoin(alpha).copy_memory();
    case 4:
        return rgb.bandjoin(alpha).copy_memory();
    default:
        return rgb.copy_memory();
    }
}

Bytes srgbProfile() {
    cmsHPROFILE profile = cmsCreate_sRGBProfile();
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    Bytes bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

VImage fromSamples(const std::vector<unsigned char>& samples, int width, int height, int bands) {
    VImage image = VImage::new_from_memory(const_cast<unsigned char*>(samples.data()),
                                           samples.size(), width, height, bands, VIPS_FORMAT_UCHAR);
    return image.copy_memory();
}

Bytes save(const VImage& image, const char* suffix, vips::VOption* options) {
    void* buffer = nullptr;
    size_t size = 0;
    image.write_to_buffer(suffix, &buffer, &size, options);
    Bytes bytes(static_cast<unsigned char*>(buffer), static_cast<unsigned char*>(buffer) + size);
    g_free(buffer);
    return bytes;
}

VImage load(const Bytes& bytes, bool allFrames) {
    VImage image = VImage::new_from_buffer(bytes.data(), bytes.size(), "",
                                           allFrames ? VImage::option()->set("n", -1) : nullptr);
    return image.copy_memory();
}

const nconvert::VipsRowEntries* moduleRows() {
    static nconvert::VipsRowEntries rows;
    rows.argv0 = "converter_tests";
    rows.openReader = nconvert::openVipsReader;
    rows.openWriter = nconvert::openVipsWriter;
    return &rows;
}

Converted convert(const Bytes& input, int widthPercent, int heightPercent,
                  std::optional<nconvert::Format> output) {
    return convertBy(Path::AsNconvert, input, widthPercent, heightPercent, output);
}

Converted convertBy(Path path, const Bytes& input, int widthPercent, int heightPercent,
                    std::optional<nconvert::Format> output) {
    nconvert::ConvertSettings settings;
    settings.widthPercent = widthPercent;
    settings.heightPercent = heightPercent;
    settings.outputFormat = output;
    settings.vipsRows = moduleRows;
    nconvert::MemorySink sink;
    Converted converted;
    std::optional<nconvert::ConvertResult> result;
    if (path == Path::AsNconvert)
        result = nconvert::convertInPipeline(input.data(), input.size(), settings, sink);
    converted.result =
        result ? *result : nconvert::convertImage(input.data(), input.size(), settings, sink);
    converted.bytes = sink.bytes();
    return converted;
}

nconvert::Status convertStatus(const Bytes& input, int widthPercent, int heightPercent,
                               std::optional<nconvert::Format> output) {
    try {
        convert(input, widthPercent, heightPercent, output);
    } catch (const nconvert::Error& error) {
        return error.status();
    }
    return nconvert::Status::Ok;
}

namespace {
void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xff;
    b[at + 1] = (v >> 8) & 0xff;
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xffff);
    put16(b, at + 2, v >> 16);
}
} // namespace

namespace {

void appendLe16(Bytes& b, int v) {
    b.push_back(static_cast<unsigned char>(v & 0xff));
    b.push_back(static_cast<unsigned char>(v >> 8 & 0xff));
}

// A table of at least two entries, padded to a power of two; returns its size's field value.
int appendTable(Bytes& b, const std::vector<std::uint32_t>& colours) {
    int bits = 1;
    while ((1u << bits) < colours.size())
        ++bits;
    for (int i = 0; i < 1 << bits; ++i) {
        const std::uint32_t rgb = i < int(colours.size()) ? colours[i] : 0;
        b.insert(b.end(), {static_cast<unsigned char>(rgb >> 16),
                           static_cast<unsigned char>(rgb >> 8), static_cast<unsigned char>(rgb)});
    }
    return bits - 1;
}

// Literal codes only, with a clear code before the table would widen the codes.
void appendLiteralLzw(Bytes& b, const std::vector<unsigned char>& indices) {
    const int minCodeSize = 8;
    const int clear = 1 << minCodeSize;
    const int perClear = clear - 2;
    Bytes packed;
    std::uint32_t bits = 0;
    int count = 0;
    const auto emit = [&](int code) {
        bits |= std::uint32_t(code) << count;
        for (count += minCodeSize + 1; count >= 8; count -= 8, bits >>= 8)
            packed.push_back(static_cast<unsigned char>(bits));
    };
    for (std::size_t i = 0; i < indices.size(); ++i) {
        if (i % perClear == 0)
            emit(clear);
        emit(indices[i]);
    }
    emit(clear + 1);
    if (count > 0)
        packed.push_back(static_cast<unsigned char>(bits));
    b.push_back(minCodeSize);
    for (std::size_t pos = 0; pos < packed.size(); pos += 255) {
        const std::size_t n = std::min<std::size_t>(255, packed.size() - pos);
        b.push_back(static_cast<unsigned char>(n));
        b.insert(b.end(), packed.begin() + long(pos), packed.begin() + long(pos + n));
    }
    b.push_back(0);
}

} // namespace

Bytes makeGif(const GifLayout& layout) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    appendLe16(b, layout.width);
    appendLe16(b, layout.height);
    const std::size_t flags = b.size();
    b.insert(b.end(), {0, static_cast<unsigned char>(layout.background), 0});
    if (!layout.global.empty())
        b[flags] = static_cast<unsigned char>(0xf0 | appendTable(b, layout.global));
    if (layout.loopRepeats >= 0) {
        const char* id = "NETSCAPE2.0";
        b.insert(b.end(), {0x21, 0xff, 11});
        b.insert(b.end(), id, id + 11);
        b.insert(b.end(), {3, 1});
        appendLe16(b, layout.loopRepeats);
        b.push_back(0);
    }
    for (const GifFrame& f : layout.frames) {
        if (f.control) {
            b.insert(b.end(), {0x21, 0xf9, 4,
                               static_cast<unsigned char>(f.disposal << 2 | (f.transparent >= 0))});
            appendLe16(b, f.delayCs);
            b.insert(b.end(), {static_cast<unsigned char>(std::max(f.transparent, 0)), 0});
        }
        b.push_back(0x2c);
        for (int v : {f.x, f.y, f.width, f.height})
            appendLe16(b, v);
        const std::size_t frameFlags = b.size();
        b.push_back(f.interlaced ? 0x40 : 0);
        if (!f.local.empty())
            b[frameFlags] |= static_cast<unsigned char>(0x80 | appendTable(b, f.local));
        const std::vector<std::pair<int, int>> passes =
            f.interlaced ? std::vector<std::pair<int, int>>{{0, 8}, {4, 8}, {2, 4}, {1, 2}}
                         : std::vector<std::pair<int, int>>{{0, 1}};
        std::vector<unsigned char> rows;
        for (const auto& [start, step] : passes)
            for (int y = start; y < f.height; y += step)
                rows.insert(rows.end(), f.indices.begin() + long(y) * f.width,
                            f.indices.begin() + long(y + 1) * f.width);
        appendLiteralLzw(b, rows);
    }
    b.push_back(0x3b);
    return b;
}

Bytes makeBmp(const BmpLayout& layout) {
    const bool v4 = layout.masks.size() == 4;
    const std::size_t infoSize = v4 ? 108 : 40;
    const std::size_t maskBytes = (!v4 && layout.compression == 3) ? 12 : 0;
    const std::size_t paletteBytes = layout.palette.size() * 4;
    const std::size_t offset = 14 + infoSize + maskBytes + paletteBytes;
    const std::size_t stride = ((std::size_t(layout.width) * layout.bitCount + 31) / 32) * 4;
    Bytes b(offset + stride * layout.height, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(b.size()));
    put32(b, 10, std::uint32_t(offset));
    put32(b, 14, std::uint32_t(infoSize));
    put32(b, 18, std::uint32_t(layout.width));
    put32(b, 22, std::uint32_t(layout.topDown ? -layout.height : layout.height));
    put16(b, 26, 1);
    put16(b, 28, std::uint32_t(layout.bitCount));
    put32(b, 30, layout.compression);
    put32(b, 46, std::uint32_t(layout.palette.size()));
    for (std::size_t i = 0; i < layout.masks.size(); ++i)
        put32(b, 54 + 4 * i, layout.masks[i]);
    for (std::size_t i = 0; i < layout.palette.size(); ++i)
        put32(b, 14 + infoSize + maskBytes + 4 * i, layout.palette[i]);
    for (int y = 0; y < layout.height; ++y) {
        const int fileRow = layout.topDown ? y : layout.height - 1 - y;
        std::copy(layout.rows[y].begin(), layout.rows[y].end(),
                  b.begin() + offset + stride * fileRow);
    }
    return b;
}

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "nconvert-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

std::vector<std::string> TempDir::entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_path))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

void appendBe32(Bytes& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8)
        b.push_back((v >> s) & 0xff);
}

void appendPngChunk(Bytes& b, const char* type, const Bytes& data) {
    appendBe32(b, std::uint32_t(data.size()));
    const std::size_t start = b.size();
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), data.begin(), data.end());
    std::uint32_t crc = 0xffffffffu;
    for (std::size_t i = start; i < b.size(); ++i) {
        crc ^= b[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    appendBe32(b, crc ^ 0xffffffffu);
}

Bytes pngClaiming(std::uint32_t width, std::uint32_t height, const Bytes& idat) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    Bytes ihdr;
    appendBe32(ihdr, width);
    appendBe32(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    appendPngChunk(b, "IHDR", ihdr);
    appendPngChunk(b, "IDAT", idat);
    appendPngChunk(b, "IEND", {});
    return b;
}

} // namespace fixtures
