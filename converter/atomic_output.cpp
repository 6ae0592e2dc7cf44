// SPDX-License-Identifier: MIT
#include "atomic_output.h"

#include "error.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace nconvert {
namespace {

// The temporary file a signal handler must remove if the process is stopped mid-write.
// A fixed buffer, because the handler may only make async-signal-safe calls.
char g_pendingTemp[4096];

void removePendingTemp(int signal) {
    if (g_pendingTemp[0])
        ::unlink(g_pendingTemp);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void armSignalCleanup(const std::string& temp) {
    if (temp.size() >= sizeof g_pendingTemp)
        return;
    std::memcpy(g_pendingTemp, temp.c_str(), temp.size() + 1);
    for (int s : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        std::signal(s, removePendingTemp);
}

void disarmSignalCleanup() {
    g_pendingTemp[0] = '\0';
}

} // namespace

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

AtomicOutput::AtomicOutput(std::string path) : m_path(std::move(path)) {
    struct stat st {};
    if (::stat(m_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        throw Error(Status::CannotWrite, m_path, "is a folder");
    const std::string folder = folderOf(m_path);
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "/.nconvert-%ld-%08x.tmp", long(::getpid()),
                      unsigned(random()));
        const std::string temp = folder + name;
        // Armed before the file exists, so that no signal can come between its creation and
        // the cleanup; the name holds our process id, so it can be no one else's file.
        armSignalCleanup(temp);
        // 0666 lets the umask decide, as for any newly created file.
        m_fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_tempPath = temp;
            return;
        }
        const int error = errno;
        disarmSignalCleanup();
        if (error != EEXIST)
            throw Error(Status::CannotWrite, m_path,
                        "cannot create a file in " + folder + ": " + std::strerror(error));
    }
    throw Error(Status::CannotWrite, m_path, "cannot find a free temporary name in " + folder);
}

AtomicOutput::~AtomicOutput() {
    discard();
}

void AtomicOutput::discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_tempPath.empty()) {
        ::unlink(m_tempPath.c_str());
        m_tempPath.clear();
        disarmSignalCleanup();
    }
}

bool AtomicOutput::fail(int error) {
    if (m_failure.empty())
        m_failure = std::strerror(error);
    return false;
}

bool AtomicOutput::append(const void* data, std::size_t size) {
    return writeAll(data, size, std::nullopt);
}

bool AtomicOutput::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    return writeAll(data, size, offset);
}

// Short writes and interruptions are retried until every byte is down.
bool AtomicOutput::writeAll(const void* data, std::size_t size,
                            std::optional<std::uint64_t> offset) {
    const auto* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = offset ? ::pwrite(m_fd, p, size, off_t(*offset)) : ::write(m_fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : EIO);
        p += n;
        size -= std::size_t(n);
        if (offset)
            *offset += std::uint64_t(n);
    }
    return true;
}

void AtomicOutput::commit() {
    if (!m_failure.empty())
        throw Error(Status::CannotWrite, m_path, m_failure);
    if (::fsync(m_fd) != 0 || ::close(m_fd) != 0) {
        const int error = errno;
        m_fd = -1;
        discard();
        throw Error(Status::CannotWrite, m_path, std::strerror(error));
    }
    m_fd = -1;
    if (::rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        const int error = errno;
        discard();
        throw Error(Status::CannotWrite, m_path, std::strerror(error));
    }
    m_tempPath.clear();
    disarmSignalCleanup();
    // Make the rename itself durable; the file is already complete either way.
    const int dir = ::open(folderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace nconvert
