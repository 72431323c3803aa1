// File kinds by extension: the index of a name's extension in one fixed table. The open and
// save dialogs, importers and players pick their handling from it.
#pragma once

#include <cstdint>
#include <string_view>

// Indexes of the extension table.
enum FileType : int {
    kFileTypeNone = -1,
    kFileTypeBmp = 0, kFileTypeTif, kFileTypeJpg, kFileTypeGif, kFileTypePcx, kFileTypeBif, kFileTypePic,
    kFileTypePct, kFileTypePng, kFileTypePsd, kFileTypeTga, kFileTypeStk, kFileTypeWav, kFileTypeMov,
    kFileTypeTxt, kFileTypeExe, kFileTypeVid, kFileTypeCam, kFileTypeTw, kFileTypeAvi, kFileTypeAif,
    kFileTypeAu, kFileTypeWmf, kFileTypeMid, kFileTypeMpg, kFileTypeMpeg,
};

// The index of the text after the last '.', compared without regard to case; -1 when the name
// has no '.' or the extension is not listed.
int FileTypeFromExtension(std::string_view name);

// Kind groups, on a name or on an index.
bool IsPictureFileType(std::string_view name);
bool IsPictureFileType(int type);  // 0-10 and 22
// The string of the pictures' Open filter ("Pictures *.bmp;*.pcx;...").
inline constexpr uint32_t kStringPictureFilter = 4034;
bool IsSoundFileType(std::string_view name);
bool IsSoundFileType(int type);    // 12, 20, 21, 23
bool IsMovieFileType(std::string_view name);
bool IsMovieFileType(int type);    // 13, 19, 24, 25
// ".vid", ".cam" and ".tw": names that stood for the live picture sources, never a file to read.
constexpr bool IsLiveSourceFileType(int type) {
    return type == kFileTypeVid || type == kFileTypeCam || type == kFileTypeTw;
}
