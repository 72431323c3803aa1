// The platform under the stack and its defaults.
#include "stack/StackPlatform.h"

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/DefaultProcs.h"
#include "core/ui/ScreenDepth.h"
#include "stack/cards/CardList.h"

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

}  // namespace

StackPlatformOps DefaultStackPlatformOps() {
    StackPlatformOps o{};
    o.freeSpace = [](const char*, uint32_t* bytes) {
        *bytes = 0xFFFFFFFFu;
        return true;
    };
    o.deleteGdiObject = [](uint32_t) {};
    o.clearSystemClipboard = Nothing;
    o.setClipboardMarker = Nothing;
    o.displayBitsPerPixel = [] { return 0; };  // no display: no conversion
    o.offscreenPicture = [] { return DibHandle{0}; };
    // Without a platform, undo sees the offscreen as the card list does.
    o.offscreenSnapshot = [] { return GetStackPlatformOps().offscreenPicture(); };
    o.appPaletteColors = [] { return std::span<const PaletteColor>{}; };
    o.readSavePreference = [](const char*, const char*, char* buffer, int size) {
        CopyPathText("Bad", buffer, size_t(size));
    };
    o.convertCardPicture = [](Handle, int, int, int, int) { return 0; };  // the picture as it is
    o.convertCardGraphicsDepth = [](Handle, int) { return 0; };
    o.changeStackSize = ResizeCards;
    o.resizeCardArea = [](int, int, int) {};
    return o;
}

const StackPlatformOps& GetStackPlatformOps() { return InstalledTable<StackPlatformOps, DefaultStackPlatformOps>(); }
void SetStackPlatformOps(const StackPlatformOps& ops) {
    InstalledTable<StackPlatformOps, DefaultStackPlatformOps>() = ops;
}

int DisplayDepthForStack() { return RecordedDepth(GetStackPlatformOps().displayBitsPerPixel()); }
