// Writing the current card's pending edits into its record, before it is left, copied, saved or
// the card list grows: text fields from their layers and, when the card was painted on, the
// offscreen picture (CardFlush_win.cpp).
#pragma once

void FlushCardEdits();
