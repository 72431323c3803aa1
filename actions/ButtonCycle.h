// The built-in button cycle (module id 3145): a list of button names, separated by carriage
// returns, whose buttons the Tab key highlights in turn on the current card and the Enter key
// performs.
//
//   ButtonCycle.cpp       reading the names, the cycle's state (starting, advancing and the keys
//                         are the performer's: host/player/ButtonCycleKeys.h)
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr uint16_t kButtonCycleNbaId = 3145;
inline constexpr uint16_t kCycleNoPosition = 65535;
inline constexpr size_t kCycleNameMax = 62;

// The names in order: leading blanks and carriage returns skipped, a name ends at a carriage
// return or after 62 characters (the next begins there), trailing blanks removed; a NUL ends
// the list.
std::vector<std::string> ReadCycleNames(std::span<const uint8_t> list);

struct ButtonCycleState {
    bool active = false;
    uint16_t position = kCycleNoPosition;
    uint16_t highlighted = 0;  // the button id highlighted, 0 none
    std::vector<std::string> names;
};
ButtonCycleState& ButtonCycle();
// Leaving the card ends the cycle and lets go of its list (the highlight went with the card).
void EndButtonCycle();
