#include "host/wiring/LayerWiring.h"

void WireUpper() {}
