// What the card message handler keeps between messages, and the words of the open stack it
// reads. Platform-free, so that the rules are tested natively; the handler itself is in
// CardMessageHandler_win.cpp and its neighbours (see CardMessageHandler.h).
#pragma once

#include <cstdint>

#include "format/StackFile.h"

struct CardHandlerState {
    bool shiftLatch = false;  // normal view only; both latches = show all button hilites
    bool ctrlLatch = false;
    bool shiftDown = false;   // every view
    bool ctrlDown = false;
    bool handScrollMode = false;
    bool cardClickConsumed = false;  // the last browse click ran the card's click action
    int lastToolPressed = 0;
    int lastDisplayDepth = 0;
    bool nonClientClick = false;
};
CardHandlerState& HandlerState();

// A display-change message with this depth: true when the user is to be told (the depth differs
// from the last one seen, which it becomes).
bool NoteDisplayDepth(CardHandlerState& state, int bitsPerPixel);

struct CardPoint {
    int x;
    int y;
};
// x from the signed low 16 bits, y from the high 16 bits.
CardPoint LongToPoint(uint32_t value);

// Header words of the open stack and card words of the current card (host order, offsets of
// format/StackFile.h); 0 when no stack is open, no card is current, or the record is too
// short.
uint16_t StackHeaderWord(uint32_t offset);
uint16_t CurrentCardWord(uint32_t offset);

// A browse click after its layer step: whether a layer lay under the point (shown or not),
// whether that layer took the click, and the click action ids of the card and the stack.
// The card's action runs only for empty card space and then suppresses the stack's; the
// stack's runs when nothing else took the click.
struct BrowseClickPlan {
    bool runCardAction = false;  // also the card-click-consumed flag
    bool runStackAction = false;
};
BrowseClickPlan PlanBrowseClick(bool layerHit, bool layerHandled, uint16_t cardAction, uint16_t stackAction);

// Shift+Tab: browse goes to tool 20, any other tool back to browse.
int ShiftTabTool(int tool);
// Ctrl+Shift released with Tab: browse goes to the rectangle selection (13), any other back to
// browse.
int ChordTabTool(int tool);
