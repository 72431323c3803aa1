// Placing a new graphic object on the card (GraphicPlacing_win.cpp): the picture of the
// graphic placement shown stretched into its rectangle, which the mouse and the arrows move and
// size until a click outside fixes it. The trackers' mouse, key and paint entry points are
// declared with the other object trackers in objects/ObjectServices.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

// PlacedGraphicMouseDown's answer when the click fixed the picture: placing has ended, the
// settings are reset and a new id taken; the caller opens the appearance dialog.
inline constexpr int kPlacedGraphicFixed = 2;

// Placing starts: the placement rectangle is the source's size centred in the card window (each
// offset at least 0), snapped to the grid, and the window invalidated.
void StartPlacingGraphic(HWND window);
// The dashed frame of the placed picture on the periodic tick, while it is not being resized.
void DrawPlacedGraphicFrame(HWND window, int phase);
// Unless the cropping dialog is open: the picture, mask and outline deleted, the lasso points
// freed, placing ended and where the picture stood invalidated.
void CancelPlacedGraphic(HWND window);
// The settings of a new object: no frame, no flags, no actions, opaque, no edited layer, a new
// object id.
void ResetPlacedGraphicSettings();

// ---- GraphicEdit_win.cpp ----
// The stored form of a new graphic's picture: its rows packed at the display's depth (the
// depth given back) and the mask packed (empty without one). False when either cannot be made.
bool MakeGraphicPictureData(HBITMAP picture, HBITMAP mask, std::vector<uint8_t>* data, std::vector<uint8_t>* packedMask,
                            int* depth);
