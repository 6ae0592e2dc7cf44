/* SPDX-License-Identifier: MIT */
/* A libvips module as another build of the converter would carry it: its seam is not ours. Being
   called would be the fault the test looks for, so it ends the process loudly. */
#include <stdint.h>
#include <stdlib.h>

__attribute__((visibility("default"))) uint32_t nconvert_vips_seam_version(void) {
    return 0xffffffffu;
}

__attribute__((visibility("default"))) int nconvert_vips_convert(void* job) {
    (void)job;
    abort();
}
