// Placing windows: centring on the screen or over the parent, and screen rectangles (a dialog
// item's among them) in a window's client coordinates; a dialog's state kept with it.
#pragma once

#include <windows.h>

// Moves the window to the middle of the screen, size kept, and repaints it.
void CenterWindowOnScreen(HWND window);
// Centres the window over its parent's (for a pop-up, its owner's) window rectangle, moved
// as little as it takes to lie inside the monitor's work area; size and z-order kept. A window
// without a parent is centred over the desktop.
void CenterWindowOnParent(HWND window);
// Converts both corners of a screen rectangle to the window's client coordinates, in place.
void ScreenRectToClient(HWND window, RECT* rect);
// The rectangle of the dialog's item id in the dialog's client coordinates (empty when there is
// no such item).
RECT DialogItemRect(HWND dialog, int id);

// A message the card window answers for a dialog over it (the palette messages): its answer, 0
// without a card window.
LRESULT PassToMainWindow(UINT message, WPARAM wParam, LPARAM lParam);

// A dialog's check box or radio button read and set.
inline bool IsItemChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
inline void SetItemChecked(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

// The state kept with a dialog (DWLP_USER); null before its WM_INITDIALOG kept one.
template <typename State>
State* DialogStateOf(HWND dialog) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// The state a dialog procedure was given with WM_INITDIALOG, kept with the dialog (DWLP_USER)
// on that message; null before it.
template <typename State>
State* KeptDialogState(HWND dialog, UINT message, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return DialogStateOf<State>(dialog);
}

// The black box a window without a dialog frame draws round its menu bar; nothing without one.
void DrawWindowEdge(HWND window);
