// Saved object files written from an opened stack and read back with the layout parser.
#include <gtest/gtest.h>

#include <cstring>

#include "core/memory/ByteReader.h"
#include "authoring/cards/ObjectFile.h"
#include "tests/stack/SaveTestUtil.h"
#include "tools/stackbuilder/StackBuilder.h"

namespace {

using namespace savetest;
namespace sb = stackbuilder;

constexpr char kStackPath[] = "C:\\Work\\demo.stk";

sb::Stack ObjectStack() {
    sb::Stack s;
    sb::Card card = sb::PlainCard(1);
    card.objects.push_back(sb::Button(10, {10, 10, 90, 30}, "OK"));
    sb::Object graphic = sb::Graphic(11, {5, 5, 45, 45}, "Pic");
    graphic.words.push_back({56, 300});  // its action
    card.objects.push_back(graphic);
    sb::Object fromFile = sb::Graphic(12, {50, 5, 90, 45}, "Disk");
    fromFile.flags = 0x40;
    fromFile.data = sb::MacPath("Disk:pic.bmp");
    card.objects.push_back(fromFile);
    card.objects.push_back(sb::Button(13, {10, 40, 90, 60}, "a/b:c"));
    card.objects.push_back(sb::Button(14, {10, 70, 90, 90}, ""));
    s.cards.push_back(card);
    s.resources.push_back({"Actn", 300, "go", 0, 0, sb::ActionRecord(sb::Button(0, {0, 0, 10, 10}, ""))});
    return s;
}

class ObjectFileTest : public SaveSessionTest {
protected:
    void SetUp() override {
        SaveSessionTest::SetUp();
        Open(kStackPath, sb::BuildStack(ObjectStack()).bytes);
    }
    // The object saved beside the stack: its path and bytes.
    std::string Save(uint16_t kind, uint16_t id, uint16_t action = 0) {
        Handle card = 0;
        uint32_t offset = 0;
        EXPECT_TRUE(FindObject(kind, id, &card, &offset));
        const std::vector<uint8_t> record = HandleToBytes(card);
        char path[kObjectFilePathSize] = {};
        const std::span<const uint8_t> object(record.data() + offset, record.size() - offset);
        if (!WriteObjectToFile(object, kind, path, sizeof path, false))
            return {};
        EXPECT_EQ(WriteObjectFile({kind, id, action}, path), 1);
        return path;
    }
};

TEST_F(ObjectFileTest, ButtonFilesAreHeaderAndRecordAndTakeNumberedNames) {
    const std::string first = Save(kObjectButton, 10);
    const std::string second = Save(kObjectButton, 10);
    EXPECT_EQ(first, "C:\\Work\\OK.bttn");
    EXPECT_EQ(second, "C:\\Work\\OK1.bttn");
    const std::vector<uint8_t> bytes = FileBytes(first);
    ASSERT_GE(bytes.size(), 32u);
    const uint8_t head[12] = {'L', 'M', 'P', 'K', 'B', 't', 't', 'n', 0, 1, 0, 0};
    EXPECT_EQ(std::memcmp(bytes.data(), head, sizeof head), 0);
    EXPECT_TRUE(std::all_of(bytes.begin() + 12, bytes.begin() + 32, [](uint8_t b) { return b == 0; }));
    ObjectFileLayout layout;
    ASSERT_EQ(ParseObjectFile(bytes, layout), nullptr);
    EXPECT_EQ(layout.kind, kObjectButton);
    EXPECT_EQ(bytes.size(), 32u + layout.recordLength);  // a bare button: nothing else
    EXPECT_TRUE(layout.entries.empty());
    EXPECT_EQ(layout.colorTableOffset, 0u);
    // The record is the stored form: the same bytes as the stack file holds.
    EXPECT_EQ(GetBE16(bytes, 32 + 2), 10);
}

TEST_F(ObjectFileTest, GraphicsCarryColourTableUnlessFromFileAndActionLast) {
    const std::vector<uint8_t> drawn = FileBytes(Save(kObjectGraphic, 11, 300));
    ObjectFileLayout layout;
    ASSERT_EQ(ParseObjectFile(drawn, layout), nullptr);
    EXPECT_NE(layout.colorTableOffset, 0u);
    EXPECT_EQ(layout.colorTableBytes, 8u + 8u * 256u);
    ASSERT_FALSE(layout.entries.empty());
    const ObjectFileEntry& action = layout.entries.back();
    EXPECT_EQ(action.type, ResType("Actn"));
    EXPECT_EQ(action.id, 300) << "ids are kept for the placer to map";
    EXPECT_EQ(action.continuation, 0u);
    EXPECT_EQ(action.ownerKind, kObjectGraphic);
    EXPECT_EQ(action.ownerId, 11);
    EXPECT_EQ(action.name, "go");
    // Its data is the action as the stack file stores it (big-endian kind 53... as built).
    const std::vector<uint8_t> stored = sb::ActionRecord(sb::Button(0, {0, 0, 10, 10}, ""));
    ASSERT_EQ(action.length, stored.size());
    EXPECT_EQ(std::memcmp(drawn.data() + action.dataOffset, stored.data(), stored.size()), 0);

    const std::vector<uint8_t> fromFile = FileBytes(Save(kObjectGraphic, 12));
    ASSERT_EQ(ParseObjectFile(fromFile, layout), nullptr);
    EXPECT_EQ(layout.colorTableOffset, 0u);
    EXPECT_EQ(fromFile.size(), 32u + layout.recordLength);
}

TEST_F(ObjectFileTest, NamesAreCleanedAndPathsThatDoNotFitWriteNothing) {
    EXPECT_EQ(Save(kObjectButton, 13), "C:\\Work\\a_b_c.bttn");
    EXPECT_EQ(Save(kObjectButton, 14), "");  // no name: not saved beside the stack
    char small[12] = {};
    EXPECT_EQ(MakeUniqueSavePath(small, sizeof small, "OK", ".bttn"), 0);
    EXPECT_EQ(small[0], 0);
    // Another kind is refused and its file deleted.
    EXPECT_EQ(WriteObjectFile({7, 10, 0}, "C:\\Work\\odd.bttn"), 0);
    std::vector<uint8_t> none;
    EXPECT_FALSE(GetMemoryFile("C:\\Work\\odd.bttn", none));
}

TEST(ObjectFileLayout, DamagedFilesAreRefusedWithinTheirBytes) {
    std::array<uint8_t, kObjectFileHeaderBytes> header{};
    ASSERT_TRUE(BuildObjectFileHeader(kObjectButton, header));
    std::vector<uint8_t> file(header.begin(), header.end());
    ObjectFileLayout layout;
    EXPECT_STREQ(ParseObjectFile(file, layout), "record kind");
    // A record that claims more than the file holds.
    std::vector<uint8_t> record(kObjectCommonBytes, 0);
    record[1] = kObjectButton;
    record[15] = 200;
    file.insert(file.end(), record.begin(), record.end());
    EXPECT_STREQ(ParseObjectFile(file, layout), "record length");
    file[32 + 15] = kObjectCommonBytes;
    EXPECT_EQ(ParseObjectFile(file, layout), nullptr);
    // An entry whose data runs past the end.
    std::vector<uint8_t> entry(kObjectFileEntryBytes, 0);
    entry[11] = 9;
    file.insert(file.end(), entry.begin(), entry.end());
    EXPECT_STREQ(ParseObjectFile(file, layout), "entry data past the end");
    file.insert(file.end(), 9, 0xAA);
    EXPECT_EQ(ParseObjectFile(file, layout), nullptr);
    ASSERT_EQ(layout.entries.size(), 1u);
    file[32 + kObjectCommonBytes + 55] = 1;  // continues, but nothing follows
    EXPECT_STREQ(ParseObjectFile(file, layout), "last entry continues");
    EXPECT_FALSE(BuildObjectFileHeader(7, header));
}

}  // namespace
