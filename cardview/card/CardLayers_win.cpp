// The start frames of a card's animations and of its objects'.
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/GdiGuards.h"
#include "cardview/card/CardRedraw.h"
#include "cardview/card/CardRedrawServices.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "media/AnimationStartFrames.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

// The card record's three animation ('Actn') ids.
constexpr uint32_t kCardAnimationAt[] = {kCardAction1, kCardAction2, kCardAction3};

struct AnimationWalk {
    HDC dc;
    StartFrames which;
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

void DrawStart(std::span<const uint8_t> record, uint16_t actionId, const AnimationWalk& walk) {
    if (!record.empty() || actionId != 0)
        DrawActionAnimationStart(record, actionId, walk.dc, walk.which);
}

void DrawObjectStart(void* context, std::span<const uint8_t> object) {
    const AnimationWalk& walk = *static_cast<AnimationWalk*>(context);
    switch (GetU16(object, kObjectKind)) {
    case kObjectButton: DrawStart(object, 0, walk); break;
    case kObjectGraphic: DrawStart({}, GetU16(object, kGraphicAction), walk); break;
    case kObjectText: DrawStart({}, GetU16(object, kTextAction), walk); break;
    default: break;
    }
}

void DrawStarts(Handle card, HDC dc, StartFrames which) {
    if (!dc || !IsValidHandle(card) || !IsBrowseMode())
        return;
    HPALETTE palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
    SelectedPalette selected(dc, palette, SelectedPalette::kAlways);
    DrawingStartFrames drawing(card);
    AnimationWalk walk{dc, which};
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
        DrawStart({}, id, walk);
}

}  // namespace

void DrawCardAnimationStarts(Handle card, HDC dc) { DrawStarts(card, dc, StartFrames::All); }

void DrawCardMovieStills(Handle card, HDC dc) { DrawStarts(card, dc, StartFrames::MovieStills); }

uint16_t StartFramesCardId() { return g_startFramesCard; }

void DrawObjectAnimationStart(std::span<const uint8_t> record, uint16_t actionId, HDC dc) {
    if (record.empty() && actionId == 0)
        return;
    DrawActionAnimationStart(record, actionId, dc);
}
