// A palette's place pulled onto the screen, without the windows.
#include "host/palettes/PaletteWindows.h"

PalettePlace ClampPaletteToScreen(PalettePlace place, int width, int height, int screenWidth, int screenHeight) {
    if (place.x + width > screenWidth)
        place.x = screenWidth - width;
    if (place.x < 0)
        place.x = 0;
    if (place.y + height > screenHeight)
        place.y = screenHeight - height;
    if (place.y < 0)
        place.y = 0;
    return place;
}
