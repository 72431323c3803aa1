// The application palette handle shared by the graphics code.
#include "graphics/AppPalette.h"

namespace {
HPALETTE g_appPalette = nullptr;
HPALETTE g_picturePalette = nullptr;
}

HPALETTE GetAppPalette() { return g_appPalette; }

void SetAppPalette(HPALETTE palette) { g_appPalette = palette; }

HPALETTE GetPicturePalette() { return g_picturePalette; }

void SetPicturePalette(HPALETTE palette) { g_picturePalette = palette; }
