// Arbitrary bytes as an action record in a handle: every chunk looked for, the block loaded,
// saved back and loaded again twice (the second and third loads must agree: a save keeps what it
// was given), as the name list of the button cycle (names of 1 to 62 characters, trimmed, never
// more than the bytes), as the entries of the actions menu (one to eight codes of 49 to 65, the
// destination's last), and as 'Crsr' data converted to memory order and back (the same bytes).
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "actions/ActionBlock.h"
#include "actions/ButtonCycle.h"
#include "core/memory/Handles.h"
#include "core/ui/CursorImages.h"
#include "host/actions/ActionMenu.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 15;

// Equal fields, and equal bytes behind the handles.
bool SameBlock(ActionBlock a, ActionBlock b) {
    for (auto [x, y] : {std::pair{&a.animationData, &b.animationData}, std::pair{&a.logoScript, &b.logoScript},
                        std::pair{&a.nbaData, &b.nbaData}}) {
        if (HandleToBytes(*x) != HandleToBytes(*y))
            return false;
        *x = *y = 0;
    }
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!FuzzTakes(size, kMaxInput))
        return 0;
    const std::span<const uint8_t> bytes(data, size);
    for (uint16_t tag = 50; tag <= 131; ++tag) {
        uint32_t at = 0;
        if (FindChunk(bytes, tag, &at)) {
            const std::span<const uint8_t> record = ActionRecordBytes(bytes);
            FuzzCheck(at >= kButtonHeaderBytes && at + kChunkHeaderBytes <= record.size());
            FuzzCheck(ChunkPayload(record.subspan(at)).size() <= record.size() - at - kChunkHeaderBytes);
        }
    }
    const std::vector<int> entries = BuildActionMenuEntries(bytes);
    FuzzCheck(!entries.empty() && entries.size() <= 8);
    for (int code : entries)
        FuzzCheck(code >= kChoiceAnotherCard && code <= kChoiceTesting);
    Handle record = NewHandleFromBytes(bytes);
    if (record) {
        ActionBlock block, again, third;
        if (LoadActionBlock(record, 0, &block)) {
            FuzzCheck(SaveActionBlock(record, 0, 1, block));
            FuzzCheck(LoadActionBlock(record, 0, &again));
            FuzzCheck(SaveActionBlock(record, 0, 1, again));
            FuzzCheck(LoadActionBlock(record, 0, &third));
            FuzzCheck(SameBlock(again, third));
            DisposeActionBlockData(&again);
            DisposeActionBlockData(&third);
        }
        DisposeActionBlockData(&block);
        FreeUrlBuffer();
        DisposeHandle(record);
    }
    size_t named = 0;
    for (const std::string& name : ReadCycleNames(bytes)) {
        FuzzCheck(!name.empty() && name.size() <= kCycleNameMax);
        FuzzCheck(name.front() != ' ' && name.front() != '\r' && name.back() != ' ');
        named += name.size();
    }
    FuzzCheck(named <= size);
    // Still and animated cursors convert both ways to the same bytes; other kinds stay as they are.
    std::vector<uint8_t> cursor(bytes.begin(), bytes.end());
    const uint16_t kind = size >= 2 ? static_cast<uint16_t>(data[0] << 8 | data[1]) : 0;
    if (SwapCursorResourceData(cursor.data(), static_cast<uint32_t>(cursor.size()), 0)) {
        const bool known = kind == kCursorStill || kind == kCursorAnimated;
        CursorResource read;
        FuzzCheck(!known || ReadCursorResource(cursor, &read));
        FuzzCheck(known || std::equal(cursor.begin(), cursor.end(), data));
        if (known) {
            FuzzCheck(SwapCursorResourceData(cursor.data(), static_cast<uint32_t>(cursor.size()), 1) == 1);
            FuzzCheck(std::equal(cursor.begin(), cursor.end(), data));
        }
    }
    return 0;
}
