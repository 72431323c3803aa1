// Saving the open stack: the steps from the undo step to the file in the stack's place.
#include "stack/save/SaveStack.h"

#include "core/ui/UiOps.h"
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"

#include <cstdio>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "core/files/SaveBuffer.h"
#include "core/system/ChangeFlags.h"
#include "core/text/MacText.h"
#include "core/ui/ScreenDepth.h"
#include "stack/cards/CardList.h"
#include "stack/cards/StoredRecords.h"
#include "stack/depth/StackDepth.h"
#include "stack/StackOpenSession.h"
#include "stack/pictures/CardPictureStore.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/undo/Undo.h"

namespace {

constexpr char kTempName[] = "LMTMP000.TMP";
constexpr size_t kTempDigits = 5;  // the three digits start here

// Whether the open stack has a file, whether that file is only a downloaded copy (not the
// author's), and whether a save is writing it.
struct SaveState {
    bool hasFile = false;
    bool downloadCopy = false;
    bool saving = false;
} g_save;

class SavingFlag {
public:
    SavingFlag() { g_save.saving = true; }
    ~SavingFlag() { g_save.saving = false; }
    SavingFlag(const SavingFlag&) = delete;
    SavingFlag& operator=(const SavingFlag&) = delete;
};

uint16_t HeaderWord(uint32_t offset) {
    HandleLock lock(GetStackHeaderHandle());
    if (!lock || GetHandleSize(GetStackHeaderHandle()) < kStackHeaderBytes)
        return 0;
    return GetU16({lock.get(), kStackHeaderBytes}, offset);
}

void SetHeaderDepth(int depth) {
    HandleLock lock(GetStackHeaderHandle());
    if (lock && GetHandleSize(GetStackHeaderHandle()) >= kStackHeaderBytes)
        SetU16({lock.get(), kStackHeaderBytes}, kHeaderDepth, static_cast<uint16_t>(depth));
}

// How the cards were brought to the depth the file carries, to undo it afterwards.
struct SaveDepth {
    int working = 0, screen = 0;
    bool converted = false, passedThrough = false;
};

// The file keeps the depth the stack works at (nothing is converted for it but passed through).
bool SaveKeepsDepth() {
    const int working = GetScreenDepth(), screen = DisplayDepthForStack();
    const bool jpeg = (HeaderWord(kHeaderFlags) & kStackHighCompression) != 0;
    return working == 0 || screen == 0 || !SaveConvertsDepth(working, screen, jpeg);
}

SaveDepth BringCardsToFileDepth() {
    SaveDepth d;
    d.working = GetScreenDepth();
    d.screen = DisplayDepthForStack();
    const bool jpeg = (HeaderWord(kHeaderFlags) & kStackHighCompression) != 0;
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    if (d.working == 0 || d.screen == 0)
        return d;
    if (SaveConvertsDepth(d.working, d.screen, jpeg)) {
        ConversionRun run({.stackIo = true, .toStackOrder = true});
        SetHeaderDepth(d.screen);
        ConvertAllCards(d.working, d.screen, width, height);
        d.converted = true;
    } else if (d.working == 16 || d.working == 32) {
        ConversionRun run({.stackIo = true, .toStackOrder = true});
        ConvertAllCards(d.working, d.working, width, height);
        d.passedThrough = true;
    }
    return d;
}

void ReturnCardsToWorkingDepth(const SaveDepth& d) {
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    if (d.converted) {
        {
            ConversionRun run({.stackIo = true});
            ConvertAllCards(d.screen, d.working, width, height);
        }
        SetHeaderDepth(d.screen);
    } else if (d.passedThrough) {
        ConversionRun run({.stackIo = true});
        ConvertAllCards(d.working, d.working, width, height);
    }
}

// The path of a slot (always terminated).
void SlotPath(int slot, char* out, size_t size) {
    GetFileSpecPath(slot, static_cast<int>(size), out);
}

// Opens (or creates) the stack file itself for writing in place.
FileRef OpenInPlace(const char* path) {
    FileRef file = kNoFile;
    if (FileExists(path)) {
        file = ActiveFileSystem().open(path, kOpenReadWrite);
    } else {
        file = ActiveFileSystem().create(path);
    }
    return file;
}

}  // namespace


