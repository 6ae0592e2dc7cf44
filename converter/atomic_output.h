// SPDX-License-Identifier: MIT
#pragma once

#include "output_sink.h"

#include <cstdint>
#include <optional>
#include <string>

namespace nconvert {

/// The folder a path's file lives in ("." for a bare name).
std::string folderOf(const std::string& path);

/// The output file, written through a temporary file in the same folder (unique name,
/// O_EXCL) and renamed over `path` by commit() only after everything reached the disk.
/// Destroyed without commit(), it removes the temporary file: `path` is then untouched.
class AtomicOutput : public OutputSink {
public:
    /// Creates the temporary file; throws Error(Status::CannotWrite).
    explicit AtomicOutput(std::string path);
    ~AtomicOutput() override;
    AtomicOutput(const AtomicOutput&) = delete;
    AtomicOutput& operator=(const AtomicOutput&) = delete;

    bool append(const void* data, std::size_t size) override;
    bool writeAt(std::uint64_t offset, const void* data, std::size_t size) override;
    std::string failure() const override { return m_failure; }

    /// fsync, close, rename into place; throws Error(Status::CannotWrite).
    void commit();

    const std::string& temporaryPath() const { return m_tempPath; }

private:
    void discard();
    bool fail(int error);
    bool writeAll(const void* data, std::size_t size, std::optional<std::uint64_t> offset);

    std::string m_path;
    std::string m_tempPath;
    int m_fd = -1;
    std::string m_failure;
};

} // namespace nconvert
