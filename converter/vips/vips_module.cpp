// SPDX-License-Identifier: MIT
// The entry of the libvips module: everything that needs libvips runs behind it, reached only
// through the plain-C seam.
#include "convert.h"
#include "error.h"
#include "row_codec.h"
#include "vips_runtime.h"
#include "vips_seam.h"

#include <cstdio>
#include <exception>
#include <new>
#include <string>

extern "C" __attribute__((visibility("default"))) std::uint32_t nconvert_vips_seam_version() {
    return NCONVERT_VIPS_SEAM_VERSION;
}

extern "C" __attribute__((visibility("default"))) int nconvert_vips_convert(NconvertVipsJob* job) {
    using namespace nconvert;
    if (job->version != NCONVERT_VIPS_SEAM_VERSION || job->structSize != sizeof(NconvertVipsJob))
        return static_cast<int>(Status::Internal); // not ours to read, not even its message
    return guardedForSeam(*job, [&] {
        const ConvertSettings settings = settingsOf(*job);
        if (!startVips(job->argv0))
            throw Error(Status::Internal, "libvips", "cannot start: " + takeVipsError());
        SeamSink sink(*job);
        convertImage(job->data, job->size, settings, sink);
    });
}

extern "C" __attribute__((visibility("default"))) int
nconvert_vips_open_reader(NconvertVipsJob* job, int32_t format, int32_t keepCmyk,
                          NconvertVipsReader* reader) {
    if (job->version != NCONVERT_VIPS_SEAM_VERSION || job->structSize != sizeof(NconvertVipsJob))
        return static_cast<int>(nconvert::Status::Internal);
    return nconvert::openVipsReader(job, format, keepCmyk, reader);
}

extern "C" __attribute__((visibility("default"))) int
nconvert_vips_open_writer(NconvertVipsJob* job, int32_t format, const NconvertVipsPicture* picture,
                          NconvertVipsWriter* writer) {
    if (job->version != NCONVERT_VIPS_SEAM_VERSION || job->structSize != sizeof(NconvertVipsJob))
        return static_cast<int>(nconvert::Status::Internal);
    return nconvert::openVipsWriter(job, format, picture, writer);
}
