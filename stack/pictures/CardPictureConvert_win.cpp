// Card pictures and graphics between the stack's depth and the display's, through GDI and vic32.
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"
#include "stack/pictures/CardPictureConvert.h"

#include <array>
#include <vector>

#include "core/files/JpegDescription.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/WaitCursor.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardPicture.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "graphics/pixels/DibPalette.h"
#include "graphics/pixels/PixelDepth.h"
#include "graphics/pixels/PixelDepthGdi.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"
#include "stack/pictures/CardConvertRecords.h"
#include "stack/pictures/CardPictureDib.h"
#include "stack/pictures/GraphicPictureConvert.h"
#include "stack/pictures/PackedPicture.h"
#include "vic32/Vic32.h"

namespace {

constexpr int kJpegQuality = 50;
constexpr uint32_t kAlertStackPreview = 2397;
constexpr uint16_t kPreviewResourceId = 31000;

// MatchDibToCardPalette: a 24-bit (or 8-bit) DIB matched to the card palette by vic32.
DibHandle MatchDibToCardPalette(Handle card, DibHandle dib) {
    HPALETTE palette = CardPalette(card);
    if (!palette)
        return 0;
    DibHandle result = 0;
    {
        LockedDib locked(dib);
        VicImage source{}, target{};
        if (locked && setupimgdes(locked.bytes().data(), static_cast<uint32_t>(locked.bytes().size()), &source) == VIC_OK &&
            allocimage(&target, source.width, source.height, 8) == VIC_OK) {
            target.colors = wintovicpal(palette, target.palette, target.paletteSlots);
            const int matched = Switches().jpegEncode ? matchcolorimageex(&source, &target, VIC_MATCH_DIFFUSE)
                                                      : matchcolorimage(&source, &target);
            HGLOBAL out = nullptr;
            if (target.colors > 0 && matched == VIC_OK && imagetodib(&target, &out) == VIC_OK)
                result = DibFromGlobal(out);
        }
        freeimage(&target);
    }
    DeleteObject(palette);
    return result;
}

// Any 16-, 24- or 32-bit Windows DIB as 24 bits (vic32 takes 8 or 24).
bool ToWindows24(DibHandle& dib, int depth) {
    if (depth == 24)
        return true;
    if (depth == 32)
        return TakeConvertedDib(dib, Dib32To24(dib));
    if (depth == 16)
        return DibSwapPixelBytes(dib) && TakeConvertedDib(dib, DibConvert16To24(dib));
    return false;
}

bool RunStep(Handle card, DibHandle& dib, DepthStep step, int sourceDepth) {
    switch (step) {
    case DepthStep::None: return true;
    case DepthStep::Requantize: return TakeConvertedDib(dib, RequantizeDibThroughDisplay(dib));
    case DepthStep::Widen16To24: return TakeConvertedDib(dib, DibConvert16To24(dib));
    case DepthStep::SwapBytes16: return DibSwapPixelBytes(dib);
    case DepthStep::Mac32To24: return TakeConvertedDib(dib, DibMac32To24(dib));
    case DepthStep::Mac32ToWindows32: return TakeConvertedDib(dib, Dib32MacToWindowsOrder(dib));
    case DepthStep::Windows32ToMac32: return TakeConvertedDib(dib, Dib32WindowsToMacOrder(dib));
    case DepthStep::Windows32To24: return TakeConvertedDib(dib, Dib32To24(dib));
    case DepthStep::LibraryMatch: return TakeConvertedDib(dib, MatchDibToCardPalette(card, dib));
    case DepthStep::ReduceToPalette:
        if (!Switches().matchThroughLibrary)
            return TakeConvertedDib(dib, DibReduceTo8Bit(ResolvePictureRecord(card), dib));
        return ToWindows24(dib, sourceDepth) && TakeConvertedDib(dib, MatchDibToCardPalette(card, dib));
    case DepthStep::Windows24To16: return TakeConvertedDib(dib, Dib24ToMac16(dib));
    case DepthStep::Windows32To16: return TakeConvertedDib(dib, Dib32ToMac16(dib));
    case DepthStep::Windows24ToMac32: return TakeConvertedDib(dib, Dib24ToMac32(dib));
    }
    return false;
}

bool RunPlan(Handle card, DibHandle& dib, const DepthPlan& plan, int sourceDepth) {
    if (!plan.known)
        return false;
    for (DepthStep step : plan.steps)
        if (!RunStep(card, dib, step, sourceDepth))
            return false;
    return true;
}

// The display's depth (24 as 32), not the working depth: a stack being brought up to the
// display still has its old working depth while its pictures are converted.
int DisplayDepth() {
    if (const int display = DisplayDepthForStack(); display > 0)
        return display;
    return GetScreenDepth() > 0 ? GetScreenDepth() : 24;
}

// Packs a bottom-up DIB and stores it with the colour table at depth (format 2); the DIB is left
// top-down. Also records the picture's size when it changed.
int PackAndStore(Handle card, DibHandle dib, int sourceDepth, int depth) {
    {
        // Rows of another depth under this depth would not read back: the record stays as it was.
        LockedDib locked(dib);
        if (!locked || locked.layout().depth != depth)
            return 16;
    }
    ScopedHandle packed(PackPicture(dib, false, nullptr));
    ScopedHandle table(MakeColorTableForDepth(GetMainWindow(), card, sourceDepth, depth));
    if (!packed.get() || ReplacePictureData(card, packed.get(), table.get(), depth) != 0)
        return 16;
    LockedDib locked(dib);
    HandleLock lock(card);
    if (locked && lock) {
        const std::span<uint8_t> record = lock.bytes();
        SetU16(record, kCardWidth, static_cast<uint16_t>(locked.layout().width));
        SetU16(record, kCardHeight, static_cast<uint16_t>(locked.layout().height));
    }
    return 0;
}

// The picture block of a card, copied out (the record may move while it is worked on).
bool CopyPictureBlock(Handle card, uint16_t& format, std::vector<uint8_t>& data) {
    const std::vector<uint8_t> record = HandleToBytes(card);
    PictureBlockView view;
    if (!ReadPictureBlock(record, view))
        return false;
    format = view.format;
    data.assign(view.data.begin(), view.data.end());
    return true;
}

// One stored 1-based colour index through the card palette to the nearest in the new one.
void RemapIndex(std::span<uint8_t> object, uint32_t at, HPALETTE from, HPALETTE to) {
    const uint16_t index = GetU16(object, at);
    PALETTEENTRY entry{};
    if (index == 0 || !GetPaletteEntries(from, index - 1, 1, &entry))
        return;
    const UINT nearest = GetNearestPaletteIndex(to, RGB(entry.peRed, entry.peGreen, entry.peBlue));
    if (nearest != CLR_INVALID)
        SetU16(object, at, static_cast<uint16_t>(nearest + 1));
}

}  // namespace

