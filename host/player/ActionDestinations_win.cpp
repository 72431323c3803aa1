// The moves of an action's destination in this stack, the performer's mover.
// A move to another stack comes with the record's stack path (chunk 60) and goes through
// GoToAnotherStack; without one, -6 names no card of this stack.
#include "actions/ActionRecord.h"
#include "host/player/CardNavigation.h"

void MoveToActionDestination(int16_t destination, const CardMove& move) {
    switch (destination) {
    case kDestNext: GoNextCard(move); break;
    case kDestPrevious: GoPrevCard(move); break;
    case kDestHome: GoHomeStack(move); break;
    case kDestBack: GoBackInHistory(move); break;
    case kDestLastMarked: GoRecentCard(move); break;
    default: GoToCardId(static_cast<uint16_t>(destination), move); break;
    }
}
