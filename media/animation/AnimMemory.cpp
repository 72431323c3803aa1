// The memory glue of the animation code over the handles: 0, or -1 for out of memory; and the
// head every animation record begins with.
#include "media/animation/AnimRecord.h"

#include <cstring>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

int AnimNewHandle(uint32_t size, Handle* out) {
    *out = NewHandle(size);
    if (!*out)
        return -1;
    if (size) {
        HandleLock lock(*out);
        std::memset(lock.get(), 0, size);
    }
    return 0;
}

void AnimDisposeHandle(Handle h) {
    if (h)
        DisposeHandle(h);
}

int AnimAppendHandle(Handle source, Handle destination) {
    return AppendHandle(source, destination) == 0 ? 0 : -1;
}

int AnimAppendBytes(std::span<const uint8_t> bytes, Handle destination) {
    if (bytes.empty())
        return 0;
    return InsertBytesInHandle(destination, bytes.data(), GetHandleSize(destination),
                               static_cast<uint32_t>(bytes.size())) == 0 ? 0 : -1;
}

uint32_t AnimGetHandleSize(Handle h) { return h ? GetHandleSize(h) : 0; }

int AnimPtrToHandle(std::span<const uint8_t> bytes, Handle* out) {
    *out = NewHandleFromBytes(bytes);
    return *out ? 0 : -1;
}

int AnimSetHandleSize(Handle h, uint32_t size) { return SetHandleSize(h, size) == 0 ? 0 : -1; }

uint8_t* AnimLockHandle(Handle h) { return h ? LockHandle(h) : nullptr; }

void AnimUnlockHandle(Handle h) {
    if (h)
        UnlockHandle(h);
}

int AnimPadHandleEven(Handle h) {
    const uint32_t size = GetHandleSize(h);
    if (size % 2 == 0)
        return 0;
    const uint8_t zero = 0;
    return AnimAppendBytes({&zero, 1}, h);
}

int NewAnimRecord(Handle* out, uint32_t size, uint32_t tag, AnimPair identity, AnimPair owner) {
    if (AnimNewHandle(size, out) != 0)
        return -1;
    HandleLock lock(*out);
    const std::span<uint8_t> r = lock.bytes();
    SetU32(r, kAnimTag, tag);
    SetU16(r, kAnimVersion, kAnimRecordVersion);
    SetU32(r, kAnimIdentity, identity.kind);
    SetU32(r, kAnimIdentity + 4, identity.number);
    SetU32(r, kAnimOwner, owner.kind);
    SetU32(r, kAnimOwner + 4, owner.number);
    return 0;
}
