// The media library's one record: the browser window, the current library folder, the list's
// sort and selection walk, the drag and splitter state and what the preview pane shows. It is
// made at start-up and kept for the run; every access locks it for that access only.
//
//   MediaLibRecord.cpp    life and lock (no Windows code: window handles are kept opaque here)
#pragma once

#include <cstddef>
#include <cstdint>


inline constexpr size_t kMediaLibFolderBytes = 262;
inline constexpr size_t kMediaLibMaxPath = 260;

// String ids of the list's columns, which are also the sort keys (negative: descending).
inline constexpr int32_t kSortByName = 4194, kSortByType = 4195, kSortByDate = 4196;

struct MediaLibRecord {
    void* window;  // the browser, null while none exists
    char folder[kMediaLibFolderBytes];
    int32_t sortKey;
    int32_t searchIndex;  // the selection walk resumes after this list index; -1 from the start
    int32_t focusedKey;   // key of the focused list item; -1 none
    uint32_t tracking;    // an item or splitter drag is under way
    void* previousCapture;
    void* previousCursor;
    void* refuseCursor;
    void* dropCursor;
    int32_t dropX, dropY;  // screen point of a drop on the card window
    void* splitterCursor;
    int32_t band[4];       // left, top, right, bottom of the splitter band being dragged
    uint32_t previewKind;  // media code of the preview, 0 for the title picture
    uintptr_t previewObject;
    uint32_t cardCount;
    void* cardPicture;
};

// Makes the record when none exists: true when it made one. A failed opening frees it with
// giveUp, and it is then never made again until a shut-down frees it without.
bool AllocMediaLibRecord();
void FreeMediaLibRecord(bool giveUp);
bool HasMediaLib();
MediaLibRecord* LockMediaLib();  // null without a record
void UnlockMediaLib();

// The record locked for a scope; get() is null without one.
class MediaLibLock {
public:
    MediaLibLock() : record_(LockMediaLib()) {}
    ~MediaLibLock() { if (record_) UnlockMediaLib(); }
    MediaLibLock(const MediaLibLock&) = delete;
    MediaLibLock& operator=(const MediaLibLock&) = delete;
    MediaLibRecord* get() const { return record_; }
    MediaLibRecord* operator->() const { return record_; }
    explicit operator bool() const { return record_ != nullptr; }

private:
    MediaLibRecord* record_;
};
