// SPDX-License-Identifier: MIT
#include "size_limits.h"

#include "bmp_writer.h"
#include "error.h"
#include "gif_scan.h"

#include <algorithm>
#include <string>

namespace nconvert {
namespace {

std::string pixels(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

} // namespace

std::int64_t scaledLength(std::int64_t length, int percent) {
    const std::int64_t scaled = (length * percent + 50) / 100;
    return scaled < 1 ? 1 : scaled;
}

Format inputFormat(const unsigned char* data, std::size_t size, const ConvertSettings& settings) {
    if (size == 0)
        throw Error(Status::BadInput, settings.inputName, "the file is empty");
    const std::optional<Format> format = sniffFormat(data, size);
    if (!format)
        throw Error(Status::Unsupported, settings.inputName,
                    "not a BMP, JPEG, GIF, PNG, WebP, TIFF or AVIF picture (unrecognised content)");
    return *format;
}

void checkInputPixels(std::int64_t width, std::int64_t height, const ConvertSettings& settings) {
    if (width * height > settings.limits.maxInputPixels)
        throw Error(Status::TooLarge, settings.inputName,
                    "the picture is " + pixels(width, height) + " pixels, above the limit of " +
                        std::to_string(settings.limits.maxInputPixels / 1'000'000) + " megapixels");
}

void checkJpegSides(std::int64_t width, std::int64_t height, const ConvertSettings& settings) {
    if (std::max(width, height) > kMaxJpegSide)
        throw Error(Status::TooLarge, settings.inputName,
                    "the picture is " + pixels(width, height) +
                        " pixels; JPEG pictures are read up to " + std::to_string(kMaxJpegSide) +
                        " pixels a side");
}

void checkGifFrames(int frames, const ConvertSettings& settings) {
    if (frames > kMaxGifFrames)
        throw Error(Status::TooLarge, settings.inputName,
                    "the GIF has " + std::to_string(frames) + " frames; at most " +
                        std::to_string(kMaxGifFrames) + " can be read");
}

void checkOutputSize(std::int64_t width, std::int64_t frameHeight, int frames, bool alpha,
                     Format output, const ConvertSettings& settings) {
    const Limits& limits = settings.limits;
    if (width > limits.maxOutputSide || frameHeight > limits.maxOutputSide ||
        width * frameHeight * frames > limits.maxOutputPixels)
        throw Error(Status::TooLarge, settings.outputName,
                    "the result would be " + pixels(width, frameHeight) +
                        (frames > 1 ? " x " + std::to_string(frames) + " frames" : "") +
                        " pixels, above the limit of " + std::to_string(limits.maxOutputSide) +
                        " pixels a side and " + std::to_string(limits.maxOutputPixels / 1'000'000) +
                        " megapixels");
    if (output == Format::Gif && width * frameHeight > kMaxGifFramePixels)
        throw Error(Status::TooLarge, settings.outputName,
                    "the result would be " + pixels(width, frameHeight) +
                        " pixels; a GIF frame is written up to " +
                        std::to_string(kMaxGifFramePixels / 1'000'000) + " megapixels");
    if (output == Format::Webp && std::max(width, frameHeight) > kMaxWebpSide)
        throw Error(Status::TooLarge, settings.outputName,
                    "the result would be " + pixels(width, frameHeight) +
                        " pixels; a WebP holds at most " + std::to_string(kMaxWebpSide) +
                        " pixels a side");
    if (output == Format::Avif && width * frameHeight > kMaxAvifPixels)
        throw Error(Status::TooLarge, settings.outputName,
                    "the result would be " + pixels(width, frameHeight) +
                        " pixels; an AVIF is written up to " +
                        std::to_string(kMaxAvifPixels / 1'000'000) +
                        " megapixels (its encoder needs about 25 bytes a pixel)");
    if (output == Format::Bmp && bmpFileSize(int(width), int(frameHeight), alpha) > 0xffffffffu)
        throw Error(Status::TooLarge, settings.outputName, "the result is too large for a BMP");
}

} // namespace nconvert
