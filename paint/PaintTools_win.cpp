// MINIMAL paint tools (see PaintTools.h); the selections themselves, and the clip art they
// place, are in Selections_win.cpp.
#include "paint/PaintTools.h"

#include "layers/CardView.h"
#include "paint/Selections.h"

void ToolMouseDown(HWND, int, int, WPARAM) {}
int ToolMouseMove(HWND, int, int) { return 0; }
int ToolMouseUp(HWND) { return 0; }

// No selection is drawn by the tools yet; the clip art they float is moved and ended.
void MaskToolMouseDown(HWND window, int x, int y, WPARAM) { ClipArtMouseDown(window, x, y); }
void MaskToolMouseUp(HWND window, WPARAM) { ClipArtMouseUp(window); }
int MaskToolTrack(HWND, int x, int y) { return ClipArtMouseMove(x, y) ? 1 : 0; }
void RectToolMouseDown(HWND window, int x, int y, int, int, WPARAM) { ClipArtMouseDown(window, x, y); }
void RectToolMouseUp(HWND window, int, int) { ClipArtMouseUp(window); }
int RectToolTrack(HWND, int x, int y, int, int) { return ClipArtMouseMove(x, y) ? 1 : 0; }
int RectSelectionKey(HWND, WPARAM, bool) { return 0; }
int NudgeMaskSelection(HWND, WPARAM, bool) { return 0; }
void FinishRectKeyMove() {}
void FinishMaskKeyMove() {}
void RectSelectionEditCommand(HWND, int) {}
void MaskSelectionEditCommand(HWND, int) {}

void BeginPaintText(HWND, int, int) {}
void TypePaintTextChar(HWND, WPARAM) {}
void EndPaintText() {}
bool GetPaintTextActive() { return false; }
void ShowPaintTextCaret(HWND) {}
void DestroyPaintTextCaret() {}

// The zoom is the card view's (only tests magnify, through SetFatbitsZoomForTests).
int GetFatbitsZoom() { return GetCardZoom(); }
void SetFatbitsZoom(int command) {
    if (command == 355)
        SetCardZoom(1);
}
void SetFatbitsZoomForTests(int zoom) { SetCardZoom(zoom); }
void CycleFatbitsZoom(int, int) {}
void FatbitsPanMove(int, int) {}
void EndFatbitsPan() {}
void ScrollFatbitsByKey(WPARAM) {}
void ScreenToZoomed(POINT*) {}
void UpdateFatbitsFromDC(HDC, HDC, const RECT&) {}
void InvalidateFatbits() {}

void FreeBrushCursors() {}
void FreePaintTextBuffer() {}
