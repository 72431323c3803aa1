// What the card window asks of the object kinds at start-up, shut-down and on its messages:
// fonts and the trackers of browse clicks, drags, placements,
// selection and nudges.
//
//   ObjectServices_win.cpp   the one selection kept, made and cleared (placing a new graphic
//                            is objects/graphics/GraphicPlacing_win.cpp)
//   ObjectSelection_win.cpp  the object tools: hit test, mouse, arrow keys, order, cut, copy
//                            and clear, the item text and noun, the frame, the live redraw
//   graphics/GraphicBrowseDrag_win.cpp  a draggable graphic dragged in browse mode
//   graphics/GraphicEdit_win.cpp  a graphic's picture read and replaced, the live stretch
//                            feedback, the editing bitmaps freed
//   graphics/GraphicPlacing_win.cpp  placing a new graphic object (graphics/GraphicPlacing.h)
//   graphics/GraphicPlacement_win.cpp  LoadCropCursors (the cropping view's, GraphicPlacement.h)
#pragma once

#include <windows.h>

#include <cstdint>

#include "layers/ObjectLayer.h"
#include "objects/buttons/Buttons.h"  // the browse press, track and release of buttons
#include "objects/text/CurrentTextStyle_win.h"
#include "objects/fonts/FontTable_win.h"

// Start-up and shut-down.
// InitFontTable: objects/fonts/FontTable_win.h; ResetTextColorsAndStyle, FreeTextStyleResources:
// objects/text/CurrentTextStyle_win.h.
void LoadCropCursors(HINSTANCE module);
void FreeGraphicEditBitmaps();

// Browse mode: a graphic clicked gives its name to its actions; a draggable one (flag 128) is
// dragged. The drop answers what it runs; the card window runs it.
int BrowseGraphicMouseDown(HWND window, LayerHandle graphic, int x, int y);
int DragGraphicInBrowse(HWND window, int x, int y);
struct GraphicDrop {
    bool taken = false;         // a browse drag ended here
    uint16_t buttonId = 0;      // a drop-off-only button under the drop: its actions run
    uint16_t actionId = 0;      // else the graphic's own 'Actn', run under clickedName
};
GraphicDrop DropGraphicInBrowse(HWND window, int x, int y);
// The name of the graphic last clicked in browse mode (length-prefixed, at most 15 characters).
const uint8_t* ClickedGraphicName();

// Object tools (19 to 23). The topmost layer under the point the tool edits: graphics for 20
// and 21 (a masked one only on its mask), buttons for 19, 20 and 22 (22: only those playing a
// sound), text objects for 20 and 23. onMask and rect may be null.
LayerHandle HitTestObjectAtPoint(HWND window, int x, int y, bool* onMask, RECT* rect);
void SelectObjectMouseDown(HWND window, int x, int y, WPARAM keyState);
int SelectObjectMouseMove(HWND window, int x, int y);
// overMediaLib: the release is over the media library's list (the caller asks the library).
int SelectObjectMouseUp(HWND window, LPARAM lParam, bool overMediaLib);
// A drag that left the card (advanced users): the object went back and its layer is handed
// over once, to be written to an object file; false when there was none.
bool TakeObjectDragOut(LayerHandle* layer, POINT* point);
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
    POINT anchorPoint = {};  // the mouse at the last step of a drag
    int handle = 0;          // 0 none, 1-8 corners and edges, 9 move
    int style = 0;           // 1 button, 2 graphic, 3 text object
    bool firstMove = false;
    bool constrain = false;  // Shift held at the press
    char axis = 0;           // 'h' or 'v' once the constrained drag chose one
    HBITMAP outline = nullptr;  // 1 pixel, of the selected object's mask; owned
    bool frameShown = false;
    bool nudging = false;    // a run of arrow keys is under way
};
ObjectSelection& CurrentSelection();
// The layer's bounds, region and stored rectangle take the rectangle (a text object's window
// moves with it); the clip region is rebuilt.
void ApplyObjectRect(LayerHandle layer, const RECT& rect);
// 151 cut, 152 copy, 154 clear of the selected object.
void SelectedObjectEditCommand(HWND window, int command);
// One step toward the front ('C') or the back ('F'); the card is marked changed.
void ReorderSelectedObject(HWND window, char direction);
int NudgeSelectedObject(HWND window, WPARAM key, bool shiftLatch);
void EndObjectNudge();
// "Edit this Button" and the like for the selected object's kind; true when the text is the
// generic one (no selection) or could not be loaded.
bool GetObjectMenuItemText(char* buffer, int size);
// "button", "graphic" or "text object"; empty without a selection.
void GetSelectedObjectNoun(char* buffer, int size);
// The periodic tick: the selected object's dashed frame, or the outline of its mask.
void DrawSelectedObjectFrame(HWND window, int phase);
// The rectangle drawn again from the offscreen with the grid and the layers meeting it, then
// the dragged layer over them, and copied to the window.
void RedrawRectThroughOffscreen(HWND window, LayerHandle layer, const RECT& rect);
// No text field is active any more (all selections end, another field is activated).
void ClearActiveTextField();

// Placing a graphic object, and a tracked rectangle. New text objects: authoring/text/NewTextObject.h.
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

