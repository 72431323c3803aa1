// The card's work in progress ended: placements of new objects finished at the off-card point,
// every selection and edit let go, as leaving a card, a tool change or a key asks
// (EditsInProgress_win.cpp).
#pragma once

// The off-card points a placement or a selection is ended at: placed, or committed.
inline constexpr int kOffCardPlacement = 5000;
inline constexpr int kOffCardCommit = 10000;

// 1 when a placement in progress (clip art, a new graphic, text object or button) was ended at
// the off-card point and kept, 0 when none was.
int FinishPendingPlacement();
// 1 when a placement in progress was dropped, nothing of it kept (Escape), 0 when none was.
int CancelPendingPlacement();
// Ends every selection and edit in progress.
void DeselectAll();
