// The defaults of what the card layer asks of the layers above it (MINIMAL until the wiring
// fills them).
#include "graphics/card/CardUpcalls.h"

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

template <class P>
void Fill(P* p, P defaults) {
    if (!*p)
        *p = defaults;
}

}  // namespace

const CardRedrawUpcalls& GetCardRedrawUpcalls() { return g_upcalls; }

void SetCardRedrawUpcalls(const CardRedrawUpcalls& upcalls) {
    CardRedrawUpcalls u = upcalls;
    Fill(&u.openVideodisc, kDefaults.openVideodisc);
    Fill(&u.prepareFade, kDefaults.prepareFade);
    Fill(&u.toggleMenuBar, kDefaults.toggleMenuBar);
    Fill(&u.drawGrid, kDefaults.drawGrid);
    Fill(&u.showHiddenObjects, kDefaults.showHiddenObjects);
    Fill(&u.toolPaletteMode, kDefaults.toolPaletteMode);
    Fill(&u.cardShown, kDefaults.cardShown);
    Fill(&u.endTextEditing, kDefaults.endTextEditing);
    Fill(&u.clipTextFieldWindows, kDefaults.clipTextFieldWindows);
    Fill(&u.captureWindowImage, kDefaults.captureWindowImage);
    Fill(&u.updateMediaElements, kDefaults.updateMediaElements);
    Fill(&u.drawObjectAnimationStart, kDefaults.drawObjectAnimationStart);
    g_upcalls = u;
}
