// Text entries of text object records: storing, finding per card, purging, and hostile lengths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/memory/ByteReader.h"
#include "stack/cards/FieldText.h"
#include "format/StackFile.h"

namespace {

std::vector<uint8_t> EmptyTextObject(uint16_t flags = 0) {
    std::vector<uint8_t> o(kEmptyTextRecordBytes);
    SetU16(o, kObjectKind, kObjectText);
    SetU16(o, kObjectId, 7);
    SetU32(o, kObjectLength, kEmptyTextRecordBytes);
    SetU16(o, kObjectFlags, flags);
    SetU16(o, kTextHeaderBytes, kTextEntryType);  // length not yet set
    return o;
}

std::span<const uint8_t> Bytes(const std::string& s) { return {reinterpret_cast<const uint8_t*>(s.data()), s.size()}; }

std::string TextFor(const std::vector<uint8_t>& o, uint16_t card) {
    const auto e = FindFieldTextEntry(o, card, 0);
    const auto text = FieldEntryText(o, *e);
    return {text.begin(), text.end()};
}

StyleRun BoldRed(int32_t start) {
    return {.start = start, .lineHeight = 28, .ascent = 22, .fontNumber = 3, .face = 1, .size = 24, .red = 0xFF00};
}

TEST(FieldText, StoresReadsAndPadsEntries) {
    std::vector<uint8_t> o = EmptyTextObject();
    ASSERT_EQ(ListFieldTextEntries(o).size(), 1u);
    // An empty object's first run is the default one.
    const std::vector<uint8_t> standard = GetFirstStyleRun(o, 1, 0);
    EXPECT_EQ(standard, (std::vector<uint8_t>{0, 1, 0, 0, 0, 0, 0, 16, 0, 13, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0}));

    // An empty field: text length 0, one run, no pad.
    const StyleRun first;
    ASSERT_TRUE(StoreFieldEntry(o, 1, 0, {}, WriteStyleScrap(std::span(&first, 1))));
    EXPECT_EQ(o.size(), kTextHeaderBytes + 16u + kOneRunScrapBytes);
    EXPECT_EQ(GetU32(o, kObjectLength), o.size());
    EXPECT_EQ(GetU32(o, kTextHeaderBytes + kSubPathLength), 0u);
    EXPECT_EQ(ReadStyleScrap(FieldEntryScrap(o, ListFieldTextEntries(o)[0]), 0).size(), 1u);

    // Odd text with a 22-byte scrap: one pad byte and the flag, left out on reading back.
    const std::vector<StyleRun> runs = {BoldRed(0), BoldRed(2)};
    const std::vector<uint8_t> scrap = WriteStyleScrap(std::span(runs).first(1));
    ASSERT_EQ(scrap.size(), 22u);
    ASSERT_TRUE(StoreFieldEntry(o, 1, 0, Bytes("abc\xA5"), scrap));
    ASSERT_TRUE(StoreFieldEntry(o, 1, 0, Bytes("ab\xA5"), scrap));
    const FieldTextEntry e = ListFieldTextEntries(o).at(0);
    EXPECT_EQ(e.flags, kTextEntryPadded);
    EXPECT_EQ(e.length, 16u + 3 + 22 + 1);
    EXPECT_EQ(o.size(), kTextHeaderBytes + e.length);
    EXPECT_EQ(TextFor(o, 1), "ab\xA5");
    const std::vector<StyleRun> back = ReadStyleScrap(FieldEntryScrap(o, e), 3);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].face, 1);
    EXPECT_EQ(back[0].red, 0xFF00);
    EXPECT_EQ(back[0].size, 24);
    EXPECT_EQ(GetFirstStyleRun(o, 1, 0), scrap);

    // Disk style block after a path.
    std::vector<uint8_t> disk = EmptyTextObject(kObjectHasPath);
    std::vector<uint8_t> block(kDiskStyleBytes);
    ASSERT_TRUE(StoreFieldEntry(disk, 1, 0, Bytes(std::string("C:\\a.txt") + '\0'), block));
    ASSERT_TRUE(WriteDiskStyle(disk, BoldRed(0)));
    EXPECT_EQ(ReadDiskStyle(disk).red, 0xFF00);
    EXPECT_EQ(ReadDiskStyle(disk).size, 24);

    // A newly placed object: header fields, the base style of the first run, an empty entry for
    // its card; text stored later replaces that entry.
    const NewTextObject fields{.id = 9, .left = 1, .top = 2, .right = 30, .bottom = 40, .options = kTextFrame,
                               .flags = kObjectBackground, .colorPlusOne = 5, .alignment = -1, .actionId = 130};
    std::vector<uint8_t> made = BuildTextObjectRecord(fields, "Notes", WriteStyleScrap(std::span(runs).first(1)), 4, {});
    ASSERT_EQ(made.size(), kEmptyTextRecordBytes);
    EXPECT_EQ(GetU32(made, kObjectLength), kEmptyTextRecordBytes);
    EXPECT_EQ(GetU16(made, kObjectKind), kObjectText);
    EXPECT_EQ(GetU16(made, kObjectRect + 6), 40);
    EXPECT_EQ(GetU16(made, kTextColor), 5);
    EXPECT_EQ(static_cast<int16_t>(GetU16(made, kTextAlignment)), -1);
    EXPECT_EQ(GetU16(made, kTextAction), 130);
    EXPECT_EQ(made[kTextName], 5);
    EXPECT_EQ(GetBE16(made, kTextBaseFont), 3);
    EXPECT_EQ(made[kTextBaseFace], 1);
    EXPECT_EQ(GetBE16(made, kTextBaseSize), 24);
    ASSERT_EQ(ListFieldTextEntries(made).size(), 1u);
    EXPECT_EQ(ListFieldTextEntries(made)[0].cardId, 4);
    ASSERT_TRUE(StoreFieldEntry(made, 4, 0, Bytes("hi"), scrap));
    EXPECT_EQ(ListFieldTextEntries(made).size(), 1u);
    EXPECT_EQ(TextFor(made, 4), "hi");
    // No run given: the default base style.
    made = BuildTextObjectRecord(fields, "", {}, 4, {});
    EXPECT_EQ(GetBE16(made, kTextBaseSize), 16);
}

