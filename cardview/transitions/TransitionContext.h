// What RunTransition (CardTransitions_win.cpp) hands each transition: the window, its drawing
// context, the rectangle, the new card and a memory DC holding it, and what the move gives the
// transitions that need more (the fade's colour, the zoom's start, the effect's old card).
#pragma once

#include <windows.h>

#include <optional>

#include "cardview/transitions/TransitionStrips.h"

struct TransitionContext {
    HWND window = nullptr;
    HDC dc = nullptr;         // the transition context
    RECT rect = {};           // the transition rectangle in its coordinates
    HBITMAP source = nullptr;
    HDC sourceDC = nullptr;   // the source selected, the application palette too
    int blend = 0;
    COLORREF color = RGB(0, 0, 0);    // "Fade to button color"
    std::optional<POINT> zoomCentre;  // else the rectangle's centre
    HGLOBAL oldCard = nullptr;        // the card left as a packed DIB, or none (the move owns it)
};

// Media idle time, then the rectangle of the bitmap copied to the same place on the context's
// drawing context.
void BlitTransitionRect(const TransitionContext& c, const RECT& rect, HBITMAP source);
// "Fastest" with the context and the current speed: 4 bands, the speed halved during them with
// 8 counting as 0 (no waiting).
void RunFastest(const TransitionContext& c);
// The plan's copies and step ends.
void RunTransitionPlan(const TransitionContext& c, const TransitionPlan& plan);

// The masked reveals (13, 14, 23 to 26); false when a snapshot, bitmap or mask could not be
// made, for the caller to fall back to "Fastest".
bool RunMaskedReveal(const TransitionContext& c, int transition);
// A dissolve of source over rect of dc: 16 steps (moving the palette blend along when blend is
// set), then the top row copied. False when the snapshot or mask could not be made (nothing
// drawn then).
bool DissolveOnto(HDC dc, const RECT& rect, HDC sourceDC, int blend);
// 5, 6, 27 (TransitionFade_win.cpp).
void RunFadeTransition(const TransitionContext& c, int transition);
// Moves the pixels of palette entries 246..255 of a bitmap (read through the application
// palette at 8 bits) to the nearest of entries 0..245; false when it cannot be read.
bool RemapBitmapTopColors(HDC dc, HBITMAP bitmap);
// 21, 22 (TransitionZoom_win.cpp).
void RunZoomTransition(const TransitionContext& c, bool zoomIn, POINT centre);
// 28 (TransitionFullScreen_win.cpp).
void RunFullScreenTransition(const TransitionContext& c);
// The 8-bit display's fade through the colour over dc's rect, drawing from sourceDC; false when
// the palette block cannot be had.
bool FadeThroughColor(HDC dc, const RECT& rect, HDC sourceDC, COLORREF color);
