// Card records: sizes and end mark, the checks that refuse a damaged card, the object walk that
// leaves out bad objects, the picture block, the Mac Roman decision and a round trip.
#include <cstring>
#include <functional>

#include "tests/stack/StackTestUtil.h"

namespace {

using namespace stacktest;

sb::Stack SmallStack() {
    sb::Stack s;
    s.cardWidth = 32;
    s.cardHeight = 8;
    return s;
}

sb::Card ThreeButtons(uint16_t id) {
    sb::Card c = sb::PlainCard(id);
    for (uint16_t i = 1; i <= 3; ++i)
        c.objects.push_back(sb::Button(i, {0, 0, 10, 10}, "B" + std::to_string(i)));
    return c;
}

std::vector<uint16_t> ObjectIds(std::span<const uint8_t> card) {
    std::vector<uint16_t> ids;
    for (const auto& o : CardObjects(card))
        ids.push_back(GetU16(o, kObjectId));
    return ids;
}

class CardRecordTest : public StackFileTest {};

TEST_F(CardRecordTest, EmptyCardIs100BytesAndOneCardStack228) {
    sb::Stack s;
    std::vector<uint8_t> card = sb::BuildCardRecord(sb::PlainCard(1), s);
    ASSERT_EQ(card.size(), 100u);
    EXPECT_EQ(std::vector<uint8_t>(card.end() - 4, card.end()), (std::vector<uint8_t>{0, 0, 0xFA, 0xCE}));
    EXPECT_EQ(GetBE32(card, kCardLength), 100u);
    EXPECT_EQ(CheckCardRecord(card), nullptr);

    s.cards.push_back(sb::PlainCard(1));
    std::vector<uint8_t> file = sb::BuildStack(s).bytes;
    ASSERT_EQ(file.size(), 228u);
    EXPECT_EQ(GetBE32(file, kHeaderResourceOffset), 228u);

    SpanByteSource source(file);
    StackConversion cv;
    StackFileContents contents;
    ASSERT_TRUE(ReadStackFile(source, cv, contents).ok());
    ASSERT_EQ(contents.cards.size(), 1u);
    std::vector<uint8_t> host = HandleToBytes(contents.cards[0]);
    EXPECT_EQ(host.size(), 100u);
    EXPECT_EQ(GetU32(host, kCardLength), 100u);
    EXPECT_EQ(GetU16(host, kCardId), 1);
    EXPECT_EQ(CardObjectsOffset(contents.cards[0]), 96u);
    EXPECT_TRUE(contents.drops.empty());
    DisposeStackFileContents(contents);

    Handle h = NewHandleWithEndMark(98);
    ASSERT_NE(h, 0);
    std::vector<uint8_t> marked = HandleToBytes(h);
    ASSERT_EQ(marked.size(), 100u);
    EXPECT_EQ(marked[98], 0xFA);
    EXPECT_EQ(marked[99], 0xCE);
    DisposeHandle(h);
}

TEST_F(CardRecordTest, DamagedCardsAreRefusedWhole) {
    sb::Stack s = SmallStack();
    sb::Card card = sb::PictureCard(1, sb::GradientPicture(32, 8, 8));
    card.objects.push_back(sb::Button(1, {0, 0, 5, 5}, "B"));
    const std::vector<uint8_t> good = sb::BuildCardRecord(card, s);
    ASSERT_EQ(CheckCardRecord(good), nullptr);
    const uint32_t block = kPictureBlockOffset;
    const uint32_t blockLength = GetBE32(good, block + kBlockLength);
    const uint32_t table = GetBE32(good, block + kBlockTableSize);
    const uint32_t stream = block + kPictureBlockHeaderBytes + table + kRunHeaderBytes;
    ASSERT_EQ(good[stream], 1) << "the builder writes stored copies";

    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"99 bytes", [](auto& r) { r.assign(99, 0); SetBE32(r, kCardLength, 99); r[97] = 0xFA; r[98] = 0xCE; }},
        {"length field differs", [](auto& r) { SetBE32(r, kCardLength, static_cast<uint32_t>(r.size() + 2)); }},
        {"no end mark", [](auto& r) { r.back() = 0xCF; }},
        {"trailer kind not 0", [](auto& r) { r[r.size() - 3] = 1; }},
        {"kind 2", [](auto& r) { SetBE16(r, kCardKind, 2); }},
        {"kind 4", [](auto& r) { SetBE16(r, kCardKind, 4); }},
        {"block shorter than its header", [&](auto& r) { SetBE32(r, block + kBlockLength, 23); }},
        {"block past the card", [&](auto& r) { SetBE32(r, block + kBlockLength, static_cast<uint32_t>(r.size() - 96 - 3)); }},
        {"table past the block", [&](auto& r) { SetBE32(r, block + kBlockTableSize, blockLength - 23); }},
        {"table shorter than its header", [&](auto& r) { SetBE32(r, block + kBlockTableSize, 7); }},
        {"257 colours", [&](auto& r) { SetBE16(r, block + kPictureBlockHeaderBytes + 6, 256); }},
        {"entries past the table", [&](auto& r) { SetBE32(r, block + kBlockTableSize, table - 8); }},
        {"pad byte without room", [&](auto& r) {
             SetBE32(r, block + kBlockTableSize, blockLength - 24);
             SetBE16(r, block + kBlockFlags, kPicturePadFlag);
         }},
        {"run header cut", [&](auto& r) { SetBE32(r, block + kBlockLength, 24 + table + 15); }},
        {"stream flag 2", [&](auto& r) { r[stream] = 2; }},
        {"stream of 2 bytes", [&](auto& r) { SetBE32(r, block + kBlockLength, 24 + table + 16 + 2); }},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        c.damage(bad);
        const char* fault = CheckCardRecord(bad);
        EXPECT_NE(fault, nullptr) << c.name;
        std::vector<uint8_t> converted = bad;
        StackConversion cv;
        EXPECT_EQ(SwapCardRecordBytes(converted, ByteOrder::ToHost, cv, nullptr), kStackDamaged) << c.name;
        EXPECT_EQ(converted, bad) << c.name << ": a refused card is left as it was";
    }

    // A compressed stream (flag 0) is a valid one.
    std::vector<uint8_t> compressed = good;
    compressed[stream] = 0;
    EXPECT_EQ(CheckCardRecord(compressed), nullptr);

    // In a stack, the damaged card refuses the whole stack with alert 2305.
    s.cards = {sb::PlainCard(1), card};
    sb::Built built = sb::BuildStack(s);
    built.bytes[built.cardOffsets[1] + kPictureBlockOffset + kPictureBlockHeaderBytes + table + kRunHeaderBytes] = 7;
    SpanByteSource source(built.bytes);
    StackConversion cv;
    StackFileContents contents;
    StackReadResult result = ReadStackFile(source, cv, contents);
    EXPECT_EQ(result.error, kStackRefused);
    EXPECT_EQ(result.alertId, kAlertNoCardsRead);
    EXPECT_NE(result.reason.find("card 2"), std::string::npos) << result.reason;
    EXPECT_TRUE(contents.cards.empty());
    EXPECT_EQ(contents.header, 0);
}

