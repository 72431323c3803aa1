// The Open dialog with preview; it also asks the person where a moved file went.
#include "core/files/OpenFileDialog.h"

#include <commdlg.h>

#include <string>

#include "core/files/FileDialogHooks.h"
#include "core/files/FileTypes.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "core/ui/dialogs/DialogOwner.h"

namespace {

constexpr uint16_t kFirstFindTitle = 2413, kLastFindTitle = 2418;

}  // namespace

bool AskForFile(const FileRequest& request) {
    FileRequest scratch = request;
    // The locate search reads the answer from slot 0 and its folder from the request's slot.
    CopyFileSpec(static_cast<int16_t>(request.slot), kSlotScratch);
    scratch.slot = kSlotScratch;
    return GetOpenFileWithPreview(GetMainWindow(), scratch);
}

bool OpenDialogShowsPreview(int fileType) {
    return fileType == kMoviePreview || fileType == kSoundPreview || fileType == kPicturePreview;
}

bool GetOpenFileWithPreview(HWND owner, const FileRequest& request) {
    FileSpec* spec = GetFileSpec(request.slot);
    if (!spec)
        return false;
    char folder[kFileSpecPathSize] = {};
    GetFileSpecFolder(request.slot, folder, sizeof folder);
    char title[300] = {};
    LoadResString(request.titleStringId, title, 256);
    if (request.titleStringId >= kFirstFindTitle && request.titleStringId <= kLastFindTitle) {
        const std::string full = std::string(title) + std::string(NameOf(*spec));
        CopyPathText(full, title, sizeof title);
    }
    char name[kFileSpecPathSize] = {};
    CopyPathText(NameOf(*spec), name, sizeof name);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = DialogOwner(owner);
    dialog.hInstance = GetAppInstance();
    dialog.lpstrFilter = request.filter;
    dialog.lpstrFile = name;
    dialog.nMaxFile = sizeof name;
    dialog.lpstrInitialDir = folder[0] ? folder : nullptr;
    dialog.lpstrTitle = title[0] ? title : nullptr;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLEHOOK;
    if (OpenDialogShowsPreview(request.word)) {
        dialog.Flags |= OFN_ENABLETEMPLATE;
        dialog.lpTemplateName = "OPENPREVIEWDLG";
        dialog.lpfnHook = PreviewOpenHook;
    } else {
        dialog.lpfnHook = CenterOnInitHook;
    }
    ShowCursor(TRUE);
    const BOOL chosen = GetOpenFileNameA(&dialog);
    ShowCursor(FALSE);
    if (!chosen)
        return false;
    SetFileSpecFromPath(request.slot, name);
    if (FileSpec* chosenSpec = GetFileSpec(request.slot)) {
        chosenSpec->kind = static_cast<uint32_t>(FileTypeFromExtension(name));
        chosenSpec->flag = static_cast<uint8_t>(dialog.nFilterIndex);
    }
    return true;
}
