// LZRW1 with copy lengths 3 to 18: one hash probe per item, no search beyond it.
#include "graphics/pixels/Lzrw.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace {

constexpr size_t kHashSlots = 4096;
constexpr size_t kTableBytes = kHashSlots * sizeof(uint32_t);
constexpr size_t kGroupItems = 16;
// While this much input remains, a whole round of 16 items runs without end tests.
constexpr size_t kRoundInput = kGroupItems * kLzrwMaxCopy;  // 288
// The decompressor's whole-group path: stream bytes that must remain, and output room for a
// group of 16 longest copies with the words written past it.
constexpr size_t kFastStream = 64;
constexpr size_t kFastOutput = kRoundInput + 32;

// The hash table lives in the caller's work area, aligned up to 4 bytes. Slots hold source
// positions, not pointers, so a candidate is always inside the source of the current call and
// its bytes can be read before it is tested. The cleared table sends every slot to the start:
// a slot never written since cannot pass the test of the first three bytes, as bytes equal to
// the start's would have hashed to the start's own slot.
uint32_t* TableIn(std::span<uint8_t> workArea) {
    const auto address = reinterpret_cast<uintptr_t>(workArea.data());
    const size_t pad = (4 - address % 4) % 4;
    if (workArea.size() < pad + kTableBytes)
        return nullptr;
    return reinterpret_cast<uint32_t*>(workArea.data() + pad);
}

// The three bytes at p are hashed as signed bytes, widened with their sign; the product is
// taken modulo 2^32 and only its bits 4..15 are used, so 16 bits of each step are enough.
inline uint16_t HashIndex(const uint8_t* p) {
    const auto widen = [](uint8_t b) { return static_cast<int>(static_cast<int8_t>(b)); };
    const auto h = static_cast<uint16_t>((widen(p[0]) * 256) ^ (widen(p[1]) * 16) ^ widen(p[2]));
    return static_cast<uint16_t>(static_cast<uint16_t>(h * 40543u) >> 4);
}

