// The stack statistics: what a save would write. A save first drops the cards and objects marked
// deleted, and a deleted card that still holds the picture of other cards hands its picture
// block and its background-layer objects to the first of them; the counts follow that.
#include "core/memory/ByteReader.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"

namespace {

struct CardTally {
    uint32_t liveBytes = 0;        // the record without its deleted objects
    uint32_t backgroundBytes = 0;  // its live background-layer objects
    uint32_t pictureBytes = 0;     // its picture block
    uint16_t buttons = 0, graphics = 0, textFields = 0;
    uint16_t backgroundButtons = 0, backgroundGraphics = 0, backgroundTextFields = 0;
};

void Count(uint16_t kind, uint16_t& buttons, uint16_t& graphics, uint16_t& textFields) {
    if (kind == kObjectButton)
        ++buttons;
    else if (kind == kObjectGraphic)
        ++graphics;
    else if (kind == kObjectText)
        ++textFields;
}

CardTally TallyCard(Handle card) {
    CardTally tally;
    HandleLock lock(card);
    if (!lock)
        return tally;
    const std::span<const uint8_t> record = lock.bytes();
    tally.liveBytes = static_cast<uint32_t>(record.size());
    if (GetU16(record, kCardKind) == kCardKindPicture)
        tally.pictureBytes = CardObjectsOffsetIn(record) - kCardHeaderBytes;
    CardObjectWalk walk(record);
    ObjectPlace place;
    while (walk.Next(place)) {
        if (place.flags & kObjectDeletedFlag) {
            tally.liveBytes -= place.length;
            continue;
        }
        Count(place.kind, tally.buttons, tally.graphics, tally.textFields);
        if (place.flags & kObjectBackground) {
            tally.backgroundBytes += place.length;
            Count(place.kind, tally.backgroundButtons, tally.backgroundGraphics, tally.backgroundTextFields);
        }
    }
    return tally;
}

// Whether a card not marked deleted shares the picture of this one.
bool HasLiveSharer(Handle holder) {
    const uint16_t id = GetCardId(holder);
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        if (card != holder && !IsCardDeleted(card) && GetCardKind(card) == kCardKindShared &&
            GetHandleWord(card, kCardBackgroundId) == id)
            return true;
    }
    return false;
}

}  // namespace

uint32_t GetStackStatistics(StackStatistics* statistics) {
    StackStatistics s;
    s.cardBytes = kStackHeaderBytes;
    const int entries = CountCards();
    for (int i = 1; i <= entries; ++i) {
        const Handle card = GetCardByIndex(i);
        const CardTally tally = TallyCard(card);
        if (!IsCardDeleted(card)) {
            ++s.cardCount;
            s.cardBytes += tally.liveBytes;
            s.buttons += tally.buttons;
            s.graphics += tally.graphics;
            s.textFields += tally.textFields;
        } else if (GetCardKind(card) == kCardKindPicture && HasLiveSharer(card)) {
            s.cardBytes += tally.pictureBytes + tally.backgroundBytes;
            s.buttons += tally.backgroundButtons;
            s.graphics += tally.backgroundGraphics;
            s.textFields += tally.backgroundTextFields;
        }
    }
    if (const int32_t resFile = GetStackResFile())
        s.resourceBytes = GetResAreaSize(resFile);
    if (statistics)
        *statistics = s;
    return s.cardBytes + s.resourceBytes;
}
