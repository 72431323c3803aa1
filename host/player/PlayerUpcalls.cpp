// The defaults of what the player asks of the host above it (until the wiring fills them).
#include "host/player/PlayerUpcalls.h"

#include "core/system/DefaultProcs.h"

namespace {

void Nothing() {}

constexpr PlayerUpcalls kPlayerDefaults = {
    .cardEntered = Nothing,
};

PlayerUpcalls g_upcalls = kPlayerDefaults;

}  // namespace

const PlayerUpcalls& GetPlayerUpcalls() { return g_upcalls; }

void SetPlayerUpcalls(const PlayerUpcalls& upcalls) {
    PlayerUpcalls u = upcalls;
    FillIfNull(u.cardEntered, kPlayerDefaults.cardEntered);
    g_upcalls = u;
}
