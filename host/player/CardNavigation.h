// Moving between cards: leaving the current card and entering another with a transition, the
// card and stack event actions, the window title and the Jump to Card dialog
// (CardNavigation_win.cpp, CardNavigationJump_win.cpp). The rules over the card list are
// CardNavigationRules.h, the history CardHistory.h.
//
// Every move takes how it shows the card it enters as RedrawCard does, one CardMove (the
// transition, the QuickTime effect, the speed, and from a clicked object the fade colour, the
// zoom's start and the old card an effect plays from); the default is the plain move.
#pragma once

#include <windows.h>

#include <cstdint>

#include "cardview/transitions/CardTransitions.h"
#include "core/events/ActionOrigin.h"
#include "core/files/FileSlots.h"
#include "host/player/CardRefresh.h"

// Leaves the current card: the history entry (when asked), the modules' event, the card's leave
// action, then everything that lives on a card is let go and its edits written back.
void LeaveCard(bool withHistory);
// The one way a move leaves the card, in this stack or for another: the move takes the picture
// its effect plays from (TakeOldCard, the card rendered with its layers), a move naming an effect
// lets the current effect record go (it selects its own as it plays), then LeaveCard. Done when
// the move runs, so that a move held under an editor leaves the editor's effect record alone.
void LeaveCardFor(CardMove& move, bool withHistory);
// Enters the card of the current card id: drawn with the transition, titled, the modules told,
// the stack's arrival action (when asked) and the card's arrival action run. Whether the
// application palette could be realised.
int EnterCard(const CardMove& move, bool arriveAtStack);

// Where a move goes: a card of this stack, a card of the stack a file names, or one the history
// or the home stack remembers.
struct CardTarget {
    enum Kind {
        kFirst, kLast, kPrevious, kNext,  // with history; the previous of the first is the last
        kCardId,         // with history; a missing card: alert 2223, the same card entered again
        kCardInStack,    // the same without a history entry
        kStackCard,      // a card (0: the first) of `stack`: this stack when it names its file
        kRecent,         // the last marked card left (alert 2242 when none yet)
        kBack,           // the newest history entry, in this stack or another
        kHome,           // the home stack's remembered card, when the home stack is known
    };
    Kind kind;
    uint16_t id = 0;
    FileSpec stack{};
    bool withHistory = true;  // kStackCard
};
// The one door of the card moves: under an editor the move waits (its own moves pass), on the
// card it was asked on; else the card is left and the target entered. 1 when a card was entered.
int GoTo(const CardTarget& target, const CardMove& move = {});

// Leave with history and enter the first, last, previous (the last from the first) or next
// (the first from the last) card.
void GoFirstCard(const CardMove& move = {});
void GoLastCard(const CardMove& move = {});
void GoPrevCard(const CardMove& move = {});
void GoNextCard(const CardMove& move = {});
// Leave with history and enter the card of that id; a missing (or deleted) card shows alert 2223
// and the same card is entered again.
void GoToCardId(uint16_t id, const CardMove& move = {});
// The move to an action's destination in this stack (a card id or a special destination: next,
// previous, home, back, last marked; anything else is a card id, alert 2223 when there is none),
// the performer's mover (ActionDestinations_win.cpp).
void MoveToActionDestination(int16_t destination, const CardMove& move);
// The same without a history entry.
void GoToCardInStack(uint16_t id, const CardMove& move = {});
// A card of the stack a file names: this stack when it names its file, else the other stack is
// opened. 1 when the card was entered.
int GoToStackCard(uint16_t id, const FileSpec& stack, const CardMove& move, bool withHistory);
// The last marked card that was left (alert 2242 when none yet).
void GoRecentCard(const CardMove& move = {});
// The newest history entry, in this stack or another.
void GoBackInHistory(const CardMove& move = {});
// The home stack's remembered card, when the home stack is known.
void GoHomeStack(const CardMove& move = {});


// In browse mode only, with a nonzero id: performs the stack's 'Actn' resource with the label
// string (0: none). 1 then, else 0.
int RunCardAction(uint16_t actionId, ActionOrigin origin, int waitAfter, uint32_t labelStringId);
// In browse mode only, with a nonzero id: the stack's 'Actn' resource of that id is performed
// (none: nothing) and written back when the performer changed it. 1 then, else 0.
// While it runs, a file an action asks for is for that action of this resource (DownloadReplay.h).
int PerformActionResource(uint16_t id, ActionOrigin origin, int waitAfter, const char* label);
// The one action of the 'Actn' resource whose file has arrived, alone (started as the actions
// were, without the testing answer, the move or the wait); in browse mode only.
int ReplayActionResource(uint16_t id, uint16_t action, const char* label, ActionOrigin origin);

// The title: stack name and card number (string 2521). force sets it even while numbers are
// off. Set on the frame window, which the plug-in does not have.
void UpdateCardTitle(bool force);
// The last title composed (what the frame window shows, or would).
const char* GetCardTitle();

// The Jump to Card dialog; a chosen card is entered with the plain transition. The chosen card's
// id, 0 when none.
uint16_t OpenJumpToCardDialog(HWND window);
