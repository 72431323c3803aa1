// The application palette handle shared by the graphics code.
#include "graphics/AppPalette.h"

namespace {
HPALETTE g_appPalette = nullptr;
}

HPALETTE GetAppPalette() { return g_appPalette; }

void SetAppPalette(HPALETTE palette) { g_appPalette = palette; }
