// The masked reveals: rain, the dissolve and the four pattern reveals. Each step's one-bit mask
// (1 where the new card shows) is applied to a snapshot of the transition context by XOR with
// the card, AND with the mask, XOR with the card again; the snapshot's rectangle then goes to
// the screen. What earlier steps revealed stays revealed.
#include <windows.h>

#include <algorithm>

#include "core/ui/GdiGuards.h"
#include "graphics/masks/Masks.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "cardview/transitions/CardTransitions.h"
#include "cardview/transitions/Dissolve.h"
#include "cardview/transitions/TransitionContext.h"
#include "cardview/transitions/TransitionPatterns.h"
#include "cardview/transitions/TransitionTable.h"
#include "cardview/transitions/TransitionTiming.h"

namespace {

// Applies the mask (its pixel (0, 0) at maskOrigin of the snapshot) over rect.
bool ApplyMask(HDC snapshot, HDC target, const RECT& rect, HDC sourceDC, const MaskBits& mask, POINT maskOrigin) {
    OwnedGdiObject<HBITMAP> maskBitmap(NewMaskBitmap(mask));
    MemoryDC maskDC(snapshot);
    SelectedObject selected(maskDC.get(), maskBitmap.get());
    if (!maskBitmap || !maskDC || !selected)
        return false;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    BitBlt(snapshot, rect.left, rect.top, w, h, sourceDC, rect.left, rect.top, SRCINVERT);
    const COLORREF background = SetBkColor(snapshot, RGB(0, 0, 0));
    const COLORREF text = SetTextColor(snapshot, RGB(255, 255, 255));
    BitBlt(snapshot, rect.left, rect.top, w, h, maskDC.get(), rect.left - maskOrigin.x, rect.top - maskOrigin.y,
           SRCAND);
    SetBkColor(snapshot, background);
    SetTextColor(snapshot, text);
    BitBlt(snapshot, rect.left, rect.top, w, h, sourceDC, rect.left, rect.top, SRCINVERT);
    BitBlt(target, rect.left, rect.top, w, h, snapshot, rect.left, rect.top, SRCCOPY);
    return true;
}

class Snapshot {
public:
    Snapshot(HDC dc, const RECT& rect) : dc_(SnapshotDC(dc, rect.right, rect.bottom)) {}
    ~Snapshot() { FreeSnapshotDC(dc_); }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    HDC get() const { return dc_; }

private:
    HDC dc_;
};

bool PatternReveal(int transition, const TransitionContext& c) {
    Snapshot snapshot(c.dc, c.rect);
    if (!snapshot.get())
        return false;
    const int w = c.rect.right - c.rect.left, h = c.rect.bottom - c.rect.top;
    BeginTransitionSteps(c, kPatternRevealSteps);
    for (int step = 0; step < kPatternRevealSteps; ++step) {
        TransitionMediaIdle();
        const MaskBits mask = PatternRevealMask(transition, step, w, h);
        if (!ApplyMask(snapshot.get(), c.dc, c.rect, c.sourceDC, mask, {c.rect.left, c.rect.top}))
            return false;
        WaitTransitionStep(c);
    }
    return true;
}

bool Rain(const TransitionContext& c) {
    Snapshot snapshot(c.dc, c.rect);
    if (!snapshot.get())
        return false;
    // The mask lies at the context's origin and reaches at least the card's size.
    int cardWidth = 0, cardHeight = 0;
    GetOffscreenSize(&cardWidth, &cardHeight, nullptr);
    const int w = std::max({cardWidth, static_cast<int>(c.rect.right), static_cast<int>(c.rect.right - c.rect.left)});
    const int h = std::max({cardHeight, static_cast<int>(c.rect.bottom), static_cast<int>(c.rect.bottom - c.rect.top)});
    RainTile tile;
    BeginTransitionSteps(c, kRainSteps);
    for (int step = 0; step < kRainSteps; ++step) {
        TransitionMediaIdle();
        RainStep(&tile, step);
        const MaskBits mask = RainMask(tile, w, h);
        if (!ApplyMask(snapshot.get(), c.dc, c.rect, c.sourceDC, mask, {0, 0}))
            return false;
        WaitTransitionStep(c);
    }
    return true;
}

}  // namespace

HDC SnapshotDC(HDC dc, int width, int height) {
    if (!dc)
        return nullptr;
    width = std::max(width, GetDeviceCaps(dc, HORZRES));
    height = std::max(height, GetDeviceCaps(dc, VERTRES));
    HDC snapshot = CreateCompatibleDC(dc);
    if (!snapshot)
        return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
    if (!bitmap) {
        DeleteDC(snapshot);
        return nullptr;
    }
    SelectObject(snapshot, bitmap);
    if (HPALETTE palette = GetAppPalette())
        SelectPaletteIfIndexed(snapshot, palette, FALSE);
    BitBlt(snapshot, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    return snapshot;
}

void FreeSnapshotDC(HDC snapshot) {
    if (!snapshot)
        return;
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(snapshot, OBJ_BITMAP));
    DeleteDC(snapshot);
    if (bitmap)
        DeleteObject(bitmap);
}

HBITMAP CopyWindowClient(HWND window, RECT* client) {
    WindowDC dc(window);
    if (!dc || !GetClientRect(window, client) || client->right <= 0 || client->bottom <= 0)
        return nullptr;
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc.get(), client->right, client->bottom));
    MemoryDC memory(dc.get());
    SelectedObject selected(memory.get(), bitmap.get());
    if (!selected)
        return nullptr;
    BitBlt(memory.get(), 0, 0, client->right, client->bottom, dc.get(), 0, 0, SRCCOPY);
    return bitmap.release();
}

bool DissolveOnto(const TransitionContext& c) {
    const RECT& rect = c.rect;
    DissolveState state;
    if (!InitDissolve({rect.left, rect.top, rect.right, rect.bottom}, &state))
        return false;
    Snapshot snapshot(c.dc, rect);
    if (!snapshot.get())
        return false;
    const uint32_t share = DissolveShare(state);
    BeginTransitionSteps(c, 16);
    for (int step = 0; step < 16; ++step) {
        if (state.remaining != 0) {
            DissolveStep(&state, share);
            MaskBits mask(state.realWidth, state.realHeight);
            if (!MaskBitsFromRows(state.mask, static_cast<uint32_t>(state.rowBytes), true, true, &mask) ||
                !ApplyMask(snapshot.get(), c.dc, rect, c.sourceDC, mask, {rect.left, rect.top})) {
                EndDissolve(&state);
                return false;
            }
        }
        WaitTransitionStep(c);
    }
    BitBlt(c.dc, rect.left, rect.top, rect.right - rect.left, 1, c.sourceDC, rect.left, rect.top, SRCCOPY);
    EndDissolve(&state);
    return true;
}

bool RunMaskedReveal(const TransitionContext& c, int transition) {
    if (c.rect.right <= c.rect.left || c.rect.bottom <= c.rect.top)
        return true;
    switch (transition) {
    case kTransRain: return Rain(c);
    case kTransDissolve: return DissolveOnto(c);
    default: return PatternReveal(transition, c);
    }
}
