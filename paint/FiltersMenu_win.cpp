// The "Filters" menu.
//
// Minimal until the filter plug-in host exists: no filter is ever loaded, so there is no
// "Filters" menu to remove or to build.
#include "paint/FiltersMenu.h"

void RemoveFiltersMenu(HWND /*frame*/, int /*first*/, int /*count*/) {}

void RebuildFiltersMenu(HWND /*frame*/, int /*first*/, int /*count*/) {}