bool StackHasFile() { return g_save.hasFile; }
void SetStackHasFile(bool hasFile) {
    g_save.hasFile = hasFile;
    g_save.downloadCopy = false;
}
bool StackFileIsDownloadCopy() { return g_save.hasFile && g_save.downloadCopy; }
void SetStackFileIsDownloadCopy(bool copy) { g_save.downloadCopy = copy; }
bool IsSavingStack() { return g_save.saving; }

bool SaveConvertsDepth(int workingDepth, int screenDepth, bool jpegFlag) {
    return workingDepth == 24 || workingDepth != screenDepth || (jpegFlag && screenDepth >= 9);
}

namespace {

// The folder of a path with its separator ("" for a bare name).
std::string FolderOf(const char* path) {
    std::string folder = path ? path : "";
    const size_t cut = folder.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : folder.substr(0, cut + 1);
}

// The n-th temporary name (0..999) in a folder.
std::string SaveTempName(const std::string& folder, int n) {
    std::string name = kTempName;
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03d", n);
    name.replace(kTempDigits, 3, digits);
    return folder + name;
}

}  // namespace

int RemoveStaleSaveTempFiles(const char* stackPath) {
    const std::string folder = FolderOf(stackPath);
    int removed = 0;
    for (int n = 0; n < kSaveTempNames; ++n) {
        const std::string name = SaveTempName(folder, n);
        if (!FileExists(name.c_str()))
            continue;
        // A file held open (a save still writing it) stays: the system refuses to remove it.
        DeleteFilePath(name.c_str());
        if (!FileExists(name.c_str()))
            ++removed;
    }
    return removed;
}

bool NextSaveTempName(const char* stackPath, char* out, size_t size) {
    if (!out || size == 0)
        return false;
    out[0] = 0;
    const std::string folder = FolderOf(stackPath);
    for (int n = 0; n < kSaveTempNames; ++n) {
        const std::string candidate = SaveTempName(folder, n);
        if (!FileExists(candidate.c_str())) {
            if (candidate.size() + 1 > size)
                return false;
            std::memcpy(out, candidate.c_str(), candidate.size() + 1);
            return true;
        }
    }
    return false;
}

int PrepareStackSave(int slot, SavePlan& plan) {
    plan = SavePlan{};
    SlotPath(slot, plan.target, sizeof plan.target);
    if (!plan.target[0])
        return kFileMissing;
    uint32_t currentSize = 0;
    int readOnly = 0;
    const bool exists = GetFileSizeAndAccess(slot, &currentSize, &readOnly) == kFileOk;
    if (exists && readOnly) {
        GetUiOps().showErrorMessage(kFileNotWritable);
        return kFileNotWritable;
    }
    // What earlier saves cut short left beside the stack goes first: it takes room on the disk.
    RemoveStaleSaveTempFiles(plan.target);
    PurgeUnusedResources();
    GetStackUpcalls().stackEvent(StackEvent::StoringFontTable);
    SaveWorkspaceResource();
    StackStatistics statistics;
    plan.total = GetStackStatistics(&statistics);
    plan.resourceOffset = statistics.cardBytes;
    uint32_t freeBytes = 0;
    if (!GetStackPlatformOps().freeSpace(plan.target, &freeBytes))
        freeBytes = 0;
    const uint64_t needed = uint64_t{plan.total} + kSaveSpareBytes;
    if (currentSize < plan.total && freeBytes < needed - currentSize) {
        ShowCardAlert(kAlertDiskFull);
        return kFileRefused;
    }
    plan.useTemporary = needed < freeBytes;
    return kFileOk;
}

int CreateSaveTempFile(SavePlan& plan, FileRef* file) {
    *file = kNoFile;
    if (!plan.useTemporary) {
        CopyPathText(plan.target, plan.written, sizeof plan.written);
        *file = OpenInPlace(plan.target);
        return *file == kNoFile ? kFileMissing : kFileOk;
    }
    if (!NextSaveTempName(plan.target, plan.written, sizeof plan.written))
        return kFileMissing;
    *file = ActiveFileSystem().create(plan.written);
    return *file == kNoFile ? kFileMissing : kFileOk;
}

