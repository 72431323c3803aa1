// MINIMAL module calls (see NbaModules.h).
#include "actions/NbaModules.h"

#include <cstring>

#include "core/memory/ByteReader.h"

namespace {

constexpr size_t kKeptCalls = 32;

uint8_t g_block[kNbaParamBytes] = {};
std::vector<NbaCall> g_calls;
NbaReaction g_reaction = nullptr;

}  // namespace

std::span<uint8_t, kNbaParamBytes> NbaParamBlock() { return std::span<uint8_t, kNbaParamBytes>(g_block); }

void ClearNbaParamBlock() { std::memset(g_block, 0, sizeof g_block); }

int SendToNBA(uint16_t nbaId, int message) {
    const std::span<uint8_t> block(g_block);
    SetU16(block, kNbaMessage, static_cast<uint16_t>(message));
    SetU16(block, kNbaCalledId, nbaId);
    NbaCall call{nbaId, message, GetU16(block, kNbaObjectId), {}};
    if (message == kNbaMessagePerform) {
        const Handle data = static_cast<Handle>(GetU32(block, kNbaParam1));
        if (IsValidHandle(data))
            call.data = HandleToBytes(data);
    }
    if (g_calls.size() == kKeptCalls)
        g_calls.erase(g_calls.begin());
    g_calls.push_back(std::move(call));
    return g_reaction ? g_reaction(nbaId, message) : 1;
}

bool PollNBAsForWait() { return false; }

const std::vector<NbaCall>& RecordedNbaCalls() { return g_calls; }
void ClearRecordedNbaCalls() { g_calls.clear(); }
void SetNbaReaction(NbaReaction reaction) { g_reaction = reaction; }
