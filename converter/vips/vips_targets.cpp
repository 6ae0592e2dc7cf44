// SPDX-License-Identifier: MIT
#include "convert.h"

#include <algorithm>
#include <cstdio>

using vips::VImage;
using vips::VOption;
using vips::VTarget;

namespace nconvert {

namespace {

gint64 onTargetWrite(VipsTargetCustom*, const void* data, gint64 length, gpointer user) {
    auto* sink = static_cast<OutputSink*>(user);
    return sink->append(data, std::size_t(length)) ? length : -1;
}

int onTargetEnd(VipsTargetCustom*, gpointer) {
    return 0;
}

} // namespace

VTarget targetFor(OutputSink& sink) {
    VipsTargetCustom* target = vips_target_custom_new();
    g_signal_connect(target, "write", G_CALLBACK(onTargetWrite), &sink);
    g_signal_connect(target, "end", G_CALLBACK(onTargetEnd), &sink);
    return VTarget(VIPS_TARGET(target));
}

namespace {

// libtiff writes the file front to back and then seeks back to patch its directory offsets:
// the sink's positioned writes serve both, so nothing is gathered in memory.
struct SeekableTarget {
    OutputSink* sink;
    std::uint64_t position = 0;
    std::uint64_t end = 0;
};

gint64 onSeekableWrite(VipsTargetCustom*, const void* data, gint64 length, gpointer user) {
    auto* target = static_cast<SeekableTarget*>(user);
    if (!target->sink->writeAt(target->position, data, std::size_t(length)))
        return -1;
    target->position += std::uint64_t(length);
    target->end = std::max(target->end, target->position);
    return length;
}

gint64 onSeekableSeek(VipsTargetCustom*, gint64 offset, int whence, gpointer user) {
    auto* target = static_cast<SeekableTarget*>(user);
    const gint64 base = whence == SEEK_CUR   ? gint64(target->position)
                        : whence == SEEK_END ? gint64(target->end)
                                             : 0;
    if (base + offset < 0)
        return -1;
    target->position = std::uint64_t(base + offset);
    return gint64(target->position);
}

// Nothing written is read back: libtiff reads only between pages (see saveTiff).
gint64 onSeekableRead(VipsTargetCustom*, void*, gint64, gpointer) {
    return 0;
}

} // namespace

void saveTiff(const VImage& image, VOption* options, OutputSink& sink) {
    if (vips_image_get_typeof(image.get_image(), VIPS_META_PAGE_HEIGHT) &&
        image.get_int(VIPS_META_PAGE_HEIGHT) < image.height()) {
        // Between pages libtiff reads back the directory it wrote, which a sink cannot give:
        // a multi-page file is made in memory, then sent on.
        VipsBlob* blob = image.tiffsave_buffer(options);
        std::size_t length = 0;
        const void* bytes = vips_blob_get(blob, &length);
        const bool written = sink.append(bytes, length);
        vips_area_unref(VIPS_AREA(blob));
        if (!written)
            throw vips::VError();
        return;
    }
    SeekableTarget state{&sink};
    VipsTargetCustom* custom = vips_target_custom_new();
    g_signal_connect(custom, "write", G_CALLBACK(onSeekableWrite), &state);
    g_signal_connect(custom, "seek", G_CALLBACK(onSeekableSeek), &state);
    g_signal_connect(custom, "read", G_CALLBACK(onSeekableRead), &state);
    g_signal_connect(custom, "end", G_CALLBACK(onTargetEnd), &state);
    image.tiffsave_target(VTarget(VIPS_TARGET(custom)), options);
}

} // namespace nconvert
