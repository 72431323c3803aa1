// Classifying files for the media library and for drops.
#include "media/library/MediaCodes.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/files/FileTypes.h"
#include "media/pictures/GifScan.h"
#include "format/StackFile.h"

namespace {

// A GIF is read whole to count its images; anything larger is taken as a still picture.
constexpr int32_t kMaxGifBytes = 32 * 1024 * 1024;
constexpr std::string_view kRtfMagic = "{\\rtf";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool WordBegins(std::string_view word, std::string_view extension) {
    if (word.empty() || word.size() > extension.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (Lower(extension[i]) != word[i])
            return false;
    return true;
}

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

std::vector<uint8_t> ReadFilePrefix(const char* path, int32_t limit, bool whole) {
    std::vector<uint8_t> bytes;
    const FileRef file = ActiveFileSystem().open(path, kOpenRead);
    if (file == kNoFile)
        return bytes;
    int32_t length = FileGetLength(file);
    if (length > 0) {
        int32_t count = whole ? std::min(length, kMaxGifBytes) : std::min(length, limit);
        bytes.resize(static_cast<size_t>(count));
        if (FileRead(file, &count, bytes.data()) != kFileOk || count < 0)
            count = 0;
        bytes.resize(static_cast<size_t>(count));
    }
    FileClose(file);
    return bytes;
}

int HeaderTest(std::span<const uint8_t> bytes) {
    if (bytes.size() < kObjectFileHeaderBytes)
        return kMediaNone;
    SavedObjectHeader header{};
    std::memcpy(&header, bytes.data(), kObjectFileHeaderBytes);
    SwapObjectFileHeader(&header);
    return ObjectFileKindOfHeader(header);
}

std::string_view Extension(std::string_view name) {
    const size_t slash = name.find_last_of("\\/");
    const std::string_view file = slash == std::string_view::npos ? name : name.substr(slash + 1);
    const size_t dot = file.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : file.substr(dot + 1);
}

bool HasDot(std::string_view name) {
    const size_t slash = name.find_last_of("\\/");
    return name.find('.', slash == std::string_view::npos ? 0 : slash + 1) != std::string_view::npos;
}

}  // namespace

int MediaCodeForExtension(std::string_view extension) {
    for (const MediaKind& kind : kMediaKinds) {
        std::string_view words = kind.extensions;
        while (!words.empty()) {
            const size_t blank = words.find(' ');
            const std::string_view word = words.substr(0, blank);
            if (WordBegins(word, extension))
                return kind.code;
            if (blank == std::string_view::npos)
                break;
            words.remove_prefix(blank + 1);
        }
    }
    return kMediaNone;
}

void SwapObjectFileHeader(SavedObjectHeader* header) {
    if (!header)
        return;
    uint8_t raw[12];
    std::memcpy(raw, header, sizeof raw);
    header->magic = BigEndian32(raw);
    header->kind = BigEndian32(raw + 4);
    header->version = BigEndian32(raw + 8);
}

bool ReadObjectFileHeader(const char* path, SavedObjectHeader* header) {
    if (!path || !header)
        return false;
    const std::vector<uint8_t> bytes = ReadFilePrefix(path, kObjectFileHeaderBytes, false);
    if (bytes.size() < kObjectFileHeaderBytes)
        return false;
    std::memcpy(header, bytes.data(), kObjectFileHeaderBytes);
    SwapObjectFileHeader(header);
    return true;
}

int ObjectFileKindOfHeader(const SavedObjectHeader& header) {
    if (header.magic != ResType("LMPK"))
        return kMediaNone;
    if (header.kind == ResType("Bttn"))
        return kMediaButton;
    if (header.kind == ResType("Grfc"))
        return kMediaGraphic;
    if (header.kind == ResType("TFld"))
        return kMediaTextObject;
    return kMediaNone;
}

int ObjectFileKind(const char* path) {
    SavedObjectHeader header{};
    return ReadObjectFileHeader(path, &header) ? ObjectFileKindOfHeader(header) : kMediaNone;
}

int MediaCodeForBytes(std::string_view name, std::span<const uint8_t> bytes) {
    if (!HasDot(name))
        return HeaderTest(bytes);
    int code = MediaCodeForExtension(Extension(name));
    if (code == kMediaNone || code == kMediaText) {
        if (bytes.size() >= kRtfMagic.size() && std::memcmp(bytes.data(), kRtfMagic.data(), kRtfMagic.size()) == 0)
            return kMediaRichText;
    }
    if (code == kMediaPicture && IsGif89Header(bytes) && GifImageCount(bytes, 2) >= 2)
        return kMediaAnimatedGif;
    if (code == kMediaNone || code == kMediaButton || code == kMediaGraphic || code == kMediaTextObject)
        return HeaderTest(bytes);
    return code;
}

int MediaCodeForFile(const char* path) {
    if (!path || !*path)
        return kMediaNone;
    const std::string_view name(path);
    const bool gif = HasDot(name) && MediaCodeForExtension(Extension(name)) == kMediaPicture &&
                     FileTypeFromExtension(path) == kFileTypeGif;
    const std::vector<uint8_t> bytes = ReadFilePrefix(path, kObjectFileHeaderBytes, gif);
    return MediaCodeForBytes(name, bytes);
}
