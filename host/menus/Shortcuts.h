// The shortcuts palette (template 101): eleven owner-drawn buttons for adding cards, objects,
// movies and sounds and for cut, copy and paste.
//
//   Shortcuts_win.cpp       ShowShortcutsPalette and its dialog procedure
//   ShortcutsMedia_win.cpp  AddMovieToCard, AddSoundToCard
#pragma once

#include <windows.h>

// Brings the palette up, or opens it over the card window.
void ShowShortcutsPalette();
INT_PTR CALLBACK ShortcutsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
HWND GetShortcutsWindow();
// Shut-down: the palette destroyed.
void CloseShortcutsPalette();

// A movie (chunk 89) or a sound (82 for a file, 83 for a recording) chosen in the media
// manager's dialog goes into the current card's first action. True when the action was stored.
bool AddMovieToCard();
bool AddSoundToCard();
