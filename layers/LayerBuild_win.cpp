// The layers of a card's visible objects.
#include "layers/LayerBuild.h"

#include <vector>

#include "core/memory/ByteReader.h"
#include "layers/LayerList.h"
#include "stack/cards/ObjectScan.h"
#include "format/StackFile.h"

namespace {

constexpr uint16_t kMarkedButtonActions = kActSoundFile | kActSoundResource;
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
    case kObjectGraphic: NewGraphicLayer(object, kLayerAtEnd, ClipRemake::kByCaller); break;
    case kObjectButton: NewButtonLayer(object, kLayerAtEnd, ClipRemake::kByCaller); break;
    case kObjectText:
        if (LayerHandle field = NewFieldLayer(object, kLayerAtEnd, kFieldWindowShown, ClipRemake::kByCaller);
            field && !(ByteAt(object, kTextActivation) & kTextStaysInactive))
            build->activate = field;
        break;
    default: break;
    }
}

}  // namespace

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

bool ObjectGetsLayer(std::span<const uint8_t> object) {
    const CardView view = GetCardView();
    const bool hidden = (GetU16(object, kObjectFlags) & kObjectHidden) != 0;
    switch (GetU16(object, kObjectKind)) {
    case kObjectGraphic: return !hidden || view.hiddenGraphicsShown;
    case kObjectButton:
        if (!hidden)
            return true;
        if (!view.hiddenButtonsShown)
            return false;
        return view.paletteMode != kPaletteModeShowsMarkedButtons ||
               (ByteAt(object, kButtonActionFlags) & kMarkedButtonActions);
    case kObjectText: return !hidden || view.hiddenTextsShown;
    default: return false;
    }
}

LayerHandle BuildCardLayers(Handle card) {
    LayerBuild build;
    if (IsValidHandle(card))
        WalkVisibleObjects(card, AddLayer, &build);
    // Once for all the layers; a card without any gets a mask of its own too (the mask of the
    // card before would cut its movies).
    CreateClipRegion();
    return build.activate;
}