bool TakeConvertedDib(DibHandle& dib, DibHandle next) {
    if (!next)
        return false;
    if (next != dib)
        DisposeHandle(dib);
    dib = next;
    return true;
}

DibHandle DibFromGlobal(HGLOBAL global) {
    if (!global)
        return 0;
    DibHandle dib = 0;
    if (const void* bytes = GlobalLock(global)) {
        dib = NewHandleFromBytes({static_cast<const uint8_t*>(bytes), GlobalSize(global)});
        GlobalUnlock(global);
    }
    GlobalFree(global);
    return dib;
}

HPALETTE CardPalette(Handle card) {
    if (HPALETTE palette = PaletteFromPictureResource(card))
        return palette;
    return GetAppPalette() ? DuplicatePalette(GetAppPalette()) : nullptr;
}


Handle MakeColorTableForDepth(HWND, Handle card, int sourceDepth, int targetDepth) {
    std::vector<PaletteColor> picture, defaults;
    if (const Handle holder = ResolvePictureRecord(card)) {
        const std::vector<uint8_t> record = HandleToBytes(holder);
        picture = MacColorTableColors(PictureRecordColorTable(record));
    }
    if (HGLOBAL logical = LoadDefaultLogPalette()) {
        if (const auto* palette = static_cast<const LOGPALETTE*>(GlobalLock(logical))) {
            for (int i = 0; i < palette->palNumEntries; ++i) {
                const PALETTEENTRY& e = palette->palPalEntry[i];
                defaults.push_back({e.peRed, e.peGreen, e.peBlue, 0});
            }
            GlobalUnlock(logical);
        }
        GlobalFree(logical);
    }
    const std::vector<uint8_t> table = BuildColorTableForDepth(picture, defaults, sourceDepth, targetDepth);
    return table.empty() ? 0 : NewHandleFromBytes(table);
}

