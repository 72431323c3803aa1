// The start frames of a card's animations and of its objects'.
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/GdiGuards.h"
#include "graphics/card/CardRedraw.h"
#include "graphics/card/CardRedrawServices.h"
#include "graphics/layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "media/AnimationStartFrames.h"
#include "stack/cards/CardList.h"
#include "stack/format/StackFile.h"

namespace {

// The card record's three animation ('Actn') ids.
constexpr uint32_t kCardAnimationAt[] = {kCardAction1, kCardAction2, kCardAction3};

struct AnimationWalk {
    HDC dc;
};

// The card whose start frames are being drawn: a movie's file asked for meanwhile is for its still.
uint16_t g_startFramesCard = 0;

class DrawingStartFrames {
public:
    explicit DrawingStartFrames(Handle card) : previous_(g_startFramesCard) { g_startFramesCard = GetCardId(card); }
    ~DrawingStartFrames() { g_startFramesCard = previous_; }
    DrawingStartFrames(const DrawingStartFrames&) = delete;
    DrawingStartFrames& operator=(const DrawingStartFrames&) = delete;

private:
    uint16_t previous_;
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


void DrawCardAnimationStarts(Handle card, HDC dc) {
    if (!dc || !IsValidHandle(card) || !IsBrowseMode())
        return;
    HPALETTE palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
    SelectedPalette selected(dc, palette, SelectedPalette::kAlways);
    DrawingStartFrames drawing(card);
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

uint16_t StartFramesCardId() { return g_startFramesCard; }

void DrawObjectAnimationStart(std::span<const uint8_t> record, uint16_t actionId, HDC dc) {
    if (record.empty() && actionId == 0)
        return;
    DrawActionAnimationStart(record, actionId, dc);
}
