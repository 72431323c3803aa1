#include "core/CoreUpcalls.h"

namespace {

bool Browsing() { return true; }
void Nothing() {}
void* NoWindow() { return nullptr; }

constexpr CoreUpcalls kDefaults = {Browsing, Nothing, Nothing, NoWindow};

CoreUpcalls g_upcalls = kDefaults;

template <class P>
P OrDefault(P given, P fallback) {
    return given ? given : fallback;
}

}  // namespace

const CoreUpcalls& GetCoreUpcalls() { return g_upcalls; }

void SetCoreUpcalls(const CoreUpcalls& upcalls) {
    g_upcalls.browseMode = OrDefault(upcalls.browseMode, kDefaults.browseMode);
    g_upcalls.stepFrameAnimations = OrDefault(upcalls.stepFrameAnimations, kDefaults.stepFrameAnimations);
    g_upcalls.stepAnimatedObjects = OrDefault(upcalls.stepAnimatedObjects, kDefaults.stepAnimatedObjects);
    g_upcalls.trackedWindow = OrDefault(upcalls.trackedWindow, kDefaults.trackedWindow);
}
