// Minimal until card navigation and the action performer exist: an action resource is
// accepted and nothing is performed yet.
#include "host/CardNavigation.h"

int PerformActionResource(uint16_t id, int /*a*/, int /*b*/, const char* /*label*/) {
    return id != 0 ? 1 : 0;
}

// Minimal until card navigation exists: the title lives on the frame window, which the plug-in
// does not have, so there is nothing to show it on.
void UpdateCardTitle(bool /*force*/) {}
