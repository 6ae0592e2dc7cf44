// SPDX-License-Identifier: MIT
#include "format.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace nconvert {
namespace {

// An ISO media file whose ftyp box names an AVIF brand, major or compatible.
bool isAvif(const unsigned char* data, std::size_t size) {
    if (size < 16 || std::memcmp(data + 4, "ftyp", 4) != 0)
        return false;
    const std::size_t box = std::min<std::size_t>(size, std::size_t(data[0]) << 24 | data[1] << 16 |
                                                            data[2] << 8 | data[3]);
    for (std::size_t at = 8; at + 4 <= box; at += at == 8 ? 8 : 4)
        if (std::memcmp(data + at, "avif", 4) == 0 || std::memcmp(data + at, "avis", 4) == 0)
            return true;
    return false;
}

} // namespace

bool decodedByVips(Format format) {
    return format == Format::Webp || format == Format::Tiff || format == Format::Avif;
}

std::optional<Format> sniffFormat(const unsigned char* data, std::size_t size) {
    static const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    if (size >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff)
        return Format::Jpeg;
    if (size >= sizeof png && std::memcmp(data, png, sizeof png) == 0)
        return Format::Png;
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return Format::Gif;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return Format::Bmp;
    if (size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0)
        return Format::Webp;
    if (size >= 4 && (std::memcmp(data, "II*\0", 4) == 0 || std::memcmp(data, "MM\0*", 4) == 0 ||
                      std::memcmp(data, "II+\0", 4) == 0 || std::memcmp(data, "MM\0+", 4) == 0))
        return Format::Tiff;
    if (isAvif(data, size))
        return Format::Avif;
    return std::nullopt;
}

std::optional<Format> formatFromExtension(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == "jpg" || ext == "jpeg" || ext == "jpe" || ext == "jfif")
        return Format::Jpeg;
    if (ext == "png")
        return Format::Png;
    if (ext == "gif")
        return Format::Gif;
    if (ext == "bmp")
        return Format::Bmp;
    if (ext == "webp")
        return Format::Webp;
    if (ext == "tif" || ext == "tiff")
        return Format::Tiff;
    if (ext == "avif")
        return Format::Avif;
    return std::nullopt;
}

const char* formatName(Format format) {
    switch (format) {
    case Format::Jpeg:
        return "JPEG";
    case Format::Png:
        return "PNG";
    case Format::Gif:
        return "GIF";
    case Format::Bmp:
        return "BMP";
    case Format::Webp:
        return "WebP";
    case Format::Tiff:
        return "TIFF";
    case Format::Avif:
        return "AVIF";
    }
    return "?";
}

} // namespace nconvert
