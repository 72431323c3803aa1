// LZRW1 coder: exact streams for known inputs, agreement with a plain rendering of the published
// algorithm, round trips over many sizes and patterns, equal output for equal input, and the
// decoder's refusal of damaged streams.
#include "graphics/pixels/Lzrw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::string Hex(const Bytes& b, size_t limit = 48) {
    std::string s;
    char buf[4];
    for (size_t i = 0; i < b.size() && i < limit; ++i) {
        std::snprintf(buf, sizeof buf, "%02X ", b[i]);
        s += buf;
    }
    if (b.size() > limit)
        s += "...";
    return s;
}

Bytes Compress(const Bytes& in) {
    std::vector<uint8_t> work(kLzrwWorkAreaBytes);
    Bytes out(LzrwCompressBound(in.size()));
    size_t length = 12345;
    EXPECT_TRUE(LzrwCompress(work, in, out, length));
    out.resize(length);
    return out;
}

// Decodes into a destination of exactly `capacity` bytes, followed by a guard zone that must
// stay untouched; on success, so must the destination past the decoded bytes.
bool Decompress(const Bytes& stream, size_t capacity, Bytes& result) {
    constexpr size_t kGuard = 64;
    Bytes buffer(capacity + kGuard, 0xA5);
    size_t length = 12345;
    const bool ok = LzrwDecompress(stream, std::span<uint8_t>(buffer.data(), capacity), length);
    for (size_t i = ok ? std::min(length, capacity) : capacity; i < buffer.size(); ++i) {
        if (buffer[i] != 0xA5) {
            ADD_FAILURE() << "written past " << (i < capacity ? "the decoded bytes" : "the destination") << " at " << i;
            break;
        }
    }
    if (!ok) {
        EXPECT_EQ(length, 0u);
    }
    EXPECT_LE(length, capacity);
    result.assign(buffer.begin(), buffer.begin() + std::min(length, capacity));
    return ok;
}

// --- A plain rendering of the published compressor and decompressor, for comparison. It keeps
// the published control-word handling (shift right, set bit 15 for a copy, shift the last word
// down) and compares byte by byte; its table is cleared, like ours.
Bytes ReferenceCompress(const Bytes& in, bool signedHash) {
    const long n = static_cast<long>(in.size());
    Bytes out(in.size() + 64);
    std::array<long, 4096> hash;
    hash.fill(-1);
    long dst = 4, pControl = 4;
    dst += 2;
    unsigned control = 0, controlBits = 0;
    long src = 0;
    const long srcMax1 = n - 18, srcMax16 = n - 16 * 18;
    auto byteAt = [&](long i) -> int {
        return signedHash ? static_cast<int>(static_cast<int8_t>(in[i])) : in[i];
    };
    for (;;) {
        if (dst > n)
            goto overrun;
        {
            int unroll = 16;
            if (src > srcMax16) {
                unroll = 1;
                if (src > srcMax1) {
                    if (src == n)
                        break;
                    out[dst++] = in[src++];
                    control >>= 1;
                    ++controlBits;
                    goto endRound;
                }
            }
            while (unroll--) {
                const uint32_t h = static_cast<uint32_t>(((byteAt(src) << 4) ^ byteAt(src + 1)) << 4 ^ byteAt(src + 2));
                const unsigned index = ((40543u * h) >> 4) & 0xFFF;
                const long p = hash[index];
                hash[index] = src;
                const long offset = src - p;
                int len = 0;
                if (p >= 0 && offset >= 1 && offset <= 4095)
                    while (len < 18 && in[p + len] == in[src + len])
                        ++len;
                if (len < 3) {
                    out[dst++] = in[src++];
                    control >>= 1;
                } else {
                    out[dst++] = static_cast<uint8_t>(((offset & 0xF00) >> 4) + (len - 3));
                    out[dst++] = static_cast<uint8_t>(offset & 0xFF);
                    src += len;
                    control = (control >> 1) | 0x8000;
                }
                ++controlBits;
            }
        }
    endRound:
        if (controlBits == 16) {
            out[pControl] = control & 0xFF;
            out[pControl + 1] = static_cast<uint8_t>(control >> 8);
            pControl = dst;
            dst += 2;
            control = controlBits = 0;
        }
    }
    control >>= 16 - controlBits;
    out[pControl] = control & 0xFF;
    out[pControl + 1] = static_cast<uint8_t>(control >> 8);
    if (pControl + 2 == dst)
        dst -= 2;
    out.resize(dst);
    return out;
overrun:
    out.assign(4, 0);
    out[0] = 1;
    out.insert(out.end(), in.begin(), in.end());
    return out;
}

