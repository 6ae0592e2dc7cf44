// SPDX-License-Identifier: MIT
#include "small_convert.h"

#include "error.h"
#include "header_check.h"
#include "jpeg_tables.h"
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

std::optional<Plan> plan(const HeaderClaim& claim, const ConvertSettings& settings,
                         std::int64_t maxPixels) {
    if (!claim.problem.empty() || claim.width == 0 || claim.height == 0)
        return std::nullopt;
    const std::int64_t width = scaledLength(claim.width, settings.widthPercent);
    const std::int64_t height = scaledLength(claim.height, settings.heightPercent);
    const Limits& limits = settings.limits;
    if (claim.width * claim.height > std::min(limits.maxInputPixels, maxPixels) ||
        width * height > std::min(limits.maxOutputPixels, maxPixels) ||
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

} // namespace

std::optional<ConvertResult> convertSmall(const unsigned char* data, std::size_t size,
                                          const ConvertSettings& settings, OutputSink& sink) {
    const std::optional<Format> format = sniffFormat(data, size);
    if (!format || (*format != Format::Jpeg && *format != Format::Png) ||
        settings.outputFormat.value_or(*format) != *format)
        return std::nullopt;
    const bool jpeg = *format == Format::Jpeg;
    const std::optional<Plan> target =
        jpeg ? plan(checkJpegHeader(data, size), settings, kSmallJpegMaxPixels)
             : plan(checkPngHeader(data, size), settings, kSmallPngMaxPixels);
    if (!target)
        return std::nullopt;
    const std::optional<std::vector<unsigned char>> bytes =
        jpeg ? convertJpeg(data, size, *target) : convertPng(data, size, *target);
    if (!bytes)
        return std::nullopt;
    if (!sink.append(bytes->data(), bytes->size()))
        throw Error(Status::CannotWrite, settings.outputName, sink.failure());
    ConvertResult result;
    result.inputFormat = result.outputFormat = *format;
    result.width = target->width;
    result.frameHeight = target->height;
    return result;
}

} // namespace nconvert
