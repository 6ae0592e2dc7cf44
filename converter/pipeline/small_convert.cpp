// SPDX-License-Identifier: MIT
#include "small_convert.h"

#include "error.h"
#include "gif_scan.h"
#include "header_check.h"
#include "jpeg_tables.h"
#include "small_gif.h"
#include "small_jpeg.h"
#include "small_png.h"

namespace nconvert {

std::int64_t scaledLength(std::int64_t length, int percent) {
    const std::int64_t scaled = (length * percent + 50) / 100;
    return scaled < 1 ? 1 : scaled;
}

namespace {

struct Plan {
    int width = 0;
    int height = 0;
};

// `frames` of the claimed size, each scaled on its own; the limits and `maxPixels` bound all
// frames together.
std::optional<Plan> plan(const HeaderClaim& claim, const ConvertSettings& settings,
                         std::int64_t maxPixels, int frames = 1) {
    if (!claim.problem.empty() || claim.width == 0 || claim.height == 0)
        return std::nullopt;
    const std::int64_t width = scaledLength(claim.width, settings.widthPercent);
    const std::int64_t height = scaledLength(claim.height, settings.heightPercent);
    const Limits& limits = settings.limits;
    if (claim.width * claim.height * frames > std::min(limits.maxInputPixels, maxPixels) ||
        width * height * frames > std::min(limits.maxOutputPixels, maxPixels) ||
        width > limits.maxOutputSide || height > limits.maxOutputSide)
        return std::nullopt;
    return Plan{int(width), int(height)};
}

std::optional<std::vector<unsigned char>> convertJpeg(const unsigned char* data, std::size_t size,
                                                      const Plan& target) {
    std::optional<SmallJpeg> picture = decodeSmallJpeg(data, size);
    const std::optional<JpegEncoding> encoding = inspectJpeg(data, size);
    if (!picture || !encoding)
        return std::nullopt;
    picture->pixels = resample(picture->pixels, target.width, target.height);
    return encodeSmallJpeg(*picture, encoding->quality, encoding->chromaSubsampled);
}

std::optional<std::vector<unsigned char>> convertPng(const unsigned char* data, std::size_t size,
                                                     const Plan& target) {
    std::optional<SmallPng> picture = decodeSmallPng(data, size);
    if (!picture)
        return std::nullopt;
    if (picture->sixteenBit)
        picture->pixels16 = resample(picture->pixels16, target.width, target.height);
    else
        picture->pixels8 = resample(picture->pixels8, target.width, target.height);
    return encodeSmallPng(*picture);
}

// The logical screen's size, and a GIF whose blocks are whole and whose frames libvips reads
// (the pipeline reports the rest).
std::optional<Plan> planGif(const unsigned char* data, std::size_t size,
                            const ConvertSettings& settings, int& frames) {
    const GifStructure structure = scanGif(data, size);
    if (!structure.problem.empty() || structure.frames > kMaxGifFrames || size < 13)
        return std::nullopt;
    frames = structure.frames;
    HeaderClaim claim;
    claim.width = data[6] | data[7] << 8;
    claim.height = data[8] | data[9] << 8;
    return plan(claim, settings, kSmallGifMaxPixels, frames);
}

} // namespace

std::optional<ConvertResult> convertSmall(const unsigned char* data, std::size_t size,
                                          const ConvertSettings& settings, OutputSink& sink) {
    const std::optional<Format> format = sniffFormat(data, size);
    if (!format || *format == Format::Bmp || settings.outputFormat.value_or(*format) != *format)
        return std::nullopt;
    int frames = 1;
    std::optional<Plan> target;
    std::optional<std::vector<unsigned char>> bytes;
    switch (*format) {
    case Format::Jpeg:
        if ((target = plan(checkJpegHeader(data, size), settings, kSmallJpegMaxPixels)))
            bytes = convertJpeg(data, size, *target);
        break;
    case Format::Png:
        if ((target = plan(checkPngHeader(data, size), settings, kSmallPngMaxPixels)))
            bytes = convertPng(data, size, *target);
        break;
    case Format::Gif:
        if ((target = planGif(data, size, settings, frames)))
            bytes = convertSmallGif(data, size, target->width, target->height, kSmallGifMaxPixels);
        break;
    case Format::Bmp:
        break;
    }
    if (!bytes)
        return std::nullopt;
    if (!sink.append(bytes->data(), bytes->size()))
        throw Error(Status::CannotWrite, settings.outputName, sink.failure());
    ConvertResult result;
    result.inputFormat = result.outputFormat = *format;
    result.width = target->width;
    result.frameHeight = target->height;
    result.frames = frames;
    return result;
}

} // namespace nconvert
