// SPDX-License-Identifier: MIT
#pragma once

#include <stdexcept>
#include <string>
#include <sys/types.h>

namespace nconvert {

/// Exit statuses of the converter, one per kind of failure (documented in --help and README.md).
enum class Status : int {
    Ok = 0,
    Usage = 2,       ///< the command line is not of the documented form
    BadInput = 3,    ///< the input cannot be opened, or is truncated or corrupt
    Unsupported = 4, ///< the input is not a picture of a format we read
    TooLarge = 5,    ///< the input or the output exceeds the size limits
    CannotWrite = 6, ///< the output cannot be written
    Internal = 7,    ///< anything else (out of memory, library failure)
};

/// A failure carrying its exit status, the path (or argument) it concerns and a reason.
class Error : public std::runtime_error {
public:
    Error(Status status, std::string subject, std::string reason);

    Status status() const { return m_status; }
    const std::string& subject() const { return m_subject; }
    const std::string& reason() const { return m_reason; }

    /// "nconvert: " + subject + ": " + reason, without a line break.
    std::string message() const;

private:
    Status m_status;
    std::string m_subject;
    std::string m_reason;
};

/// The reason given for a path that is neither a regular file nor a folder:
/// "is a FIFO, not a regular file" (or a device, a socket).
std::string notARegularFile(mode_t mode);

} // namespace nconvert
