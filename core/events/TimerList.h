// The polled one-shot timers: a list of due times walked every millisecond where multimedia
// timers are missing (TimerList.cpp). What the walk needs of the system comes through
// TimerListHost, so it runs headless in tests; OneShotTimers_win.cpp installs the real one.
#pragma once

#include <cstdint>

struct TimerListHost {
    bool (*firedMessageWaiting)();      // a message 1025 already waits for the card window
    void (*postFired)(uint32_t wParam, uint32_t lParam);
    void (*startPolling)();             // the 1 ms timer
    void (*stopPolling)();
};
// Returns the host it replaces.
TimerListHost SetTimerListHost(const TimerListHost& host);

// A new disarmed node for the slot, at the head of the list; false when memory runs out. A slot
// that already has a node keeps it.
bool AddPolledSlot(uint8_t* slot);
// Due time now + ms, polling started; 0 when the slot has no node (a due time of 0 would read as
// disarmed, so it becomes 1).
uint32_t ArmPolledSlot(uint8_t* slot, uint32_t milliseconds, uint32_t now);
void DisarmPolledSlot(uint8_t* slot);
// Unlinks and frees the node; polling stops with the last one.
void RemovePolledSlot(uint8_t* slot);
bool IsPolledSlotArmed(const uint8_t* slot);
bool HasPolledSlot(const uint8_t* slot);
int PolledSlotCount();
// In browse mode, marks every due slot fired; when one was newly fired and no 1025 waits, posts
// one with the due time of the last newly fired node and now. Due times stay: an expired node
// stays expired until it is armed again or disarmed.
void PollTimerList(uint32_t now);
// Frees every node and stops polling.
void ClearTimerList();
