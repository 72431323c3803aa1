// The file-spec table's start from the module: its path and the folder names of the string table.
#include <windows.h>

#include <string_view>

#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"

namespace {

size_t LoadFolderString(int stringId, char* buffer, size_t size) {
    const int n = LoadResString(static_cast<uint32_t>(stringId), buffer, static_cast<int>(size));
    return n > 0 ? static_cast<size_t>(n) : 0;
}

}  // namespace

bool InitFolderTable() {
    char module[kFileSpecPathSize] = {};
    const DWORD n = GetModuleFileNameA(GetAppInstance(), module, 256);
    if (n == 0 || n >= 256)
        module[0] = 0;
    return InitFolderTableAt(module, LoadFolderString);
}

void GetModuleFolder(char* buffer, size_t size) {
    char module[kFileSpecPathSize] = {};
    const DWORD n = GetModuleFileNameA(GetAppInstance(), module, 260);
    const std::string_view path(module, n < 260 ? n : 0);
    const size_t cut = path.rfind('\\');
    CopyPathText(cut == std::string_view::npos ? path : path.substr(0, cut), buffer, size);
}
