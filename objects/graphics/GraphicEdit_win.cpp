// A graphic object's picture as the paint tools read and replace it, the live feedback of a
// picture stretched over the card, and the bitmaps editing keeps until shut-down.
#include "objects/ObjectServices.h"

#include <vector>

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "layers/GridDraw.h"
#include "layers/LayerList.h"
#include "graphics/masks/Masks.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibGdi.h"
#include "graphics/pixels/DibPalette.h"
#include "graphics/pixels/PixelDepth.h"
#include "objects/graphics/GraphicPlacement.h"
#include "objects/graphics/GraphicPlacing.h"
#include "objects/graphics/LassoPoints.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/pictures/GraphicPicture.h"

namespace {

// The work bitmap of the live feedback, kept between steps of a drag.
HBITMAP g_feedback = nullptr;
SIZE g_feedbackSize = {};

// The selected graphic's record: its card record and offset; false when none is selected.
bool SelectedGraphicRecord(LayerHandle selected, Handle* card, uint32_t* offset) {
    LayerLock<> layer(selected);
    return layer && layer->kind == kObjectGraphic && FindObject(kObjectGraphic, layer->id, card, offset);
}

// The depth the pixels are kept at: the display's, 24 kept as 32 as stacks keep it.
int StoredDepth() {
    const int depth = GetDisplayBitsPerPixel();
    return depth == 24 ? 32 : depth;
}

// The picture's rows as the open stack holds them: top row first, packed; empty on failure.
std::vector<uint8_t> PackPicture(HBITMAP picture, int depth) {
    WindowDC window(GetCardWindow());
    if (!window)
        return {};
    ScopedHandle dib(GetBitmapDibBits(window.get(), picture, depth, GetAppPalette()));
    if (!dib.get() || !DibFlipRows(dib.get()))
        return {};
    // Deeper pixels stay as the DIB has them: an open stack holds its graphics in the display's
    // order (opening converted them, saving converts them back).
    if (depth <= 8)
        DibSetPaletteFromPicture(GetCurrentCardRecord(), dib.get());
    return GraphicPictureData(dib.get(), {});
}

// The record with the new data in place of the old one; false (nothing changed) when the
// record cannot be read or the card record cannot grow.
bool ReplaceGraphicRecord(Handle card, uint32_t offset, std::span<const uint8_t> data, std::span<const uint8_t> mask,
                          int depth) {
    std::vector<uint8_t> header;
    uint32_t oldLength = 0;
    {
        HandleLock lock(card);
        const uint32_t size = GetHandleSize(card);
        if (!lock || offset > size || size - offset < kGraphicHeaderBytes)
            return false;
        const std::span<const uint8_t> rest(lock.get() + offset, size - offset);
        oldLength = GetU32(rest, kObjectLength);
        if (oldLength < kGraphicHeaderBytes || oldLength > rest.size())
            return false;
        header.assign(rest.begin(), rest.begin() + kGraphicHeaderBytes);
    }
    std::vector<uint8_t> record = BuildGraphicRecord(header, data, mask);
    if (record.empty())
        return false;
    SetU16(record, kGraphicPictureDepth, static_cast<uint16_t>(depth));
    SetU16(record, kGraphicPictureFlags, GetU16(record, kGraphicPictureFlags) | kGraphicRowsPacked);
    // The pixels live in the record now, not in a file.
    SetU16(record, kObjectFlags, GetU16(record, kObjectFlags) & static_cast<uint16_t>(~kObjectHasPath));
    ScopedHandle bytes(NewHandleFromBytes(record));
    if (!bytes.get() || ReplaceInHandle(card, bytes.get(), offset, oldLength) != 0)
        return false;
    HandleLock lock(card);
    if (lock)
        SetU32(std::span<uint8_t>(lock.get(), GetHandleSize(card)), kCardLength, GetHandleSize(card));
    return true;
}

void ReplaceBitmap(HBITMAP* slot, HBITMAP bitmap) {
    if (*slot && *slot != bitmap)
        DeleteObject(*slot);
    *slot = bitmap;
}

}  // namespace

HBITMAP GraphicObjectPicture() {
    const LayerHandle selected = GetSelectedObject();
    Handle card = 0;
    uint32_t offset = 0;
    if (!SelectedGraphicRecord(selected, &card, &offset) ||
        (GetHandleWord(card, offset + kObjectFlags) & kObjectHasPath))
        return nullptr;
    return LayerLock<GraphicLayer>(selected)->picture;
}

