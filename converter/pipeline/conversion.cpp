// SPDX-License-Identifier: MIT
#include "conversion.h"

#include "bmp_rows.h"
#include "bmp_writer.h"
#include "colour_adapter.h"
#include "error.h"
#include "exif.h"
#include "gif_rows.h"
#include "gif_scan.h"
#include "header_check.h"
#include "jpeg_source.h"
#include "jpeg_writer.h"
#include "png_reader.h"
#include "png_writer.h"
#include "row_pump.h"
#include "row_resampler.h"
#include "size_limits.h"
#include "tiff_writer.h"
#include "vips_rows.h"

#include <memory>

namespace nconvert {
namespace {

// A GIF's header and block structure checked, then the frames composed; nothing when our
// decoder leaves the file to libvips (a screen the loader would replace, damaged LZW data:
// README lists them).
std::unique_ptr<RowSource> openGif(const unsigned char* data, std::size_t size,
                                   const ConvertSettings& settings) {
    const GifStructure gif = scanGif(data, size);
    if (!gif.problem.empty())
        throw Error(Status::BadInput, settings.inputName, gif.problem);
    checkGifFrames(gif.frames, settings);
    const std::optional<std::array<int, 2>> screen = gifScreen(data, size);
    if (!screen)
        return nullptr;
    const std::int64_t width = (*screen)[0];
    const std::int64_t height = (*screen)[1];
    checkInputPixels(width, height * gif.frames, settings);
    // The frames are held composed, RGBA at most.
    if (width * height * gif.frames * 4 > settings.limits.maxHeldBytes)
        throw Error(Status::TooLarge, settings.inputName,
                    "the GIF's " + std::to_string(gif.frames) + " frames of " +
                        std::to_string(width) + " x " + std::to_string(height) +
                        " pixels would take more than " +
                        std::to_string(settings.limits.maxHeldBytes >> 20) + " MB to hold");
    std::optional<ComposedGif> frames = decodeGif(data, size, settings.limits.maxHeldBytes);
    if (!frames)
        return nullptr;
    return gifRowSource(std::move(*frames));
}

// The input's reader; nullptr when the pipeline leaves the file to libvips.
std::unique_ptr<RowSource> openSource(Format format, const unsigned char* data, std::size_t size,
                                      const ConvertSettings& settings) {
    if (decodedByVips(format)) {
        const Format output = settings.outputFormat.value_or(format);
        return openVipsSource(format, data, size, settings,
                              output == Format::Jpeg || output == Format::Tiff);
    }
    switch (format) {
    case Format::Bmp:
        return bmpRowSource(data, size, settings);
    case Format::Gif:
        return openGif(data, size, settings);
    case Format::Png:
        return openPngReader(data, size, settings);
    case Format::Jpeg:
        return openJpegReader(data, size, settings);
    default:
        return nullptr;
    }
    return nullptr;
}

// A PNG or JPEG header's claim, checked against the input limits before any library reads it.
// What the data cannot hold is reported once the output's limits are checked too: a file that
// breaks a limit and is also cut short is refused for the limit, the surer answer.
HeaderClaim checkClaim(Format format, const unsigned char* data, std::size_t size,
                       const ConvertSettings& settings) {
    if (format != Format::Png && format != Format::Jpeg)
        return {};
    const HeaderClaim claim =
        format == Format::Jpeg ? checkJpegHeader(data, size) : checkPngHeader(data, size);
    checkInputPixels(claim.width, claim.height, settings);
    if (format == Format::Jpeg)
        checkJpegSides(claim.width, claim.height, settings);
    return claim;
}

std::unique_ptr<RowSink> sinkFor(Format output, OutputSink& sink, const PictureShape& shape,
                                 const PictureMetadata& metadata, std::optional<GifPalettes>& gif,
                                 const ConvertSettings& settings) {
    switch (output) {
    case Format::Bmp:
        return bmpRowSink(sink, shape, metadata, settings.outputName);
    case Format::Gif:
        return gifRowSink(sink, shape, metadata, std::move(*gif), settings.outputName);
    case Format::Png:
        return openPngWriter(sink, shape, metadata, settings.outputName);
    case Format::Jpeg:
        return openJpegWriter(sink, shape, metadata, settings.outputName);
    case Format::Tiff:
        // Our writer compresses its strips on every core; libtiff in the module on one.
        if (tiffWriterCompression(shape, metadata.tiffCompression))
            return openTiffWriter(sink, shape, metadata, settings.outputName);
        return openVipsSink(output, sink, shape, metadata, settings);
    case Format::Webp:
    case Format::Avif:
        return openVipsSink(output, sink, shape, metadata, settings);
    }
    return nullptr;
}

} // namespace

std::optional<ConvertResult> convertInPipeline(const unsigned char* data, std::size_t size,
                                               const ConvertSettings& settings, OutputSink& sink) {
    const std::optional<Format> input = inputFormat(data, size, settings);
    const Format output = settings.outputFormat.value_or(*input);
    const HeaderClaim claim = checkClaim(*input, data, size, settings);
    if (!claim.problem.empty()) {
        checkOutputSize(scaledLength(claim.width, settings.widthPercent),
                        scaledLength(claim.height, settings.heightPercent), 1, false, output,
                        settings);
        throw Error(Status::BadInput, settings.inputName, claim.problem);
    }
    std::unique_ptr<RowSource> source = openSource(*input, data, size, settings);
    if (!source)
        return std::nullopt;
    if (!canAdapt(source->shape(), output))
        return std::nullopt;
    source = adaptForOutput(std::move(source), output);
    const PictureShape in = source->shape();
    const std::int64_t outWidth = scaledLength(in.width, settings.widthPercent);
    const std::int64_t outHeight = scaledLength(in.height, settings.heightPercent);
    checkOutputSize(outWidth, outHeight, in.frames, in.alpha, output, settings);

    std::optional<GifPalettes> gifPalettes;
    if (output == Format::Gif) {
        // The source's own colours, counted on a first pass (over what a GIF source holds, or a
        // second decoding); more than a GIF table holds in one frame and libvips quantises.
        if (source->rewind()) {
            gifPalettes = countGifPalettes(*source);
            source->rewind();
        } else {
            gifPalettes =
                countGifPalettes(*adaptForOutput(openSource(*input, data, size, settings), output));
        }
        if (!gifPalettes)
            return std::nullopt;
    }
    PictureShape outShape = in;
    outShape.width = int(outWidth);
    outShape.height = int(outHeight);
    // A camera's EXIF block goes on as it came, with only its size brought up to date.
    PictureMetadata metadata = source->metadata();
    if (!metadata.exif.empty())
        metadata.exif =
            exifWithSize(metadata.exif, std::uint32_t(outWidth), std::uint32_t(outHeight));
    const std::unique_ptr<RowSink> encoder =
        sinkFor(output, sink, outShape, metadata, gifPalettes, settings);
    // The reader decodes on a core of its own, the resampler and the encoder run on another
    // (the encoder spreading over more), once there is enough to filter: below about a million
    // samples filtered across, the thread costs more than the overlap gains.
    RowResampler resampler(in, int(outWidth), int(outHeight), *encoder);
    const bool overlap = outWidth * in.height * in.frames * in.bands >= (std::int64_t(1) << 20);
    pumpRows(*source, resampler, overlap ? usableCores() : 1);

    ConvertResult result;
    result.inputFormat = *input;
    result.outputFormat = output;
    result.width = int(outWidth);
    result.frameHeight = int(outHeight);
    result.frames = in.frames;
    return result;
}

} // namespace nconvert
