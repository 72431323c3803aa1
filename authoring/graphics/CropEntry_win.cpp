// The ways into the cropping dialog: a picture loaded for a purpose, cropped or taken whole, and
// what the crop gives: clip art in the card picture, a graphic object to place, a bitmap.
#include "authoring/graphics/PictureCrop.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/ToolNumbers.h"
#include "layers/PaintGeometry.h"
#include "layers/PaintGeometry_win.h"
#include "graphics/masks/Masks.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/DibGdi.h"
#include "media/pictures/GraphicSource.h"
#include "media/pictures/PictureFiles.h"
#include "media/video/VideoSources.h"
#include "objects/graphics/GraphicPlacement.h"
#include "objects/graphics/GraphicPlacing.h"
#include "objects/graphics/LassoPoints.h"
#include "paint/Selections.h"
#include "resources/graphics_ids.h"
#include "stack/cards/CardList.h"

namespace {

void DeleteBitmap(HBITMAP& bitmap) {
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = nullptr;
}

// The picture file into a bitmap; null (after the loader's own message) when it cannot be read.
HBITMAP LoadPicture(HWND window, const char* path) {
    HPALETTE palette = nullptr;
    HBITMAP bitmap = LoadGraphicFile(path, window, &palette, 0);
    if (palette)
        DeleteObject(palette);
    return bitmap;
}

void TakePicture(GraphicPlacement& p, HBITMAP bitmap) {
    DeleteBitmap(p.picture);
    DeleteBitmap(p.mask);
    DeleteBitmap(p.outline);
    p.picture = bitmap;
    const SIZE size = BitmapSizeOf(p.picture);
    p.source = {0, 0, size.cx, size.cy};
    p.rectShown = false;
}

// A pasted selection goes centred where it was dropped, kept on the card, else centred on the
// card, on the grid.
POINT PastePoint(const POINT* point, SIZE size) {
    if (point) {
        uint16_t cardWidth = 0, cardHeight = 0;
        CurrentCardSize(&cardWidth, &cardHeight);
        const int x = std::clamp<int>(point->x - size.cx / 2, 0, std::max<int>(0, cardWidth - size.cx));
        const int y = std::clamp<int>(point->y - size.cy / 2, 0, std::max<int>(0, cardHeight - size.cy));
        return {x, y};
    }
    const RECT centred = CentredOnCard(GetCardWindow(), size.cx, size.cy);
    int x = centred.left, y = centred.top;
    SnapPointToGrid(&x, &y);
    return {x, y};
}

// The dialog run on the picture now held, with the purpose: its result. What it cut goes to
// the point when one is given (a drop), else to the middle.
int CropHeldPicture(HWND window, char purpose, const POINT* point) {
    const int result = RunPictureCropDialog(window, purpose, GetGraphicPlacement());
    if (result == 1 && purpose != 'A')
        ApplyPictureCrop(purpose, point);
    return result;
}

// Clip art ends its placing in an object tool: the one in use before it, else the arrow.
int ToolAfterClipArt() {
    const int tool = static_cast<int>(GetCurrentTool());
    return tool >= kButtonTool && tool <= kLastTool ? tool : kArrowTool;
}

// What a borrowed crop keeps of the placement, restored afterwards.
using SavedPlacement = std::tuple<HBITMAP, HBITMAP, HBITMAP, RECT, CropKind, char, bool>;
auto BorrowedFields(GraphicPlacement& p) {
    return std::tie(p.picture, p.mask, p.outline, p.source, p.cropKind, p.purpose, p.rectShown);
}

SavedPlacement BorrowPlacement(HBITMAP picture) {
    GraphicPlacement& p = GetGraphicPlacement();
    const SavedPlacement saved = BorrowedFields(p);
    p.picture = p.mask = p.outline = nullptr;
    TakePicture(p, picture);
    return saved;
}

void RestorePlacement(const SavedPlacement& saved) {
    GraphicPlacement& p = GetGraphicPlacement();
    DeleteBitmap(p.picture);
    DeleteBitmap(p.mask);
    DeleteBitmap(p.outline);
    DeleteBitmap(p.undoPicture);
    BorrowedFields(p) = saved;
}

}  // namespace

bool LimitCropToPicture(GraphicPlacement& p) {
    RECT& r = p.source;
    if (r.left > r.right)
        std::swap(r.left, r.right);
    if (r.top > r.bottom)
        std::swap(r.top, r.bottom);
    const SIZE size = BitmapSizeOf(p.picture);
    if (r.left >= size.cx || r.top >= size.cy)
        return false;
    r.right = std::min<LONG>(r.right, size.cx);
    r.bottom = std::min<LONG>(r.bottom, size.cy);
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    return true;
}

bool GetPictureForCropping(HWND window, char kind, const char* path, GraphicPlacement& p) {
    char chosen[MAX_PATH] = {};
    int source = kGraphicFromFile;
    if (path && *path)
        std::strncpy(chosen, path, sizeof chosen - 1);
    else if (!ChooseGraphicSource(window, chosen, sizeof chosen, kind == 'A' ? 'A' : 'R', &source))
        return false;
    HPALETTE palette = nullptr;
    HBITMAP bitmap = LoadChosenGraphic(source, chosen, window, &palette, 0);
    if (palette)
        DeleteObject(palette);
    if (!bitmap)
        return false;
    TakePicture(p, bitmap);
    std::memcpy(p.file, chosen, sizeof p.file);  // a disk-based object names it; a live source, nothing
    return true;
}