TEST_F(CardRecordTest, BadObjectsAreLeftOutNeverWalkedPast) {
    sb::Stack s;
    const sb::Card card = ThreeButtons(1);
    std::vector<uint32_t> offsets;
    const std::vector<uint8_t> good = sb::BuildCardRecord(card, s, &offsets);
    const uint32_t second = offsets[1];
    struct Case {
        const char* name;
        uint32_t length;                 // the second object's length field
        std::vector<uint16_t> kept;
    };
    const Case cases[] = {
        {"length 0 (would loop forever)", 0, {1}},
        {"length past the card", 0x7FFFFFFE, {1}},
        {"length into the trailer", static_cast<uint32_t>(good.size() - second - 2), {1}},
        {"odd length", 137, {1}},
        {"shorter than a button header", 100, {1}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        SetBE32(bytes, second + kObjectLength, c.length);
        DropLog drops;
        StackConversion cv;
        ASSERT_EQ(SwapCardRecordBytes(bytes, ByteOrder::ToHost, cv, &drops), kStackOk) << c.name;
        EXPECT_EQ(ObjectIds(bytes), c.kept) << c.name;
        ASSERT_EQ(drops.size(), 1u) << c.name;
        EXPECT_EQ(drops[0].offset, second) << c.name;
        EXPECT_EQ(GetU32(bytes, kCardLength), bytes.size()) << c.name;
    }

    // A button whose conversion stops at an unknown chunk is dropped alone.
    sb::Card withChunk = ThreeButtons(1);
    withChunk.objects[1].chunks.push_back(sb::Chunk{52, 0, {}, 0, {}, {}, {}});
    std::vector<uint8_t> bytes = sb::BuildCardRecord(withChunk, s);
    DropLog drops;
    StackConversion cv;
    ASSERT_EQ(SwapCardRecordBytes(bytes, ByteOrder::ToHost, cv, &drops), kStackOk);
    EXPECT_EQ(ObjectIds(bytes), (std::vector<uint16_t>{1, 3}));
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].reason, "unknown chunk kind in a button");

    // A zero kind ends the list; what follows it is not read as objects.
    bytes = good;
    SetBE16(bytes, second, 0);
    drops.clear();
    ASSERT_EQ(SwapCardRecordBytes(bytes, ByteOrder::ToHost, cv, &drops), kStackOk);
    EXPECT_EQ(ObjectIds(bytes), (std::vector<uint16_t>{1}));
    EXPECT_EQ(bytes.size(), second + 4u);
}

