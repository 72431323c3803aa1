// The media library record's life and lock. The record holds pointers, so it lives in storage
// of its own alignment rather than in a movable handle's bytes; the lock still brackets each
// access.
#include "media/library/MediaLibRecord.h"

#include <optional>

namespace {

std::optional<MediaLibRecord> g_record;
bool g_givenUp = false;
int g_locks = 0;

}  // namespace

bool AllocMediaLibRecord() {
    if (g_record || g_givenUp)
        return false;
    g_record.emplace(MediaLibRecord{});
    g_record->sortKey = kSortByName;
    g_record->searchIndex = -1;
    g_record->focusedKey = -1;
    return true;
}

void FreeMediaLibRecord(bool giveUp) {
    g_record.reset();
    g_locks = 0;
    // A shut-down ends the run: the next start may make the record again.
    g_givenUp = giveUp;
}

bool HasMediaLib() { return g_record.has_value(); }

MediaLibRecord* LockMediaLib() {
    if (!g_record)
        return nullptr;
    ++g_locks;
    return &*g_record;
}

void UnlockMediaLib() {
    if (g_locks > 0)
        --g_locks;
}
