// Walks over the objects visible on a card: its own objects and the background-layer objects
// (flag 0x10) of the card that holds its picture. Objects marked deleted are never returned.
//
//   ObjectScan scan;
//   BeginObjectScan(scan, card, false);
//   ScannedObject object;
//   while (NextObjectInScan(scan, &object, true)) { ... }
//   EndObjectScan(scan);
//
// Started on the card, a walk gives the card's objects, then its picture holder's background
// objects; started on the holder, the holder's background objects, then all the card's own.
// The record being walked stays locked; callers must not change its size during the walk.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"
#include "stack/cards/CardList.h"

struct ObjectScan {
    Handle record = 0;            // the record being walked; 0 once the walk is over
    uint32_t position = 0;        // offset of the next object to look at
    bool allObjects = false;      // every object of this record, else background-layer ones only
    bool startedOnHolder = false;
    bool switched = false;        // the walk has moved on to its second record
    uint16_t cardId = 0;          // the card the walk is for
};

// An object's place and the record it lies in.
struct ScannedObject : ObjectPlace {
    Handle record = 0;
};

// Starts a walk on the card's picture holder (ResolvePictureResource; the card itself when it
// has none) or on the card.
void BeginObjectScan(ObjectScan& scan, Handle card, bool startOnHolder);
// The next visible object. At a record's end the walk moves to its second record and, with
// goOn, goes on there; without goOn that call returns false and the next call goes on.
bool NextObjectInScan(ObjectScan& scan, ScannedObject* object, bool goOn);
void EndObjectScan(ObjectScan& scan);

// Offset and length of an object record's name field by kind (graphic +38, button +28, text
// field +72); false for other kinds.
bool ObjectNameField(uint16_t kind, uint32_t* offset, uint32_t* bytes);

// Lookups over the visible objects of a card. `*record` is the card on the way in and the
// record holding the object on the way out; *offset is the object's place in it.
// Names are compared at graphic +38, button +28, text field +72 (ignoring ASCII case when
// asked).
bool FindObjectByName(uint16_t kind, const uint8_t* name, Handle* record, bool ignoreCase, uint32_t* offset);
// The n-th (1-based) visible object of the kind.
bool FindObjectByIndex(uint16_t kind, int n, Handle* record, uint32_t* offset);
// FindObjectByName over every card in list order; *record receives the record holding it.
bool FindObjectByNameInCards(uint16_t kind, const uint8_t* name, Handle* record, bool ignoreCase, uint32_t* offset);
