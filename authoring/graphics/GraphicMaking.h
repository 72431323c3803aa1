// New graphic objects (GraphicMaking_win.cpp): from the paint selection or a cropped picture
// (command 307), from a graphic-object lasso selection dropped on the card, and the click that
// fixes a placed picture and opens the appearance dialog.
#pragma once

#include <windows.h>

// Command 307: the rectangle or lasso selection of the paint tools becomes the new object's
// picture and the appearance dialog opens; without a selection a picture is cropped for a
// graphic object ("PCROP", purpose 'G') and placed.
void MakeGraphicObjectCommand(HWND window);
// The floating graphic-object selection's pixels with this mask and outline at (x, y) become a
// new object through the appearance dialog. The mask and outline stay the caller's.
void MakeGraphicFromSelection(HWND window, HBITMAP mask, HBITMAP outline, int x, int y);
// A press on the card while a picture is placed: the placing tracker's answer, and when the
// press fixed the picture, the appearance dialog run. Nonzero when the press was taken.
int PlacedGraphicClick(HWND window, int x, int y);
// A press off a floating graphic-object selection makes the object of it; true when it did.
bool DropGraphicSelectionAt(HWND window, int x, int y);
