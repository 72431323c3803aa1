// Tests over files in memory.
#include "tests/support/MemoryFiles.h"

#include "core/files/FileLayerMemory.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"

MemoryFileSystemInUse::MemoryFileSystemInUse() : previous_(&ActiveFileSystem()) { UseMemoryFileSystem(); }

MemoryFileSystemInUse::~MemoryFileSystemInUse() {
    SetFileSystem(previous_ == &MemoryFileSystemOps() ? nullptr : previous_);
}

void MemoryFilesTest::SetUp() {
    ASSERT_TRUE(InitMemRefs());
    ASSERT_TRUE(InitFolderTableAt("C:\\Loom\\nploom.dll", nullptr));
    files_.emplace();
}

void MemoryFilesTest::TearDown() {
    files_.reset();
    FreeFolderTable();
    FreeMemRefs();
}

std::vector<uint8_t> FileBytes(std::string_view path) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(GetMemoryFile(path, bytes)) << path;
    return bytes;
}
