// The stack layer's part in showing a card: its picture at the display's depth, the objects
// visible on it, its palette stored with the picture, graphic object pictures as bitmaps, and
// the offscreen picture that NewCard stores. Installed while the module loads.
#include "graphics/card/CardRedrawServices.h"

#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/GdiGuards.h"
#include "core/system/Ticks.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibPalette.h"
#include "graphics/layers/ObjectLayer.h"
#include "graphics/pixels/OffscreenDib.h"
#include "graphics/card/PaletteNeighbours.h"
#include "graphics/pixels/PixelDepth.h"
#include "stack/cards/CardList.h"
#include "stack/cards/CardListNeighbours.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/CardPictureDib.h"
#include "stack/pictures/GraphicPicture.h"
#include "stack/cards/ObjectScan.h"
#include "stack/format/StackFile.h"
#include "stack/undo/Undo.h"

namespace {

std::vector<PaletteColor> PaletteColors(HPALETTE palette) {
    PALETTEENTRY entries[256] = {};
    const UINT count = palette ? GetPaletteEntries(palette, 0, 256, entries) : 0;
    std::vector<PaletteColor> colors(count);
    for (UINT i = 0; i < count; ++i)
        colors[i] = {entries[i].peRed, entries[i].peGreen, entries[i].peBlue, 0};
    return colors;
}

// The application palette's colours, kept for the span handed out.
std::span<const PaletteColor> AppPaletteColors() {
    static std::vector<PaletteColor> colors;
    colors = PaletteColors(GetAppPalette());
    return colors;
}

// The offscreen as the open stack keeps its pictures: at the display's depth (24 bits as 32), in
// the stack's pixel layout (16 bits high byte first, 32 bits x-R-G-B); bottom row first.
DibHandle OffscreenPictureForStack() {
    DibHandle dib = OffscreenToDib();
    int depth = 0;
    {
        LockedDib locked(dib);
        depth = locked ? locked.layout().depth : 0;
    }
    bool ok = dib != 0;
    if (depth == 16)
        ok = DibSwapPixelBytes(dib);
    else if (depth == 24)
        ok = TakeConvertedDib(dib, Dib24ToMac32(dib));
    else if (depth == 32)
        ok = TakeConvertedDib(dib, Dib32WindowsToMacOrder(dib));
    if (!ok)
        DisposeHandleAndClear(&dib);
    return dib;
}

HBITMAP PictureFromRecord(std::span<const uint8_t> graphic) {
    return MakeBitmapFromPictureRecord(graphic, GetCurrentCardRecord());
}

}  // namespace

void InstallCardRedrawServices() {
    CardRedrawNeighbours redraw = GetCardRedrawNeighbours();
    redraw.pictureForDisplay = CardPictureForDisplay;
    redraw.walkCardObjects = WalkVisibleObjects;
    redraw.currentCard = GetCurrentCardRecord;
    redraw.storePaletteInPictureResource = StorePaletteInPictureResource;
    redraw.markStackChanged = MarkStackChanged;
    redraw.showAlert = [](uint32_t id) { return ShowCardAlert(id); };
    redraw.refreshCurrentCard = [] { CardNeighbours().refreshCurrentCard(1); };
    redraw.discardUndo = DiscardUndoOnLeavingCard;  // a card deletion outlives the redraw it causes
    SetCardRedrawNeighbours(redraw);

    PaletteNeighbours palettes = GetPaletteNeighbours();
    palettes.currentCard = GetCurrentCardRecord;
    palettes.storePaletteInPictureResource = StorePaletteInPictureResource;
    SetPaletteNeighbours(palettes);

    LayerNeighbourProcs layers = GetLayerNeighbourProcs();
    layers.pictureFromRecord = PictureFromRecord;
    SetLayerNeighbourProcs(layers);

    // NewCard stores the card picture from the offscreen.
    const CardListNeighbours defaults = DefaultCardListNeighbours();
    CardListNeighbours cards = CardNeighbours();
    if (cards.offscreenToDib == defaults.offscreenToDib)
        cards.offscreenToDib = OffscreenPictureForStack;
    if (cards.appPaletteColors == defaults.appPaletteColors)
        cards.appPaletteColors = AppPaletteColors;
    SetCardListNeighbours(cards);
}

namespace {

const bool g_installed = [] {
    InstallCardRedrawServices();
    return true;
}();

}  // namespace

