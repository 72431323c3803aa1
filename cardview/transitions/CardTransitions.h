// Card transitions: a newly composed card (a bitmap) copied onto the card window step by step,
// by one of 29 transitions (cardview/transitions/TransitionTable.h names them).
//
//   TransitionTable.cpp          numbers, list names and order, what a request plays
//   TransitionTiming_win.cpp     the step clock in quarter ticks (TransitionTiming.h)
//   TransitionStrips.cpp         rectangles of the wipes, bars, blinds, barn, mouth, iris, blocks
//   Dissolve.cpp                 the dissolve's shift-register mask (Dissolve.h)
//   TransitionPatterns.cpp       the pattern reveals' and the rain's masks
//   TransitionZoom.cpp           the zoom frames
//   TransitionFade.cpp           the fades' colour steps
//   CardTransitions_win.cpp      RunTransition, the transition context and the copying ones
//   TransitionMasked_win.cpp     rain, dissolve and the pattern reveals on a snapshot
//   TransitionFade_win.cpp       the fades
//   TransitionZoom_win.cpp       the zoom
//   TransitionFullScreen_win.cpp transition 28 in the "SlideShowWindowClass" window
//   QtEffect*.cpp                transition 29 (cardview/transitions/QtEffect.h)
#pragma once

#include <windows.h>

// Shows rect of bitmap on the window with transition 1..29 (anything else: "Fastest") at
// speed 8, 16 or 32 (anything else: 8). A non-zero effect id plays that QuickTime effect for
// any number from 1 up. The bitmap is in window coordinates: its pixel (x, y) lands on the
// window's (x, y). With blend set every step also moves the palette blend along. An empty
// rect keeps the rectangle of the transition before.
void RunTransition(int transition, int effectId, int speed, HWND window, const RECT& rect, HBITMAP bitmap,
                   int blend);

// "Fade to button color": the colour the action moving to another card sets from the clicked
// object; RunTransition resets it to black when it ends.
void SetTransitionColor(COLORREF color);
COLORREF GetTransitionColor();
// The zoom centre in card-window coordinates, set by the same action (the centre of the
// clicked object); until one is set the zoom starts from the rectangle's centre.
void SetZoomCentre(POINT centre);
// The zoom centre last set; false while none is set.
bool GetZoomCentre(POINT* centre);


// Readies the window's colours before a fade (n 5, 6, 27) on 8-bit displays: the window's
// image drawn back with the pixels of palette entries 246..255 moved to entries 0..245.
void PrepareFadeTransition(HWND window, int transition);

// A memory DC holding a copy of the DC's whole device area (at least width x height), with the
// application palette selected; null on failure. FreeSnapshotDC deletes it and its bitmap.
HDC SnapshotDC(HDC dc, int width, int height);
void FreeSnapshotDC(HDC snapshot);
// A bitmap copy of the window's client area (its size into client); null on failure.
HBITMAP CopyWindowClient(HWND window, RECT* client);
// A copy of the whole display; with remap set (8-bit displays) palette entries 246..255
// are moved to the nearest of 0..245. Null on failure.
HBITMAP CaptureScreen(HDC dc, bool remap);
// The screen with the card's cardRect copied in at screenRect; null on failure.
HBITMAP ComposeScreenWithCard(HDC dc, HBITMAP screen, HBITMAP card, const RECT& screenRect, const RECT& cardRect);
// The full-screen popup of transition 28; null on failure.
HWND CreateSlideShowWindow(int width, int height);
