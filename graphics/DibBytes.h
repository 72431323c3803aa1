// Reading and writing the fields of bitmap headers and stored row records: each method names
// its byte order, and a read or write past the end clears a sticky ok flag (reads then yield 0,
// writes are dropped), so a record is checked once after all its fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

class DibByteReader {
public:
    explicit DibByteReader(std::span<const uint8_t> bytes, size_t at = 0) : bytes_(bytes), pos_(at) {}

    uint8_t U8() { return Take(1) ? bytes_[pos_ - 1] : 0; }
    uint16_t U16LE() {
        if (!Take(2)) return 0;
        return static_cast<uint16_t>(bytes_[pos_ - 2] | bytes_[pos_ - 1] << 8);
    }
    uint16_t U16BE() {
        if (!Take(2)) return 0;
        return static_cast<uint16_t>(bytes_[pos_ - 2] << 8 | bytes_[pos_ - 1]);
    }
    uint32_t U32LE() {
        if (!Take(4)) return 0;
        const uint8_t* b = &bytes_[pos_ - 4];
        return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
    }
    int16_t I16BE() { return static_cast<int16_t>(U16BE()); }
    int32_t I32LE() { return static_cast<int32_t>(U32LE()); }
    void Skip(size_t count) { Take(count); }

    bool ok() const { return ok_; }
    size_t position() const { return pos_; }

private:
    bool Take(size_t count) {
        if (!ok_ || pos_ > bytes_.size() || count > bytes_.size() - pos_) {
            ok_ = false;
            return false;
        }
        pos_ += count;
        return true;
    }

    std::span<const uint8_t> bytes_;
    size_t pos_;
    bool ok_ = true;
};

class DibByteWriter {
public:
    explicit DibByteWriter(std::span<uint8_t> bytes, size_t at = 0) : bytes_(bytes), pos_(at) {}

    void U8(uint8_t v) {
        if (Take(1)) bytes_[pos_ - 1] = v;
    }
    void U16LE(uint16_t v) {
        if (!Take(2)) return;
        bytes_[pos_ - 2] = static_cast<uint8_t>(v);
        bytes_[pos_ - 1] = static_cast<uint8_t>(v >> 8);
    }
    void U16BE(uint16_t v) {
        if (!Take(2)) return;
        bytes_[pos_ - 2] = static_cast<uint8_t>(v >> 8);
        bytes_[pos_ - 1] = static_cast<uint8_t>(v);
    }
    void U32LE(uint32_t v) {
        if (!Take(4)) return;
        for (int i = 0; i < 4; ++i)
            bytes_[pos_ - 4 + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void I32LE(int32_t v) { U32LE(static_cast<uint32_t>(v)); }

    bool ok() const { return ok_; }
    size_t position() const { return pos_; }

private:
    bool Take(size_t count) {
        if (!ok_ || pos_ > bytes_.size() || count > bytes_.size() - pos_) {
            ok_ = false;
            return false;
        }
        pos_ += count;
        return true;
    }

    std::span<uint8_t> bytes_;
    size_t pos_;
    bool ok_ = true;
};
