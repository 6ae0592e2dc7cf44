// SPDX-License-Identifier: MIT
#include "atomic_output.h"

#include "error.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace nconvert {
namespace {

// A named scratch file left by a dead process is swept only once it has not been written to
// for this long: in a folder shared over the network, a process id that is dead here may be a
// live converter on another machine.
constexpr std::time_t kStaleAfterSeconds = 10 * 60;

// The named file a signal handler must remove if the process is stopped while one exists.
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

std::string scratchName(const std::string& folder) {
    static std::random_device random;
    char name[64];
    std::snprintf(name, sizeof name, "/.nconvert-%ld-%08x.tmp", long(::getpid()),
                  unsigned(random()));
    return folder + name;
}

// The process id in a scratch file's name, or 0 when the name is not one of ours.
long scratchOwner(const char* name) {
    long pid = 0;
    unsigned random = 0;
    int end = 0;
    if (std::sscanf(name, ".nconvert-%ld-%8x.tmp%n", &pid, &random, &end) != 2 || name[end] != '\0')
        return 0;
    return pid > 0 ? pid : 0;
}

// Removes the named scratch files of processes that no longer exist (killed outright, or
// crashed), so that nothing they left outlives them for long.
void sweepStaleScratch(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const long pid = scratchOwner(entry->d_name);
        if (pid == 0 || pid == long(::getpid()))
            continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        const std::string path = folder + "/" + entry->d_name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
            now - st.st_mtime >= kStaleAfterSeconds)
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

bool unnamedUnsupported(int error) {
    // EISDIR: a kernel that predates O_TMPFILE takes it for O_DIRECTORY.
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
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

AtomicOutput::AtomicOutput(std::string path, std::optional<FileId> source, Scratch scratch)
    : m_path(std::move(path)), m_source(source) {
    checkReplaceable();
    const std::string folder = folderOf(m_path);
    if (scratch == Scratch::Unnamed) {
        // 0666 lets the umask decide, as for any newly created file.
        m_fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            return;
        const int error = errno;
        if (!unnamedUnsupported(error))
            throw Error(Status::CannotWrite, m_path,
                        "cannot create a file in " + folder + ": " + std::strerror(error));
    }
    sweepStaleScratch(folder);
    createNamed(folder);
}

void AtomicOutput::createNamed(const std::string& folder) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = scratchName(folder);
        // Armed before the file exists, so that no signal can come between its creation and
        // the cleanup; the name holds our process id, so it can be no one else's file.
        armSignalCleanup(temp);
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

// What is at `path` now may be replaced only if it is nothing, a regular file other than the
// input, or a symbolic link. Returns the permissions of a regular file found there.
std::optional<mode_t> AtomicOutput::checkReplaceable() const {
    struct stat here {};
    if (::lstat(m_path.c_str(), &here) != 0)
        return std::nullopt;
    struct stat target = here;
    if (S_ISLNK(here.st_mode) && ::stat(m_path.c_str(), &target) != 0)
        return std::nullopt; // a dangling link: replaced like any link
    if (S_ISDIR(target.st_mode))
        throw Error(Status::CannotWrite, m_path, "is a folder");
    if (m_source && target.st_dev == m_source->device && target.st_ino == m_source->inode)
        throw Error(Status::CannotWrite, m_path,
                    "is the input file itself (by this or another name); the input is never "
                    "overwritten");
    if (S_ISLNK(here.st_mode))
        return std::nullopt;
    if (!S_ISREG(here.st_mode))
        throw Error(Status::CannotWrite, m_path, notARegularFile(here.st_mode) + "; left alone");
    return here.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO);
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
        m_failure = error == EFBIG ? "File too large for the file size limit (ulimit -f) or the "
                                     "file system"
                                   : std::strerror(error);
    return false;
}

bool AtomicOutput::append(const void* data, std::size_t size) {
    const std::uint64_t offset = m_end;
    if (!writeAll(data, size, std::nullopt))
        return false;
    written(offset, size);
    return true;
}

bool AtomicOutput::writeAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (!writeAll(data, size, offset))
        return false;
    written(offset, size);
    return true;
}

