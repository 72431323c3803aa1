// MINIMAL: the request whose service is not built yet records what it was asked and answers
// "cancelled": the transition dialog (request 151). Tests read the record.
#pragma once

#include <cstdint>
#include <string>

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
