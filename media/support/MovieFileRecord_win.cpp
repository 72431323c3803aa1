// The QuickTime file record of a path (see the header).
#include "media/support/MovieFileRecord.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "quicktime/QtCalls.h"

namespace {

// The most characters of path a spec's length byte and terminating zero leave room for.
constexpr size_t kMostSpecChars = sizeof(QtFSSpec::name) - 2;

// The short form of an existing file or folder; empty when the system gives none.
std::string ShortForm(const std::string& path) {
    char shortPath[MAX_PATH] = {};
    const DWORD n = GetShortPathNameA(path.c_str(), shortPath, sizeof shortPath);
    return n > 0 && n < sizeof shortPath ? std::string(shortPath, n) : std::string();
}

}  // namespace

QtErr MovieFileRecord(const char* path, QtFSSpec* file) {
    if (!path || std::strlen(path) <= kMostSpecChars)
        return NativePathNameToFSSpec(path, file, 0);
    const std::string full(path);
    std::string shorter = ShortForm(full);
    if (shorter.empty()) {
        // Not there yet: the folder's short form and the name.
        const size_t cut = full.find_last_of('\\');
        const std::string folder = cut == std::string::npos ? std::string() : ShortForm(full.substr(0, cut));
        if (!folder.empty())
            shorter = folder + full.substr(cut);
    }
    if (shorter.empty() || shorter.size() > kMostSpecChars)
        return kQtBadNameErr;
    return NativePathNameToFSSpec(shorter.c_str(), file, 0);
}
