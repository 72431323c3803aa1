// MINIMAL tool palettes (see ToolPalette.h).
#include "host/ToolPalette.h"

void LoadToolBitmaps() {}
void FreeToolResources() {}
HCURSOR GetToolCursor() { return LoadCursor(nullptr, IDC_ARROW); }
bool TakePaletteClickFlag() { return false; }
