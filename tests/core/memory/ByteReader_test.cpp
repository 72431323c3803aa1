// The byte reader and writer and the record field accessors: byte orders, the sticky ok flag,
// and fields written whole or not at all.
#include "core/memory/ByteReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(ByteReader, ReadsInTheNamedOrderAndYieldsZeroPastTheEnd) {
    const Bytes bytes = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xFF, 0xFE};
    ByteReader r(bytes);
    EXPECT_EQ(r.U16BE(), 0x1234);
    EXPECT_EQ(r.U16LE(), 0x7856);
    EXPECT_EQ(r.I16BE(), static_cast<int16_t>(0x9AFF));
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.remaining(), 1u);
    EXPECT_EQ(r.U16BE(), 0) << "one byte left: nothing is read";
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.U8(), 0) << "the flag sticks: the byte that is there is not read";

    ByteReader words(bytes, 1);
    EXPECT_EQ(words.U32BE(), 0x3456789Au);
    ByteReader little(bytes, 1);
    EXPECT_EQ(little.U32LE(), 0x9A785634u);
    const Bytes minusTwo = {0xFE, 0xFF, 0xFF, 0xFF};
    ByteReader signedLittle(minusTwo);
    EXPECT_EQ(signedLittle.I32LE(), -2);

    ByteReader past(bytes, 8);
    EXPECT_FALSE(past.ok()) << "a start past the end";
    EXPECT_EQ(past.remaining(), 0u);
    ByteReader skipping(bytes);
    skipping.Skip(7);
    EXPECT_TRUE(skipping.ok());
    EXPECT_TRUE(skipping.Bytes(1).empty());
    EXPECT_FALSE(skipping.ok());

    // Record fields at offsets: out of range reads 0.
    EXPECT_EQ(GetBE16(bytes, 5), 0xFFFE);
    EXPECT_EQ(GetU16(bytes, 5), 0xFEFF);
    EXPECT_EQ(GetI16(bytes, 5), static_cast<int16_t>(0xFEFF));
    EXPECT_EQ(GetBE32(bytes, 3), 0x789AFFFEu);
    EXPECT_EQ(GetU32(bytes, 0), 0x78563412u);
    EXPECT_EQ(GetBE32(bytes, 4), 0u);
    EXPECT_EQ(GetU16(bytes, 6), 0u);
    EXPECT_EQ(GetU32(bytes, SIZE_MAX), 0u);
}

TEST(ByteWriter, FieldsAreWrittenWholeOrNotAtAll) {
    constexpr uint8_t kGuard = 0xA5;
    struct Field {
        const char* name;
        size_t width;
        std::function<void(ByteWriter&)> write;
        std::function<bool(std::span<uint8_t>, size_t)> set;  // the record accessor, if any
        Bytes expected;
    };
    const Field fields[] = {
        {"U8", 1, [](ByteWriter& w) { w.U8(0x81); }, nullptr, {0x81}},
        {"U16BE", 2, [](ByteWriter& w) { w.U16BE(0x1234); },
         [](std::span<uint8_t> r, size_t at) { return SetBE16(r, at, 0x1234); }, {0x12, 0x34}},
        {"U16LE", 2, [](ByteWriter& w) { w.U16LE(0x1234); },
         [](std::span<uint8_t> r, size_t at) { return SetU16(r, at, 0x1234); }, {0x34, 0x12}},
        {"U32BE", 4, [](ByteWriter& w) { w.U32BE(0x12345678); },
         [](std::span<uint8_t> r, size_t at) { return SetBE32(r, at, 0x12345678); }, {0x12, 0x34, 0x56, 0x78}},
        {"U32LE", 4, [](ByteWriter& w) { w.U32LE(0x12345678); },
         [](std::span<uint8_t> r, size_t at) { return SetU32(r, at, 0x12345678); }, {0x78, 0x56, 0x34, 0x12}},
        {"I32LE", 4, [](ByteWriter& w) { w.I32LE(-2); }, nullptr, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"Bytes", 3, [](ByteWriter& w) { w.Bytes(Bytes{7, 8, 9}); }, nullptr, {7, 8, 9}},
        {"Zeros", 3, [](ByteWriter& w) { w.Zeros(3); }, nullptr, {0, 0, 0}},
    };
    for (const Field& f : fields) {
        // Room for the whole field and for every shorter part of it, guard bytes around.
        for (size_t room = 0; room <= f.width; ++room) {
            SCOPED_TRACE(std::string(f.name) + ", room " + std::to_string(room));
            const bool fits = room == f.width;
            Bytes buffer(room + 2, kGuard);
            std::span<uint8_t> inside(buffer.data() + 1, room);
            ByteWriter w(inside, 0);
            f.write(w);
            EXPECT_EQ(w.ok(), fits);
            EXPECT_EQ(w.position(), fits ? f.width : 0);
            Bytes want(room + 2, kGuard);
            if (fits)
                std::copy(f.expected.begin(), f.expected.end(), want.begin() + 1);
            EXPECT_EQ(buffer, want);
            // Once a field did not fit, a later one that would is dropped too.
            w.Zeros(0);
            EXPECT_EQ(w.ok(), fits);

            if (f.set) {
                Bytes record(room + 2, kGuard);
                EXPECT_EQ(f.set(std::span<uint8_t>(record).first(room + 1), 1), fits);
                EXPECT_EQ(record, want);
            }
        }
        // Appending never runs out of room.
        Bytes grown = {kGuard};
        ByteWriter append(grown);
        f.write(append);
        EXPECT_TRUE(append.ok()) << f.name;
        EXPECT_EQ(append.position(), 1 + f.width) << f.name;
        Bytes want(1 + f.expected.size(), kGuard);
        std::copy(f.expected.begin(), f.expected.end(), want.begin() + 1);
        EXPECT_EQ(grown, want) << f.name;
    }

    Bytes record(4, kGuard);
    EXPECT_FALSE(SetU16(record, SIZE_MAX, 1)) << "an offset that would wrap";
    ByteWriter past(record, 5);
    past.U8(1);
    EXPECT_FALSE(past.ok()) << "a start past the end";
    EXPECT_EQ(record, Bytes(4, kGuard));
}

}  // namespace
