// The card area: the card offscreen's size and depth and the card window around it
// (CardArea_win.cpp).
#pragma once

// The card offscreen rebuilt at that size and depth, then SizeWindowToCard.
void ResizeCardArea(int width, int height, int depth);
// The card window sized (not moved) to the card plus its borders; nothing unless both are
// positive.
void SizeWindowToCard(int width, int height);
