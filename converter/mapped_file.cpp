// SPDX-License-Identifier: MIT
#include "mapped_file.h"

#include "error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nconvert {

MappedFile::MappedFile(const std::string& path) {
    const auto fail = [&](const std::string& why) { throw Error(Status::BadInput, path, why); };
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail(std::strerror(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        fail(std::strerror(error));
    }
    if (S_ISDIR(st.st_mode)) {
        ::close(fd);
        fail("is a folder, not a picture");
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        fail("is not a regular file");
    }
    m_size = std::size_t(st.st_size);
    if (m_size > 0) {
        void* map = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (map == MAP_FAILED) {
            const int error = errno;
            ::close(fd);
            fail(std::strerror(error));
        }
        m_data = static_cast<const unsigned char*>(map);
    }
    ::close(fd);
}

MappedFile::~MappedFile() {
    if (m_data)
        ::munmap(const_cast<unsigned char*>(m_data), m_size);
}

} // namespace nconvert
