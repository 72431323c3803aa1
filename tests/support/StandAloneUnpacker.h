// Reads a stand-alone stack package from its trailer, for tests. Written from the package's
// documented layout alone and sharing nothing with the program's writer, so that the two check
// each other:
//   record:  64-byte NUL-terminated name, u32 LE length, the bytes
//   trailer (last 44 bytes, u32 LE): +0 player record offset, +4 library record offset, +8 0,
//            +12/+16 +20/+24 +28/+32 count and start of each group (starts from the player
//            record's first data byte), +36 "_STACK_\0"
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct UnpackedFile {
    std::string name;
    std::vector<uint8_t> bytes;
};

struct UnpackedPackage {
    std::string error;  // empty when the package read whole
    uint32_t playerOffset = 0, libraryOffset = 0, zeroField = 0;
    uint32_t counts[3] = {}, starts[3] = {};
    uint32_t playerLength = 0;       // the patched length field
    std::vector<uint8_t> launcher;   // bytes before the library record
    UnpackedFile library;
    UnpackedFile player;             // its own bytes: up to the first group
    std::vector<UnpackedFile> groups[3];
};

UnpackedPackage UnpackStandAlone(std::span<const uint8_t> package);
std::vector<uint8_t> ReadWholeFile(const std::string& path);