TEST_F(CardRecordTest, PictureBlockAndHeaderFields) {
    sb::Stack s = SmallStack();
    sb::Card card = sb::PictureCard(7, sb::GradientPicture(32, 8, 4));
    card.flags = 0x08;
    card.menuBar = 1;
    card.name = "Pic";
    card.actions = {101, 102, 103};
    card.cursor = 104;
    card.word56 = 0x0A0B;
    StackConversion cv;
    std::vector<uint8_t> host = HostCard(card, s, cv);
    EXPECT_EQ(GetU16(host, kCardId), 7);
    EXPECT_EQ(GetU16(host, kCardKind), kCardKindPicture);
    EXPECT_EQ(GetU16(host, kCardFlags), 0x08);
    EXPECT_EQ(GetU16(host, kCardMenuBar), 1);
    EXPECT_EQ(GetU16(host, kCardDepth), 4);
    EXPECT_EQ(GetU16(host, kCardWidth), 32);
    EXPECT_EQ(GetU16(host, kCardHeight), 8);
    EXPECT_EQ(PStringAt(host, kCardName), "Pic");
    EXPECT_EQ(GetU16(host, kCardAction1), 101);
    EXPECT_EQ(GetU16(host, kCardAction3), 103);
    EXPECT_EQ(GetU16(host, kCardCursor), 104);
    EXPECT_EQ(GetU16(host, kCardWord56), 0x0A0B);

    const uint32_t b = kPictureBlockOffset;
    EXPECT_EQ(GetU16(host, b + kBlockWord0), 8);
    EXPECT_EQ(GetU16(host, b + kBlockFormat), 2);
    const uint32_t table = GetU32(host, b + kBlockTableSize);
    EXPECT_EQ(table, ColorTableBytesForDepth(4));
    EXPECT_EQ(table, 136u);
    EXPECT_EQ(GetBE16(host, b + kPictureBlockHeaderBytes + 6), 15) << "the colour table stays big-endian";
    // 32 x 8 at 4 bits: rows of 16 bytes; the first two rows are 0, the last two 0xFF.
    const uint32_t run = b + kPictureBlockHeaderBytes + table;
    EXPECT_EQ(GetU32(host, run + 4), 32u) << "lead count in host order";
    EXPECT_EQ(GetU32(host, run + 12), 32u) << "trail count in host order";
    EXPECT_EQ(GetBE32(host, run + 8), 0xFFFFFFFFu);
    EXPECT_EQ(CardObjectsOffsetIn(host), 96 + GetU32(host, b + kBlockLength));

    // An odd picture gets the pad byte: word 0x0200 at 106 in the file, bit 0x02 of byte 107
    // in memory.
    sb::Picture odd = sb::GradientPicture(32, 8, 8);
    odd.format = 3;
    odd.rawData = std::vector<uint8_t>(101, 0x5A);
    sb::Card padded = sb::PictureCard(8, odd);
    std::vector<uint8_t> file = sb::BuildCardRecord(padded, s);
    EXPECT_EQ(file[106], 0x02);
    EXPECT_EQ(file[107], 0x00);
    EXPECT_EQ(GetBE32(file, 108), 24u + 2056 + 101 + 1);
    host = HostCard(padded, s, cv);
    EXPECT_EQ(host[107] & 0x02, 0x02);
    EXPECT_EQ(GetU16(host, b + kBlockFormat), 3);

    // The card name's length byte is held to its 16-byte field; the name is not converted.
    std::vector<uint8_t> named = sb::BuildCardRecord(sb::PlainCard(5), s);
    named[kCardName] = 200;
    ASSERT_EQ(SwapCardRecordBytes(named, ByteOrder::ToHost, cv, nullptr), kStackOk);
    EXPECT_EQ(named[kCardName], 15);

    // A kind-3 card has no picture block and names its holder.
    host = HostCard(sb::SharedCard(9, 7), s, cv);
    EXPECT_EQ(GetU16(host, kCardKind), kCardKindShared);
    EXPECT_EQ(GetU16(host, kCardBackgroundId), 7);
    EXPECT_EQ(CardObjectsOffsetIn(host), 96u);
}

