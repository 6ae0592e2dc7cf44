// SPDX-License-Identifier: MIT
#include "convert.h"

#include "atomic_output.h"
#include "bmp_reader.h"
#include "bmp_writer.h"
#include "error.h"
#include "gif_scan.h"
#include "input_file.h"
#include "jpeg_tables.h"
#include "lanczos.h"
#include "vips_runtime.h"

#include <vips/vips8>

using vips::VError;
using vips::VImage;
using vips::VOption;
using vips::VTarget;

namespace nconvert {
namespace {

struct Decoded {
    VImage image;
    int frames = 1;
    std::optional<JpegEncoding> jpeg;
};

[[noreturn]] void throwInputError(const ConvertSettings& settings, const std::string& what) {
    std::string detail = takeVipsError();
    throw Error(Status::BadInput, settings.inputName,
                what + (detail.empty() ? std::string() : " (" + detail + ")"));
}

VImage loadWithVips(Format format, const unsigned char* data, std::size_t size) {
    VipsBlob* blob = vips_blob_new(nullptr, data, size);
    VOption* options =
        VImage::option()->set("access", VIPS_ACCESS_SEQUENTIAL)->set("fail_on", VIPS_FAIL_ON_ERROR);
    VImage image;
    try {
        switch (format) {
        case Format::Jpeg:
            image = VImage::jpegload_buffer(blob, options->set("autorotate", false));
            break;
        case Format::Png:
            image = VImage::pngload_buffer(blob, options);
            break;
        case Format::Gif:
            image = VImage::gifload_buffer(blob, options->set("n", -1));
            break;
        case Format::Bmp:
            break;
        }
    } catch (...) {
        vips_area_unref(VIPS_AREA(blob));
        throw;
    }
    vips_area_unref(VIPS_AREA(blob));
    return image;
}

// Reads the header (pixels stay undecoded) and checks the input limit.
Decoded decodeHeader(Format format, const unsigned char* data, std::size_t size,
                     const ConvertSettings& settings) {
    Decoded decoded;
    if (format == Format::Bmp) {
        const BmpLayout layout = readBmpLayout(data, size, settings.inputName);
        if (std::int64_t(layout.width) * layout.height > settings.limits.maxInputPixels)
            throw Error(Status::TooLarge, settings.inputName,
                        "the picture is " + std::to_string(layout.width) + " x " +
                            std::to_string(layout.height) + " pixels, above the limit of " +
                            std::to_string(settings.limits.maxInputPixels / 1'000'000) +
                            " megapixels");
        if (layout.truncated)
            throw Error(Status::BadInput, settings.inputName,
                        "truncated BMP: pixel data ends early");
        VipsImage* image = bmpImage(data, size, layout);
        if (!image)
            throwInputError(settings, "cannot decode BMP");
        decoded.image = VImage(image);
        return decoded;
    }
    if (format == Format::Gif) {
        const std::string problem = gifStructureProblem(data, size);
        if (!problem.empty())
            throw Error(Status::BadInput, settings.inputName, problem);
    }
    try {
        decoded.image = loadWithVips(format, data, size);
    } catch (const VError&) {
        throwInputError(settings, std::string("corrupt or unreadable ") + formatName(format));
    }
    if (format == Format::Jpeg)
        decoded.jpeg = inspectJpeg(data, size);
    if (format == Format::Gif) {
        const VImage& image = decoded.image;
        int pageHeight = image.height();
        if (vips_image_get_typeof(image.get_image(), VIPS_META_PAGE_HEIGHT))
            pageHeight = image.get_int(VIPS_META_PAGE_HEIGHT);
        if (pageHeight > 0 && image.height() % pageHeight == 0)
            decoded.frames = image.height() / pageHeight;
    }
    const std::int64_t pixels = std::int64_t(decoded.image.width()) * decoded.image.height();
    if (pixels > settings.limits.maxInputPixels)
        throw Error(Status::TooLarge, settings.inputName,
                    "the picture has " + std::to_string(pixels / 1'000'000) +
                        " megapixels, above the limit of " +
                        std::to_string(settings.limits.maxInputPixels / 1'000'000));
    return decoded;
}

bool isSixteenBit(const VImage& image) {
    return image.format() == VIPS_FORMAT_USHORT;
}

bool isGrey(const VImage& image) {
    const auto interpretation = image.interpretation();
    return interpretation == VIPS_INTERPRETATION_B_W ||
           interpretation == VIPS_INTERPRETATION_GREY16;
}

// Brings the decoded picture into the colour form the output format stores, before scaling,
// so that the resampler works on as few samples as possible.
VImage prepareColour(VImage image, Format output) {
    const bool cmyk = image.interpretation() == VIPS_INTERPRETATION_CMYK;
    if (cmyk && output != Format::Jpeg)
        image = image.colourspace(VIPS_INTERPRETATION_sRGB);
    switch (output) {
    case Format::Jpeg:
        if (image.has_alpha())
            image = image.flatten(VImage::option()->set(
                "background", std::vector<double>{isSixteenBit(image) ? 65535.0 : 255.0}));
        if (image.format() != VIPS_FORMAT_UCHAR)
            image = image.colourspace(isGrey(image) ? VIPS_INTERPRETATION_B_W
                                                    : VIPS_INTERPRETATION_sRGB);
        if (image.format() != VIPS_FORMAT_UCHAR)
            image = image.cast(VIPS_FORMAT_UCHAR);
        break;
    case Format::Png:
        break;
    case Format::Gif:
        if (isSixteenBit(image))
            image = image.colourspace(isGrey(image) ? VIPS_INTERPRETATION_B_W
                                                    : VIPS_INTERPRETATION_sRGB);
        break;
    case Format::Bmp:
        if (isSixteenBit(image) || isGrey(image) || image.bands() < 3)
            image = image.colourspace(VIPS_INTERPRETATION_sRGB);
        break;
    }
    return image;
}

gint64 onTargetWrite(VipsTargetCustom*, const void* data, gint64 length, gpointer user) {
    auto* sink = static_cast<OutputSink*>(user);
    return sink->append(data, std::size_t(length)) ? length : -1;
}

int onTargetEnd(VipsTargetCustom*, gpointer) {
    return 0;
}

VTarget targetFor(OutputSink& sink) {
    VipsTargetCustom* target = vips_target_custom_new();
    g_signal_connect(target, "write", G_CALLBACK(onTargetWrite), &sink);
    g_signal_connect(target, "end", G_CALLBACK(onTargetEnd), &sink);
    return VTarget(VIPS_TARGET(target));
}

// JPEG settings of the output: the input's own when it was a JPEG.
struct JpegSettings {
    int quality = 90;
    VipsForeignSubsample subsample = VIPS_FOREIGN_SUBSAMPLE_AUTO;
};

void encode(const VImage& image, Format format, const JpegSettings& jpeg, OutputSink& sink) {
    switch (format) {
    case Format::Jpeg:
        image.jpegsave_target(
            targetFor(sink),
            VImage::option()->set("Q", jpeg.quality)->set("subsample_mode", jpeg.subsample));
        break;
    case Format::Png:
        // zlib level 2 with the "up" row filter: on photo-like pictures about 3x faster than
        // libvips' default (level 6, no filter) and 15-50 % smaller files (bench/converter).
        image.pngsave_target(
            targetFor(sink),
            VImage::option()->set("compression", 2)->set("filter", VIPS_FOREIGN_PNG_FILTER_UP));
        break;
    case Format::Gif:
        // Quantisation effort 1 of 10 is about a third faster than the default 7 for the
        // same dithered look; the palette is the enlarged picture's own.
        image.gifsave_target(targetFor(sink), VImage::option()->set("effort", 1));
        break;
    case Format::Bmp:
        if (writeBmp(image.get_image(), sink))
            throw VError();
        break;
    }
}

} // namespace

std::int64_t scaledLength(std::int64_t length, int percent) {
    const std::int64_t scaled = (length * percent + 50) / 100;
    return scaled < 1 ? 1 : scaled;
}

namespace {

ConvertResult runPipeline(const unsigned char* data, std::size_t size,
                          const ConvertSettings& settings, OutputSink& sink) {
    if (size == 0)
        throw Error(Status::BadInput, settings.inputName, "the file is empty");
    const std::optional<Format> inputFormat = sniffFormat(data, size);
    if (!inputFormat)
        throw Error(Status::Unsupported, settings.inputName,
                    "not a BMP, JPEG, GIF or PNG picture (unrecognised content)");

    ConvertResult result;
    result.inputFormat = *inputFormat;
    result.outputFormat = settings.outputFormat.value_or(*inputFormat);
    Decoded decoded = decodeHeader(*inputFormat, data, size, settings);
    VImage image = decoded.image;
    int frames = decoded.frames;
    const int width = image.width();
    int frameHeight = image.height() / frames;

    // Only a GIF keeps the animation; other formats get its first frame.
    if (frames > 1 && result.outputFormat != Format::Gif) {
        image = image.extract_area(0, 0, width, frameHeight);
        frames = 1;
    }

    const std::int64_t outWidth = scaledLength(width, settings.widthPercent);
    const std::int64_t outHeight = scaledLength(frameHeight, settings.heightPercent);
    const Limits& limits = settings.limits;
    if (outWidth > limits.maxOutputSide || outHeight > limits.maxOutputSide ||
        outWidth * outHeight * frames > limits.maxOutputPixels)
        throw Error(Status::TooLarge, settings.outputName,
                    "the result would be " + std::to_string(outWidth) + " x " +
                        std::to_string(outHeight) +
                        (frames > 1 ? " x " + std::to_string(frames) + " frames" : "") +
                        " pixels, above the limit of " + std::to_string(limits.maxOutputSide) +
                        " pixels a side and " + std::to_string(limits.maxOutputPixels / 1'000'000) +
                        " megapixels");
    if (result.outputFormat == Format::Bmp &&
        bmpFileSize(int(outWidth), int(outHeight), image.has_alpha()) > 0xffffffffu)
        throw Error(Status::TooLarge, settings.outputName, "the result is too large for a BMP");

    result.width = int(outWidth);
    result.frameHeight = int(outHeight);
    result.frames = frames;
    JpegSettings jpeg;
    if (decoded.jpeg) {
        jpeg.quality = decoded.jpeg->quality;
        jpeg.subsample =
            decoded.jpeg->chromaSubsampled ? VIPS_FOREIGN_SUBSAMPLE_ON : VIPS_FOREIGN_SUBSAMPLE_OFF;
    }
    try {
        image = prepareColour(image, result.outputFormat);
        VipsImage* scaled =
            lanczosResize(image.get_image(), result.width, result.frameHeight, frames);
        if (!scaled)
            throw VError();
        image = VImage(scaled);
        image.set(VIPS_META_PAGE_HEIGHT, result.frameHeight);
        encode(image, result.outputFormat, jpeg, sink);
    } catch (const VError&) {
        const std::string failure = sink.failure();
        if (!failure.empty()) {
            takeVipsError();
            throw Error(Status::CannotWrite, settings.outputName, failure);
        }
        throwInputError(settings, std::string("corrupt or truncated ") + formatName(*inputFormat));
    }
    return result;
}

} // namespace

ConvertResult convertImage(const unsigned char* data, std::size_t size,
                           const ConvertSettings& settings, OutputSink& sink) {
    takeVipsWarnings();
    const ConvertResult result = runPipeline(data, size, settings, sink);
    // Checked once every image of the pipeline is gone: the JPEG loader reports its warnings
    // when it is closed.
    if (result.inputFormat == Format::Jpeg) {
        // libjpeg reports damaged entropy-coded data only as warnings, then paints the rest
        // grey; libvips' fail_on=error does not stop on them. A copy of a damaged picture must
        // not look like success. Extraneous bytes before a marker are harmless and common
        // (cameras pad their files), so those alone are accepted.
        for (const std::string& warning : takeVipsWarnings()) {
            if (warning.find("VipsJpeg:") != std::string::npos &&
                warning.find("extraneous bytes") == std::string::npos)
                throw Error(Status::BadInput, settings.inputName,
                            "corrupt JPEG data (" + warning.substr(warning.find("VipsJpeg:")) +
                                ")");
        }
    }
    return result;
}

ConvertResult runRequest(const Request& request) {
    const InputFile input(request.input);
    ConvertSettings settings;
    settings.widthPercent = request.widthPercent;
    settings.heightPercent = request.heightPercent;
    settings.outputFormat = formatFromExtension(request.output);
    settings.inputName = request.input;
    settings.outputName = request.output;
    AtomicOutput output(request.output, FileId{input.device(), input.inode()});
    const ConvertResult result = convertImage(input.data(), input.size(), settings, output);
    output.commit();
    return result;
}

} // namespace nconvert
