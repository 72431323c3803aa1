// The Open dialog for stacks and texts, and the save dialog in its modes.
#include "stack/save/SaveDialogs.h"

#include <commdlg.h>

#include <cstring>
#include <string>

#include "core/files/FileDialogHooks.h"
#include "core/files/OpenFileDialog.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "stack/StackPlatform.h"
#include "stack/cards/CardList.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr char kStackFilter[] = "Stacks (*.STK)\0*.stk\0";
constexpr char kTextFilter[] = "Text Files (*.txt)\0*.txt\0";

std::string LoadText(uint32_t id) {
    char text[256] = {};
    LoadResString(id, text, sizeof text);
    return text;
}

// Description and pattern pairs, each NUL-terminated, and a final NUL.
std::string FilterOf(const SaveDialogSpec& spec, bool advanced) {
    std::string filter;
    const int pairs = spec.filterStrings[2] != 0 && advanced ? 2 : 1;
    for (int i = 0; i < pairs && spec.filterStrings[i * 2] != 0; ++i) {
        filter += LoadText(spec.filterStrings[i * 2]) + '\0';
        filter += LoadText(spec.filterStrings[i * 2 + 1]) + '\0';
    }
    filter += '\0';
    return filter;
}

// The stack's name without its extension.
std::string StackNameWithoutExtension() {
    std::string name = GetStackName();
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace

bool ChooseStackFile(HWND owner, int startSlot, FileSpec* chosen) {
    const FileRequest request{kTitleSelectStack, kStackFilter, 0, kStackFileType, static_cast<uint16_t>(startSlot), 0};
    return GetOpenFileWithPreview(owner, request, chosen);
}

bool ImportTextFile(Handle* out) {
    if (!out)
        return false;
    *out = 0;
    FileRequest request{kTitleSelectText, kTextFilter, 0, 0, kSlotTextFile, 0};
    FileSpec chosen;
    if (!GetOpenFileWithPreview(GetMainWindow(), request, &chosen))
        return false;
    PutFileSpec(kSlotTextFile, chosen);  // read from there, and the next text dialog starts from it
    if (ReadFileToHandle(kSlotTextFile, out, 0) != kFileOk) {
        ShowAlert(kAlertNotEnoughMemory);
        return false;
    }
    return true;
}

bool AskSaveStackFile(HWND owner, int mode, char* chosen, size_t chosenSize, char* title, int size, int* filterIndex) {
    const SaveDialogSpec& spec = SaveDialogSpecFor(mode);
    const std::string filter = FilterOf(spec, IsAdvancedUser());
    std::string proposed = mode == kSaveStack || mode == kSaveMovie ? StackNameWithoutExtension()
                                                                    : NextNumberedSaveName(mode);
    char path[kFileSpecPathSize] = {};
    CopyPathText(proposed, path, sizeof path);
    char remembered[kFileSpecPathSize] = {};
    GetStackPlatformOps().readSavePreference("user", "SaveStackPath", remembered, sizeof remembered);
    std::string folder = SuggestSaveFolder(mode, 1, remembered);
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        folder = AuthorsFolder();
    const std::string dialogTitle = LoadText(spec.titleString);
    char fileTitle[kFileSpecNameSize] = {};
    SaveCheckRequest check{mode == kSaveSound ? kSaveKindSound : kSaveKindAny, {}};
    CopyPathText(spec.extension, check.requiredExtension, sizeof check.requiredExtension);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = DialogOwner(owner);
    dialog.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrFileTitle = fileTitle;
    dialog.nMaxFileTitle = sizeof fileTitle;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = dialogTitle.empty() ? nullptr : dialogTitle.c_str();
    dialog.lpstrDefExt = spec.extension;
    dialog.lCustData = reinterpret_cast<LPARAM>(&check);
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLEHOOK;
    dialog.lpfnHook = SaveCheckHook;
    FocusReturnScope keep(dialog.hwndOwner);
    if (!GetSaveFileNameA(&dialog))
        return false;
    SetFileSpecFromPath(spec.slot, path);
    if (FileSpec* slot = GetFileSpec(spec.slot))
        slot->flag = static_cast<uint8_t>(dialog.nFilterIndex);
    CopyPathText(path, chosen, chosenSize);
    if (filterIndex)
        *filterIndex = static_cast<int>(dialog.nFilterIndex);
    if (title && size > 0 && std::strlen(fileTitle) < size_t(size))
        CopyPathText(fileTitle, title, size_t(size));
    return true;
}
