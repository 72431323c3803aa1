// Navigation rules over the card list (see the header).
#include "host/player/CardNavigationRules.h"

#include <algorithm>
#include <cstring>

#include "core/text/MacText.h"
#include "stack/cards/CardList.h"

namespace {

bool IsLive(Handle card) { return card && !IsCardDeleted(card); }

// Steps from a place of the list, wrapping, to the first live card; at most one round.
Handle Step(int from, int step) {
    const int entries = CountCards();
    if (entries <= 0)
        return 0;
    int index = from;
    for (int i = 0; i < entries; ++i) {
        index += step;
        if (index > entries)
            index = 1;
        else if (index < 1)
            index = entries;
        const Handle card = GetCardByIndex(index);
        if (IsLive(card))
            return card;
    }
    return 0;
}

bool IsBlankChar(unsigned char c) { return c == ' ' || (c >= 9 && c <= 13); }

}  // namespace

Handle FirstLiveCard() { return Step(0, 1); }

Handle LastLiveCard() { return Step(CountCards() + 1, -1); }

Handle NextLiveCard(Handle card) {
    const int index = GetCardIndex(card);
    return Step(index > CountCards() ? 0 : index, 1);
}

Handle PreviousLiveCard(Handle card) {
    const int index = GetCardIndex(card);
    return Step(index > CountCards() ? 1 : index, -1);
}

int CardTitleNumber(Handle card) {
    if (!IsLive(card))
        return 0;
    const int entries = CountCards();
    int number = 0;
    for (int i = 1; i <= entries; ++i) {
        const Handle at = GetCardByIndex(i);
        if (IsLive(at))
            ++number;
        if (at == card)
            return number;
    }
    return 0;
}

Handle LiveCardAt(int number) {
    if (number < 1)
        return 0;
    const int entries = CountCards();
    for (int i = 1; i <= entries; ++i) {
        const Handle at = GetCardByIndex(i);
        if (IsLive(at) && --number == 0)
            return at;
    }
    return 0;
}

std::string ComposeCardTitle(std::string_view stackName, std::string_view cardText, bool background, int number) {
    std::string title(stackName);
    if (number == 0)
        return title;
    std::string text(cardText);
    if (background && text.size() >= 2)
        text[1] = '*';
    return title + text + std::to_string(number);
}

JumpTarget ResolveJumpText(std::string_view text, uint16_t* cardId) {
    if (cardId)
        *cardId = 0;
    if (std::all_of(text.begin(), text.end(), [](unsigned char c) { return c >= '0' && c <= '9'; })) {
        long number = 0;
        for (const char c : text) {
            number = number * 10 + (c - '0');
            if (number > 65535)  // past any card count
                return JumpTarget::kNone;
        }
        const Handle card = LiveCardAt(static_cast<int>(number));
        if (!card)
            return JumpTarget::kNone;
        if (cardId)
            *cardId = GetCardId(card);
        return JumpTarget::kCard;
    }
    if (std::all_of(text.begin(), text.end(), [](unsigned char c) { return IsBlankChar(c); }))
        return JumpTarget::kBlank;
    uint8_t name[kJumpNameLimit + 1] = {};
    const size_t length = std::min(text.size(), kJumpNameLimit);
    name[0] = static_cast<uint8_t>(length);
    std::memcpy(name + 1, text.data(), length);
    AnsiToMac(name + 1, length);  // card names are stack text
    const Handle card = FindCardByName(name);
    if (!IsLive(card))
        return JumpTarget::kNotFound;
    if (cardId)
        *cardId = GetCardId(card);
    return JumpTarget::kCard;
}
