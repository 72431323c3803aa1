// The defaults of what the card redraw asks of the layers above it (MINIMAL until they install
// theirs).
#include "graphics/card/CardRedrawNeighbours.h"

namespace {

CardPictureOutcome NoPicture(Handle, int, DibHandle* dib) {
    if (dib)
        *dib = 0;
    return CardPictureOutcome::None;
}
void NoObjects(Handle, CardObjectVisitor, void*) {}
Handle NoCard() { return 0; }
void NothingStored(Handle, HPALETTE) {}
void Nothing() {}
int NoAlert(uint32_t) { return 0; }
void NoFade(int) {}
bool No() { return false; }
void NoGrid(HDC, const RECT&) {}
int NoMode() { return 0; }
void NoActiveField(LayerHandle) {}
void NoMedia(HDC, const RECT&) {}
void NoFieldWindows(bool) {}
void NoFieldRegions(const RECT&) {}
void NoCapture(HWND) {}
void NoAnimation(std::span<const uint8_t>, uint16_t, HDC) {}
void NoStill(std::span<const uint8_t>, HDC) {}

template <class P>
void Fill(P* p, P defaults) {
    if (!*p)
        *p = defaults;
}

// Made on first use, so that a layer installing its procedures while the module loads finds it.
CardRedrawNeighbours& Installed() {
    static CardRedrawNeighbours neighbours = DefaultCardRedrawNeighbours();
    return neighbours;
}

}  // namespace

CardRedrawNeighbours DefaultCardRedrawNeighbours() {
    CardRedrawNeighbours n = {};
    n.pictureForDisplay = NoPicture;
    n.walkCardObjects = NoObjects;
    n.currentCard = NoCard;
    n.storePaletteInPictureResource = NothingStored;
    n.markStackChanged = Nothing;
    n.showAlert = NoAlert;
    n.refreshCurrentCard = Nothing;
    n.discardUndo = Nothing;
    n.openVideodisc = Nothing;
    n.prepareFade = NoFade;
    n.frameHasMenuBar = No;
    n.toggleMenuBar = Nothing;
    n.drawGrid = NoGrid;
    n.showHiddenGraphics = No;
    n.showHiddenButtons = No;
    n.showHiddenFields = No;
    n.toolPaletteMode = NoMode;
    n.setActiveTextField = NoActiveField;
    n.endTextEditing = Nothing;
    n.rebuildTimerButtons = Nothing;
    n.showMediaElements = Nothing;
    n.updateMediaElements = NoMedia;
    n.showTextFieldWindows = NoFieldWindows;
    n.clipTextFieldWindows = NoFieldRegions;
    n.captureWindowImage = NoCapture;
    n.drawObjectAnimationStart = NoAnimation;
    n.drawMovieStill = NoStill;
    return n;
}

const CardRedrawNeighbours& GetCardRedrawNeighbours() { return Installed(); }

void SetCardRedrawNeighbours(const CardRedrawNeighbours& neighbours) {
    const CardRedrawNeighbours d = DefaultCardRedrawNeighbours();
    CardRedrawNeighbours n = neighbours;
    Fill(&n.pictureForDisplay, d.pictureForDisplay);
    Fill(&n.walkCardObjects, d.walkCardObjects);
    Fill(&n.currentCard, d.currentCard);
    Fill(&n.storePaletteInPictureResource, d.storePaletteInPictureResource);
    Fill(&n.markStackChanged, d.markStackChanged);
    Fill(&n.showAlert, d.showAlert);
    Fill(&n.refreshCurrentCard, d.refreshCurrentCard);
    Fill(&n.discardUndo, d.discardUndo);
    Fill(&n.openVideodisc, d.openVideodisc);
    Fill(&n.prepareFade, d.prepareFade);
    Fill(&n.frameHasMenuBar, d.frameHasMenuBar);
    Fill(&n.toggleMenuBar, d.toggleMenuBar);
    Fill(&n.drawGrid, d.drawGrid);
    Fill(&n.showHiddenGraphics, d.showHiddenGraphics);
    Fill(&n.showHiddenButtons, d.showHiddenButtons);
    Fill(&n.showHiddenFields, d.showHiddenFields);
    Fill(&n.toolPaletteMode, d.toolPaletteMode);
    Fill(&n.setActiveTextField, d.setActiveTextField);
    Fill(&n.endTextEditing, d.endTextEditing);
    Fill(&n.rebuildTimerButtons, d.rebuildTimerButtons);
    Fill(&n.showMediaElements, d.showMediaElements);
    Fill(&n.updateMediaElements, d.updateMediaElements);
    Fill(&n.showTextFieldWindows, d.showTextFieldWindows);
    Fill(&n.clipTextFieldWindows, d.clipTextFieldWindows);
    Fill(&n.captureWindowImage, d.captureWindowImage);
    Fill(&n.drawObjectAnimationStart, d.drawObjectAnimationStart);
    Fill(&n.drawMovieStill, d.drawMovieStill);
    Installed() = n;
}
