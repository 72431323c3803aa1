// Pasting an object from the internal clipboard onto the current card (see PasteObjects.h).
#include "objects/PasteObjects.h"

#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "layers/LayerList.h"
#include "objects/ObjectServices.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "stack/clipboard/Clipboard.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

// Half toward zero, as the card and the object are each halved.
int Half(int value) { return value / 2; }

}  // namespace

void CenterObjectOffCard(std::span<uint8_t> object, int cardWidth, int cardHeight) {
    const int left = static_cast<int16_t>(GetU16(object, kObjectRect));
    const int top = static_cast<int16_t>(GetU16(object, kObjectRect + 2));
    const int right = static_cast<int16_t>(GetU16(object, kObjectRect + 4));
    const int bottom = static_cast<int16_t>(GetU16(object, kObjectRect + 6));
    const bool meets = left < cardWidth && right > 0 && top < cardHeight && bottom > 0;
    if (meets)
        return;
    const int width = right - left, height = bottom - top;
    const int x = Half(cardWidth) - Half(width), y = Half(cardHeight) - Half(height);
    SetU16(object, kObjectRect, static_cast<uint16_t>(x));
    SetU16(object, kObjectRect + 2, static_cast<uint16_t>(y));
    SetU16(object, kObjectRect + 4, static_cast<uint16_t>(x + width));
    SetU16(object, kObjectRect + 6, static_cast<uint16_t>(y + height));
}

LayerHandle MakeObjectLayer(uint16_t kind, uint16_t id) {
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kind, id, &card, &offset))
        return nullptr;
    std::vector<uint8_t> record;
    {
        HandleLock lock(card);
        const std::span<const uint8_t> bytes = lock.bytes();
        if (!lock || offset > bytes.size() || bytes.size() - offset < kObjectCommonBytes)
            return nullptr;
        const uint32_t length = GetU32(bytes, offset + kObjectLength);
        if (length < kObjectCommonBytes || length > bytes.size() - offset)
            return nullptr;
        record.assign(bytes.begin() + offset, bytes.begin() + offset + length);
    }
    switch (kind) {
    case kObjectGraphic: return NewGraphicLayer(record, kLayerAtEnd);
    case kObjectButton: return NewButtonLayer(record, kLayerAtEnd);
    case kObjectText: return NewFieldLayer(record, kLayerAtEnd, kFieldWindowShown);
    default: return nullptr;
    }
}

void GiveTextToCard(std::span<uint8_t> object, uint16_t cardId) {
    if (GetU16(object, kObjectKind) != kObjectText)
        return;
    for (const FieldTextEntry& entry : ListFieldTextEntries(object))
        SetU16(object, entry.offset + kSubOwnerCard, cardId);
}

void MarkPlacedTextModified(LayerHandle layer) {
    LayerLock<FieldLayer> field(layer);
    if (field && field->common.kind == kObjectText)
        field->modified = 1;
}

void PasteObjectOntoCard(HWND window) {
    const Handle card = GetCurrentCardRecord();
    std::vector<uint8_t> object = HandleToBytes(Clip().record);
    if (!card || object.size() < kObjectCommonBytes)
        return;
    const uint16_t kind = GetU16(object, kObjectKind);
    const uint16_t id = NewUniqueObjectId();
    SetU16(object, kObjectId, id);
    // A background object stays one: it goes to the list that holds the card's background.
    SetU16(object, kObjectFlags, static_cast<uint16_t>(GetU16(object, kObjectFlags) & ~kObjectDeletedFlag));
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    CenterObjectOffCard(object, width, height);
    GiveTextToCard(object, GetCardId(card));
    SyncCardFromLayers();
    if (InsertObjectBytes(card, CardObjectsEnd(card), object) != 0)
        return;
    UpdateObjectLayer(kind, id, card);
    AttachClipboardActions(kind, id);
    // A layer of its own, in front of the others, and the selection.
    const LayerHandle layer = MakeObjectLayer(kind, id);
    MarkCardChanged();
    if (window)
        InvalidateRect(window, nullptr, FALSE);
    if (!layer)
        return;
    MarkPlacedTextModified(layer);
    SelectObjectLayer(layer);
}