CardPictureOutcome CardPictureForDisplay(Handle card, int displayDepth, DibHandle* dib) {
    *dib = 0;
    if (GetCardKind(card) == kCardKindPlain)
        return CardPictureOutcome::None;
    const Handle holder = ResolvePictureResource(card);
    const std::vector<uint8_t> record = HandleToBytes(holder);
    if (record.size() < kCardHeaderBytes || GetU16(record, kCardKind) != kCardKindPicture)
        return CardPictureOutcome::None;
    if (ConvertPictureDepth(card, GetU16(record, kCardDepth), displayDepth, dib) == 0 && *dib)
        return CardPictureOutcome::Drawn;
    // Why not: no picture after all, or one that cannot be read (or converted).
    std::vector<uint8_t> rows;
    const PictureReadResult read = ReadPictureRecordRows(record, GetU16(record, kCardWidth),
                                                         GetU16(record, kCardHeight), GetU16(record, kCardDepth),
                                                         rows, nullptr, nullptr);
    return read == PictureReadResult::None ? CardPictureOutcome::None : CardPictureOutcome::Damaged;
}

void WalkVisibleObjects(Handle card, CardObjectVisitor visit, void* context) {
    if (!IsValidHandle(card))
        return;
    std::vector<std::vector<uint8_t>> objects;
    ObjectScan scan;
    BeginObjectScan(scan, card, true);
    ScannedObject object;
    while (NextObjectInScan(scan, &object, true)) {
        HandleLock lock(object.record);
        if (!lock)
            break;
        const uint8_t* at = lock.get() + object.offset;
        objects.emplace_back(at, at + object.length);
    }
    EndObjectScan(scan);
    for (const std::vector<uint8_t>& bytes : objects)
        visit(context, bytes);
}

void StorePaletteInPictureResource(Handle card, HPALETTE palette) {
    const Handle holder = ResolvePictureResource(card);
    std::vector<uint8_t> record = HandleToBytes(holder);
    if (record.size() <= kMinCardRecordBytes || record.size() < kPictureTableOffset ||
        GetU16(record, kCardKind) != kCardKindPicture)
        return;
    const uint32_t blockLength = GetU32(record, kPictureBlockOffset + kBlockLength);
    const uint32_t oldLength = GetU32(record, kPictureBlockOffset + kBlockTableSize);
    if (oldLength == 0 || blockLength > record.size() - kPictureBlockOffset ||
        uint64_t{kPictureBlockHeaderBytes} + oldLength > blockLength)
        return;
    const std::vector<PaletteColor> colors = PaletteColors(palette);
    if (colors.empty())
        return;
    const std::span<const uint8_t> old(record.data() + kPictureTableOffset, oldLength);
    ColorTableSource source;
    source.workingDepth = MacColorTableCount(old) == 16 ? 4 : 8;
    source.palette = colors;
    source.ticks = GetTicks();
    ScopedHandle made(PaletteToMacColorTable(source));
    const std::vector<uint8_t> table = HandleToBytes(made.get());
    if (table.empty())
        return;
    record.erase(record.begin() + kPictureTableOffset, record.begin() + kPictureTableOffset + oldLength);
    record.insert(record.begin() + kPictureTableOffset, table.begin(), table.end());
    const uint32_t grown = static_cast<uint32_t>(table.size()) - oldLength;  // modulo 2^32 when smaller
    SetU32(record, kPictureBlockOffset + kBlockLength, blockLength + grown);
    SetU32(record, kPictureBlockOffset + kBlockTableSize, static_cast<uint32_t>(table.size()));
    SetU32(record, kCardLength, static_cast<uint32_t>(record.size()));
    SetHandleBytes(holder, record);  // a record that cannot grow stays as it was
}

HBITMAP MakeBitmapFromPictureRecord(std::span<const uint8_t> graphic, Handle card) {
    GraphicPictureView view;
    if (ReadGraphicPicture(graphic, view) != GraphicPictureRefusal::None)
        return nullptr;
    DibHandle made = GraphicPictureToDib(view);
    bool ok = made != 0;
    if (ok && view.depth <= 8)
        DibApplyPalette(card, made);
    else if (ok && view.depth == 16)
        ok = DibSwapPixelBytes(made);
    else if (ok && view.depth == 32)
        ok = TakeConvertedDib(made, Dib32MacToWindowsOrder(made));
    ScopedHandle dib(made);
    if (!ok || !DibFlipRows(dib.get()))
        return nullptr;
    LockedDib locked(dib.get());
    WindowDC window(GetCardWindow());
    if (!locked || !window)
        return nullptr;
    HPALETTE palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
    SelectedPalette selected(window.get(), palette, SelectedPalette::kIfIndexed);
    return CreateDIBitmap(window.get(), reinterpret_cast<const BITMAPINFOHEADER*>(locked.bytes().data()), CBM_INIT,
                          locked.image().data(), reinterpret_cast<const BITMAPINFO*>(locked.bytes().data()),
                          DIB_RGB_COLORS);
}