// The indices of count positions from p, which must have count + 2 readable bytes. They depend
// on the input alone, so working them out a block ahead takes them off the chain of items,
// each of which starts where the one before ended.
constexpr size_t kHashBlock = 2048;
void HashIndices(const uint8_t* p, size_t count, uint16_t* indices) {
    for (size_t i = 0; i < count; ++i)
        indices[i] = HashIndex(p + i);
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

// Word copies through byte buffers: the bytes read past a short item's end may not have been
// written yet, and are only ever stored back past it.
inline void Copy8(uint8_t* to, const uint8_t* from) {
    uint8_t w[8];
    std::memcpy(w, from, 8);
    std::memcpy(to, w, 8);
}

inline void Copy16(uint8_t* to, const uint8_t* from) {
    uint8_t w[16];
    std::memcpy(w, from, 16);
    std::memcpy(to, w, 16);
}

// The same as CopyFromBehind in wide words, writing up to 24 bytes at to whatever the length.
// The output before to must hold 8 bytes.
inline void CopyItemWide(uint8_t* to, size_t offset, size_t length) {
    const uint8_t* from = to - offset;
    if (offset >= length) {
        // One word and then the last two bytes of the longest copies on their own: a later
        // copy of these bytes reads each from a single store, which the processor passes on
        // without waiting for it to reach the cache.
        uint8_t last[2];
        Copy16(to, from);
        std::memcpy(last, from + 16, 2);
        std::memcpy(to + 16, last, 2);
    } else if (offset >= 8) {
        Copy8(to, from);
        Copy8(to + 8, from + 8);
        Copy8(to + 16, from + 16);
    } else if constexpr (std::endian::native == std::endian::little) {
        // The pattern spread over a word, stored at whole multiples of it.
        static constexpr uint64_t kRepeat[8] = {0, 0x0101010101010101u, 0x0001000100010001u,
                                                0x0001000001000001u, 0x0000000100000001u,
                                                0x0000010000000001u, 0x0001000000000001u,
                                                0x0100000000000001u};
        static constexpr uint8_t kStep[8] = {0, 8, 8, 6, 8, 5, 6, 7};
        uint64_t last;
        std::memcpy(&last, to - 8, 8);
        const uint64_t word = (last >> (64 - 8 * offset)) * kRepeat[offset];
        const size_t step = kStep[offset];
        std::memcpy(to, &word, 8);
        std::memcpy(to + step, &word, 8);
        std::memcpy(to + 2 * step, &word, 8);
    } else {
        CopyFromBehind(to, offset, length);
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
    bool overrun = n >= UINT32_MAX;
    size_t out = kLzrwHeaderBytes;
    if (!overrun) {
        std::memset(table, 0, kTableBytes);
        WriteFlagHeader(dst, kLzrwFlagCompressed);
        size_t controlAt = out;
        out += 2;
        uint32_t control = 0;
        unsigned items = 0;
        size_t p = 0;
        uint16_t hashes[kHashBlock + kRoundInput];
        size_t hashesFrom = 0, hashesTo = 0;  // the positions whose indices are in hashes

        // One item at p, with 18 bytes readable there and its slot index at hand; a copy sets
        // bit in bits. Returns how far the item went. Each item starts where the one before
        // ended, so the chain from p to the next p is kept short: the candidate's bytes are
        // compared before the candidate is tested.
        const auto emitItem = [&](size_t index, uint32_t& bits, uint32_t bit) {
            const uint8_t* s = src + p;
            uint32_t& slot = table[index];
            const size_t from = slot;
            slot = static_cast<uint32_t>(p);
            const size_t length = MatchLength(s, src + from);
            const size_t offset = p - from;
            const size_t inReach = size_t{offset - 1 < kLzrwMaxOffset};  // 1..4095
            // One branch on both tests: on incompressible input it is then well predicted.
            size_t advance = 1;
            if ((length & (0 - inReach)) >= kLzrwMinCopy) {
                advance = length;
                dst[out] = static_cast<uint8_t>(((offset >> 4) & 0xF0) | (length - kLzrwMinCopy));
                dst[out + 1] = static_cast<uint8_t>(offset & 0xFF);
                out += 2;
                bits |= bit;
            } else {
                dst[out++] = *s;
            }
            p += advance;
            return advance;
        };

        for (;;) {
            if (out > n) {
                overrun = true;
                break;
            }
            if (p + kRoundInput <= n) {
                // A whole round: every item reads at most 18 bytes, so no end tests. Rounds
                // only run from the start, so each one fills exactly one control word. Its
                // items start before p + 271: their indices must be at hand up to there.
                if (p + kRoundInput - kLzrwMaxCopy + 1 > hashesTo) {
                    hashesFrom = p;
                    hashesTo = std::min(p + kHashBlock + kRoundInput, n - 2);
                    HashIndices(src + p, hashesTo - p, hashes);
                }
                const uint16_t* h = hashes + (p - hashesFrom);
                uint32_t bits = 0;
                for (unsigned i = 0; i < kGroupItems; ++i)
                    h += emitItem(*h, bits, 1u << i);
                control = bits;
                items = kGroupItems;
            } else if (p + kLzrwMaxCopy <= n) {
                emitItem(HashIndex(src + p), control, 1u << items++);
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

    // Whole groups without end tests while the stream holds 64 bytes more (a group takes at
    // most 34, and literals are read 16 at a time) and the output has room for the group's
    // 288 bytes and the words written past its end. Such stray bytes are at most 21 past the
    // item that wrote them, and the 30 stream bytes still left after the group decode to at
    // least 26 more: an intact stream overwrites them all. Only the copy offsets are checked.
    while (static_cast<size_t>(inEnd - in) >= kFastStream && capacity - out >= kFastOutput) {
        // A stop bit above the 16 control bits ends the group.
        uint32_t control = in[0] | (in[1] << 8) | (1u << kGroupItems);
        in += 2;
        for (;;) {
            const auto literals = static_cast<unsigned>(std::countr_zero(control));
            Copy16(dst + out, in);
            in += literals;
            out += literals;
            control >>= literals;
            if (control == 1)
                break;
            control >>= 1;
            const size_t offset = ((in[0] & 0xF0u) << 4) | in[1];
            const size_t length = (in[0] & 0x0Fu) + kLzrwMinCopy;
            in += 2;
            if (offset - 1 >= out)  // offset 0 wraps around
                return false;
            if (out >= 8)  // short patterns are read from the 8 bytes before
                CopyItemWide(dst + out, offset, length);
            else
                CopyFromBehind(dst + out, offset, length);
            out += length;
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
