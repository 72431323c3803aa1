// The tool palettes: the floating palette "LM_Ftools" with its caption, the caption-less Tools
// menu copy "LM_Tools", the tools' bitmaps and cursors, and the tool change rules.
#pragma once

#include <windows.h>

#include <cstdint>

// Start-up and shut-down: the bitmaps and cursors; shut-down also destroys both palettes and
// unregisters their classes.
void LoadToolBitmaps();
void FreeToolResources();

// Ends the work in progress, then selects the tool.
void SelectTool(uint32_t tool);
// Positions 0-19 select the cell's tool; others do nothing.
void SelectToolByIndex(int position);
// The change rules, run by every change of the tool (nothing when equal).
void OnToolChanged(uint32_t oldTool, uint32_t newTool);
// The change hook of the current tool (SetToolChangeHook), installed by the wiring step: the
// palettes show the new tool, then OnToolChanged.
void ToolChanged(uint32_t oldTool, uint32_t newTool);
// Ends paint text, text fields, selections and placements.
void EndToolWork();

HCURSOR GetToolCursor();
// The bitmap of a tool's cell; *bitmap unchanged when the tool has none.
void GetToolBitmap(uint32_t tool, HBITMAP* bitmap);
bool IsObjectToolMode();
bool ButtonsEditable();
bool GraphicsEditable();
bool TextsEditable();
// Set when the Tools menu palette opens; read and cleared by the card's button-down.
bool TakePaletteClickFlag();

HWND GetToolPaletteWindow();
HWND GetToolsMenuPaletteWindow();
void ShowToolPalette();
void HideToolPalette();
void RepaintToolPalette();
// The floating palette at the point, or at its remembered place when point is null; true when
// the palette exists.
bool OpenToolPalette(HWND owner, const POINT* point);
// The caption-less copy, shown without activation at the point, else at the card window's top
// left (the browser has no Tools menu title to place it under).
void OpenToolsMenuPalette(HWND owner, const POINT* point);
// A click on a palette; lParam holds the client point.
void OnPaletteClick(HWND palette, LPARAM lParam, bool doubleClick);
// Open dialogs that make palette clicks wait.
int CountBlockingDialogs();
