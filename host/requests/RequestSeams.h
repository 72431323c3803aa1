// MINIMAL: the two requests whose services are not built yet record what they were asked and
// answer "nothing found" and "cancelled": finding text (request 8) and the transition dialog
// (request 151). Tests read the records.
#pragma once

#include <cstdint>
#include <string>

struct FindTextRequest {
    int calls = 0;
    std::string text;        // at most 255 characters
    int matchMode = 0;       // 1, 4 or 2 from option bits 2 and 4 (0: none of them)
    bool option1 = false;    // option bit 1
    bool option8 = false;    // option bit 8
    bool keepPrevious = false;  // option bit 16
};
const FindTextRequest& LastFindTextRequest();

struct TransitionDialogRequest {
    int calls = 0;
    int transition = 0;
    int speed = 0;
    uint32_t owner = 0;
    uint32_t titleId = 0;    // 3002, 3001, 3000, or 0
    uint16_t objectKind = 0;
    uint16_t objectId = 0;   // kind and id 0: a card transition
};
const TransitionDialogRequest& LastTransitionDialogRequest();

// The dialog title of the request's [58]: 0, 1 and 2 name 3002, 3001 and 3000 (modules rely on
// this order); anything else has no title.
uint32_t TransitionDialogTitle(uint32_t which);
