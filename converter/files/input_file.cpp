// SPDX-License-Identifier: MIT
#include "input_file.h"

#include "error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nconvert {
namespace {

// Closes the descriptor on every way out of the constructor.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

InputFile::InputFile(const std::string& path) {
    const auto fail = [&](const std::string& why) { throw Error(Status::BadInput, path, why); };
    const auto refuseUnlessRegular = [&](const struct stat& st) {
        if (S_ISDIR(st.st_mode))
            fail("is a folder, not a picture");
        if (!S_ISREG(st.st_mode))
            fail(notARegularFile(st.st_mode));
    };
    // The type is checked before opening: opening a FIFO waits for a writer, and opening a
    // device can do something of its own (a tape rewinds, a modem line hangs up).
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        fail(std::strerror(errno));
    refuseUnlessRegular(st);
    // Non-blocking and checked again, should the path have been swapped in between.
    Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0)
        fail(std::strerror(errno));
    refuseUnlessRegular(st);
    m_device = st.st_dev;
    m_inode = st.st_ino;
    m_size = std::size_t(st.st_size);
    if (m_size == 0)
        return;
    // Read, not mapped: a mapped file cut short by another process kills the reader with
    // SIGBUS at the first page past the new end.
    m_bytes = LargeBlock(static_cast<unsigned char*>(allocateLarge(m_size)), {m_size});
    unsigned char* data = m_bytes.get();
    std::size_t done = 0;
    while (done < m_size) {
        const ssize_t n = ::read(file.fd, data + done, m_size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail(std::strerror(errno));
        if (n == 0)
            fail("the file became shorter while it was being read");
        done += std::size_t(n);
    }
}

} // namespace nconvert
