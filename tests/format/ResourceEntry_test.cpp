// Resource entries: the header checks, the reader keeping data that does not convert and
// refusing an area that does not lie whole in the file, and the conversion of 'Actn', 'Hlnk',
// 'NBAs' and 'Crsr' data.
#include <cstring>
#include <utility>

#include "format/FormatUpcalls.h"
#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

class ResourceEntryTest : public StackFileTest {};

std::vector<uint8_t> EntryHeader(uint32_t dataLength, uint32_t padded) {
    std::vector<uint8_t> h(kResEntryHeaderBytes, 0);
    SetBE32(h, kResType, ResType("Snd "));
    SetBE16(h, kResId, 300);
    h[kResWord6] = 0x12;
    h[kResWord6 + 1] = 0x34;
    h[kResName] = 4;
    std::memcpy(&h[kResName + 1], "Bell", 4);
    SetBE32(h, kResAttributes, 0x80000001u);
    SetBE32(h, kResDataLength, dataLength);
    SetBE32(h, kResPaddedLength, padded);
    return h;
}

TEST_F(ResourceEntryTest, HeaderChecks) {
    struct Case {
        uint32_t data, padded, position, fileSize;
        bool ok;
    };
    const Case cases[] = {
        {10, 12, 1000, 2000, true},   {10, 10, 1000, 2000, true},  {10, 13, 1000, 2000, true},
        {10, 14, 1000, 2000, false},  {10, 9, 1000, 2000, false},  {0, 0, 1932, 2000, true},
        {4, 4, 1928, 2000, true},     {5, 5, 1928, 2000, false},   {0xFFFFFFF0u, 0xFFFFFFF3u, 1000, 2000, false},
        // The last entry's padding may be missing at the end of the file, not its data.
        {0, 3, 1932, 2000, true},     {4, 5, 1928, 2000, true},
    };
    for (const Case& c : cases) {
        ResEntry e;
        e.data = 77;  // poisoned: a read must reset it
        uint32_t padded = 99;
        const char* fault = ReadResourceEntryHeader(EntryHeader(c.data, c.padded), c.position, c.fileSize, e, &padded);
        EXPECT_EQ(fault == nullptr, c.ok) << c.data << "/" << c.padded << " at " << c.position;
        EXPECT_EQ(e.data, 0);
        EXPECT_EQ(e.filePosition, c.position);
    }
    ResEntry e;
    uint32_t padded = 0;
    std::vector<uint8_t> h = EntryHeader(10, 12);
    h[kResName] = 40;
    ASSERT_EQ(ReadResourceEntryHeader(h, 128, 1000, e, &padded), nullptr);
    EXPECT_EQ(e.type, ResType("Snd "));
    EXPECT_EQ(e.id, 300);
    EXPECT_EQ(e.name[0], 31) << "a name is at most 31 characters";
    EXPECT_EQ(std::memcmp(e.name + 1, "Bell", 4), 0);
    EXPECT_EQ(e.attributes, 0x80000001u);
    EXPECT_EQ(e.dataLength, 10u);
    EXPECT_EQ(padded, 12u);
    uint8_t raw[2];
    SetU16(raw, 0, e.word6);
    EXPECT_EQ(raw[0], 0x12) << "word 6 is kept byte for byte";
    EXPECT_EQ(raw[1], 0x34);
    EXPECT_NE(ReadResourceEntryHeader(std::span<const uint8_t>(h.data(), 67), 0, 1000, e, &padded), nullptr);

    std::vector<uint8_t> swapped = EntryHeader(10, 12);
    const std::vector<uint8_t> original = swapped;
    ASSERT_TRUE(SwapResourceEntryHeader(swapped));
    EXPECT_EQ(GetU32(swapped, kResType), ResType("Snd "));
    EXPECT_EQ(GetU32(swapped, kResPaddedLength), 12u);
    ASSERT_TRUE(SwapResourceEntryHeader(swapped));
    EXPECT_EQ(swapped, original);
}

