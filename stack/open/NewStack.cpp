// New stacks, the settings a stack brings into the program, and the object-id counter.
#include "stack/open/NewStack.h"

#include <algorithm>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/ScreenDepth.h"
#include "stack/StackPlatform.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/depth/StackDepth.h"
#include "format/CardSizeWords.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/pictures/CardPictureStore.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr int kWindowModeKeepValue = 2;
constexpr int kHighCompressionDepth = 9;


// The open header as a span for one scope.
class HeaderBytes {
public:
    HeaderBytes() : lock_(GetStackHeaderHandle()) {}
    explicit operator bool() const { return lock_ && GetHandleSize(GetStackHeaderHandle()) >= kStackHeaderBytes; }
    std::span<uint8_t> bytes() const { return {lock_.get(), kStackHeaderBytes}; }
private:
    HandleLock lock_;
};

// Card size and depth the program works with: from the open header, else the start-up values.
void ProgramCardSize(int* width, int* height) {
    uint16_t w = 0, h = 0;
    CurrentCardSize(&w, &h);
    *width = w;
    *height = h;
}

void AdaptLoadedStackDepth() {
    int width = 0, height = 0;
    ProgramCardSize(&width, &height);
    const int stackDepth = GetStackDepth();
    SetScreenDepth(stackDepth);
    const int display = DisplayDepthForStack();
    if (display == 0 || (stackDepth == display && stackDepth != 16 && stackDepth != 32))
        return;
    ConvertAllCards(stackDepth, display, width, height);
    if (stackDepth == 4) {
        SetScreenDepth(display);
        SetStackDepth(display);
        if (HeaderBytes header; header)
            SetU16(header.bytes(), kHeaderDepth, static_cast<uint16_t>(display));
    }
}

}  // namespace


StackProgramSettings& ProgramStackSettings() {
    static StackProgramSettings settings;
    return settings;
}

Handle NewStackHeader() {
    const Handle header = NewHandle(kStackHeaderBytes);
    HandleLock lock(header);
    if (!lock)
        return header;
    StackProgramSettings& s = ProgramStackSettings();
    const std::span<uint8_t> h(lock.get(), kStackHeaderBytes);
    std::fill(h.begin(), h.end(), uint8_t{0});
    int width = 512, height = 384;
    if (GetStackHeaderHandle() && GetStackHeaderHandle() != header)
        ProgramCardSize(&width, &height);
    const int depth = GetScreenDepth() ? GetScreenDepth() : 8;
    SetU16(h, kHeaderVersion, kNewStackVersion);
    SetU16(h, kHeaderExperiencedUser, IsAdvancedUser() ? 1 : 0);
    SetU16(h, kHeaderNextObjectId, 1);
    SetU16(h, kHeaderNextCardId, 1);
    SetU16(h, kHeaderDepth, static_cast<uint16_t>(depth));
    SetU16(h, kHeaderCardNumberInTitle, s.firstStackMade ? s.titleWord : 0);
    SetU16(h, kHeaderPresentationMode, s.windowMode);
    SetU16(h, kHeaderPresentation54, s.screenModeFlags);
    SetU16(h, kHeaderTimersAndLinks, 1);
    s.timersAndLinks = 1;
    if (!s.firstStackMade)
        SetU16(h, kHeaderWord22, 1);
    SetU16(h, kHeaderCardWidth, static_cast<uint16_t>(width));
    SetU16(h, kHeaderCardHeight, static_cast<uint16_t>(height));
    uint16_t flags = 0;
    if (s.stackSetting)
        flags |= kStackIgnoreExtraClicks;
    if (depth >= kHighCompressionDepth && !IsAdvancedUser())
        flags |= kStackHighCompression;
    SetU16(h, kHeaderFlags, flags);
    s.menuLock = 0;
    s.autoSave = 0;
    s.firstStackMade = true;
    return header;
}

