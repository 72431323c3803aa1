// LZRW1 with copy lengths 3 to 18: one hash probe per item, no search beyond it.
#include "graphics/Lzrw.h"

#include <bit>
#include <cstring>

namespace {

constexpr size_t kHashSlots = 4096;
constexpr size_t kTableBytes = kHashSlots * sizeof(uint32_t);
constexpr size_t kGroupItems = 16;
// While this much input remains, a whole round of 16 items runs without end tests.
constexpr size_t kRoundInput = kGroupItems * kLzrwMaxCopy;  // 288
// A whole group in the stream: control word and 16 copy items.
constexpr size_t kGroupStreamMax = 2 + kGroupItems * 2;  // 34

// The hash table lives in the caller's work area, aligned up to 4 bytes. Slots hold a source
// position + kSlotBias, 0 for none: positions, not pointers, so a slot can never point outside
// the source of the current call, and an empty slot is always too far back to be a candidate.
constexpr size_t kSlotBias = kLzrwMaxOffset + 1;
uint32_t* TableIn(std::span<uint8_t> workArea) {
    const auto address = reinterpret_cast<uintptr_t>(workArea.data());
    const size_t pad = (4 - address % 4) % 4;
    if (workArea.size() < pad + kTableBytes)
        return nullptr;
    return reinterpret_cast<uint32_t*>(workArea.data() + pad);
}

// The three bytes at p are hashed as signed bytes, widened with their sign; the product is
// taken modulo 2^32 and only its bits 4..15 are used.
inline uint32_t HashIndex(const uint8_t* p) {
    const auto widen = [](uint8_t b) {
        return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(b)));
    };
    const uint32_t h = (((widen(p[0]) << 4) ^ widen(p[1])) << 4) ^ widen(p[2]);
    return ((h * 40543u) >> 4) & (kHashSlots - 1);
}

// Count of equal bytes at a and b, at most 18; both must have 18 readable bytes. Branches, not
// selects: on long runs the full length is then predicted and the next item need not wait for
// this one's loads.
inline size_t MatchLength(const uint8_t* a, const uint8_t* b) {
    if constexpr (std::endian::native == std::endian::little) {
        const auto diff = [&](size_t at) {
            uint64_t x, y;
            std::memcpy(&x, a + at, 8);
            std::memcpy(&y, b + at, 8);
            return x ^ y;
        };
        // Words at 0, 8 and 10 (the last overlaps the second) cover the 18 bytes.
        for (size_t at : {size_t{0}, size_t{8}, size_t{10}}) {
            if (const uint64_t d = diff(at))
                return at + static_cast<size_t>(std::countr_zero(d)) / 8;
        }
        return kLzrwMaxCopy;
    } else {
        size_t n = 0;
        while (n < kLzrwMaxCopy && a[n] == b[n])
            ++n;
        return n;
    }
}

// Nonzero when the first three bytes at a and b differ; both must have 4 readable bytes.
inline uint32_t FirstThreeDiffer(const uint8_t* a, const uint8_t* b) {
    if constexpr (std::endian::native == std::endian::little) {
        uint32_t x, y;
        std::memcpy(&x, a, 4);
        std::memcpy(&y, b, 4);
        return (x ^ y) & 0xFFFFFFu;
    } else {
        return uint32_t{a[0] != b[0]} | uint32_t{a[1] != b[1]} | uint32_t{a[2] != b[2]};
    }
}

void WriteFlagHeader(uint8_t* destination, uint8_t flag) {
    destination[0] = flag;
    destination[1] = destination[2] = destination[3] = 0;
}

// Copies one item from offset bytes back; an offset below the length repeats the pattern.
inline void CopyFromBehind(uint8_t* to, size_t offset, size_t length) {
    const uint8_t* from = to - offset;
    if (offset >= length) {
        std::memcpy(to, from, length);
    } else if (offset == 1) {
        std::memset(to, from[0], length);
    } else {
        for (size_t i = 0; i < length; ++i)
            to[i] = from[i];
    }
}

}  // namespace

