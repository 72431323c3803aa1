// Making and freeing layers, a graphic's picture file, and the procedures of the layers above.
#include "layers/ObjectLayer.h"

#include <cstring>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/files/FileTypes.h"
#include "core/memory/HandlesGlobal.h"
#include "core/system/DefaultProcs.h"
#include "core/ui/CursorCache.h"
#include "core/ui/Resources.h"
#include "layers/LayerList.h"
#include "graphics/masks/Masks.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/CardOffscreen.h"
#include "stack/pictures/GraphicPictureBitmap.h"

namespace {

constexpr uint16_t kStringFindPicture = 2415;  // "Please find the picture named: " and the name

// Defaults until the layers above install theirs.
bool NoGraphic(std::span<const uint8_t>, GraphicLayer*, GraphicRecordParts*) { return false; }
bool NoButton(std::span<const uint8_t>, ButtonLayer*, ButtonRecordParts*) { return false; }
bool NoField(std::span<const uint8_t>, FieldLayer*) { return false; }
bool NoPictureFile(std::span<const uint8_t>, char*, size_t, RECT*) { return false; }
HRGN BoundsRegion(HWND, const ButtonLayer* layer) { return CreateRectRgnIndirect(&layer->common.bounds); }
void NoFieldWindow(std::span<const uint8_t>, LayerHandle, int) {}
void NoFieldWindowToDestroy(FieldLayer*) {}
void NoGraphicDrawn(HDC, const GraphicLayer*) {}
void NoButtonDrawn(HDC, const ButtonLayer*, HWND) {}
void NoFieldDrawn(HDC, LayerHandle) {}
void GraphicBounds(HDC dc, const GraphicLayer* layer) {
    const RECT& r = layer->common.bounds;
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}
void ButtonBounds(HDC dc, const ButtonLayer* layer) {
    const RECT& r = layer->common.bounds;
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}
void NoHilite(const ButtonLayer*, HDC) {}
void NoInvalidate(HWND, const ButtonLayer*, const RECT&) {}
void NothingSaved() {}

constexpr LayerKindProcs kDefaultKinds = {
    NoGraphic,     NoButton,      NoField,      NoPictureFile, BoundsRegion, NoFieldWindow,
    NoFieldWindowToDestroy, NoGraphicDrawn, NoButtonDrawn, NoFieldDrawn, GraphicBounds, ButtonBounds,
    NoHilite,      NoInvalidate,  NothingSaved};
LayerKindProcs g_kinds = kDefaultKinds;
LayerListUpcalls g_upcalls = {};
LayerHandle g_underConstruction = nullptr;
LayerHandle g_activeTextField = nullptr;

// Copies the made layer into a new block and links it; 0 after the out-of-memory alert.
template <class T>
LayerHandle LinkNewLayer(const T& made, int position) {
    LayerHandle block = AllocGlobalOrWarn(sizeof(T));
    if (!block)
        return nullptr;
    {
        LayerLock<T> lock(block);
        if (!lock) {
            GlobalFree(block);
            return nullptr;
        }
        std::memcpy(lock.get(), &made, sizeof(T));
        lock->common.next = nullptr;
    }
    InsertLayerAt(block, position);
    return block;
}

// The mask of a PackedMask and its size; a refused block leaves no mask.
HBITMAP UnpackMask(std::span<const uint8_t> packed, uint16_t* width, uint16_t* height) {
    HBITMAP mask = nullptr;
    uint16_t first = 0, second = 0;
    if (packed.empty() || MaskFromPackedBits(packed, &mask, &first, &second) != PackedMaskRefusal::None || !mask)
        return nullptr;
    BITMAP info = {};
    if (GetObjectA(mask, sizeof info, &info) == sizeof info) {
        *width = static_cast<uint16_t>(info.bmWidth);
        *height = static_cast<uint16_t>(info.bmHeight);
    }
    return mask;
}

class UnderConstruction {
public:
    explicit UnderConstruction(LayerHandle layer) { g_underConstruction = layer; }
    ~UnderConstruction() { g_underConstruction = nullptr; }
    UnderConstruction(const UnderConstruction&) = delete;
    UnderConstruction& operator=(const UnderConstruction&) = delete;
};

}  // namespace

