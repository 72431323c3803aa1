// MINIMAL until extension modules are loaded: a stack has no modules to tell.
#include "actions/NbaEvents.h"

void NotifyStackNBAs(int) {}
