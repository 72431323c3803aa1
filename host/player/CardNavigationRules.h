// The platform-free rules of moving between cards (CardNavigationRules.cpp): which card comes
// next or before, a card's number as the title shows it, the title text, and what the text of
// the Jump to Card field names. Cards marked deleted are passed over, as every scan does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/memory/Handles.h"

// Alerts and labels of navigation.
inline constexpr uint32_t kAlertCardNotFound = 2223;    // "Sorry, I can't find that card."
inline constexpr uint32_t kAlertNoMarkedCard = 2242;    // "... I haven't seen any marked cards yet."
inline constexpr uint32_t kStringArriveCardAction = 2030;
inline constexpr uint32_t kStringLeaveCardAction = 2031;
inline constexpr uint32_t kStringArriveStackAction = 2033;
inline constexpr uint32_t kStringCardInTitle = 2521;    // " - Card "

// The first and last live cards; 0 when the list has none.
Handle FirstLiveCard();
Handle LastLiveCard();
// The live card after (before) the given one in list order, wrapping from the last to the first
// (the first to the last). A card not in the list counts as standing before the first.
Handle NextLiveCard(Handle card);
Handle PreviousLiveCard(Handle card);
// The card's number among the live cards up to and including it; 0 when it is not in the list
// or is itself deleted.
int CardTitleNumber(Handle card);
// The live card at a 1-based number; 0 outside 1..live cards.
Handle LiveCardAt(int number);

// The title: the stack name, then (number nonzero) the card-number text with its second
// character replaced by '*' for a card that has a background record, and the number.
std::string ComposeCardTitle(std::string_view stackName, std::string_view cardText, bool background, int number);

// What the Jump to Card field names.
enum class JumpTarget {
    kCard,      // a card: *cardId
    kNone,      // a number out of range, or empty: nothing, the dialog closes
    kNotFound,  // a name no card has: alert 2223, the dialog closes
    kBlank,     // only blanks and control characters: nothing happens
};
// Digits only (empty counts) name a live card by number; otherwise the first 33 characters
// (Windows text) name a card, matched without regard to ASCII case.
inline constexpr size_t kJumpNameLimit = 33;
JumpTarget ResolveJumpText(std::string_view text, uint16_t* cardId);
