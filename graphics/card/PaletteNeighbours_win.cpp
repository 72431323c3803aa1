// The procedures the card layers install for the palette code (MINIMAL defaults until they do).
#include "graphics/card/PaletteNeighbours.h"

namespace {

Handle NoCard() { return 0; }
void NothingStored(Handle, HPALETTE) {}
void NothingRedrawn() {}

PaletteNeighbours& Installed() {
    static PaletteNeighbours neighbours = DefaultPaletteNeighbours();
    return neighbours;
}

}  // namespace

PaletteNeighbours DefaultPaletteNeighbours() { return {NoCard, NothingStored, NothingRedrawn}; }

const PaletteNeighbours& GetPaletteNeighbours() { return Installed(); }

void SetPaletteNeighbours(const PaletteNeighbours& neighbours) { Installed() = neighbours; }