TEST_F(CardRecordTest, MacRomanTextsFollowTheFirstPictureCard) {
    auto macCard = [](uint16_t id, bool macColors) {
        sb::Picture p = sb::SolidPicture(16, 2, 8, 0);
        p.macColors = macColors;
        sb::Card c = sb::PictureCard(id, p);
        c.name = "Caf\x8e";
        c.objects.push_back(sb::Button(1, {}, "Caf\x8e"));
        c.objects.push_back(sb::TextField(2, {}, "\x8e", ""));
        sb::Object g = sb::Graphic(3, {}, "\x8e");
        c.objects.push_back(g);
        return c;
    };
    struct Case {
        const char* name;
        bool firstWhite, secondWhite;
        uint16_t flags;
        bool converted;
    };
    const Case cases[] = {
        {"first card white", true, false, 0, true},
        {"neither white", false, false, 0, false},
        {"only a later card white", false, true, 0, false},
        {"flag 0x10 without white", false, false, kStackMacRomanText, true},
    };
    for (const Case& c : cases) {
        sb::Stack s;
        s.flags = c.flags;
        s.cards = {sb::PlainCard(1), macCard(2, c.firstWhite), macCard(3, c.secondWhite)};
        std::vector<uint8_t> file = sb::BuildStack(s).bytes;
        SpanByteSource source(file);
        StackConversion cv;
        StackFileContents contents;
        ASSERT_TRUE(ReadStackFile(source, cv, contents).ok()) << c.name;
        EXPECT_EQ(StackTextIsMacRoman(cv), c.converted) << c.name;
        for (size_t i = 1; i < 3; ++i) {
            std::vector<uint8_t> card = HandleToBytes(contents.cards[i]);
            EXPECT_EQ(PStringAt(card, kCardName), "Caf\x8e") << c.name << ": the card name stays as stored";
            auto objects = CardObjects(card);
            ASSERT_EQ(objects.size(), 3u);
            const std::string e = c.converted ? "\xe9" : "\x8e";
            EXPECT_EQ(PStringAt(objects[0], kButtonName), "Caf" + e) << c.name;
            EXPECT_EQ(PStringAt(objects[1], kTextName), e) << c.name;
            EXPECT_EQ(PStringAt(objects[2], kGraphicName), e) << c.name;
        }
        DisposeStackFileContents(contents);
    }
}

