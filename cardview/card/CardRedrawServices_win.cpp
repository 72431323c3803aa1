// The stack's part in showing a card: its picture at the display's depth, the objects visible
// on it, graphic object pictures as bitmaps.
#include "cardview/card/CardRedrawServices.h"

#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/GdiGuards.h"
#include "cardview/card/CardUpcalls.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPicture.h"
#include "graphics/pixels/DibPalette.h"
#include "graphics/pixels/OffscreenDib.h"
#include "graphics/pixels/PixelDepth.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "stack/cards/ObjectScan.h"
#include "format/StackFile.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/CardPictureDib.h"
#include "stack/pictures/CardPictureStore.h"
#include "stack/pictures/GraphicPicture.h"
#include "stack/pictures/PackedPicture.h"

Handle CardOnDisplay() { return GetCurrentCardRecord(); }
void RefreshCardOnDisplay(int redraw) { GetCardRedrawUpcalls().refreshCard(redraw); }
int ShowCardListAlert(uint32_t stringId) { return ShowCardAlert(stringId); }

CardPictureOutcome CardPictureForDisplay(Handle card, int displayDepth, DibHandle* dib) {
    *dib = 0;
    if (GetCardKind(card) == kCardKindPlain)
        return CardPictureOutcome::None;
    const Handle holder = ResolvePictureResource(card);
    // The header's words alone: the record is copied only to say why it was not drawn.
    if (!IsValidHandle(holder) || GetHandleSize(holder) < kCardHeaderBytes ||
        GetHandleWord(holder, kCardKind) != kCardKindPicture)
        return CardPictureOutcome::None;
    if (ConvertPictureDepth(card, GetHandleWord(holder, kCardDepth), displayDepth, dib) == 0 && *dib)
        return CardPictureOutcome::Drawn;
    // Why not: no picture after all, or one that cannot be read (or converted).
    const std::vector<uint8_t> record = HandleToBytes(holder);
    std::vector<uint8_t> rows;
    const PictureReadResult read = ReadPictureRecordRows(record, GetU16(record, kCardWidth),
                                                         GetU16(record, kCardHeight), GetU16(record, kCardDepth),
                                                         rows, nullptr, nullptr);
    return read == PictureReadResult::None ? CardPictureOutcome::None : CardPictureOutcome::Damaged;
}


