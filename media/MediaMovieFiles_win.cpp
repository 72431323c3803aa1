// The movie filter list, locating and choosing a movie file, and the element it plays in.
#include "media/MediaMovieFiles.h"

#include <new>

#include "core/files/FileSlots.h"
#include "core/files/FileTypes.h"
#include "core/files/OpenFileDialog.h"
#include "core/ui/Resources.h"
#include "media/MediaManager.h"
#include "media/elements/AVIElement.h"
#include "media/elements/QTElements.h"

namespace {

// Locks the filter block for one request.
class FilterBlock {
public:
    FilterBlock() : block_(NewMovieFilterBlock()), text_(block_ ? static_cast<const char*>(GlobalLock(block_)) : nullptr) {}
    ~FilterBlock() {
        if (text_)
            GlobalUnlock(block_);
        if (block_)
            GlobalFree(block_);
    }
    FilterBlock(const FilterBlock&) = delete;
    FilterBlock& operator=(const FilterBlock&) = delete;
    const char* text() const { return text_; }

private:
    HGLOBAL block_;
    const char* text_;
};

FileRequest MovieRequest(uint32_t prompt, const char* filter, int slot) {
    return FileRequest{static_cast<uint16_t>(prompt), filter, 0, kFileTypeMov, static_cast<uint16_t>(slot), 0};
}

}  // namespace

HGLOBAL NewMovieFilterBlock() {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, kMovieFilterBlockBytes);
    auto* text = block ? static_cast<char*>(GlobalLock(block)) : nullptr;
    if (!text) {
        if (block)
            GlobalFree(block);
        return nullptr;
    }
    // The last byte stays zero: the list ends in two zeros however long the strings are.
    int at = 0;
    for (uint32_t id = kStringMovieFilterFirst; id <= kStringMovieFilterLast; ++id) {
        const int room = int(kMovieFilterBlockBytes) - 1 - at;
        if (room < 2)
            break;
        const int length = LoadResString(id, text + at, room);
        at += (length > 0 ? length : 0) + 1;
    }
    GlobalUnlock(block);
    return block;
}

bool LocateMovieFile(const FileSpec& remembered, FileSpec* found) {
    if (!remembered.path[0])
        return false;  // no movie named: nothing to ask anyone for
    FilterBlock filter;
    return filter.text() && LocateRememberedFile(MovieRequest(kStringFindMovie, filter.text(), kNoSlot), remembered,
                                                 found, true);
}

bool ChooseMovieFile(HWND owner, FileSpec* chosen) {
    FilterBlock filter;
    if (!chosen || !filter.text() ||
        !GetOpenFileWithPreview(owner, MovieRequest(kStringChooseMovie, filter.text(), kSlotMediaFolder14), chosen))
        return false;
    PutFileSpec(kSlotMediaFolder14, *chosen);  // the next movie dialog starts from it
    return true;
}

MediaElement* NewMovieElement(std::span<const uint8_t> chunk, const char* path) {
    if (IsAVIFile(path))
        return new (std::nothrow) AVIElement(chunk, path);
    return new (std::nothrow) QTMovieElement(chunk, path);
}

MediaElement* NewMovieElement(const char* path) {
    if (IsAVIFile(path))
        return new (std::nothrow) AVIElement(path);
    return new (std::nothrow) QTMovieElement(path);
}

QTElement* QuickTimeMovie(MediaElement* element) { return dynamic_cast<QTMovieElement*>(element); }
