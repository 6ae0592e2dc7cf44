// SPDX-License-Identifier: MIT
#pragma once

#include "output_sink.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

namespace nconvert {

/// The folder a path's file lives in ("." for a bare name).
std::string folderOf(const std::string& path);

/// A file as the file system knows it, whatever path reaches it.
struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
};

/// Where the bytes wait until commit().
enum class Scratch {
    Unnamed, ///< an unnamed file (O_TMPFILE) where the file system has them, else Named
    Named,   ///< a hidden `.nconvert-PID-RANDOM.tmp`
};

/// The output file, written in OUTPUT's folder and put in place by commit() only after
/// everything reached the disk; until then `path` is untouched. The bytes go to an unnamed
/// file, which vanishes by itself however the process ends; where the file system cannot make
/// one, to a named temporary file that is removed on failure and on SIGINT, SIGTERM, SIGHUP and
/// SIGPIPE, and swept by a later run if the process was killed outright.
class AtomicOutput : public OutputSink {
public:
    /// Refuses an existing `path` that is a folder, a device, a FIFO or a socket, or that is
    /// `source` (the input) by any name, then creates the scratch file. A symbolic link at
    /// `path` is itself replaced, its target left alone. Throws Error(Status::CannotWrite).
    explicit AtomicOutput(std::string path, std::optional<FileId> source = std::nullopt,
                          Scratch scratch = Scratch::Unnamed);
    ~AtomicOutput() override;
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    bool append(const void* data, std::size_t size) override;
    bool writeAt(std::uint64_t offset, const void* data, std::size_t size) override;
    std::string failure() const override { return m_failure; }

    /// Gives the file the mode of the file it replaces (a new file keeps the umask's), fsync,
    /// puts it in place atomically; throws Error(Status::CannotWrite).
    void commit();

    /// The named scratch file; empty while the bytes go to an unnamed one.
    const std::string& temporaryPath() const { return m_tempPath; }

private:
    std::optional<mode_t> checkReplaceable() const;
    void createNamed(const std::string& folder);
    void linkIntoPlace();
    void discard();
    bool fail(int error);
    bool writeAll(const void* data, std::size_t size, std::optional<std::uint64_t> offset);
    void written(std::uint64_t offset, std::size_t size);
    [[noreturn]] void throwSystemError(int error);

    std::string m_path;
    std::optional<FileId> m_source;
    std::string m_tempPath;
    int m_fd = -1;
    std::string m_failure;
    static constexpr std::uint64_t kWritebackBytes = 4u << 20;
    std::uint64_t m_end = 0; // where append() writes
    // Bytes written since the disk was last asked to start on them.
    std::uint64_t m_unstartedBegin = 0;
    std::uint64_t m_unstartedEnd = 0;
};

} // namespace nconvert
