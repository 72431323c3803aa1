// The plain Open dialog on slot 0, and with it the last step of locating a file: the user is
// asked. A plain dialog until the Open dialog with preview takes this place.
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>

#include "core/FileLayer.h"
#include "core/Resources.h"
#include "core/PluginModule.h"

namespace {

bool AskForFile(const FileRequest& request) {
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
    return ChooseFileIntoScratch(request.filter, folder, title);
}

// Installed when the module loads.
const bool g_installed = (SetLocateFileDialog(AskForFile), true);

}  // namespace

bool ChooseFileIntoScratch(const char* filter, const char* folder, const char* title) {
    char file[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotScratch, sizeof file, file);
    // Start with the name alone: the folder is given separately.
    char name[kFileSpecPathSize] = {};
    GetPathFileName(file, name, sizeof name);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetMainWindow();
    dialog.lpstrFilter = filter;
    dialog.lpstrFile = name;
    dialog.nMaxFile = sizeof name;
    dialog.lpstrInitialDir = folder && folder[0] ? folder : nullptr;
    dialog.lpstrTitle = title && title[0] ? title : nullptr;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&dialog))
        return false;
    SetFileSpecFromPath(kSlotScratch, name);
    return true;
}
