// SPDX-License-Identifier: MIT
#include "error.h"

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

} // namespace nconvert