int FinishStackSave(int slot, bool samePath, SavePlan& plan, Handle buffer) {
    (void)slot;
    (void)samePath;
    (void)buffer;
    if (plan.useTemporary) {
        // One step: the old stack stays whole until the new file takes its name.
        if (ReplaceFilePath(plan.written, plan.target) != kFileOk)
            return kFileFailed;
    }
    RestoreStackWorkspace();
    SetStackConversionState(kStackUnconverted);
    return kFileOk;
}

int SaveStack(int slot, bool samePath) {
    UiWaitCursor wait;
    GetStackUpcalls().stackEvent(StackEvent::StoringCardEdits);
    ClearUndo();
    DropDeletedRecords();
    if (!TestFileWritable(slot)) {
        ClearCardChanged();
        ShowCardAlert(kAlertDiskLocked);
        return kFileRefused;
    }
    SavingFlag saving;
    // Every record nobody edited is written as it was stored, unless the file takes another depth.
    BeginWritingRecords(SaveKeepsDepth() ? HeaderWord(kHeaderDepth) : 0);
    const SaveDepth depth = BringCardsToFileDepth();
    int err = kFileOk;
    Handle buffer = NewWriteBuffer(kSaveBufferSize);
    SavePlan plan;
    if (!buffer)
        err = kFileMissing;
    if (err == kFileOk)
        err = PrepareStackSave(slot, plan);
    FileRef file = kNoFile;
    if (err == kFileOk)
        err = CreateSaveTempFile(plan, &file);
    if (err == kFileOk) {
        StackConversion cv = SaveConversion(plan.target);
        if (GetStackResFile())
            err = WriteResourceArea(file, plan.resourceOffset, GetStackResFile(), plan.target);
        else
            err = FileTruncate(file, plan.resourceOffset) == 0 ? kFileOk : kFileFailed;
        if (err == kFileOk)
            err = WriteStackFile(file, plan.resourceOffset, buffer, cv);
        // What the statistics promised is what the file holds.
        if (err == kFileOk && FileGetLength(file) != static_cast<int32_t>(plan.total))
            err = kFileFailed;
        if (err == kFileOk)
            err = FileFlush(file);
        FileClose(file);
        if (err == kFileOk)
            err = FinishStackSave(slot, samePath, plan, buffer);
        if (err == kFileOk) {
            // Only a stack that is in its place counts as saved.
            ClearCardChanged();
            ClearStackChanged();
            SetStackHasFile(true);
            NoteStackSavedToItsFile();
        }
        if (err != kFileOk) {
            if (plan.useTemporary)
                DeleteFilePath(plan.written);  // the stack's own file was never touched
            GetUiOps().showErrorMessage(kErrorStackWrite);
        }
    }
    DisposeWriteBuffer(&buffer);
    EndWritingRecords(err == kFileOk);
    ReturnCardsToWorkingDepth(depth);
    return err;
}

int SaveStackAsPath(const char* path) {
    if (!path || !path[0])
        return kFileFailed;
    FileSpec* current = GetFileSpec(kSlotCurrentStack);
    if (!current)
        return kFileMissing;
    const FileSpec previous = *current;
    char previousName[kFileSpecNameSize] = {};
    CopyPathText(GetStackName(), previousName, sizeof previousName);
    char previousPath[kFileSpecPathSize] = {};
    CopyPathText(PathOf(previous), previousPath, sizeof previousPath);
    const bool samePath = StackHasFile() && StrCmpNoCase(previousPath, path) == 0;
    SetFileSpecFromPath(kSlotSaveAs, path);
    CopyFileSpec(kSlotSaveAs, kSlotCurrentStack);
    const int err = SaveStack(kSlotSaveAs, samePath);
    if (err == kFileOk) {
        CopyFileSpec(kSlotSaveAs, kSlotCurrentStack);
        char name[kFileSpecNameSize] = {};
        GetPathFileName(path, name, sizeof name);
        StoreStackName(name);
    } else {
        // The stack stays what it was: its file, its name.
        *GetFileSpec(kSlotCurrentStack) = previous;
        StoreStackName(previousName);
    }
    return err;
}
