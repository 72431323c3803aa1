// Text links: a word or phrase of a text field that acts like a button. Each link is an 'Hlnk'
// resource of the open stack (id = the link's id, name = its first 31 characters) that belongs to
// one text object or to all of them (field id 0), matched to the text by its characters wherever
// they stand as a whole word.
//
//   TextLinks.cpp      the record, making and rewriting links, the matching rules, the links a
//                      copied card or object takes with it (no Windows)
//   TextLinks_win.cpp  finding the link under a click in a field window and flashing it
//                      (TextLinks_win.h)
// Following a link (it performs actions) lies in the host (host/player/TextLinkFollow.h); the
// links dialog in authoring/text (TextLinksDialog.h); a typed web address's link in actions
// (actions/TextLinkActions.h).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/memory/Handles.h"

inline constexpr size_t kLinkNameMax = 31;  // characters of a link's resource name
inline constexpr int32_t kFlashesPerLink = 3;
inline constexpr uint32_t kFlashMilliseconds = 300;  // one flash: shown half, hidden half

// ---- TextLinks.cpp ----
// A link record read with every stored length bounded by the record: the text cut to what the
// record holds, the actions only when a whole action record fits after the text.
struct LinkFields {
    uint16_t id = 0;
    uint16_t fieldId = 0;
    uint16_t pad = 0;
    bool hasActions = false;
    std::string_view text;
    uint32_t actionOffset = 0;  // 24 + length + pad; 0 without actions
};
std::optional<LinkFields> ReadLinkFields(std::span<const uint8_t> record);
// A record in memory order: the header, the text with its pad byte, then the action bytes.
std::vector<uint8_t> BuildLinkRecord(uint16_t id, uint16_t fieldId, std::string_view text, bool hasActions,
                                     std::span<const uint8_t> actions);
// The resource name: the first 31 characters, length-prefixed.
void LinkResourceName(std::string_view text, uint8_t (&name)[32]);

// A new link (no actions) for the text of the handle, written as a new 'Hlnk' resource of the
// open stack under a fresh id from the object-id counter; when that id is taken the link takes
// the one the resource writer used. The caller's copy of the record, or 0 (nothing added).
Handle NewLinkResource(Handle text, uint16_t fieldId);
// The record's data replaces that of the 'Hlnk' resource of its id (a copy), renamed by its
// text: 0, or 16 when there is no such resource.
int UpdateLinkRecord(Handle link);
// The action data to edit: a copy of a link with actions (*actionOffset after its text), else a
// new empty action record with a fresh object id (*actionOffset 0). *id is the link's id.
Handle CopyLinkRecord(Handle link, uint16_t* id, uint32_t* actionOffset);
// Whether the text begins, compared without case, with the text of any link of the stack.
bool LinkTextExists(std::string_view text);

// Whether text[start, end) stands as a word: no letter or digit before it, no letter, digit or
// '_' after it. Bytes from 128 count as letters.
bool IsWholeWordIn(std::string_view text, size_t start, size_t end);
// The matching of one link around a position p of a field. `window` holds the field's
// characters from `from` = max(p - n, 0) up to p + n (cut at the text's end); n is the link
// text's length. A match starting at a applies in a read-only field when a < p < a + n, in an
// editable one when the selection lies within a to a + n. The first applying match's range.
struct LinkRange {
    int32_t start = 0, end = 0;
};
std::optional<LinkRange> MatchLinkInWindow(std::string_view window, int32_t from, std::string_view linkText,
                                           bool readOnly, int32_t p, int32_t selStart, int32_t selEnd);

// The first occurrence of the link text in the text (ASCII letters folded unless exact); with
// wholeWord it must stand between delimiters (or the text's ends). Only the first is tested.
bool SearchLinkText(std::string_view linkText, std::string_view text, bool exact, bool wholeWord);

// The links with actions of the current resource file that must travel with a copied card or
// object, as held copies on the chain (what their actions use is held too):
// - with a field id: those whose field id maps to it through the copy's id pairs (or is it, in
//   import mode) and that still stand as a whole word in the field's text for the card (when a
//   card is given); outside import mode they are pointed at the field id;
// - without one: the links of all fields; outside import mode those the stack file on disk
//   already holds (a link of all fields with the same text) stay behind.
void GatherLinksForCopy(Handle card, uint16_t fieldId, Handle* chain, bool importMode);

