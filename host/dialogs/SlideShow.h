// The slide show (File menu command 109): the stack's cards one after another from the first,
// each for some seconds or until a key, once through or round and round, until Esc; then the
// card that was current comes back (SlideShow_win.cpp). Its settings live in the print context
// (Printing.h).
#pragma once

#include <windows.h>

#include <cstdint>

inline constexpr int kSlideTransition = 28;
inline constexpr int kSlideEscTransition = 3;

// 1 when a show ran; 0 when cancelled or when the print context cannot be made.
int RunSlideShow(HWND window);

// The moves a show makes; the card navigation unless others are installed (tests).
struct SlideShowMoves {
    void (*goFirst)(int transition, int effect, int speed);
    void (*goNext)(int transition, int effect, int speed);
    void (*goToId)(uint16_t id, int transition, int effect, int speed);
    uint16_t (*currentCardId)();
    int (*countCards)();
};
// Null puts the card navigation back.
void SetSlideShowMoves(const SlideShowMoves* moves);
