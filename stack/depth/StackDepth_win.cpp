// Changing the card size and colour depth of the whole stack.
#include <windows.h>

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ScreenDepth.h"
#include "graphics/pixels/CardOffscreen.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/depth/StackDepth.h"
#include "stack/depth/StackDepthChange.h"
#include "stack/dialogs/StackSizeDialogs.h"
#include "stack/StackOpenSession.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

constexpr int kLockFailed = 48;


// The progress window of a conversion run, closed when the run ends.
class ProgressWindow {
public:
    ProgressWindow() { OpenProgressWindow(GetAppInstance(), GetMainWindow()); }
    ~ProgressWindow() { CloseProgressWindow(); }
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
};

// Two bitmaps of the new size must be possible before anything changes.
bool CanMakeCardBitmaps(int width, int height) {
    const WindowDC screen(nullptr);
    if (!screen)
        return false;
    const OwnedGdiObject first(CreateCompatibleBitmap(screen.get(), width, height));
    const OwnedGdiObject second(CreateCompatibleBitmap(screen.get(), width, height));
    return first.get() && second.get();
}

bool ApplyCardWindowSize(HWND cardWindow, int depth, int width, int height) {
    if (!CanMakeCardBitmaps(width, height))
        return false;
    int oldWidth = 0, oldHeight = 0, oldDepth = 0;
    GetOffscreenSize(&oldWidth, &oldHeight, &oldDepth);
    if (cardWindow && (width != oldWidth || height != oldHeight)) {
        int frameWidth = width, frameHeight = height;
        if (GetWindowLongA(cardWindow, GWL_STYLE) & DS_MODALFRAME) {
            frameWidth += 2 * GetSystemMetrics(SM_CXDLGFRAME);
            frameHeight += 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
        }
        const int x = (GetSystemMetrics(SM_CXSCREEN) - frameWidth) / 2;
        const int y = (GetSystemMetrics(SM_CYSCREEN) - frameHeight) / 2;
        SetWindowPos(cardWindow, nullptr, x, y, frameWidth, frameHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const HWND window = cardWindow ? cardWindow : GetCardWindow();
    // Without a live card window there is no offscreen to remake: the one remembered may be
    // gone, and its DC would only bring up an error box that nobody answers mid-change.
    return !window || !IsWindow(window) || InitDataBase(window, width, height, depth, true) != 0;
}

}  // namespace

int ChangeStackSizeAndDepth(HWND cardWindow, Handle header, Handle newValues) {
    if (!IsValidHandle(header) || !IsValidHandle(newValues) || GetHandleSize(header) < kStackHeaderBytes ||
        GetHandleSize(newValues) < kStackHeaderBytes)
        return kLockFailed;
    CheckStackDepthAgainstDisplay();
    if (IsCardChanged() && CardPicturePainted())
        SaveCurrentBackground();
    int oldWidth, oldHeight, oldDepth, newWidth, newHeight, newDepth;
    {
        HandleLock oldLock(header), newLock(newValues);
        if (!oldLock || !newLock)
            return kLockFailed;
        const std::span<const uint8_t> o(oldLock.get(), kStackHeaderBytes), n(newLock.get(), kStackHeaderBytes);
        oldWidth = GetU16(o, kHeaderCardWidth);
        oldHeight = GetU16(o, kHeaderCardHeight);
        oldDepth = GetU16(o, kHeaderDepth);
        newWidth = GetU16(n, kHeaderCardWidth);
        newHeight = GetU16(n, kHeaderCardHeight);
        newDepth = GetU16(n, kHeaderDepth);
    }
    if (oldDepth != 8)
        Switches().matchThroughLibrary = true;
    StackStatistics statistics;
    GetStackStatistics(&statistics);
    const StackSizeChange plan = PlanStackSizeChange(oldWidth, oldHeight, oldDepth, newWidth, newHeight, newDepth,
                                                     GetDisplayBitsPerPixel(), statistics.cardBytes);
    if (plan.unchanged) {
        ResetConversionSwitches();
        return 0;
    }
    for (Handle h : {header, newValues}) {
        HandleLock lock(h);
        SetU16({lock.get(), kStackHeaderBytes}, kHeaderDepth, static_cast<uint16_t>(h == header ? plan.oldDepth : plan.newDepth));
    }
    if (!CanAllocateMemory(plan.memoryToTry) || newWidth <= 0 || newHeight <= 0) {
        ResetConversionSwitches();
        ShowAlert(kAlertNotEnoughMemoryToConvert);
        return 0;
    }
    if (cardWindow)
        ShowWindow(cardWindow, SW_HIDE);
    bool applied;
    {
        ProgressWindow progress;
        applied = ApplyCardWindowSize(cardWindow, plan.newDepth, newWidth, newHeight);
        if (applied) {
            const int display = DisplayDepthForStack();
            {
                ConversionSwitches first;
                first.keepGraphicByteOrder = first.force = first.jpegEncode = first.matchThroughLibrary = true;
                ConversionRun run(first);
                ConvertAllCards(plan.oldDepth, plan.newDepth, newWidth, newHeight);
            }
            {
                ConversionSwitches second;
                second.jpegEncode = second.force = second.convertPixels = second.matchThroughLibrary = false;
                ConversionRun run(second);
                ConvertAllCards(plan.newDepth, display, newWidth, newHeight);
            }
        }
    }
    if (cardWindow)
        ShowWindow(cardWindow, SW_SHOW);
    if (!applied) {
        ShowAlert(kAlertNotEnoughMemoryToConvert);
    } else {
        // Only what the size dialog changes: ids taken meanwhile stay taken.
        const int depth = plan.newDepth == 24 ? 32 : plan.newDepth;
        HandleLock lock(header);
        const std::span<uint8_t> h(lock.get(), kStackHeaderBytes);
        SetU16(h, kHeaderDepth, static_cast<uint16_t>(depth));
        SetU16(h, kHeaderCardWidth, static_cast<uint16_t>(newWidth));
        SetU16(h, kHeaderCardHeight, static_cast<uint16_t>(newHeight));
        SetScreenDepth(depth);
        SetStackDepth(depth);
    }
    GetStackUpcalls().refreshCurrentCard(1);
    MarkCardChanged();
    return 0;
}
