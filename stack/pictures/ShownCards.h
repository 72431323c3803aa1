// Cards re-coloured only to be shown. On a palette display a card whose picture does not begin
// with the system's colours is re-mapped to the system palette in memory (its picture, its
// objects' colour indexes and those of the cards sharing its background); that is a view of
// the card, not an edit: a save writes the records as they were unless the card was edited
// since.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/Handles.h"

// Before the records of a card's picture are re-mapped for showing (the card's, the picture's
// and those of the cards sharing it): each record not already kept is kept as it stands. They
// go together from then on, since the objects' colour indexes name the picture's colours.
void KeepCardsAsStored(std::span<const Handle> records);
// After the re-mapping: the records as shown, to tell a later edit from the showing.
void NoteCardsAsShown(std::span<const Handle> records);
// Around writing the stack: the cards that only were shown take their stored records back,
// then (after the write) the shown ones again. A record edited since it was shown is written
// beside them in their stored colours: its objects not changed as stored, any colour index set
// since taking the nearest colour of the stored palette, its picture as stored; cards made since
// on a kept picture (a new card on its background, a copy of one of its cards) join its records
// the same way. A group with pixels new since it was shown (the picture painted, a graphic's
// picture made or changed) keeps what it holds now, in the shown colours, and is no longer kept.
void PutBackStoredCards();
void PutBackShownCards();
// Before the whole stack is converted (to the display's depth, to another card size): the cards
// only shown take their stored records back, so that each converts from its own picture and
// palette, and none is kept any more (the next showing keeps the converted ones).
void TakeBackStoredCards();
// The cards shown become the stack's records as they are now (a deep stack reduced to the
// palette display it is shown on, where the card in view is not drawn again): none is kept.
void StoreShownCards();

// The record holding a card's picture as the stack stores it: while that picture is fitted to a
// palette display, the bytes kept; else the record's own. What was made in the picture's colours
// (a frame animation's frames) names them by the stored table.
std::vector<uint8_t> StoredPictureRecord(Handle card);

// The card picture's paint count. Whatever paints the card picture in the offscreen for good (a
// selection laid down, a colour replaced, a picture imported or filled in, an undo, a module's
// drawing, the picture's colours changed) notes it; a redraw notes the picture shown. While no
// paint came since, storing the card's edits leaves its picture as it is (on a palette display
// the offscreen shows the picture fitted to the display, which is no edit of it).
void NoteCardPicturePainted();
void NoteCardPictureShown();
bool CardPicturePainted();
