// Hook procedures of the program's Open and Save dialogs (Explorer style): centring, the
// preview of the selected media file, and the checks on a confirmed save name.
#pragma once

#include <windows.h>

#include "core/files/SaveNameCheck.h"

// Start-up: registers "commdlg_FileNameOK" and "commdlg_LBSelChangedNotify" and keeps their
// numbers (0 before).
void RegisterFileDialogMessages();
UINT GetFileNameOkMessage();
UINT GetSelChangedMessage();

// The previewers of the media layer, installed by it: show a preview of a file (of the given
// file kind) in the dialog's control, and delete the current one. Without them no preview is
// shown.
struct FilePreviewHandlers {
    int (*show)(HWND dialog, int controlId, const char* path, int fileType, int flag) = nullptr;
    void (*close)() = nullptr;
};
void SetFilePreviewHandlers(const FilePreviewHandlers& handlers);

// Controls of the preview template "OPENPREVIEWDLG".
inline constexpr int kPreviewCheckBoxId = 1000;
inline constexpr int kPreviewAreaId = 1001;

// Centres the dialog over the card once it has finished initialising (core/ui/dialogs/DialogOwner.h).
UINT_PTR CALLBACK CenterOnInitHook(HWND hookDialog, UINT message, WPARAM wParam, LPARAM lParam);

// Centres the dialog over the card; while the preview check box is checked, shows a preview of
// each newly selected sound, movie or picture file; closes the preview when the dialog goes.
UINT_PTR CALLBACK PreviewOpenHook(HWND hookDialog, UINT message, WPARAM wParam, LPARAM lParam);

// Centres the dialog over the card and checks a confirmed name against the SaveCheckRequest given as the
// dialog's custom data (none: every name is accepted). A refused name keeps the dialog open.
UINT_PTR CALLBACK SaveCheckHook(HWND hookDialog, UINT message, WPARAM wParam, LPARAM lParam);

// The preview step on its own: closes any preview, reads the dialog's current path, enables
// the check box and shows the preview for a media file (disables the box for any other).
void ShowSelectedFilePreview(HWND hookDialog);
