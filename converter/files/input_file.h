// SPDX-License-Identifier: MIT
#pragma once

#include "large_memory.h"

#include <cstddef>
#include <string>
#include <sys/types.h>

namespace nconvert {

/// The input file, read whole into memory before anything is decoded: the bytes recognised by
/// content are exactly the bytes decoded, and whatever happens to the file afterwards (another
/// process truncating or deleting it) cannot reach the conversion. Only a regular file, or a
/// link to one, is opened, and never in a way that could block. Throws Error(Status::BadInput).
class InputFile {
public:
    explicit InputFile(const std::string& path);
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    const unsigned char* data() const { return m_bytes.get(); }
    std::size_t size() const { return m_size; }
    /// Which file this is, whatever path reached it.
    dev_t device() const { return m_device; }
    ino_t inode() const { return m_inode; }

private:
    LargeBlock m_bytes;
    std::size_t m_size = 0;
    dev_t m_device = 0;
    ino_t m_inode = 0;
};

} // namespace nconvert
