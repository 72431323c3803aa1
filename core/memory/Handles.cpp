// The MemRefs table and the handle blocks behind it, with the munger operations.
// Platform-neutral: blocks come from the C heap with a lock count kept beside them, as the
// system's movable global blocks would carry one.
#include "core/memory/Handles.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/memory/ByteReader.h"

namespace {

// A handle's block: size word, data, end mark. `mem` may move on every resize.
struct Block {
    uint8_t* mem = nullptr;
    uint32_t lockCount = 0;
    HandleOwner owner = HandleOwner::kHost;
};

// Sizes from files are hostile; nothing this large is ever a real record.
constexpr uint32_t kMaxHandleSize = 0x40000000u;

struct MemRefsTable {
    std::vector<Block*> slots;  // slot i holds the block of handle i + 1; null = free
    uint16_t count = 0;
    int16_t capacity = 0;
    int16_t cursor = 0;
};

MemRefsTable g_memRefs;
MemRefsFailureHook g_failureHook = nullptr;

void WriteSizeAndMark(uint8_t* mem, uint32_t size) {
    std::memcpy(mem, &size, 4);
    const uint8_t mark[4] = {0xEF, 0xBE, 0xCE, 0xFA};
    std::memcpy(mem + 4 + size, mark, 4);
}

uint32_t ReadSize(const uint8_t* mem) {
    uint32_t size;
    std::memcpy(&size, mem, 4);
    return size;
}

Block* BlockOf(Handle h) {
    if (h <= 0 || h > g_memRefs.capacity || static_cast<size_t>(h) > g_memRefs.slots.size())
        return nullptr;
    return g_memRefs.slots[h - 1];
}

Block* NewBlock(uint32_t size) {
    if (size > kMaxHandleSize)
        return nullptr;
    auto* mem = static_cast<uint8_t*>(std::calloc(size + 8u, 1));
    if (!mem)
        return nullptr;
    WriteSizeAndMark(mem, size);
    return new Block{mem, 0, HandleOwner::kHost};
}

void FreeBlock(Block* block) {
    std::free(block->mem);
    delete block;
}

bool GrowMemRefs() {
    if (g_memRefs.capacity + kMemRefsGrowth > kMemRefsMaxHandles)
        return false;
    g_memRefs.slots.resize(g_memRefs.capacity + kMemRefsGrowth, nullptr);
    g_memRefs.capacity = static_cast<int16_t>(g_memRefs.capacity + kMemRefsGrowth);
    return true;
}

// Puts the block in the first free slot from the search cursor on; 0 when the table is full.
Handle RegisterBlock(Block* block) {
    if (g_memRefs.capacity == 0)
        return 0;
    if (g_memRefs.count == static_cast<uint16_t>(g_memRefs.capacity) && !GrowMemRefs()) {
        if (g_failureHook)
            g_failureHook();
        return 0;
    }
    int16_t cursor = g_memRefs.cursor;
    while (g_memRefs.slots[cursor] != nullptr) {
        ++cursor;
        if (cursor >= g_memRefs.capacity)
            cursor = 0;
    }
    g_memRefs.cursor = cursor;
    g_memRefs.slots[cursor] = block;
    ++g_memRefs.count;
    return cursor + 1;
}

bool RangeInside(uint32_t size, uint32_t offset, uint32_t count) {
    return offset <= size && count <= size - offset;
}

}  // namespace

bool InitMemRefs() {
    FreeMemRefs();
    g_memRefs.slots.assign(kMemRefsGrowth, nullptr);
    g_memRefs.capacity = kMemRefsGrowth;
    return true;
}

bool EnsureMemRefs() { return g_memRefs.capacity > 0 || InitMemRefs(); }

void FreeMemRefs() {
    for (Block* block : g_memRefs.slots)
        if (block)
            FreeBlock(block);
    g_memRefs = MemRefsTable{};
}

void SetMemRefsFailureHook(MemRefsFailureHook hook) { g_failureHook = hook; }

int MemRefsCapacity() { return g_memRefs.capacity; }
int MemRefsCount() { return g_memRefs.count; }

Handle NewHandle(uint32_t size) {
    return NewHandleFlags(0, size);
}

