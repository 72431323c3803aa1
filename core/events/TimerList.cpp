// The polled one-shot timer list (see the header).
#include "core/events/TimerList.h"

#include <new>

#include "core/events/OneShotTimers.h"
#include "core/ui/ToolNumbers.h"

namespace {

struct TimerNode {
    uint32_t due = 0;  // system milliseconds; 0 = disarmed
    uint8_t* slot = nullptr;
    TimerNode* next = nullptr;
    TimerNode* previous = nullptr;
};

TimerNode* g_head = nullptr;
bool g_polling = false;

bool NothingWaiting() { return false; }
void NoPost(uint32_t, uint32_t) {}
void NoPolling() {}
TimerListHost g_host{NothingWaiting, NoPost, NoPolling, NoPolling};

TimerNode* FindNode(const uint8_t* slot) {
    for (TimerNode* node = g_head; node; node = node->next)
        if (node->slot == slot)
            return node;
    return nullptr;
}

void StopPolling() {
    if (g_polling)
        g_host.stopPolling();
    g_polling = false;
}

}  // namespace

TimerListHost SetTimerListHost(const TimerListHost& host) {
    const TimerListHost previous = g_host;
    g_host = host;
    return previous;
}

bool AddPolledSlot(uint8_t* slot) {
    if (!slot)
        return false;
    if (FindNode(slot))
        return true;
    auto* node = new (std::nothrow) TimerNode{};
    if (!node)
        return false;
    node->slot = slot;
    node->next = g_head;
    if (g_head)
        g_head->previous = node;
    g_head = node;
    return true;
}

uint32_t ArmPolledSlot(uint8_t* slot, uint32_t milliseconds, uint32_t now) {
    TimerNode* node = FindNode(slot);
    if (!node)
        return 0;
    if (!g_polling) {
        g_host.startPolling();
        g_polling = true;
    }
    node->due = now + milliseconds;
    if (node->due == 0)
        node->due = 1;
    return node->due;
}

void DisarmPolledSlot(uint8_t* slot) {
    if (TimerNode* node = FindNode(slot))
        node->due = 0;
}

void RemovePolledSlot(uint8_t* slot) {
    TimerNode* node = FindNode(slot);
    if (!node)
        return;
    if (node->previous)
        node->previous->next = node->next;
    else
        g_head = node->next;
    if (node->next)
        node->next->previous = node->previous;
    delete node;
    if (!g_head)
        StopPolling();
}

bool IsPolledSlotArmed(const uint8_t* slot) {
    const TimerNode* node = FindNode(slot);
    return node && node->due != 0;
}

bool HasPolledSlot(const uint8_t* slot) { return FindNode(slot) != nullptr; }

int PolledSlotCount() {
    int count = 0;
    for (TimerNode* node = g_head; node; node = node->next)
        ++count;
    return count;
}

void PollTimerList(uint32_t now) {
    if (!g_head || !IsBrowseMode())
        return;
    bool newlyFired = false;
    uint32_t lastDue = 0;
    for (TimerNode* node = g_head; node; node = node->next) {
        // Differences, not comparisons, so the wrap of the millisecond count does not matter.
        if (node->due == 0 || static_cast<int32_t>(now - node->due) < 0)
            continue;
        uint8_t& fired = node->slot[kTimerSlotFiredOffset];
        if (fired)
            continue;
        fired = 1;
        newlyFired = true;
        lastDue = node->due;
    }
    if (newlyFired && !g_host.firedMessageWaiting())
        g_host.postFired(lastDue, now);
}

void ClearTimerList() {
    while (g_head) {
        TimerNode* next = g_head->next;
        delete g_head;
        g_head = next;
    }
    StopPolling();
}