int ConvertPictureDepth(Handle card, int storedDepth, int targetDepth, DibHandle* out) {
    *out = 0;
    const Handle holder = ResolvePictureResource(card);
    if (!IsValidHandle(holder) || GetHandleSize(holder) < kCardHeaderBytes)
        return 16;
    DibHandle dib = DibFromPictureResource(card, GetHandleWord(holder, kCardWidth), GetHandleWord(holder, kCardHeight),
                                          storedDepth, true, true, nullptr);
    if (!dib || !RunPlan(card, dib, PictureToDisplayPlan(storedDepth, targetDepth), storedDepth)) {
        DisposeHandle(dib);
        return 16;
    }
    *out = dib;
    return 0;
}

int ConvertDibToStackDepth(Handle card, DibHandle* dib, int depth) {
    const int display = DisplayDepth();
    if (display == 8 || (display == depth && depth != 16 && depth != 32))
        return 0;
    return RunPlan(card, *dib, DisplayToStackPlan(display, depth, Switches()), display) ? 0 : 16;
}

std::vector<uint8_t> EncodeDibAsJpegData(DibHandle dib24, int depth) {
    LockedDib locked(dib24);
    VicImage image{};
    if (!locked || locked.layout().depth != 24 ||
        setupimgdes(locked.bytes().data(), static_cast<uint32_t>(locked.bytes().size()), &image) != VIC_OK)
        return {};
    HGLOBAL jpeg = nullptr;
    uint32_t length = 0;
    if (savejpgtobuffer(&jpeg, &length, &image, kJpegQuality) != VIC_OK || !jpeg)
        return {};
    std::vector<uint8_t> data;
    if (const void* bytes = GlobalLock(jpeg)) {
        data = MakeJpegPictureData(image.width, image.height, depth,
                                   {static_cast<const uint8_t*>(bytes), std::min<size_t>(length, GlobalSize(jpeg))});
        GlobalUnlock(jpeg);
    }
    GlobalFree(jpeg);
    return data;
}

// The picture through the display's depth to newDepth at width x height, packed and stored.
static int RepackAtDepth(Handle card, int oldDepth, int newDepth, int width, int height) {
    DibHandle dib = 0;
    if (ConvertPictureDepth(card, oldDepth, DisplayDepth(), &dib) != 0)
        return 16;
    bool ok = true;
    Handle scaled = 0;
    {
        LockedDib locked(dib);
        ok = static_cast<bool>(locked);
        if (ok && (locked.layout().width != width || locked.layout().height != height)) {
            if (locked.layout().depth <= 8)
                DibApplyPalette(card, dib);
            scaled = ScaleDibToHandle(locked.bytes(), width, height);
            ok = scaled != 0;
        }
    }
    if (scaled)
        TakeConvertedDib(dib, scaled);
    const int result = ok && ConvertDibToStackDepth(card, &dib, newDepth) == 0
                           ? PackAndStore(card, dib, oldDepth, newDepth)
                           : 16;
    DisposeHandle(dib);
    return result;
}

int EncodeCardPictureAsJpeg(Handle card) {
    const int depth = CurrentStackDepth();
    const std::vector<uint8_t> record = HandleToBytes(card);
    if (record.size() < kCardHeaderBytes || (depth != 16 && depth != 32))
        return 16;
    const int width = GetU16(record, kCardWidth), height = GetU16(record, kCardHeight);
    if (GetU16(record, kCardDepth) != depth && RepackAtDepth(card, GetU16(record, kCardDepth), depth, width, height) != 0)
        return 16;  // held at the display's depth: made the stack's first
    ScopedHandle dib(DibFromPictureResource(card, width, height, depth, true, true, nullptr));
    if (!dib.get())
        return 16;
    ScopedHandle packed(PackPicture(dib.get(), false, nullptr));  // leaves the rows top-down
    DibHandle wide = dib.get();
    if (!packed.get() || !DibFlipRows(wide) ||
        !TakeConvertedDib(wide, depth == 16 ? DibConvert16To24(wide) : DibMac32To24(wide))) {
        return 16;
    }
    dib.release();
    ScopedHandle wideOwner(wide);
    const std::vector<uint8_t> jpegData = EncodeDibAsJpegData(wide, depth);
    ScopedHandle table(MakeColorTableForDepth(GetMainWindow(), card, depth, depth));
    const std::vector<uint8_t> tableBytes = table.get() ? HandleToBytes(table.get()) : std::vector<uint8_t>{};
    const std::vector<uint8_t> packedBytes = HandleToBytes(packed.get());
    const size_t jpegBytes = jpegData.empty() ? 0 : jpegData.size() - kJpegImageDescSize;
    if (ChooseStoredPictureFormat(jpegBytes, packedBytes.size()) == kPictureFormatJpeg)
        return StorePictureData(card, tableBytes, jpegData, depth, kPictureFormatJpeg);
    return StorePictureData(card, tableBytes, packedBytes, depth, kPictureFormatPacked);
}

