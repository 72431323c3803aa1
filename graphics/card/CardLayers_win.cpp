// The layers of a card's visible objects, and the start frames of its animations.
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/GdiGuards.h"
#include "graphics/card/CardRedraw.h"
#include "graphics/card/CardRedrawServices.h"
#include "graphics/card/CardUpcalls.h"
#include "graphics/layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "stack/format/StackFile.h"

namespace {

// Tool-palette mode 5 shows, of the hidden buttons, those that play a sound.
constexpr int kPaletteModeShowsMarkedButtons = 5;
constexpr uint16_t kMarkedButtonActions = kActSoundFile | kActSoundResource;
constexpr int kFieldWindowValue = 1;
// The card record's three animation ('Actn') ids.
constexpr uint32_t kCardAnimationAt[] = {kCardAction1, kCardAction2, kCardAction3};

// The bits tested below lie in the low byte of their words.
uint8_t ByteAt(std::span<const uint8_t> record, size_t at) { return at < record.size() ? record[at] : 0; }

struct LayerBuild {
    LayerHandle activate = nullptr;
};

void AddLayer(void* context, std::span<const uint8_t> object) {
    auto* build = static_cast<LayerBuild*>(context);
    if (!ObjectGetsLayer(object))
        return;
    switch (GetU16(object, kObjectKind)) {
    case kObjectGraphic: NewGraphicLayer(object, kLayerAtEnd); break;
    case kObjectButton: NewButtonLayer(object, kLayerAtEnd); break;
    case kObjectText:
        if (LayerHandle field = NewFieldLayer(object, kLayerAtEnd, kFieldWindowValue);
            field && !(ByteAt(object, kTextActivation) & kTextStaysInactive))
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
    switch (GetU16(object, kObjectKind)) {
    case kObjectButton: DrawObjectAnimationStart(object, 0, dc); break;
    case kObjectGraphic: DrawObjectAnimationStart({}, GetU16(object, kGraphicAction), dc); break;
    case kObjectText: DrawObjectAnimationStart({}, GetU16(object, kTextAction), dc); break;
    default: break;
    }
}

}  // namespace

bool ObjectGetsLayer(std::span<const uint8_t> object) {
    const CardRedrawUpcalls& up = GetCardRedrawUpcalls();
    const bool hidden = (GetU16(object, kObjectFlags) & kObjectHidden) != 0;
    switch (GetU16(object, kObjectKind)) {
    case kObjectGraphic: return !hidden || up.showHiddenObjects(kObjectGraphic);
    case kObjectButton:
        if (!hidden)
            return true;
        if (!up.showHiddenObjects(kObjectButton))
            return false;
        return up.toolPaletteMode() != kPaletteModeShowsMarkedButtons ||
               (ByteAt(object, kButtonActionFlags) & kMarkedButtonActions);
    case kObjectText: return !hidden || up.showHiddenObjects(kObjectText);
    default: return false;
    }
}

LayerHandle BuildCardLayers(Handle card) {
    LayerBuild build;
    if (IsValidHandle(card))
        WalkVisibleObjects(card, AddLayer, &build);
    return build.activate;
}

void DrawCardAnimationStarts(Handle card, HDC dc) {
    if (!dc || !IsValidHandle(card) || GetLayerListUpcalls().cardView().tool != kBrowseTool)
        return;
    HPALETTE palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
    SelectedPalette selected(dc, palette, SelectedPalette::kAlways);
    AnimationWalk walk{dc};
    WalkVisibleObjects(card, DrawObjectStart, &walk);
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
    GetCardRedrawUpcalls().drawObjectAnimationStart(record, actionId, dc);
}
