// SPDX-License-Identifier: MIT
// GoogleTest's main, after libvips has started: every case builds its fixtures with libvips.
#include "vips_runtime.h"

#include <cstdio>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!nconvert::startVips(argv[0])) {
        std::fprintf(stderr, "cannot start libvips\n");
        return 1;
    }
    return RUN_ALL_TESTS();
}
