// Minimal until card navigation and the action performer exist: an action resource is
// accepted and nothing is performed yet.
#include "host/CardNavigation.h"

int PerformActionResource(uint16_t id, int /*a*/, int /*b*/, const char* /*label*/) {
    return id != 0 ? 1 : 0;
}
