// Calls into extension modules: the one parameter block, a message sent to a module, and the
// poll of the wait after actions.
//
//   NbaModules.cpp   MINIMAL until modules are loaded (W3.09): no module answers; every call
//                    is kept in a list (the latest 32) that tests read, and a test may put a
//                    reaction of its own in place of a module.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/Handles.h"

inline constexpr size_t kNbaParamBytes = 78;
// Offsets in the block (little-endian values; the offsets are the modules' interface).
enum NbaParamOffset : uint32_t {
    kNbaObjectId = 0,
    kNbaMessage = 46,
    kNbaParam1 = 50,
    kNbaParam2 = 54,
    kNbaParam3 = 58,
    kNbaCalledId = 70,
};
inline constexpr int kNbaMessagePerform = 4;
inline constexpr int kNbaMessageWaitPoll = 14;
inline constexpr uint32_t kNbaKeepWaiting = 0xFFFF00;

std::span<uint8_t, kNbaParamBytes> NbaParamBlock();
void ClearNbaParamBlock();
// Sends the message to the module of that id with the block as it stands; 0 for success.
int SendToNBA(uint16_t nbaId, int message);
// Message 14 to the stack's modules: true while one answers kNbaKeepWaiting at param 1.
bool PollNBAsForWait();

struct NbaCall {
    uint16_t nbaId;
    int message;
    uint16_t objectId;
    std::vector<uint8_t> data;  // the handle at param 1, as it was sent
};
const std::vector<NbaCall>& RecordedNbaCalls();
void ClearRecordedNbaCalls();
// For tests: what a module does when it is sent a message (null: nothing).
using NbaReaction = int (*)(uint16_t nbaId, int message);
void SetNbaReaction(NbaReaction reaction);