TEST_F(CardRecordTest, ReadThenWriteGivesTheFileBack) {
    sb::Stack s = SmallStack();
    sb::Card card = sb::PictureCard(3, sb::GradientPicture(32, 8, 16));
    card.name = "Round";
    sb::Object button = sb::Button(1, {-5, 2, 40, 30}, "Button");
    button.words.push_back({60, 0x1111});
    button.words.push_back({88, 0x2222});
    button.chunks.push_back(sb::Chunk{51, 2, {1, 2, 3, 4}, 0, {{16, 5}}, {}, {}});
    button.chunks.push_back(sb::Chunk{61, 3, {}, 0, {}, {}, {'a', 'b', 'c'}});
    button.chunks.push_back(sb::Chunk{119, 4, {5, 6, 7, 8}, 0, {{18, 1}, {20, 2}, {24, 3}}, {}, {}});
    card.objects.push_back(button);
    sb::Object field = sb::TextField(2, {1, 1, 20, 20}, "Field", "Hello there");
    field.words.push_back({24, 0x0102});
    field.longs.push_back({40, 0x01020304});
    card.objects.push_back(field);
    sb::Object graphic = sb::Graphic(3, {2, 2, 10, 10}, "G");
    graphic.data = {1, 2, 3, 4, 5, 6};
    card.objects.push_back(graphic);
    sb::Object other;
    other.kind = 200;
    other.id = 4;
    other.extra = {9, 9, 9, 9};
    card.objects.push_back(other);
    const std::vector<uint8_t> file = sb::BuildCardRecord(card, s);

    Handle h = NewHandleFromBytes(file);
    StackConversion cv;
    ASSERT_EQ(SwapCardRecord(h, ByteOrder::ToHost, cv, nullptr), kStackOk);
    std::vector<uint8_t> host = HandleToBytes(h);
    auto objects = CardObjects(host);
    ASSERT_EQ(objects.size(), 4u);
    EXPECT_EQ(GetI16(objects[0], kObjectRect), -5);
    EXPECT_EQ(GetI16(objects[0], kObjectRect + 2), 2);
    EXPECT_EQ(GetI16(objects[0], kObjectRect + 4), 40);
    EXPECT_EQ(GetI16(objects[0], kObjectRect + 6), 30);
    EXPECT_EQ(GetU16(objects[0], 60), 0x1111);
    EXPECT_EQ(GetU16(objects[1], 24), 0x0102);
    EXPECT_EQ(GetU32(objects[1], 40), 0x01020304u);
    EXPECT_EQ(GetU16(objects[3], kObjectKind), 200);

    ASSERT_EQ(SwapCardRecord(h, ByteOrder::ToFile, cv, nullptr), kStackOk);
    EXPECT_EQ(HandleToBytes(h), file);
    DisposeHandle(h);

    // Writing refuses a record whose object list is broken, and leaves it as it was.
    std::vector<uint8_t> broken = host;
    SetU32(broken, CardObjectsOffsetIn(broken) + kObjectLength, 0);
    std::vector<uint8_t> before = broken;
    EXPECT_EQ(SwapCardRecordBytes(broken, ByteOrder::ToFile, cv, nullptr), kStackDamaged);
    EXPECT_EQ(broken, before);
}

}  // namespace
