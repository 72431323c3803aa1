// Transition names, list order and the choice of what plays.
#include "cardview/transitions/TransitionTable.h"

namespace {

// String id of each transition's name, by number (index 0 unused).
constexpr std::array<int16_t, kTransitionCount + 1> kNameIds = {
    0,    2750, 2751, 2752, 2753, 2755, 2756, 2757, 2758, 2759, 2760, 2754, 2761, 2762, 2763,
    2764, 2765, 2769, 2768, 2767, 2766, 2775, 2774, 2773, 2772, 2771, 2770, 2776, 0,    0,
};

}  // namespace

const std::array<uint8_t, kTransitionListCount> kTransitionListNumbers = {
    1, 2, 3, 4, 11, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 20, 19, 18, 17, 26, 25, 24, 23, 22, 21, 27,
};

int TransitionNameStringId(int transition) {
    if (transition < 1 || transition > kTransitionCount)
        return 0;
    return kNameIds[transition];
}

int TransitionListIndex(int transition) {
    for (int i = 0; i < kTransitionListCount; ++i)
        if (kTransitionListNumbers[i] == transition)
            return i;
    return -1;
}

int ChooseTransition(int transition, int effectId) {
    if (transition < 1)
        return kTransFastest;
    if ((effectId & 0xFFFF) != 0)
        return kTransQuickTimeEffect;
    if (transition > kTransitionCount)
        return kTransFastest;
    return transition;
}

int NormalizeTransitionSpeed(int speed) { return speed == 8 || speed == 16 || speed == 32 ? speed : 8; }
