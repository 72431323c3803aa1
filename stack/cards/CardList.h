// The open stack's cards in memory: the card list, the card records in it, and the object
// records inside them.
//
// Each card is one handle holding its record in file layout, host order (StackFile.h): the
// 96-byte header, for kind 1 the picture block, the object records, then 00 00 FA CE. The list
// is a handle of 16-byte entries in card order, each a u32 record handle and 12 zero bytes.
// Deleting a card or an object only sets bit 0 of its flags; the record stays where it is
// until the undo step is discarded, and every walk here skips marked records. The card count
// (what a save writes into the header) therefore counts the cards not marked deleted.
//
// Records come from files and are hostile: every object walk checks each object's length
// against the record before it is used, and ends the list at the first one that does not fit.
//
// Files of this area, each with its functions below:
//   CardList.cpp            the list, lookups, picture holders, disposal
//   CardListObjects.cpp     objects inside records: find, insert, cut, copy
//   CardListStatistics.cpp  the stack statistics
//   CardListTesting.cpp     the testing answers kept in card records while the stack is open
//   ObjectScan.cpp          walks over the objects visible on a card (ObjectScan.h)
//   CardEdit.cpp            new cards and deleting cards (CardEdit.h)
//   CardEditPicture.cpp     storing the card picture into a record
//   CardEditObjects.cpp     moving objects between lists, background mode switches
//   CardEditOrder.cpp       object order within a list
//   CardList_win.cpp        the offscreen picture and the palette colours of the Windows build
//   StoredRecords.cpp       the records as the file holds them, written again while not edited,
//                           and the card picture's edit mark (StoredRecords.h)
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"
#include "format/StackFile.h"

inline constexpr uint32_t kCardListEntryBytes = 16;
inline constexpr uint32_t kNewCardRecordBytes = kCardHeaderBytes + 2;  // header and a 0 kind word

// Alerts of this area.
inline constexpr uint32_t kAlertNotEnoughMemory = 2224;
inline constexpr uint32_t kAlertPictureNotStored = 2230;
inline constexpr uint32_t kAlertCardLocked = 2211;
inline constexpr int kAlertCardLockedYes = 1;  // its buttons: Yes, No
inline constexpr uint32_t kAlertButtonsLinkToCard = 2217;
inline constexpr uint32_t kAlertDeleteWholeCard = 2219;
inline constexpr uint32_t kAlertManyCards = 2303;
inline constexpr uint32_t kStringLeaveStackAction = 2034;
// The card count at which a user who is not advanced is advised to split the project.
inline constexpr int kManyCardsCount = 20;

// ---- CardList.cpp ----
// Inserts a record after the position-th card (0 or less: first; past the end: last) and
// counts it. 0, or 1 when the list cannot grow (alert 2224; nothing changed).
int AddCardRecord(Handle record, int position);
// Takes the record at a 1-based place out of the list (the count is the caller's); the record,
// or 0 outside the list.
Handle TakeCardRecordAt(int index);
// The record at a 1-based place of the list, deleted or not; 0 outside the list.
Handle GetCardByIndex(int index);
// The 1-based place of a record; CountCards() + 1 when it is not in the list.
int GetCardIndex(Handle record);
// The list's handle (what modules are handed; 0 before the first card).
Handle GetCardListHandle();
// Exchanges two entries (1-based places) of the list; false when either lies outside it.
bool SwapCardEntries(int a, int b);
// Entries of the list (deleted cards included).
int CountCards();
// The card count: cards not marked deleted.
int GetCardCount();
void SetCardCount(int count);
// The first card with that id, or with that name (length-prefixed, equal ignoring ASCII case);
// 0 when none. Cards marked deleted are found too: their pictures stay shared until they go.
Handle FindCardById(uint16_t id);
Handle FindCardByName(const uint8_t* name);
uint16_t GetCardId(Handle record);    // 0 for no record
uint16_t GetCardKind(Handle record);  // 0 for no record
bool IsCardDeleted(Handle record);
// A stack keeps one card: when every card is marked deleted, the first loses its mark, so that
// dropping the marked records never leaves a stack without cards.
void KeepOneLiveCard();
// The record of the current card id, 0 when there is none.
Handle GetCurrentCardRecord();
// For a kind-3 card the id at the end of its chain of background ids, else its own id. The
// chain ends early at a card that names a missing card; one that runs longer than the list
// (a loop) counts as no chain, and the card's own id is returned.
uint16_t GetPictureHolderId(Handle record);
// The record itself for kind 1, else the card named by its background id (0 when none).
Handle ResolvePictureResource(Handle record);
// Kind 0: false; kind 1: whether some kind-3 card names this card; kind 3: true.
bool HasBackgroundRecord(Handle record);
// Bytes of the colour table a picture of the stack's depth carries (16 entries at 4 bits,
// else 256).
uint32_t ColorTableSize();
// The stack's picture depth and card size from the open header (24 bits counts as 32; without a
// header 8 bits and 512 by 384).
uint16_t CurrentStackDepth();
void CurrentCardSize(uint16_t* width, uint16_t* height);
// Writes the handle's size into the record's length field (after every change of size).
void SyncCardLength(Handle record);
// Runs the stack's closing action, then disposes the header, every record and the list; the
// count, the current card and its id become 0.
void DisposeCards();
// Clears the run-time testing-answer handle (record offset 24) of every card: what a file holds
// there is meaningless, so nothing is freed (the opening of a stack runs it).
void ClearTestingAnswers();

