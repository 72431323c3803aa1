// NativePathNameToFSSpec: the file spec holds the path; a file that is not there still gets its
// file spec (outputs are named before they exist) and answers fnfErr.
#include "quicktime/dll/QtStandInFiles.h"

#include <cstdio>
#include <cstring>

#include "quicktime/QtEffects.h"
#include "quicktime/dll/QtStandIn.h"

namespace {

intptr_t DoNativePathNameToFSSpec(const QtWord* args) {
    const auto* path = reinterpret_cast<const char*>(args[0]);
    auto* file = reinterpret_cast<QtFSSpec*>(args[1]);
    if (!path || !file)
        return kQtParamErr;
    std::memset(file, 0, sizeof *file);
    const size_t n = strnlen(path, sizeof file->name);
    if (n == 0 || n >= sizeof file->name - 1)
        return kQtBadFileName;
    file->name[0] = static_cast<uint8_t>(n);
    std::memcpy(file->name + 1, path, n);
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return kQtFnfErr;
    std::fclose(f);
    return kQtNoErr;
}

constexpr StandInRow kFileRows[] = {
    {kQtSelNativePathNameToFSSpec, DoNativePathNameToFSSpec},
};

}  // namespace

std::span<const StandInRow> StandInFileRows() { return kFileRows; }

std::string StandInFSSpecPath(const QtFSSpec* file) {
    if (!file || file->name[0] == 0 || file->name[0] >= sizeof file->name - 1)
        return {};
    return std::string(reinterpret_cast<const char*>(file->name + 1), file->name[0]);
}
