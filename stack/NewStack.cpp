// The id counters of the open stack's header.
#include "stack/NewStack.h"

#include "core/ByteReader.h"
#include "stack/StackFile.h"
#include "stack/StackOpenSession.h"

uint16_t NewUniqueObjectId() {
    const Handle header = GetStackHeaderHandle();
    HandleLock lock(header);
    if (!lock || GetHandleSize(header) < kStackHeaderBytes)
        return 0;
    const std::span<uint8_t> bytes(lock.get(), kStackHeaderBytes);
    uint16_t id = GetU16(bytes, kHeaderNextObjectId);
    if (id == 0)
        id = 1;
    SetU16(bytes, kHeaderNextObjectId, id == 0xFFFF ? 1 : static_cast<uint16_t>(id + 1));
    return id;
}
