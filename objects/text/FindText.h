// Find Text: the one search state of the program, the search of a text, and the walk over the
// stack's text objects card by card from the current one.
//
//   FindText.cpp       the state's handle, SearchInText, the walk over the records (no Windows)
//   FindText_win.cpp   the state made at start-up, the walk over what is on screen, the "FIND_TEXT"
//                      dialog and a match selected in its field
// Going to the card of a match lies in the host (host/menus/FindTextCommand.h), which the
// command and the find request share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/memory/Handles.h"

enum FindFlag : uint16_t {
    kFindAllFields = 1,
    kFindEditable = 2,
    kFindReadOnly = 4,
    kFindCaseSensitive = 16,
    kFindWrap = 32,
    kFindAgain = 64,  // go on from just after the last match
};
inline constexpr uint16_t kFindInitialFlags = kFindAllFields | kFindWrap;
inline constexpr size_t kFindTextMax = 255;
// What the find command answers when the state could not be made at start-up.
inline constexpr int kFindNoState = 48;

struct FindState {
    uint16_t cardId = 0;       // card of the last match
    uint16_t objectId = 0;     // text object of the last match
    uint32_t offset = 0;       // character offset of the last match in that object's text
    uint32_t objectIndex = 0;  // objects of the card's walk before the next one to examine
    uint16_t flags = kFindInitialFlags;
    char search[kFindTextMax + 1] = {};  // NUL-terminated
};

// ---- FindText.cpp ----
// The state's handle, made once (false when it cannot be had); 0 before or after.
bool AllocFindState();
Handle GetFindState();
void FreeFindState();
// A copy of the state (the initial one when there is none), and the state written back (false
// when there is none).
FindState ReadFindState();
bool WriteFindState(const FindState& state);
// The search text as typed, cut to 255 characters.
void SetFindText(FindState& state, std::span<const char> text);
size_t FindTextLength(const FindState& state);

// The first occurrence of the pattern at or after *position within the text: byte for byte
// when case-sensitive, else ASCII letters without case. On success *position is the match's
// start; otherwise it is 0.
bool SearchInText(std::span<const uint8_t> pattern, std::span<const uint8_t> text, uint32_t* position,
                  bool caseSensitive);

struct FoundText {
    uint16_t cardId = 0;
    uint16_t objectId = 0;
    uint16_t options = 0;  // the object's options (read-only, ...)
    uint32_t offset = 0;
    uint32_t length = 0;   // of the search text
    int cardsVisited = 0;
};
// The walk over the records of the card list from the current card, as
// the state's flags say; a match is recorded in the state. The search text is in the Windows
// character set and is compared in Mac Roman when the stack's texts are. False when nothing
// matched (the state's match unchanged).
bool FindTextInCards(FindState& state, Handle currentCard, bool macText, FoundText* found);
