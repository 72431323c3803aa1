// Where a picture comes from: the picture open dialog, a live source (video, camera, scanner)
// chosen in "VIDSRCDLG" when one was found at start-up, or for the card picture's export the
// save dialog's screen mode.
#include <cstring>
#include <string>

#include "core/files/FileSlots.h"
#include "core/files/OpenFileDialog.h"
#include "core/ui/Resources.h"
#include "media/MediaManager.h"
#include "media/pictures/GraphicSource.h"
#include "media/video/VideoSources.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr uint16_t kPictureTitle = 2407;
constexpr uint32_t kFirstFilterString = 4401;
constexpr int kFilterStrings = 24;
// The file type for which the open dialog shows its preview part for pictures.
constexpr uint16_t kPicturePreviewType = 10;

// Choices of the source dialog.
constexpr int kChoiceFile = kGraphicFromFile;
constexpr int kChoiceCancelled = kGraphicCancelled;
constexpr uint32_t kLiveSources = kMediaCamera | kMediaCaptureDriver | kMediaTwain;

std::string PictureFilter(int kind) {
    std::string filter;
    for (int i = 0; i < kFilterStrings; ++i) {
        char text[256] = {};
        LoadResString(kFirstFilterString + static_cast<uint32_t>(i), text, sizeof text);
        filter += text;
        if (i == 1 && kind == 'M')
            filter += ";*.mov";
        filter += '\0';
    }
    filter += '\0';
    return filter;
}

void CopyOut(const char* from, char* destination, int size) {
    if (!destination || size <= 0)
        return;
    std::strncpy(destination, from, static_cast<size_t>(size) - 1);
    destination[size - 1] = '\0';
}

}  // namespace

int AskGraphicFileName(HWND window, char* destination, int size, int kind, int slot) {
    const std::string filter = PictureFilter(kind);
    const FileRequest request = {kPictureTitle, filter.c_str(), 0, kPicturePreviewType,
                                 static_cast<uint16_t>(slot), 0};
    FileSpec chosen;
    if (!GetOpenFileWithPreview(window, request, &chosen))
        return 0;
    PutFileSpec(slot, chosen);
    CopyOut(std::string(PathOf(chosen)).c_str(), destination, size);
    return 1;
}

int ChooseGraphicSource(HWND window, char* destination, int size, int sourceKind, int* source) {
    int choice = kChoiceCancelled;
    if (source)
        *source = kChoiceCancelled;
    switch (sourceKind) {
    case 'R':
        if (GetMediaFlags() & kLiveSources) {
            choice = RunGraphicSourceDialog(window, GetMediaFlags());
            if (choice != kChoiceFile)
                break;
        }
        [[fallthrough]];
    case 'A':
        choice = AskGraphicFileName(window, destination, size, sourceKind, kSlotMediaFolder4) ? kChoiceFile : kChoiceCancelled;
        break;
    case 'W': {
        char path[MAX_PATH] = {};
        if (!AskSaveStackFile(window, kSaveScreen, path, sizeof path)) {
            choice = kChoiceCancelled;
            break;
        }
        CopyOut(path, destination, size);
        choice = kChoiceFile;
        break;
    }
    default: break;
    }
    if (choice == kChoiceCancelled)
        return 0;
    if (choice != kChoiceFile)
        CopyOut("", destination, size);  // a live source names no file
    if (source)
        *source = choice;
    return 1;
}