TEST(FieldText, BackgroundEntriesPerCardAndPurge) {
    std::vector<uint8_t> o = EmptyTextObject(kObjectBackground);
    ASSERT_TRUE(StoreFieldEntry(o, 5, 0, Bytes("on A"), {}));
    // Card B has no entry: A's text shows, and the clipboard's source card is looked at first.
    EXPECT_EQ(TextFor(o, 6), "on A");
    ASSERT_TRUE(StoreFieldEntry(o, 6, 0, Bytes("on B!"), {}));
    ASSERT_EQ(ListFieldTextEntries(o).size(), 2u);
    EXPECT_EQ(TextFor(o, 5), "on A");
    EXPECT_EQ(TextFor(o, 6), "on B!");
    EXPECT_EQ(FieldEntryText(o, *FindFieldTextEntry(o, 9, 5)).size(), 4u);
    EXPECT_EQ(GetU32(o, kObjectLength), o.size());

    std::vector<uint8_t> other = o;
    EXPECT_EQ(PurgeFieldEntries(o, 5, 1), 1);  // the card's own
    ASSERT_EQ(ListFieldTextEntries(o).size(), 1u);
    EXPECT_EQ(TextFor(o, 6), "on B!");
    EXPECT_EQ(PurgeFieldEntries(other, 5, 0), 1);  // every other card's
    ASSERT_EQ(ListFieldTextEntries(other).size(), 1u);
    EXPECT_EQ(TextFor(other, 5), "on A");
    EXPECT_EQ(GetU32(other, kObjectLength), other.size());
    // The last entry is emptied, never removed.
    EXPECT_EQ(PurgeFieldEntries(other, 6, 0), 1);
    EXPECT_EQ(other.size(), kEmptyTextRecordBytes);
    EXPECT_EQ(TextFor(other, 6), "");
    // A foreground object keeps its entries.
    std::vector<uint8_t> plain = EmptyTextObject();
    ASSERT_TRUE(StoreFieldEntry(plain, 5, 0, Bytes("x"), {}));
    EXPECT_EQ(PurgeFieldEntries(plain, 5, 1), 0);
}