// ---- CardListObjects.cpp ----
// One object record inside a card record.
struct ObjectPlace {
    uint32_t offset = 0;  // of the record, from the start of the card record
    uint32_t length = 0;
    uint16_t kind = 0;
    uint16_t id = 0;
    uint16_t flags = 0;
};

// Walks the object records of a host-order card record from `start` (0: the list's start).
// A record's end is 4 bytes before the card's end; an object that is shorter than the common
// header or runs past that end ends the walk, as the 0 kind word does.
class CardObjectWalk {
public:
    explicit CardObjectWalk(std::span<const uint8_t> card, uint32_t start = 0);
    bool Next(ObjectPlace& place);
    // Where the walk stands: after the end, the offset of the 0 kind word (or of the first
    // object that did not fit).
    uint32_t Position() const { return position_; }

private:
    std::span<const uint8_t> card_;
    uint32_t position_;
    uint32_t limit_;
    bool done_ = false;
};

// Walks the chunks of a host-order button record, from the end of its 136-byte header to the
// record's end (its pad byte left out); a chunk shorter than its 32-byte header or running past
// that end ends the walk. The places are the chunks' offsets inside the button record.
class ButtonChunkWalk {
public:
    explicit ButtonChunkWalk(std::span<const uint8_t> button);
    bool Next(ObjectPlace& place);

private:
    std::span<const uint8_t> button_;
    uint32_t position_;
    uint32_t limit_;
};

