// A file read whole into memory, for the readers that parse it afterwards (pictures, object files).
#pragma once

#include <cstdint>
#include <vector>

// The file's bytes; empty when it cannot be opened or read, or is larger than maxBytes.
std::vector<uint8_t> ReadWholeFile(const char* path, uint32_t maxBytes);
