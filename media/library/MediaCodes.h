// Media codes: what kind of media a file is, by its name and its first bytes. A code is the
// string id of the extension list that names the kind, or 1 for rich text, 2 for an animated
// GIF, 0 for no kind. No Windows code: every file is read through the file layer, bounded.
//
//   MediaCodes.cpp        the lists, classification, the saved-object header
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "format/StackFile.h"

inline constexpr int kMediaNone = 0, kMediaRichText = 1, kMediaAnimatedGif = 2;
inline constexpr int kMediaSound = 13800, kMediaProgram = 13801, kMediaModule = 13802, kMediaStack = 13803,
                     kMediaPicture = 13804, kMediaText = 13805, kMediaMovie = 13806, kMediaShortcut = 13807,
                     kMediaButton = 13808, kMediaGraphic = 13809, kMediaTextObject = 13810;

struct MediaKind {
    int code;
    std::string_view extensions;  // lower case, each followed by a blank
    uint32_t typeText;            // string id of the list's type column
};

inline constexpr std::array<MediaKind, 11> kMediaKinds{{
    {kMediaSound, "wav aif au ", 2518},
    {kMediaProgram, "exe ", 4200},
    {kMediaModule, "nba ", 4201},
    {kMediaStack, "stk ", 4198},
    {kMediaPicture, "bmp dib pcx gif jpg tif pic pct tga bif wmf ", 4199},
    {kMediaText, "txt ", 2519},
    {kMediaMovie, "avi mov mpg mpeg ", 4197},
    {kMediaShortcut, "lnk ", 4202},
    {kMediaButton, "bttn ", 4026},
    {kMediaGraphic, "grfc ", 4027},
    {kMediaTextObject, "tfld ", 4028},
}};

// The code of the first list one of whose words begins the extension (case ignored), 0 for none.
int MediaCodeForExtension(std::string_view extension);

// The 32-byte header of a saved object file, in host order.
struct SavedObjectHeader {
    uint32_t magic;
    uint32_t kind;
    uint32_t version;
    uint8_t rest[20];
};
// Converts the first three fields from the file's big-endian order.
void SwapObjectFileHeader(SavedObjectHeader* header);
// Reads and converts the header; false for a file shorter than 32 bytes.
bool ReadObjectFileHeader(const char* path, SavedObjectHeader* header);
// 13808, 13809 or 13810 by the header's kind when its magic is 'LMPK'; else 0.
int ObjectFileKindOfHeader(const SavedObjectHeader& header);
int ObjectFileKind(const char* path);

// The code of a file from its name and bytes (no check that it exists). A saved object is known
// by its header whatever its extension.
int MediaCodeForFile(const char* path);
// The same decision over bytes already read: the file's name and its first bytes (at least
// the header, the whole file for a GIF's image count).
int MediaCodeForBytes(std::string_view name, std::span<const uint8_t> bytes);
