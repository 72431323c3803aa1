// The extension table and the kind groups over it.
#include "core/files/FileTypes.h"

#include <array>

#include "core/text/MacText.h"

namespace {

constexpr std::array<std::string_view, 26> kExtensions = {
    "bmp", "tif", "jpg", "gif", "pcx", "bif", "pic", "pct", "png", "psd", "tga", "stk", "wav",
    "mov", "txt", "exe", "vid", "cam", "tw",  "avi", "aif", "au",  "wmf", "mid", "mpg", "mpeg",
};

}  // namespace

int FileTypeFromExtension(std::string_view name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return kFileTypeNone;
    const std::string_view extension = name.substr(dot + 1);
    for (int i = static_cast<int>(kExtensions.size()) - 1; i >= 0; --i)
        if (EqualAsciiNoCase(extension, kExtensions[i]))
            return i;
    return kFileTypeNone;
}

bool IsPictureFileType(int type) { return (type >= kFileTypeBmp && type <= kFileTypeTga) || type == kFileTypeWmf; }
bool IsSoundFileType(int type) {
    return type == kFileTypeWav || type == kFileTypeAif || type == kFileTypeAu || type == kFileTypeMid;
}
bool IsMovieFileType(int type) {
    return type == kFileTypeMov || type == kFileTypeAvi || type == kFileTypeMpg || type == kFileTypeMpeg;
}

bool IsPictureFileType(std::string_view name) { return IsPictureFileType(FileTypeFromExtension(name)); }
bool IsSoundFileType(std::string_view name) { return IsSoundFileType(FileTypeFromExtension(name)); }
bool IsMovieFileType(std::string_view name) { return IsMovieFileType(FileTypeFromExtension(name)); }
