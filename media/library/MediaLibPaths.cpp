// Unique names in the media library's folder, and the parts of its paths.
#include "media/library/MediaLibPaths.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/files/FileLayer.h"
#include "media/library/MediaLibRecord.h"

namespace {

// Past this many numbered names the folder is taken as unusable.
constexpr int kMaxNumbered = 9999;

bool Build(char* out, size_t room, const std::string& folder, const char* name, const std::string& number,
           const char* extension) {
    const std::string path = folder + "\\" + name + number + extension;
    if (path.size() + 1 > room)
        return false;
    std::copy(path.begin(), path.end(), out);
    out[path.size()] = 0;
    return true;
}

}  // namespace

int MakeUniqueMediaLibPath(char* out, const char* name, const char* extension, size_t size) {
    if (out && size)
        out[0] = 0;
    if (!out || !size || !name || !*name || !extension)
        return 0;
    std::string folder;
    {
        MediaLibLock record;
        if (!record)
            return 0;
        folder.assign(record->folder, strnlen(record->folder, kMediaLibFolderBytes));
    }
    const size_t room = std::min(size, kMediaLibPathBytes);
    if (!Build(out, room, folder, name, {}, extension))
        return 0;
    for (int n = 1; FileExists(out); ++n) {
        if (n > kMaxNumbered || !Build(out, room, folder, name, std::to_string(n), extension)) {
            out[0] = 0;
            return 0;
        }
    }
    return 1;
}

std::string LastPathComponent(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ParentPath(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string{} : path.substr(0, slash);
}
