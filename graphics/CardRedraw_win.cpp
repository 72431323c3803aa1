// MINIMAL until the card redraw is built: nothing is drawn.
#include "graphics/CardRedraw.h"

void RedrawCard(Handle, int, int, int, bool) {}
void UpdateObjectOnCard(uint16_t, uint16_t, int, int, int, int) {}
