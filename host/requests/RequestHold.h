// A module's request while an authoring dialog or loop runs (RequestHold_win.cpp, the rule and
// the keeper of each code in its row of RequestTable.h).
#pragma once

#include "actions/NbaInterface.h"
#include "host/requests/RequestTable.h"

// Under a guard, a request that waits is kept to be made again once the last dialog has ended
// (on the stack and card it was asked on) and a refused one is answered as failed: true, and the
// caller does not run it. False when it runs now.
bool GuardRequest(const RequestRow& row, NbaParamBlock& b);
