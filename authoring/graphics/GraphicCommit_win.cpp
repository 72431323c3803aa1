// What the appearance dialog's OK makes of the placement: a new graphic object's record and
// layer, or an existing object updated; and what becomes of the paint selection it came from.
#include "authoring/graphics/GraphicAppearance.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "graphics/masks/Masks.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/buttons/ButtonIcons.h"
#include "objects/graphics/GraphicPlacement.h"
#include "objects/graphics/GraphicPlacing.h"
#include "objects/graphics/LassoPoints.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "authoring/cards/UndoObjects.h"
#include "authoring/graphics/GraphicCommands.h"
#include "format/StackFile.h"
#include "stack/pictures/GraphicPicture.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

constexpr uint32_t kRopPatternWhereSource = 0x00E20746;  // DSPDxax: the brush where the source is white
constexpr int kLastLayer = 65535;

void DeleteBitmap(HBITMAP& bitmap) {
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = nullptr;
}


void FreePlacedPicture(GraphicPlacement& p) {
    DeleteBitmap(p.picture);
    DeleteBitmap(p.mask);
    DeleteBitmap(p.outline);
    LassoFreePoints();
    p.placing = p.shown = false;
}

// The file the picture came from, as the data of a disk-based object: padded to even.
std::vector<uint8_t> FileReference(const char* file) {
    Handle packed = 0;
    if (!PackFilePath(file, &packed) || !packed)
        return {};
    std::vector<uint8_t> bytes = HandleToBytes(packed);
    DisposeHandle(packed);
    if (bytes.size() % 2)
        bytes.push_back(0);
    return bytes;
}

// The new object's record; empty when its picture cannot be stored.
std::vector<uint8_t> BuildNewRecord(const GraphicPlacement& p) {
    const bool lasso = p.cropKind == kCropLasso && p.mask;
    const SIZE maskSize = BitmapSizeOf(p.mask);
    const RECT source = lasso ? RECT{p.source.left, p.source.top, p.source.left + maskSize.cx, p.source.top + maskSize.cy}
                              : p.source;
    OwnedGdiObject<HBITMAP> cut(CutOutBitmap(p.picture, source));
    const SIZE size = BitmapSizeOf(cut.get());
    if (!cut || size.cx <= 0 || size.cy <= 0)
        return {};
    std::vector<uint8_t> data, mask;
    int depth = 0;
    if (p.objectFlags & kObjectHasPath) {
        data = FileReference(p.file);
        if (lasso)
            mask = MaskToPackedBytes(p.mask);
        const int display = GetDisplayBitsPerPixel();
        depth = display == 24 ? 32 : display;
        if (data.empty() || (lasso && mask.empty()))
            return {};
    } else if (!MakeGraphicPictureData(cut.get(), lasso ? p.mask : nullptr, &data, &mask, &depth)) {
        return {};
    }
    std::vector<uint8_t> header(kGraphicHeaderBytes, 0);
    const RECT rect = lasso ? RECT{p.lassoAt.x, p.lassoAt.y, p.lassoAt.x + size.cx, p.lassoAt.y + size.cy} : p.placed;
    SetU16(header, kObjectKind, kObjectGraphic);
    SetU16(header, kObjectId, p.newObjectId);
    SetU16(header, kObjectRect, static_cast<uint16_t>(rect.left));
    SetU16(header, kObjectRect + 2, static_cast<uint16_t>(rect.top));
    SetU16(header, kObjectRect + 4, static_cast<uint16_t>(rect.right));
    SetU16(header, kObjectRect + 6, static_cast<uint16_t>(rect.bottom));
    SetU16(header, kObjectFlags, static_cast<uint16_t>(p.objectFlags & ~kObjectPadded));
    SetU16(header, kGraphicColor, static_cast<uint16_t>(p.frameColorIndex + 1));
    SetU16(header, kGraphicFrameWidth, p.frameWidth);
    SetU16(header, kGraphicSourceLeft, static_cast<uint16_t>(source.left));
    SetU16(header, kGraphicSourceTop, static_cast<uint16_t>(source.top));
    SetU16(header, kGraphicPictureFlags, static_cast<uint16_t>(p.pictureFlags | kGraphicRowsPacked));
    SetU16(header, kGraphicTransparency, p.transparency);
    SetU16(header, kGraphicPictureRect + 4, static_cast<uint16_t>(size.cx));
    SetU16(header, kGraphicPictureRect + 6, static_cast<uint16_t>(size.cy));
    std::memcpy(header.data() + kGraphicName, p.name, kGraphicNameBytes);
    header[kGraphicName] = std::min<uint8_t>(header[kGraphicName], kGraphicNameBytes - 1);
    SetU16(header, kGraphicPictureDepth, static_cast<uint16_t>(depth));
    SetU16(header, kGraphicCursor, MapButtonIconId(p.cursorId, p.cursorId));
    SetU16(header, kGraphicAction, p.actionId);
    ClearIconSelection();
    return BuildGraphicRecord(header, data, mask);
}

