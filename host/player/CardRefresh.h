// The current card in place: its pending edits written into its record, and the card rebuilt
// and drawn again without leaving it (CardRefresh_win.cpp). The edits alone are written by
// FlushCardEdits (layers/CardFlush.h). The card layer asks for it through CardRedrawUpcalls.
#pragma once

#include "format/StackFile.h"  // kPlainTransition, kPlainEffect, kPlainSpeed

// Rebuilds and redraws the current card in place (no actions run); redraw is passed on as the
// redraw's entering argument.
void RefreshCurrentCard(int redraw);
