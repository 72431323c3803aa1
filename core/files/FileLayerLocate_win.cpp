// The plain Open dialog on slot 0. Locating a file asks through the Open dialog with preview
// (OpenFileDialog_win.cpp).
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>

#include "core/files/FileLayer.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "core/ui/dialogs/DialogOwner.h"

bool ChooseFileIntoScratch(const char* filter, const char* folder, const char* title) {
    char file[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotScratch, sizeof file, file);
    // Start with the name alone: the folder is given separately.
    char name[kFileSpecPathSize] = {};
    GetPathFileName(file, name, sizeof name);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = DialogOwner(GetMainWindow());
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
