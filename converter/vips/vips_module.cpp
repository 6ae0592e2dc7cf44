// SPDX-License-Identifier: MIT
// The entry of the libvips module: everything that needs libvips runs behind it.
#include "vips_module.h"

#include "error.h"
#include "vips_runtime.h"

#include <new>

extern "C" __attribute__((visibility("default"))) int
nconvert_convert_with_vips(const nconvert::VipsJob* job) {
    using namespace nconvert;
    try {
        if (!startVips(job->argv0))
            throw Error(Status::Internal, "libvips", "cannot start: " + takeVipsError());
        convertImage(job->data, job->size, *job->settings, *job->sink);
        return 0;
    } catch (const Error& error) {
        *job->message = error.message();
        return static_cast<int>(error.status());
    } catch (const std::bad_alloc&) {
        *job->message = "nconvert: " + job->settings->inputName + ": out of memory";
    } catch (const std::exception& error) {
        *job->message = "nconvert: " + job->settings->inputName + ": " + error.what();
    }
    return static_cast<int>(Status::Internal);
}
