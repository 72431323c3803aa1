// The last step of locating a file: the user is asked with an Open dialog on slot 0. A plain
// dialog until the Open dialog with preview takes this place.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>

#include "core/FileLayer.h"
#include "core/Resources.h"
#include "core/PluginModule.h"

namespace {

bool AskForFile(const FileRequest& request) {
    char file[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotScratch, sizeof file, file);
    char folder[kFileSpecPathSize] = {};
    GetFileSpecFolder(request.slot, folder, sizeof folder);
    char title[300] = {};
    LoadResString(request.titleStringId, title, 256);
    if (request.titleStringId >= 2413 && request.titleStringId <= 2418) {
        if (const FileSpec* spec = GetFileSpec(request.slot)) {
            std::string full = std::string(title) + std::string(NameOf(*spec));
            CopyPathText(full, title, sizeof title);
        }
    }
    // Start with the name alone: the folder is given separately.
    char name[kFileSpecPathSize] = {};
    GetPathFileName(file, name, sizeof name);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetMainWindow();
    dialog.lpstrFilter = request.filter;
    dialog.lpstrFile = name;
    dialog.nMaxFile = sizeof name;
    dialog.lpstrInitialDir = folder[0] ? folder : nullptr;
    dialog.lpstrTitle = title[0] ? title : nullptr;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog))
        return false;
    SetFileSpecFromPath(kSlotScratch, name);
    return true;
}

// Installed when the module loads.
const bool g_installed = (SetLocateFileDialog(AskForFile), true);

}  // namespace