bool LzrwCompress(std::span<uint8_t> workArea, std::span<const uint8_t> source,
                  std::span<uint8_t> destination, size_t& outLength) {
    outLength = 0;
    const size_t n = source.size();
    uint32_t* const table = TableIn(workArea);
    if (!table || n > SIZE_MAX - 34 || destination.size() < LzrwCompressBound(n))
        return false;
    const uint8_t* const src = source.data();
    uint8_t* const dst = destination.data();

    // Positions are kept as 32-bit values; a larger input (never met on the 32-bit target)
    // is stored.
    bool overrun = n > UINT32_MAX - kSlotBias;
    size_t out = kLzrwHeaderBytes;
    if (!overrun) {
        std::memset(table, 0, kTableBytes);
        WriteFlagHeader(dst, kLzrwFlagCompressed);
        size_t controlAt = out;
        out += 2;
        uint32_t control = 0;
        unsigned items = 0;
        size_t p = 0;

        const auto emitItem = [&] {
            const uint8_t* s = src + p;
            uint32_t& slot = table[HashIndex(s)];
            // An empty slot reads as a position 4096 before the start: never near enough.
            const size_t offset = p + kSlotBias - slot;
            slot = static_cast<uint32_t>(p + kSlotBias);
            // Both tests without a branch between them: on incompressible input the one
            // branch below is then well predicted.
            const size_t nearMask = size_t{0} - size_t{offset - 1 < kLzrwMaxOffset};  // 1..4095
            const uint8_t* q = s - (offset & nearMask);
            size_t length = 0;
            if ((FirstThreeDiffer(s, q) | (~nearMask & 1)) == 0)
                length = MatchLength(s, q);
            if (length >= kLzrwMinCopy) {
                dst[out++] = static_cast<uint8_t>(((offset >> 4) & 0xF0) | (length - kLzrwMinCopy));
                dst[out++] = static_cast<uint8_t>(offset & 0xFF);
                control |= 1u << items;
                p += length;
            } else {
                dst[out++] = *s;
                ++p;
            }
            ++items;
        };

        for (;;) {
            if (out > n) {
                overrun = true;
                break;
            }
            if (p + kRoundInput <= n) {
                // A whole round: every item reads at most 18 bytes, so no end tests. Rounds
                // only run from the start, so each one fills exactly one control word.
                for (size_t i = 0; i < kGroupItems; ++i)
                    emitItem();
            } else if (p + kLzrwMaxCopy <= n) {
                emitItem();
            } else {
                if (p == n)
                    break;
                dst[out++] = src[p++];  // the last bytes go as literals, unhashed
                ++items;
            }
            if (items == kGroupItems) {
                dst[controlAt] = static_cast<uint8_t>(control & 0xFF);
                dst[controlAt + 1] = static_cast<uint8_t>(control >> 8);
                controlAt = out;
                out += 2;
                control = 0;
                items = 0;
            }
        }
        if (!overrun) {
            dst[controlAt] = static_cast<uint8_t>(control & 0xFF);
            dst[controlAt + 1] = static_cast<uint8_t>(control >> 8);
            if (controlAt + 2 == out)  // no item followed the last control word
                out -= 2;
        }
    }
    if (overrun) {
        WriteFlagHeader(dst, kLzrwFlagStored);
        if (n > 0)
            std::memcpy(dst + kLzrwHeaderBytes, src, n);
        out = n + kLzrwHeaderBytes;
    }
    outLength = out;
    return true;
}

bool LzrwDecompress(std::span<const uint8_t> stream, std::span<uint8_t> destination,
                    size_t& outLength) {
    outLength = 0;
    if (stream.empty())
        return true;
    if (stream.size() < kLzrwHeaderBytes)
        return false;
    const uint8_t flag = stream[0];
    const size_t capacity = destination.size();
    uint8_t* const dst = destination.data();
    if (flag == kLzrwFlagStored) {
        const size_t n = stream.size() - kLzrwHeaderBytes;
        if (n > capacity)
            return false;
        if (n > 0)
            std::memcpy(dst, stream.data() + kLzrwHeaderBytes, n);
        outLength = n;
        return true;
    }
    if (flag != kLzrwFlagCompressed)
        return false;

    const uint8_t* in = stream.data() + kLzrwHeaderBytes;
    const uint8_t* const inEnd = stream.data() + stream.size();
    size_t out = 0;

    // Whole groups without end tests while a full group of stream and its largest output
    // (16 items of 18 bytes) both fit; only the copy offsets are checked.
    while (static_cast<size_t>(inEnd - in) >= kGroupStreamMax && capacity - out >= kRoundInput) {
        unsigned control = in[0] | (in[1] << 8);
        in += 2;
        for (size_t i = 0; i < kGroupItems; ++i, control >>= 1) {
            if (control & 1) {
                const size_t offset = ((in[0] & 0xF0u) << 4) | in[1];
                const size_t length = (in[0] & 0x0Fu) + kLzrwMinCopy;
                in += 2;
                if (offset == 0 || offset > out)
                    return false;
                CopyFromBehind(dst + out, offset, length);
                out += length;
            } else {
                dst[out++] = *in++;
            }
        }
    }

    // The rest item by item; a group may end early at the stream end.
    while (in != inEnd) {
        if (inEnd - in < 2)
            return false;  // a control word cut short
        unsigned control = in[0] | (in[1] << 8);
        in += 2;
        for (size_t i = 0; i < kGroupItems && in != inEnd; ++i, control >>= 1) {
            if (control & 1) {
                if (inEnd - in < 2)
                    return false;
                const size_t offset = ((in[0] & 0xF0u) << 4) | in[1];
                const size_t length = (in[0] & 0x0Fu) + kLzrwMinCopy;
                in += 2;
                if (offset == 0 || offset > out || length > capacity - out)
                    return false;
                CopyFromBehind(dst + out, offset, length);
                out += length;
            } else {
                if (out == capacity)
                    return false;
                dst[out++] = *in++;
            }
        }
    }
    outLength = out;
    return true;
}
