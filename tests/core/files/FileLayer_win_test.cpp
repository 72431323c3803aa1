// The file layer on the system's files: the Win16 calls, temporary names, the table's start
// from the module, code libraries from a slot, and free space.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "tests/support/DialogDriver_win.h"

namespace {

class FileLayerWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandle(nullptr));
        ASSERT_TRUE(InitMemRefs());
        ASSERT_TRUE(InitFolderTable());
        previous_ = &ActiveFileSystem();
        SetFileSystem(SystemFileSystem());
    }
    void TearDown() override {
        SetFileSystem(previous_);
        FreeFolderTable();
        FreeMemRefs();
    }
    const FileSystemOps* previous_ = nullptr;
};

TEST_F(FileLayerWinTest, SystemFilesThroughTheWrappers) {
    char path[MAX_PATH];
    ASSERT_TRUE(MakeTempFileName("LMT", path, sizeof path));
    const std::string name = std::string(path).substr(std::string(path).rfind('\\') + 1);
    EXPECT_EQ(name.rfind("LMT", 0), 0u) << path;
    EXPECT_TRUE(FileExists(path));

    SetFileSpecFromPath(3, path);
    FileRef file = kNoFile;
    ASSERT_EQ(OpenFileSlot(3, kOpenReadWrite, &file), kFileOk);
    int32_t count = 10;
    EXPECT_EQ(FileWrite(file, &count, "0123456789"), kFileOk);
    count = 0;
    EXPECT_EQ(FileWrite(file, &count, nullptr), kFileOk);
    EXPECT_EQ(FileGetLength(file), 10);
    EXPECT_EQ(FileSeek(file, kSeekStart, 3), kFileOk);
    char buffer[16] = {};
    count = 4;
    EXPECT_EQ(FileRead(file, &count, buffer), kFileOk);
    EXPECT_STREQ(buffer, "3456");
    int32_t position = 0;
    EXPECT_EQ(FileGetPosition(file, &position), kFileOk);
    EXPECT_EQ(position, 7);
    count = 8;
    EXPECT_EQ(FileRead(file, &count, buffer), kFileFailed);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(FileTruncate(file, 5), 0);
    EXPECT_EQ(FileGetLength(file), 5);
    FileClose(file);

    uint32_t size = 0;
    int readOnly = 1;
    EXPECT_EQ(GetFileSizeAndAccess(3, &size, &readOnly), kFileOk);
    EXPECT_EQ(size, 5u);
    EXPECT_EQ(readOnly, 0);
    EXPECT_TRUE(TestFileWritable(3));
    EXPECT_EQ(CheckFileSlotExists(3), kFileOk);

    // A path longer than the 128 characters of the old file record is found and removed.
    const std::string copy = std::string(path) + "." + std::string(140, 'c') + ".copy";
    SetFileSpecFromPath(4, copy.c_str());
    EXPECT_EQ(CopySlotFile(3, 4), kFileOk);
    EXPECT_EQ(CheckFileSlotExists(4), kFileOk);
    EXPECT_TRUE(FileExists(copy.c_str()));
    DeleteFilePath(copy.c_str());
    EXPECT_EQ(GetFileAttributesA(copy.c_str()), INVALID_FILE_ATTRIBUTES) << "removed";
    EXPECT_FALSE(FileExists(copy.c_str()));
    DeleteFilePath(path);
    EXPECT_EQ(CheckFileSlotExists(3), kFileMissing);
    file = 5;
    EXPECT_EQ(OpenFileSlot(3, kOpenRead, &file), kFileFailed);
    EXPECT_EQ(file, kNoFile);
    SetFileSpecFromPath(5, "R:\\no such drive\\x.stk");  // no box for a missing drive
    EXPECT_EQ(OpenFileSlot(5, kOpenRead, &file), kFileFailed);
    EXPECT_FALSE(FileExists("R:\\no such drive\\x.stk"));
}

TEST_F(FileLayerWinTest, OpeningAStackForSaving) {
    FreeAlertSuppressionList();
    char path[MAX_PATH];
    ASSERT_TRUE(MakeTempFileName("LMT", path, sizeof path));
    SetFileSpecFromPath(3, path);
    FileRef file = kNoFile;
    DialogDriver quiet;
    EXPECT_TRUE(quiet.Run([&] { return OpenStackForSave(3, 1000, &file); }));
    EXPECT_EQ(quiet.DialogsSeen(), 0);
    ASSERT_NE(file, kNoFile);
    int32_t count = 4;
    EXPECT_EQ(FileWrite(file, &count, "save"), kFileOk);
    FileClose(file);

    // A stack that cannot be written (here: held by another program) is refused with the
    // message of -2688.
    HANDLE holder = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(0), [](DialogView& box) { box.Press(52); });
    EXPECT_FALSE(driver.Run([&] { return OpenStackForSave(3, 1000, &file); }));
    EXPECT_EQ(file, kNoFile);
    CloseHandle(holder);
    DeleteFilePath(path);
    FreeAlertSuppressionList();
}

