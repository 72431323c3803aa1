// Reading a stack to open it: the alerts through which a file is refused, the card list and
// resources filled, the stack's settings applied. The player enters its first card
// (host/player/StackOpening.h).
#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/AlertText.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WaitCursor.h"
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"
#include "stack/clipboard/Clipboard.h"
#include "format/ResFile.h"
#include "format/StackReader.h"
#include "stack/open/NewStack.h"
#include "stack/cards/StoredRecords.h"
#include "stack/open/StackOpen.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveDialogs.h"

namespace {

constexpr int kAnswerNo = 2;

const char* SlotPath(int slot) {
    const FileSpec* spec = GetFileSpec(slot);
    return spec ? spec->path : "";
}

// What a conversion takes from the machine and the path of the stack read.
StackConversion MachineConversion(const char* path) {
    StackConversion cv;
    if (const WindowDC screen(nullptr); screen)
        SetResourceScreenDpi(GetDeviceCaps(screen.get(), LOGPIXELSY));
    cv.verticalDpi = ResourceScreenDpi();
    if (path[0] && path[1] == ':' && path[2] == '\\') {
        cv.stackDrive[0] = path[0];
        cv.stackDrive[1] = ':';
        cv.stackDrive[2] = '\\';
        cv.stackDrive[3] = 0;
    }
    return cv;
}

void ForgetCurrentDownload() {
    GetStackUpcalls().stackEvent(StackEvent::ForgettingRefusedDownload);
}

// The open stack is closed: cards, resources and what else is tied to it.
void CloseOpenStack() {
    DisposeCards();
    if (const int32_t refNum = GetStackResFile())
        CloseResFile(refNum);
    SetStackResFile(0);
    // What was copied from it is foreign to whatever opens next.
    ClearClipboardFromThisStack();
    GetStackUpcalls().stackEvent(StackEvent::ClosingStackExtras);
}

// A stack that could not be read: reported once (alert 2305), no stack left open.
int ReportUnreadable() {
    ForgetCurrentDownload();
    ShowAlert(kAlertNoCardsRead);
    GetStackUpcalls().eraseCardBackground(0);
    ClearCardChanged();
    GetStackUpcalls().stackEvent(StackEvent::StartingEmptyStack);
    return kFileRefused;
}

// The contents read become the open stack: the cards into the card list, the resource area
// into the open list under the stack's own path (slot 1).
int BindStackContents(StackFileContents& contents, std::vector<std::vector<uint8_t>> fileBytes) {
    size_t listed = 0;
    while (listed < contents.cards.size() && AddCardRecord(contents.cards[listed], static_cast<int>(listed)) == 0)
        ++listed;
    if (listed < contents.cards.size()) {
        // Cards already in the list go with the list; the rest with the contents.
        DisposeCards();
        for (size_t i = 0; i < listed; ++i)
            contents.cards[i] = 0;
        DisposeStackFileContents(contents);
        return ReportUnreadable();
    }
    {
        HandleLock lock(contents.resFile);
        auto* rf = reinterpret_cast<ResFile*>(lock.get());
        std::memcpy(&rf->spec, GetFileSpec(kSlotCurrentStack), sizeof rf->spec);
    }
    const Handle header = contents.header;
    const int fileDepth = GetHandleWord(header, kHeaderDepth);
    SetStackResFile(LinkResFile(contents.resFile));
    SetStackHeaderHandle(header);
    EnforceMinimumCardSize(header);  // a stack it cannot enlarge still opens
    ApplyLoadedStackSettings();
    NoteRecordsAsRead(contents.cards, std::move(fileBytes), fileDepth);
    return kFileOk;
}

// Reads the open file whole, asking about cards smaller than the minimum, then closes it;
// *fileBytes gets each card record as the file holds it.
StackReadResult ReadWholeStack(FileCloser& file, StackConversion& cv, StackFileContents& contents,
                               std::vector<std::vector<uint8_t>>* fileBytes) {
    StackOpenQuestions questions;
    GetMinimumCardSize(&questions.minCardWidth, &questions.minCardHeight);
    questions.confirmSmallCards = [](void*) { return ShowAlert(kAlertStackCardSizeTooSmall) != kAnswerNo; };
    FileByteSource source(file.get());
    const StackReadResult read = ReadStackFile(source, cv, contents, questions);
    fileBytes->clear();
    for (size_t i = 0; read.ok() && i < contents.cards.size(); ++i) {
        std::vector<uint8_t> bytes(contents.cardLengths[i]);
        if (!source.ReadAt(contents.cardOffsets[i], bytes))
            bytes.clear();  // written anew
        fileBytes->push_back(std::move(bytes));
    }
    file.Close();
    return read;
}

}  // namespace

