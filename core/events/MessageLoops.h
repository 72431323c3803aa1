// The message loops the system runs itself: one waiting step of actions, the loop of a modeless
// dialog, and the loops that feed the card window's mouse hook during a modal drag
// (MessageLoops_win.cpp). Each offers every message to the modeless dialogs first
// (ModelessDialogs.h).
#pragma once

#include <windows.h>

// Offers the message to every listed dialog in list order; true when one took it.
bool OfferToModelessDialogs(MSG* msg);

// One step of a wait that keeps messages going: 0 when no message waits. A message a modeless
// dialog takes is removed and handled by it (1). Otherwise the animations and polled timers step;
// a mouse message, 32766, a key-down, a non-client left click or a quit message is left queued and
// its number returned, so that the caller stops waiting; anything else is dispatched and the
// dispatch result returned.
LRESULT WaitWithMessages();
// Lists and shows the dialog, then runs messages until it is gone (or a quit message comes,
// which is posted again for the loop outside); the dialog then leaves the list. Meanwhile it
// counts as a running dialog: what opens from it is owned by it (core/ui/dialogs/DialogOwner.h).
void RunModelessLoop(HWND dialog);
// The one window whose mouse messages RunModelessLoop and RunHookMessageLoop re-address to its
// parent, with the point in the parent's client area (a live video window over the card, which
// would take the clicks meant for the card's tracker); null for none. Media sets and clears it.
void SetMouseToParentWindow(HWND window);
HWND MouseToParentWindow();
// While an object rectangle is tracked: left-button messages of the window go to the mouse
// hook, Enter as a button-up at (10000, 10000); the rest is dispatched.
void RunHookMessageLoop(HWND window);
// While a mouse hook is installed: button messages of the window go to the hook (moves only
// while a rectangle is tracked); an Esc or Enter character ends the loop.
void RunHookMessageLoopUntilKey(HWND window);