Handle NewHandleFlags(uint32_t /*allocFlags*/, uint32_t size) {
    // Every block is movable and zeroed; the flags only ever asked for that.
    Block* block = NewBlock(size);
    if (!block)
        return 0;
    Handle h = RegisterBlock(block);
    if (h == 0)
        FreeBlock(block);
    return h;
}

uint8_t* LockHandle(Handle h) {
    Block* block = BlockOf(h);
    if (!block || block->lockCount >= 255)
        return nullptr;
    ++block->lockCount;
    return block->mem + 4;
}

void UnlockHandle(Handle h) {
    Block* block = BlockOf(h);
    if (block && block->lockCount > 0)
        --block->lockCount;
}

int GetHandleLockCount(Handle h) {
    Block* block = BlockOf(h);
    return block ? static_cast<int>(block->lockCount) : 0;
}

void DisposeHandle(Handle h) {
    Block* block = BlockOf(h);
    if (!block)
        return;
    FreeBlock(block);  // outstanding locks go with it
    g_memRefs.slots[h - 1] = nullptr;
    --g_memRefs.count;
}

void DisposeHandleAndClear(Handle* h) {
    if (h && *h) {
        DisposeHandle(*h);
        *h = 0;
    }
}

bool IsValidHandle(Handle h) { return BlockOf(h) != nullptr; }

void SetHandleOwner(Handle h, HandleOwner owner) {
    if (Block* block = BlockOf(h))
        block->owner = owner;
}

HandleOwner GetHandleOwner(Handle h) {
    const Block* block = BlockOf(h);
    return block ? block->owner : HandleOwner::kHost;
}

uint32_t GetHandleSize(Handle h) {
    Block* block = BlockOf(h);
    return block ? ReadSize(block->mem) : 0;
}

int SetHandleSize(Handle h, uint32_t size) {
    Block* block = BlockOf(h);
    if (!block || size > kMaxHandleSize)
        return -1;
    uint32_t oldSize = ReadSize(block->mem);
    auto* mem = static_cast<uint8_t*>(std::realloc(block->mem, size + 8u));
    if (!mem)
        return -1;
    if (size > oldSize)  // the old end mark and the growth read as zero
        std::memset(mem + 4 + oldSize, 0, size - oldSize);
    WriteSizeAndMark(mem, size);
    block->mem = mem;
    return 0;
}

bool IsHandleDiscarded(Handle h) {
    // Heap blocks are never discarded behind their owner's back.
    (void)h;
    return false;
}

void* GetHandleGlobal(Handle h) {
    Block* block = BlockOf(h);
    return block ? block->mem : nullptr;
}

int EqualHandles(Handle a, Handle b) {
    Block* ba = BlockOf(a);
    Block* bb = BlockOf(b);
    if (!ba || !bb)
        return 0;
    uint32_t size = ReadSize(ba->mem);
    if (size != ReadSize(bb->mem))
        return 0;
    return std::memcmp(ba->mem + 4, bb->mem + 4, size) == 0 ? 1 : 0;
}

int AppendHandle(Handle source, Handle destination) {
    if (!IsValidHandle(destination))
        return -1;
    return InsertHandle(destination, source, GetHandleSize(destination), false);
}

int HandToHand(Handle* h) {
    if (!h)
        return -1;
    Handle copy = CopyFromHandle(*h, 0, GetHandleSize(*h));
    if (!copy)
        return -1;
    *h = copy;
    return 0;
}

int InsertHandle(Handle destination, Handle source, uint32_t offset, bool pad) {
    if (!IsValidHandle(source))
        return -1;
    // A copy, so that the source may also be the destination of the resize.
    std::vector<uint8_t> bytes = HandleToBytes(source);
    if (pad && (bytes.size() & 1))
        bytes.push_back(0xEF);  // the byte after the data: the first byte of the end mark
    return InsertBytesInHandle(destination, bytes.data(), offset, static_cast<uint32_t>(bytes.size()));
}

int InsertBytesInHandle(Handle h, const void* source, uint32_t offset, uint32_t count) {
    Block* block = BlockOf(h);
    if (!block || (count && !source))
        return -1;
    uint32_t size = ReadSize(block->mem);
    if (offset > size || count > kMaxHandleSize - size)
        return -1;
    if (count == 0)
        return 0;
    // The source may lie inside this very block, which the resize can move.
    std::vector<uint8_t> bytes(static_cast<const uint8_t*>(source), static_cast<const uint8_t*>(source) + count);
    if (SetHandleSize(h, size + count) != 0)
        return -1;
    uint8_t* data = block->mem + 4;
    BlockMove(data + offset, data + offset + count, size - offset);
    BlockMove(bytes.data(), data + offset, count);
    return 0;
}