Bytes ReferenceDecompress(const Bytes& stream) {
    Bytes out;
    if (stream[0] == 1)
        return Bytes(stream.begin() + 4, stream.end());
    size_t s = 4;
    unsigned control = 0, controlBits = 0;
    while (s != stream.size()) {
        if (controlBits == 0) {
            control = stream.at(s) | stream.at(s + 1) << 8;
            s += 2;
            controlBits = 16;
        }
        --controlBits;
        if (control & 1) {
            const size_t offset = (stream.at(s) & 0xF0) << 4 | stream.at(s + 1);
            size_t len = (stream.at(s) & 0xF) + 3;
            s += 2;
            size_t from = out.size() - offset;
            while (len--)
                out.push_back(out.at(from++));
        } else {
            out.push_back(stream.at(s++));
        }
        control >>= 1;
    }
    return out;
}

// --- Inputs.
Bytes Random(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b)
        x = static_cast<uint8_t>(rng());
    return b;
}

struct Pattern {
    const char* name;
    Bytes (*make)(size_t n, uint32_t seed);
};

const Pattern kPatterns[] = {
    {"zeros", [](size_t n, uint32_t) { return Bytes(n, 0); }},
    {"0x80", [](size_t n, uint32_t) { return Bytes(n, 0x80); }},
    {"random", Random},
    {"ramp", [](size_t n, uint32_t) {
         Bytes b(n);
         for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(i);
         return b;
     }},
    {"short periods", [](size_t n, uint32_t seed) {
         Bytes b(n);
         const size_t period = 1 + seed % 23;
         for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(0x7D + (i % period) * 37);
         return b;
     }},
    {"runs and noise", [](size_t n, uint32_t seed) {
         std::mt19937 rng(seed);
         Bytes b(n);
         for (size_t i = 0; i < n;) {
             const size_t len = 1 + rng() % 40;
             const bool run = rng() % 2;
             const uint8_t v = static_cast<uint8_t>(rng());
             for (size_t k = 0; k < len && i < n; ++k, ++i) b[i] = run ? v : static_cast<uint8_t>(rng());
         }
         return b;
     }},
    {"few symbols", [](size_t n, uint32_t seed) {  // many short matches and hash collisions
         std::mt19937 rng(seed);
         Bytes b(n);
         for (auto& x : b) x = static_cast<uint8_t>(0x7E + rng() % 4);
         return b;
     }},
    {"far repeats", [](size_t n, uint32_t seed) {  // blocks repeated near the 4095 limit
         Bytes block = Random(4094 + seed % 5, seed);
         Bytes b(n);
         for (size_t i = 0; i < n; ++i) b[i] = block[i % block.size()];
         return b;
     }},
    {"text", [](size_t n, uint32_t seed) {
         static const char words[] = "the card shows a picture of the stack and the card ";
         std::mt19937 rng(seed);
         Bytes b(n);
         for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(words[(i + rng() % 2) % (sizeof words - 1)]);
         return b;
     }},
};

std::vector<size_t> Sizes() {
    std::vector<size_t> sizes;
    for (size_t n = 0; n <= 320; ++n)
        sizes.push_back(n);
    for (size_t n : {511u, 577u, 1000u, 4095u, 4096u, 4097u, 8191u, 20000u, 65543u, 300001u})
        sizes.push_back(n);
    return sizes;
}

