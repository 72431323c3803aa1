// The Hypertext Links dialog (menu command 311): the links of the active text field and of all
// fields, made, renamed, deleted, scoped to the field or to all, and their actions edited in the
// object actions dialog (TextLinksDialog_win.cpp).
#pragma once

#include <windows.h>

// Runs the dialog over the window (as often as Actions... takes the person to the actions
// dialog and back); IDOK when done, IDCANCEL when it could not be shown.
int EditTextLinks(HWND window);
