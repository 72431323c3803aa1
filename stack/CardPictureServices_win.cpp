// The stack layer's part in reading and repacking card pictures: the graphics code finds the
// record that holds a card's picture and packs pictures through these, installed when the
// module loads.
#include <windows.h>

#include "graphics/CardPicture.h"
#include "graphics/CardPictureGdi.h"
#include "stack/CardList.h"
#include "stack/PackedPicture.h"

namespace {

Handle PackCardPictureDib(DibHandle dib, bool cardPicture) { return PackPicture(dib, cardPicture, nullptr); }

const bool g_installed = [] {
    SetPictureRecordResolver(ResolvePictureResource);
    CardPictureNeighbours neighbours = PictureNeighbours();
    if (neighbours.packPicture == DefaultCardPictureNeighbours().packPicture)
        neighbours.packPicture = PackCardPictureDib;
    SetCardPictureNeighbours(neighbours);
    return true;
}();

}  // namespace