TEST(Lzrw, InputsShorterThanSixBytesAreStored) {
    for (size_t n = 0; n < 6; ++n) {
        const Bytes in(n, 0x41);  // as repetitive as it gets
        const Bytes out = Compress(in);
        ASSERT_EQ(out.size(), n + 4) << "n=" << n;
        EXPECT_EQ(out[0], kLzrwFlagStored);
        EXPECT_EQ(out[1] | out[2] | out[3], 0);
        EXPECT_TRUE(std::equal(in.begin(), in.end(), out.begin() + 4)) << Hex(out);
    }
    // Six equal bytes are tried, but literals and one copy do not shrink them either.
    const Bytes six(6, 0x41);
    EXPECT_EQ(Compress(six)[0], kLzrwFlagStored);
}

TEST(Lzrw, TwentyEqualBytes) {
    const Bytes in(20, 0x78);
    const Bytes out = Compress(in);
    const Bytes expected = {0x00, 0x00, 0x00, 0x00, 0x02, 0x00, 0x78, 0x0F, 0x01, 0x78};
    EXPECT_EQ(out, expected) << Hex(out);
    Bytes back;
    ASSERT_TRUE(Decompress(out, 20, back));
    EXPECT_EQ(back, in);
    // One byte short of room: refused, nothing written past it.
    EXPECT_FALSE(Decompress(out, 19, back));
}

TEST(Lzrw, GroupsOfSixteenItems) {
    // 16 literals then a copy: the first control word is 0x0000, the second covers one item.
    Bytes in = Random(16, 7);
    for (int i = 0; i < 5; ++i)
        in.insert(in.end(), in.begin(), in.begin() + 16);  // 96 bytes, repeats of the first 16
    const Bytes out = Compress(in);
    ASSERT_EQ(out[0], kLzrwFlagCompressed);
    EXPECT_EQ(out[4], 0x00);
    EXPECT_EQ(out[5], 0x00);
    // After the 16 literals (at 6..21) the next control word has only copy items (offset 16).
    EXPECT_EQ(out[22] & 1, 1);
    EXPECT_EQ(out[25], 16) << Hex(out);
    EXPECT_EQ(out, ReferenceCompress(in, true)) << Hex(out);
    Bytes back;
    ASSERT_TRUE(Decompress(out, in.size(), back));
    EXPECT_EQ(back, in);
}

TEST(Lzrw, RandomInputIsStored) {
    for (size_t n : {6u, 17u, 100u, 287u, 288u, 1000u, 65536u}) {
        const Bytes in = Random(n, static_cast<uint32_t>(n));
        const Bytes out = Compress(in);
        ASSERT_EQ(out.size(), n + 4) << "n=" << n;
        EXPECT_EQ(out[0], kLzrwFlagStored);
        EXPECT_TRUE(std::equal(in.begin(), in.end(), out.begin() + 4));
    }
}

TEST(Lzrw, RoundTripsAndMatchesThePublishedAlgorithm) {
    uint32_t seed = 1;
    for (const Pattern& pattern : kPatterns) {
        for (size_t n : Sizes()) {
            const Bytes in = pattern.make(n, seed++);
            const Bytes out = Compress(in);
            SCOPED_TRACE(std::string(pattern.name) + " n=" + std::to_string(n));
            ASSERT_LE(out.size(), n + 4);
            ASSERT_GE(out.size(), 4u);
            ASSERT_TRUE(out[0] == kLzrwFlagCompressed || out[0] == kLzrwFlagStored);
            if (out[0] == kLzrwFlagCompressed) {
                ASSERT_LE(out.size(), n);
            }
            ASSERT_EQ(out, ReferenceCompress(in, true)) << Hex(out);
            Bytes back;
            ASSERT_TRUE(Decompress(out, n, back));
            ASSERT_EQ(back, in);
            // A larger destination is fine and gets only n bytes.
            ASSERT_TRUE(Decompress(out, n + 300, back));
            ASSERT_EQ(back, in);
            if (n > 0) {
                ASSERT_FALSE(Decompress(out, n - 1, back));
            }
        }
    }
}

