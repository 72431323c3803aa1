// Making a card visible: its picture into the offscreen, its objects as layers over it, shown
// with a transition; and one object redrawn after it was shown, hidden or moved
// (CardRedraw_win.cpp).
#pragma once

#include <cstdint>

#include "core/Handles.h"

// Draws and shows the card (a card record handle); entering: the card is being entered rather
// than refreshed. The caller has emptied the layer list.
void RedrawCard(Handle card, int transition, int effectId, int speed, bool entering);
// Redraws the area of one object of the current card (kind 16, 48 or 96 and its id); direct:
// 1 copies straight to the window (and lets a hidden object show while its kind's hidden
// objects are shown), else the transition runs over the area.
void UpdateObjectOnCard(uint16_t kind, uint16_t id, int effectId, int speed, int transition, int direct);
