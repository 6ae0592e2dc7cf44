// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace nconvert {

enum class Format { Jpeg, Png, Gif, Bmp, Webp, Tiff, Avif };

/// Whether the libvips module decodes and encodes the format (its rows go through our
/// pipeline all the same).
bool decodedByVips(Format format);

/// The format named by the file's leading bytes, or nothing when it is none we read.
std::optional<Format> sniffFormat(const unsigned char* data, std::size_t size);

/// The format OUTPUT's extension names (.jpg .jpeg .jpe .jfif .png .gif .bmp .webp .tif .tiff
/// .avif, any case).
std::optional<Format> formatFromExtension(const std::string& path);

const char* formatName(Format format);

} // namespace nconvert
