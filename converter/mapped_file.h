// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace nconvert {

/// The input file, mapped read-only for the duration of the conversion, so that the bytes
/// recognised by content are exactly the bytes decoded. Throws Error(Status::BadInput) when it
/// cannot be opened or is not a regular file.
class MappedFile {
public:
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};

} // namespace nconvert
