// What a module's request may do while an authoring dialog or loop runs (RequestGuard.cpp): the
// one table of every request code. Requests that only read, or touch only the module's own
// memory, play media or show the module's own dialog, run; those that would change the stack, a
// card, an object, a layer or the tool wait, copied with what their pointers name, and run once
// the last dialog has ended, on the stack and card they were asked on
// (RequestHold_win.cpp); a few that hand out the card to draw into or open another stack are
// refused with the answer of a failure.
#pragma once

#include <cstdint>

#include "actions/NbaInterface.h"

enum class GuardedRequest : uint8_t { kRuns, kWaits, kRefused };

// The rule of a request code as the table gives it (codes outside 0 to 190 run: they do nothing).
GuardedRequest GuardedRequestRule(int code);
// The rule for this request: the table's, except the codes that write only in one of their modes
// (146 select, 183 with mode 2, 184 with mode 1), which run when they only read.
GuardedRequest GuardedRequestOf(int code, const NbaParamBlock& b);
