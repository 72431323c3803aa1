#include "host/wiring/LayerWiring.h"

void WireLayers() {
    WireCore();
    WireGraphics();
    WireStack();
    WireUpper();
}
