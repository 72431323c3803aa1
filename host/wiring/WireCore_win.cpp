#include "host/wiring/LayerWiring.h"

void WireCore() {}
