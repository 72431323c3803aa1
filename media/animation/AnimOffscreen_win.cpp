// The animation offscreen (the card as it shows, under the animated objects) and the entry
// points through which the card, the performer and the tools play and release animations.
#include "media/animation/AnimPlayback.h"

#include "core/memory/ByteReader.h"
#include "layers/LayerList.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "format/StackFile.h"

namespace {

PixMap* g_offscreen = nullptr;
HBITMAP g_layerMask = nullptr;  // the card's, kept for the engine; never deleted here
bool g_drawingLayers = false;

}  // namespace

bool MakeAnimOffscreen() {
    int width = 0, height = 0, depth = 0;
    GetOffscreenSize(&width, &height, &depth);
    if (width <= 0 || height <= 0)
        return false;
    if (!g_offscreen) {
        auto* map = new (std::nothrow) PixMap{};
        if (!map)
            return false;
        if (NewPixMap(map, {0, 0, static_cast<int16_t>(width), static_cast<int16_t>(height)}, depth, true) != 0) {
            DisposePixMap(map);
            delete map;
            return false;
        }
        g_offscreen = map;
    }
    BeginPixMapDraw(g_offscreen);
    if (HDC card = AcquireOffscreenDC(g_offscreen->dc)) {
        BitBlt(g_offscreen->dc, 0, 0, width, height, card, 0, 0, SRCCOPY);
        ReleaseOffscreenDC(card);
    }
    g_drawingLayers = true;
    DrawLayersInRect(g_offscreen->dc, RECT{0, 0, width, height}, 0, false);
    g_drawingLayers = false;
    EndPixMapDraw(g_offscreen);
    g_layerMask = GetLayerMaskBitmap();
    return true;
}

PixMap* GetAnimOffscreen() { return g_offscreen; }
HBITMAP GetAnimLayerMask() { return g_layerMask; }
bool IsDrawingAnimOffscreen() { return g_drawingLayers; }

void FreeAnimOffscreen() {
    if (!g_offscreen)
        return;
    DisposePixMap(g_offscreen);
    delete g_offscreen;
    g_offscreen = nullptr;
}

void ReleaseAnimPlayback() {
    DisposeAnimWorld();
    FreeAnimOffscreen();
}

bool IsSpriteRecord(std::span<const uint8_t> bytes) { return bytes.size() >= 4 && GetBE32(bytes, 0) == kSprt; }

bool IsSpriteHandle(Handle record) {
    HandleLock lock(record);
    return lock && IsSpriteRecord(lock.bytes());
}

int PlayAnimRecord(Handle record, uint16_t objectId) {
    if (!record)
        return 0;
    ScopedHandle owned(record);  // the copy is ours, whatever happens
    if (!IsSpriteHandle(record))
        return 0;
    if (!AnimWorldExists() && !MakeAnimOffscreen())
        return 0;
    HandleLock lock(record);
    if (!lock)
        return 0;
    return StartSprite(GetCardWindow(), g_offscreen, g_layerMask, lock.bytes(), objectId) == 0 ? 1 : 0;
}

void StepAnimations() {
    if (!AnimWorldExists())
        return;
    if (g_offscreen)
        BeginPixMapDraw(g_offscreen);
    StepAnimWorld();
    if (g_offscreen)
        EndPixMapDraw(g_offscreen);
}

bool AnimatedObjectsDoneFor(uint16_t objectId) { return !IsSpriteRunning(objectId); }

void SetAnimTargetOffscreen(std::span<const uint8_t> record, HDC dc) {
    g_layerMask = GetLayerMaskBitmap();
    const HBITMAP bitmap = GetOffscreenBitmap();
    if (!bitmap || !dc)
        return;
    // The card offscreen as a map that is already drawing on the caller's DC: nothing of it is
    // selected, released or deleted here.
    PixMap target;
    target.bitmap = bitmap;
    GetObjectA(bitmap, sizeof target.description, &target.description);
    target.depth = target.description.bmBitsPixel;
    target.palette = GetPicturePalette() ? GetPicturePalette() : GetAppPalette();
    target.dc = dc;
    target.drawing = 1;
    DrawSpriteFirstFrame(record, &target);
}
