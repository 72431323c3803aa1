// Tests over files in memory: the memory file system installed for a scope, and a fixture that
// also readies the handle table and the folder table of a plug-in at C:\Loom\nploom.dll.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/files/FileLayer.h"

// Empties the memory file system and installs it; the file system that was active before is put
// back when the scope ends.
class MemoryFileSystemInUse {
public:
    MemoryFileSystemInUse();
    ~MemoryFileSystemInUse();
    MemoryFileSystemInUse(const MemoryFileSystemInUse&) = delete;
    MemoryFileSystemInUse& operator=(const MemoryFileSystemInUse&) = delete;

private:
    const FileSystemOps* previous_;
};

// The bytes of a file of the memory file system; a failure of the test when there is none.
std::vector<uint8_t> FileBytes(std::string_view path);

// Each test starts with the handle table, the folder table and an empty memory file system, and
// all three are undone after it. Fixtures that add to it call SetUp first and TearDown last.
class MemoryFilesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    std::optional<MemoryFileSystemInUse> files_;
};