void GetMinimumCardSize(int* width, int* height) {
    if (width)
        *width = MinimumCardExtent(GetSystemMetrics(SM_CXMINTRACK));
    if (height)
        *height = MinimumCardExtent(GetSystemMetrics(SM_CYMINTRACK));
}

int LoadStackFile() {
    FileRef opened = kNoFile;
    if (OpenFileSlot(kSlotCurrentStack, kOpenRead, &opened) != kFileOk)
        return ReportUnreadable();  // nothing to close
    FileCloser file(opened);
    if (IsHomeStackName(GetStackName()))
        SetHomeCardId(GetCurrentCardId());
    CloseOpenStack();
    WaitCursor wait;

    StackConversion cv = MachineConversion(SlotPath(kSlotCurrentStack));
    StackFileContents contents;
    std::vector<std::vector<uint8_t>> fileBytes;
    const StackReadResult read = ReadWholeStack(file, cv, contents, &fileBytes);
    if (!read.ok()) {
        // The reader says which alert; a declined size question has been answered already.
        if (read.alertId == kAlertNoCardsRead)
            return ReportUnreadable();
        if (read.alertId == kAlertNotAStack)
            ForgetCurrentDownload();
        if (read.alertId != kAlertSmallCards)
            ShowAlert(static_cast<uint32_t>(read.alertId));
        return kFileRefused;
    }
    return BindStackContents(contents, std::move(fileBytes));
}

int LoadOtherStackFile(const FileSpec& stack) {
    FileRef opened = kNoFile;
    if (OpenFileSpec(&stack, kOpenRead, &opened) != kFileOk) {
        ShowAlert(kAlertNoCardsRead);
        return kFileRefused;
    }
    FileCloser file(opened);
    WaitCursor wait;
    StackConversion cv = MachineConversion(stack.path);
    StackFileContents contents;
    std::vector<std::vector<uint8_t>> fileBytes;
    const StackReadResult read = ReadWholeStack(file, cv, contents, &fileBytes);
    if (!read.ok()) {
        if (read.alertId != kAlertSmallCards)
            ShowAlert(static_cast<uint32_t>(read.alertId ? read.alertId : kAlertNoCardsRead));
        return kFileRefused;
    }
    // Read whole: only now does the open stack go.
    if (IsHomeStackName(GetStackName()))
        SetHomeCardId(GetCurrentCardId());
    const FileSpec named = stack;  // it may be slot 1's own entry
    PutFileSpec(kSlotCurrentStack, named);
    CloseOpenStack();
    return BindStackContents(contents, std::move(fileBytes));
}

int ReadStackCard(int slot, uint16_t cardId, int position, int16_t* depth, int16_t* version,
                  int16_t* cardCount, Handle* card) {
    if (card)
        *card = 0;
    FileRef opened = kNoFile;
    const int err = OpenFileSlot(slot, kOpenRead, &opened);
    if (err != kFileOk)
        return err;
    FileCloser file(opened);
    StackConversion cv = MachineConversion(SlotPath(kSlotCurrentStack));
    FileByteSource source(file.get());
    bool notAStack = false;
    const int result = ReadStackCardFrom(source, cardId, position, cv, depth, version, cardCount, card, &notAStack);
    if (notAStack) {
        file.Close();
        ShowAlert(kAlertNotAStack);
    }
    return result;
}

int EnforceMinimumCardSize(Handle header) {
    int minWidth = 0, minHeight = 0;
    GetMinimumCardSize(&minWidth, &minHeight);
    uint16_t width, height;
    {
        HandleLock lock(header);
        if (!lock || GetHandleSize(header) < kStackHeaderBytes)
            return kFileMissing;
        const std::span<const uint8_t> bytes(lock.get(), kStackHeaderBytes);
        if (!CardSizeBelowMinimum(bytes, minWidth, minHeight))
            return kFileOk;
        width = GetU16(bytes, kHeaderCardWidth);
        height = GetU16(bytes, kHeaderCardHeight);
    }
    Handle enlarged = header;
    if (HandToHand(&enlarged) != 0)
        return kFileMissing;
    {
        HandleLock lock(enlarged);
        const std::span<uint8_t> bytes(lock.get(), kStackHeaderBytes);
        SetU16(bytes, kHeaderCardWidth, static_cast<uint16_t>(width < minWidth ? minWidth : width));
        SetU16(bytes, kHeaderCardHeight, static_cast<uint16_t>(height < minHeight ? minHeight : height));
    }
    const int err = GetStackPlatformOps().changeStackSize(header, enlarged);
    DisposeHandle(enlarged);
    return err == 0 ? kFileOk : kFileMissing;
}

