// What the card list asks of other parts of the program: alerts, the card offscreen and the
// palette, going to a card and redrawing it, the card actions, the object selection and its
// layer. Each part installs its own procedure; until it does, the defaults here do the least
// that keeps the card list whole: no alert is shown (the result is 0, which no question takes
// as consent), there is no offscreen picture, going to a card only makes it current.
#pragma once

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"
#include "stack/format/StackFile.h"

struct CardListNeighbours {
    // ShowAlert: the position of the pressed label (1 for the first), 0 when nothing was shown.
    int (*showAlert)(uint32_t stringId);
    // The wait cursor around a long step.
    void (*beginWaitCursor)();
    void (*endWaitCursor)();
    // OffscreenToDib: a new DIB of the card offscreen (card width by card height plus the two
    // extra rows, bottom row first, the palette's colours in its table; deeper pixels in the
    // stack's layout, 24 bits as 32), 0 when there is none.
    DibHandle (*offscreenToDib)();
    // The application palette's colours, for the colour table of pictures deeper than 8 bits.
    std::span<const PaletteColor> (*appPaletteColors)();
    // Whether the frame window has a menu bar (the plug-in has no frame window).
    bool (*frameHasMenuBar)();
    // ConvertCardToDefaultPalette: the card picture to the default palette.
    void (*convertCardToDefaultPalette)();
    // GoToCardId: leaves the current card and enters the card of that id.
    void (*goToCardId)(uint16_t id, int transition, int effect, int speed);
    // RefreshCurrentCard: rebuilds and redraws the current card (transition mode 3).
    void (*refreshCurrentCard)(int redraw);
    // EraseCardBackground: fills the card picture with the erase colour.
    void (*eraseCardBackground)(int ask);
    // RunCardAction: performs an 'Actn' resource of the stack with a label from the string table.
    int (*runCardAction)(uint16_t actionId, int byClick, int waitAfter, uint32_t labelStringId);
    // PurgeFieldCardEntries: drops per-card text entries of a text field (mode 1: those of the card).
    void (*purgeFieldCardEntries)(uint16_t textId, Handle card, int mode);
    // The selected object: its kind (0 for none) and id.
    void (*selectedObject)(uint16_t* kind, uint16_t* id);
    // ReorderLayer: moves the object's layer, 'C' closer or 'F' farther, all the way or one step.
    void (*reorderLayer)(uint16_t kind, uint16_t id, char direction, bool allTheWay);
};

const CardListNeighbours& CardNeighbours();
void SetCardListNeighbours(const CardListNeighbours& neighbours);
CardListNeighbours DefaultCardListNeighbours();

// Shorthand for the installed alert procedure.
inline int ShowCardAlert(uint32_t stringId) { return CardNeighbours().showAlert(stringId); }
