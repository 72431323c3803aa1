// Byte sources over memory and over an open file.
#include "format/ByteSource.h"

#include <algorithm>
#include <cstring>

SpanByteSource::SpanByteSource(std::span<const uint8_t> bytes)
    : bytes_(bytes.first(std::min<size_t>(bytes.size(), 0xFFFFFFFFu))),
      size_(static_cast<uint32_t>(bytes_.size())) {}

bool SpanByteSource::ReadAt(uint32_t offset, std::span<uint8_t> out) {
    if (offset > size_ || out.size() > size_ - offset)
        return false;
    if (!out.empty())
        std::memcpy(out.data(), bytes_.data() + offset, out.size());
    return true;
}

FileByteSource::FileByteSource(FileRef file) : file_(file), size_(0) {
    int32_t length = FileGetLength(file);
    size_ = length > 0 ? static_cast<uint32_t>(length) : 0;
}

bool FileByteSource::ReadAt(uint32_t offset, std::span<uint8_t> out) {
    if (offset > size_ || out.size() > size_ - offset)
        return false;
    if (out.empty())
        return true;
    return FileReadAt(file_, offset, static_cast<uint32_t>(out.size()), out.data()) == kFileOk;
}
