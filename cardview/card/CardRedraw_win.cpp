// Showing a card: its picture into the offscreen at the display's depth, its palette, its
// objects as layers drawn over the picture for the transition, then the bare picture back.
#include "cardview/card/CardRedraw.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "actions/TimerButtons.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ScreenDepth.h"
#include "cardview/card/CardRedrawServices.h"
#include "layers/CardView.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/palette/PaletteRgbTables.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPicture.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "graphics/pixels/DibGdi.h"
#include "cardview/transitions/CardTransitions.h"
#include "media/MediaManager.h"
#include "objects/ObjectServices.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/TextFields.h"
#include "paint/PaintTools.h"
#include "format/StackFile.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/CardPicturePaint.h"
#include "stack/cards/StoredRecords.h"
#include "stack/undo/Undo.h"

namespace {

constexpr RECT kEverywhere = {0, 0, 10000, 10000};

int DisplayDepth() { return RecordedDepth(GetDisplayBitsPerPixel()); }

// The picture palette becomes the card's own, at every depth: the colour indexes of its objects,
// of the colour grids and of new objects name its entries, as the file does. A palette display
// maps its colours when drawing; the stack is never re-coloured to the display's palette. The
// previous one (the application palette after an earlier redraw) stays until the application
// palette is replaced. A card in the colours of the palette in use keeps that one: a new palette
// would be realized afresh, and a palette display repaint the whole page, for the same colours.
HPALETTE TakePicturePalette(Handle card) {
    HPALETTE palette = PaletteFromPictureResource(card);
    const HPALETTE previous = GetPicturePalette();
    const PaletteColours colours = PaletteEntries(palette);
    if (palette && previous && previous == GetAppPalette() && SameEntries(colours, PaletteEntries(previous))) {
        DeleteObject(palette);
        palette = previous;
    }
    if (previous && previous != GetAppPalette() && previous != palette)
        DeleteObject(previous);
    SetPicturePalette(palette);
    PaletteRgbTable& target = PaletteBlendTargetTable();
    for (UINT i = 0; i < colours.count && i < target.size(); ++i)
        target[i] = {colours.entries[i].peRed, colours.entries[i].peGreen, colours.entries[i].peBlue, 0};
    return palette;
}

void FillWhite(HDC dc, int width, int height) {
    OwnedGdiObject<HBRUSH> white(CreateSolidBrush(kPaletteWhite));
    const RECT card = {0, 0, width, height};
    FillRect(dc, &card, white.get());
}

// The DIB's rows into the offscreen's card rows (the DC has the picture palette selected).
void SetPictureRows(HDC offscreen, DibHandle dib, int width, int height) {
    LockedDib locked(dib);
    if (!locked)
        return;
    const int w = std::min(width, locked.layout().width), h = std::min(height, locked.layout().height);
    const int rows = locked.layout().height;
    // A picture made for a smaller card (one enlarged on opening) sits top left on white.
    if (w < width || h < height)
        FillWhite(offscreen, width, height);
    // Bottom row first: the DIB's top row (its last) lands on the offscreen's row 0.
    SetDIBitsToDevice(offscreen, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, rows - h, 0,
                      static_cast<UINT>(rows), locked.image().data(),
                      reinterpret_cast<const BITMAPINFO*>(locked.bytes().data()), DIB_RGB_COLORS);
}

// The offscreen's card area as it is, to be put back after the objects were drawn into it.
class BarePicture {
public:
    BarePicture(HDC offscreen, int width, int height) : width_(width), height_(height) {
        WindowDC window(GetCardWindow());
        bitmap_ = window ? CreateCompatibleBitmap(window.get(), width, height) : nullptr;
        MemoryDC copy(offscreen);
        SelectedObject selected(copy.get(), bitmap_);
        if (!selected || !BitBlt(copy.get(), 0, 0, width, height, offscreen, 0, 0, SRCCOPY)) {
            if (bitmap_)
                DeleteObject(bitmap_);
            bitmap_ = nullptr;
        }
    }
    ~BarePicture() {
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    BarePicture(const BarePicture&) = delete;
    BarePicture& operator=(const BarePicture&) = delete;
    void Restore(HDC offscreen) const {
        if (!bitmap_)
            return;
        MemoryDC copy(offscreen);
        SelectedObject selected(copy.get(), bitmap_);
        if (selected)
            BitBlt(offscreen, 0, 0, width_, height_, copy.get(), 0, 0, SRCCOPY);
    }

private:
    HBITMAP bitmap_ = nullptr;
    int width_, height_;
};

// The card on display was drawn: in the browse tool its media elements and text field windows
// show, and the field the build chose is the one edited. The timer buttons come with their
// subsystem.
void CardShown(LayerHandle activeField, bool entering, bool browsing) {
    if (entering)
        RebuildTimerTable();
    if (browsing) {
        SetActiveTextField(activeField);
        MediaShowAll();
        ShowTextFieldWindows(true);
        // Windows made while the layers were built missed the layers built after them.
        ClipTextFieldWindows(kEverywhere);
    }
}

}  // namespace

void RedrawCard(Handle card, const CardMove& move, bool entering) {
    HWND window = GetCardWindow();
    int width = 0, height = 0;
    GetOffscreenSize(&width, &height, nullptr);
    if (!IsValidHandle(card) || !GetOffscreenBitmap() || width <= 0 || height <= 0)
        return;
    const int depth = DisplayDepth();

    DiscardUndoOnLeavingCard();  // a card deletion outlives the redraw it causes
    if (entering)
        OpenVideodiscPlayer();
    PrepareFadeTransition(window, move);

    DibHandle dib = 0;
    const CardPictureOutcome picture = CardPictureForDisplay(card, depth, &dib);
    if (picture != CardPictureOutcome::Drawn && dib)
        DisposeHandleAndClear(&dib);
    ScopedHandle pictureDib(dib);
    const HPALETTE palette = TakePicturePalette(card);

    WindowDC reference(window);
    HDC offscreen = AcquireOffscreenDC(reference.get());
    if (!offscreen)
        return;
    if (dib)
        SetPictureRows(offscreen, dib, width, height);
    else if (picture == CardPictureOutcome::Damaged)
        FillWhite(offscreen, width, height);
    // Without a picture the offscreen keeps what it holds; that is put back afterwards.
    std::optional<BarePicture> bare;
    if (!dib)
        bare.emplace(offscreen, width, height);

    const RECT cardRect = {0, 0, width, height};
    LayerHandle activate = nullptr;
    {
        // The text objects come in with their card: drawn into it, their windows shown after.
        const TextFieldWindowsHeld held(kEverywhere);
        activate = BuildCardLayers(card);
        if (const CardView view = GetCardView(); view.zoom == 1 && view.objectsShown) {
            DrawGrid(offscreen, kEverywhere);
            DrawLayersInRect(offscreen, kEverywhere, nullptr, false);
        }
        DrawCardAnimationStarts(card, offscreen);
        // Released first: the transition selects the bitmap into a DC of its own.
        ReleaseOffscreenDC(offscreen);
        RunTransition(move, window, cardRect, GetOffscreenBitmap(), 1);
    }
    if (HDC again = AcquireOffscreenDC(reference.get())) {
        if (dib)
            SetPictureRows(again, dib, width, height);
        else if (bare)
            bare->Restore(again);
        ReleaseOffscreenDC(again);
    }

    if (palette) {
        const HPALETTE app = GetAppPalette();
        if (app && app != palette)
            DeleteObject(app);
        SetAppPalette(palette);
    }
    NoteCardPictureShown();

    if (window)
        ValidateRect(window, &cardRect);
    CardShown(activate, entering, IsBrowseMode());
    if (picture == CardPictureOutcome::Damaged)
        ShowCardListAlert(kAlertPictureUnreadable);
}

namespace {

// The object among those visible on a card, and its place among the ones not hidden.
struct ObjectSearch {
    uint16_t kind = 0, id = 0;
    std::vector<uint8_t> record;
    int shown = 0;     // objects not hidden so far
    int position = 0;  // the object's place among them
};

void FindVisibleObject(void* context, std::span<const uint8_t> object) {
    auto* search = static_cast<ObjectSearch*>(context);
    if (!search->record.empty())
        return;
    if (!(GetU16(object, kObjectFlags) & kObjectHidden))
        ++search->shown;
    if (GetU16(object, kObjectKind) == search->kind && GetU16(object, kObjectId) == search->id) {
        search->record.assign(object.begin(), object.end());
        search->position = search->shown;
    }
}

RECT ObjectRect(std::span<const uint8_t> object) {
    return {GetI16(object, kObjectRect), GetI16(object, kObjectRect + 2), GetI16(object, kObjectRect + 4),
            GetI16(object, kObjectRect + 6)};
}

// The caller rebuilds the clip region after it.
LayerHandle NewLayerOfKind(std::span<const uint8_t> object, int position) {
    switch (GetU16(object, kObjectKind)) {
    case kObjectGraphic: return NewGraphicLayer(object, position, ClipRemake::kByCaller);
    case kObjectButton: return NewButtonLayer(object, position, ClipRemake::kByCaller);
    case kObjectText: return NewFieldLayer(object, position, kFieldWindowShown, ClipRemake::kByCaller);
    default: return nullptr;
    }
}

// The area drawn afresh into a bitmap reaching from the window's origin to its right and bottom
// edges; false when the DC or the bitmap cannot be had.
bool ShowArea(const RECT& area, const RECT& newRect, const CardMove& asked, int direct) {
    HWND window = GetCardWindow();
    WindowDC screen(window);
    MemoryDC memory(screen.get());
    if (!screen || !memory)
        return false;
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), area.right, area.bottom));
    if (!bitmap)
        return false;
    {
        SelectedObject selected(memory.get(), bitmap.get());
        SelectedPalette palette(memory.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        if (!selected)
            return false;
        if (HDC offscreen = AcquireOffscreenDC(screen.get())) {
            BitBlt(memory.get(), area.left, area.top, area.right - area.left, area.bottom - area.top, offscreen,
                   area.left, area.top, SRCCOPY);
            ReleaseOffscreenDC(offscreen);
        }
        ClipTextFieldWindows(area);
        if (direct == 1) {
            DrawLayersInRect(memory.get(), area, nullptr, false);
            MediaUpdateAll();
            SelectedPalette shown(screen.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
            BitBlt(screen.get(), area.left, area.top, area.right - area.left, area.bottom - area.top, memory.get(),
                   area.left, area.top, SRCCOPY);
            return true;
        }
    }
    // An effect plays from the window as it shows, before the text objects of the area go.
    CardMove move = asked;
    TakeOldCard(move, window);
    // The text objects of the area come in with it: drawn into the bitmap, their windows shown
    // once it is in.
    const TextFieldWindowsHeld held(area);
    {
        SelectedObject selected(memory.get(), bitmap.get());
        SelectedPalette palette(memory.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        DrawLayersInRect(memory.get(), area, nullptr, false);
        MediaUpdateAll();
    }
    if (!IsRectEmpty(&newRect))
        RunTransition(move, window, area, bitmap.get(), 0);
    return true;
}

}  // namespace

void UpdateObjectOnCard(uint16_t kind, uint16_t id, const CardMove& move, int direct) {
    const Handle card = CardOnDisplay();
    if (GetCardView().zoom != 1 || !IsValidHandle(card))
        return;
    ObjectSearch search;
    search.kind = kind;
    search.id = id;
    WalkVisibleObjects(card, FindVisibleObject, &search);
    // A deleted object is no longer walked; its layer still tells where it was.
    if (search.record.empty() && !FindLayer(kind, id))
        return;  // not on this card nor on the record that holds its picture
    SyncCardFromLayers();
    ClearActiveTextField();

    const RECT newRect = search.record.empty() ? RECT{} : ObjectRect(search.record);
    RECT area = newRect;
    if (const LayerHandle old = FindLayer(kind, id)) {
        {
            LayerLock<ObjectLayer> lock(old);
            if (lock)
                UnionRect(&area, &newRect, &lock->bounds);
        }
        RemoveLayer(old);
    }
    if (IsRectEmpty(&area))
        return;
    InflateRect(&area, 2, 2);
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);

    // A text object shown with a transition comes in with it, its window shown after.
    std::optional<TextFieldWindowsHeld> held;
    if (direct != 1)
        held.emplace(area);
    const bool hidden = (GetU16(search.record, kObjectFlags) & kObjectHidden) != 0;
    if (!search.record.empty() && (!hidden || (direct == 1 && ObjectGetsLayer(search.record))))
        NewLayerOfKind(search.record, std::max(search.position, 1));
    CreateClipRegion();
    if (!ShowArea(area, newRect, move, direct))
        RefreshCardOnDisplay(1);
}

void ShowCardAsItIs(const CardMove& move) {
    int width = 0, height = 0;
    GetOffscreenSize(&width, &height, nullptr);
    if (GetCardZoom() != 1 || !GetOffscreenBitmap() || width <= 0 || height <= 0)
        return;
    const RECT card{0, 0, width, height};
    if (!ShowArea(card, card, move, 0))
        InvalidateRect(GetCardWindow(), nullptr, FALSE);
}
