// Making a card visible: its picture into the offscreen, its objects as layers over it, shown
// with a transition; and one object redrawn after it was shown, hidden or moved. What the
// redraw asks of the layers above is CardUpcalls.h.
//
//   CardRedraw_win.cpp    RedrawCard, UpdateObjectOnCard, ShowCardAsItIs
//   CardLayers_win.cpp    BuildCardLayers, the animation start frames
//   OldCard_win.cpp       TakeOldCard, the picture a move's effect plays from
//   DefaultPaletteCard_win.cpp  the card on display back to the default palette
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "cardview/transitions/CardTransitions.h"
#include "layers/LayerBuild.h"
#include "layers/ObjectLayer.h"

// The alert shown when a card's picture cannot be read ("Sorry, some kind of error has
// occurred."); the card then shows white.
inline constexpr uint32_t kAlertPictureUnreadable = 2235;

// ---- CardRedraw_win.cpp ----
// Draws and shows the card (a card record handle); entering: the card is being entered rather
// than refreshed. The caller has emptied the layer list. Afterwards the offscreen holds the
// bare picture, the list the card's layers, the picture palette is also the application
// palette and the card rectangle of the card window is valid. The card is shown with the move's
// transition (cardview/transitions/CardTransitions.h).
void RedrawCard(Handle card, const CardMove& move, bool entering);
// Redraws the area of one object of the current card (kind 16, 48 or 96 and its id); direct:
// 1 copies straight to the window (and lets a hidden object show while its kind's hidden
// objects are shown), else the move's transition runs over the area.
void UpdateObjectOnCard(uint16_t kind, uint16_t id, const CardMove& move, int direct);
// The card as it shows (its picture and its layers) brought onto the card window again with the
// move's transition; the layers, the text windows and the undo steps stay as they are.
void ShowCardAsItIs(const CardMove& move);

// ---- CardLayers_win.cpp (the layers themselves: layers/LayerBuild.h) ----
// The start frames of the card's and its objects' animations, into the offscreen DC (browse
// tool only), with the picture palette (else the application palette) selected.
void DrawCardAnimationStarts(Handle card, HDC dc);
// Only the card's movie stills, into dc (the card window while a movie plays, which a redraw
// of the whole card would end); the animations are left as they are.
void DrawCardMovieStills(Handle card, HDC dc);
// The id of the card whose start frames are being drawn, 0 when none: a movie's file asked for
// meanwhile is for that card's still.
uint16_t StartFramesCardId();
// One start frame: the action block is the 'Actn' resource actionId when not 0, else record.
void DrawObjectAnimationStart(std::span<const uint8_t> record, uint16_t actionId, HDC dc);

// ---- OldCard_win.cpp ----
// The one capture of the picture a move's effect plays from, when the move needs one
// (NeedsOldCard) and has none yet (a waiting move keeps the one it took): the card left (a card
// record) rendered with its layers, whatever the window shows; without one, or when it cannot be
// rendered, the window's client area as it shows (a redraw in place).
void TakeOldCard(CardMove& move, HWND window, Handle leftCard = 0);

// ---- DefaultPaletteCard_win.cpp ----
// Resets the card on display to the default palette: the application palette takes the default
// entries (except on 8-bit displays), is stored with the card's picture, and with
// convertPixels an 8-bit stack on a deeper display has its offscreen matched to it, the card's
// colours are re-mapped and the card drawn again.
void ConvertCardToDefaultPalette(HWND window, BOOL convertPixels);
