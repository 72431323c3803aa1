// Pasting into the card's objects: an object from the internal clipboard. Text pasted into the
// active text field is objects/text/ActiveTextField.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "layers/ObjectLayer.h"

// The clipboard's object record placed on the current card with a new id (centred when it
// lies off the card), its held resources and actions stored, a layer of its own made in front
// of the others, and selected.
void PasteObjectOntoCard(HWND window);
// An object record (host order) whose rectangle does not meet the card is centred on it.
void CenterObjectOffCard(std::span<uint8_t> object, int cardWidth, int cardHeight);
// The layer of the stored object, appended at the end of the list; 0 when refused.
LayerHandle MakeObjectLayer(uint16_t kind, uint16_t id);
// A text object record placed on a card: its text belongs to that card.
void GiveTextToCard(std::span<uint8_t> object, uint16_t cardId);
// After a text object's layer is made for a placed record: its text is written back at the next
// sync, so that the record holds it as the window shows it.
void MarkPlacedTextModified(LayerHandle layer);