// Files carry an odd entry with the pad byte after it, flagged on the record (not on the entry).
// Storing text of another length, or purging an entry, keeps the record even with its flag
// telling the truth, so that a save can write it.
TEST(FieldText, ARecordPaddedAsAWholeStaysEven) {
    for (const uint16_t flags : {uint16_t{0}, uint16_t{kObjectBackground}})
        for (const std::string typed : {"Hello ", "Hello", "Hello!!"}) {
            std::vector<uint8_t> o = EmptyTextObject(flags | kObjectPadded);
            o.resize(kTextHeaderBytes + kSubRecordHeaderBytes + 5 + 1);
            std::copy_n("Hello", 5, o.begin() + kTextHeaderBytes + kSubRecordHeaderBytes);
            SetU16(o, kTextHeaderBytes + kSubOwnerCard, 5);
            SetU32(o, kTextHeaderBytes + kSubPathLength, 5);
            SetU32(o, kTextHeaderBytes + kSubLength, kSubRecordHeaderBytes + 5);
            SetU32(o, kObjectLength, static_cast<uint32_t>(o.size()));
            ASSERT_EQ(TextFor(o, 5), "Hello");

            const StyleRun run;
            ASSERT_TRUE(StoreFieldEntry(o, 5, 0, Bytes(typed), WriteStyleScrap(std::span(&run, 1))));
            const auto even = [&](const std::vector<uint8_t>& record, const std::string& what) {
                EXPECT_EQ(record.size() % 2, 0u) << what << " '" << typed << "'";
                EXPECT_EQ(GetU32(record, kObjectLength), record.size()) << what;
                const std::vector<FieldTextEntry> entries = ListFieldTextEntries(record);
                ASSERT_FALSE(entries.empty()) << what;
                const uint32_t used = entries.back().offset + entries.back().length;
                EXPECT_EQ(record.size() - used, (GetU16(record, kObjectFlags) & kObjectPadded) ? 1u : 0u) << what;
                std::vector<uint8_t> file = record;
                const char* reason = "";
                EXPECT_EQ(ConvertObjectRecord(file, ByteOrder::ToFile, StackConversion{}, &reason), kStackOk)
                    << what << ": " << reason;
            };
            even(o, "stored");
            EXPECT_EQ(TextFor(o, 5), typed);
            if (flags & kObjectBackground) {
                ASSERT_TRUE(StoreFieldEntry(o, 6, 0, Bytes("odd"), {}));
                even(o, "another card's");
                EXPECT_EQ(PurgeFieldEntries(o, 6, 1), 1);
                even(o, "purged");
                EXPECT_EQ(TextFor(o, 5), typed);
            }
        }
}

TEST(FieldText, HostileLengthsStayInside) {
    std::vector<uint8_t> o = EmptyTextObject(kObjectBackground);
    ASSERT_TRUE(StoreFieldEntry(o, 5, 0, Bytes("first"), {}));
    // A second entry whose length is 0 would loop; one past the end, or text past its entry,
    // ends the walk.
    for (uint32_t length : {0u, 1000u}) {
        std::vector<uint8_t> bad = o;
        bad.resize(bad.size() + 20);
        const uint32_t at = static_cast<uint32_t>(o.size());
        SetU16(bad, at, kTextEntryType);
        SetU16(bad, at + kSubOwnerCard, 6);
        SetU32(bad, at + kSubLength, length);
        SetU32(bad, kObjectLength, static_cast<uint32_t>(bad.size()));
        EXPECT_EQ(ListFieldTextEntries(bad).size(), 1u);
        EXPECT_EQ(TextFor(bad, 6), "first");
    }
    std::vector<uint8_t> bad = o;
    SetU32(bad, kTextHeaderBytes + kSubPathLength, 500);
    EXPECT_TRUE(ListFieldTextEntries(bad).empty());

    // Run count past the scrap; starts out of order and past the text.
    std::vector<StyleRun> runs = {BoldRed(9), BoldRed(40), BoldRed(3), BoldRed(-2)};
    runs[1].size = 0;
    std::vector<uint8_t> scrap = WriteStyleScrap(runs);
    SetBE16(scrap, 0, 300);
    const std::vector<StyleRun> read = ReadStyleScrap(scrap, 10);
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].start, 0);
    EXPECT_EQ(read[1].start, 10);
    EXPECT_EQ(read[2].start, 10);
    EXPECT_EQ(read[3].start, 10);
    EXPECT_EQ(ShownRunSize(read[1]), 12);
    SetBE16(scrap, 0, 0xFFFF);
    EXPECT_TRUE(ReadStyleScrap(scrap, 10).empty());
}

}  // namespace
