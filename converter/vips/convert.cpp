// SPDX-License-Identifier: MIT
#include "convert.h"

#include "bmp_reader.h"
#include "error.h"
#include "gif_output.h"
#include "gif_scan.h"
#include "header_check.h"
#include "jpeg_tables.h"
#include "lanczos.h"
#include "size_limits.h"
#include "vips_bmp.h"
#include "vips_jpeg.h"
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
    /// Why the data cannot fill the picture its header claims; raised once the limits, which
    /// are the more definite answer, have been checked.
    std::string dataProblem;
};

[[noreturn]] void throwInputError(const ConvertSettings& settings, const std::string& what) {
    std::string detail = takeVipsError();
    throw Error(Status::BadInput, settings.inputName,
                what + (detail.empty() ? std::string() : " (" + detail + ")"));
}

// Sequential access streams the picture through in strips, which keeps an enlargement's memory
// small. A reduction reads many input rows for each output strip, and the sequential cache can
// let go of rows a later strip still needs; the loader then refuses the re-read ("out of order
// read") and a sound file would be called corrupt. Reductions therefore decode with random
// access: the whole input in memory, never larger than the input itself.
VImage loadWithVips(Format format, const unsigned char* data, std::size_t size, bool reduces) {
    VipsBlob* blob = vips_blob_new(nullptr, data, size);
    VOption* options = VImage::option()
                           ->set("access", reduces ? VIPS_ACCESS_RANDOM : VIPS_ACCESS_SEQUENTIAL)
                           ->set("fail_on", VIPS_FAIL_ON_ERROR);
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
        case Format::Webp:
            image = VImage::webpload_buffer(blob, options->set("n", -1));
            break;
        case Format::Tiff:
            image = VImage::tiffload_buffer(blob, options);
            break;
        case Format::Avif:
            image = VImage::heifload_buffer(blob, options);
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

// The input limits, before any decoder runs; returns why the data cannot hold what the header
// claims, if it cannot.
std::string checkClaim(Format format, const unsigned char* data, std::size_t size,
                       const ConvertSettings& settings) {
    const HeaderClaim claim =
        format == Format::Jpeg ? checkJpegHeader(data, size) : checkPngHeader(data, size);
    checkInputPixels(claim.width, claim.height, settings);
    if (format == Format::Jpeg)
        checkJpegSides(claim.width, claim.height, settings);
    return claim.problem;
}

// Reads the header (pixels stay undecoded) and checks the input limit.
Decoded decodeHeader(Format format, const unsigned char* data, std::size_t size,
                     const ConvertSettings& settings) {
    Decoded decoded;
    if (format == Format::Bmp) {
        const BmpLayout layout = readBmpLayout(data, size, settings.inputName);
        checkInputPixels(layout.width, layout.height, settings);
        if (layout.truncated)
            throw Error(Status::BadInput, settings.inputName,
                        "truncated BMP: pixel data ends early");
        VipsImage* image = bmpImage(data, size, layout);
        if (!image)
            throwInputError(settings, "cannot decode BMP");
        decoded.image = VImage(image);
        return decoded;
    }
    int gifFrames = 0;
    if (format == Format::Gif) {
        const GifStructure gif = scanGif(data, size);
        if (!gif.problem.empty())
            throw Error(Status::BadInput, settings.inputName, gif.problem);
        checkGifFrames(gif.frames, settings);
        gifFrames = gif.frames;
    } else if (format == Format::Jpeg || format == Format::Png) {
        decoded.dataProblem = checkClaim(format, data, size, settings);
    }
    try {
        decoded.image = loadWithVips(format, data, size,
                                     settings.widthPercent < 100 || settings.heightPercent < 100);
        if (format == Format::Jpeg && decoded.dataProblem.empty()) {
            // libvips reads the header and metadata; the pixels come from our own decoder.
            VipsImage* pixels = jpegImage(data, size, decoded.image.get_image());
            if (!pixels)
                throw VError();
            decoded.image = VImage(pixels);
            // The header load files its first libjpeg warning as an error even when it is
            // harmless; what our decoder finds is the one to report.
            vips_error_clear();
        }
    } catch (const VError&) {
        throwInputError(settings, std::string("corrupt or unreadable ") + formatName(format));
    }
    if (format == Format::Jpeg)
        decoded.jpeg = inspectJpeg(data, size);
    if (format == Format::Gif || format == Format::Webp) {
        const VImage& image = decoded.image;
        int pageHeight = image.height();
        if (vips_image_get_typeof(image.get_image(), VIPS_META_PAGE_HEIGHT))
            pageHeight = image.get_int(VIPS_META_PAGE_HEIGHT);
        if (pageHeight > 0 && image.height() % pageHeight == 0)
            decoded.frames = image.height() / pageHeight;
        if (format == Format::Gif && decoded.frames != gifFrames)
            throw Error(Status::BadInput, settings.inputName,
                        "corrupt GIF: " + std::to_string(gifFrames) + " frames, of which " +
                            std::to_string(decoded.frames) + " can be decoded");
    }
    checkInputPixels(decoded.image.width(), decoded.image.height(), settings);
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
    case Format::Tiff:
    case Format::Avif:
        break;
    case Format::Webp:
        if (isSixteenBit(image) || image.bands() < 3)
            image = image.colourspace(VIPS_INTERPRETATION_sRGB);
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

// JPEG settings of the output: the input's own when it was a JPEG.
struct JpegSettings {
    int quality = 90;
    VipsForeignSubsample subsample = VIPS_FOREIGN_SUBSAMPLE_AUTO;
};

VOption* pngOptions() {
    VOption* options =
        VImage::option()->set("compression", 2)->set("filter", VIPS_FOREIGN_PNG_FILTER_UP);
#if VIPS_MAJOR_VERSION > 8 || (VIPS_MAJOR_VERSION == 8 && VIPS_MINOR_VERSION >= 15)
    // From 8.15 libvips writes an EXIF block into PNGs too, making one up when the picture has
    // none (about 200 bytes, more than a small icon's pixels). A PNG copy keeps ICC, XMP and
    // text as before, without EXIF.
    options->set("keep", int(VIPS_FOREIGN_KEEP_ALL & ~VIPS_FOREIGN_KEEP_EXIF));
#endif
    return options;
}

void encode(const VImage& image, Format format, const JpegSettings& jpeg,
            const std::optional<GifPalettes>& gifPalettes, OutputSink& sink) {
    switch (format) {
    case Format::Jpeg:
        image.jpegsave_target(
            targetFor(sink),
            VImage::option()->set("Q", jpeg.quality)->set("subsample_mode", jpeg.subsample));
        break;
    case Format::Png: {
        // zlib level 2 with the "up" row filter: on photo-like pictures about 3x faster than
        // libvips' default (level 6, no filter) and 15-50 % smaller files (bench/converter).
        // A JPEG's EXIF goes too: earlier libvips, which has no "keep", writes whatever the
        // picture carries.
        VImage withoutExif = image.copy();
        withoutExif.remove(VIPS_META_EXIF_NAME);
        withoutExif.pngsave_target(targetFor(sink), pngOptions());
        break;
    }
    case Format::Gif:
        // A picture of few colours (a GIF's frames come from palettes) keeps exactly those:
        // our writer maps the blends an enlargement makes at edges back onto them, faster and
        // closer to the source than a new palette per frame.
        if (gifPalettes) {
            if (saveGif(image.get_image(), *gifPalettes, sink))
                throw VError();
            break;
        }
        // Quantisation effort 1 of 10 is about a third faster than the default 7 for the
        // same dithered look; the palette is the enlarged picture's own.
        image.gifsave_target(targetFor(sink), VImage::option()->set("effort", 1));
        break;
    case Format::Bmp:
        if (writeBmp(image.get_image(), sink))
            throw VError();
        break;
    case Format::Webp:
        image.webpsave_target(targetFor(sink), VImage::option()->set("Q", 90));
        break;
    case Format::Tiff:
        saveTiff(image, VImage::option()->set("compression", VIPS_FOREIGN_TIFF_COMPRESSION_LZW),
                 sink);
        break;
    case Format::Avif:
        image.heifsave_target(targetFor(sink),
                              VImage::option()
                                  ->set("compression", VIPS_FOREIGN_HEIF_COMPRESSION_AV1)
                                  ->set("effort", 2));
        break;
    }
}

ConvertResult runPipeline(const unsigned char* data, std::size_t size,
                          const ConvertSettings& settings, OutputSink& sink) {
    const std::optional<Format> inputFormat = nconvert::inputFormat(data, size, settings);

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
    checkOutputSize(outWidth, outHeight, frames, image.has_alpha(), result.outputFormat, settings);

    if (!decoded.dataProblem.empty())
        throw Error(Status::BadInput, settings.inputName, decoded.dataProblem);

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
        std::optional<GifPalettes> gifPalettes;
        if (result.outputFormat == Format::Gif) {
            // The colours are counted on a second decoding: the first streams into the
            // resampler and cannot be read twice.
            const VImage again =
                prepareColour(decodeHeader(*inputFormat, data, size, settings).image, Format::Gif);
            gifPalettes = gifPalettesOf(again.get_image(), frames);
        }
        VipsImage* scaled =
            lanczosResize(image.get_image(), result.width, result.frameHeight, frames);
        if (!scaled)
            throw VError();
        image = VImage(scaled);
        image.set(VIPS_META_PAGE_HEIGHT, result.frameHeight);
        encode(image, result.outputFormat, jpeg, gifPalettes, sink);
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
    return result;
}

} // namespace nconvert