TEST_F(ResourceEntryTest, ReaderKeepsRawDataAndRefusesBrokenAreas) {
    sb::Stack s;
    s.cards.push_back(sb::PlainCard(1));
    sb::Object bad = sb::Button(0, {}, "");
    bad.chunks.push_back(sb::Chunk{52, 0, {}, 0, {}, {}, {}});
    const std::vector<uint8_t> badAction = sb::ActionRecord(bad);
    s.resources = {
        {"Snd ", 128, "A", 0, 0, {1, 2, 3, 4, 5}},
        {"Icon", 129, "B", 0, 0, {6, 7, 8}},
        {"Actn", 130, "Bad action", 0, 0, badAction},
        {"Icon", 131, "Gone", kResDeleted, 0, {9, 9}},
        {"Snd ", 132, "C", 0, 0, {}},
    };
    const sb::Built built = sb::BuildStack(s);

    auto read = [](const std::vector<uint8_t>& file, StackFileContents& contents) {
        SpanByteSource source(file);
        StackConversion cv;
        return ReadStackFile(source, cv, contents);
    };

    StackFileContents contents;
    ASSERT_TRUE(read(built.bytes, contents).ok());
    std::vector<ResEntry> entries = CopyResEntries(contents.resFile);
    std::vector<uint16_t> ids;
    for (const ResEntry& e : entries)
        ids.push_back(e.id);
    EXPECT_EQ(ids, (std::vector<uint16_t>{128, 129, 130, 131, 132}));
    EXPECT_TRUE(contents.drops.empty());
    EXPECT_EQ(entries[0].dataLength, 5u);
    EXPECT_EQ(HandleToBytes(entries[0].data), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(entries[2].raw, 1) << "an action that does not convert is kept";
    EXPECT_EQ(HandleToBytes(entries[2].data), badAction) << "as stored";
    EXPECT_EQ(entries[2].filePosition, built.resourceOffsets[2]);
    EXPECT_EQ(entries[0].raw, 0);
    EXPECT_EQ(entries[3].data, 0) << "a deleted entry has no data";
    EXPECT_EQ(entries[3].dataLength, 2u);
    EXPECT_EQ(entries[4].data, 0) << "an empty entry has no data";
    DisposeStackFileContents(contents);

    // An area that does not lie whole in the file refuses the stack, as the plug-in does.
    struct Damage {
        const char* what;
        uint32_t offset;
        uint32_t value;
        const char* reason;
    };
    const uint32_t last = built.resourceOffsets[4];
    const Damage damages[] = {
        {"data above padded", built.resourceOffsets[1] + kResDataLength, 5, "padded length"},
        {"data past the end", last + kResDataLength, 100, "resource data past the end of the file"},
        {"three entries more", kHeaderResourceCount, 8, "do not fit in the file"},
        {"one entry more", kHeaderResourceCount, 6, "entry header past the end of the file"},
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> file = built.bytes;
        SetBE32(file, d.offset, d.value);
        if (d.offset == last + kResDataLength)
            SetBE32(file, last + kResPaddedLength, d.value);
        const StackReadResult result = read(file, contents);
        EXPECT_EQ(result.error, kStackRefused) << d.what;
        EXPECT_EQ(result.alertId, kAlertNoCardsRead) << d.what;
        EXPECT_NE(result.reason.find(d.reason), std::string::npos) << d.what << ": " << result.reason;
        EXPECT_EQ(contents.header, 0) << d.what;
        EXPECT_TRUE(contents.cards.empty()) << d.what;
        EXPECT_EQ(contents.resFile, 0) << d.what;
    }

    // The resource manager's counter and the header's field both read offset 68.
    std::vector<uint8_t> file = built.bytes;
    const uint8_t seven[4] = {0, 0, 0, 7};
    std::memcpy(&file[68], seven, 4);
    ASSERT_TRUE(read(file, contents).ok());
    {
        HandleLock lock(contents.resFile);
        EXPECT_EQ(reinterpret_cast<const ResFile*>(lock.get())->nextId, 0);
    }
    EXPECT_EQ(GetU32(HandleToBytes(contents.header), kHeaderNextResourceId), 7u);
    DisposeStackFileContents(contents);
}

TEST_F(ResourceEntryTest, LinkData) {
    sb::Object button = sb::Button(0, {1, 2, 3, 4}, "");
    button.chunks.push_back(sb::Chunk{61, 0, {}, 0, {}, {}, {'g', 'o'}});
    const std::vector<uint8_t> file = sb::LinkData("Caf\x8e!", {'x', 'y'}, &button);
    // The text converts as its field does: only in a stack whose texts are Mac Roman.
    {
        std::vector<uint8_t> plain = file;
        StackConversion windows;
        ASSERT_EQ(SwapResourceDataBytes(ResType("Hlnk"), plain, ByteOrder::ToHost, windows, nullptr), kStackOk);
        EXPECT_EQ(std::string(plain.begin() + 24, plain.begin() + 29), "Caf\x8e!") << "moved up, kept";
        ASSERT_EQ(SwapResourceDataBytes(ResType("Hlnk"), plain, ByteOrder::ToFile, windows, nullptr), kStackOk);
        EXPECT_EQ(plain, file);
    }
    std::vector<uint8_t> d = file;
    StackConversion cv;
    cv.headerMacRoman = true;
    ASSERT_EQ(SwapResourceDataBytes(ResType("Hlnk"), d, ByteOrder::ToHost, cv, nullptr), kStackOk);
    EXPECT_EQ(GetU16(d, 0), 1);
    EXPECT_EQ(GetU16(d, 4), 2);
    EXPECT_EQ(GetU16(d, 6), 5);
    EXPECT_EQ(d[23], 0);
    EXPECT_EQ(std::string(d.begin() + 24, d.begin() + 29), "Caf\xe9!") << "moved up and converted";
    EXPECT_EQ(std::string(d.begin() + 29, d.begin() + 31), "xy");
    EXPECT_EQ(GetU16(d, 31), 48) << "the button after the text is converted";
    EXPECT_EQ(GetU16(d, 31 + kObjectRect + 2), 2);
    EXPECT_EQ(GetU16(d, 31 + 136), 61);
    ASSERT_EQ(SwapResourceDataBytes(ResType("Hlnk"), d, ByteOrder::ToFile, cv, nullptr), kStackOk);
    EXPECT_EQ(d, file);

    struct Case {
        const char* name;
        std::vector<uint8_t> data;
    };
    std::vector<uint8_t> longText = file;
    SetBE16(longText, 6, 500);
    std::vector<uint8_t> farButton = file;
    SetBE16(farButton, 4, 500);
    sb::Object badButton = button;
    badButton.chunks.push_back(sb::Chunk{52, 0, {}, 0, {}, {}, {}});
    const Case cases[] = {
        {"shorter than its header", std::vector<uint8_t>(23, 0)},
        {"text past the data", longText},
        {"button past the data", farButton},
        {"button with an unknown chunk", sb::LinkData("t", {}, &badButton)},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = c.data;
        EXPECT_EQ(SwapResourceDataBytes(ResType("Hlnk"), bad, ByteOrder::ToHost, cv, nullptr), kStackDamaged) << c.name;
    }
    std::vector<uint8_t> noButton = sb::LinkData("", {}, nullptr);
    ASSERT_EQ(SwapResourceDataBytes(ResType("Hlnk"), noButton, ByteOrder::ToHost, cv, nullptr), kStackOk);
    EXPECT_EQ(noButton.size(), 24u);
}

int g_converterCalls = 0;
int g_lastDirection = -1;

int ReverseIcon(uint8_t* data, uint32_t size, int direction) {
    ++g_converterCalls;
    g_lastDirection = direction;
    if (size < 2 || data[0] != 'I')
        return 0;
    std::swap(data[1], data[size - 1]);
    return 1;
}

TEST_F(ResourceEntryTest, ActionNbaAndCursorData) {
    sb::Object action = sb::Button(0, {}, "Go");
    action.chunks.push_back(sb::PathChunk(60, "Disk:Stacks:next.stk"));
    std::vector<uint8_t> file = sb::ActionRecord(action);
    file.insert(file.end(), {0xEE, 0xEE});  // bytes after the record stay as they are
    std::vector<uint8_t> d = file;
    Handle h = NewHandleFromBytes(d);
    ASSERT_EQ(SwapResourceData(ResType("Actn"), h, ByteOrder::ToHost, StackConversion{}, nullptr), kStackOk);
    d = HandleToBytes(h);
    DisposeHandle(h);
    const uint32_t length = GetU32(d, kObjectLength);
    EXPECT_EQ(length, d.size() - 2);
    EXPECT_EQ(CStringAt(d, 136 + 32), "C:\\Stacks\\next.stk");
    EXPECT_EQ(d[d.size() - 1], 0xEE);
    EXPECT_EQ(PStringAt(d, kButtonName), "Go");

    std::vector<uint8_t> nba = {'N', 'B', 'A', '1', 1, 2, 3, 4, 5};
    ASSERT_EQ(SwapResourceDataBytes(ResType("NBAs"), nba, ByteOrder::ToHost, StackConversion{}, nullptr), kStackOk);
    EXPECT_EQ(nba, (std::vector<uint8_t>{'N', 'B', 'A', '1', 0, 0, 0, 0, 5}));
    std::vector<uint8_t> other = {1, 2, 3};
    ASSERT_EQ(SwapResourceDataBytes(ResType("Snd "), other, ByteOrder::ToHost, StackConversion{}, nullptr), kStackOk);
    EXPECT_EQ(other, (std::vector<uint8_t>{1, 2, 3}));

    std::vector<uint8_t> cursor = {'I', 1, 2, 3};
    ASSERT_EQ(SwapResourceDataBytes(ResType("Crsr"), cursor, ByteOrder::ToHost, StackConversion{}, nullptr), kStackOk);
    EXPECT_EQ(cursor, (std::vector<uint8_t>{'I', 1, 2, 3})) << "no converter installed: kept";
    const FormatUpcalls previous = GetFormatUpcalls();
    FormatUpcalls upcalls = previous;
    upcalls.convertIconData = ReverseIcon;
    SetFormatUpcalls(upcalls);
    ASSERT_EQ(SwapResourceDataBytes(ResType("Crsr"), cursor, ByteOrder::ToHost, StackConversion{}, nullptr), kStackOk);
    EXPECT_EQ(cursor, (std::vector<uint8_t>{'I', 3, 2, 1}));
    EXPECT_EQ(g_lastDirection, 0);
    ASSERT_EQ(SwapResourceDataBytes(ResType("Crsr"), cursor, ByteOrder::ToFile, StackConversion{}, nullptr), kStackOk);
    EXPECT_EQ(g_lastDirection, 1);
    std::vector<uint8_t> unknown = {'X', 1};
    EXPECT_EQ(SwapResourceDataBytes(ResType("Crsr"), unknown, ByteOrder::ToHost, StackConversion{}, nullptr), kStackDamaged);
    EXPECT_EQ(g_converterCalls, 3);
    SetFormatUpcalls(previous);
}

}  // namespace
