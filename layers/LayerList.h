// The card's layer list: order, hit testing, drawing, the clip region and the layer mask
// (LayerList_win.cpp). Positions count from 1 in list order; the head is drawn first and lies
// at the back.
#pragma once

#include <windows.h>

#include "layers/ObjectLayer.h"
#include "stack/StackOpenSession.h"

LayerHandle GetLayerListHead();
// 0 or 1: at the head; 65535 or more (or negative): at the end; past the end: at the end.
void InsertLayerAt(LayerHandle layer, int position);
// The first layer of that kind and id; 0 when none.
LayerHandle FindLayer(uint16_t kind, uint16_t id);
// An object of the card named by what outlives its layer. Leaving the card (a walk to another
// card and back, a transition tried, a timer or a module moving on while a dialog is up) frees
// every layer and builds new ones, so no layer handle is kept across such a call: its name is,
// and the layer is found again. The stack is named too: another stack opened meanwhile has
// cards and objects of the same ids. Plain bytes, so that records kept in handles hold one.
struct LayerName {
    StackIdentity stack;
    uint16_t card;
    uint16_t kind;
    uint16_t id;
};
// The name of the layer's object on the current card; kind 0 when there is no layer.
LayerName NameOfLayer(LayerHandle layer);
// The name of the current card's object of that kind and id (a layer not made yet; kind 0
// names the card itself).
LayerName NameOfObject(uint16_t kind, uint16_t id);
// The named object's layer; 0 when another stack or card is current or the object is gone.
LayerHandle FindNamedLayer(const LayerName& name);
inline constexpr uint32_t kAlertEditDropped = 2395;
// The same, and when the object is gone an alert over owner tells that the edit of it was
// dropped (nothing of it is written).
LayerHandle FindNamedLayerOrSay(const LayerName& name, HWND owner);
// Whether the named object's stack and card are the current ones (its layer may be hidden).
bool IsNamedCardCurrent(const LayerName& name);
// Unlinks and frees the layer; nothing when it is not in the list.
void RemoveLayer(LayerHandle layer);
// Frees every layer; the clip region becomes the whole card rectangle.
void FreeLayerList();
// 'C' toward the front, 'F' toward the back; all: to the end of the list, else one step.
void ReorderLayer(LayerHandle layer, char direction, bool all);
// The frontmost layer under the point that is not skip (with mouseOverOnly only "No click"
// buttons); 0 when none or the view is magnified.
LayerHandle HitTestLayers(int x, int y, bool mouseOverOnly, LayerHandle skip);
// Draws the layers meeting the rectangle; with skip only those behind it (behindOnly) or only
// those in front of it.
void DrawLayersInRect(HDC dc, const RECT& rect, LayerHandle skip, bool behindOnly);
bool AnyLayerIntersects(const RECT& rect);
void InvalidateLayersInRect(HWND window, const RECT& rect);
// Buttons of shapes 4 to 7, inflated by 2 pixels.
void InvalidateSpecialButtons(HWND window);
// The layer mask, then the clip region: the screen minus every layer's region.
void CreateClipRegion();
void RebuildLayerMask();
// Printing and the slide show park a list and bring it back.
void SaveLayerListHead(LayerHandle head);
void TakeSavedLayerList(LayerHandle* head);  // the slot becomes 0
void SetLayerListHead(LayerHandle head);
// Draws (state 1) or removes (0) every button's hilite on the window; nothing when unchanged.
void SetShowAllButtonHilites(HWND window, int state);
// Enter in browse: the first button of shape 1, whose actions the caller performs; true when
// there is one (none while a text field is active).
bool FindDefaultButton(uint16_t* buttonId);
// The browse cursor for a point of the card window; 0 (and animated cursors stopped) otherwise.
// The cursor of the current card record, else of its background record; 0 when neither has one.
HCURSOR CurrentCardCursor();
HCURSOR SetBrowseCursorAt(int x, int y);
void SyncCardFromLayers();