int DecodeJpegCardPicture(Handle card, bool sizeChanged) {
    const int depth = CurrentStackDepth();
    uint16_t format = 0;
    std::vector<uint8_t> data;
    JpegPictureView view;
    if (!CopyPictureBlock(card, format, data) || format != kPictureFormatJpeg ||
        !ReadJpegPictureData(data, view, nullptr))
        return 16;
    const uint32_t jpegLength = static_cast<uint32_t>(view.jpeg.size());
    VicJpegInfo info{};
    if (jpeginfofrombuffer(view.jpeg.data(), jpegLength, &info) != VIC_OK ||
        !JpegDimensionsAgree(view, info.width, info.height))
        return 16;
    VicImage image{};
    DibHandle dib = 0;
    if (allocimage(&image, info.width, info.height, 24) == VIC_OK &&
        loadjpgfrombuffer(view.jpeg.data(), jpegLength, &image) == VIC_OK) {
        HGLOBAL global = nullptr;
        if (imagetodib(&image, &global) == VIC_OK)
            dib = DibFromGlobal(global);
    }
    freeimage(&image);
    if (!dib)
        return 16;
    bool ok = true;
    if (sizeChanged) {
        uint16_t width = 0, height = 0;
        CurrentCardSize(&width, &height);
        DibHandle scaled = 0;
        {
            LockedDib locked(dib);
            scaled = locked ? ScaleDibToHandle(locked.bytes(), width, height) : 0;
        }
        ok = TakeConvertedDib(dib, scaled) && ConvertDibToStackDepth(card, &dib, depth) == 0;
    } else if (depth == 8) {
        ok = TakeConvertedDib(dib, MatchDibToCardPalette(card, dib));
    } else {
        ok = TakeConvertedDib(dib, depth == 16 ? Dib24ToMac16(dib) : Dib24ToMac32(dib));
    }
    const int result = ok ? PackAndStore(card, dib, depth, depth) : 16;
    DisposeHandle(dib);
    return result;
}

int ConvertCardPicture(Handle card, int oldDepth, int newDepth, int width, int height) {
    WaitCursor wait;
    const ConversionSwitches& s = Switches();
    if (ConvertsGraphicsFirst(oldDepth, newDepth, s))
        ConvertCardGraphicsDepth(card, newDepth);
    const std::vector<uint8_t> record = HandleToBytes(card);
    if (record.size() < kCardHeaderBytes)
        return 16;
    bool stackJpegFlag = false;
    if (const Handle header = GetStackHeaderHandle())
        stackJpegFlag = (GetHandleWord(header, kHeaderFlags) & kStackHighCompression) != 0;
    // The picture converts from the depth it is stored at, which need not be the run's.
    const CardPictureCase c = ReadCardPictureCase(record, oldDepth, newDepth, width, height, DisplayDepth(), stackJpegFlag);
    const int storedDepth = c.oldDepth;
    switch (ChooseCardPictureRoute(c, s)) {
    case CardPictureRoute::NotPicture:
    case CardPictureRoute::Unchanged:
        return 0;
    case CardPictureRoute::DecodeJpeg:
        return DecodeJpegCardPicture(card, c.sizeChanged);
    case CardPictureRoute::EncodeJpeg:
        return EncodeCardPictureAsJpeg(card);
    case CardPictureRoute::From4Bit:
        return ConvertCardPictureFrom4Bit(card, storedDepth, newDepth, width, height);
    case CardPictureRoute::Repack8:
        return PackCardPicture8Bit(card, 8);
    case CardPictureRoute::Convert:
        break;
    }
    return RepackAtDepth(card, storedDepth, newDepth, width, height);
}

