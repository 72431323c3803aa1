// The user placing a movie on the card window: whenever the rectangle tracker runs, a drag of
// the rectangle from its centre by (dx, dy), then a press off the moved rectangle, which ends
// the tracking. The messages are posted from a thread timer, inside the tracker's own loop.
#pragma once

#include <windows.h>

#include "objects/ResizeTracking.h"

class CardDrag {
public:
    CardDrag(HWND card, int dx, int dy) {
        state() = {card, dx, dy, false, 0};
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~CardDrag() { KillTimer(nullptr, timer_); }
    CardDrag(const CardDrag&) = delete;
    CardDrag& operator=(const CardDrag&) = delete;
    int Drags() const { return state().drags; }

private:
    struct State {
        HWND card;
        int dx, dy;
        bool posted;
        int drags;
    };
    static State& state() {
        static State s{};
        return s;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        State& s = state();
        const TrackState& track = CurrentTrackState();
        if (!track.rect) {
            s.posted = false;
            return;
        }
        // Our press off the rectangle ends a tracking: one that runs while none of our messages
        // wait is a new one.
        MSG waiting;
        if (s.posted && PeekMessageA(&waiting, s.card, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE))
            return;
        s.posted = true;
        ++s.drags;
        const RECT r = *track.rect;
        const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
        PostMessageA(s.card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(s.card, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + s.dx, y + s.dy));
        PostMessageA(s.card, WM_LBUTTONUP, 0, MAKELPARAM(x + s.dx, y + s.dy));
        // Off the moved rectangle: beside whichever side leaves room.
        const int off = r.left + s.dx > 12 ? 2 : r.right + s.dx + 10;
        PostMessageA(s.card, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(off, 2));
        PostMessageA(s.card, WM_LBUTTONUP, 0, MAKELPARAM(off, 2));
    }
    UINT_PTR timer_ = 0;
};
