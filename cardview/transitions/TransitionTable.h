// The 29 transitions by number: their list names, the order in which the transition lists
// offer them, and the rules that turn a requested number, effect id and speed into what plays.
#pragma once

#include <array>
#include <cstdint>

inline constexpr int kTransitionCount = 29;

enum TransitionNumber : int {
    kTransLeftToRight = 1,
    kTransRightToLeft = 2,
    kTransFastest = 3,
    kTransBottomToTop = 4,
    kTransFadeToBlack = 5,
    kTransFadeToWhite = 6,
    kTransBlocks = 7,
    kTransDiagonalRight = 8,
    kTransDiagonalLeft = 9,
    kTransBlinds = 10,
    kTransTopToBottom = 11,
    kTransBars = 12,
    kTransRain = 13,
    kTransDissolve = 14,
    kTransBarnOpen = 15,
    kTransBarnClose = 16,
    kTransMouthOpen = 17,
    kTransMouthClose = 18,
    kTransIrisOpen = 19,
    kTransIrisClose = 20,
    kTransZoomIn = 21,
    kTransZoomOut = 22,
    kTransRazorLeft = 23,
    kTransRazorRight = 24,
    kTransBowTies = 25,
    kTransDiamondDissolve = 26,
    kTransFadeToButtonColor = 27,
    kTransFullScreen = 28,
    kTransQuickTimeEffect = 29,
};

// The string id of a transition's list name (2750..2776); 0 for 28, 29 and out of range.
int TransitionNameStringId(int transition);

// The transition lists hold the 27 named transitions in string-id order; entry i (0..26) has
// the name 2750 + i and plays the number below. Effects of the QuickTime stand-in follow them
// from list item 28 on.
inline constexpr int kTransitionListCount = 27;
inline constexpr int kFirstEffectListItem = 28;
extern const std::array<uint8_t, kTransitionListCount> kTransitionListNumbers;
// The list entry (0..26) of a transition number; -1 for one not in the list.
int TransitionListIndex(int transition);

// What plays for a request: n below 1 is "Fastest" whatever the effect id; else a non-zero
// effect id (its low 16 bits) plays the QuickTime effect; else n above 29 is "Fastest".
int ChooseTransition(int transition, int effectId);
// 8, 16 or 32 stay; anything else is 8.
int NormalizeTransitionSpeed(int speed);
