#include "core/CoreUpcalls.h"

#include "core/system/DefaultProcs.h"

namespace {

void Nothing() {}
void* NoWindow() { return nullptr; }

constexpr CoreUpcalls kDefaults = {Nothing, Nothing, NoWindow};

CoreUpcalls g_upcalls = kDefaults;

}  // namespace

const CoreUpcalls& GetCoreUpcalls() { return g_upcalls; }

void SetCoreUpcalls(const CoreUpcalls& upcalls) {
    g_upcalls = FilledFrom(upcalls, kDefaults, &CoreUpcalls::stepFrameAnimations, &CoreUpcalls::stepAnimationsAndMedia,
                           &CoreUpcalls::trackedWindow);
}
