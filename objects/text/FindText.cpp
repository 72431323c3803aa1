// The search state and the walk over the card records (see FindText.h).
#include "objects/text/FindText.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/text/MacText.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "stack/cards/ObjectScan.h"

namespace {

Handle g_findState = 0;

uint8_t AsciiLower(uint8_t c) { return c >= 'A' && c <= 'Z' ? static_cast<uint8_t>(c + ('a' - 'A')) : c; }

// Whether the object is one the flags search: a shown text object with its own text (a
// disk-based object's entry holds the path of its file, not what it shows).
bool Searched(std::span<const uint8_t> object, uint16_t flags) {
    if (GetU16(object, kObjectKind) != kObjectText)
        return false;
    const uint16_t objectFlags = GetU16(object, kObjectFlags);
    if (objectFlags & (kObjectHidden | kObjectHasPath))
        return false;
    if (flags & kFindAllFields)
        return true;
    const bool readOnly = (GetU16(object, kTextOptions) & kTextReadOnly) != 0;
    return (flags & (readOnly ? kFindReadOnly : kFindEditable)) != 0;
}

// The object's text on this card: a background object's only when it holds an entry of the
// card's own (one with per-card text shows the first entry elsewhere, which is another card's).
std::span<const uint8_t> TextOnCard(std::span<const uint8_t> object, uint16_t cardId) {
    const auto entry = FindFieldTextEntry(object, cardId, 0);
    if (!entry)
        return {};
    if ((GetU16(object, kObjectFlags) & kObjectBackground) && entry->cardId != cardId)
        return {};
    return FieldEntryText(object, *entry);
}

struct CardSearch {
    std::span<const uint8_t> pattern;
    bool caseSensitive = false;
    bool again = false;  // the first visit of a search again
};

// One card's objects in their walk order; true at a match, recorded in the state.
bool SearchCard(FindState& state, Handle card, const CardSearch& search, uint16_t* options) {
    const uint16_t cardId = GetCardId(card);
    const uint32_t skip = search.again && state.objectIndex > 0 ? state.objectIndex - 1 : 0;
    const uint32_t lastOffset = state.offset;
    bool again = search.again;
    state.objectIndex = 0;
    ObjectScan scan;
    BeginObjectScan(scan, card, true);
    ScannedObject scanned;
    bool found = false;
    while (!found && NextObjectInScan(scan, &scanned, true)) {
        if (state.objectIndex < skip) {
            ++state.objectIndex;
            continue;
        }
        HandleLock lock(scanned.record);
        const std::span<const uint8_t> record = lock.bytes();
        if (scanned.offset <= record.size() && scanned.length <= record.size() - scanned.offset) {
            const std::span<const uint8_t> object = record.subspan(scanned.offset, scanned.length);
            if (Searched(object, state.flags)) {
                uint32_t position = again ? lastOffset + 1 : 0;
                if (SearchInText(search.pattern, TextOnCard(object, cardId), &position, search.caseSensitive)) {
                    state.cardId = cardId;
                    state.objectId = scanned.id;
                    state.offset = position;
                    *options = GetU16(object, kTextOptions);
                    found = true;
                }
            }
        }
        ++state.objectIndex;
        again = false;
    }
    EndObjectScan(scan);
    return found;
}

}  // namespace

bool AllocFindState() {
    if (IsValidHandle(g_findState) && GetHandleSize(g_findState) == sizeof(FindState))
        return true;
    g_findState = NewHandle(sizeof(FindState));
    return g_findState && WriteFindState(FindState{});
}

Handle GetFindState() { return g_findState; }

void FreeFindState() { DisposeHandleAndClear(&g_findState); }

FindState ReadFindState() {
    FindState state;
    HandleLock lock(g_findState);
    if (lock && GetHandleSize(g_findState) >= sizeof state)
        std::memcpy(&state, lock.get(), sizeof state);
    state.search[kFindTextMax] = '\0';
    return state;
}

bool WriteFindState(const FindState& state) {
    HandleLock lock(g_findState);
    if (!lock || GetHandleSize(g_findState) < sizeof state)
        return false;
    std::memcpy(lock.get(), &state, sizeof state);
    return true;
}

void SetFindText(FindState& state, std::span<const char> text) {
    size_t n = std::min(text.size(), kFindTextMax);
    if (const void* nul = std::memchr(text.data(), 0, n))
        n = static_cast<size_t>(static_cast<const char*>(nul) - text.data());
    std::memcpy(state.search, text.data(), n);
    std::memset(state.search + n, 0, sizeof state.search - n);
}

size_t FindTextLength(const FindState& state) { return strnlen(state.search, kFindTextMax); }

bool SearchInText(std::span<const uint8_t> pattern, std::span<const uint8_t> text, uint32_t* position,
                  bool caseSensitive) {
    const uint32_t from = *position;
    *position = 0;
    if (pattern.empty() || from > text.size() || pattern.size() > text.size() - from)
        return false;
    const auto same = [caseSensitive](uint8_t a, uint8_t b) {
        return caseSensitive ? a == b : AsciiLower(a) == AsciiLower(b);
    };
    const auto at = std::search(text.begin() + from, text.end(), pattern.begin(), pattern.end(), same);
    if (at == text.end())
        return false;
    *position = static_cast<uint32_t>(at - text.begin());
    return true;
}

bool FindTextInCards(FindState& state, Handle currentCard, bool macText, FoundText* found) {
    std::vector<uint8_t> pattern(state.search, state.search + FindTextLength(state));
    const bool again = (state.flags & kFindAgain) != 0;
    state.flags &= static_cast<uint16_t>(~kFindAgain);
    if (pattern.empty())
        return false;
    if (macText)
        AnsiToMac(pattern.data(), pattern.size());
    // The cards in list order; those marked deleted are not in the stack any more.
    std::vector<Handle> cards;
    int current = -1;
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        if (IsCardDeleted(card))
            continue;
        if (card == currentCard)
            current = static_cast<int>(cards.size());
        cards.push_back(card);
    }
    if (current < 0)
        return false;
    const int count = static_cast<int>(cards.size());
    // Further cards after the current one: with wrap around all of them and the current one
    // again (its text before the last match), else those up to the last.
    const int further = (state.flags & kFindWrap) ? count + 1 : count - (current + 1);
    CardSearch search{pattern, (state.flags & kFindCaseSensitive) != 0, again};
    for (int visited = 1, i = current; visited <= further + 1; ++visited, i = (i + 1) % count) {
        uint16_t options = 0;
        if (SearchCard(state, cards[static_cast<size_t>(i)], search, &options)) {
            if (found) {
                *found = FoundText{};
                found->cardId = state.cardId;
                found->objectId = state.objectId;
                found->offset = state.offset;
                found->length = static_cast<uint32_t>(pattern.size());
                found->cardsVisited = visited;
                found->options = options;
            }
            return true;
        }
        search.again = false;
    }
    return false;
}
