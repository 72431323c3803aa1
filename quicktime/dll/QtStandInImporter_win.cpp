// The graphics importer over WIC.
#include <windows.h>

#include "quicktime/dll/QtStandIn.h"

std::span<const StandInRow> StandInImporterRows() { return {}; }
const StandInComponentKind* StandInGraphicsImporterKind() { return nullptr; }
