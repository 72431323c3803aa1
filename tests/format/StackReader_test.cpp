// The whole-file reader on builder stacks: cards of all three kinds, objects of all three
// kinds and resources read back as described; refusals leave nothing behind; a file of the
// file layer reads like a buffer.
#include <cstring>
#include <functional>

#include "core/files/FileLayerMemory.h"
#include "stack/cards/StackDescribe.h"
#include "tests/stack/StackTestUtil.h"
#include "tests/support/MemoryFiles.h"

namespace {

using namespace stacktest;

class StackReaderTest : public StackFileTest {};

sb::Stack FullStack() {
    sb::Stack s;
    s.depth = 8;
    s.cardWidth = 48;
    s.cardHeight = 16;
    s.nextObjectId = 40;

    sb::Card holder = sb::PictureCard(10, sb::GradientPicture(48, 16, 8));
    holder.name = "Holder";
    sb::Object bg = sb::Button(1, {0, 0, 10, 10}, "Shared");
    bg.flags = kObjectBackground;
    holder.objects.push_back(bg);
    sb::Object field = sb::TextField(2, {5, 6, 40, 15}, "Field", "Text of the field");
    field.flags = kObjectHidden;
    holder.objects.push_back(field);
    sb::Object graphic = sb::Graphic(3, {1, 2, 9, 6}, "Graphic");
    graphic.data = sb::MacRows(sb::SolidPicture(8, 4, 8, 9));
    holder.objects.push_back(graphic);

    sb::Card shared = sb::SharedCard(11, 10);
    shared.name = "Sharer";
    shared.objects.push_back(sb::AllChunksButton(4));

    sb::Card plain = sb::PlainCard(12);
    plain.name = "Plain";
    plain.flags = kCardLockedFlag;

    s.cards = {holder, shared, plain};
    sb::Object action = sb::Button(0, {}, "");
    action.chunks.push_back(sb::Chunk{61, 0, {}, 0, {}, {}, {'h', 'i'}});
    s.resources = {
        {"Actn", 128, "Arrive", 0, 0, sb::ActionRecord(action)},
        {"Hlnk", 129, "Link", 0, 0, sb::LinkData("word", {}, &action)},
        {"WKSp", 128, "", 0, 0, std::vector<uint8_t>(21, 7)},
        {"Strk", 5, "Gone", kResDeleted, 0, {1}},
    };
    s.nextResourceId = 130;
    return s;
}

TEST_F(StackReaderTest, BuilderStackReadsBackAsDescribed) {
    const sb::Stack s = FullStack();
    const sb::Built built = sb::BuildStack(s);
    SpanByteSource source(built.bytes);
    StackConversion cv;
    StackFileContents contents;
    ASSERT_TRUE(ReadStackFile(source, cv, contents).ok());
    EXPECT_TRUE(contents.drops.empty());

    std::vector<uint8_t> header = HandleToBytes(contents.header);
    EXPECT_EQ(GetU16(header, kHeaderCardCount), 3);
    EXPECT_EQ(GetU16(header, kHeaderNextCardId), 13);
    EXPECT_EQ(GetU16(header, kHeaderNextObjectId), 40);
    EXPECT_EQ(GetU32(header, kHeaderResourceOffset), built.resourceOffsets[0]);
    EXPECT_EQ(GetU32(header, kHeaderResourceCount), 4u);
    EXPECT_EQ(GetU32(header, kHeaderNextResourceId), 130u);
    EXPECT_EQ(contents.cardOffsets, built.cardOffsets);

    ASSERT_EQ(contents.cards.size(), 3u);
    std::vector<uint8_t> holder = HandleToBytes(contents.cards[0]);
    EXPECT_EQ(GetU16(holder, kCardKind), kCardKindPicture);
    EXPECT_EQ(PStringAt(holder, kCardName), "Holder");
    auto objects = CardObjects(holder);
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_EQ(GetU16(objects[0], kObjectKind), kObjectButton);
    EXPECT_EQ(GetU16(objects[0], kObjectFlags), kObjectBackground);
    EXPECT_EQ(PStringAt(objects[0], kButtonName), "Shared");
    EXPECT_EQ(GetU16(objects[0], kButtonFontSize), 12);
    EXPECT_EQ(GetU16(objects[1], kObjectKind), kObjectText);
    EXPECT_EQ(GetU16(objects[1], kObjectFlags) & kObjectHidden, kObjectHidden);
    EXPECT_EQ(GetI16(objects[1], kObjectRect + 2), 6);
    EXPECT_EQ(std::string(objects[1].begin() + 144, objects[1].begin() + 161), "Text of the field");
    EXPECT_EQ(GetU16(objects[2], kObjectKind), kObjectGraphic);
    EXPECT_EQ(PStringAt(objects[2], kGraphicName), "Graphic");
    EXPECT_EQ(objects[2][80], 9) << "graphic pixels from +80";

    std::vector<uint8_t> sharer = HandleToBytes(contents.cards[1]);
    EXPECT_EQ(GetU16(sharer, kCardKind), kCardKindShared);
    EXPECT_EQ(GetU16(sharer, kCardBackgroundId), 10);
    objects = CardObjects(sharer);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(ButtonChunks(objects[0]).size(), 13u);

    std::vector<uint8_t> plain = HandleToBytes(contents.cards[2]);
    EXPECT_EQ(GetU16(plain, kCardKind), kCardKindPlain);
    EXPECT_EQ(GetU16(plain, kCardFlags), kCardLockedFlag);
    EXPECT_EQ(plain.size(), 100u);

    const std::vector<ResEntry> resources = CopyResEntries(contents.resFile);
    ASSERT_EQ(resources.size(), 4u);
    const ResEntry& actn = resources[0];
    EXPECT_EQ(actn.type, ResType("Actn"));
    EXPECT_EQ(actn.filePosition, built.resourceOffsets[0]);
    std::vector<uint8_t> data = HandleToBytes(actn.data);
    EXPECT_EQ(GetU16(data, kObjectKind), kObjectButton);
    EXPECT_EQ(GetU16(data, 136), 61);
    EXPECT_EQ(PStringAt(actn.name, 0), "Arrive");
    const ResEntry& link = resources[1];
    data = HandleToBytes(link.data);
    EXPECT_EQ(std::string(data.begin() + 24, data.begin() + 28), "word");
    EXPECT_EQ(resources[2].type, ResType("WKSp"));
    EXPECT_EQ(resources[2].dataLength, 21u);
    EXPECT_EQ(resources[3].filePosition, resources[2].filePosition + kResEntryHeaderBytes + 24) << "padded to 24";
    EXPECT_EQ(resources[3].attributes, kResDeleted);
    EXPECT_EQ(resources[3].data, 0);
    DisposeStackFileContents(contents);

    // The same file through the file layer; later tests get back the file system they had.
    MemoryFileSystemInUse files;
    PutMemoryFile("C:\\Stacks\\full.stk", built.bytes);
    FileRef file = ActiveFileSystem().open("C:\\Stacks\\full.stk", kOpenRead);
    ASSERT_NE(file, kNoFile);
    {
        FileByteSource fileSource(file);
        EXPECT_EQ(fileSource.Size(), built.bytes.size());
        ASSERT_TRUE(ReadStackFile(fileSource, cv, contents).ok());
        ASSERT_EQ(contents.cards.size(), 3u);
        EXPECT_EQ(HandleToBytes(contents.cards[1]), sharer);
        DisposeStackFileContents(contents);
    }
    FileClose(file);
}

TEST_F(StackReaderTest, RefusalsLeaveNothingBehind) {
    sb::Stack s;
    s.cards.push_back(sb::PlainCard(1));
    s.cards.push_back(sb::PlainCard(2));
    const sb::Built built = sb::BuildStack(s);
    struct Case {
        const char* name;
        std::function<void(std::vector<uint8_t>&)> damage;
        int alert;
    };
    const Case cases[] = {
        {"empty file", [](auto& f) { f.clear(); }, kAlertNotAStack},
        {"127 bytes", [](auto& f) { f.resize(127); }, kAlertNotAStack},
        {"card width 0", [](auto& f) { SetBE16(f, kHeaderCardWidth, 0); }, kAlertNotAStack},
        {"resource offset past the end", [](auto& f) { SetBE32(f, kHeaderResourceOffset, 400); }, kAlertNotAStack},
        {"black and white", [](auto& f) { SetBE16(f, kHeaderDepth, 1); }, kAlertBlackAndWhiteStack},
        {"version 6", [](auto& f) { SetBE16(f, kHeaderVersion, 6); }, kAlertStackTooNew},
        {"version 3", [](auto& f) { SetBE16(f, kHeaderVersion, 3); }, kAlertStackTooOld},
        // A header that passes and cards that cannot be read: no cards, alert 2305.
        {"more cards than the file holds", [](auto& f) { SetBE16(f, kHeaderCardCount, 3); }, kAlertNoCardsRead},
        {"second card cut short", [](auto& f) { f.resize(300); SetBE32(f, kHeaderResourceOffset, 300); }, kAlertNoCardsRead},
        {"second card length 6", [&](auto& f) { SetBE32(f, built.cardOffsets[1] + 2, 6); }, kAlertNoCardsRead},
        {"second card length past the file", [&](auto& f) { SetBE32(f, built.cardOffsets[1] + 2, 0xFFFFFFF0u); }, kAlertNoCardsRead},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> file = built.bytes;
        c.damage(file);
        SpanByteSource source(file);
        StackConversion cv;
        StackFileContents contents;
        StackReadResult result = ReadStackFile(source, cv, contents);
        EXPECT_EQ(result.error, kStackRefused) << c.name;
        EXPECT_EQ(result.alertId, c.alert) << c.name << ": " << result.reason;
        EXPECT_FALSE(result.reason.empty()) << c.name;
        EXPECT_EQ(contents.header, 0) << c.name;
        EXPECT_TRUE(contents.cards.empty()) << c.name;
        EXPECT_EQ(MemRefsCount(), 0) << c.name;
        const std::string json = DescribeStackJson(file, StackConversion{});
        EXPECT_NE(json.find("\"alert\":" + std::to_string(c.alert)), std::string::npos) << c.name << json;
    }
}

TEST_F(StackReaderTest, DescriptionOfADemoStack) {
    // The demo with the test button of every chunk kind on its second card.
    sb::Stack demo = sb::DemoStack();
    demo.cards[1].objects.push_back(sb::AllChunksButton(6));
    const std::vector<uint8_t> file = sb::BuildStack(demo).bytes;
    const std::string json = DescribeStackJson(file, StackConversion{});
    EXPECT_EQ(MemRefsCount(), 0);
    for (const char* expected : {
             "\"refusal\":null", "\"cardCount\":4", "\"name\":\"Welcome\"", "\"kind\":3",
             "\"background\":1", "\"stream\":\"compressed\"", "\"colors\":256", "\"type\":\"Hlnk\"",
             "\"deleted\":true", "\"chunks\":[51,56,56,59,60,61,64,82,83,89,119,129,130]",
             "\"rect\":[230,190,310,220]", "\"dropped\":[]",
             // The logo's picture: its size at +30 read back.
             "\"name\":\"Logo\"", "\"picture\":{\"decoded\":true,\"width\":32,\"height\":32,\"depth\":8,\"packed\":true",
             // The styled title: its runs, and the font table entries they name.
             "\"text\":\"Welcome to Pageloom\",\"runs\":[[0,3,1,24,160,0,0],[11,4,4,22,0,0,212]]",
             "\"type\":\"FntL\",\"id\":128,", "\"fonts\":[[3,\"Times New Roman\",0],[4,\"Courier New\",0]]"}) {
        EXPECT_NE(json.find(expected), std::string::npos) << expected << "\n" << json;
    }
    // A disk-based text: the file its entry names and the style block after the path.
    sb::Stack disk;
    sb::Card card = sb::PlainCard(1);
    sb::Object field = sb::TextField(2, {0, 20, 60, 40}, "File text", "");
    field.flags = 0x40;
    field.subRecords[0].path = {'C', ':', '\\', 'a', '.', 't', 'x', 't', 0, 0};
    field.subRecords[0].body = {0, 3, 1, 0, 0, 18, 0x12, 0, 0x34, 0, 0x56, 0};
    card.objects.push_back(field);
    disk.cards.push_back(card);
    const std::string diskJson = DescribeStackJson(sb::BuildStack(disk).bytes, StackConversion{});
    EXPECT_NE(diskJson.find("\"path\":\"C:\\\\a.txt\",\"diskStyle\":[3,1,18,18,52,86]"), std::string::npos) << diskJson;
    // Texts are escaped and given as UTF-8 of the Windows character set.
    sb::Stack s;
    sb::Card c = sb::PlainCard(1);
    c.name = "a\"b\\\x01\xe9\x80";
    s.cards.push_back(c);
    const std::string escaped = DescribeStackJson(sb::BuildStack(s).bytes, StackConversion{});
    EXPECT_NE(escaped.find("\"name\":\"a\\\"b\\\\\\u0001\xc3\xa9\xe2\x82\xac\""), std::string::npos) << escaped;
}

}  // namespace
