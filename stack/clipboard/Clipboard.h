// The clipboard: the internal copy of what was copied (bitmaps, paint selections, objects and
// whole cards with the resources they refer to), and the system clipboard beside it. A private
// marker format on the system clipboard says that the internal copy is the current content;
// when another program replaces the content the marker goes and the copy is no longer offered.
//
//   ClipboardState.cpp      the internal clipboard and emptying it
//   ClipboardResources.cpp  resources travelling with objects and cards, action copies
//   ClipboardCard.cpp       Copy Card, Cut Card, Paste Card
//   ClipboardDib.cpp        checking packed DIBs that come from other programs (ClipboardDib.h)
//   Clipboard_win.cpp       the system clipboard: copy of bitmaps, selections, objects
//   ClipboardPrepare_win.cpp a pasted bitmap matched to the card palette
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/memory/Handles.h"

enum ClipboardKind : int { kClipNone = 0, kClipBitmap = 1, kClipSelection = 2, kClipObject = 3, kClipCard = 4 };

inline constexpr uint32_t kStringTextObjectNoun = 4042;
inline constexpr uint32_t kStringButtonNoun = 4043;
inline constexpr uint32_t kStringGraphicNoun = 4044;
inline constexpr uint32_t kStringCardNoun = 4045;
inline constexpr uint32_t kAlertCommercialNba = 2297;
inline constexpr int kHeldActionSlots = 3;

struct InternalClipboard {
    int kind = kClipNone;
    uint32_t tool = 0;            // the tool at copy time; Paste selects it again
    Handle dib = 0;               // packed DIB (kinds 1 and 2)
    uint32_t mask = 0;            // device bitmaps of a paint selection (kind 2)
    uint32_t outline = 0;
    int x = 0, y = 0;             // where the bitmap or selection was
    Handle record = 0;            // the object record (3) or the whole card record (4)
    Handle held = 0;              // chain of held resource copies
    Handle actions[kHeldActionSlots] = {};  // object: slot 0; card: its three action slots
    bool resourcesFromThisStack = false;  // see HeldResourcesFromThisStack
    uint32_t purgeCountAtCopy = 0;        // ResourcePurgeCount when they were held
    bool cardFromThisStack = false;
    uint16_t sourceCardId = 0;
};

// ---- ClipboardState.cpp ----
InternalClipboard& Clip();
// Frees everything the internal clipboard holds; the kind becomes 0.
void ClearInternalClipboard();
// Empties the system clipboard and the internal one.
void ClearClipboard();
// A stack was opened or made: what the clipboard holds is foreign from now on.
void ClearClipboardFromThisStack();
// The held resources are this stack's own and still in it: they were copied from the open
// stack and no save has purged its resources since.
bool HeldResourcesFromThisStack();
// They were copied from the open stack now.
void MarkHeldResourcesFromThisStack();
// The marker goes on the system clipboard (the internal one is the current content).
void SetClipboardMarker();

// ---- ClipboardResources.cpp ----
// Holds the resources a button (found by buttonId in the stack; 0: the given action record)
// refers to: its icon, sound, NBA data and transition. References that cannot be held are
// cleared in the record. 1, or 0 (clipboard cleared) when the button is missing or its NBA
// data cannot be held. A commercial NBA ('NBAp') shows alert 2297 and is left behind.
int GatherObjectResources(uint16_t buttonId, Handle* chain, Handle actionRecord);
// The record stored as a new 'Actn' resource (word 1 set to the new id): the id, or 0.
uint16_t StoreActionCopy(Handle record, uint32_t flags);
// The same for the button at offset of a record (0: the record is a button or 'Actn' record).
int GatherButtonResources(Handle record, uint32_t offset, Handle* chain);
// The held resources stored into the stack when they came from another one (kept for later).
void StoreClipboardResources();
// A private copy of a resource's data in the stack's file; 0 when absent.
Handle DuplicateResource(uint32_t type, uint16_t id);
// After an object was pasted: the held resources stored when foreign, the held action stored
// and its id written into the object.
void AttachClipboardActions(uint16_t kind, uint16_t id);
// Copies an object of the stack into the internal clipboard (kind 3) with what it refers to;
// actionId is the action resource named by its layer (graphic, text). False when not found.
bool CopyObjectRecordToClipboard(uint16_t kind, uint16_t id, uint16_t actionId);

// ---- ClipboardCard.cpp ----
void CopyCardToClipboard();
void CutCard();
// Paste Card (kind 4); 1 when a card was pasted.
int PasteCard();

// ---- Clipboard_win.cpp ----
// Registers the marker format (at attach); its id, 0 when it could not be registered.
unsigned RegisterClipboardMarker();
bool IsClipboardMarkerPresent();
