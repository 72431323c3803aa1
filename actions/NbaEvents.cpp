// MINIMAL until extension modules are loaded: a stack has no modules to tell; leaving the card
// ends the built-in button cycle.
#include "actions/NbaEvents.h"

#include "actions/ButtonCycle.h"

void NotifyStackNBAs(int eventCode) {
    if (eventCode == kNbaEventLeaveCard)
        EndButtonCycle();
}
