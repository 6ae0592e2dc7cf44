// SPDX-License-Identifier: MIT
#include "error.h"

#include <sys/stat.h>

namespace nconvert {

Error::Error(Status status, std::string subject, std::string reason)
    : std::runtime_error(reason), m_status(status), m_subject(std::move(subject)),
      m_reason(std::move(reason)) {}

std::string Error::message() const {
    std::string text = "nconvert: " + m_subject + ": " + m_reason;
    // One line on stderr, whatever a library put into the reason.
    for (char& c : text) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string notARegularFile(mode_t mode) {
    const char* kind = "a special file";
    if (S_ISFIFO(mode))
        kind = "a FIFO";
    else if (S_ISCHR(mode) || S_ISBLK(mode))
        kind = "a device";
    else if (S_ISSOCK(mode))
        kind = "a socket";
    return std::string("is ") + kind + ", not a regular file";
}

} // namespace nconvert