TEST_F(FileLayerWinTest, TableStartsBesideTheModule) {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotProgram))), module);
    std::string folder(module);
    folder.resize(folder.rfind('\\'));
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotNbaFolder))), folder + "\\NBAs\\");
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotExtrasFolder))), folder + "\\Extras\\");
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotMediaFolder4))), folder + "\\Media Library\\");
    char buffer[MAX_PATH];
    GetModuleFolder(buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), folder);
}

TEST_F(FileLayerWinTest, LibrariesFromAFolderSlot) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, sizeof system);
    SetFileSpecFromPath(7, (std::string(system) + "\\").c_str());
    void* module = LoadLibraryFromSlot("version.dll", 7);
    ASSERT_NE(module, nullptr);
    FreeLibrary(static_cast<HMODULE>(module));
    EXPECT_EQ(LoadLibraryFromSlot("no such library.nba", 7), nullptr);
}

TEST_F(FileLayerWinTest, FreeSpace) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    uint32_t freeBytes = 0;
    EXPECT_EQ(CheckDriveSpace(temp, &freeBytes), kFileOk);
    EXPECT_GT(freeBytes, 0u);
    ULARGE_INTEGER available = {}, total = {}, totalFree = {};
    char root[4] = {temp[0], ':', '\\', 0};
    ASSERT_TRUE(GetDiskFreeSpaceExA(root, &available, &total, &totalFree));
    EXPECT_EQ(freeBytes, available.QuadPart > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(available.QuadPart));

    // A drive whose space cannot be read: unknown, nothing free.
    freeBytes = 77;
    EXPECT_EQ(CheckDriveSpace("R:\\Stacks\\a.stk", &freeBytes), kFileMissing);
    EXPECT_EQ(freeBytes, 0u);
}

}  // namespace

// Paths up to 259 characters work whole: a stack that deep finds the one lying beside it, opens
// it, and a longer path is refused by the slot instead of being cut to name another file.
TEST_F(FileLayerWinTest, PathsOfTwoHundredFiftyNineCharactersWorkWhole) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "deep" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string top = folder;
    std::vector<std::string> made{folder};
    const std::string stackName = "\\this.st", otherName = "\\other.st";
    // Folders of at most 60 characters until the stack's path is 259 characters long.
    while (folder.size() + stackName.size() < 259) {
        const size_t room = 259 - folder.size() - stackName.size() - 1;
        folder += "\\" + std::string(std::min<size_t>(room, 60), 'f');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        made.push_back(folder);
    }
    const std::string stack = folder + stackName, other = folder + otherName.substr(0, 6) + ".s";
    ASSERT_EQ(stack.size(), 259u);
    for (const std::string& path : {stack, other}) {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
        CloseHandle(f);
    }

    ASSERT_TRUE(SetFileSpecFromPath(kSlotCurrentStack, stack.c_str()));
    FileRef file = kNoFile;
    EXPECT_EQ(OpenFileSlot(kSlotCurrentStack, kOpenRead, &file), kFileOk);
    FileClose(file);
    char found[kFileSpecPathSize] = {};
    EXPECT_TRUE(FindFileNearStackPath("Disk:Stacks:other.s", stack.c_str(), found, sizeof found));
    EXPECT_EQ(std::string(found), other);
    {
        const LocateFileWithoutAsking quiet;
        const FileRequest request{};
        EXPECT_TRUE(LocateRememberedPath(request, "Q:\\elsewhere\\other.s", found, sizeof found, false, true));
        EXPECT_EQ(std::string(found), other);
    }

    // A name that makes the path 260 characters long is refused whole.
    char named[kFileSpecPathSize];
    CopyPathText(stack, named, sizeof named);
    EXPECT_FALSE(SetPathFileName("these.st", named, sizeof named));
    EXPECT_STREQ(named, "");
    EXPECT_FALSE(SetFileSpecFromPath(kSlotCurrentStack, (stack + "x").c_str()));
    EXPECT_STREQ(GetFileSpec(kSlotCurrentStack)->path, "");

    DeleteFileA(stack.c_str());
    DeleteFileA(other.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryA(it->c_str());
}
