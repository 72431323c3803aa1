// Where the stack reader takes its bytes from: a file of the file layer, a download or a test
// buffer. Every read names its offset and either delivers all its bytes or fails.
#pragma once

#include <cstdint>
#include <span>

#include "core/files/FileLayer.h"

class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint32_t Size() const = 0;
    // Reads out.size() bytes at offset; false when they cannot all be read.
    virtual bool ReadAt(uint32_t offset, std::span<uint8_t> out) = 0;
};

class SpanByteSource final : public ByteSource {
public:
    explicit SpanByteSource(std::span<const uint8_t> bytes);
    uint32_t Size() const override { return size_; }
    bool ReadAt(uint32_t offset, std::span<uint8_t> out) override;

private:
    std::span<const uint8_t> bytes_;
    uint32_t size_;
};

// An open file of the file layer; the position is the caller's no longer.
class FileByteSource final : public ByteSource {
public:
    explicit FileByteSource(FileRef file);
    uint32_t Size() const override { return size_; }
    bool ReadAt(uint32_t offset, std::span<uint8_t> out) override;

private:
    FileRef file_;
    uint32_t size_;
};
