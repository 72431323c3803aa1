// The defaults of what the card list asks of other parts.
#include "stack/cards/CardListNeighbours.h"

#include "stack/open/StackOpenSession.h"

namespace {

int NoAlert(uint32_t) { return 0; }
void Nothing() {}
DibHandle NoOffscreen() { return 0; }
std::span<const PaletteColor> NoColors() { return {}; }
bool NoMenuBar() { return false; }
void MakeCurrent(uint16_t id, int, int, int) { SetCurrentCardId(id); }
void NoRedraw(int) {}
void NoErase(int) {}
int NoAction(uint16_t, int, int, uint32_t) { return 0; }
void NoPurge(uint16_t, Handle, int) {}
void NoSelection(uint16_t* kind, uint16_t* id) {
    if (kind)
        *kind = 0;
    if (id)
        *id = 0;
}
void NoLayers(uint16_t, uint16_t, char, bool) {}

// Made on first use, so that a part installing its procedure while the module loads finds it.
CardListNeighbours& Installed() {
    static CardListNeighbours neighbours = DefaultCardListNeighbours();
    return neighbours;
}

}  // namespace

CardListNeighbours DefaultCardListNeighbours() {
    return {NoAlert,  Nothing,   Nothing, NoOffscreen, NoColors,    NoMenuBar, Nothing,
            MakeCurrent, NoRedraw, NoErase, NoAction,   NoPurge, NoSelection, NoLayers};
}

const CardListNeighbours& CardNeighbours() { return Installed(); }
void SetCardListNeighbours(const CardListNeighbours& neighbours) { Installed() = neighbours; }
