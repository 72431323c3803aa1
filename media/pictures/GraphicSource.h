// Asking for a picture file (GraphicSource_win.cpp).
#pragma once

#include <windows.h>

// The picture open dialog ("Please select a picture file", the picture filters; kind 'M' adds
// movies to the first), starting from the slot's picture; the slot remembers the choice
// (kNoSlot: nothing to start from or remember) and its full path goes into destination. 1 when
// one was chosen.
int AskGraphicFileName(HWND window, char* destination, int size, int kind, int slot);
// Where a picture comes from, by source kind: 'A' (animation frames) the picture open dialog;
// 'R' (a background) the same, unless a live source was found at start-up: then "VIDSRCDLG"
// asks first; 'W' (writing the card picture) the save dialog for a screen. The choice goes into
// source (kGraphicFromFile with the file's path in destination, or the live source, which
// LoadChosenGraphic opens: its destination is empty); 0 when cancelled or for any other kind.
int ChooseGraphicSource(HWND window, char* destination, int size, int sourceKind, int* source = nullptr);
