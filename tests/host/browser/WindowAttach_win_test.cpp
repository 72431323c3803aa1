// The plug-in's code linked into the test program, attached to a window of the test's own that
// stands for the browser's: the start-up and release chains in their order, the card message
// handler's answers while attached, and the window handed back as it was.
#include "host/browser/WindowAttach.h"
#include "host/player/DownloadReplay.h"
#include "host/window/WindowServices.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/events/MouseHooks.h"
#include "core/system/PluginModule.h"
#include "layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "core/memory/ByteReader.h"
#include "host/palettes/CurrentTool.h"
#include "host/palettes/ToolPalette.h"
#include "host/player/ButtonActions.h"
#include "host/state/CardHandlerState.h"
#include "host/window/CardMessageHandler.h"
#include "objects/ObjectLayerKinds.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "core/memory/Handles.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

std::vector<std::string> g_steps;
std::vector<UINT> g_browserSaw;    // messages that reached the browser's procedure
std::vector<WPARAM> g_browserTimers;

LRESULT CALLBACK BrowserProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_browserSaw.push_back(message);
    if (message == WM_TIMER)
        g_browserTimers.push_back(wParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeBrowserWindow() {
    static const bool registered = [] {
        WNDCLASSA c = {};
        c.style = CS_DBLCLKS;
        c.lpfnWndProc = BrowserProc;
        c.hInstance = GetModuleHandleA(nullptr);
        c.hCursor = LoadCursor(nullptr, IDC_CROSS);
        c.lpszClassName = "AttachTestBrowserEmbed";
        return RegisterClassA(&c) != 0;
    }();
    if (!registered)
        return nullptr;
    return CreateWindowExA(WS_EX_TOOLWINDOW, "AttachTestBrowserEmbed", "", WS_POPUP, 20, 20, 200, 150, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < ms) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    }
}

size_t Count(const std::vector<UINT>& seen, UINT message) {
    size_t n = 0;
    for (UINT m : seen)
        n += m == message;
    return n;
}

std::vector<std::pair<UINT, POINT>> g_hookCalls;
int RecordingHook(unsigned message, HWND__*, int x, int y) {
    g_hookCalls.push_back({message, {x, y}});
    return message == WM_LBUTTONDOWN;  // takes button-downs only
}

bool ButtonOfShapeOne(std::span<const uint8_t> record, ButtonLayer* layer, ButtonRecordParts* parts) {
    if (!ReadButtonLayer(record, layer, parts))
        return false;
    layer->shape = 1;
    return true;
}

void RenameButton(Handle card, uint16_t id, const std::string& name) {
    uint32_t offset = 0;
    if (!FindObjectInCard(kObjectButton, id, card, &offset))
        return;
    HandleLock lock(card);
    uint8_t* at = lock.get() + offset + kButtonName;
    std::memset(at, 0, kButtonNameBytes);
    at[0] = static_cast<uint8_t>(name.size());
    std::memcpy(at + 1, name.data(), name.size());
}

// A card record (id 1) holding one button of that id and name, in memory order.
Handle CardWithButton(uint16_t id, const std::string& name) {
    const Handle card = NewHandleWithEndMark(kNewCardRecordBytes);
    {
        HandleLock lock(card);
        SetU16(lock.bytes(), kCardId, 1);
    }
    std::vector<uint8_t> button(kButtonHeaderBytes, 0);
    SetU16(button, kObjectKind, kObjectButton);
    SetU16(button, kObjectId, id);
    SetU32(button, kObjectLength, kButtonHeaderBytes);
    InsertObjectBytes(card, CardObjectsEnd(card), button);
    RenameButton(card, id, name);
    return card;
}

std::string ButtonName(const uint8_t* name) { return std::string(reinterpret_cast<const char*>(name) + 1, name[0]); }

class WindowAttachTest : public ::testing::Test {
protected:
    HWND window = nullptr;
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        g_steps.clear();
        // The plug-in starts in browse mode with nothing in progress; earlier tests of this
        // program may leave another tool or a click's state.
        SelectToolNumber(kBrowseTool);
        HandlerState() = CardHandlerState{};
        SetCardObjectsShown(true);
        TakePaletteClickFlag();
        SetAttachTrace([](const char* step) { g_steps.emplace_back(step); });
        window = MakeBrowserWindow();
        ASSERT_NE(window, nullptr);
        g_browserSaw.clear();
        g_browserTimers.clear();
    }
    void TearDown() override {
        SetAttachTrace(nullptr);
        SetEnvironmentVariableA("LOOM_QUICKTIME", nullptr);
        if (IsWindow(window))
            DestroyWindow(window);
    }
    LONG_PTR Procedure() const { return GetWindowLongPtrA(window, GWLP_WNDPROC); }
};

