// The stack's part in reading and repacking card pictures, in the shape the depth conversions
// ask for it (CardPictureGdi.h).
#include <windows.h>

#include "cardview/card/CardRedrawServices.h"
#include "stack/pictures/CardPictureDib.h"
#include "stack/pictures/PackedPicture.h"

Handle PackCardPictureDib(DibHandle dib, bool cardPicture) { return PackPicture(dib, cardPicture, nullptr); }

DibHandle CardPictureDib(Handle card, int width, int height, int depth, bool flip, bool useStoredColors) {
    return DibFromPictureResource(card, width, height, depth, flip, useStoredColors, nullptr);
}
