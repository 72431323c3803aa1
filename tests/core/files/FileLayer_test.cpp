// The file wrappers over the memory file system: results, counts, positions, the slot checks,
// the save buffer, free-space roots and locating files that moved.
#include "core/files/FileLayer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileLayerMemory.h"
#include "core/files/SaveBuffer.h"
#include "tests/support/MemoryFiles.h"

namespace {

std::vector<uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

class FileLayerTest : public MemoryFilesTest {
protected:
    void TearDown() override {
        EXPECT_EQ(OpenMemoryFileCount(), 0) << "a file was left open";
        SetRemoteFileRequester(nullptr);
        MemoryFilesTest::TearDown();
    }
    std::string Contents(const char* path) {
        const std::vector<uint8_t> bytes = FileBytes(path);
        return {bytes.begin(), bytes.end()};
    }
};

TEST_F(FileLayerTest, ReadWriteSeekResults) {
    PutMemoryFile("C:\\data.bin", Bytes("0123456789"));
    SetFileSpecFromPath(3, "c:\\DATA.bin");
    FileRef file = 99;
    ASSERT_EQ(OpenFileSlot(3, kOpenReadWrite, &file), kFileOk);
    EXPECT_EQ(FileGetLength(file), 10);

    char buffer[16] = {};
    int32_t count = 4;
    EXPECT_EQ(FileRead(file, &count, buffer), kFileOk);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    int32_t position = -5;
    EXPECT_EQ(FileGetPosition(file, &position), kFileOk);
    EXPECT_EQ(position, 4);
    EXPECT_EQ(FileGetLength(file), 10);  // the position is kept
    EXPECT_EQ(FileGetPosition(file, &position), kFileOk);
    EXPECT_EQ(position, 4);

    count = 10;  // only 6 remain
    EXPECT_EQ(FileRead(file, &count, buffer), kFileFailed);
    EXPECT_EQ(count, 6);

    count = 0;  // writes nothing and succeeds
    EXPECT_EQ(FileWrite(file, &count, nullptr), kFileOk);
    EXPECT_EQ(Contents("C:\\data.bin"), "0123456789");

    EXPECT_EQ(FileSeek(file, kSeekStart, 2), kFileOk);
    count = 3;
    EXPECT_EQ(FileWrite(file, &count, "abc"), kFileOk);
    EXPECT_EQ(Contents("C:\\data.bin"), "01abc56789");
    // Only a seek that lands where the offset says counts as done.
    EXPECT_EQ(FileSeek(file, kSeekCurrent, 2), kFileFailed);
    EXPECT_EQ(FileSeek(file, kSeekStart, -1), kFileFailed);
    EXPECT_EQ(FileTruncate(file, 4), 0);
    EXPECT_EQ(Contents("C:\\data.bin"), "01ab");
    FileClose(file);

    file = 99;
    SetFileSpecFromPath(4, "C:\\missing.bin");
    EXPECT_EQ(OpenFileSlot(4, kOpenRead, &file), kFileFailed);
    EXPECT_EQ(file, kNoFile);
    EXPECT_EQ(OpenFileSlot(40, kOpenRead, &file), kFileFailed);
    EXPECT_EQ(CheckFileSlotExists(3), kFileOk);
    EXPECT_EQ(CheckFileSlotExists(4), kFileMissing);
    FileClose(kNoFile);  // nothing happens
}

TEST_F(FileLayerTest, SlotChecks) {
    PutMemoryFile("C:\\s\\one.stk", Bytes("stack bytes"));
    SetFileSpecFromPath(3, "C:\\s\\one.stk");
    SetFileSpecFromPath(5, "C:\\s\\two.stk");
    EXPECT_EQ(CopySlotFile(3, 5), kFileOk);
    EXPECT_EQ(Contents("C:\\s\\two.stk"), "stack bytes");

    uint32_t size = 1;
    int readOnly = 7;
    EXPECT_EQ(GetFileSizeAndAccess(3, &size, &readOnly), kFileOk);
    EXPECT_EQ(size, 11u);
    EXPECT_EQ(readOnly, 0);
    SetMemoryFileReadOnly("C:\\s\\one.stk", true);
    EXPECT_EQ(GetFileSizeAndAccess(3, &size, &readOnly), kFileOk);
    EXPECT_EQ(readOnly, 1);
    SetFileSpecFromPath(7, "C:\\s\\none.stk");
    EXPECT_EQ(GetFileSizeAndAccess(7, &size, &readOnly), kFileFailed);
    EXPECT_EQ(size, 0u);

    // Writability never harms a file that is there.
    EXPECT_FALSE(TestFileWritable(3));
    EXPECT_EQ(Contents("C:\\s\\one.stk"), "stack bytes");
    EXPECT_TRUE(TestFileWritable(5));
    EXPECT_EQ(Contents("C:\\s\\two.stk"), "stack bytes");
    EXPECT_TRUE(TestFileWritable(7));
    EXPECT_FALSE(FileExists("C:\\s\\none.stk"));

    char name[kFileSpecPathSize];
    ASSERT_TRUE(MakeTempFileName("LMT", name, sizeof name));
    EXPECT_EQ(std::string(name).find("LMT"), std::string(name).rfind('\\') + 1);
    EXPECT_TRUE(FileExists(name));
    DeleteFilePath(name);
    EXPECT_FALSE(FileExists(name));
}

TEST_F(FileLayerTest, SaveBufferWritesInBlocks) {
    PutMemoryFile("C:\\out.bin", Bytes("XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX"));
    SetFileSpecFromPath(3, "C:\\out.bin");
    FileRef file = kNoFile;
    ASSERT_EQ(OpenFileSlot(3, kOpenReadWrite, &file), kFileOk);
    Handle buffer = NewWriteBuffer(8 + 16);
    ASSERT_NE(buffer, 0);
    {
        HandleLock lock(buffer);
        uint32_t capacity;
        std::memcpy(&capacity, lock.get(), 4);
        EXPECT_EQ(capacity, 16u);
    }
    // 40 bytes: two full blocks go to the file at once, 8 stay held.
    std::string data;
    for (int i = 0; i < 40; ++i)
        data += static_cast<char>('a' + i % 26);
    EXPECT_EQ(WriteThroughBuffer(file, 40, data.data(), buffer), kFileOk);
    EXPECT_EQ(WriteBufferHeld(buffer), 8u);
    EXPECT_EQ(Contents("C:\\out.bin").substr(0, 33), data.substr(0, 32) + "X");

    int32_t position = 32;
    EXPECT_EQ(FlushWriteBuffer(buffer, true, file, kSeekStart, &position), kFileOk);
    EXPECT_EQ(position, 40);
    EXPECT_EQ(WriteBufferHeld(buffer), 0u);
    EXPECT_EQ(Contents("C:\\out.bin"), data);  // cut at position + held bytes
    EXPECT_EQ(FlushWriteBuffer(buffer, true, file, kSeekStart, &position), kFileOk);  // empty: nothing
    EXPECT_EQ(position, 40);

    EXPECT_EQ(WriteResourceData(file, 3, "end", 0), kFileOk);  // straight to the file
    EXPECT_EQ(Contents("C:\\out.bin"), data + "end");
    EXPECT_EQ(WriteThroughBuffer(file, 3, "abc", 0), kFileMissing);
    EXPECT_EQ(FlushWriteBuffer(0, false, file, kSeekStart, &position), kFileMissing);

    // A full disk: the write's error comes back.
    SetMemoryFileSizeLimit(43 + 16);  // room for one more block
    EXPECT_EQ(WriteThroughBuffer(file, 20, data.data(), buffer), kFileOk);
    EXPECT_EQ(WriteThroughBuffer(file, 20, data.data(), buffer), kFileFailed);
    DisposeWriteBuffer(&buffer);
    EXPECT_EQ(buffer, 0);
    FileClose(file);
}

TEST(FileLayerDrive, RootsAndClamping) {
    struct Case {
        const char* path;
        const char* root;
    };
    const Case cases[] = {
        {"C:\\Stacks\\a.stk", "C:\\"},
        {"d:", "d:\\"},
        {"\\\\server\\share\\folder\\a.stk", "\\\\server\\share\\"},
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"\\\\server", ""},
        {"relative\\a.stk", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        char root[64] = "junk";
        DriveSpaceRoot(c.path, root, sizeof root);
        EXPECT_STREQ(root, c.root) << c.path;
    }
    EXPECT_EQ(ClampFreeBytes(5ull << 30), 0xFFFFFFFFu);  // 5 GB would wrap to 1 GB in 32 bits
    EXPECT_EQ(ClampFreeBytes(0xFFFFFFFFull), 0xFFFFFFFFu);
    EXPECT_EQ(ClampFreeBytes(123456), 123456u);
}

// ---- Locating files ----

int g_remoteCalls = 0;
int RemoteFound(const FileRequest&, int destination) {
    ++g_remoteCalls;
    SetFileSpecFromPath(destination, "C:\\cache\\got.wav");
    return 1;
}
// The requester of a stack of this machine: its files are looked for here.
int StackOfThisMachine(const FileRequest&, int) {
    ++g_remoteCalls;
    return kStackFilesAreHere;
}

bool g_dialogShown = false;
std::string g_dialogStart;
bool PickInDialog(const FileRequest&, const FileSpec& start, FileSpec* chosen) {
    g_dialogShown = true;
    g_dialogStart = std::string(PathOf(start));
    SetFileSpecPath(chosen, "E:\\picked\\voice.wav");
    return true;
}
bool CancelDialog(const FileRequest&, const FileSpec&, FileSpec*) {
    g_dialogShown = true;
    return false;
}

TEST_F(FileLayerTest, LocateAsksWhereTheStackCameFrom) {
    const FileRequest request{2413, "Sounds\0*.wav\0", 0, 0, 5, 0};
    SetFileSpecFromPath(kSlotCurrentStack, "C:\\cache\\site.stk");
    SetFileSpecFromPath(5, "C:\\old\\voice.wav");
    SetLocateFileDialog(CancelDialog);
    g_dialogShown = false;
    EXPECT_EQ(LocateFile(request, 9, false), 0);  // no requester installed: only here, and not here
    EXPECT_TRUE(g_dialogShown);
    SetLocateFileDialog(nullptr);
    g_remoteCalls = 0;
    SetRemoteFileRequester(RemoteFound);
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(g_remoteCalls, 1);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "C:\\cache\\got.wav");