TEST(Lzrw, ReadsStreamsOfTheUnsignedHashVariant) {
    // Other encoders hash the bytes unsigned: different matches, same stream format.
    bool someDiffer = false;
    for (uint32_t seed = 1; seed < 40; ++seed) {
        // Words of bytes 0x60..0x9F, half of which hash differently read unsigned: many
        // distinct triples, so the table slots they fall into decide the matches.
        std::mt19937 rng(seed);
        std::vector<Bytes> words(300);
        for (auto& w : words) {
            w.resize(3 + rng() % 6);
            for (auto& x : w)
                x = static_cast<uint8_t>(0x60 + rng() % 64);
        }
        Bytes in;
        while (in.size() < 3000)
            for (uint8_t x : words[rng() % words.size()])
                in.push_back(x);
        const Bytes theirs = ReferenceCompress(in, false);
        const Bytes ours = Compress(in);
        someDiffer |= theirs != ours;
        EXPECT_EQ(ReferenceDecompress(ours), in);
        Bytes back;
        ASSERT_TRUE(Decompress(theirs, in.size(), back)) << "seed " << seed;
        EXPECT_EQ(back, in);
    }
    EXPECT_TRUE(someDiffer) << "bytes 0x80..0xFF must hash as negative values";
}

TEST(Lzrw, EqualInputGivesEqualOutput) {
    const Bytes in = kPatterns[5].make(50000, 99);
    const Bytes clean = Compress(in);
    // A dirty work area at every alignment: the table is cleared, so stale slots never count.
    std::vector<uint8_t> work(kLzrwWorkAreaBytes + 3);
    for (size_t shift = 0; shift < 4; ++shift) {
        for (auto& x : work)
            x = static_cast<uint8_t>(0xFF - shift);
        // Leave slots pointing into a previous input, too.
        size_t length = 0;
        Bytes scratch(LzrwCompressBound(in.size()));
        const Bytes other = kPatterns[5].make(50000, 100 + static_cast<uint32_t>(shift));
        ASSERT_TRUE(LzrwCompress(std::span(work).subspan(shift, kLzrwWorkAreaBytes), other, scratch, length));
        ASSERT_TRUE(LzrwCompress(std::span(work).subspan(shift, kLzrwWorkAreaBytes), in, scratch, length));
        scratch.resize(length);
        EXPECT_EQ(scratch, clean) << "work area shifted by " << shift;
    }
}

TEST(Lzrw, CompressRefusesTooLittleRoom) {
    const Bytes in(100, 1);
    std::vector<uint8_t> work(kLzrwWorkAreaBytes);
    Bytes out(LzrwCompressBound(100) - 1, 0xEE);
    size_t length = 777;
    EXPECT_FALSE(LzrwCompress(work, in, out, length));
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(out[0], 0xEE) << "nothing written";
    out.resize(LzrwCompressBound(100));
    std::vector<uint8_t> small(4096 * 4 - 1);
    EXPECT_FALSE(LzrwCompress(small, in, out, length));
    EXPECT_TRUE(LzrwCompress(work, in, out, length));
}

TEST(Lzrw, EmptyAndShortStreams) {
    Bytes back;
    size_t length = 999;
    uint8_t dst[8];
    EXPECT_TRUE(LzrwDecompress({}, dst, length));
    EXPECT_EQ(length, 0u) << "an empty stream sets the out length";
    for (size_t n = 1; n < 4; ++n)
        EXPECT_FALSE(Decompress(Bytes(n, 0), 8, back)) << n;
    // A header alone decodes to nothing, in both forms.
    EXPECT_TRUE(Decompress({0, 0, 0, 0}, 0, back));
    EXPECT_TRUE(Decompress({1, 0, 0, 0}, 0, back));
    EXPECT_TRUE(back.empty());
}

