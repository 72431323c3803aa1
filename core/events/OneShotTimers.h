// One-shot timers that actions and animations arm: multimedia timer events where the system has
// them, else a list of due times polled by a 1 ms thread timer (TimerList.h). Either way expiry
// only marks the caller's slot fired and posts message 1025 to the card window
// (OneShotTimers_win.cpp).
#pragma once

#include "core/events/TimerList.h"

#include <cstdint>

// A slot belongs to its caller: a u32 multimedia event id first (0 when not armed), and at
// kTimerSlotFiredOffset a byte that expiry sets to 1. It must stay valid until it has fired or
// been cancelled.
inline constexpr uint32_t kTimerSlotFiredOffset = 22;
inline constexpr uint32_t kTimerSlotBytes = kTimerSlotFiredOffset + 1;
inline constexpr uint32_t kTimerFiredMessage = 1025;

// Asks the multimedia timer for its period range and begins the finest period; polled mode stays
// when it cannot. Always true.
bool InitTimerResolution();
// The multimedia resolution in ms; 0 in polled mode.
uint32_t GetTimerResolution();

// Polled mode only: the slot gets a disarmed node of its own.
void AddTimerSlot(uint8_t* slot);
// The multimedia event id, or the due time in polled mode; 0 when nothing was armed (no node).
uint32_t ArmOneShotTimer(uint8_t* slot, uint32_t milliseconds);
// Stops the slot's timer; a polled node stays for the next arming.
void DisarmTimerSlot(uint8_t* slot);
// Stops the slot's timer and forgets the slot (its polled node is freed).
void CancelOneShotTimer(uint8_t* slot);
bool IsTimerArmed(const uint8_t* slot);
// The polled timer's procedure (also run once by each WaitWithMessages step).
void TimerListTick(uint32_t now);

// Shut-down: every multimedia event killed, the polled timer stopped and its nodes freed, the
// period begun by InitTimerResolution ended. Safe to call when nothing was started.
void ShutdownTimers();

// The timer list's host on the system (the multimedia thread posts, a thread timer polls),
// which the wiring step installs.
TimerListHost SystemTimerListHost();