void SetLayerKindProcs(const LayerKindProcs& procs) {
    g_kinds = FilledFrom(procs, kDefaultKinds,
                         &LayerKindProcs::readGraphic, &LayerKindProcs::readButton, &LayerKindProcs::readField,
                         &LayerKindProcs::graphicPictureFile, &LayerKindProcs::makeButtonRegion,
                         &LayerKindProcs::initFieldWindow, &LayerKindProcs::destroyFieldWindow,
                         &LayerKindProcs::drawGraphic, &LayerKindProcs::drawButton, &LayerKindProcs::drawField,
                         &LayerKindProcs::drawGraphicMask, &LayerKindProcs::drawButtonShape,
                         &LayerKindProcs::drawButtonHilite, &LayerKindProcs::invalidateButtonContent,
                         &LayerKindProcs::saveFieldContents);
}

const LayerKindProcs& GetLayerKindProcs() { return g_kinds; }

void SetLayerListUpcalls(const LayerListUpcalls& upcalls) {
    g_upcalls = upcalls;
}

const LayerListUpcalls& GetLayerListUpcalls() { return g_upcalls; }

LayerHandle GetLayerUnderConstruction() { return g_underConstruction; }

LayerHandle GetActiveTextField() { return g_activeTextField; }

void SetActiveTextField(LayerHandle field) { g_activeTextField = field; }

LayerHandle NewGraphicLayer(std::span<const uint8_t> record, int position, ClipRemake clip) {
    GraphicLayer made = {};
    GraphicRecordParts parts;
    if (!g_kinds.readGraphic(record, &made, &parts))
        return nullptr;
    made.common.kind = kObjectGraphic;
    LayerHandle layer = LinkNewLayer(made, position);
    if (!layer)
        return nullptr;
    {
        LayerLock<GraphicLayer> lock(layer);
        lock->common.region = CreateRectRgnIndirect(&lock->common.bounds);
        if (parts.pictureInFile) {
            UnderConstruction building(layer);
            lock->picture = LoadLayerPictureFromFile(GetCardWindow(), record);
        } else {
            lock->picture = PictureFromGraphicRecord(record);
        }
        lock->mask = UnpackMask(parts.packedMask, &lock->maskWidth, &lock->maskHeight);
        if (lock->mask && lock->frameWidth != 0)
            lock->outline = MaskOutline(lock->mask, lock->frameWidth);
    }
    if (clip == ClipRemake::kNow)
        CreateClipRegion();
    return layer;
}

LayerHandle NewButtonLayer(std::span<const uint8_t> record, int position, ClipRemake clip) {
    ButtonLayer made = {};
    ButtonRecordParts parts;
    if (!g_kinds.readButton(record, &made, &parts))
        return nullptr;
    made.common.kind = kObjectButton;
    made.name[sizeof made.name - 1] = '\0';
    LayerHandle layer = LinkNewLayer(made, position);
    if (!layer)
        return nullptr;
    {
        LayerLock<ButtonLayer> lock(layer);
        lock->common.region = g_kinds.makeButtonRegion(GetCardWindow(), lock.get());
        if (IsMaskedButtonShape(lock->shape)) {
            uint16_t width = 0, height = 0;
            lock->freehandMask = UnpackMask(parts.packedMask, &width, &height);
            if (lock->freehandMask)
                lock->freehandOutline = MaskOutline(lock->freehandMask, 1);
        }
    }
    if (clip == ClipRemake::kNow)
        CreateClipRegion();
    return layer;
}

