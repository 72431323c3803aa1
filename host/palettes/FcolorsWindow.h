// The floating colours palette "LM_Fcolors": the colour grid, the 16 fill patterns and the
// panels of the three current colours. A click or drag picks a colour or pattern for the
// current tool; a double click on the 16 x 16 grid edits that palette entry first.
//
//   FcolorsWindow_win.cpp      the window: creation, layout, painting, tracking, keys, caption
//   FcolorsPick_win.cpp        picked colours for the current tool, colour-menu numbers
#pragma once

#include <windows.h>

#include <cstdint>

// Registers the class once and creates the window (at the point, else at its remembered place);
// true when a palette window exists afterwards.
bool CreateFcolorsWindow(HWND parent, const POINT* position);
// On a tool change: resized when the height must change, else redrawn for the tool.
void LayoutFcolorsWindow(uint32_t tool);
// The window resized to the layout of the current tool.
void FitFcolorsWindowToTool();
void ShowFcolorsWindow();
void HideFcolorsWindow();
// Shut-down: the window destroyed and its class unregistered.
void DestroyFcolorsWindow();

// The frame of a colour value toggled (grid cell for a colour, pattern cell for a pattern) and
// a panel's swatch redrawn ('f', 'e', 't'); nothing without a window.
void ToggleFcolorsFrame(int16_t value);
void RedrawFcolorsSwatch(char letter);

// ---- FcolorsPick_win.cpp ----
// The value becomes the current tool's colour (text colour only for colours, the eraser's also
// the erase dialogs' stored colour); a colour goes on to the selected object, the paint text and
// the active text field.
void ApplyPickedColor(int16_t value);
// A colour-menu number: 1..64 the order table's colours, 65..80 the patterns 1..16; others do
// nothing. The palette window shows the new selection.
void SetToolColorByNumber(int number);
