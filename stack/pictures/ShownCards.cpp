// The records of the cards re-coloured only to be shown (see the header).
#include "stack/pictures/ShownCards.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "stack/StackOpenSession.h"

namespace {

struct ShownCard {
    Handle card = 0;
    uint32_t session = 0;
    uint32_t group = 0;  // the records re-mapped together
    std::vector<uint8_t> stored, shown;
};

// The cards kept.
struct ShownCards {
    std::vector<ShownCard> cards;
    uint32_t lastGroup = 0;
} g_shown;

// What another stack kept goes with it.
void DropOtherStacks() {
    const uint32_t session = CurrentStackIdentity().session;
    std::erase_if(g_shown.cards, [&](const ShownCard& c) { return c.session != session; });
}

ShownCard* Find(Handle card) {
    DropOtherStacks();
    const auto found = std::find_if(g_shown.cards.begin(), g_shown.cards.end(),
                                    [&](const ShownCard& c) { return c.card == card; });
    return found == g_shown.cards.end() ? nullptr : &*found;
}

// The records whose handle holds what was shown, each with the bytes to put in its place.
template <typename Pick>
void PutBack(Pick pick) {
    DropOtherStacks();
    // Edited since: the edit is what its records hold now, with those re-mapped beside it.
    std::vector<uint32_t> edited;
    for (const ShownCard& c : g_shown.cards)
        if (c.shown.empty() || HandleToBytes(c.card) != pick(c, false))
            edited.push_back(c.group);
    std::erase_if(g_shown.cards, [&](const ShownCard& c) {
        return std::find(edited.begin(), edited.end(), c.group) != edited.end();
    });
    for (ShownCard& c : g_shown.cards)
        SetHandleBytes(c.card, pick(c, true));
}

}  // namespace

void KeepCardsAsStored(std::span<const Handle> records) {
    // One group for these records and for every record re-mapped with one of them before.
    const uint32_t group = ++g_shown.lastGroup;
    std::vector<uint32_t> joined;
    for (const Handle card : records) {
        if (!card)
            continue;
        ShownCard* kept = Find(card);
        if (kept)
            joined.push_back(kept->group);
        // Kept once: a card shown, edited and shown again is kept as edited.
        if (kept && HandleToBytes(card) == kept->shown)
            continue;
        if (!kept) {
            g_shown.cards.push_back({card, CurrentStackIdentity().session, group, {}, {}});
            kept = &g_shown.cards.back();
        }
        kept->stored = HandleToBytes(card);
        kept->shown.clear();
    }
    for (ShownCard& c : g_shown.cards)
        if (std::find(joined.begin(), joined.end(), c.group) != joined.end())
            c.group = group;
}

void NoteCardsAsShown(std::span<const Handle> records) {
    for (const Handle card : records)
        if (ShownCard* kept = Find(card))
            kept->shown = HandleToBytes(card);
}

void PutBackStoredCards() {
    PutBack([](const ShownCard& c, bool to) -> const std::vector<uint8_t>& { return to ? c.stored : c.shown; });
}

void PutBackShownCards() {
    PutBack([](const ShownCard& c, bool to) -> const std::vector<uint8_t>& { return to ? c.shown : c.stored; });
}

void TakeBackStoredCards() {
    PutBackStoredCards();
    DropOtherStacks();
    g_shown.cards.clear();
}
