// What the card window asks of the object kinds at start-up, shut-down and on its messages:
// fonts and the trackers of browse clicks, drags, placements,
// selection and nudges.
//
//   ObjectServices_win.cpp   MINIMAL until the object editors come: start-up makes nothing,
//                            releases free nothing, and no tracker takes a message (all give
//                            0 / false), so the card window's own handling goes on. The one
//                            selected object is kept (SelectObjectLayer), not yet made by a click.
//   graphics/GraphicEdit_win.cpp  a graphic's picture read and replaced, the live stretch
//                            feedback, the editing bitmaps freed
//   graphics/GraphicPlacing_win.cpp  placing a new graphic object (graphics/GraphicPlacing.h)
//   graphics/GraphicPlacement_win.cpp  LoadCropCursors (the cropping view's, GraphicPlacement.h)
#pragma once

#include <windows.h>

#include <cstdint>

#include "graphics/layers/ObjectLayer.h"
#include "objects/buttons/Buttons.h"  // the browse press, track and release of buttons
#include "objects/fonts/CurrentTextStyle_win.h"
#include "objects/fonts/FontTable_win.h"

// Start-up and shut-down.
// InitFontTable: objects/fonts/FontTable_win.h; ResetTextColorsAndStyle, FreeTextStyleResources:
// objects/fonts/CurrentTextStyle_win.h.
void LoadCropCursors(HINSTANCE module);
void FreeGraphicEditBitmaps();

// Browse mode.
int BrowseGraphicMouseDown(HWND window, LayerHandle graphic, int x, int y);
int DragGraphicInBrowse(HWND window, int x, int y);
int DropGraphicInBrowse(HWND window, int x, int y);

// Object tools.
void SelectObjectMouseDown(HWND window, int x, int y, WPARAM keyState);
int SelectObjectMouseMove(HWND window, int x, int y);
int SelectObjectMouseUp(HWND window, LPARAM lParam);
void EditObjectAtPoint(HWND window, int x, int y, bool ctrl);
// The selected layer while it is still in the layer list; 0 otherwise.
LayerHandle GetSelectedObject();
// The layer becomes the selection: its bounds as the selection and anchor rectangles, the
// 1-pixel outline of a graphic's or button's mask, the frame shown. 0 deselects.
void SelectObjectLayer(LayerHandle layer);
// Clears the selection, erases its frame (the rectangle grown by 2) and deletes the outline.
void DeselectObject(HWND window);
struct ObjectSelection {
    LayerHandle layer = nullptr;
    RECT rect = {};    // as tracked
    RECT anchor = {};  // where a drag began
    HBITMAP outline = nullptr;  // 1 pixel, of the selected object's mask; owned
    bool frameShown = false;
};
ObjectSelection& CurrentSelection();
void SelectedObjectEditCommand(HWND window, int command);
int NudgeSelectedObject(HWND window, WPARAM key, bool shiftLatch);
void EndObjectNudge();
// No text field is active any more (all selections end, another field is activated).
void ClearActiveTextField();

// Placing a graphic object, and a tracked rectangle. New text objects: stack/edit/NewTextObject.h.
int PlacedGraphicMouseDown(HWND window, int x, int y);
int PlacedGraphicMouseMove(HWND window, int x, int y);
int PlacedGraphicMouseUp();
bool IsPlacedGraphicShown();
void DrawPlacedGraphic(HWND window);
int NudgePlacedGraphic(WPARAM key, bool shiftLatch);
// ResizeTracking_win.cpp: arrows move the tracked rectangle (a step, ten with the flag);
// nonzero when one moved.
int NudgeTrackedRect(WPARAM key, bool shiftLatch);
// Nonzero from the start of tracking a rectangle to its end, with the card window as window
// (null otherwise); value is the handle dragged. Any out-parameter may be null.
int GetTrackState(RECT* rect, POINT* point, int* value, HWND* window);

// ---- graphics/GraphicEdit_win.cpp ----
// The selected graphic's picture when its pixels are kept in its record; null otherwise.
HBITMAP GraphicObjectPicture();
// The selected graphic takes the picture (and the mask when one is given; the layer owns both
// then) and its record is rebuilt: the old 80-byte header, the rows packed at the display depth,
// the mask, a pad byte when odd. False, record and layer unchanged and the bitmaps still the
// caller's, when nothing is selected or memory runs out.
bool SetGraphicObjectPicture(HBITMAP picture, HBITMAP mask);
// Live feedback of a picture stretched or moved: the union of both rectangles from the
// offscreen, the grid, the layers when drawLayers, and the source rectangle of the picture
// stretched into next, copied to the window (clipped off the live objects without drawLayers).
void CopyBitmapThroughRegion(HWND window, const RECT& previous, const RECT& next, HBITMAP picture, const RECT& source,
                             bool drawLayers);

// The spare button record that a new button starts from; made with the card window.
void InitSpareButtonRecord();
void FreeSpareButtonRecord();
