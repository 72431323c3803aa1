// The stack's settings edited: the "PREFERENCES" dialog and its presentation options
// ("POPTIONS"), and the screen mode they apply to the frame window. The settings themselves,
// the profile file and the values in force are host/state/Preferences.h.
#pragma once

#include <windows.h>

#include "core/memory/Handles.h"
#include "host/state/Preferences.h"

// ---- PreferencesDialog_win.cpp ----
// Runs "PREFERENCES" on the header's settings; on OK applies them to the header and to the
// values in force. The dialog's result: 1 OK, 2 Cancel, 0 when the header cannot be read.
INT_PTR EditPreferences(Handle header);
// Applies confirmed settings: the file's AdvancedUser, the header, the values in force, the
// screen mode, the menu bar and the colours palette.
void ApplyPreferences(Handle header, const StackPreferences& prefs);

// ---- PreferencesOptions_win.cpp ----
// Runs "POPTIONS" on the settings: 1 when confirmed (the settings changed), else 2.
INT_PTR EditPresentationOptions(HWND owner, Presentation* presentation);

// ---- ScreenMode_win.cpp ----
// Moves from the current settings to the next; the current ones end equal to the next. Only a
// frame window the program owns is moved; without one (always, in the plug-in) only the
// settings change, since the card window is the browser's.
void ApplyScreenMode(Presentation* current, const Presentation& next);
// Sizes the frame around the card window and centres it on the screen; the card window, when
// it is the frame's child, goes to the client area's corner. Nothing without a frame.
void FitFrameToCard();
