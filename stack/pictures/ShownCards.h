// Cards re-coloured only to be shown. On a palette display a card whose picture does not begin
// with the system's colours is re-mapped to the system palette in memory (its picture, its
// objects' colour indexes and those of the cards sharing its background); that is a view of
// the card, not an edit: a save writes the records as they were unless the card was edited
// since.
#pragma once

#include "core/memory/Handles.h"

// Before a card's records are re-mapped for showing: each record not already kept is kept as
// it stands. False when the stack's shown cards are stored as shown (below).
bool KeepCardAsStored(Handle card);
// After the re-mapping: the records as shown, to tell a later edit from the showing.
void NoteCardAsShown(Handle card);
// Around writing the stack: the cards that only were shown take their stored records back,
// then (after the write) the shown ones again. A card edited since it was shown keeps its
// edit, and is no longer kept.
void PutBackStoredCards();
void PutBackShownCards();
// Once the whole stack was converted to the display's depth (every card is stored again in
// the display's colours, as the user was told), cards shown are stored as shown: none is kept
// for this stack any more.
void StoreShownCards();
