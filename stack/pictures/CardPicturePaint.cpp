// The card picture's paint count (CardPicturePaint.h).
#include "stack/pictures/CardPicturePaint.h"

#include <cstdint>

namespace {

// The paints counted, and the count when the card was last drawn whole; a card counts as painted
// until a redraw shows it.
struct PaintCount {
    uint32_t painted = 1, paintedWhenShown = 0;
} g_paint;

}  // namespace

void NoteCardPicturePainted() { ++g_paint.painted; }

void NoteCardPictureShown() { g_paint.paintedWhenShown = g_paint.painted; }

bool CardPicturePainted() { return g_paint.painted != g_paint.paintedWhenShown; }