TEST(Lzrw, DamagedStreamsAreRefused) {
    struct Case {
        const char* what;
        Bytes stream;
        size_t capacity;
        bool ok;
        Bytes expected;
    };
    const Case cases[] = {
        {"flag 2", {2, 0, 0, 0, 0x41}, 8, false, {}},
        {"flag 0xFF", {0xFF, 0, 0, 0}, 8, false, {}},
        {"row record length in bytes 2..3 is not read", {1, 0, 0x00, 0x06, 7, 8}, 8, true, {7, 8}},
        {"stored copy larger than the destination", {1, 0, 0, 0, 1, 2, 3}, 2, false, {}},
        {"copy before the output's start", {0, 0, 0, 0, 0x02, 0x00, 0x41, 0x00, 0x02}, 8, false, {}},
        {"copy from offset 0", {0, 0, 0, 0, 0x02, 0x00, 0x41, 0x00, 0x00}, 8, false, {}},
        {"largest offset, far too far", {0, 0, 0, 0, 0x01, 0x00, 0xFF, 0xFF}, 100, false, {}},
        {"copy cut short", {0, 0, 0, 0, 0x02, 0x00, 0x41, 0x00}, 8, false, {}},
        {"control word cut short", {0, 0, 0, 0, 0x00}, 8, false, {}},
        {"control word with no item", {0, 0, 0, 0, 0x00, 0x00}, 8, true, {}},
        {"group ends early", {0, 0, 0, 0, 0x02, 0x00, 0x41, 0x02, 0x01}, 8, true, {0x41, 0x41, 0x41, 0x41, 0x41, 0x41}},
        {"copy one past the destination", {0, 0, 0, 0, 0x02, 0x00, 0x41, 0x02, 0x01}, 5, false, {}},
        {"literal past the destination", {0, 0, 0, 0, 0x00, 0x00, 1, 2, 3}, 2, false, {}},
        {"overlapping copy repeats the pattern", {0, 0, 0, 0, 0x04, 0x00, 1, 2, 0x04, 0x02}, 9, true, {1, 2, 1, 2, 1, 2, 1, 2, 1}},
    };
    for (const Case& c : cases) {
        Bytes back;
        EXPECT_EQ(Decompress(c.stream, c.capacity, back), c.ok) << c.what;
        if (c.ok) {
            EXPECT_EQ(back, c.expected) << c.what;
        }
    }
}

TEST(Lzrw, DamageInsideWholeGroupsIsRefused) {
    // Long streams take the whole-group path; bad offsets and overruns are caught there too.
    const Bytes in = kPatterns[5].make(5000, 3);
    const Bytes good = Compress(in);
    ASSERT_EQ(good[0], kLzrwFlagCompressed);
    Bytes back;
    ASSERT_TRUE(Decompress(good, in.size(), back));
    EXPECT_FALSE(Decompress(good, in.size() - 1, back));
    EXPECT_FALSE(Decompress(good, 1000, back));

    // Every copy item in the first groups pointed to before the start / at offset 0.
    for (uint8_t hi : {uint8_t{0xF0}, uint8_t{0x00}}) {
        Bytes bad = good;
        size_t s = 4;
        bool changed = false;
        for (int group = 0; group < 4 && s + 2 <= bad.size(); ++group) {
            unsigned control = bad[s] | bad[s + 1] << 8;
            s += 2;
            for (int i = 0; i < 16 && s < bad.size(); ++i, control >>= 1) {
                if (control & 1) {
                    bad[s] = static_cast<uint8_t>(hi | (bad[s] & 0x0F));
                    bad[s + 1] = hi ? 0xFF : 0x00;
                    changed = true;
                    s += 2;
                } else {
                    ++s;
                }
            }
        }
        ASSERT_TRUE(changed);
        EXPECT_FALSE(Decompress(bad, in.size(), back)) << std::hex << int(hi);
    }
}

}  // namespace