namespace {

// A fresh stack in place of the open one: asked for its card size and depth when the three
// out-values are given. An empty stack (what is left when a stack could not be read) is told
// nothing and does not count as changed.
void StartFreshStack(int* width, int* height, int* depth, bool empty) {
    const StackUpcalls& n = GetStackUpcalls();
    // Without an answer the new stack keeps the open one's card size.
    int keptWidth = 512, keptHeight = 384;
    if (GetStackHeaderHandle())
        ProgramCardSize(&keptWidth, &keptHeight);
    CloseStackResources(nullptr);
    int askedWidth = 0, askedHeight = 0, askedDepth = 0;
    bool answered = false;
    if (width && height && depth && n.askCardSizeForNewStack(width, height, depth) == 0) {
        answered = true;
        askedWidth = *width;
        askedHeight = *height;
        askedDepth = *depth;
        SetScreenDepth(askedDepth);
    }
    n.stackEvent(StackEvent::RemovingFiltersMenu);
    StackProgramSettings& s = ProgramStackSettings();
    s.menuLock = 0;
    n.stackEvent(StackEvent::ApplyingMenuLock);
    if (GetCurrentCardId() != 0)
        n.stackEvent(StackEvent::PushingCardHistory);
    DisposeCards();
    SetStackHeaderHandle(NewStackHeader());
    const int cardWidth = answered ? askedWidth : keptWidth;
    const int cardHeight = answered ? askedHeight : keptHeight;
    if (HeaderBytes header; header) {
        SetU16(header.bytes(), kHeaderCardWidth, static_cast<uint16_t>(cardWidth));
        SetU16(header.bytes(), kHeaderCardHeight, static_cast<uint16_t>(cardHeight));
    }
    // The first card's picture is taken from a white card area of the stack's own size.
    GetStackPlatformOps().resizeCardArea(cardWidth, cardHeight, GetScreenDepth());
    n.stackEvent(StackEvent::RemovingFinishedMovies);
    NewCard(false, false);
    n.stackEvent(StackEvent::GoingToFirstCard);
    ClearCardChanged();
    SetStackConversionState(kStackUnconverted);
    SetStackHasFile(false);
    n.stackEvent(StackEvent::ResettingFontTable);
    {
        HeaderBytes header;
        if (header) {
            const std::span<uint8_t> bytes = header.bytes();
            SetU16(bytes, kHeaderCardWidth, static_cast<uint16_t>(cardWidth));
            SetU16(bytes, kHeaderCardHeight, static_cast<uint16_t>(cardHeight));
            const int stackDepth = answered ? askedDepth : GetScreenDepth();
            SetU16(bytes, kHeaderDepth, static_cast<uint16_t>(RecordedDepth(stackDepth)));
            SetStackDepth(stackDepth);
            SetU16(bytes, kHeaderPresentation54, static_cast<uint16_t>(s.screenModeFlags | kScreenModeFlagOn));
            if (s.windowMode == kWindowModeKeepValue)
                SetU16(bytes, kHeaderPresentation50, s.screenModeValue);
        }
    }
    n.stackEvent(StackEvent::ApplyingMenuLock);
    n.stackEvent(StackEvent::NamingUntitled);
    if (empty) {
        ClearStackChanged();
        return;
    }
    if (!IsAdvancedUser() && !s.newStackTold) {
        s.newStackTold = true;
        ShowCardAlert(kAlertNewStackCreated);
    }
    MarkStackChanged();
}

}  // namespace

int StartStack(bool isNew, int* width, int* height, int* depth) {
    ClearClipboardFromThisStack();  // what was copied is foreign to the stack to come
    if (!isNew) {
        ApplyLoadedStackSettings();
        return 0;
    }
    StartFreshStack(width, height, depth, false);
    return 0;
}

void StartEmptyStack() {
    ClearClipboardFromThisStack();
    StartFreshStack(nullptr, nullptr, nullptr, true);
}

bool NormalizeLoadedHeader(Handle header) {
    HandleLock lock(header);
    if (!lock || GetHandleSize(header) < kStackHeaderBytes)
        return false;
    const std::span<uint8_t> h(lock.get(), kStackHeaderBytes);
    if (GetU16(h, kHeaderVersion) < kNewStackVersion) {
        SetU16(h, kHeaderVersion, kNewStackVersion);
        return true;
    }
    return false;
}

uint16_t AppliedScreenModeValue(uint16_t stored) {
    return stored == 255 ? 256 : stored == 0 ? 1 : stored;
}

void ApplyLoadedStackSettings() {
    ClearClipboardFromThisStack();
    const StackUpcalls& n = GetStackUpcalls();
    SetStackConversionState(kStackUnconverted);
    if (NormalizeLoadedHeader(GetStackHeaderHandle()))
        SetStackConversionState(kStackFormatConverted);
    StackProgramSettings& s = ProgramStackSettings();
    {
        HeaderBytes header;
        if (!header)
            return;
        const std::span<uint8_t> h = header.bytes();
        for (int i = 1; i <= CountCards(); ++i) {
            const Handle card = GetCardByIndex(i);
            HandleLock lock(card);
            if (lock)
                CopyCardSizeWords(h, lock.bytes());
        }
        s.timersAndLinks = GetU16(h, kHeaderTimersAndLinks);
        s.autoSave = GetU16(h, kHeaderAutoSave);
        s.stackSetting = (GetU16(h, kHeaderFlags) & kStackIgnoreExtraClicks) != 0;
        s.titleWord = GetU16(h, kHeaderCardNumberInTitle);
        s.menuLock = GetU16(h, kHeaderLocked);
        s.windowMode = GetU16(h, kHeaderPresentationMode);
        s.screenModeFlags = GetU16(h, kHeaderPresentation54);
        s.screenModeValue = AppliedScreenModeValue(GetU16(h, kHeaderPresentation50));
        SetStackDepth(GetU16(h, kHeaderDepth));
    }
    {
        ConversionSwitches io;
        io.stackIo = true;
        ConversionRun run(io);
        AdaptLoadedStackDepth();
        int width = 0, height = 0;
        ProgramCardSize(&width, &height);
        GetStackPlatformOps().resizeCardArea(width, height, GetScreenDepth());
        n.stackEvent(StackEvent::ApplyingMenuLock);
        ClearTestingAnswers();
        ClearCardChanged();
        SetStackHasFile(true);
        // The slot's name before its path's: a downloaded stack is named after its address.
        char path[kFileSpecPathSize] = {}, name[kFileSpecNameSize] = {};
        if (const FileSpec* spec = GetFileSpec(kSlotCurrentStack))
            CopyPathText(NameOf(*spec), name, sizeof name);
        if (!name[0]) {
            GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
            GetPathFileName(path, name, sizeof name);
        }
        if (name[0])
            StoreStackName(name);
        RestoreStackWorkspace();
    }
}
