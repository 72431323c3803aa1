// Hook procedures of the Open and Save dialogs.
#include "core/files/FileDialogHooks.h"

#include <commdlg.h>

#include <cstring>
#include <string>
#include <string_view>

#include "core/files/FileLayer.h"
#include "core/files/FileTypes.h"
#include "core/files/OpenFileDialog.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/WaitCursor.h"
#include "core/ui/dialogs/DialogOwner.h"

namespace {

constexpr uint32_t kStrStackExtension = 2027;  // "STK"
constexpr int kPathSize = 260;

UINT g_fileNameOkMessage = 0;
UINT g_selChangedMessage = 0;
FilePreviewHandlers g_preview;

void ClosePreview() {
    if (g_preview.close)
        g_preview.close();
}

void ShowPreview(HWND dialog, int controlId, const char* path, int fileType, int flag) {
    if (g_preview.show)
        g_preview.show(dialog, controlId, path, fileType, flag);
}

// The dialog the user sees: an Explorer-style hook dialog is a child of it.
HWND FileDialogOf(HWND hookDialog) {
    if (GetWindowLongA(hookDialog, GWL_STYLE) & WS_CHILD)
        return GetParent(hookDialog);
    return hookDialog;
}

// Sets a dialog message's result; the hook then returns TRUE so that it counts.
UINT_PTR Answer(HWND hookDialog, LONG_PTR result) {
    SetWindowLongPtrA(hookDialog, DWLP_MSGRESULT, result);
    return TRUE;
}

// The notification code of a WM_NOTIFY, 0 for anything else.
UINT NotifyCode(UINT message, LPARAM lParam) {
    if (message != WM_NOTIFY || !lParam)
        return 0;
    return reinterpret_cast<const NMHDR*>(lParam)->code;
}

// Whether the confirmed name may be used; asks before replacing an existing file.
bool AcceptSaveName(HWND hookDialog, const OPENFILENAMEA* ofn) {
    const auto* request = ofn ? reinterpret_cast<const SaveCheckRequest*>(ofn->lCustData) : nullptr;
    if (!request)
        return true;

    // The name confirmed is in lpstrFile by now; asking the dialog instead gives, on some systems,
    // its folder followed by a whole path typed into the name box.
    char path[kPathSize + 1] = {};
    HWND dialog = FileDialogOf(hookDialog);
    if (ofn->lpstrFile && ofn->lpstrFile[0])
        lstrcpynA(path, ofn->lpstrFile, kPathSize);
    else
        SendMessageA(dialog, CDM_GETFILEPATH, kPathSize, reinterpret_cast<LPARAM>(path));
    char stackExtension[16];
    LoadResString(kStrStackExtension, stackExtension, sizeof stackExtension);
    const std::string_view required(request->requiredExtension,
                                    strnlen(request->requiredExtension, sizeof request->requiredExtension));

    const int32_t alert = CheckSaveName(request->kind, path, required, stackExtension, FileExists(path));
    if (alert == 0)
        return true;
    const int pressed = ShowAlertOn(dialog, alert);
    return alert == kAlertReplaceExistingFile && pressed == 1;  // only "Yes" replaces
}

}  // namespace

void RegisterFileDialogMessages() {
    g_fileNameOkMessage = RegisterWindowMessageA("commdlg_FileNameOK");
    g_selChangedMessage = RegisterWindowMessageA("commdlg_LBSelChangedNotify");
}

void SetFilePreviewHandlers(const FilePreviewHandlers& handlers) { g_preview = handlers; }

UINT GetFileNameOkMessage() { return g_fileNameOkMessage; }
UINT GetSelChangedMessage() { return g_selChangedMessage; }

UINT_PTR CALLBACK CenterOnInitHook(HWND hookDialog, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    if (NotifyCode(message, lParam) == CDN_INITDONE)
        PlaceOverCard(FileDialogOf(hookDialog));
    return FALSE;
}

void ShowSelectedFilePreview(HWND hookDialog) {
    ClosePreview();
    // The Open dialog is a wide one (ChooseOpenFile): its selection comes in wide characters.
    wchar_t wide[kPathSize * 4] = {};
    if (SendMessageW(FileDialogOf(hookDialog), CDM_GETFILEPATH, kPathSize * 4 - 1, reinterpret_cast<LPARAM>(wide)) <= 0)
        wide[0] = L'\0';
    const std::string reachable = AnsiPathFor(wide);
    const char* path = reachable.c_str();
    const int type = FileTypeFromExtension(path);
    HWND checkBox = GetDlgItem(hookDialog, kPreviewCheckBoxId);
    if (!IsSoundFileType(type) && !IsMovieFileType(type) && !IsPictureFileType(type)) {
        EnableWindow(checkBox, FALSE);
        return;
    }
    EnableWindow(checkBox, TRUE);
    if (FileExists(path)) {
        WaitCursor wait;
        ShowPreview(hookDialog, kPreviewAreaId, path, type, 0);
    }
}

UINT_PTR CALLBACK PreviewOpenHook(HWND hookDialog, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ClosePreview();
        return FALSE;
    }
    switch (NotifyCode(message, lParam)) {
    case CDN_INITDONE:
        PlaceOverCard(FileDialogOf(hookDialog));
        break;
    case CDN_SELCHANGE:
        if (IsDlgButtonChecked(hookDialog, kPreviewCheckBoxId) == BST_CHECKED)
            ShowSelectedFilePreview(hookDialog);
        break;
    default:
        break;
    }
    return FALSE;
}

UINT_PTR CALLBACK SaveCheckHook(HWND hookDialog, UINT message, WPARAM /*wParam*/, LPARAM lParam) {
    switch (NotifyCode(message, lParam)) {
    case CDN_INITDONE:
        PlaceOverCard(FileDialogOf(hookDialog));
        break;
    case CDN_FILEOK:
        // A nonzero message result keeps the dialog open.
        if (!AcceptSaveName(hookDialog, reinterpret_cast<const OFNOTIFYA*>(lParam)->lpOFN))
            return Answer(hookDialog, 1);
        return Answer(hookDialog, 0);
    default:
        break;
    }
    return FALSE;
}
