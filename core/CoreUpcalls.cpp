#include "core/CoreUpcalls.h"

#include "core/system/DefaultProcs.h"

namespace {

bool Browsing() { return true; }
void Nothing() {}
void* NoWindow() { return nullptr; }

constexpr CoreUpcalls kDefaults = {Browsing, Nothing, Nothing, NoWindow};

CoreUpcalls g_upcalls = kDefaults;

}  // namespace

const CoreUpcalls& GetCoreUpcalls() { return g_upcalls; }

void SetCoreUpcalls(const CoreUpcalls& upcalls) {
    CoreUpcalls u = upcalls;
    FillIfNull(u.browseMode, kDefaults.browseMode);
    FillIfNull(u.stepFrameAnimations, kDefaults.stepFrameAnimations);
    FillIfNull(u.stepAnimatedObjects, kDefaults.stepAnimatedObjects);
    FillIfNull(u.trackedWindow, kDefaults.trackedWindow);
    g_upcalls = u;
}
