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

#define NCONVERT_VIPS_SEAM_VERSION 1

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

/// The module's seam version (NCONVERT_VIPS_SEAM_VERSION of its build).
typedef uint32_t (*NconvertVipsSeamVersion)(void);
/// Runs the job; returns the exit status, 0 when the whole output went to the sink.
typedef int (*NconvertVipsConvert)(struct NconvertVipsJob* job);

#define NCONVERT_VIPS_MODULE_NAME "libnconvert-vips.so"
#define NCONVERT_VIPS_SEAM_VERSION_ENTRY "nconvert_vips_seam_version"
#define NCONVERT_VIPS_CONVERT_ENTRY "nconvert_vips_convert"

#ifdef __cplusplus
}
#endif