// The card picture under the mask at (x, y) filled with the colour.
void FillMaskWithColor(HBITMAP mask, int x, int y, COLORREF color) {
    const SIZE size = BitmapSizeOf(mask);
    WindowDC window(GetCardWindow());
    HDC offscreen = AcquireOffscreenDC(window.get());
    if (!offscreen)
        return;
    {
        MemoryDC maskDc(offscreen);
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
        if (maskDc && brush) {
            SelectedObject selectedMask(maskDc.get(), mask);
            SelectedObject selectedBrush(offscreen, brush.get());
            const COLORREF text = SetTextColor(offscreen, RGB(0, 0, 0));
            const COLORREF back = SetBkColor(offscreen, RGB(255, 255, 255));
            BitBlt(offscreen, x, y, size.cx, size.cy, maskDc.get(), 0, 0, kRopPatternWhereSource);
            SetTextColor(offscreen, text);
            SetBkColor(offscreen, back);
        }
    }
    ReleaseOffscreenDC(offscreen);
    NoteCardPicturePainted();
}

}  // namespace

bool CommitNewGraphic(HWND window, GraphicPlacement& p) {
    if (!p.picture)
        return false;
    const std::vector<uint8_t> record = BuildNewRecord(p);
    const Handle card = GetCurrentCardRecord();
    SyncCardFromLayers();
    // The record first: a layer is made only for an object the card holds.
    if (record.empty() || !card || InsertObjectBytes(card, CardObjectsEnd(card), record) != 0) {
        FreePlacedPicture(p);
        ShowAlert(kAlertNotEnoughMemory);
        return false;
    }
    FreePlacedPicture(p);
    UpdateObjectLayer(kObjectGraphic, p.newObjectId, card);
    // A hidden one gets a layer only while hidden graphics are shown (the layer reader decides).
    NewGraphicLayer(record, kLastLayer);
    if (window)
        InvalidateRect(window, nullptr, FALSE);
    MarkCardChanged();
    return true;
}

void UpdateEditedGraphic(HWND window, GraphicPlacement& p) {
    const LayerHandle edited = p.editedLayer;
    uint16_t id = 0;
    RECT bounds = {};
    bool hiddenChanged = false;
    SyncCardFromLayers();
    RecordObjectEditUndo(edited);
    const uint16_t cursor = MapButtonIconId(p.cursorId, p.cursorId);
    {
        LayerLock<GraphicLayer> layer(edited);
        if (!layer)
            return;
        id = layer->common.id;
        bounds = layer->common.bounds;
        layer->colorIndex = p.frameColorIndex;
        layer->frameWidth = p.frameWidth;
        layer->objectWord = p.actionId;
        layer->cursorId = cursor;
        layer->transparency = p.transparency;
        if (layer->outline != p.outline) {
            if (layer->outline)
                DeleteObject(layer->outline);
            layer->outline = p.frameWidth > 0 ? p.outline : nullptr;
            if (!layer->outline && p.outline)
                DeleteObject(p.outline);
        }
    }
    Handle card = 0;
    uint32_t offset = 0;
    if (FindObject(kObjectGraphic, id, &card, &offset)) {
        HandleLock lock(card);
        const std::span<uint8_t> bytes = lock.bytes();
        if (lock && offset + kGraphicHeaderBytes <= bytes.size()) {
            const std::span<uint8_t> record = bytes.subspan(offset);
            hiddenChanged = ((GetU16(record, kObjectFlags) ^ p.objectFlags) & kObjectHidden) != 0;
            const uint16_t kept = GetU16(record, kObjectFlags) & (kObjectPadded | kObjectDeletedFlag);
            SetU16(record, kGraphicColor, static_cast<uint16_t>(p.frameColorIndex + 1));
            SetU16(record, kGraphicFrameWidth, p.frameWidth);
            SetU16(record, kObjectFlags, static_cast<uint16_t>((p.objectFlags & ~(kObjectPadded | kObjectDeletedFlag)) | kept));
            SetU16(record, kGraphicAction, p.actionId);
            SetU16(record, kGraphicTransparency, p.transparency);
            SetU16(record, kGraphicCursor, cursor);
            std::memcpy(record.data() + kGraphicName, p.name, kGraphicNameBytes);
        }
    }
    ClearIconSelection();
    // A background object lives in the record that holds the background, a card object in the card.
    UpdateObjectLayer(kObjectGraphic, id, GetCurrentCardRecord());
    InflateRect(&bounds, 2, 2);
    if (window)
        InvalidateRect(window, &bounds, FALSE);
    p.picture = p.mask = p.outline = nullptr;
    if (hiddenChanged)
        RebuildGraphicLayer(window, edited, id);
    MarkCardChanged();
}

void SettlePaintSelection(HWND window, GraphicPlacement& p, bool ok) {
    if (p.fromSelection) {
        p.fromSelection = false;
        if (p.cropKind == kCropRectangle) {
            if (ok) {
                MarkStackChanged();
                DropRectSelection(window);
                SelectToolNumber(kArrowTool);
            } else {
                CommitPaintSelection(window);
            }
        } else if (ok && p.heldMask) {
            MarkStackChanged();
            FillMaskWithColor(p.heldMask, p.lassoAt.x, p.lassoAt.y, p.holeColor);
            SelectToolNumber(kArrowTool);
            if (window)
                InvalidateRect(window, nullptr, FALSE);
        }
    }
    DeleteBitmap(p.heldMask);
}
