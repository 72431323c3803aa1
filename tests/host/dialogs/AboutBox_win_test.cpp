// The about box: its size and black panel, the credits scrolling up from the panel's bottom one
// pixel a tick while active, the click that only activates, the version line from the module's
// version block, the box without credits, and command 651 in the hosted plug-in.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <vector>
#include <string>

#include "StackBuilder.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "graphics/pixels/DibPalette.h"
#include "host/browser/WindowAttach.h"
#include "host/dialogs/AboutBox.h"
#include "host/menus/MenuCommands.h"
#include "host/window/WindowServices.h"
#include "tests/graphics/DcPixelsTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

constexpr const char* kCaption = "About Pageloom";

// The FileVersion text as the version script writes it.
std::string ScriptFileVersion() {
    const char* source = std::getenv("LOOM_SOURCE");
    std::ifstream in(std::string(source ? source : ".") + "/resources/version.rci");
    std::string line;
    while (std::getline(in, line)) {
        const size_t key = line.find("\"FileVersion\", \"");
        if (key != std::string::npos) {
            const size_t start = key + 16;
            return line.substr(start, line.find("\\0", start) - start);
        }
    }
    return "(missing)";
}

// The window's pixels (client coordinates) of a rectangle, as 0xRRGGBB.
struct Capture {
    RECT rect;
    std::vector<uint32_t> all;
    int width;
    Capture(HWND window, RECT r) : rect(r) {
        HDC dc = GetDC(window);
        all = ReadDcPixels(dc, r.right, r.bottom);
        ReleaseDC(window, dc);
        width = r.right;
    }
    uint32_t At(int x, int y) const { return all[y * width + x]; }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> inside;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; ++x)
                inside.push_back(At(x, y));
        return inside;
    }
};

bool IsCyan(uint32_t c) { return (c >> 16 & 0xFF) < 64 && (c >> 8 & 0xFF) > 192 && (c & 0xFF) > 192; }
bool IsWhite(uint32_t c) { return (c >> 16 & 0xFF) > 240 && (c >> 8 & 0xFF) > 240 && (c & 0xFF) > 240; }

// Rows of the panel (window coordinates) holding cyan pixels: the first, -1 for none.
int FirstCyanRow(HWND window) {
    const Capture panel(window, kCreditsPanel);
    for (int y = kCreditsPanel.top; y < kCreditsPanel.bottom; ++y)
        for (int x = kCreditsPanel.left; x < kCreditsPanel.right; ++x)
            if (IsCyan(panel.At(x, y)))
                return y;
    return -1;
}

void Tick(HWND box, int times) {
    for (int i = 0; i < times; ++i)
        SendMessageA(box, WM_TIMER, kCreditsTimer, 0);
}

struct Owner {
    HWND window = CreateWindowA("STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 500, 400, nullptr, nullptr,
                                nullptr, nullptr);
    ~Owner() { DestroyWindow(window); }
};

TEST(AboutBox, ScrollsWhileActiveAndClosesOnTheSecondClick) {
    SetAppInstance(GetModuleHandleA(nullptr));
    InitMemRefs();  // as the plug-in's start-up makes them
    const SIZE title = GetDibResourceSize("TITLE");
    ASSERT_GT(title.cx, kCreditsPanel.right);
    ASSERT_GT(title.cy, kCreditsPanel.bottom);
    EXPECT_EQ(AboutVersionLine(), "Version  " + ScriptFileVersion() + " ");

    Owner owner;
    const int handles = MemRefsCount();
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Caption(kCaption), [&](DialogView& box) {
        const HWND w = box.Window();
        const SIZE size = box.WindowSize();
        EXPECT_EQ(size.cx, title.cx + 2 * GetSystemMetrics(SM_CXBORDER));
        EXPECT_EQ(size.cy, title.cy + 2 * GetSystemMetrics(SM_CYBORDER));
        EXPECT_EQ(box.ClientSize().cx, title.cx) << std::hex << GetWindowLongA(w, GWL_STYLE) << " " << GetWindowLongA(w, GWL_EXSTYLE);
        SendMessageA(w, WM_ACTIVATE, WA_CLICKACTIVE, 0);
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(Capture(w, kCreditsPanel).At(kCreditsPanel.left + 1, kCreditsPanel.top + 1), 0u) << "the panel is black";
        EXPECT_EQ(FirstCyanRow(w), -1) << "the credits start at the area's height, below it";
        Tick(w, 20);
        const int first = FirstCyanRow(w);
        EXPECT_GE(first, kCreditsArea.bottom - 20) << "one pixel a tick";
        EXPECT_LT(first, kCreditsArea.bottom);
        SendMessageA(w, WM_ACTIVATE, WA_INACTIVE, 0);
        Tick(w, 20);
        EXPECT_EQ(FirstCyanRow(w), first) << "paused while inactive";
        SendMessageA(w, WM_ACTIVATE, WA_ACTIVE, 0);
        Tick(w, 10);
        EXPECT_EQ(FirstCyanRow(w), first - 10);
        // Scrolled out at the top, the text starts again from below.
        bool restarted = false;
        for (int i = 0; i < 2000 && !restarted; ++i) {
            Tick(w, 1);
            restarted = FirstCyanRow(w) == -1;
        }
        EXPECT_TRUE(restarted);
        SendMessageA(w, WM_LBUTTONUP, 0, 0);
        EXPECT_TRUE(IsWindowVisible(w)) << "the activating click only activated it";
        SendMessageA(w, WM_LBUTTONUP, 0, 0);
        EXPECT_FALSE(KillTimer(w, kCreditsTimer)) << "timer 2 is gone";
    });
    driver.Run([&] {
        ShowAboutBox(owner.window);
        return 0;
    });
    EXPECT_EQ(driver.Answered(), 1);
    EXPECT_EQ(MemRefsCount(), handles) << "scroller and credits freed";
}

