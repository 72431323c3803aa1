// Editing the cards of the open stack: new cards, storing the card picture into its record,
// moving object records between lists, a card's background mode, and object order. Deleting a
// card is an undoable step: stack/undo/Undo.h.
// The list and lookups are CardList.h; what these ask of the rest of the program (alerts,
// offscreen, going to a card) goes through stack/StackUpcalls.h.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/Handles.h"

// ---- CardEdit.cpp ----
// Makes a card after the current one (first when there is none) and goes to it: with `share`
// it shares the current card's picture holder (kind 3), else it takes the card picture as its
// own (kind 1; converted to the default palette first unless `blank`), and with `blank` the
// picture is erased once the card is entered. Alert 2303 when a user who is not advanced has
// just reached 20 cards. The new record, or 0 (alert 2224).
Handle NewCard(bool blank, bool share);
// The buttons (not marked deleted, on any card) that go to this card: flag 0x20 at +20, the
// card's id at +16 and no chunk 60, which would send them to a card of another stack.
struct LinkedButton {
    Handle record = 0;
    uint32_t offset = 0;
};
std::vector<LinkedButton> FindButtonsLinkingTo(uint16_t cardId);

// ---- CardEditPicture.cpp ----
// Stores a picture into a card: the block header, the Mac colour table and the PackedPicture
// (host order) replace the target's old picture block. The target is the card, or for a kind-3
// card the card its background id names; a kind-3 target is left alone. The record becomes
// kind 1 with background id 0 and picture depth `depth`. 0, or -1 when the record cannot grow
// (nothing changed) or does not exist.
int StorePictureBlock(Handle card, std::span<const uint8_t> colorTable, std::span<const uint8_t> packed,
                      uint16_t depth);
// Takes the card offscreen, packs it and stores it into the card (above); records the menu-bar
// flag and the depth in the card. 0, or -1 after alert 2230.
int SaveBackgroundPicture(Handle card);
void SaveCurrentBackground();

// ---- CardEditObjects.cpp ----
// Moves (or copies) an object record into another record, at the start of its object list
// (toFront) or at its end. 1 on success; 0 when the object is missing, or after alert 2224 when
// the target cannot grow (the source is then unchanged).
int MoveObjectToOtherList(uint16_t kind, uint16_t id, Handle target, bool copy, bool toFront);
int MoveObjectRecord(Handle source, uint32_t offset, Handle target, bool copy, bool toFront);
// After an edit, puts the object into the list its background flag (0x10) calls for: the card's
// own list, or its picture holder's unless the card is kind 1.
void UpdateObjectLayer(uint16_t kind, uint16_t id, Handle card);
// Copies each background-layer object (not marked deleted) of the source record to the start of
// the target's object list, keeping their order, each with a new object id. 0, or -1.
int CopyBackgroundObjects(Handle source, Handle target);
// Kind 0 or 1: the first kind-3 card sharing it takes over its picture and its background
// objects, and the other sharers are pointed at that one. Kind 3: the card takes the current
// picture and its holder's background objects as its own. 1 when something changed.
int SwitchCardBackgroundMode(Handle card);

// ---- CardEditOrder.cpp ----
// Moves an object within its record's list: towards the end (front) or the start (back), one
// place or all the way. 1 when it moved.
int MoveObjectInList(Handle record, uint32_t offset, bool towardsFront, bool allTheWay);
