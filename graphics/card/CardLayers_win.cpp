// The layers of a card's visible objects, and the start frames of its animations.
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/card/CardRedraw.h"
#include "graphics/card/CardRedrawNeighbours.h"
#include "graphics/layers/LayerList.h"

namespace {

// Object record fields (host order).
constexpr size_t kKindAt = 0;
constexpr size_t kFlagsAt = 22;
constexpr uint16_t kHidden = 0x20;
constexpr size_t kButtonStyleByte = 20;    // bit 1 or 4: shown in tool-palette mode 5
constexpr size_t kFieldActivateByte = 26;  // bit 2: not made active after a redraw
constexpr size_t kGraphicActionAt = 56;
constexpr size_t kFieldActionAt = 102;
constexpr int kPaletteModeShowsMarkedButtons = 5;
constexpr int kFieldWindowValue = 1;
// The card record's three animation ('Actn') ids.
constexpr size_t kCardAnimationAt[] = {48, 50, 52};

uint8_t ByteAt(std::span<const uint8_t> record, size_t at) { return at < record.size() ? record[at] : 0; }

struct LayerBuild {
    LayerHandle activate = nullptr;
};

void AddLayer(void* context, std::span<const uint8_t> object) {
    auto* build = static_cast<LayerBuild*>(context);
    if (!ObjectGetsLayer(object))
        return;
    switch (GetU16(object, kKindAt)) {
    case kLayerGraphic: NewGraphicLayer(object, kLayerAtEnd); break;
    case kLayerButton: NewButtonLayer(object, kLayerAtEnd); break;
    case kLayerField:
        if (LayerHandle field = NewFieldLayer(object, kLayerAtEnd, kFieldWindowValue);
            field && !(ByteAt(object, kFieldActivateByte) & 2))
            build->activate = field;
        break;
    default: break;
    }
}

struct AnimationWalk {
    HDC dc;
};

void DrawObjectStart(void* context, std::span<const uint8_t> object) {
    HDC dc = static_cast<AnimationWalk*>(context)->dc;
    switch (GetU16(object, kKindAt)) {
    case kLayerButton: DrawObjectAnimationStart(object, 0, dc); break;
    case kLayerGraphic: DrawObjectAnimationStart({}, GetU16(object, kGraphicActionAt), dc); break;
    case kLayerField: DrawObjectAnimationStart({}, GetU16(object, kFieldActionAt), dc); break;
    default: break;
    }
}

}  // namespace

bool ObjectGetsLayer(std::span<const uint8_t> object) {
    const CardRedrawNeighbours& n = GetCardRedrawNeighbours();
    const bool hidden = (GetU16(object, kFlagsAt) & kHidden) != 0;
    switch (GetU16(object, kKindAt)) {
    case kLayerGraphic: return !hidden || n.showHiddenGraphics();
    case kLayerButton:
        if (!hidden)
            return true;
        if (!n.showHiddenButtons())
            return false;
        return n.toolPaletteMode() != kPaletteModeShowsMarkedButtons || (ByteAt(object, kButtonStyleByte) & (1 | 4));
    case kLayerField: return !hidden || n.showHiddenFields();
    default: return false;
    }
}

LayerHandle BuildCardLayers(Handle card) {
    LayerBuild build;
    if (IsValidHandle(card))
        GetCardRedrawNeighbours().walkCardObjects(card, AddLayer, &build);
    return build.activate;
}

void DrawCardAnimationStarts(Handle card, HDC dc) {
    if (!dc || !IsValidHandle(card) || GetLayerNeighbourProcs().currentTool() != kBrowseTool)
        return;
    HPALETTE palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
    SelectedPalette selected(dc, palette, SelectedPalette::kAlways);
    AnimationWalk walk{dc};
    GetCardRedrawNeighbours().walkCardObjects(card, DrawObjectStart, &walk);
    uint16_t ids[3] = {};
    {
        HandleLock lock(card);
        if (!lock)
            return;
        const std::span<const uint8_t> record = lock.bytes();
        for (size_t i = 0; i < 3; ++i)
            ids[i] = GetU16(record, kCardAnimationAt[i]);
    }
    for (uint16_t id : ids)
        if (id)
            DrawObjectAnimationStart({}, id, dc);
}

void DrawObjectAnimationStart(std::span<const uint8_t> record, uint16_t actionId, HDC dc) {
    if (record.empty() && actionId == 0)
        return;
    GetCardRedrawNeighbours().drawObjectAnimationStart(record, actionId, dc);
}
