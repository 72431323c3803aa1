// Releasing handles, graphics objects, cursors, icons and locked global blocks safely.
#pragma once

#include <windows.h>

#include <type_traits>

// True for a null handle; otherwise the release call's result.
BOOL SafeDeleteObject(HGDIOBJ object);
BOOL SafeDestroyCursor(HCURSOR cursor);
BOOL SafeDestroyIcon(HICON icon);

// Releases the object held in *object and stores null there. 1 on success; 0 for a null
// pointer or when the release fails (a null handle counts as a failed release).
template <class T>
    requires std::is_convertible_v<T, HGDIOBJ>
int DeleteObjectAndClear(T* object) {
    if (!object)
        return 0;
    const BOOL released = *object ? DeleteObject(*object) : FALSE;
    *object = nullptr;
    return released ? 1 : 0;
}

// A movable zero-filled global block of size bytes, locked: the pointer, with the block in
// *block; null (and *block null) when it cannot be had or locked.
void* AllocLockedGlobal(HGLOBAL* block, SIZE_T size);
// Unlocks the block when locked is set, then frees it; nothing for null.
void FreeLockedGlobal(HGLOBAL block, BOOL locked);

// A handle given to Free at the end of the scope (when not null), unless released first.
template <class T, auto Free>
class OwnedHandle {
public:
    explicit OwnedHandle(T handle) : handle_(handle) {}
    ~OwnedHandle() {
        if (handle_)
            Free(handle_);
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    T release() {
        T handle = handle_;
        handle_ = nullptr;
        return handle;
    }

private:
    T handle_;
};
