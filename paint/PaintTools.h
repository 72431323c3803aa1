// What the card window asks of the paint tools: the tools' mouse handling, the selection tools,
// paint text, the magnified view and the grid, and their releases at shut-down.
//
//   PaintTools_win.cpp   MINIMAL until the paint tools come: no tool takes a message, no paint
//                        text exists, the view is never magnified (zoom 1) and the grid is off.
//   Selections_win.cpp   the floating selections (Selections.h): what commits, draws and frees them
#pragma once

#include <windows.h>

#include "layers/GridDraw.h"

// Paint tools 1, 2, 4-11, 15.
void ToolMouseDown(HWND window, int x, int y, WPARAM keyState);
int ToolMouseMove(HWND window, int x, int y);
int ToolMouseUp(HWND window);

// Lasso and oval selection (12, 16), rectangle selection (13).
void MaskToolMouseDown(HWND window, int x, int y, WPARAM keyState);
void MaskToolMouseUp(HWND window, WPARAM keyState);
int MaskToolTrack(HWND window, int x, int y);
void RectToolMouseDown(HWND window, int x, int y, int rawX, int rawY, WPARAM keyState);
void RectToolMouseUp(HWND window, int x, int y);
int RectToolTrack(HWND window, int x, int y, int rawX, int rawY);
int RectSelectionKey(HWND window, WPARAM key, bool shiftLatch);
int NudgeMaskSelection(HWND window, WPARAM key, bool shiftLatch);
void FinishRectKeyMove();
void FinishMaskKeyMove();
bool IsRectSelectionActive();
bool HasFloatingSelection();
void RectSelectionEditCommand(HWND window, int command);
void MaskSelectionEditCommand(HWND window, int command);
void CommitPaintSelection(HWND window);
void CommitMaskSelection(HWND window);
// Drawn over the card after each paint.
void DrawRectSelection(HWND window);
void DrawMaskSelection(HWND window);

// Paint text (tool 3).
void BeginPaintText(HWND window, int x, int y);
void TypePaintTextChar(HWND window, WPARAM character);
void EndPaintText();
bool GetPaintTextActive();
void ShowPaintTextCaret(HWND window);
void DestroyPaintTextCaret();

// The magnified view and the grid.
int GetFatbitsZoom();  // 1 normal, 2, 4 or 8
void SetFatbitsZoom(int command);  // commands 355-358
inline constexpr int kNormalView = 355;  // the command of the unmagnified view
void SetFatbitsZoomForTests(int zoom);
void CycleFatbitsZoom(int x, int y);
void FatbitsPanMove(int x, int y);
void EndFatbitsPan();
void ScrollFatbitsByKey(WPARAM key);
void ScreenToZoomed(POINT* point);  // a window point into the unmagnified card
void UpdateFatbitsFromDC(HDC windowDC, HDC offscreenDC, const RECT& rect);
void InvalidateFatbits();
// DrawGrid: layers/GridDraw.h.

// Shut-down.
void ShutdownMaskSelection();
void FreeBrushCursors();
void FreePaintTextBuffer();