LayerHandle NewFieldLayer(std::span<const uint8_t> record, int position, int value, ClipRemake clip) {
    FieldLayer made = {};
    if (!g_kinds.readField(record, &made))
        return nullptr;
    made.common.kind = kObjectText;
    made.modified = 0;
    made.window = nullptr;
    LayerHandle layer = LinkNewLayer(made, position);
    if (!layer)
        return nullptr;
    {
        LayerLock<FieldLayer> lock(layer);
        lock->common.region = CreateRectRgnIndirect(&lock->common.bounds);
    }
    {
        UnderConstruction building(layer);
        g_kinds.initFieldWindow(record, layer, value);
    }
    if (clip == ClipRemake::kNow)
        CreateClipRegion();
    return layer;
}

void FreeLayerResources(ObjectLayer* layer) {
    if (!layer)
        return;
    if (layer->region)
        DeleteObject(layer->region);
    layer->region = nullptr;
    switch (layer->kind) {
    case kObjectGraphic: {
        auto* graphic = reinterpret_cast<GraphicLayer*>(layer);
        for (HBITMAP* bitmap : {&graphic->picture, &graphic->mask, &graphic->outline}) {
            if (*bitmap)
                DeleteObject(*bitmap);
            *bitmap = nullptr;
        }
        break;
    }
    case kObjectButton: {
        auto* button = reinterpret_cast<ButtonLayer*>(layer);
        DisposeHandleAndClear(&button->icon);
        for (HBITMAP* bitmap : {&button->freehandMask, &button->freehandOutline}) {
            if (*bitmap)
                DeleteObject(*bitmap);
            *bitmap = nullptr;
        }
        break;
    }
    case kObjectText: g_kinds.destroyFieldWindow(reinterpret_cast<FieldLayer*>(layer)); break;
    default: break;
    }
}

HBITMAP LoadLayerPictureFromFile(HWND window, std::span<const uint8_t> record) {
    char name[MAX_PATH] = {};
    RECT crop = {};
    // The picture import is installed by the wiring; before it nothing can be loaded.
    if (!g_upcalls.loadPictureFile || !g_kinds.graphicPictureFile(record, name, sizeof name, &crop))
        return nullptr;
    // A name of a live source (a camera, a scanner, video) is no file: nothing is looked for,
    // asked of the browser or opened, and the graphic shows nothing.
    if (IsLiveSourceFileType(FileTypeFromExtension(name)))
        return nullptr;
    // The filter is one description and one pattern, each NUL-terminated, then a final NUL.
    char filter[300] = {};
    LoadResString(kStringPictureFilter, filter, sizeof filter - 2);
    if (char* space = std::strchr(filter, ' '))
        *space = '\0';
    const FileRequest request = {kStringFindPicture, filter, 0, 0, kNoSlot, 0};
    char path[MAX_PATH] = {};
    if (!LocateRememberedPath(request, name, path, sizeof path, true))
        return nullptr;
    HPALETTE palette = nullptr;
    HBITMAP loaded = g_upcalls.loadPictureFile(path, &palette);
    HBITMAP cut = loaded ? CutOutBitmap(loaded, crop) : nullptr;
    if (loaded)
        DeleteObject(loaded);
    if (palette)
        DeleteObject(palette);
    return cut;
}

HCURSOR LayerCursorAt(LayerHandle layer) {
    LayerLock<ObjectLayer> lock(layer);
    if (!lock)
        return nullptr;
    uint16_t id = 0;
    switch (lock->kind) {
    case kObjectGraphic: id = reinterpret_cast<GraphicLayer*>(lock.get())->cursorId; break;
    case kObjectButton: id = reinterpret_cast<ButtonLayer*>(lock.get())->cursorId; break;
    case kObjectText: id = reinterpret_cast<FieldLayer*>(lock.get())->cursorId; break;
    default: break;
    }
    return id ? GetCursorById(id) : nullptr;
}
