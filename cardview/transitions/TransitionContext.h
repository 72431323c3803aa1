// What RunTransition (CardTransitions_win.cpp) hands each transition and each step end
// (TransitionTiming.h): the window, its drawing context, the rectangle, the new card and a memory
// DC holding it, the move shown (the fade's colour, the zoom's start, the effect's old card) and
// the speed its steps take.
#pragma once

#include <windows.h>

#include "cardview/transitions/CardTransitions.h"
#include "cardview/transitions/TransitionStrips.h"

struct TransitionContext {
    HWND window = nullptr;
    HDC dc = nullptr;         // the transition context
    RECT rect = {};           // the transition rectangle in its coordinates
    HBITMAP source = nullptr;
    HDC sourceDC = nullptr;   // the source selected, the application palette too
    int blend = 0;
    CardMove move;            // the move shown; its old card is shared with the caller's, not copied
    int speed = kPlainSpeed;  // of the steps: the move's (8, 16 or 32), lowered by "Fastest"; 0 never waits
};

// Media idle time, then the rectangle of the bitmap copied to the same place on the context's
// drawing context.
void BlitTransitionRect(const TransitionContext& c, const RECT& rect, HBITMAP source);
// "Fastest" with the context: 4 bands at the context's speed halved, 8 counting as 0 (no
// waiting).
void RunFastest(const TransitionContext& c);
// The plan's copies and step ends.
void RunTransitionPlan(const TransitionContext& c, const TransitionPlan& plan);

// The masked reveals (13, 14, 23 to 26); false when a snapshot, bitmap or mask could not be
// made, for the caller to fall back to "Fastest".
bool RunMaskedReveal(const TransitionContext& c, int transition);
// A dissolve of the context's source over its rect: 16 steps (moving the palette blend along
// when blend is set), then the top row copied. False when the snapshot or mask could not be made
// (nothing drawn then).
bool DissolveOnto(const TransitionContext& c);
// 5, 6, 27 (TransitionFade_win.cpp).
void RunFadeTransition(const TransitionContext& c, int transition);
// Moves the pixels of palette entries 246..255 of a bitmap (read through the application
// palette at 8 bits) to the nearest of entries 0..245; false when it cannot be read.
bool RemapBitmapTopColors(HDC dc, HBITMAP bitmap);
// 21, 22 (TransitionZoom_win.cpp).
void RunZoomTransition(const TransitionContext& c, bool zoomIn, POINT centre);
// 28 (TransitionFullScreen_win.cpp).
void RunFullScreenTransition(const TransitionContext& c);
// The 8-bit display's fade through the colour over the context's rect at its speed, drawing from
// its sourceDC; false when the palette block cannot be had.
bool FadeThroughColor(const TransitionContext& c, COLORREF color);
