// Bounds-checked access to bytes: a reader and a writer whose methods name the byte order, and
// the field accessors for records held in memory.
//
// Stack files are big-endian; records in memory and bitmap headers are little-endian (host
// order on every machine this program runs on). Every read past the end yields 0 and clears
// the reader's sticky ok flag, which callers check once per record. A field is written whole
// or not at all: nothing is ever read or written outside the given span.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/ByteSwap.h"

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
    int16_t I16BE() { return static_cast<int16_t>(U16BE()); }
    int16_t I16LE() { return static_cast<int16_t>(U16LE()); }
    int32_t I32LE() { return static_cast<int32_t>(U32LE()); }
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

// Writes fields in order, either appended to a growing vector (it cannot run out of room) or
// in place over fixed bytes from a given position. In place, a field that does not fit whole
// is not written at all and clears the sticky ok flag; so does every field after it.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : grow_(&out), pos_(out.size()) {}
    // The position is not optional, so that a vector is never taken for fixed bytes by mistake.
    ByteWriter(std::span<uint8_t> bytes, size_t position)
        : fixed_(bytes), pos_(position), ok_(position <= bytes.size()) {}

    bool ok() const { return ok_; }
    size_t position() const { return grow_ ? grow_->size() : pos_; }

    void U8(uint8_t v) {
        if (uint8_t* p = Take(1))
            p[0] = v;
    }
    void U16BE(uint16_t v) {
        if (uint8_t* p = Take(2)) {
            p[0] = static_cast<uint8_t>(v >> 8);
            p[1] = static_cast<uint8_t>(v);
        }
    }
    void U32BE(uint32_t v) {
        if (uint8_t* p = Take(4)) {
            for (int i = 0; i < 4; ++i)
                p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
        }
    }
    void U16LE(uint16_t v) {
        if (uint8_t* p = Take(2)) {
            p[0] = static_cast<uint8_t>(v);
            p[1] = static_cast<uint8_t>(v >> 8);
        }
    }
    void U32LE(uint32_t v) {
        if (uint8_t* p = Take(4)) {
            for (int i = 0; i < 4; ++i)
                p[i] = static_cast<uint8_t>(v >> (8 * i));
        }
    }
    void I32LE(int32_t v) { U32LE(static_cast<uint32_t>(v)); }
    void Bytes(std::span<const uint8_t> bytes) {
        uint8_t* p = Take(bytes.size());
        if (p && !bytes.empty())
            std::copy(bytes.begin(), bytes.end(), p);
    }
    void Zeros(size_t count) {
        uint8_t* p = Take(count);
        if (p)
            std::fill(p, p + count, uint8_t{0});
    }

private:
    // Room for count bytes at the position, which moves past them; null (ok cleared) when the
    // fixed bytes have less room left.
    uint8_t* Take(size_t count) {
        if (grow_) {
            const size_t at = grow_->size();
            grow_->resize(at + count);
            return grow_->data() + at;
        }
        if (!ok_ || count > fixed_.size() - pos_) {
            ok_ = false;
            return nullptr;
        }
        uint8_t* p = fixed_.data() + pos_;
        pos_ += count;
        return p;
    }

    std::vector<uint8_t>* grow_ = nullptr;
    std::span<uint8_t> fixed_;
    size_t pos_;
    bool ok_ = true;
};

// Fields of a record at byte offsets. Out-of-range reads give 0; a write whose field does not
// lie whole inside the record writes nothing and returns false. Callers check a record's size
// against its layout before they use these.
inline bool FieldFits(std::span<const uint8_t> record, size_t offset, size_t width) {
    return offset <= record.size() && width <= record.size() - offset;
}
inline uint16_t GetBE16(std::span<const uint8_t> r, size_t off) { return ByteReader(r, off).U16BE(); }
inline uint32_t GetBE32(std::span<const uint8_t> r, size_t off) { return ByteReader(r, off).U32BE(); }
// One field written through the writer's member for its width and order.
template <typename T>
bool SetField(std::span<uint8_t> r, size_t off, void (ByteWriter::*put)(T), T v) {
    ByteWriter w(r, off);
    (w.*put)(v);
    return w.ok();
}
inline bool SetBE16(std::span<uint8_t> r, size_t off, uint16_t v) { return SetField(r, off, &ByteWriter::U16BE, v); }
inline bool SetBE32(std::span<uint8_t> r, size_t off, uint32_t v) { return SetField(r, off, &ByteWriter::U32BE, v); }
// Host order (little-endian).
inline uint16_t GetU16(std::span<const uint8_t> r, size_t off) { return ByteReader(r, off).U16LE(); }
inline int16_t GetI16(std::span<const uint8_t> r, size_t off) { return static_cast<int16_t>(GetU16(r, off)); }
inline uint32_t GetU32(std::span<const uint8_t> r, size_t off) { return ByteReader(r, off).U32LE(); }
inline bool SetU16(std::span<uint8_t> r, size_t off, uint16_t v) { return SetField(r, off, &ByteWriter::U16LE, v); }
inline bool SetU32(std::span<uint8_t> r, size_t off, uint32_t v) { return SetField(r, off, &ByteWriter::U32LE, v); }
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
