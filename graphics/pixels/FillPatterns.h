// The 16 fill-pattern bitmaps ("FILLPAT1".."FILLPAT16"), made through the application palette
// (FillPatterns_win.cpp). They are made when the card window attaches, after the palette, and
// freed at shut-down before it; without them a pattern draws as nothing.
#pragma once

#include <windows.h>

inline constexpr int kFillPatternCount = 16;
// (Re)makes the 16 pattern bitmaps, compatible with the window's DC, from "FILLPAT1".."FILLPAT16"
// mapped to the application palette. A missing or damaged resource leaves its pattern empty.
void LoadFillPatterns(HWND window);
// LoadFillPatterns for the card window, then the floating colours window is repainted; nothing
// when the application palette's colours and the display's depth are those they were made with.
void ReloadFillPatterns();
// Pattern k (1..16); null when empty or out of range.
HBITMAP GetFillPattern(int pattern);
void FreeFillPatterns();
