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

std::vector<ShownCard> g_shownCards;

// What another stack kept goes with it.
void DropOtherStacks() {
    const uint32_t session = CurrentStackIdentity().session;
    std::erase_if(g_shownCards, [&](const ShownCard& c) { return c.session != session; });
}

ShownCard* Find(Handle card) {
    DropOtherStacks();
    const auto found = std::find_if(g_shownCards.begin(), g_shownCards.end(),
                                    [&](const ShownCard& c) { return c.card == card; });
    return found == g_shownCards.end() ? nullptr : &*found;
}

// The records whose handle holds what was shown, each with the bytes to put in its place.
template <typename Pick>
void PutBack(Pick pick) {
    DropOtherStacks();
    for (ShownCard& c : g_shownCards) {
        const std::vector<uint8_t>& from = pick(c, false);
        if (HandleToBytes(c.card) != from) {
            c.shown.clear();  // edited since: the edit is what the card holds now
            continue;
        }
        SetHandleBytes(c.card, pick(c, true));
    }
    std::erase_if(g_shownCards, [](const ShownCard& c) { return c.shown.empty(); });
}

}  // namespace

void KeepCardAsStored(Handle card) {
    if (!card)
        return;
    ShownCard* kept = Find(card);
    // Kept once: a card shown, edited and shown again is kept as edited.
    if (kept && HandleToBytes(card) == kept->shown)
        return;
    if (!kept) {
        g_shownCards.push_back({card, CurrentStackIdentity().session, {}, {}});
        kept = &g_shownCards.back();
    }
    kept->stored = HandleToBytes(card);
    kept->shown.clear();
}

void NoteCardAsShown(Handle card) {
    if (ShownCard* kept = Find(card)) {
        kept->shown = HandleToBytes(card);
        if (kept->shown == kept->stored)
            std::erase_if(g_shownCards, [&](const ShownCard& c) { return c.card == card; });
    }
}

void PutBackStoredCards() {
    PutBack([](const ShownCard& c, bool to) -> const std::vector<uint8_t>& { return to ? c.stored : c.shown; });
}

void PutBackShownCards() {
    PutBack([](const ShownCard& c, bool to) -> const std::vector<uint8_t>& { return to ? c.shown : c.stored; });
}