int ConvertCardGraphicsDepth(Handle card, int depth) {
    if (!IsValidHandle(card))
        return 16;
    // By position: each graphic is met once however many there are, even with equal ids.
    uint32_t position = 0;
    for (;;) {
        std::vector<uint8_t> record = HandleToBytes(card);
        ObjectPlace place;
        if (!NextGraphicToConvert(record, position, depth, &place))
            return 0;
        std::vector<uint8_t> data;
        uint32_t maskLength = 0;
        bool leftAlone = false;
        const std::span<const uint8_t> object = std::span<const uint8_t>(record).subspan(place.offset, place.length);
        if (!ConvertGraphicPicture(card, object, depth, data, maskLength, &leftAlone)) {
            if (!leftAlone)
                return 16;
            position = place.offset + place.length;
            continue;
        }
        if (!StoreConvertedGraphic(record, place, data, maskLength, depth, &position) || SetHandleBytes(card, record) != 0)
            return 16;
    }
}

void MapBitmapToPalette(Handle card, HPALETTE palette) {
    if (!IsValidHandle(card) || !palette)
        return;
    if (GetCardKind(card) == kCardKindPicture) {
        const uint16_t id = GetCardId(card);
        for (int i = 1; i <= CountCards(); ++i) {
            const Handle other = GetCardByIndex(i);
            if (other != card && GetCardKind(other) == kCardKindShared) {
                const std::vector<uint8_t> bytes = HandleToBytes(other);
                if (GetU16(bytes, kCardBackgroundId) == id)
                    MapBitmapToPalette(other, palette);
            }
        }
    }
    HPALETTE from = PaletteFromPictureResource(card);
    if (!from)
        return;
    std::vector<uint8_t> record = HandleToBytes(card);
    std::vector<ObjectPlace> places;
    for (const ObjectColorWord& word : ObjectColorWords(record, &places))
        RemapIndex(std::span<uint8_t>(record).subspan(word.place.offset, word.place.length), word.at, from, palette);
    DeleteObject(from);
    if (SetHandleBytes(card, record) != 0)
        return;
    // A re-mapped picture changes its record's length: each object is found again by its place.
    for (size_t n = 0; n < places.size(); ++n) {
        const std::vector<uint8_t> now = HandleToBytes(card);
        ObjectPlace place;
        if (!NthCardObject(now, n, &place))
            return;
        if (place.kind == kObjectGraphic && !(place.flags & kObjectHasPath))
            RemapGraphicPicture(card, place.offset, palette);  // a graphic that fails keeps its picture
        else if (place.kind == kObjectButton && (now.size() > place.offset + kButtonActionFlags) &&
                 (now[place.offset + kButtonActionFlags] & kActAnimation))  // the low byte holds it
            GetStackUpcalls().remapFrameAnimColors(card, place.offset, palette);
    }
}

void SaveStackPreviewJpeg() {
    const int answer = ShowAlertOn(nullptr, kAlertStackPreview);
    if (answer == 2) {
        RemoveResourceEntry(kWksp, kPreviewResourceId);
        MarkCardChanged();
        return;
    }
    if (answer != 1)
        return;
    DibHandle dib = GetStackUpcalls().renderCardToDib();
    int depth = 0;
    {
        LockedDib locked(dib);
        depth = locked ? locked.layout().depth : 0;
    }
    std::vector<uint8_t> data;
    if (dib && ToWindows24(dib, depth))
        data = EncodeDibAsJpegData(dib, 24);
    DisposeHandle(dib);
    if (data.empty()) {
        ShowErrorMessage(-1);
        return;
    }
    ResRequest request{};
    request.type = kWksp;
    request.id = kPreviewResourceId;
    request.data = NewHandleFromBytes(data);
    request.flags = kResRequestCarryOut | kResRequestReplace;
    WriteStackResource(&request);  // takes the data; reports its own failures
    MarkCardChanged();
}
