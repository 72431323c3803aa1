#include "host/wiring/LayerWiring.h"

void WireLayers() {
    // Once per process: the browser may initialise the plug-in again, and a test program wires
    // before its first test, whose fakes a second wiring would undo.
    static bool wired = false;
    if (wired)
        return;
    wired = true;
    WireCore();
    WireGraphics();
    WireStack();
    WireUpper();
}
