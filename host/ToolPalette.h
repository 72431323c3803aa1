// The tool palettes: the tools' bitmaps and cursors and the palette's click flag.
#pragma once

#include <windows.h>

// MINIMAL until the tool palettes are built (ToolPalette_win.cpp): no bitmaps are loaded, every
// tool shows the arrow, and the palette never holds a pending click.
void LoadToolBitmaps();
void FreeToolResources();
HCURSOR GetToolCursor();
bool TakePaletteClickFlag();
