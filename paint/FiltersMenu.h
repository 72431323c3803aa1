// The "Filters" menu of the frame's menu bar, built from the image filter plug-ins.
#pragma once

#include <windows.h>

// Removes the "Filters" menu from the frame's menu bar.
void RemoveFiltersMenu(HWND frame, int first, int count);
// Builds the "Filters" menu again from the plug-ins of the filter folder (file-spec slot 19).
void RebuildFiltersMenu(HWND frame, int first, int count);