    // A file the user dropped on this machine is taken from here (whatever the case of its
    // path); another one still goes to the server.
    PutMemoryFile("C:\\Library\\Sounds\\dropped.wav", Bytes("d"));
    RememberFileChosenHere("C:\\Library\\Sounds\\dropped.wav");
    SetFileSpecFromPath(5, "c:\\library\\sounds\\DROPPED.wav");
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(g_remoteCalls, 1);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "c:\\library\\sounds\\DROPPED.wav");
    SetFileSpecFromPath(5, "C:\\Library\\Sounds\\other.wav");
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(g_remoteCalls, 2);
    // What was dropped on one stack is that stack's: another stack naming it asks its own source.
    SetFileSpecFromPath(kSlotCurrentStack, "C:\\cache\\other-site.stk");
    SetFileSpecFromPath(5, "C:\\Library\\Sounds\\dropped.wav");
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(g_remoteCalls, 3);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "C:\\cache\\got.wav");
}

TEST_F(FileLayerTest, LocateLocallyInItsOrder) {
    SetRemoteFileRequester(StackOfThisMachine);
    SetLocateFileDialog(CancelDialog);
    const FileRequest request{2413, "Sounds\0*.wav\0", 0, 0, 5, 0};
    SetFileSpecFromPath(kSlotCurrentStack, "F:\\web\\stacks\\demo.stk");

    // The remembered path itself.
    PutMemoryFile("C:\\old\\sounds\\voice.wav", Bytes("w"));
    SetFileSpecFromPath(5, "C:\\old\\sounds\\voice.wav");
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "C:\\old\\sounds\\voice.wav");

    // Another drive, C to Z first, then A and B.
    PutMemoryFile("A:\\old\\sounds\\moved.wav", Bytes("a"));
    PutMemoryFile("Q:\\old\\sounds\\moved.wav", Bytes("q"));
    SetFileSpecFromPath(5, "D:\\old\\sounds\\moved.wav");
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "Q:\\old\\sounds\\moved.wav");
    EXPECT_STREQ(GetFileSpec(9)->name, "moved.wav");

    // Near the stack: the shortest tail first, in the stack's folder, then its parent.
    PutMemoryFile("F:\\web\\stacks\\sounds\\near.wav", Bytes("1"));
    PutMemoryFile("F:\\web\\near.wav", Bytes("2"));
    SetFileSpecFromPath(5, "D:\\old\\sounds\\near.wav");
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "F:\\web\\stacks\\sounds\\near.wav");
    PutMemoryFile("F:\\web\\stacks\\near.wav", Bytes("3"));
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "F:\\web\\stacks\\near.wav");
    SetFileSpecFromPath(5, "D:\\old\\gone\\far.wav");
    PutMemoryFile("F:\\web\\gone\\far.wav", Bytes("4"));
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "F:\\web\\gone\\far.wav");

    // Prefer-near takes the near copy over the remembered one.
    PutMemoryFile("C:\\old\\x\\both.wav", Bytes("r"));
    PutMemoryFile("F:\\web\\stacks\\both.wav", Bytes("n"));
    SetFileSpecFromPath(5, "C:\\old\\x\\both.wav");
    EXPECT_EQ(LocateFile(request, 9, true), 1);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "F:\\web\\stacks\\both.wav");
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "C:\\old\\x\\both.wav");

    // Two folders up is too far; then the user is asked, starting beside the stack.
    PutMemoryFile("F:\\far.wav", Bytes("5"));
    SetFileSpecFromPath(5, "D:\\deep\\far.wav");
    g_dialogShown = false;
    EXPECT_EQ(LocateFile(request, 9, false), 0);
    EXPECT_TRUE(g_dialogShown);
    SetLocateFileDialog(PickInDialog);
    EXPECT_EQ(LocateFile(request, 9, false), 1);
    EXPECT_EQ(g_dialogStart, "F:\\web\\stacks\\far.wav");
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(9))), "E:\\picked\\voice.wav");

    // A file remembered outside the table: the answer comes back to the caller, no slot changes.
    SetFileSpecFromPath(kSlotScratch, "C:\\kept.wav");
    FileSpec remembered = EmptyFileSpec(), found = EmptyFileSpec();
    SetFileSpecPath(&remembered, "D:\\deep\\far.wav");
    g_dialogStart.clear();
    EXPECT_TRUE(LocateRememberedFile(request, remembered, &found, false));
    EXPECT_EQ(std::string(PathOf(found)), "E:\\picked\\voice.wav");
    EXPECT_EQ(g_dialogStart, "F:\\web\\stacks\\far.wav");
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotScratch))), "C:\\kept.wav");
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(5))), "D:\\deep\\far.wav") << "nor the request's slot";
    SetLocateFileDialog(nullptr);
}

TEST_F(FileLayerTest, NearSearchStopsAtTheDrive) {
    char found[kFileSpecPathSize] = "poison";
    PutMemoryFile("C:\\a.wav", Bytes("x"));
    EXPECT_TRUE(FindFileNearStackPath("Z:\\q\\a.wav", "C:\\demo.stk", found, sizeof found));
    EXPECT_STREQ(found, "C:\\a.wav");
    EXPECT_FALSE(FindFileNearStackPath("Z:\\q\\b.wav", "C:\\demo.stk", found, sizeof found));
    EXPECT_STREQ(found, "");
    EXPECT_FALSE(FindFileNearStackPath("b.wav", "nofolder", found, sizeof found));
    // A remembered path in Mac form is cut at its colons too.
    PutMemoryFile("C:\\s\\c.wav", Bytes("x"));
    EXPECT_TRUE(FindFileNearStackPath("Disk:Sounds:c.wav", "C:\\s\\demo.stk", found, sizeof found));
    EXPECT_STREQ(found, "C:\\s\\c.wav");
}

}  // namespace
