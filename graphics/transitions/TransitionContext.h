// What the transitions share while RunTransition runs (CardTransitions_win.cpp): the window,
// its drawing context, the rectangle, the new card and a memory DC holding it.
#pragma once

#include <windows.h>

#include "graphics/transitions/TransitionStrips.h"

struct TransitionContext {
    HWND window = nullptr;
    HDC dc = nullptr;         // the transition context
    RECT rect = {};           // the transition rectangle in its coordinates
    HBITMAP source = nullptr;
    HDC sourceDC = nullptr;   // the source selected, the application palette too
    int blend = 0;
};
TransitionContext& CurrentTransition();

// "Fastest" with the current context and speed: 4 bands, the speed halved during them with 8
// counting as 0 (no waiting).
void RunFastest();
// The plan's copies and step ends.
void RunTransitionPlan(const TransitionPlan& plan);

// The masked reveals (13, 14, 23 to 26); false when a snapshot, bitmap or mask could not be
// made, for the caller to fall back to "Fastest".
bool RunMaskedReveal(int transition);
// A dissolve of source over rect of dc: 16 steps, then the top row copied. False when the
// snapshot or mask could not be made (nothing drawn then).
bool DissolveOnto(HDC dc, const RECT& rect, HDC sourceDC);
// 5, 6, 27 (TransitionFade_win.cpp).
void RunFadeTransition(int transition);
// Moves the pixels of palette entries 246..255 of a bitmap (read through the application
// palette at 8 bits) to the nearest of entries 0..245; false when it cannot be read.
bool RemapBitmapTopColors(HDC dc, HBITMAP bitmap);
// 21, 22 (TransitionZoom_win.cpp).
void RunZoomTransition(bool zoomIn, POINT centre);
// 28 (TransitionFullScreen_win.cpp).
void RunFullScreenTransition();
// The 8-bit display's fade through the colour over dc's rect, drawing from sourceDC; false when
// the palette block cannot be had.
bool FadeThroughColor(HDC dc, const RECT& rect, HDC sourceDC, COLORREF color);
