// The text field windows' procedure (the "LMText" class, objects/text/TextFields.h) and the web
// address a field's link notification points at (TextFieldProc_win.cpp).
#pragma once

#include <windows.h>

LRESULT CALLBACK TextFieldWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// An EN_LINK release: the notified range of the control, within its text and at most 255
// characters, opened as a web address.
void OpenDetectedUrl(HWND textControl, LPARAM notification);
