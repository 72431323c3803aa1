// The browse tool on buttons: press, track and release, rollover ("No click") buttons, and the
// Enter key. A release inside a button gives its id back to the caller (the card window's
// mouse handler), which performs the button's actions.
#include "core/ui/GdiGuards.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "graphics/masks/Masks.h"
#include "objects/buttons/Buttons.h"

namespace {

constexpr uint16_t kNoRollover = 65535;

LayerHandle g_pressed = nullptr;
bool g_pressing = false;
bool g_inside = false;
uint16_t g_rolloverId = kNoRollover;

// A pressed layer may have gone with its card while the mouse was down.
bool InLayerList(LayerHandle layer) {
    int steps = 0;
    for (LayerHandle at = GetLayerListHead(); at && steps < kMaxLayerWalk; ++steps) {
        if (at == layer)
            return true;
        LayerLock<> lock(at);
        if (!lock)
            break;
        at = lock->next;
    }
    return false;
}

bool PointInButton(HWND window, const ButtonLayer* b, int x, int y) {
    const RECT& r = b->common.bounds;
    if (b->freehandMask)
        return BitmapPixelIsSet(window, b->freehandMask, x - r.left, y - r.top);
    if (b->shape == kButtonShapeInvisible) {
        const POINT p = {x, y};
        return PtInRect(&r, p) != FALSE;
    }
    return b->common.region && PtInRegion(b->common.region, x, y);
}

void HiliteIfOn(LayerHandle layer, HWND window) {
    LayerLock<ButtonLayer> lock(layer);
    if (lock && lock->styleLacks4)
        HiliteButtonLayer(lock.get(), window);
}

uint16_t LayerId(LayerHandle layer) {
    LayerLock<> lock(layer);
    return lock ? lock->id : 0;
}

}  // namespace

void BeginButtonPress(HWND window, LayerHandle button) {
    {
        LayerLock<ButtonLayer> lock(button);
        if (!lock || lock->common.kind != kObjectButton || (lock->flags & kButtonDropOffOnly))
            return;
    }
    g_pressed = button;
    g_pressing = g_inside = true;
    SetCapture(window);
    HiliteIfOn(button, window);
}

ButtonMouse TrackButtonMouse(HWND window, int x, int y) {
    if (IsBrowseMode()) {
        if (const LayerHandle over = HitTestLayers(x, y, true, nullptr)) {
            const uint16_t id = LayerId(over);
            if (id != g_rolloverId) {
                g_rolloverId = id;
                g_pressed = nullptr;
                g_pressing = false;
                return {true, true, id};
            }
        } else {
            g_rolloverId = kNoRollover;
        }
    }
    if (!g_pressing || !g_pressed || !InLayerList(g_pressed))
        return {};
    bool inside = false;
    {
        LayerLock<ButtonLayer> lock(g_pressed);
        inside = lock && PointInButton(window, lock.get(), x, y);
    }
    if (inside != g_inside) {
        g_inside = inside;
        HiliteIfOn(g_pressed, window);
    }
    return {true, false, 0};
}

bool EndButtonPress(HWND window, uint16_t* releasedId) {
    if (!g_pressing)
        return false;
    if (GetCapture() == window)
        ReleaseCapture();
    g_pressing = false;
    const LayerHandle pressed = g_pressed;
    g_pressed = nullptr;
    if (!g_inside || !pressed || !InLayerList(pressed))
        return false;
    g_inside = false;
    HiliteIfOn(pressed, window);
    *releasedId = LayerId(pressed);
    return true;
}

void ResetRolloverButton() { g_rolloverId = kNoRollover; }

