// Window ports: a port associated with a window, found again from the window; the port resize
// and WinEventToMacEvent.
#include <windows.h>

#include "quicktime/dll/QtStandIn.h"

std::span<const StandInRow> StandInPortRows() { return {}; }
