// The defaults of what the card layer asks of the layers above it (MINIMAL until the wiring
// fills them).
#include "graphics/card/CardUpcalls.h"

#include "core/system/DefaultProcs.h"

namespace {

void Nothing() {}
void NoFade(int) {}
void NoGrid(HDC, const RECT&) {}
bool NotShown(uint16_t) { return false; }
int NoMode() { return 0; }
void NothingShown(LayerHandle, bool, bool) {}
void NoFieldRegions(const RECT&) {}
void NoCapture(HWND) {}
void NoMedia(HDC, const RECT&) {}
void NoAnimation(std::span<const uint8_t>, uint16_t, HDC) {}

constexpr CardRedrawUpcalls kDefaults = {
    .openVideodisc = Nothing,
    .prepareFade = NoFade,
    .toggleMenuBar = Nothing,
    .drawGrid = NoGrid,
    .showHiddenObjects = NotShown,
    .toolPaletteMode = NoMode,
    .cardShown = NothingShown,
    .endTextEditing = Nothing,
    .clipTextFieldWindows = NoFieldRegions,
    .captureWindowImage = NoCapture,
    .updateMediaElements = NoMedia,
    .drawObjectAnimationStart = NoAnimation,
};

CardRedrawUpcalls g_upcalls = kDefaults;

}  // namespace

const CardRedrawUpcalls& GetCardRedrawUpcalls() { return g_upcalls; }

void SetCardRedrawUpcalls(const CardRedrawUpcalls& upcalls) {
    CardRedrawUpcalls u = upcalls;
    FillIfNull(u.openVideodisc, kDefaults.openVideodisc);
    FillIfNull(u.prepareFade, kDefaults.prepareFade);
    FillIfNull(u.toggleMenuBar, kDefaults.toggleMenuBar);
    FillIfNull(u.drawGrid, kDefaults.drawGrid);
    FillIfNull(u.showHiddenObjects, kDefaults.showHiddenObjects);
    FillIfNull(u.toolPaletteMode, kDefaults.toolPaletteMode);
    FillIfNull(u.cardShown, kDefaults.cardShown);
    FillIfNull(u.endTextEditing, kDefaults.endTextEditing);
    FillIfNull(u.clipTextFieldWindows, kDefaults.clipTextFieldWindows);
    FillIfNull(u.captureWindowImage, kDefaults.captureWindowImage);
    FillIfNull(u.updateMediaElements, kDefaults.updateMediaElements);
    FillIfNull(u.drawObjectAnimationStart, kDefaults.drawObjectAnimationStart);
    g_upcalls = u;
}
