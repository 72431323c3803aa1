// The current card in place: its pending edits written into its record, and the card rebuilt
// and drawn again without leaving it (CardRefresh_win.cpp). The card layer asks for it through CardRedrawUpcalls.
#pragma once

#include "stack/format/StackFile.h"  // kPlainTransition, kPlainEffect, kPlainSpeed

// Rebuilds and redraws the current card in place (no actions run); redraw is passed on as the
// redraw's entering argument.
void RefreshCurrentCard(int redraw);
// Writes the current card's pending edits into its record: text fields from their layers and,
// when the card was painted on, the offscreen picture.
void FlushCardEdits();
