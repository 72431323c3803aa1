// Undo: the one undoable step of the program. Every change that can be undone records the step
// just before it changes anything; recording first discards the previous step, and discarding a
// step is when cards and objects marked deleted leave the stack for good.
//
//   Undo.cpp            the record, its count, the kind table, ClearUndo and the menu text
//   UndoRecorders.cpp   the recorders (one per family of steps)
//   UndoPerform.cpp     undoing the kinds that need only the stack
//   CardDelete.cpp      deleting cards, each deletion an undoable step
//
// The recorders that take an object's layer, and undoing what needs more than the stack, are
// authoring's (authoring/cards/Cards.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/memory/Handles.h"

// The record: 98 bytes, machine byte order.
inline constexpr uint32_t kUndoRecordBytes = 98;
enum UndoOffset : uint32_t {
    kUndoKind = 0,         // u16
    kUndoSnapshot = 2,     // u32: DIB of the offscreen, or the selection's saved data
    kUndoValue1 = 6,       // u32: paint text caret x
    kUndoValue2 = 10,      // u32: paint text caret y
    kUndoTool = 14,        // u32: the tool current when recorded
    kUndoBitmap1 = 18,     // u32: masked selection pixels
    kUndoBitmap2 = 22,     // u32: mask
    kUndoBitmap3 = 26,     // u32: outline
    kUndoObjectRect = 30,  // 4 x i32
    kUndoMaskX = 46,
    kUndoMaskY = 50,
    kUndoMoveX = 54,
    kUndoMoveY = 58,
    kUndoSelectRect = 62,  // 4 x i32
    kUndoSelectBitmap = 78,
    kUndoObjectKind = 82,  // u16
    kUndoObjectId = 84,    // u16
    kUndoLayer = 86,       // u32: unused; the layer is found by kind and id when undoing
    kUndoRecordCopy = 90,  // u32: handle of a copy of the object record
    kUndoPalette = 94,     // u32: palette saved with a background import
};

inline constexpr int kUndoKindCount = 37;
inline constexpr uint32_t kStringUndo = 2701;
inline constexpr uint32_t kStringUndoShortcut = 2714;
inline constexpr uint32_t kStringUndoFilter = 2722;
// Object kind 0 in a deletion step (kind 11) names a card.
inline constexpr uint16_t kUndoCardObjectKind = 0;

// The menu string of a kind (2702..2723), 0 outside the table.
uint32_t UndoKindStringId(int kind);
// Whether undoing this kind keeps the step (so that a second Undo redoes).
bool UndoKindToggles(int kind);

bool CreateUndoRecord();
// Discards the step, then frees the record.
void FreeUndoRecord();
bool HasUndoRecord();
// 1 when a step is present, else 0.
int GetUndoCount();
// The kind of the present step, -1 when none.
int GetUndoKind();
// A field of the present record (0 without one); for tests and the neighbours.
uint32_t GetUndoField(uint32_t offset, int width = 4);
// The card the present step was recorded on (0 when none).
uint16_t GetUndoCardId();

// Removes the cards and objects marked deleted; the card count becomes the list size.
void PurgeDeletedRecords();
// Purges the deleted records, frees what the step owns (clearing each field freed) and sets the
// count to 0.
void ClearUndo();
// Leaving a card: a deletion step lives on, every other step goes with its card.
void DiscardUndoOnLeavingCard();

// ---- UndoRecorders.cpp ----
void RecordPaintUndo();
void RecordPaintUndoAt(int x, int y);
int RecordFilterUndo(char letter);
int RecordSelectionUndo(char letter, uint32_t data, uint32_t pixels, uint32_t mask, uint32_t outline, int x,
                        int y);
void RecordGraphicMoveUndo(int dx, int dy);
void RecordSelectionMoveUndo(char letter, int left, int top, int right, int bottom, uint32_t bitmap);
int PushUndoByCommand(char letter, uint32_t data, uint32_t bitmap, int left, int top, int right, int bottom);
void RecordFlipUndo(char letter);
void RecordObjectDeleteUndo(uint16_t kind, uint16_t id);
// The object's kind, id and rectangle (left, top, right, bottom) before the move.
void RecordObjectMoveUndoFor(uint16_t kind, uint16_t id, const int32_t rect[4]);
// A copy of the object's record; kind 13, 14 or 15 by the object's kind. Nothing when the object
// is not found or cannot be copied.
void RecordObjectEditUndoFor(uint16_t kind, uint16_t id);
void SetUndoKindByLetterFor(uint16_t kind, uint16_t id, char letter);
void RecordImportBackgroundUndo(uint32_t snapshot, uint32_t palette);
// A card deletion: kind 11 naming the card (object kind 0). Called after the card was marked.
void RecordCardDeleteUndo(uint16_t cardId);

// ---- UndoPerform.cpp ----
// Whether the present step may be undone now: a step is present and was recorded on the
// current card (a deletion may be undone from any card).
bool UndoStepApplies();
// Undoes a step that needs only the stack (picture, deletion, object record, filter; an unknown
// kind is cleared). False, doing nothing, for the paint-selection kinds, object moves and
// background imports, which PerformUndo (authoring/cards/UndoPerform.h) undoes itself.
bool PerformRecordUndo(int kind);

// ---- CardDelete.cpp ----
// With `ask`: alert 2217 when buttons link to the card (Cancel, No, Yes: Yes marks them deleted
// too), else alert 2219 (No, Yes). Then the card is marked deleted, the count drops by one and
// the stack is marked changed. 1 when the card was deleted.
int DeleteCardRecord(uint16_t id, bool ask);
// Deletes the current card (alert 2211 first when it is locked) and makes the previous card
// current, the last one when the first was deleted. The only card is first joined by a fresh one.
void DeleteCurrentCard(bool ask);
