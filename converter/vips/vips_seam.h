// SPDX-License-Identifier: MIT
// The seam between the converter and its libvips module: plain data and callbacks only, so that
// nothing of either side's C++ (its standard library, its classes, its state) crosses it. A
// module of another build has another version and is refused, never called.
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define NCONVERT_VIPS_SEAM_VERSION 2

/// One conversion handed to the module. The converter owns every pointer; the module writes
/// only `message` and the output, through the callbacks.
struct NconvertVipsJob {
    uint32_t version;          ///< NCONVERT_VIPS_SEAM_VERSION of the converter's build
    uint32_t structSize;       ///< sizeof(struct NconvertVipsJob) of the converter's build
    const char* argv0;         ///< for libvips' start-up
    const unsigned char* data; ///< the input, read whole
    size_t size;
    int32_t widthPercent;
    int32_t heightPercent;
    int32_t outputFormat; ///< -1: the input's own; else the converter's Format, as a number
    int64_t maxInputPixels;
    int64_t maxOutputSide;
    int64_t maxOutputPixels;
    int64_t maxHeldBytes;
    const char* inputName;  ///< for messages
    const char* outputName; ///< for messages
    /// Where the output goes: appended in order, or placed at an offset. Both return 0 on
    /// success; after a failure `failure` says why.
    void* sink;
    int (*append)(void* sink, const void* bytes, size_t size);
    int (*writeAt)(void* sink, uint64_t offset, const void* bytes, size_t size);
    const char* (*failure)(void* sink);
    /// The one error line, when the entry returns a failure status.
    char message[1024];
};

/// A picture as the module's row readers give it and its row writers take it: rows of
/// interleaved samples (8 bits, or 16 in native byte order), alpha last, frames stacked.
/// Pointers belong to whoever filled the struct and live until its `close`.
struct NconvertVipsPicture {
    int32_t width;
    int32_t height; ///< of one frame or page
    int32_t frames;
    int32_t bands;
    int32_t alpha;
    int32_t sixteenBit;
    int32_t cmyk;
    const unsigned char* exif; ///< TIFF data ("II*\0" or "MM\0*")
    size_t exifSize;
    const unsigned char* icc;
    size_t iccSize;
    const char* xmp;
    size_t xmpSize;
    double pixelsPerMetre[2]; ///< 0 when unknown
    const int32_t* delaysMs;  ///< `frames` of them, or null
    int32_t loop;             ///< 0 for ever
    int32_t webpLossless;
    int32_t quality;         ///< a lossy source's estimated quality 1..100, 0 when unknown
    int32_t tiffCompression; ///< the TIFF Compression tag's value, 0 when not a TIFF
    int32_t avifBitDepth;    ///< 8, 10 or 12; 0 when not an AVIF
};

/// The input's rows, decoded by libvips. Each call returns an exit status, 0 on success; after
/// a failure the job's `message` holds the one error line.
struct NconvertVipsReader {
    struct NconvertVipsPicture picture;
    void* handle;
    int (*readRow)(void* handle, void* row);
    void (*close)(void* handle);
};

/// The output's encoder: rows in the picture's shape, then `finish`, the bytes going to the
/// job's sink. Statuses and messages as for the reader.
struct NconvertVipsWriter {
    void* handle;
    int (*writeRow)(void* handle, const void* row);
    int (*finish)(void* handle);
    void (*close)(void* handle);
};

/// Opens a reader of the job's input, of the converter's Format `format`; `keepCmyk` leaves
/// CMYK as it is, else it becomes sRGB. The job must outlive the reader.
typedef int (*NconvertVipsOpenReader)(struct NconvertVipsJob* job, int32_t format, int32_t keepCmyk,
                                      struct NconvertVipsReader* reader);
/// Opens a writer of the job's output format for `picture` (copied: it may go after the call).
typedef int (*NconvertVipsOpenWriter)(struct NconvertVipsJob* job, int32_t format,
                                      const struct NconvertVipsPicture* picture,
                                      struct NconvertVipsWriter* writer);

/// The module's seam version (NCONVERT_VIPS_SEAM_VERSION of its build).
typedef uint32_t (*NconvertVipsSeamVersion)(void);
/// Runs the job; returns the exit status, 0 when the whole output went to the sink.
typedef int (*NconvertVipsConvert)(struct NconvertVipsJob* job);

#define NCONVERT_VIPS_MODULE_NAME "libnconvert-vips.so"
#define NCONVERT_VIPS_SEAM_VERSION_ENTRY "nconvert_vips_seam_version"
#define NCONVERT_VIPS_CONVERT_ENTRY "nconvert_vips_convert"
#define NCONVERT_VIPS_OPEN_READER_ENTRY "nconvert_vips_open_reader"
#define NCONVERT_VIPS_OPEN_WRITER_ENTRY "nconvert_vips_open_writer"

#ifdef __cplusplus
}
#endif
