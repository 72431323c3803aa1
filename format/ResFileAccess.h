// Locked access to a ResFile record and its entry table, for the resource manager's own files.
#pragma once

#include <span>
#include <vector>

#include "format/ResFile.h"

// Locks the record and its table for one scope. The table may grow through `GrowEntries`,
// which re-locks it; spans taken before that are stale.
class ResFileAccess {
public:
    explicit ResFileAccess(Handle resFile);
    ~ResFileAccess();
    ResFileAccess(const ResFileAccess&) = delete;
    ResFileAccess& operator=(const ResFileAccess&) = delete;

    explicit operator bool() const { return file_ != nullptr; }
    ResFile* file() const { return file_; }
    std::span<ResEntry> entries() const;
    // Sizes the table for `count` entries, new ones zeroed (the count field is the caller's).
    bool GrowEntries(uint32_t count);

private:
    void LockEntries();
    void UnlockEntries();

    Handle handle_;
    ResFile* file_ = nullptr;
    ResEntry* entries_ = nullptr;
    uint32_t capacity_ = 0;
};

// Shared by the resource manager's files (ResourceManager.cpp).
Handle ResFileHead();
void SetResFileHead(Handle head);
Handle CurrentResFileHandle();
void SetCurrentResFileHandle(Handle resFile);
uint32_t TakeResFileRefNum();
// Reads an entry's data from its file again into a new handle, converted for memory (or raw,
// for a raw entry); 0 on failure (ResourceArea.cpp).
Handle ReadResourceData(const ResFile& file, const ResEntry& entry);
