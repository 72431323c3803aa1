// One-shot timers on the system: multimedia timer events, or the polled list (TimerList.cpp)
// driven by a 1 ms thread timer. Expiry marks the slot and posts message 1025 to the card
// window; nothing else runs on the multimedia timer's thread.
#include "core/events/OneShotTimers.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "core/events/TimerList.h"
#include "core/system/PluginModule.h"
#include "core/ui/ToolNumbers.h"

namespace {

uint32_t g_resolution = 0;  // 0: polled mode
UINT_PTR g_pollTimer = 0;

// Multimedia events not yet fired or killed, so shut-down can kill what is still pending.
std::mutex g_eventsLock;
std::vector<UINT> g_events;

void ForgetEvent(UINT id) {
    std::lock_guard<std::mutex> lock(g_eventsLock);
    g_events.erase(std::remove(g_events.begin(), g_events.end(), id), g_events.end());
}

void KillEvent(UINT id) {
    if (!id)
        return;
    timeKillEvent(id);
    ForgetEvent(id);
}

uint32_t SlotEvent(const uint8_t* slot) {
    uint32_t id;
    CopyMemory(&id, slot, sizeof id);
    return id;
}

void SetSlotEvent(uint8_t* slot, uint32_t id) { CopyMemory(slot, &id, sizeof id); }

// Runs on the multimedia timer's thread.
void CALLBACK MultimediaExpired(UINT id, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    ForgetEvent(id);
    if (!IsBrowseMode())
        return;
    auto* slot = reinterpret_cast<uint8_t*>(user);
    SetSlotEvent(slot, 0);
    std::atomic_thread_fence(std::memory_order_release);
    slot[kTimerSlotFiredOffset] = 1;
    PostMessageA(GetMainWindow(), kTimerFiredMessage, 0, 0);
}

void CALLBACK PollTimerProc(HWND, UINT, UINT_PTR, DWORD) { TimerListTick(GetTickCount()); }

bool FiredMessageWaiting() {
    MSG msg;
    return PeekMessageA(&msg, GetMainWindow(), kTimerFiredMessage, kTimerFiredMessage, PM_NOREMOVE) != 0;
}

void PostFired(uint32_t wParam, uint32_t lParam) { PostMessageA(GetMainWindow(), kTimerFiredMessage, wParam, lParam); }

void StartPolling() {
    if (!g_pollTimer)
        g_pollTimer = SetTimer(nullptr, 0, 1, PollTimerProc);
}

void StopPolling() {
    if (g_pollTimer)
        KillTimer(nullptr, g_pollTimer);
    g_pollTimer = 0;
}

}  // namespace

TimerListHost SystemTimerListHost() { return {FiredMessageWaiting, PostFired, StartPolling, StopPolling}; }

bool InitTimerResolution() {
    TIMECAPS caps{};
    if (g_resolution || timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR)
        return true;
    const uint32_t period = std::clamp<uint32_t>(caps.wPeriodMin ? caps.wPeriodMin : 1, 1, std::max<UINT>(caps.wPeriodMax, 1));
    if (timeBeginPeriod(period) == TIMERR_NOERROR)
        g_resolution = period;
    return true;
}

uint32_t GetTimerResolution() { return g_resolution; }

void AddTimerSlot(uint8_t* slot) {
    if (!g_resolution)
        AddPolledSlot(slot);
}

uint32_t ArmOneShotTimer(uint8_t* slot, uint32_t milliseconds) {
    if (!slot)
        return 0;
    if (!g_resolution)
        return ArmPolledSlot(slot, milliseconds, GetTickCount());
    KillEvent(SlotEvent(slot));  // a slot has one event at a time
    const UINT delay = std::max(milliseconds, g_resolution);
    std::lock_guard<std::mutex> lock(g_eventsLock);  // the event may fire before it is listed
    const UINT id = timeSetEvent(delay, delay, MultimediaExpired, reinterpret_cast<DWORD_PTR>(slot),
                                 TIME_ONESHOT | TIME_CALLBACK_FUNCTION);
    SetSlotEvent(slot, id);
    if (id)
        g_events.push_back(id);
    return id;
}

namespace {

// Stops the slot's timer; a polled node is disarmed, or freed when the slot is forgotten.
void StopSlot(uint8_t* slot, bool forget) {
    if (!slot)
        return;
    if (!g_resolution)
        forget ? RemovePolledSlot(slot) : DisarmPolledSlot(slot);
    else if (const uint32_t id = SlotEvent(slot))
        KillEvent(id);
    if (g_resolution)
        SetSlotEvent(slot, 0);
}

}  // namespace

void DisarmTimerSlot(uint8_t* slot) { StopSlot(slot, false); }

void CancelOneShotTimer(uint8_t* slot) { StopSlot(slot, true); }

bool IsTimerArmed(const uint8_t* slot) {
    if (!slot)
        return false;
    return g_resolution ? SlotEvent(slot) != 0 : IsPolledSlotArmed(slot);
}

void TimerListTick(uint32_t now) { PollTimerList(now); }

void ShutdownTimers() {
    std::vector<UINT> pending;
    {
        std::lock_guard<std::mutex> lock(g_eventsLock);
        pending.swap(g_events);
    }
    for (UINT id : pending)
        timeKillEvent(id);
    ClearTimerList();
    StopPolling();
    if (g_resolution)
        timeEndPeriod(g_resolution);
    g_resolution = 0;
}