void ApplyPictureCrop(char purpose, const POINT* point) {
    GraphicPlacement& p = GetGraphicPlacement();
    if (!p.picture || !LimitCropToPicture(p))
        return;
    const SIZE size = {p.source.right - p.source.left, p.source.bottom - p.source.top};
    if (purpose == 'C') {
        const int endTool = ToolAfterClipArt();
        if (p.cropKind == kCropRectangle && p.rectShown) {
            MarkStackChanged();
            SelectToolNumber(kRectSelectTool);
            const POINT at = PastePoint(point, size);
            if (HBITMAP cut = CutOutBitmap(p.picture, p.source))
                FloatRectSelectionBitmap(cut, at.x, at.y);
        } else if (p.cropKind == kCropLasso && p.mask) {
            MarkStackChanged();
            SelectToolNumber(kLassoTool);
            HBITMAP cut = CutOutBitmap(p.picture, p.source);
            const POINT at = point ? PastePoint(point, size) : POINT{p.source.left, p.source.top};
            BeginMaskSelection(kMaskFromCard, cut, p.mask, p.outline, at.x, at.y, point ? *point : POINT{});
            p.mask = p.outline = nullptr;
        }
        BeginClipArtPlacing(endTool);
        LassoFreePoints();
        DeleteBitmap(p.picture);
        return;
    }
    if (purpose == 'H') {
        HBITMAP cut = CutOutBitmap(p.picture, p.source);
        DeleteBitmap(p.picture);
        DeleteBitmap(p.mask);
        DeleteBitmap(p.outline);
        p.picture = cut;
        p.source = {0, 0, size.cx, size.cy};
        return;
    }
    if (p.cropKind == kCropLasso && p.mask) {
        SelectToolNumber(kLassoTool);
        HBITMAP cut = CutOutBitmap(p.picture, p.source);
        const POINT at = PastePoint(point, size);
        BeginMaskSelection(kMaskFromGraphic, cut, p.mask, p.outline, at.x, at.y, point ? *point : POINT{});
        p.mask = p.outline = nullptr;
        DeleteBitmap(p.picture);
        return;
    }
    StartPlacingGraphic(GetCardWindow());
}

int OpenPictureCropDialog(HWND window, char purpose, const char* path, POINT point, bool crop) {
    if (!crop && path)
        return LoadPictureWithoutCropping(path, &point) ? 1 : 2;
    if (!GetPictureForCropping(window, 'R', path, GetGraphicPlacement()))
        return 2;
    return CropHeldPicture(window, purpose, path ? &point : nullptr) == 1 ? 1 : 2;
}

bool CropPictureForAnimation(HWND window, const char* path, HBITMAP* bitmapOut, HBITMAP* maskOut, CropKind* kindOut,
                             COLORREF* colourOut) {
    *bitmapOut = nullptr;
    if (maskOut)
        *maskOut = nullptr;
    // A file that cannot be read at all gets this alert; one the loader refuses, its own.
    const DWORD attributes = path ? GetFileAttributesA(path) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        ShowAlertOn(window, IDS_ALERT_CANNOT_READ_PICTURE);
        return false;
    }
    HBITMAP loaded = LoadPicture(window, path);
    if (!loaded)
        return false;
    const SavedPlacement saved = BorrowPlacement(loaded);
    bool ok = false;
    GraphicPlacement& p = GetGraphicPlacement();
    if (RunPictureCropDialog(window, 'A', p) == 1) {
        *bitmapOut = CutOutBitmap(p.picture, p.source);
        if (kindOut)
            *kindOut = p.cropKind;
        if (p.cropKind == kCropLasso) {
            if (maskOut)
                *maskOut = DuplicateBitmap(p.mask);
            if (colourOut)
                *colourOut = p.lassoColor;
        }
        ok = *bitmapOut != nullptr;
    }
    RestorePlacement(saved);
    return ok;
}

int CropPictureFile(HWND window, const char* path, HBITMAP* bitmapOut, RECT* rectOut) {
    *bitmapOut = nullptr;
    SetRectEmpty(rectOut);
    HBITMAP loaded = path ? LoadPicture(window, path) : nullptr;
    if (!loaded)
        return 2;
    const SavedPlacement saved = BorrowPlacement(loaded);
    GraphicPlacement& p = GetGraphicPlacement();
    const int result = RunPictureCropDialog(window, 'A', p);
    if (result == 1) {
        *bitmapOut = p.picture;
        *rectOut = p.source;
        p.picture = nullptr;
    }
    RestorePlacement(saved);
    return result;
}

bool LoadPictureWithoutCropping(const char* path, const POINT* point) {
    HBITMAP bitmap = LoadPicture(GetCardWindow(), path);
    if (!bitmap)
        return false;
    GraphicPlacement& p = GetGraphicPlacement();
    TakePicture(p, bitmap);
    p.cropKind = kCropRectangle;
    p.rectShown = true;
    ApplyPictureCrop('C', point);
    return true;
}

bool LoadPictureForPlacement(const char* path, const POINT* point, char option) {
    HBITMAP bitmap = LoadPicture(GetCardWindow(), path);
    if (!bitmap)
        return false;
    GraphicPlacement& p = GetGraphicPlacement();
    TakePicture(p, bitmap);
    const SIZE size = BitmapSizeOf(p.picture);
    p.cropKind = kCropLasso;
    LassoBeginPoints(size.cx, size.cy);
    LassoAddPoint(0, 0);
    LassoAddPoint(size.cx, 0);
    LassoAddPoint(size.cx, size.cy);
    LassoAddPoint(0, size.cy);
    ScopedHandle image(DibFromDeviceBitmap(p.picture, 0, GetAppPalette()));
    RECT bounds = p.source;
    if (image.get() && MaskFromPolygon(GetCardWindow(), image.get(), &p.mask, &bounds) && p.mask) {
        p.source = bounds;
        p.outline = MaskOutlineThin(p.mask);
    }
    if (option == 'C' || option == 'G')
        ApplyPictureCrop(option, point);
    return true;
}
