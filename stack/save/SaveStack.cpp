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

// Whether the open stack has a file, whether that file is only a downloaded copy (not the
// author's), and whether a save is writing it.
struct SaveState {
    bool hasFile = false;
    bool downloadCopy = false;
    bool saving = false;
    bool stamped = false;
    FileStamp stamp;  // of the file when it was read or last saved here
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

}  // namespace


bool StackHasFile() { return g_save.hasFile; }
void SetStackHasFile(bool hasFile) {
    g_save.hasFile = hasFile;
    g_save.downloadCopy = false;
    // The file as this stack knows it: another writer's change shows against this.
    char path[kFileSpecPathSize] = {};
    if (hasFile)
        GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    g_save.stamped = hasFile && GetFileStamp(path, &g_save.stamp);
}

bool StackFileChangedElsewhere() {
    if (!g_save.hasFile || g_save.downloadCopy || !g_save.stamped)
        return false;
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    FileStamp now;
    return GetFileStamp(path, &now) && !(now == g_save.stamp);
}
bool StackFileIsDownloadCopy() { return g_save.hasFile && g_save.downloadCopy; }
void SetStackFileIsDownloadCopy(bool copy) { g_save.downloadCopy = copy; }
bool IsSavingStack() { return g_save.saving; }

bool SaveConvertsDepth(int workingDepth, int screenDepth, bool jpegFlag) {
    return workingDepth == 24 || workingDepth != screenDepth || (jpegFlag && screenDepth >= 9);
}

namespace {

// The failure told, naming the file: the disk-full alert when the folder has no room left.
void TellSaveFailed(ReplaceFailure why, bool diskFull, const std::string& target, bool saveAs) {
    if (diskFull && why == ReplaceFailure::Written) {
        ShowCardAlert(kAlertDiskFull);
        return;
    }
    const uint32_t alert = saveAs                              ? kAlertNotSavedAs
                           : why == ReplaceFailure::NotCreated ? kAlertNoNewFile
                           : why == ReplaceFailure::Refused    ? kAlertReplaceRefused
                                                               : kAlertWriteFailed;
    GetUiOps().showAlertNaming(alert, target.c_str());
}

// A target that takes no file: a Save As says that the stack was not saved under the new name.
void TellTargetLocked(int slot, bool saveAs) {
    if (!saveAs) {
        ShowCardAlert(kAlertDiskLocked);
        return;
    }
    char target[kFileSpecPathSize] = {};
    GetFileSpecPath(slot, sizeof target, target);
    GetUiOps().showAlertNaming(kAlertNotSavedAs, target);
}

bool FolderIsFull(const std::string& target) {
    uint32_t freeBytes = 0;
    return GetStackPlatformOps().freeSpace(target.c_str(), &freeBytes) && freeBytes < kSaveSpareBytes;
}

// The stack written whole into a new file beside the target and put in its place; only then do
// the resource table, the marks and the stack's file follow it. A failure is told and leaves the
// old file, the table and the marks as they were.
int WriteAndPlace(const SavePlan& plan, Handle buffer, RecordWriter& records, bool saveAs) {
    ResourceAreaPlaces places;
    int err = kFileOk;
    ReplaceFailure why = ReplaceFailure::None;
    bool diskFull = false;
    int pathsCut = 0;
    {
        FileReplacement replacement(plan.target);
        const FileRef file = replacement.file();
        if (replacement.failure() != ReplaceFailure::None)
            err = kFileFailed;
        if (err == kFileOk) {
            StackConversion cv = SaveConversion(plan.target.c_str());
            if (GetStackResFile())
                err = WriteResourceArea(file, plan.resourceOffset, GetStackResFile(), &places);
            else
                err = FileTruncate(file, plan.resourceOffset) == 0 ? kFileOk : kFileFailed;
            if (err == kFileOk)
                err = WriteStackFile(file, plan.resourceOffset, buffer, cv, records);
            pathsCut = cv.pathsCut;
            // What the statistics promised is what the file holds.
            if (err == kFileOk && FileGetLength(file) != static_cast<int32_t>(plan.total))
                err = kFileFailed;
            if (err != kFileOk)
                replacement.WriteFailed();
            else if (replacement.Commit() != kFileOk)
                err = kFileFailed;
        }
        why = replacement.failure();
        diskFull = why == ReplaceFailure::Written && FolderIsFull(plan.target);
    }  // a new file not put in place is removed here
    if (err != kFileOk) {
        TellSaveFailed(why, diskFull, plan.target, saveAs);
        return err;
    }
    if (GetStackResFile())
        NoteResourceAreaSaved(GetStackResFile(), places, plan.target.c_str());
    RestoreStackWorkspace();
    SetStackConversionState(kStackUnconverted);
    // Only a stack that is in its place counts as saved.
    ClearCardChanged();
    ClearStackChanged();
    SetStackHasFile(true);
    NoteStackSavedToItsFile();
    GetStackUpcalls().stackEvent(StackEvent::SavedToItsFile);
    // The file's form holds 255 characters of a path: what it had to cut is said.
    if (pathsCut > 0)
        ShowCardAlert(kAlertStoredPathsCut);
    return kFileOk;
}

}  // namespace

