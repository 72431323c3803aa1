// The stack font table: bounded walks, new entries at the front, free numbers, Mac faces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/memory/ByteReader.h"
#include "objects/fonts/FontTable.h"

namespace {

std::vector<uint8_t> Entry(const std::string& face, uint16_t number, bool mac = false) {
    std::vector<uint8_t> e(kFontEntryBytes);
    e[0] = static_cast<uint8_t>(face.size());
    std::copy(face.begin(), face.end(), e.begin() + 1);
    SetBE16(e, kFontEntryNumber, number);
    SetBE16(e, kFontEntryMacFace, mac ? 1 : 0);
    return e;
}

TEST(FontTable, WalksFindsAddsAndNumbers) {
    std::vector<uint8_t> table = Entry("Geneva", 3, true);
    std::vector<uint8_t> second = Entry("Times", 1001);
    second[0] = 200;  // a face length past 63 reads as 63
    table.insert(table.end(), second.begin(), second.end());
    table.resize(table.size() + 40, 0xFF);  // a ragged tail is no entry
    const std::vector<FontEntry> entries = ReadFontTable(table);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].face.size(), kFontFaceMax);
    FontEntry found;
    ASSERT_TRUE(FindFontEntryByFace(table, "GENEVA", &found));
    EXPECT_EQ(found.number, 3);
    EXPECT_TRUE(found.macFace);
    EXPECT_EQ(MapMacFace(found.face), "arial");
    EXPECT_EQ(MapMacFace("Monaco"), "courier new");
    EXPECT_EQ(MapMacFace("Symbol"), "Symbol");
    EXPECT_FALSE(FindFontTableEntry(table, 77, &found));

    // A known face keeps its number; a new one goes to the front with the next free number.
    EXPECT_EQ(FontNumberForFace(table, "geneva", 0, 0, 12), 3);
    const uint16_t added = FontNumberForFace(table, "Verdana", 0, 34, 16);
    EXPECT_GE(added, 1000);
    EXPECT_NE(added, 1001);
    EXPECT_EQ(table.size(), 3 * kFontEntryBytes);
    ASSERT_TRUE(FindFontTableEntry(table, added, &found));
    EXPECT_EQ(found.face, "Verdana");
    EXPECT_EQ(found.weight, 400);
    EXPECT_EQ(found.size, 16);
    EXPECT_EQ(ReadFontTable(table).front().number, added);

    // The program's table: found by number; a new face goes to its front, in the bytes and the
    // entries; the same table loaded again gives the same new number (the counter starts again).
    LoadFontTableBytes(table);
    ASSERT_NE(FindFontByNumber(3), nullptr);
    EXPECT_EQ(FindFontByNumber(3)->face, "Geneva");
    EXPECT_EQ(FindFontByNumber(77), nullptr);
    const uint16_t tahoma = FontNumberForFace("Tahoma", 0, 0, 12);
    EXPECT_EQ(FontTableEntries().front().face, "Tahoma");
    EXPECT_EQ(ReadFontTable(FontTableBytes()).front().number, tahoma);
    ASSERT_NE(FindFontByNumber(tahoma), nullptr);
    LoadFontTableBytes(table);
    EXPECT_EQ(FindFontByNumber(tahoma), nullptr);
    EXPECT_EQ(FontNumberForFace("Tahoma", 0, 0, 12), tahoma);
    ResetFontTable();
    EXPECT_TRUE(FontTableEntries().empty());

    // Past 65000 the counter starts at 1000 again, skipping used numbers; with every number
    // taken a whole cycle gives none.
    std::vector<uint8_t> full;
    for (uint32_t n = 1000; n <= 65000; ++n) {
        const std::vector<uint8_t> e = Entry("F", static_cast<uint16_t>(n));
        full.insert(full.end(), e.begin(), e.end());
    }
    EXPECT_EQ(NextFreeFontNumber(full), 0);
    std::vector<uint8_t> some = Entry("F", 1000);
    uint16_t previous = 0;
    for (int i = 0; i < 64002; ++i) {
        const uint16_t n = NextFreeFontNumber(some);
        ASSERT_TRUE(n >= 1001 && n <= 65000);
        if (previous == 65000) {
            EXPECT_EQ(n, 1001);
            break;
        }
        previous = n;
    }
    EXPECT_EQ(previous, 65000);
}

}  // namespace
