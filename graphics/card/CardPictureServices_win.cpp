// The stack layer's part in reading and repacking card pictures: the graphics code finds the
// record that holds a card's picture, reads, packs and stores pictures and re-maps them to a
// palette through these, installed when the module loads.
#include <windows.h>

#include "graphics/pixels/CardPicture.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/CardPictureDib.h"
#include "graphics/card/CardRedrawServices.h"
#include "stack/pictures/PackedPicture.h"

namespace {

Handle PackCardPictureDib(DibHandle dib, bool cardPicture) { return PackPicture(dib, cardPicture, nullptr); }
DibHandle CardPictureDib(Handle card, int width, int height, int depth, bool flip, bool useStoredColors) {
    return DibFromPictureResource(card, width, height, depth, flip, useStoredColors, nullptr);
}

}  // namespace

void InstallCardPictureServices() {
    SetPictureRecordResolver(ResolvePictureResource);
    const CardPictureNeighbours defaults = DefaultCardPictureNeighbours();
    CardPictureNeighbours neighbours = PictureNeighbours();
    // Only what no other layer has installed already.
    if (neighbours.dibFromPictureResource == defaults.dibFromPictureResource)
        neighbours.dibFromPictureResource = CardPictureDib;
    if (neighbours.packPicture == defaults.packPicture)
        neighbours.packPicture = PackCardPictureDib;
    if (neighbours.makeColorTableForDepth == defaults.makeColorTableForDepth)
        neighbours.makeColorTableForDepth = MakeColorTableForDepth;
    if (neighbours.replacePictureData == defaults.replacePictureData)
        neighbours.replacePictureData = ReplacePictureData;
    if (neighbours.mapBitmapToPalette == defaults.mapBitmapToPalette)
        neighbours.mapBitmapToPalette = MapBitmapToPalette;
    SetCardPictureNeighbours(neighbours);
}

namespace {

const bool g_installed = [] {
    InstallCardPictureServices();
    return true;
}();

}  // namespace
