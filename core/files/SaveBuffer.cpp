// The save buffer over a handle.
#include "core/files/SaveBuffer.h"

#include <cstring>

#include "core/memory/ByteReader.h"

namespace {

constexpr uint32_t kHeaderSize = 8;
constexpr uint32_t kSmallestBuffer = 4096;

constexpr size_t kCapacityAt = 0;
constexpr size_t kHeldAt = 4;

// Writes what the locked buffer holds at the file's position and empties it.
int Drain(FileRef file, std::span<uint8_t> block) {
    const uint32_t held = GetU32(block, kHeldAt);
    if (held == 0)
        return kFileOk;
    auto count = static_cast<int32_t>(held);
    const int err = FileWrite(file, &count, block.data() + kHeaderSize);
    if (err == kFileOk)
        SetU32(block, kHeldAt, 0);
    return err;
}

}  // namespace

Handle NewWriteBuffer(uint32_t size) {
    if (size <= kHeaderSize)
        return 0;
    Handle buffer = 0;
    for (uint32_t tried = size; !buffer && tried >= kSmallestBuffer + kHeaderSize; tried /= 2)
        buffer = NewHandle(tried);
    if (!buffer && size < kSmallestBuffer + kHeaderSize)
        buffer = NewHandle(size);
    if (!buffer)
        return 0;
    HandleLock lock(buffer);
    if (!lock) {
        DisposeHandle(buffer);
        return 0;
    }
    const std::span<uint8_t> block = lock.bytes();
    SetU32(block, kCapacityAt, GetHandleSize(buffer) - kHeaderSize);
    SetU32(block, kHeldAt, 0);
    return buffer;
}

void DisposeWriteBuffer(Handle* buffer) { DisposeHandleAndClear(buffer); }

uint32_t WriteBufferHeld(Handle buffer) {
    HandleLock lock(buffer);
    return lock ? GetU32(lock.bytes(), kHeldAt) : 0;
}

int WriteThroughBuffer(FileRef file, uint32_t count, const void* data, Handle buffer) {
    HandleLock lock(buffer);
    if (!lock || GetHandleSize(buffer) < kHeaderSize)
        return kFileMissing;
    const std::span<uint8_t> block = lock.bytes();
    const uint32_t capacity = GetU32(block, kCapacityAt);
    if (capacity == 0 || capacity > GetHandleSize(buffer) - kHeaderSize)
        return kFileMissing;
    const auto* source = static_cast<const uint8_t*>(data);
    while (count > 0) {
        const uint32_t held = GetU32(block, kHeldAt);
        const uint32_t room = capacity - held;
        const uint32_t n = count < room ? count : room;
        std::memcpy(block.data() + kHeaderSize + held, source, n);
        SetU32(block, kHeldAt, held + n);
        source += n;
        count -= n;
        if (held + n == capacity) {
            const int err = Drain(file, block);
            if (err != kFileOk)
                return err;
        }
    }
    return kFileOk;
}

int FlushWriteBuffer(Handle buffer, bool truncate, FileRef file, int origin, int32_t* position) {
    HandleLock lock(buffer);
    if (!lock || GetHandleSize(buffer) < kHeaderSize || !position)
        return kFileMissing;
    const std::span<uint8_t> block = lock.bytes();
    const uint32_t held = GetU32(block, kHeldAt);
    if (held == 0)
        return kFileOk;
    if (truncate) {
        const int err = FileTruncate(file, static_cast<uint32_t>(*position) + held);
        if (err != 0)
            return err;
    }
    int err = FileSeek(file, origin, *position);
    if (err == kFileOk)
        err = Drain(file, block);
    if (err == kFileOk)
        *position += static_cast<int32_t>(held);
    return err;
}

int WriteResourceData(FileRef file, uint32_t count, const void* data, Handle buffer) {
    if (buffer)
        return WriteThroughBuffer(file, count, data, buffer);
    if (count > 0x7FFFFFFFu)
        return kFileFailed;
    auto n = static_cast<int32_t>(count);
    return FileWrite(file, &n, data);
}