int PrepareStackSave(int slot, const RecordWriter& records, SavePlan& plan) {
    plan = SavePlan{};
    char target[kFileSpecPathSize] = {};
    GetFileSpecPath(slot, sizeof target, target);
    plan.target = target;
    if (plan.target.empty())
        return kFileMissing;
    uint32_t currentSize = 0;
    int readOnly = 0;
    const bool exists = GetFileSizeAndAccess(slot, &currentSize, &readOnly) == kFileOk;
    if (exists && readOnly) {
        GetUiOps().showErrorMessage(kFileNotWritable);
        return kFileNotWritable;
    }
    // What earlier saves cut short left beside the stack goes first: it takes room on the disk.
    RemoveStaleReplacementFiles(plan.target);
    PurgeUnusedResources();
    GetStackUpcalls().stackEvent(StackEvent::StoringFontTable);
    SaveWorkspaceResource();
    StackStatistics statistics;
    GetStackStatistics(&statistics);
    // The deleted records are gone: each card takes its record, or the bytes it had in the file.
    uint32_t cardBytes = kStackHeaderBytes;
    for (int i = 1; i <= CountCards(); ++i) {
        const Handle card = GetCardByIndex(i);
        cardBytes += records.FileRecordLength(card, GetHandleSize(card));
    }
    plan.resourceOffset = cardBytes;
    plan.total = cardBytes + statistics.resourceBytes;
    // The old file stays until the new one is whole: the folder must hold both.
    uint32_t freeBytes = 0;
    if (GetStackPlatformOps().freeSpace(plan.target.c_str(), &freeBytes) &&
        freeBytes < uint64_t{plan.total} + kSaveSpareBytes) {
        ShowCardAlert(kAlertDiskFull);
        return kFileRefused;
    }
    return kFileOk;
}

int SaveStack(int slot, bool samePath) {
    UiWaitCursor wait;
    GetStackUpcalls().stackEvent(StackEvent::StoringCardEdits);
    ClearUndo();
    DropDeletedRecords();
    if (!TestFileWritable(slot)) {
        // Nothing was written: the edits still want saving.
        TellTargetLocked(slot, slot == kSlotSaveAs && !samePath);
        return kFileRefused;
    }
    SavingFlag saving;
    // Every record nobody edited is written as it was stored, unless the file takes another depth.
    RecordWriter records = BeginWritingRecords(SaveKeepsDepth() ? HeaderWord(kHeaderDepth) : 0);
    const SaveDepth depth = BringCardsToFileDepth();
    Handle buffer = NewWriteBuffer(kSaveBufferSize);
    SavePlan plan;
    int err = buffer ? PrepareStackSave(slot, records, plan) : kFileMissing;
    if (err == kFileOk)
        err = WriteAndPlace(plan, buffer, records, slot == kSlotSaveAs && !samePath);
    DisposeWriteBuffer(&buffer);
    EndWritingRecords(std::move(records), err == kFileOk);
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