bool SetGraphicObjectPicture(HBITMAP picture, HBITMAP mask) {
    const LayerHandle selected = GetSelectedObject();
    Handle card = 0;
    uint32_t offset = 0;
    if (!picture || !SelectedGraphicRecord(selected, &card, &offset))
        return false;
    LayerLock<GraphicLayer> layer(selected);
    if (!layer)
        return false;
    // Everything is made before anything changes: without memory the record and the layer stay.
    const HBITMAP kept = mask ? mask : layer->mask;
    std::vector<uint8_t> packedMask;
    if (kept && (packedMask = MaskToPackedBytes(kept)).empty())
        return false;
    const int depth = StoredDepth();
    const std::vector<uint8_t> data = PackPicture(picture, depth);
    if (data.empty() || !ReplaceGraphicRecord(card, offset, data, packedMask, depth))
        return false;

    ReplaceBitmap(&layer->picture, picture);
    if (mask) {
        ReplaceBitmap(&layer->mask, mask);
        if (layer->frameWidth >= 1)
            ReplaceBitmap(&layer->outline, MaskOutline(mask, layer->frameWidth));
    }
    ObjectSelection& selection = CurrentSelection();
    selection.rect = selection.anchor = layer->common.bounds;
    if (mask)
        ReplaceBitmap(&selection.outline, MaskOutlineThin(mask));
    RECT frame = layer->common.bounds;
    InflateRect(&frame, 2, 2);
    if (GetCardWindow())
        InvalidateRect(GetCardWindow(), &frame, FALSE);
    MarkCardChanged();
    return true;
}

void CopyBitmapThroughRegion(HWND window, const RECT& previous, const RECT& next, HBITMAP picture, const RECT& source,
                             bool drawLayers) {
    RECT area;
    if (!UnionRect(&area, &previous, &next) || area.right <= 0 || area.bottom <= 0)
        return;
    WindowDC target(window);
    MemoryDC work(target.get()), from(target.get());
    if (!target || !work || !from)
        return;
    if (!g_feedback || g_feedbackSize.cx < area.right || g_feedbackSize.cy < area.bottom) {
        ReplaceBitmap(&g_feedback, CreateCompatibleBitmap(target.get(), area.right, area.bottom));
        g_feedbackSize = g_feedback ? SIZE{area.right, area.bottom} : SIZE{};
        if (!g_feedback)
            return;
    }
    const int width = area.right - area.left, height = area.bottom - area.top;
    SelectedObject into(work.get(), g_feedback);
    SelectedPalette workPalette(work.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    SelectedPalette targetPalette(target.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    if (HDC offscreen = AcquireOffscreenDC(target.get())) {
        BitBlt(work.get(), area.left, area.top, width, height, offscreen, area.left, area.top, SRCCOPY);
        ReleaseOffscreenDC(offscreen);
    }
    DrawGrid(work.get(), area);
    if (drawLayers)
        DrawLayersInRect(work.get(), area, nullptr, false);
    if (picture) {
        SelectedObject selected(from.get(), picture);
        SelectedPalette fromPalette(from.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        SetStretchBltMode(work.get(), COLORONCOLOR);
        StretchBlt(work.get(), next.left, next.top, next.right - next.left, next.bottom - next.top, from.get(),
                   source.left, source.top, source.right - source.left, source.bottom - source.top, SRCCOPY);
    }
    // Without the layers drawn the copy keeps off the live objects.
    if (!drawLayers)
        SelectClipRgn(target.get(), GetCardClipRegion());
    BitBlt(target.get(), area.left, area.top, width, height, work.get(), area.left, area.top, SRCCOPY);
    SelectClipRgn(target.get(), nullptr);
}

void FreeGraphicEditBitmaps() {
    ReplaceBitmap(&g_feedback, nullptr);
    g_feedbackSize = {};
    DeselectObject(nullptr);
    // What placing and cropping hold: the picture, mask, outline and undo picture.
    ClearGraphicPlacement();
    LassoFreePoints();
}

bool MakeGraphicPictureData(HBITMAP picture, HBITMAP mask, std::vector<uint8_t>* data, std::vector<uint8_t>* packedMask,
                            int* depth) {
    *depth = StoredDepth();
    packedMask->clear();
    if (mask && (*packedMask = MaskToPackedBytes(mask)).empty())
        return false;
    *data = PackPicture(picture, *depth);
    return !data->empty();
}
