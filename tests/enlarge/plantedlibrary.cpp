// SPDX-License-Identifier: MIT
// Stands for a library someone else left in the temporary folder under the name of the
// converter's libvips: once loaded, it leaves a mark and ends the process.
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

__attribute__((constructor)) void planted() {
    if (const char* mark = std::getenv("QUORVEL_PLANTED_MARK")) {
        ::close(::open(mark, O_WRONLY | O_CREAT, 0600));
    }
    ::_exit(86);
}

} // namespace
