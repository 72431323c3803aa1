// Paths in the media library's folder (no Windows code).
#pragma once

#include <cstddef>
#include <string>

inline constexpr size_t kMediaLibPathBytes = 261;

// Folder, backslash, name and extension in out (at most min(size, 261) bytes); while a file of
// that name exists, 1, 2, 3 ... are appended to the name. 1, or 0 (out emptied) without a
// record, out, name or extension, with an empty name or when the path does not fit.
int MakeUniqueMediaLibPath(char* out, const char* name, const char* extension, size_t size);

// The last component of a backslashed path (the whole path when it has no backslash), and what
// comes before that backslash (empty when none).
std::string LastPathComponent(const std::string& path);
std::string ParentPath(const std::string& path);
