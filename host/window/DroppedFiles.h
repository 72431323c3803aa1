// Files dropped on the card window: from the shell, from the media library's list or through a
// text field window; only the first file counts, turned into card content or actions by kind.
//
//   DroppedFiles_win.cpp   OnDropFiles, ImportDroppedFile and the action targets
//   DroppedText_win.cpp    text and rich text dropped into a text object
//   DropOptions_win.cpp    the "DROPOPTS" dialog of a picture dropped with Alt
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/memory/Handles.h"
#include "layers/ObjectLayer.h"
#include "media/library/MediaLibServices.h"

// Modifier keys read at the drop.
inline constexpr int kDropCtrl = 1, kDropAlt = 2, kDropShift = 4;

// The card window's WM_DROPFILES: 0 when the drop was taken (files present, nothing blocking),
// -1 otherwise, whatever the import gave.
LRESULT OnDropFiles(HWND window, bool handScroll, bool objectsShown, uint32_t card, WPARAM drop, LPARAM source);
// A drop ended without being taken (refused, or done): the shell's record finished, the media
// library's drag ended.
void EndDrop(WPARAM drop, LPARAM source);
// One file of a known kind at a point of the card window: true when imported.
bool ImportDroppedFile(HWND window, const char* path, int kind, int keys, POINT point);

// Text or rich text into the field of a layer at a point of the card window (DroppedText_win.cpp).
bool DropTextIntoField(LayerHandle field, const char* path, bool rich, POINT point);
// "DROPOPTS": 200 to 203 for the chosen option, 2 for Cancel.
int RunDropOptionsDialog(HWND window);
// A saved object file placed centred at the point (DroppedObjectFile_win.cpp).
bool PlaceDroppedObjectFile(HWND window, const char* path, POINT point);
