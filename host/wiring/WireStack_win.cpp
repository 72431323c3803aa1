#include "host/wiring/LayerWiring.h"

void WireStack() {}
