// The test action module's request lists: perform data that begins "REQL" is not kept but
// made, one request after the other, through the host callback, and each resulting block is
// logged ("request code=... p1=... p2=... p3=... p4=... p5=...").
//
// Layout (the module's own byte order): "REQL", u16 count, then count entries of 24 bytes:
// u16 code, u16 offsets (bit i: field i is an offset into the data, handed over as a pointer
// to it), then the five 32-bit fields [50], [54], [58], [62] and [66]. Texts the fields point
// to follow the entries.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "ModuleLog_win.h"

inline constexpr char kRequestListMagic[4] = {'R', 'E', 'Q', 'L'};
inline constexpr uint32_t kRequestListHeader = 6;
inline constexpr uint32_t kRequestEntryBytes = 24;
inline constexpr uint16_t kRequestLockHandle = 16;
inline constexpr uint16_t kRequestUnlockHandle = 17;

inline void LogRequest(const NbaParamBlock* b, uint16_t code) {
    char line[256];
    std::snprintf(line, sizeof line, "request code=%u p1=%lu p2=%lu p3=%lu p4=%lu p5=%lu", code,
                  static_cast<unsigned long>(b->param1), static_cast<unsigned long>(b->param2),
                  static_cast<unsigned long>(b->param3), static_cast<unsigned long>(b->param4),
                  static_cast<unsigned long>(b->handled));
    LogLine(line);
}

// True when the data was a request list (made then); false leaves the call to the usual path.
inline bool RunRequestList(NbaParamBlock* block) {
    if (!block->callback || block->param1 == 0 || block->param2 < kRequestListHeader)
        return false;
    const auto callback = reinterpret_cast<NbaHostCallback>(static_cast<uintptr_t>(block->callback));
    const uint32_t handle = block->param1, size = block->param2;
    // The data is a host handle: the host locks it and hands out its address.
    block->message = kRequestLockHandle;
    callback(block);
    const auto* at = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(block->param1));
    if (!at || std::memcmp(at, kRequestListMagic, 4) != 0) {
        block->message = kRequestUnlockHandle;
        block->param1 = handle;
        callback(block);
        return false;
    }
    // A copy: the requests may move or free what the host handed out.
    std::vector<uint8_t> data(at, at + size);
    block->message = kRequestUnlockHandle;
    block->param1 = handle;
    callback(block);
    uint16_t count = 0;
    std::memcpy(&count, data.data() + 4, 2);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t entry = kRequestListHeader + i * kRequestEntryBytes;
        if (entry + kRequestEntryBytes > data.size())
            break;
        uint16_t code = 0, offsets = 0;
        uint32_t fields[5] = {};
        std::memcpy(&code, data.data() + entry, 2);
        std::memcpy(&offsets, data.data() + entry + 2, 2);
        std::memcpy(fields, data.data() + entry + 4, sizeof fields);
        for (int f = 0; f < 5; ++f)
            if ((offsets & (1u << f)) && fields[f] < data.size())
                fields[f] = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(data.data() + fields[f]));
        block->message = code;
        block->param1 = fields[0];
        block->param2 = fields[1];
        block->param3 = fields[2];
        block->param4 = fields[3];
        block->handled = fields[4];
        callback(block);
        LogRequest(block, code);
    }
    return true;
}
