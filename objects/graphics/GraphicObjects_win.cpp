// Graphic objects: their records read into layers, their picture files, and their drawing (the
// picture stretched to the bounds, framed, blended over the card, drawn through the mask).
#include "objects/ObjectLayerKinds.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/ui/BitmapSize.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ScreenDepth.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/BitmapCopy.h"
#include "format/StackFile.h"

namespace {

constexpr int kMinBlendDepth = 9;

// The bitmap's pixels as 32-bit top-down rows; empty on failure.
std::vector<uint32_t> Pixels32(HDC dc, HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    if (GetDIBits(dc, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height)
        pixels.clear();
    return pixels;
}

// The picture mixed over the card under it: each channel picture x (100 - t) % + card x t %.
void BlendOverTarget(HDC target, HDC pictureDc, HBITMAP picture, const RECT& bounds, int transparency) {
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    OwnedGdiObject<HBITMAP> card(CreateCompatibleBitmap(target, width, height));
    MemoryDC cardDc(target);
    if (!card || !cardDc)
        return;
    {
        SelectedObject selected(cardDc.get(), card.get());
        BitBlt(cardDc.get(), 0, 0, width, height, target, bounds.left, bounds.top, SRCCOPY);
    }
    std::vector<uint32_t> under = Pixels32(target, card.get(), width, height);
    // The picture is selected into its DC; GetDIBits wants it out.
    SelectedObject out(pictureDc, card.get());
    std::vector<uint32_t> over = Pixels32(target, picture, width, height);
    if (under.empty() || over.empty())
        return;
    for (size_t i = 0; i < over.size(); ++i) {
        uint32_t mixed = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t a = (over[i] >> shift) & 0xFF, b = (under[i] >> shift) & 0xFF;
            const uint32_t channel = (a * (kGraphicMaxTransparency - transparency) + b * transparency + 50) / 100;
            mixed |= channel << shift;
        }
        over[i] = mixed;
    }
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetDIBits(target, picture, 0, height, over.data(), &info, DIB_RGB_COLORS);
}

}  // namespace

bool ReadGraphicLayer(std::span<const uint8_t> record, GraphicLayer* layer, GraphicRecordParts* parts) {
    GraphicLayerFields fields;
    if (!ReadGraphicLayerFields(record, &fields))
        return false;
    if (fields.hidden && !GetCardView().hiddenGraphicsShown)
        return false;
    SetLayerCommon(fields.common, &layer->common);
    layer->frameWidth = fields.frameWidth;
    layer->colorIndex = fields.colorIndex;
    layer->objectWord = fields.objectWord;
    layer->cursorId = fields.cursorId;
    layer->transparency = fields.transparency;
    if (parts) {
        parts->packedMask = fields.packedMask;
        parts->pictureInFile = fields.pictureInFile;
    }
    return true;
}

bool GraphicPictureFile(std::span<const uint8_t> record, char* name, size_t size, RECT* crop) {
    std::string_view file;
    int rect[4] = {};
    if (!ReadGraphicPictureFile(record, &file, rect) || file.size() >= size)
        return false;
    std::memcpy(name, file.data(), file.size());
    name[file.size()] = '\0';
    *crop = {rect[0], rect[1], rect[2], rect[3]};
    return true;
}

void DrawGraphicFrame(CropKind kind, HDC dc, HBITMAP bitmap, int width, int colorIndex, HBITMAP outline) {
    if (width <= 0 || !bitmap)
        return;
    MemoryDC target(dc);
    if (!target)
        return;
    SelectedObject selected(target.get(), bitmap);
    const COLORREF color = PaletteIndexToColor(colorIndex);
    if (kind == kCropRectangle) {
        const SIZE size = BitmapSizeOf(bitmap);
        const int half = width / 2, even = (width % 2 == 0) ? 1 : 0;
        OwnedGdiObject<HPEN> pen(CreatePen(PS_SOLID, width, color));
        SelectedObject penSelected(target.get(), pen.get());
        SelectedObject brushSelected(target.get(), GetStockObject(NULL_BRUSH));
        Rectangle(target.get(), half, half, size.cx - half + even, size.cy - half + even);
        return;
    }
    if (kind != kCropLasso || !outline)
        return;
    // The frame colour where the outline is white, black elsewhere, as the masked draw wants.
    const SIZE size = BitmapSizeOf(outline);
    OwnedGdiObject<HBITMAP> solid(CreateCompatibleBitmap(dc, size.cx, size.cy));
    MemoryDC solidDc(dc), outlineDc(dc);
    if (!solid || !solidDc || !outlineDc)
        return;
    {
        SelectedObject solidSelected(solidDc.get(), solid.get());
        SelectedObject outlineSelected(outlineDc.get(), outline);
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
        const RECT all = {0, 0, size.cx, size.cy};
        FillRect(solidDc.get(), &all, brush.get());
        SetTextColor(solidDc.get(), RGB(0, 0, 0));
        SetBkColor(solidDc.get(), RGB(255, 255, 255));
        BitBlt(solidDc.get(), 0, 0, size.cx, size.cy, outlineDc.get(), 0, 0, SRCAND);
    }
    DrawBitmapMasked(target.get(), solid.get(), outline, 0, 0);
}

void DrawGraphicObjectLayer(HDC dc, const GraphicLayer* layer) {
    if (!layer || !layer->picture)
        return;
    const RECT& bounds = layer->common.bounds;
    const int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
    if (width <= 0 || height <= 0)
        return;
    OwnedGdiObject<HBITMAP> framed(CreateCompatibleBitmap(dc, width, height));
    MemoryDC work(dc), source(dc);
    if (!framed || !work || !source)
        return;
    {
        SelectedObject into(work.get(), framed.get());
        SelectedObject from(source.get(), layer->picture);
        const SIZE size = BitmapSizeOf(layer->picture);
        StretchBlt(work.get(), 0, 0, width, height, source.get(), 0, 0, size.cx, size.cy, SRCCOPY);
    }
    DrawGraphicFrame(layer->mask ? kCropLasso : kCropRectangle, dc, framed.get(), layer->frameWidth, layer->colorIndex,
                     layer->outline);
    SelectedObject selected(work.get(), framed.get());
    if (layer->transparency != 0 && GetDisplayBitsPerPixel() >= kMinBlendDepth &&
        GetScreenDepth() >= kMinBlendDepth)
        BlendOverTarget(dc, work.get(), framed.get(), bounds, layer->transparency);
    HPALETTE palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
    SelectedPalette workPalette(work.get(), palette, SelectedPalette::kIfIndexed);
    if (!layer->mask) {
        BitBlt(dc, bounds.left, bounds.top, width, height, work.get(), 0, 0, SRCCOPY);
        return;
    }
    OwnedGdiObject<HBITMAP> masked(CopyBitmapPadded(dc, work.get(), 0, 0, layer->mask));
    if (masked)
        DrawBitmapMasked(dc, masked.get(), layer->mask, bounds.left, bounds.top);
}

void DrawGraphicLayerMask(HDC dc, const GraphicLayer* layer) {
    const RECT& bounds = layer->common.bounds;
    if (!layer->mask) {
        Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
        return;
    }
    MemoryDC maskDc(dc);
    if (!maskDc)
        return;
    SelectedObject selected(maskDc.get(), layer->mask);
    const SIZE size = BitmapSizeOf(layer->mask);
    BitBlt(dc, bounds.left, bounds.top, size.cx, size.cy, maskDc.get(), 0, 0, kRopAndNotSource);
}
