// The stack layer's upcalls and their defaults.
#include "stack/StackUpcalls.h"

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "stack/format/StackFile.h"
#include "stack/open/StackOpenSession.h"

namespace {

void Nothing() {}

// The card size of the new header into the open header and every card record.
int ResizeCards(Handle oldHeader, Handle newHeader) {
    uint16_t width, height;
    {
        HandleLock lock(newHeader);
        if (!lock)
            return 16;
        const std::span<const uint8_t> header(lock.get(), GetHandleSize(newHeader));
        width = GetU16(header, kHeaderCardWidth);
        height = GetU16(header, kHeaderCardHeight);
    }
    {
        HandleLock lock(oldHeader);
        if (!lock)
            return 16;
        const std::span<uint8_t> header(lock.get(), GetHandleSize(oldHeader));
        SetU16(header, kHeaderCardWidth, width);
        SetU16(header, kHeaderCardHeight, height);
    }
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        HandleLock lock(card);
        if (!lock)
            continue;
        const std::span<uint8_t> record(lock.get(), GetHandleSize(card));
        SetU16(record, kCardWidth, width);
        SetU16(record, kCardHeight, height);
    }
    return 0;
}

// Made on first use, so that it is whole whenever it is asked for.
StackUpcalls& Installed() {
    static StackUpcalls upcalls = DefaultStackUpcalls();
    return upcalls;
}

}  // namespace

StackUpcalls DefaultStackUpcalls() {
    StackUpcalls u{};
    u.showAlert = [](uint32_t) { return 0; };
    u.showErrorMessage = [](int32_t) {};
    u.beginWait = Nothing;
    u.endWait = Nothing;
    u.cardWindow = []() -> void* { return nullptr; };
    u.freeSpace = [](const char*, uint32_t* bytes) {
        *bytes = 0xFFFFFFFFu;
        return true;
    };
    u.readPreference = [](const char*, const char*, char* buffer, int size) {
        CopyPathText("Bad", buffer, size_t(size));
    };
    u.writePreference = [](const char*, const char*, const char*) {};
    u.readSavePreference = u.readPreference;
    u.deleteGdiObject = [](uint32_t) {};
    u.clearSystemClipboard = Nothing;
    u.setClipboardMarker = Nothing;

    u.offscreenPicture = [] { return DibHandle{0}; };
    // Without a platform, undo sees the offscreen as the card list does.
    u.offscreenSnapshot = [] { return GetStackUpcalls().offscreenPicture(); };
    u.restoreSnapshot = [](DibHandle) {};
    u.appPaletteColors = [] { return std::span<const PaletteColor>{}; };
    u.convertCardToDefaultPalette = Nothing;
    u.displayBitsPerPixel = [] { return 0; };  // no display: no conversion
    u.convertCardPicture = [](Handle, int, int, int, int) { return 0; };  // the picture as it is
    u.convertCardGraphicsDepth = [](Handle, int) { return 0; };
    u.remapGraphicPicture = [](Handle, uint32_t, void*) {};
    u.remapFrameAnimColors = [](Handle, uint32_t, void*) {};
    u.renderCardToDib = [] { return DibHandle{0}; };

    u.goToCardId = [](uint16_t id, int, int, int) { SetCurrentCardId(id); };
    u.refreshCurrentCard = [](int) {};
    u.eraseCardBackground = [](int) {};
    u.runCardAction = [](uint16_t, int, int, uint32_t) { return 0; };
    u.purgeFieldCardEntries = [](uint16_t textId, Handle card, int mode) { PurgeFieldCardEntries(textId, card, mode); };

    u.stackEvent = [](StackEvent) {};  // nobody above keeps state with the stack
    u.changeStackSize = ResizeCards;
    u.askCardSizeForNewStack = [](int*, int*, int*) { return 1; };  // the current values stay
    u.applyScreenMode = [](int, int, int) {};
    u.resizeCardArea = [](int, int, int) {};
    u.stackRenamed = [](const char*) {};

    u.produceWorkspace = [] { return Handle{0}; };
    u.loadWorkspace = [](Handle text, void*) { DisposeHandle(text); };

    u.selectedObject = [](uint16_t* kind, uint16_t* id) {
        if (kind)
            *kind = 0;
        if (id)
            *id = 0;
    };
    u.reorderLayer = [](uint16_t, uint16_t, char, bool) {};
    u.rebuildLayers = Nothing;
    u.syncCardFromLayers = Nothing;
    u.deselectObject = Nothing;
    return u;
}

const StackUpcalls& GetStackUpcalls() { return Installed(); }
void SetStackUpcalls(const StackUpcalls& upcalls) { Installed() = upcalls; }
