// The card size and colours dialog (INF_CHGSZANDCOLORS) and the progress window of a size
// change (INF_PROGRESS). The stack and card information dialogs are authoring/info/InfoDialogs.h;
// the record they work on and the rules without a window are InfoDialogsRecord.h.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/memory/Handles.h"

// Whose card size and colours the dialog asks for.
enum StackSizeMode : int { kOpenStackSizeMode = 97, kNewStackSizeMode = 99 };
// Runs the card size and colours dialog in the mode (StackSizeMode): 0 when confirmed, with the
// three values updated; otherwise the dialog's result.
int AskStackSizeAndColors(HWND window, int mode, int* width, int* height, int* depth);
// Subclass procedure of the size edits: characters other than digits and control characters
// are dropped.
LRESULT CALLBACK DigitsOnlyEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

// The modeless progress window of a size and colour change: total steps are twice the cards.
void OpenProgressWindow(HINSTANCE instance, HWND parent);
void AdvanceProgress();
void CloseProgressWindow();
HWND GetProgressWindow();
int GetProgressDone();