int ReplaceInHandle(Handle destination, Handle source, uint32_t offset, uint32_t length) {
    Block* block = BlockOf(destination);
    if (!block || !IsValidHandle(source))
        return -1;
    const std::vector<uint8_t> bytes = HandleToBytes(source);
    uint32_t size = ReadSize(block->mem);
    if (!RangeInside(size, offset, length))
        return -1;
    auto sourceSize = static_cast<uint32_t>(bytes.size());
    if (sourceSize == length) {
        BlockMove(bytes.data(), block->mem + 4 + offset, length);
        return 0;
    }
    if (sourceSize > length) {
        // Make sure the grown size can be had before anything changes.
        if (sourceSize - length > kMaxHandleSize - size)
            return -1;
        if (SetHandleSize(destination, size - length + sourceSize) != 0)
            return -1;
        SetHandleSize(destination, size);
    }
    DeleteFromHandle(destination, offset, length);
    return InsertBytesInHandle(destination, bytes.data(), offset, sourceSize);
}

int DeleteFromHandle(Handle h, uint32_t offset, uint32_t count) {
    Block* block = BlockOf(h);
    if (!block)
        return -1;
    uint32_t size = ReadSize(block->mem);
    if (!RangeInside(size, offset, count))
        return -1;
    uint8_t* data = block->mem + 4;
    BlockMove(data + offset + count, data + offset, size - offset - count);
    return SetHandleSize(h, size - count);
}

Handle CutFromHandle(Handle h, uint32_t offset, uint32_t count) {
    Handle cut = CopyFromHandle(h, offset, count);
    if (cut && DeleteFromHandle(h, offset, count) != 0) {
        DisposeHandle(cut);
        return 0;
    }
    return cut;
}

Handle CopyFromHandle(Handle h, uint32_t offset, uint32_t count) {
    Block* block = BlockOf(h);
    if (!block || !RangeInside(ReadSize(block->mem), offset, count))
        return 0;
    Handle copy = NewHandle(count);
    if (!copy)
        return 0;
    // The new block was registered after `block` was looked up; slots hold pointers, so it stays put.
    BlockMove(block->mem + 4 + offset, BlockOf(copy)->mem + 4, count);
    return copy;
}

std::vector<uint8_t> HandleToBytes(Handle h) {
    // Nothing can move the block while it is copied, so it needs no lock.
    Block* block = BlockOf(h);
    if (!block)
        return {};
    return {block->mem + 4, block->mem + 4 + ReadSize(block->mem)};
}

Handle NewHandleFromBytes(std::span<const uint8_t> bytes) {
    if (bytes.size() > kMaxHandleSize)
        return 0;
    Handle h = NewHandle(static_cast<uint32_t>(bytes.size()));
    if (h)
        BlockMove(bytes.data(), BlockOf(h)->mem + 4, bytes.size());
    return h;
}

int SetHandleBytes(Handle h, std::span<const uint8_t> bytes) {
    if (bytes.size() > kMaxHandleSize || SetHandleSize(h, static_cast<uint32_t>(bytes.size())) != 0)
        return -1;
    BlockMove(bytes.data(), BlockOf(h)->mem + 4, bytes.size());
    return 0;
}

uint16_t GetHandleWord(Handle h, uint32_t offset) {
    HandleLock lock(h);
    return GetU16(lock.bytes(), offset);
}

bool SetHandleWord(Handle h, uint32_t offset, uint16_t value) {
    HandleLock lock(h);
    return SetU16(lock.bytes(), offset, value);
}

void BlockMove(const void* source, void* destination, size_t count) {
    if (count == 0 || source == destination || !source || !destination)
        return;
    std::memmove(destination, source, count);
}

void ZeroBytes(void* p, size_t count) {
    if (p && count)
        std::memset(p, 0, count);
}

void FillBytes(void* p, uint8_t value, size_t count) {
    if (p && count)
        std::memset(p, value, count);
}
