// MINIMAL until the animation engine plays objects: a start loads the record (a damaged one
// fails), frees it again and counts it; a world then exists until it is disposed of. Nothing
// steps or draws, and no object plays to an end, so nothing waits for one.
#include "media/animation/AnimPlayback.h"

namespace {

bool g_world = false;
int g_started = 0;

}  // namespace

int StartSprite(HWND, PixMap*, HBITMAP, std::span<const uint8_t> record, uint16_t) {
    if (!IsSpriteRecord(record))
        return 1;
    Handle sprite = 0;
    if (LoadAnimRecord(record.data(), static_cast<uint32_t>(record.size()), &sprite) != 0)
        return -1;
    DisposeSprite(sprite);
    g_world = true;
    ++g_started;
    return 0;
}

void StepAnimWorld() {}
void DisposeAnimWorld() { g_world = false; }
bool AnimWorldExists() { return g_world; }
bool IsSpriteRunning(uint16_t) { return false; }
int DrawSpriteFirstFrame(std::span<const uint8_t> record, PixMap*) { return IsSpriteRecord(record) ? 0 : 1; }
int CountStartedSprites() { return g_started; }
