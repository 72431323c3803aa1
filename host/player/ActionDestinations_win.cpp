// The moves of an action's destination in this stack, the performer's mover.
// A move to another stack comes with the record's stack path (chunk 60) and goes through
// GoToAnotherStack; without one, -6 names no card of this stack.
#include "actions/ActionRecord.h"
#include "host/player/CardNavigation.h"

void MoveToActionDestination(int16_t destination, int transition, int effect, int speed) {
    switch (destination) {
    case kDestNext: GoNextCard(transition, effect, speed); break;
    case kDestPrevious: GoPrevCard(transition, effect, speed); break;
    case kDestHome: GoHomeStack(transition, effect, speed); break;
    case kDestBack: GoBackInHistory(transition, effect, speed); break;
    case kDestLastMarked: GoRecentCard(transition, effect, speed); break;
    default: GoToCardId(static_cast<uint16_t>(destination), transition, effect, speed); break;
    }
}
