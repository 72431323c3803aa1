// The defaults of what the card layer asks of the program above it (until the wiring fills them).
#include "cardview/card/CardUpcalls.h"

#include "core/system/DefaultProcs.h"

namespace {

void NoRefresh(int) {}

constexpr CardRedrawUpcalls kCardRedrawDefaults = {
    .refreshCard = NoRefresh,
};

CardRedrawUpcalls g_upcalls = kCardRedrawDefaults;

}  // namespace

const CardRedrawUpcalls& GetCardRedrawUpcalls() { return g_upcalls; }

void SetCardRedrawUpcalls(const CardRedrawUpcalls& upcalls) {
    g_upcalls = FilledFrom(upcalls, kCardRedrawDefaults, &CardRedrawUpcalls::refreshCard);
}
