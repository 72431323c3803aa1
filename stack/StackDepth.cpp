// The colour depth of the open stack against the display's.
#include "stack/StackDepth.h"

#include "core/ChangeFlags.h"

// Minimal for now: no working depth is kept yet, so no stack can be deeper than the display
// and there is nothing to convert. The depth rule and the conversion replace this.
int CheckStackDepthAgainstDisplay() { return 1; }

namespace {
// Every edit that marks the card changed checks the depth first.
const bool g_checkInstalled = (SetCardChangeCheck(CheckStackDepthAgainstDisplay), true);
}  // namespace
