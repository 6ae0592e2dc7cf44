// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace nconvert {

/// Where an encoded picture goes: appended in order (libvips savers) or placed at offsets
/// (the BMP writer, which stores rows bottom-up). A failed write is remembered so that the
/// caller can tell "cannot write" from "cannot read".
class OutputSink {
public:
    virtual ~OutputSink() = default;
    virtual bool append(const void* data, std::size_t size) = 0;
    virtual bool writeAt(std::uint64_t offset, const void* data, std::size_t size) = 0;
    /// Why the first failed write failed; empty when none failed.
    virtual std::string failure() const = 0;
};

/// An in-memory sink (fuzzer, tests).
class MemorySink : public OutputSink {
public:
    bool append(const void* data, std::size_t size) override;
    bool writeAt(std::uint64_t offset, const void* data, std::size_t size) override;
    std::string failure() const override { return {}; }
    const std::vector<unsigned char>& bytes() const { return m_bytes; }

private:
    std::vector<unsigned char> m_bytes;
};

} // namespace nconvert
