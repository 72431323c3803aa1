// Which folder a free-space question is asked about, and the 32-bit answer.
#include "core/files/FileLayer.h"

#include <string_view>

void DriveSpaceRoot(const char* path, char* root, size_t size) {
    CopyPathText({}, root, size);
    if (!path)
        return;
    const std::string_view text(path);
    if (text.size() >= 2 && text[1] == ':') {
        const char drive[4] = {text[0], ':', '\\', 0};
        CopyPathText(drive, root, size);
        return;
    }
    if (text.size() < 2 || text[0] != '\\' || text[1] != '\\')
        return;
    // "\\server\share\..." cut after its fourth backslash; a path that stops at the share gets one.
    int seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && ++seen == 4) {
            CopyPathText(text.substr(0, i + 1), root, size);
            return;
        }
    }
    if (seen == 3 && text.back() != '\\' && text.size() + 2 <= size) {
        CopyPathText(text, root, size);
        const size_t n = text.size();
        root[n] = '\\';
        root[n + 1] = 0;
    }
}

uint32_t ClampFreeBytes(uint64_t freeBytes) {
    return freeBytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(freeBytes);
}

std::string FolderOfPath(std::string_view path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}