// The disk starts on what is written while the rest is still being made, so that commit()'s
// fsync waits for the last few megabytes only, not for the whole file. Writers go forwards
// (or, for bottom-up rows, backwards): the span since the last start is one run of bytes.
void AtomicOutput::written(std::uint64_t offset, std::size_t size) {
    m_end = std::max(m_end, offset + size);
    if (m_unstartedEnd == m_unstartedBegin) {
        m_unstartedBegin = offset;
        m_unstartedEnd = offset + size;
    } else {
        m_unstartedBegin = std::min(m_unstartedBegin, offset);
        m_unstartedEnd = std::max(m_unstartedEnd, offset + size);
    }
    if (m_unstartedEnd - m_unstartedBegin >= kWritebackBytes) {
        // Only a hint: should it fail, fsync still writes everything.
        ::sync_file_range(m_fd, off_t(m_unstartedBegin), off_t(m_unstartedEnd - m_unstartedBegin),
                          SYNC_FILE_RANGE_WRITE);
        m_unstartedBegin = m_unstartedEnd = 0;
    }
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

void AtomicOutput::throwSystemError(int error) {
    discard();
    throw Error(Status::CannotWrite, m_path, std::strerror(error));
}

void AtomicOutput::commit() {
    if (!m_failure.empty())
        throw Error(Status::CannotWrite, m_path, m_failure);
    // Checked again: the conversion took a while, and what is at OUTPUT now is what goes.
    const std::optional<mode_t> mode = checkReplaceable();
    if (mode && ::fchmod(m_fd, *mode) != 0)
        throwSystemError(errno);
    if (::fsync(m_fd) != 0)
        throwSystemError(errno);
    if (m_tempPath.empty()) {
        linkIntoPlace();
    } else {
        if (::close(m_fd) != 0) {
            m_fd = -1;
            throwSystemError(errno);
        }
        m_fd = -1;
        if (::rename(m_tempPath.c_str(), m_path.c_str()) != 0)
            throwSystemError(errno);
        m_tempPath.clear();
        disarmSignalCleanup();
    }
    // Make the new name itself durable; the file is already complete either way.
    const int dir = ::open(folderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Gives the unnamed file its name. A new OUTPUT is linked straight into place; an existing one
// is replaced by a rename from a fresh name that exists only for that moment (and is removed
// should a signal come in between). The file is complete and synced before it has any name.
void AtomicOutput::linkIntoPlace() {
    char self[64];
    std::snprintf(self, sizeof self, "/proc/self/fd/%d", m_fd);
    const auto link = [&](const std::string& name) {
        if (::linkat(AT_FDCWD, self, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        if (errno == EEXIST)
            return errno;
        // Without /proc mounted; AT_EMPTY_PATH needs CAP_DAC_READ_SEARCH.
        return ::linkat(m_fd, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
    };
    int error = link(m_path);
    if (error == 0) {
        ::close(m_fd);
        m_fd = -1;
        return;
    }
    if (error != EEXIST)
        throwSystemError(error);
    const std::string folder = folderOf(m_path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = scratchName(folder);
        armSignalCleanup(temp);
        error = link(temp);
        if (error == 0) {
            m_tempPath = temp;
            ::close(m_fd);
            m_fd = -1;
            if (::rename(m_tempPath.c_str(), m_path.c_str()) != 0)
                throwSystemError(errno);
            m_tempPath.clear();
            disarmSignalCleanup();
            return;
        }
        disarmSignalCleanup();
        if (error != EEXIST)
            throwSystemError(error);
    }
    throw Error(Status::CannotWrite, m_path, "cannot find a free temporary name in " + folder);
}

} // namespace nconvert
