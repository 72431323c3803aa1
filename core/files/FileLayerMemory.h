// A file system in memory under the file layer, for tests and fuzzing: files by path (compared
// without regard to ASCII case), handles with positions, and counters that show what was left
// open. It stands in wherever no system file system is installed.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/FileLayer.h"

const FileSystemOps& MemoryFileSystemOps();

// Empties the memory file system and makes it the active one.
void UseMemoryFileSystem();
void PutMemoryFile(std::string_view path, std::span<const uint8_t> bytes);
bool GetMemoryFile(std::string_view path, std::vector<uint8_t>& bytes);
int OpenMemoryFileCount();          // handles not yet closed
void SetMemoryFileReadOnly(std::string_view path, bool readOnly);
void SetMemoryFileSizeLimit(uint32_t limit);  // writes beyond it fail (a full disk)
void SetMemoryReplaceFails(bool fails);       // every replacement fails (a locked target)
std::vector<std::string> MemoryFilePaths();
