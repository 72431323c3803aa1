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
    std::vector<uint8_t> stored, shown;
};

// The cards kept, and the stack whose shown cards are stored as shown.
struct ShownCards {
    std::vector<ShownCard> cards;
    uint32_t storedSession = 0;
    bool stored = false;
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
    for (ShownCard& c : g_shown.cards) {
        const std::vector<uint8_t>& from = pick(c, false);
        if (HandleToBytes(c.card) != from) {
            c.shown.clear();  // edited since: the edit is what the card holds now
            continue;
        }
        SetHandleBytes(c.card, pick(c, true));
    }
    std::erase_if(g_shown.cards, [](const ShownCard& c) { return c.shown.empty(); });
}

}  // namespace

bool KeepCardAsStored(Handle card) {
    if (g_shown.stored && g_shown.storedSession == CurrentStackIdentity().session)
        return false;
    if (!card)
        return true;
    ShownCard* kept = Find(card);
    // Kept once: a card shown, edited and shown again is kept as edited.
    if (kept && HandleToBytes(card) == kept->shown)
        return true;
    if (!kept) {
        g_shown.cards.push_back({card, CurrentStackIdentity().session, {}, {}});
        kept = &g_shown.cards.back();
    }
    kept->stored = HandleToBytes(card);
    kept->shown.clear();
    return true;
}

void NoteCardAsShown(Handle card) {
    if (ShownCard* kept = Find(card)) {
        kept->shown = HandleToBytes(card);
        if (kept->shown == kept->stored)
            std::erase_if(g_shown.cards, [&](const ShownCard& c) { return c.card == card; });
    }
}

void PutBackStoredCards() {
    PutBack([](const ShownCard& c, bool to) -> const std::vector<uint8_t>& { return to ? c.stored : c.shown; });
}

void PutBackShownCards() {
    PutBack([](const ShownCard& c, bool to) -> const std::vector<uint8_t>& { return to ? c.shown : c.stored; });
}

void StoreShownCards() {
    g_shown.cards.clear();
    g_shown.stored = true;
    g_shown.storedSession = CurrentStackIdentity().session;
}
