// The picture cropping dialog ("PCROP") and its entry points: a picture cut out by rectangle or
// lasso for a graphic object ('G'), an animation frame ('A'), clip art pasted into the card
// picture ('C') or a bitmap handed back ('H'). The picture, crop kind, crop rectangle, mask and
// outline live in a graphic placement (objects/graphics/GraphicPlacement.h): the entry points
// hand the dialog the one that is placed afterwards, and the dialog keeps it with its view.
//
//   PictureCrop_win.cpp   the dialog: sizing, tool strip, buttons, OK and Cancel
//   CropEntry_win.cpp     the entry points that load a picture and apply the crop
//   CropView_win.cpp      the "LM_Image" view: scrolling, auto-scroll, rectangle and lasso crops
//   CropScale_win.cpp     "CROPSCALE" and the scale and rotation of the picture
#pragma once

#include <windows.h>

#include <cstdint>

#include "objects/graphics/GraphicPlacement.h"

// Loads the picture and runs the dialog with a purpose; with crop clear and a path the picture
// is taken whole and pasted as clip art at the point. The dialog's result (1 OK, 2 Cancel).
int OpenPictureCropDialog(HWND window, char purpose, const char* path, POINT point, bool crop);
// For an animation frame: true on OK with the cut-out picture, its mask (null for a rectangle),
// the crop kind and the colour under the first lasso point. The caller owns the
// bitmaps. A file that cannot be read shows alert 2342 (one the loader refuses, the
// loader's own message). The placement is left as it was.
bool CropPictureForAnimation(HWND window, const char* path, HBITMAP* bitmapOut, HBITMAP* maskOut,
                             CropKind* kindOut, COLORREF* colourOut);
// The whole picture and the crop rectangle; the dialog's result (1 OK).
int CropPictureFile(HWND window, const char* path, HBITMAP* bitmapOut, RECT* rectOut);

// ---- CropEntry_win.cpp ----
// The path given, else the picture asked for (kind 'A' the open dialog, others the picture
// source); the loaded picture replaces the placement's. False when none was loaded.
bool GetPictureForCropping(HWND window, char kind, const char* path, GraphicPlacement& placement);
// The whole picture as a rectangle crop, pasted as clip art at the point (centred without one).
bool LoadPictureWithoutCropping(const char* path, const POINT* point);
// The whole picture as a lasso of its four corners with the content-fitting mask: option 'C'
// pastes it as clip art, 'G' floats it as a graphic-object selection, others only load it.
bool LoadPictureForPlacement(const char* path, const POINT* point, char option);
// The crop applied by purpose: 'C' clip art, 'H' the cut-out kept as the placement's picture,
// others a graphic object placed (a lasso floats as a graphic-object paint selection).
void ApplyPictureCrop(char purpose, const POINT* point);
// The placement's crop rectangle normalised and held inside its picture; false when its origin
// lies outside the picture.
bool LimitCropToPicture(GraphicPlacement& placement);

// ---- PictureCrop_win.cpp ----
// Runs "PCROP" on the placement's picture with the purpose; 1 OK, 2 Cancel.
int RunPictureCropDialog(HWND window, char purpose, GraphicPlacement& placement);
// The dialog sized to the placement's picture (at most 90 % of the screen), its view made again
// and scrolled home; the selection dropped.
void ResizeCropDialog(HWND dialog, GraphicPlacement& placement);

// ---- CropView_win.cpp ----
// Registers the view's class once and makes the view (item PCROP_VIEW) inside the dialog, on
// the placement, which it keeps for as long as it lives.
HWND CreateCropView(HWND dialog, const RECT& place, GraphicPlacement& placement);
// The view's scroll ranges set again and its origin moved home; repainted.
void ResetCropView(HWND view);
// Drops the placement's shown rectangle, lasso mask and outline; the view (may be null) is
// repainted.
void DropCropSelection(GraphicPlacement& placement, HWND view);
// Makes the placement's lasso mask from the buffered points (Shift: the plain polygon).
void MakeCropMaskFromPoints(GraphicPlacement& placement, HWND view, bool plainPolygon);

// ---- CropScale_win.cpp ----
// "CROPSCALE" for the cropping dialog: the angle and two scales, then the picture turned and
// scaled; 1 on OK.
int DoScaleRotateDialogForCrop(HWND dialog, GraphicPlacement& placement);
// The placement's picture turned by angle degrees and scaled over white; the old picture
// becomes the undo picture (an older one deleted). False when it could not be made.
bool ScaleRotatePlacedPicture(GraphicPlacement& placement, double angle, double scaleX, double scaleY);
