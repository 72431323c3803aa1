#include "host/wiring/LayerWiring.h"

void WireGraphics() {}
