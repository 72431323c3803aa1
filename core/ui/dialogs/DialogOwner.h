// Who owns a dialog of the plug-in, where it opens and that it stays in front of the browser
// (DialogOwner_win.cpp). Every dialog and alert made through core/ui/Resources.h passes here:
//  - its owner is the window the caller runs when that is a shown, enabled window of its own (a
//    dialog opened from a dialog is owned by that dialog), else the dialog that runs, else the
//    top-level window that holds the card window (the browser's frame), so that no dialog can
//    fall behind the browser: an owned window always stays above its owner;
//  - a modal one opens centred over the card (inside the screen's work area) and on top; a
//    modeless one (a palette, the card walk) keeps the place it gives itself, on top.
#pragma once

#include <windows.h>

// The owner for a dialog a caller opens on `asked` (the card window, a dialog, or null).
HWND DialogOwner(HWND asked);

// Whether a dialog of the plug-in runs (shown): the card and its fields do not take the focus
// then, which would pull the browser's frame over the dialog and the keys away from it.
bool DialogRuns();

// The browser stops a plug-in that is inside a loop of its own by hiding and disabling its
// window before the page closes: leaving set, the menu that is tracked ends, every dialog of the
// page ends as cancelled, and no dialog or message box opens (each returns IDCANCEL), so that
// the calls return and the page can close. Cleared when the window is enabled again.
void SetPageLeaving(bool leaving);
// Whether the page is going: a loop of the plug-in's own (the path recorder and editor, the
// placing and tracking loops) ends at once and drops its edit.
bool IsPageLeaving();

// Centres the window over the card window (over its owner when no card window is shown), moved
// as little as it takes to lie inside the monitor's work area, and puts it on top without
// activating it.
void PlaceOverCard(HWND window);

// MessageBoxA on the owner DialogOwner gives, placed as a modal dialog is.
int OwnedMessageBox(HWND asked, const char* text, const char* caption, UINT type);

// The dialog calls of Resources.h: the caller's procedure runs behind the shared one, which
// places the dialog once the caller's WM_INITDIALOG is done and keeps the list of dialogs that
// run. -1 or null as DialogBoxParamA and CreateDialogParamA give when the template is missing.
INT_PTR RunOwnedDialog(HMODULE module, const char* templateName, HWND asked, DLGPROC proc, LPARAM param);
HWND CreateOwnedDialog(HMODULE module, const char* templateName, HWND asked, DLGPROC proc, LPARAM param);

// A modeless dialog that runs a loop of its own (the card walk) counts as a running dialog while
// the scope lives: what opens meanwhile is owned by it.
class RunningDialogScope {
public:
    explicit RunningDialogScope(HWND dialog);
    ~RunningDialogScope();
    RunningDialogScope(const RunningDialogScope&) = delete;
    RunningDialogScope& operator=(const RunningDialogScope&) = delete;

private:
    HWND dialog_;
};

// While the scope lives windows may open and close (a dialog, a scanner's window): closing one
// hands the focus to its owner, the browser's frame, so the next key would go there. When the
// scope ends with the focus on that owner (or on nothing), the window that had it when the scope
// began (the card or its field) gets it back.
class FocusReturnScope {
public:
    explicit FocusReturnScope(HWND owner);
    ~FocusReturnScope();
    FocusReturnScope(const FocusReturnScope&) = delete;
    FocusReturnScope& operator=(const FocusReturnScope&) = delete;

private:
    HWND owner_;
    HWND focus_;
};