TEST_F(WindowAttachTest, WithoutQuickTimeNothingIsAttachedAndOneAlertShows) {
    ASSERT_TRUE(SetEnvironmentVariableA("LOOM_QUICKTIME", "absent"));
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2357), [](DialogView& box) {
        EXPECT_NE(box.Text(51).find("requires QuickTime 3.0"), std::string::npos);
        box.Press(52);
    });
    EXPECT_FALSE(driver.Run([&] { return AttachPluginWindow(window); }));
    EXPECT_EQ(driver.DialogsSeen(), 1) << "the media manager does not tell the user again";
    EXPECT_EQ(g_steps, (std::vector<std::string>{"ClearCurrentStack", "IsQuickTimeAvailable"}));
    EXPECT_FALSE(IsPluginWindowAttached());
    EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(BrowserProc)) << "no subclassing";
    EXPECT_FALSE(KillTimer(window, kTickTimer)) << "no timer";

    // Shutting down after a failed start-up releases safely and leaves the window alone.
    g_steps.clear();
    ShutdownPluginInstance(window);
    EXPECT_EQ(g_steps.size(), 36u);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(BrowserProc)) << "not replaced by a null procedure";
}

TEST_F(WindowAttachTest, StartsInOrderAnswersMessagesAndHandsTheWindowBack) {
    const HCURSOR classCursor = reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(AttachPluginWindow(window));
    const std::vector<std::string> startup = {
        "ClearCurrentStack", "IsQuickTimeAvailable", "InitFolderTable", "SetCursorHideMode", "InitUserPrefs",
        "InitFontTable", "LoadToolBitmaps", "RegisterTextFieldClass", "InitStartupDcFont", "CreateUndoRecord",
        "LoadSampleText", "LoadCropCursors", "FreeCachedNBAModules", "InitScreenDepth", "InitAnimTimer",
        "LoadHandCursors", "RegisterDialogMessages", "InitFindState", "AllocMediaLib",
        // then, once attached, what the window's creation would have set up
        "InitDataBase", "InitAppPalette", "ResetTextColorsAndStyle", "SetAcceptDroppedFiles", "CoInitialize",
        "InitMediaServices", "InitSpareButtonRecord"};
    EXPECT_EQ(g_steps, startup);
    EXPECT_TRUE(IsPluginWindowAttached());
    EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(PluginWndProc));
    EXPECT_EQ(GetMainWindow(), window);
    EXPECT_TRUE(GetAvailabilityMask() & 1) << "the media manager";
    int width = 0, height = 0;
    GetOffscreenSize(&width, &height, nullptr);
    EXPECT_EQ(width, 512);
    EXPECT_EQ(height, 384);
    for (int i = 0; i < 256; i += 51)
        EXPECT_EQ(ColorIndexMap(1)[i], i);

    // Timer 1 ticks, and its messages go on to the browser's procedure too.
    Pump(200);
    EXPECT_GE(std::count(g_browserTimers.begin(), g_browserTimers.end(), kTickTimer), 2);

    // Erasing is consumed; painting draws the offscreen and is passed on.
    g_browserSaw.clear();
    EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, 0, 0), 1);
    EXPECT_EQ(Count(g_browserSaw, WM_ERASEBKGND), 0u);
    if (HDC offscreen = AcquireOffscreenDC(nullptr)) {
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        RECT r = {0, 0, 40, 30};
        FillRect(offscreen, &r, red);
        DeleteObject(red);
        ReleaseOffscreenDC(offscreen);
    }
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(Count(g_browserSaw, WM_PAINT), 1u);
    {
        HDC dc = GetDC(window);
        EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 0, 0)) << "the offscreen was copied to the window";
        EXPECT_EQ(GetPixel(dc, 100, 100), RGB(255, 255, 255));
        ReleaseDC(window, dc);
    }

    // The same display depth twice is told once; a new one again.
    {
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(2355), [](DialogView& box) { box.Press(52); });
        driver.Expect(DialogMatch::Alert(2355), [](DialogView& box) { box.Press(52); });
        driver.Run([&] {
            SendMessageA(window, WM_DISPLAYCHANGE, 16, 0);
            SendMessageA(window, WM_DISPLAYCHANGE, 16, 0);
            SendMessageA(window, WM_DISPLAYCHANGE, 24, 0);
            return 0;
        });
        EXPECT_EQ(driver.DialogsSeen(), 2);
    }

    // Shift+Tab toggles browse and tool 20.
    ASSERT_EQ(GetCurrentTool(), 18u);
    SendMessageA(window, WM_KEYDOWN, VK_SHIFT, 0);
    SendMessageA(window, WM_CHAR, VK_TAB, 0);
    EXPECT_EQ(GetCurrentTool(), 20u);
    SendMessageA(window, WM_CHAR, VK_TAB, 0);
    EXPECT_EQ(GetCurrentTool(), 18u);
    SendMessageA(window, WM_KEYUP, VK_SHIFT, 0);
    SendMessageA(window, WM_CHAR, VK_TAB, 0);
    EXPECT_EQ(GetCurrentTool(), 18u) << "Tab alone switches nothing";

    // Enter with nothing in progress runs the default button's actions: the performer finds the
    // button in its card and keeps its name as the last button's.
    const LayerKindProcs kinds = GetLayerKindProcs();
    LayerKindProcs shaped = kinds;
    shaped.readButton = ButtonOfShapeOne;
    SetLayerKindProcs(shaped);
    std::vector<uint8_t> record(32, 0);
    const int16_t words[] = {48, 77, 10, 10, 60, 30};
    std::memcpy(record.data(), words, sizeof words);
    ASSERT_NE(NewButtonLayer(record, kLayerAtEnd), nullptr);
    const Handle card = CardWithButton(77, "Default");
    ASSERT_EQ(AddCardRecord(card, 0), 0);
    ForgetPendingRequest();
    SendMessageA(window, WM_CHAR, VK_RETURN, 0);
    EXPECT_EQ(ButtonName(LastButtonName()), "Default");
    EXPECT_EQ(PendingRequestContext().kind, 0) << "the button's work ended with it";
    RenameButton(card, 77, "Other");

    // A mouse hook sees the card's mouse messages first; a button-down it takes goes no further.
    ASSERT_EQ(PushMouseHook(RecordingHook), 1);
    g_hookCalls.clear();
    ForgetPendingRequest();
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(15, 12));
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 15));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(21, 16));
    PopMouseHook();
    ASSERT_EQ(g_hookCalls.size(), 3u);
    EXPECT_EQ(g_hookCalls[0].first, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(g_hookCalls[1].first, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(g_hookCalls[1].second.x, 20);
    EXPECT_EQ(g_hookCalls[1].second.y, 15);
    EXPECT_EQ(g_hookCalls[2].first, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(ButtonName(LastButtonName()), "Default") << "the hook took the click on the button";
    FreeLayerList();
    DisposeCards();
    SetLayerKindProcs(kinds);

    // Shut-down: the release chain in its order; the window stays, as the browser's again.
    g_steps.clear();
    ShutdownPluginInstance(window);
    const std::vector<std::string> releases = {
        "ResetCursorCount", "CloseFavorites", "CloseShortcutsPalette", "FreeHandCursors", "OpenVideodiscPlayer",
        "CloseStackResources", "FreeLayerList", "UnregisterTextFieldClass",
        "CloseMediaLib", "FreeTimerTable", "FreePrintRecord", "FreeFindState", "FreeTextStyleResources",
        "FreeButtonEditCopy", "FreeLoadedLibraries", "FreeUndoRecord", "FreeAlertSuppressionList",
        "FreeLaunchDialogData", "ReleaseAnimPlayback", "MediaManagerDestroy", "FreeAnimOffscreen",
        "UnloadVideoForWindows", "CloseCaptureWindow", "CloseVideodiscPlayer", "ShutdownLogo",
        "ShutdownMaskSelection", "FreeGraphicEditBitmaps", "FreeToolResources", "FreeCursorCache",
        "FreeBrushCursors", "DestroyFcolorsWindow", "FreePaletteObjects", "FreePaintTextBuffer", "FreeOffscreenObjects", "CoUninitialize",
        "FreeFolderTable"};
    EXPECT_EQ(g_steps, releases);
    EXPECT_FALSE(IsPluginWindowAttached());
    ASSERT_TRUE(IsWindow(window)) << "the window is the browser's to destroy";
    EXPECT_EQ(Procedure(), reinterpret_cast<LONG_PTR>(BrowserProc));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR)), classCursor);
    EXPECT_EQ(GetOffscreenBitmap(), nullptr);
    EXPECT_FALSE(OwnsComInitialization());
    g_browserTimers.clear();
    Pump(150);
    EXPECT_TRUE(g_browserTimers.empty()) << "no timer of the plug-in fires after shut-down";
    EXPECT_EQ(GetMainWindow(), nullptr);
}

