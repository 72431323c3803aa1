// The moves of an action's destination, the actions layer's mover (ButtonActions.h).
#include "actions/ActionRecord.h"
#include "actions/ButtonActions.h"
#include "core/files/FileSlots.h"
#include "host/navigation/CardNavigation.h"

void MoveToActionDestination(int16_t destination, int transition, int effect, int speed) {
    switch (destination) {
    case kDestNext: GoNextCard(transition, effect, speed); break;
    case kDestPrevious: GoPrevCard(transition, effect, speed); break;
    case kDestHome: GoHomeStack(transition, effect, speed); break;
    case kDestBack: GoBackInHistory(transition, effect, speed); break;
    case kDestLastMarked: GoRecentCard(transition, effect, speed); break;
    case kDestOtherStack: GoToStackCard(0, kSlotTargetStack, transition, effect, speed, true); break;
    default:
        if (destination > 0)
            GoToCardId(static_cast<uint16_t>(destination), transition, effect, speed);
        break;
    }
}
