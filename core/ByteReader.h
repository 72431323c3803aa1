// Bounds-checked access to bytes: a reader and a writer whose methods name the byte order, and
// the field accessors for records held in memory.
//
// Stack files are big-endian; records in memory are in host order, which on every machine this
// program runs on is little-endian, so in-memory fields are read as LE. Every read past the end
// yields 0 and clears the reader's sticky ok flag, which callers check once per record; nothing
// is ever read or written outside the given span.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/ByteSwap.h"

class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> bytes, size_t position = 0)
        : bytes_(bytes), pos_(position), ok_(position <= bytes.size()) {}

    bool ok() const { return ok_; }
    size_t position() const { return pos_; }
    size_t size() const { return bytes_.size(); }
    size_t remaining() const { return pos_ <= bytes_.size() ? bytes_.size() - pos_ : 0; }

    void Seek(size_t position) {
        if (position > bytes_.size())
            ok_ = false;
        else
            pos_ = position;
    }
    void Skip(size_t count) {
        if (count > remaining())
            ok_ = false;
        else
            pos_ += count;
    }

    uint8_t U8() {
        if (!Need(1))
            return 0;
        return bytes_[pos_++];
    }
    uint16_t U16BE() {
        if (!Need(2))
            return 0;
        uint16_t v = static_cast<uint16_t>(bytes_[pos_] << 8 | bytes_[pos_ + 1]);
        pos_ += 2;
        return v;
    }
    uint32_t U32BE() {
        if (!Need(4))
            return 0;
        uint32_t v = uint32_t{bytes_[pos_]} << 24 | uint32_t{bytes_[pos_ + 1]} << 16 |
                     uint32_t{bytes_[pos_ + 2]} << 8 | bytes_[pos_ + 3];
        pos_ += 4;
        return v;
    }
    uint16_t U16LE() {
        if (!Need(2))
            return 0;
        uint16_t v = static_cast<uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
        pos_ += 2;
        return v;
    }
    uint32_t U32LE() {
        if (!Need(4))
            return 0;
        uint32_t v = bytes_[pos_] | uint32_t{bytes_[pos_ + 1]} << 8 |
                     uint32_t{bytes_[pos_ + 2]} << 16 | uint32_t{bytes_[pos_ + 3]} << 24;
        pos_ += 4;
        return v;
    }
    // The next count bytes; an empty span (and ok cleared) when fewer remain.
    std::span<const uint8_t> Bytes(size_t count) {
        if (!Need(count))
            return {};
        auto s = bytes_.subspan(pos_, count);
        pos_ += count;
        return s;
    }

private:
    bool Need(size_t count) {
        if (!ok_ || count > remaining()) {
            ok_ = false;
            return false;
        }
        return true;
    }

    std::span<const uint8_t> bytes_;
    size_t pos_;
    bool ok_;
};

// Appends to a growing byte vector. It cannot run out of room, so it has no ok flag.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

    size_t position() const { return out_.size(); }
    void U8(uint8_t v) { out_.push_back(v); }
    void U16BE(uint16_t v) {
        out_.push_back(static_cast<uint8_t>(v >> 8));
        out_.push_back(static_cast<uint8_t>(v));
    }
    void U32BE(uint32_t v) {
        U16BE(static_cast<uint16_t>(v >> 16));
        U16BE(static_cast<uint16_t>(v));
    }
    void U16LE(uint16_t v) {
        out_.push_back(static_cast<uint8_t>(v));
        out_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void U32LE(uint32_t v) {
        U16LE(static_cast<uint16_t>(v));
        U16LE(static_cast<uint16_t>(v >> 16));
    }
    void Bytes(std::span<const uint8_t> bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    void Zeros(size_t count) { out_.insert(out_.end(), count, 0); }

private:
    std::vector<uint8_t>& out_;
};

// Fields of a record at byte offsets. Out-of-range reads give 0 and out-of-range writes do
// nothing; callers check a record's size against its layout before they use these.
inline bool FieldFits(std::span<const uint8_t> record, size_t offset, size_t width) {
    return offset <= record.size() && width <= record.size() - offset;
}
inline uint16_t GetBE16(std::span<const uint8_t> r, size_t off) {
    return FieldFits(r, off, 2) ? static_cast<uint16_t>(r[off] << 8 | r[off + 1]) : 0;
}
inline uint32_t GetBE32(std::span<const uint8_t> r, size_t off) {
    return FieldFits(r, off, 4) ? (uint32_t{r[off]} << 24 | uint32_t{r[off + 1]} << 16 |
                                   uint32_t{r[off + 2]} << 8 | r[off + 3])
                                : 0;
}
inline void SetBE16(std::span<uint8_t> r, size_t off, uint16_t v) {
    if (!FieldFits(r, off, 2))
        return;
    r[off] = static_cast<uint8_t>(v >> 8);
    r[off + 1] = static_cast<uint8_t>(v);
}
inline void SetBE32(std::span<uint8_t> r, size_t off, uint32_t v) {
    SetBE16(r, off, static_cast<uint16_t>(v >> 16));
    SetBE16(r, off + 2, static_cast<uint16_t>(v));
}
// Host order (little-endian).
inline uint16_t GetU16(std::span<const uint8_t> r, size_t off) {
    return FieldFits(r, off, 2) ? static_cast<uint16_t>(r[off] | r[off + 1] << 8) : 0;
}
inline int16_t GetI16(std::span<const uint8_t> r, size_t off) {
    return static_cast<int16_t>(GetU16(r, off));
}
inline uint32_t GetU32(std::span<const uint8_t> r, size_t off) {
    return FieldFits(r, off, 4) ? (r[off] | uint32_t{r[off + 1]} << 8 | uint32_t{r[off + 2]} << 16 |
                                   uint32_t{r[off + 3]} << 24)
                                : 0;
}
inline void SetU16(std::span<uint8_t> r, size_t off, uint16_t v) {
    if (!FieldFits(r, off, 2))
        return;
    r[off] = static_cast<uint8_t>(v);
    r[off + 1] = static_cast<uint8_t>(v >> 8);
}
inline void SetU32(std::span<uint8_t> r, size_t off, uint32_t v) {
    SetU16(r, off, static_cast<uint16_t>(v));
    SetU16(r, off + 2, static_cast<uint16_t>(v >> 16));
}
// Reverses a 16- or 32-bit field in place (the file-to-host conversion and its inverse).
inline bool SwapField16(std::span<uint8_t> r, size_t off) {
    if (!FieldFits(r, off, 2))
        return false;
    SwapInPlace16(&r[off]);
    return true;
}
inline bool SwapField32(std::span<uint8_t> r, size_t off) {
    if (!FieldFits(r, off, 4))
        return false;
    SwapInPlace32(&r[off]);
    return true;
}
