// Relocatable handles: small integers indexing the MemRefs table. Each handle's block holds a
// 32-bit size, the data and the end mark 0xFACEBEEF. Lock a handle to reach its data for one
// operation; a resize may move the data, so never keep a pointer across operations.
//
// Handle numbers, offsets and counts often come from stack files, so every operation checks
// them and fails without changing anything when they are out of range.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

using Handle = int32_t;

inline constexpr uint32_t kHandleEndMark = 0xFACEBEEF;
inline constexpr int kMemRefsGrowth = 200;
inline constexpr int kMemRefsMaxHandles = 32600;

// Table and handle operations.
bool InitMemRefs();
// The table, made when there is none and otherwise kept: handles that globals hold from one page
// to the next must stay theirs, never freed under them or given to another owner.
bool EnsureMemRefs();
void FreeMemRefs();  // drops the whole table (module unload, tests)
Handle NewHandle(uint32_t size);
Handle NewHandleFlags(uint32_t allocFlags, uint32_t size);
uint8_t* LockHandle(Handle h);
void UnlockHandle(Handle h);
void DisposeHandle(Handle h);
void DisposeHandleAndClear(Handle* h);
bool IsValidHandle(Handle h);
// Who may free or resize a handle: the host (every handle, at first) or an extension module it
// was made for or handed to. The mark goes with the handle: a copy or a handle made again on the
// same number is the host's.
enum class HandleOwner : uint8_t { kHost, kModule };
void SetHandleOwner(Handle h, HandleOwner owner);
HandleOwner GetHandleOwner(Handle h);  // kHost for a handle that is no longer
uint32_t GetHandleSize(Handle h);
int SetHandleSize(Handle h, uint32_t size);
bool IsHandleDiscarded(Handle h);
int GetHandleLockCount(Handle h);
int MemRefsCapacity();
int MemRefsCount();

// The block behind a handle, as the platform's memory layer knows it.
void* GetHandleGlobal(Handle h);
inline void* MemRefToGlobal(Handle h) { return GetHandleGlobal(h); }

// Munger family.
int EqualHandles(Handle a, Handle b);
int AppendHandle(Handle source, Handle destination);
int HandToHand(Handle* h);
int InsertHandle(Handle destination, Handle source, uint32_t offset, bool pad);
int InsertBytesInHandle(Handle h, const void* source, uint32_t offset, uint32_t count);
int ReplaceInHandle(Handle destination, Handle source, uint32_t offset, uint32_t length);
int DeleteFromHandle(Handle h, uint32_t offset, uint32_t count);
Handle CutFromHandle(Handle h, uint32_t offset, uint32_t count);
Handle CopyFromHandle(Handle h, uint32_t offset, uint32_t count);

// Copies between a handle's data and plain bytes. HandleToBytes gives an empty vector for an
// invalid handle (IsValidHandle tells it from an empty one); NewHandleFromBytes gives 0 when
// no handle can be had.
std::vector<uint8_t> HandleToBytes(Handle h);
Handle NewHandleFromBytes(std::span<const uint8_t> bytes);
// The handle's data becomes the bytes (its size follows). 0, or -1 with the handle unchanged.
int SetHandleBytes(Handle h, std::span<const uint8_t> bytes);
// A 16-bit host-order word of a record held in a handle. Reading gives 0 when the handle cannot
// be locked or the word does not lie whole inside its data; writing then writes nothing and
// returns false.
uint16_t GetHandleWord(Handle h, uint32_t offset);
bool SetHandleWord(Handle h, uint32_t offset, uint16_t value);

// Raw memory.
void BlockMove(const void* source, void* destination, size_t count);
void ZeroBytes(void* p, size_t count);
void FillBytes(void* p, uint8_t value, size_t count);

// Called when the table cannot grow; host/wiring/WireCore_win.cpp installs one that shows a
// message box.
using MemRefsFailureHook = void (*)();
void SetMemRefsFailureHook(MemRefsFailureHook hook);

// Locks a handle for one scope.
class HandleLock {
public:
    explicit HandleLock(Handle h) : h_(h), p_(LockHandle(h)) {}
    ~HandleLock() { if (p_) UnlockHandle(h_); }
    HandleLock(const HandleLock&) = delete;
    HandleLock& operator=(const HandleLock&) = delete;
    uint8_t* get() const { return p_; }
    // The locked data, as long as the handle's size; empty when the lock failed.
    std::span<uint8_t> bytes() const { return p_ ? std::span<uint8_t>(p_, GetHandleSize(h_)) : std::span<uint8_t>(); }
    explicit operator bool() const { return p_ != nullptr; }
private:
    Handle h_;
    uint8_t* p_;
};

// Disposes of a handle at the end of a scope unless it was released first.
class ScopedHandle {
public:
    explicit ScopedHandle(Handle h) : h_(h) {}
    ~ScopedHandle() { if (h_) DisposeHandle(h_); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    Handle get() const { return h_; }
    Handle release() {
        const Handle h = h_;
        h_ = 0;
        return h;
    }
private:
    Handle h_;
};
