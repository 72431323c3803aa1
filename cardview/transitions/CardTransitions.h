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

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "format/StackFile.h"

// The card a move leaves, as a packed DIB (header, colour table, rows), for a QuickTime effect
// to play from. Copies of a move (one waiting for its stack, one held under an editor) share the
// bytes; the last copy frees them. Empty: no picture.
class OldCardPicture {
public:
    OldCardPicture() = default;
    explicit OldCardPicture(std::vector<uint8_t> packedDib)
        : dib_(packedDib.empty() ? nullptr : std::make_shared<const std::vector<uint8_t>>(std::move(packedDib))) {}
    explicit operator bool() const { return dib_ != nullptr; }
    std::span<const uint8_t> PackedDib() const {
        return dib_ ? std::span<const uint8_t>(*dib_) : std::span<const uint8_t>();
    }

private:
    std::shared_ptr<const std::vector<uint8_t>> dib_;
};

// How one move shows the card it enters: handed down from what moves (an action, a command, a
// request) to the transition, so that nothing of one move is left for the next. The default is
// the plain move.
struct CardMove {
    int transition = kPlainTransition;  // 1..29; anything else: "Fastest"
    int effect = kPlainEffect;          // a QuickTime effect id; non-zero plays it for any transition from 1 up
    int speed = kPlainSpeed;            // 8, 16 or 32; anything else: 8
    COLORREF color = RGB(0, 0, 0);      // "Fade to button color": the clicked object's colour
    std::optional<POINT> zoomCentre;    // where a zoom starts, in card-window coordinates (the
                                        // clicked object's centre); without one, the rectangle's centre
    OldCardPicture oldCard;             // the card left, which an effect plays from (TakeOldCard,
                                        // cardview/card/CardRedraw.h, takes it)
};

// Whether the move plays a QuickTime effect (transition 29 or an effect id), which plays from the
// card left: the one rule of when a move takes its old card.
bool NeedsOldCard(const CardMove& move);

// Shows rect of bitmap on the window with the move's transition, speed and effect. The bitmap is
// in window coordinates: its pixel (x, y) lands on the window's (x, y). With blend set every step
// also moves the palette blend along. Nothing for an empty rect or without a bitmap.
void RunTransition(const CardMove& move, HWND window, const RECT& rect, HBITMAP bitmap, int blend);

// Readies the window's colours before a move that plays a fade (5, 6, 27) on 8-bit displays: the
// window's image drawn back with the pixels of palette entries 246..255 moved to entries 0..245.
void PrepareFadeTransition(HWND window, const CardMove& move);

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
