// The file-spec table: its start from the module path, slot operations with their bounds, and
// the packed form kept in stack chunks.
#include "core/files/FileSlots.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

size_t FolderStrings(int id, char* buffer, size_t size) {
    const char* text = id == 2653 ? "NBAs\\" : id == 2656 ? "Extras\\" : "Media Library\\";
    std::snprintf(buffer, size, "%s", text);
    return std::strlen(buffer);
}

class FileSpecTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitMemRefs());
        ASSERT_TRUE(InitFolderTableAt("C:\\Program Files\\Loom\\nploom.dll", FolderStrings));
    }
    void TearDown() override {
        FreeFolderTable();
        FreeMemRefs();
    }
};

std::string SlotPath(int slot) { return std::string(PathOf(*GetFileSpec(slot))); }

TEST_F(FileSpecTest, TableStartsBesideTheModule) {
    struct Case {
        int slot;
        const char* path;
    };
    const Case cases[] = {
        {0, "C:\\Program Files\\Loom\\nploom.dll"},
        {1, "C:\\Program Files\\Loom\\nploom.dll"},
        {2, "C:\\Program Files\\Loom\\Media Library\\"},
        {4, "C:\\Program Files\\Loom\\Media Library\\"},
        {6, "C:\\Program Files\\Loom\\nploom.dll"},
        {12, "C:\\Program Files\\Loom\\NBAs\\"},
        {14, "C:\\Program Files\\Loom\\Media Library\\"},
        {17, "C:\\Program Files\\Loom\\Extras\\"},
        {18, "C:\\Program Files\\Loom\\Media Library\\"},
        {20, "C:\\Program Files\\Loom\\nploom.dll"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SlotPath(c.slot), c.path) << "slot " << c.slot;
    for (int slot = 0; slot < kFileSpecCount; ++slot) {
        const FileSpec& spec = *GetFileSpec(slot);
        EXPECT_EQ(spec.volume, -1) << slot;
        EXPECT_EQ(spec.folder, 0u) << slot;
        EXPECT_EQ(spec.flag, 0) << slot;
        EXPECT_EQ(spec.name[0], 0) << slot;
    }
    EXPECT_EQ(GetFileSpec(-1), nullptr);
    EXPECT_EQ(GetFileSpec(21), nullptr);
    // The table stays locked for the run.
    EXPECT_GE(GetHandleLockCount(GetFileSpecTableHandle()), 1);
}

TEST_F(FileSpecTest, PathAndNameOperations) {
    char path[kFileSpecPathSize] = "C:\\Apps\\Loom\\nploom.dll";
    SetPathFileName("LMPREFS.INI", path, sizeof path);
    EXPECT_STREQ(path, "C:\\Apps\\Loom\\LMPREFS.INI");
    char bare[32] = "nofolder";
    SetPathFileName("x.txt", bare, sizeof bare);
    EXPECT_STREQ(bare, "nofolder\\x.txt");

    char name[kFileSpecNameSize];
    GetPathFileName("C:\\a\\b\\song.wav", name, sizeof name);
    EXPECT_STREQ(name, "song.wav");
    GetPathFileName("C:\\a\\b\\", name, sizeof name);
    EXPECT_STREQ(name, "");

    SetFileSpecFromPath(3, "D:\\Stacks\\Demo.stk");
    EXPECT_EQ(SlotPath(3), "D:\\Stacks\\Demo.stk");
    EXPECT_STREQ(GetFileSpec(3)->name, "Demo.stk");
    SetFileSpecFromPath(5, "plain.stk");
    EXPECT_STREQ(GetFileSpec(5)->name, "plain.stk");
    char folder[kFileSpecPathSize];
    GetFileSpecFolder(3, folder, sizeof folder);
    EXPECT_STREQ(folder, "D:\\Stacks");

    SetFileSpecFromPath(7, "d:\\STACKS\\demo.STK");
    EXPECT_TRUE(SameFileSpecPath(3, 7));
    EXPECT_FALSE(SameFileSpecPath(3, 5));
    EXPECT_FALSE(SameFileSpecPath(3, 21));

    GetFileSpec(3)->kind = 77;
    CopyFileSpec(3, 0);
    EXPECT_EQ(std::memcmp(GetFileSpec(0), GetFileSpec(3), sizeof(FileSpec)), 0);
    SetFileSpecFromPath(21, "ignored");  // outside the table: nothing happens
}

TEST_F(FileSpecTest, LongPathIsRefusedAndNamesAreCut) {
    const std::string longFolder = "C:\\" + std::string(300, 'f');
    const std::string longName(100, 'n');
    // A path the slot cannot hold whole would name another file: the slot is left empty.
    SetFileSpecFromPath(8, "C:\\before.stk");
    EXPECT_FALSE(SetFileSpecFromPath(8, (longFolder + "\\" + longName).c_str()));
    EXPECT_EQ(PathOf(*GetFileSpec(8)), "");
    EXPECT_EQ(NameOf(*GetFileSpec(8)), "");
    const std::string longest = "C:\\" + std::string(252, 'f') + "\\a.b";  // 259 characters
    EXPECT_TRUE(SetFileSpecFromPath(8, longest.c_str()));
    const FileSpec& spec = *GetFileSpec(8);
    EXPECT_EQ(PathOf(spec), longest);
    EXPECT_EQ(NameOf(spec), "a.b");
    EXPECT_FALSE(SetFileSpecFromPath(8, (longest + "c").c_str()));

    SetFileSpecFromPath(9, ("C:\\x\\" + longName).c_str());
    EXPECT_EQ(std::string(NameOf(*GetFileSpec(9))), longName.substr(0, kFileSpecNameSize - 1));

    // Buffer sizes: the path is cut to size - 1 and terminated; bytes past the size are untouched.
    SetFileSpecFromPath(10, "C:\\abcdefghij.stk");
    char buffer[40];
    std::memset(buffer, '#', sizeof buffer);
    GetFileSpecPath(10, 8, buffer);
    EXPECT_STREQ(buffer, "C:\\abcd");
    EXPECT_EQ(buffer[8], '#');
    std::memset(buffer, '#', sizeof buffer);
    GetFileSpecPath(30, 20, buffer);  // no such slot: cleared
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[19], 0);
    EXPECT_EQ(buffer[20], '#');
    std::vector<char> wide(400, '#');
    SetFileSpecFromPath(8, longest.c_str());
    GetFileSpecPath(8, 1000, wide.data());  // a size above 260 counts as 260
    EXPECT_EQ(std::strlen(wide.data()), kFileSpecPathSize - 1);
    EXPECT_EQ(wide[kFileSpecPathSize], '#');
}