// Where the object list of a record starts (CardObjectsOffset, StackFile.h) and ends.
uint32_t CardObjectsEnd(Handle record);
// The n-th object (from 0) of a host-order card record; false when it has fewer.
bool NthCardObject(std::span<const uint8_t> card, size_t n, ObjectPlace* place);
// The places of a record's objects in list order, deleted ones included; none when it is gone.
std::vector<ObjectPlace> CardObjectPlaces(Handle record);
// Calls visit(place, record bytes) for the record's objects in list order while it returns
// true; false when the record is gone.
template <typename Visit>
bool WalkCardObjects(Handle record, Visit visit) {
    HandleLock lock(record);
    if (!lock)
        return false;
    const std::span<const uint8_t> bytes = lock.bytes();
    CardObjectWalk walk(bytes);
    ObjectPlace place;
    while (walk.Next(place) && visit(place, bytes)) {
    }
    return true;
}
// The first object of the record, in list order, that test accepts (into found unless null);
// false when none does.
template <typename Test>
bool FirstCardObject(Handle record, Test test, ObjectPlace* found) {
    bool hit = false;
    WalkCardObjects(record, [&](const ObjectPlace& place, std::span<const uint8_t>) {
        hit = test(place);
        if (hit && found)
            *found = place;
        return !hit;
    });
    return hit;
}
// The first object of the kind whose id is the wanted id or whose own id is 0; deleted objects
// are found too (undo restores them).
bool FindObjectInCard(uint16_t kind, uint16_t id, Handle record, uint32_t* offset);
// The same over the current card, then every other card in list order.
bool FindObject(uint16_t kind, uint16_t id, Handle* record, uint32_t* offset);
// Runs read on the bytes of the object's record, from the object on, when FindObject finds it
// and it holds at least need bytes; false otherwise.
template <typename Read>
bool ReadObjectRecord(uint16_t kind, uint16_t id, uint32_t need, Read read) {
    Handle card = 0;
    uint32_t offset = 0;
    if (FindObject(kind, id, &card, &offset)) {
        HandleLock lock(card);
        const std::span<const uint8_t> bytes = lock.bytes();
        if (lock && offset <= bytes.size() && bytes.size() - offset >= need) {
            read(bytes.subspan(offset));
            return true;
        }
    }
    return false;
}
// The object's record inside its (unlocked) card record, or null. Valid until the card record
// changes size.
uint8_t* GetObjectPtr(uint16_t kind, uint16_t id);
// The 1-based place of the object among the objects of its kind in the record; 0 when absent.
int GetObjectIndex(Handle record, uint16_t kind, uint16_t id);
// A copy of one object record in a new handle; 0 when it cannot be made.
Handle CopyObjectRecord(Handle record, uint32_t offset);
// Inserts object bytes into a record at an offset inside its object list. 0, or -1 when the
// record cannot grow (nothing changed).
int InsertObjectBytes(Handle record, uint32_t offset, std::span<const uint8_t> object);
// Removes the object at offset. 0, or -1.
int RemoveObjectRecord(Handle record, uint32_t offset);
// Sets or clears flag bits of the object at offset.
void SetObjectFlags(Handle record, uint32_t offset, uint16_t set, uint16_t clear);
// The object's stored rectangle (left, top, right, bottom, narrowed to 16 bits); false when the
// object is not in the stack.
bool SetObjectRect(uint16_t kind, uint16_t id, int left, int top, int right, int bottom);

// ---- CardListStatistics.cpp ----
struct StackStatistics {
    uint16_t cardCount = 0;
    uint16_t buttons = 0;
    uint16_t graphics = 0;
    uint16_t textFields = 0;
    uint32_t cardBytes = 0;      // 128 + the records as held (a save writes unedited ones as stored)
    uint32_t resourceBytes = 0;  // the resource area of the stack's resource file
};
// Fills the statistics of the cards and objects a save would write (marked records left out)
// and returns cardBytes + resourceBytes, the size of the file a save writes.
uint32_t GetStackStatistics(StackStatistics* statistics);

// ---- CardListTesting.cpp ----
// A card's testing answer: a handle of 260 bytes in the record's field at offset 24 while the
// stack is open: a 32-bit flag (1 correct, 0 incorrect) then the label of the object answered,
// NUL-terminated. The field is a run-time value: a save writes 0 there, a copied or imported card
// starts with 0, and closing the stack frees every answer.
inline constexpr uint32_t kTestingAnswerBytes = 260;
inline constexpr uint32_t kTestingAnswerLabel = 4;
inline constexpr size_t kTestingLabelCharacters = kTestingAnswerBytes - kTestingAnswerLabel - 1;
// The card's answer handle, 0 when it has none (or the field holds no answer of this run).
Handle GetCardTestingAnswer(Handle card);
// Keeps the answer on the card, replacing an earlier one; the label is cut to 255 characters
// (at a NUL too). False when the card cannot take it or memory runs out (nothing changed).
bool SetCardTestingAnswer(Handle card, bool correct, std::string_view label);
// Frees the card's answer and zeroes the field (before the record goes).
void FreeCardTestingAnswer(Handle card);
// Frees the answers of every card of the list (closing the stack).
void FreeTestingAnswers();
// Zeroes the field in a copy of a card record or in the bytes a save writes.
void ZeroTestingAnswerField(std::span<uint8_t> record);
// Counts the live cards that hold an answer, and those of them answered correctly.
void CountTestingAnswers(int* answered, int* correct);

// ---- CardList_win.cpp ----
// A new DIB of the card offscreen as the stack keeps pictures: at the display's depth (24 bits
// as 32), in the stack's pixel layout (16 bits high byte first, 32 bits x-R-G-B), bottom row
// first; 0 when there is none.
DibHandle OffscreenPictureForStack();
// The application palette's colours (kept until the next call).
std::span<const PaletteColor> AppPaletteColors();
