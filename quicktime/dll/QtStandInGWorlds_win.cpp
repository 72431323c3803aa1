// Graphics worlds over DIB sections, CopyBits and OpColor.
#include <windows.h>

#include "quicktime/dll/QtStandIn.h"

std::span<const StandInRow> StandInGWorldRows() { return {}; }