TEST_F(FileSpecTest, PackedFormPadsToEvenOffsets) {
    struct Case {
        const char* path;
        size_t volumeOffset;
    };
    const Case cases[] = {{"C:\\abc.wav", 12}, {"C:\\abcd.wav", 12}, {"", 2}, {"a", 2}};
    for (const Case& c : cases) {
        SetFileSpecFromPath(11, c.path);
        GetFileSpec(11)->volume = 0x1234;
        GetFileSpec(11)->folder = 0xA1B2C3D4;
        Handle packed = 0;
        ASSERT_EQ(PackFileSpec(11, &packed), 1) << c.path;
        const std::vector<uint8_t> bytes = HandleToBytes(packed);
        const std::string name(NameOf(*GetFileSpec(11)));
        ASSERT_EQ(bytes.size(), c.volumeOffset + 6 + name.size() + 1) << c.path;
        EXPECT_EQ(bytes[c.volumeOffset], 0x34) << c.path;
        EXPECT_EQ(bytes[c.volumeOffset + 1], 0x12) << c.path;
        EXPECT_EQ(bytes[c.volumeOffset + 2], 0xD4) << c.path;
        EXPECT_EQ(bytes[c.volumeOffset + 5], 0xA1) << c.path;

        SetFileSpecFromPath(12, "C:\\other");
        UnpackFileSpec(12, packed);
        EXPECT_EQ(SlotPath(12), c.path);
        EXPECT_EQ(std::string(NameOf(*GetFileSpec(12))), name);
        EXPECT_EQ(GetFileSpec(12)->volume, -1) << "only path and name are restored";
        DisposeHandle(packed);
    }
    Handle none = 123;
    EXPECT_EQ(PackFileSpec(25, &none), 0);
    EXPECT_EQ(none, 0);
}

TEST_F(FileSpecTest, UnpackingHostileBytesStaysInside) {
    const std::vector<uint8_t> noTerminator(400, 'x');
    UnpackFileSpec(13, noTerminator);
    EXPECT_EQ(PathOf(*GetFileSpec(13)).size(), 0u) << "a path too long for the slot is not cut";
    EXPECT_EQ(GetFileSpec(13)->name[0], 0);

    const uint8_t shortRecord[] = {'a', 'b', 0, 1, 2};
    UnpackFileSpec(13, shortRecord);
    EXPECT_EQ(SlotPath(13), "ab");
    EXPECT_EQ(GetFileSpec(13)->name[0], 0);

    std::vector<uint8_t> longName = {'p', 0, 0, 0, 0, 0, 0, 0};  // odd path: no pad byte
    longName.insert(longName.end(), 200, 'n');
    UnpackFileSpec(13, longName);
    EXPECT_EQ(SlotPath(13), "p");
    EXPECT_EQ(NameOf(*GetFileSpec(13)).size(), kFileSpecNameSize - 1);
    UnpackFileSpec(13, std::span<const uint8_t>());
    EXPECT_EQ(SlotPath(13), "");
}

TEST(FileSpecTable, NoTableMeansNoSlots) {
    ASSERT_TRUE(InitMemRefs());
    FreeFolderTable();
    EXPECT_EQ(GetFileSpec(0), nullptr);
    char buffer[16] = "junk";
    GetFileSpecPath(1, sizeof buffer, buffer);
    EXPECT_STREQ(buffer, "");
    CopyFileSpec(1, 2);  // does nothing
    FreeMemRefs();
}

}  // namespace