// What the plug-in keeps in globals from one page to the next (the print settings, the find
// state) is a handle: the next page's window must not free its block or hand its number to
// another owner, or the next use writes into memory that is someone else's.
TEST(PageAfterPage, AHandleKeptFromOnePageIsStillItsOwnBlockOnTheNext) {
    LinkedPluginPage first;
    ASSERT_TRUE(OpenInLinkedPlugin(OneCardStack(120, 90), "kept-1-" + ProcessTag() + ".stk", &first));
    const Handle kept = NewHandle(12);
    ASSERT_TRUE(kept);
    SetHandleWord(kept, 10, 0x4B50);
    CloseLinkedPlugin(&first);

    LinkedPluginPage second;
    ASSERT_TRUE(OpenInLinkedPlugin(OneCardStack(120, 90), "kept-2-" + ProcessTag() + ".stk", &second));
    EXPECT_TRUE(IsValidHandle(kept));
    EXPECT_EQ(GetHandleSize(kept), 12u);
    EXPECT_EQ(GetHandleWord(kept, 10), 0x4B50);
    const Handle fresh = NewHandle(12);
    EXPECT_NE(fresh, kept) << "a kept number is not given again";
    DisposeHandle(fresh);
    CloseLinkedPlugin(&second);
    DisposeHandle(kept);
}

}  // namespace
