// The text entries of a text object record: one per card for a background field with per-card
// text, one otherwise; each holds the text bytes, then its style scrap of big-endian runs, then a
// pad byte when the two are odd. Platform-neutral: the field windows (objects/) and the card edits
// read and write the records through these.
//
// Every stored length is checked: an entry needs its 16-byte header and its whole length inside
// the record, its text and scrap inside the entry, runs inside the scrap; run starts are clamped
// into the text and kept in order.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/memory/Handles.h"

struct FieldTextEntry {
    uint32_t offset = 0;  // of the header, from the start of the object record
    uint16_t cardId = 0;
    uint32_t flags = 0;
    uint32_t textLength = 0;
    uint32_t length = 0;  // header, text, scrap and pad; 16 for an entry not yet set
};

struct StyleRun {
    int32_t start = 0;
    int16_t lineHeight = 16;
    int16_t ascent = 13;
    int16_t fontNumber = 0;
    uint8_t face = 0;
    int16_t size = 16;
    uint16_t red = 0, green = 0, blue = 0;  // component in the high byte
};

// Bytes of a scrap holding one run: the count and the run.
inline constexpr uint32_t kOneRunScrapBytes = 2 + 20;

// The entries in order, as long as the type word is 99 and the lengths hold. An empty object's
// one header, whose length is not yet set, is an entry of 16 bytes with no text.
std::vector<FieldTextEntry> ListFieldTextEntries(std::span<const uint8_t> object);
// The entry for a card: a foreground object's first; else the card's own, else the clipboard's
// source card's (0: none), else the first.
std::optional<FieldTextEntry> FindFieldTextEntry(std::span<const uint8_t> object, uint16_t cardId,
                                                 uint16_t clipboardCardId);
std::span<const uint8_t> FieldEntryText(std::span<const uint8_t> object, const FieldTextEntry& entry);
// What follows the text, the pad byte left out.
std::span<const uint8_t> FieldEntryScrap(std::span<const uint8_t> object, const FieldTextEntry& entry);

// The runs of a scrap (count 0 gives none); starts clamped into [0, textLength], in order.
std::vector<StyleRun> ReadStyleScrap(std::span<const uint8_t> scrap, uint32_t textLength);
std::vector<uint8_t> WriteStyleScrap(std::span<const StyleRun> runs);
// The entry's count and first run, or the default single run when it holds under 3 scrap bytes.
std::vector<uint8_t> GetFirstStyleRun(std::span<const uint8_t> object, uint16_t cardId, uint16_t clipboardCardId);
// The size a run is drawn at: 0 means 12.
inline int ShownRunSize(const StyleRun& run) { return run.size ? run.size : 12; }

// A disk-based object's 12-byte style block after its path, read into a run (start 0); the
// default run when the block is missing.
StyleRun ReadDiskStyle(std::span<const uint8_t> object);
bool WriteDiskStyle(std::vector<uint8_t>& object, const StyleRun& style);

// Replaces the card's entry with the text and scrap (given as stored: Mac Roman when the stack
// is), inserting an entry for a background object without one for the card; the record length
// follows. False when the object is no text object.
bool StoreFieldEntry(std::vector<uint8_t>& object, uint16_t cardId, uint16_t clipboardCardId,
                     std::span<const uint8_t> text, std::span<const uint8_t> scrap);
// Mode 1: drops the card's entries of a background object; any other mode, those of every other
// card. The last entry is never dropped but emptied. Returns how many went.
int PurgeFieldEntries(std::vector<uint8_t>& object, uint16_t cardId, int mode);
// The same on the text object of that id in a card record (its id is the card's).
int PurgeFieldCardEntries(uint16_t textId, Handle card, int mode);
// Stores the text into the object of that id in the card record, for the card id. 0, or -1 when
// the object is missing or the record cannot grow (the record unchanged).
int StoreFieldTextInRecord(uint16_t textId, Handle card, std::span<const uint8_t> text,
                           std::span<const uint8_t> scrap, uint16_t cardId, uint16_t clipboardCardId);

// What the record of a newly placed text object takes from its layer (host order).
struct NewTextObject {
    uint16_t id = 0;
    int16_t left = 0, top = 0, right = 0, bottom = 0;
    uint16_t options = 0;
    uint16_t flags = 0;         // 16 background, 32 hidden, 64 disk based, 128 transparent
    uint16_t colorPlusOne = 0;  // background colour index plus one, 0 none
    int16_t alignment = 0;
    uint16_t actionId = 0, cursorId = 0;
};
// The new record: the header, the base style from the scrap's first run (the default run when
// it has none), the name (at most 15 characters) and one entry for the card. A disk-based
// object's entry holds the packed file spec entry and the 12-byte style block; any other's
// is empty (the 144-byte record of an object with no text).
std::vector<uint8_t> BuildTextObjectRecord(const NewTextObject& fields, std::string_view name,
                                           std::span<const uint8_t> scrap, uint16_t cardId,
                                           std::span<const uint8_t> diskSpec);
