// MINIMAL pasting into objects (see PasteObjects.h).
#include "objects/PasteObjects.h"

#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "graphics/layers/LayerBuild.h"
#include "graphics/layers/LayerList.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/format/StackFile.h"
#include "stack/open/NewStack.h"

// MINIMAL: placed in front of the card's own objects, where it was, with a new id.
void PasteObjectOntoCard(HWND window) {
    const Handle card = GetCurrentCardRecord();
    std::vector<uint8_t> object = HandleToBytes(Clip().record);
    if (!card || object.size() < kObjectCommonBytes)
        return;
    const uint16_t kind = GetU16(object, kObjectKind);
    const uint16_t id = NewUniqueObjectId();
    SetU16(object, kObjectId, id);
    SetU16(object, kObjectFlags, static_cast<uint16_t>(GetU16(object, kObjectFlags) & ~(kObjectDeletedFlag | kObjectBackground)));
    SyncCardFromLayers();
    if (InsertObjectBytes(card, CardObjectsEnd(card), object) != 0)
        return;
    AttachClipboardActions(kind, id);
    MarkStackChanged();
    FreeLayerList();
    BuildCardLayers(card);
    if (window)
        InvalidateRect(window, nullptr, FALSE);
}