TEST(AboutBox, ThePaletteComesFromTheTitlesColourTable) {
    SetAppInstance(GetModuleHandleA(nullptr));
    uint32_t size = 0;
    const auto* file = static_cast<const uint8_t*>(LoadResData("TITLE", "DIB", &size));
    ASSERT_TRUE(file && size > 14 + 40 + 1024);
    const uint8_t* dib = file + 14;
    HPALETTE palette = CreatePaletteFromDib(dib, size - 14);
    ASSERT_TRUE(palette);
    PALETTEENTRY entries[257] = {};
    EXPECT_EQ(GetPaletteEntries(palette, 0, 257, entries), 256u);
    for (int i : {0, 17, 200, 255}) {
        const uint8_t* quad = dib + 40 + 4 * i;
        EXPECT_EQ(entries[i].peRed, quad[2]) << i;
        EXPECT_EQ(entries[i].peGreen, quad[1]) << i;
        EXPECT_EQ(entries[i].peBlue, quad[0]) << i;
        EXPECT_EQ(entries[i].peFlags, PC_RESERVED) << i;
    }
    DeleteObject(palette);
    EXPECT_EQ(CreatePaletteFromDib(dib, 40 + 1000), nullptr) << "a table the bytes do not hold";
    std::vector<uint8_t> deep(dib, dib + 40);
    deep[14] = 24;
    EXPECT_EQ(CreatePaletteFromDib(deep.data(), deep.size()), nullptr) << "24 bits: no table";
}

TEST(AboutBox, WithoutCreditsThePanelStaysEmptyAndTheVersionLineIsDrawn) {
    SetAppInstance(GetModuleHandleA(nullptr));
    InitMemRefs();
    Owner owner;
    DialogDriver driver;
    driver.Expect(DialogMatch::Caption(kCaption), [](DialogView& box) {
        const HWND w = box.Window();
        SendMessageA(w, WM_ACTIVATE, WA_ACTIVE, 0);
        Tick(w, 60);
        RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        const std::vector<uint32_t> panel = Capture(w, kCreditsPanel).Pixels();
        EXPECT_EQ(std::count(panel.begin(), panel.end(), 0u), static_cast<long>(panel.size())) << "an empty black panel";
        const RECT line{kVersionLinePlace.x, kVersionLinePlace.y, kVersionLinePlace.x + 60, kVersionLinePlace.y + 14};
        const std::vector<uint32_t> version = Capture(w, line).Pixels();
        EXPECT_GT(std::count_if(version.begin(), version.end(), IsWhite), 20) << "the version line";
        SendMessageA(w, WM_DESTROY, 0, 0);  // cleaning up on destruction is enough
        EXPECT_FALSE(KillTimer(w, kCreditsTimer));
        SendMessageA(w, WM_LBUTTONUP, 0, 0);
    });
    driver.Run([&] { return ResDialogBoxParam(owner.window, AboutDlgProc, "ABOUT", 0); });
    EXPECT_EQ(driver.Answered(), 1);
}

TEST(AboutBox, Command651OpensItInTheHostedPlugin) {
    stackbuilder::Stack stack;
    stack.cardWidth = 160;
    stack.cardHeight = 120;
    stack.cards.push_back(stackbuilder::PlainCard(1));
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "about-" + ProcessTag() + ".stk", &page));
    DialogDriver driver;
    driver.Expect(DialogMatch::Caption(kCaption), [](DialogView& box) {
        SendMessageA(box.Window(), WM_LBUTTONUP, 0, 0);
    });
    driver.Run([&] { return DoMenuCommand(page.embed, 651, 0, nullptr); });
    EXPECT_EQ(driver.Answered(), 1);
    CloseLinkedPlugin(&page);
}

}  // namespace
