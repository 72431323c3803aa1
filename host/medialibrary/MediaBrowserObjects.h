// Saved buttons, graphic and text objects previewed in the Media Browser's pane
// (MediaBrowserObjects_win.cpp).
#pragma once

#include <windows.h>

#include <cstdint>

inline constexpr int kSavedButtonCode = 13808;
inline constexpr int kSavedGraphicCode = 13809;

// A read-only text field window over the pane, filled from a saved text object; null when the
// file fails. The field procedure keeps it inert (IsMediaLibTextItem).
HWND BuildSavedTextPreview(const char* path, HWND pane);

// What the pane draws for the saved object file of that media code: the object read as the card
// reads it, with the icon the file carries and a disk-based graphic's picture file (looked for
// also beside the saved object; window is the picture loader's). 0 when it cannot be read or is
// of another kind. Painted over the pane's rectangle and freed by the calls below.
uintptr_t BuildSavedObjectPreview(const char* path, int code, HWND window);
bool PaintSavedObjectPreview(HDC dc, const RECT& pane, uintptr_t object);
void FreeSavedObjectPreview(uintptr_t object);
