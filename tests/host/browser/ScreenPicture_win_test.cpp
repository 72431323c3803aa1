// The X server's picture of the screen with a plain system dialog box (no plug-in) over a frame
// window of this program, as the plug-in's dialogs lie over the browser's frame: the test
// browser's picture (--x-shot) holds the box pixel for pixel as its own X window does, at every
// depth. xwd's own reading of the root shows the box black while it lies wholly inside the
// frame, and right once it reaches past the frame's edge: the black dialogs seen on the display
// were that reading, not the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "TestBrowser.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/XwdImage.h"
#include "tests/support/ProcessNames_win.h"

using namespace browsertest;

namespace {

constexpr int kFrameWidth = 536, kFrameHeight = 427;
constexpr UINT_PTR kShootTimer = 1;

// What the box's timer takes, in a folder of the test's own.
struct Pictures {
    ServerFolder folder;
    std::string screen[2], xwdRoot[2], own[2];
    RECT box[2] = {};
    int taken = 0;
};

INT_PTR CALLBACK BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* pictures = reinterpret_cast<Pictures*>(GetWindowLongPtrA(box, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(box, DWLP_USER, lParam);
        // Wholly inside the frame first, as a dialog centred over the card lies.
        SetWindowPos(box, HWND_TOP, 46, 48, 0, 0, SWP_NOSIZE);
        SetTimer(box, kShootTimer, 700, nullptr);
        return TRUE;
    case WM_TIMER: {
        if (wParam != kShootTimer)
            return FALSE;
        KillTimer(box, kShootTimer);
        const int n = pictures->taken++;
        GetWindowRect(box, &pictures->box[n]);
        EXPECT_TRUE(SaveScreenXwd(pictures->screen[n]));
        EXPECT_TRUE(StartXwd(pictures->xwdRoot[n], nullptr));
        EXPECT_TRUE(StartXwd(pictures->own[n], box));
        EXPECT_TRUE(AppearedInTime(pictures->xwdRoot[n]) && AppearedInTime(pictures->own[n]));
        if (n == 0) {
            // Then reaching past the frame's right edge.
            SetWindowPos(box, HWND_TOP, kFrameWidth - 100, 48, 0, 0, SWP_NOSIZE);
            SetTimer(box, kShootTimer, 700, nullptr);
        } else {
            EndDialog(box, IDOK);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// A dialog template of one static text and one button, as the system builds a box from.
std::vector<WORD> BoxTemplate() {
    std::vector<WORD> t;
    const auto dword = [&t](DWORD v) {
        t.push_back(LOWORD(v));
        t.push_back(HIWORD(v));
    };
    const auto text = [&t](const wchar_t* s) {
        for (; *s; ++s)
            t.push_back(*s);
        t.push_back(0);
    };
    const auto align = [&t] {
        if (t.size() % 2)
            t.push_back(0);
    };
    dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
    dword(0);
    t.push_back(2);  // controls
    t.push_back(0);
    t.push_back(0);
    t.push_back(200);
    t.push_back(120);
    t.push_back(0);  // no menu
    t.push_back(0);  // the dialog class
    text(L"Plain Box");
    t.push_back(8);
    text(L"MS Shell Dlg");
    align();
    dword(WS_CHILD | WS_VISIBLE | SS_LEFT);
    dword(0);
    t.insert(t.end(), {10, 10, 180, 40, 100});
    t.insert(t.end(), {0xFFFF, 0x0082});  // static
    text(L"A plain dialog box of the system, over a frame window of its program.");
    t.push_back(0);
    align();
    dword(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
    dword(0);
    t.insert(t.end(), {140, 95, 50, 14, IDOK});
    t.insert(t.end(), {0xFFFF, 0x0080});  // button
    text(L"OK");
    t.push_back(0);
    return t;
}

// Of the box's rectangle on the screen: how many pixels are not black, and how many differ from
// the box's own picture.
struct Compared {
    int notBlack = 0, differing = 0, all = 0;
};
Compared Compare(const XwdImage& screen, const XwdImage& own, const RECT& box) {
    Compared c;
    for (int y = 0; y < own.height; ++y)
        for (int x = 0; x < own.width; ++x, ++c.all) {
            const uint32_t pixel = screen.At(box.left + x, box.top + y);
            c.notBlack += pixel != 0;
            c.differing += pixel != own.At(x, y);
        }
    return c;
}

TEST(ScreenPicture, APlainDialogOverItsFrameIsOnTheScreenWhereXwdsReadingOfTheRootShowsItBlack) {
    WNDCLASSA frameClass = {};
    frameClass.lpfnWndProc = DefWindowProcA;
    frameClass.hInstance = GetModuleHandleA(nullptr);
    frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    frameClass.lpszClassName = "LoomPlainFrame";
    RegisterClassA(&frameClass);
    const HWND frame = CreateWindowExA(0, frameClass.lpszClassName, "Plain frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                       0, kFrameWidth, kFrameHeight, nullptr, nullptr, frameClass.hInstance, nullptr);
    ASSERT_TRUE(frame);
    UpdateWindow(frame);
    Pictures pictures;
    for (int n = 0; n < 2; ++n) {
        const std::string tag = ProcessTag() + "-" + std::to_string(n);
        pictures.screen[n] = pictures.folder.Name("screen-" + tag + ".xwd");
        pictures.xwdRoot[n] = pictures.folder.Name("xwdroot-" + tag + ".xwd");
        pictures.own[n] = pictures.folder.Name("own-" + tag + ".xwd");
    }
    const std::vector<WORD> box = BoxTemplate();
    DialogBoxIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<const DLGTEMPLATE*>(box.data()), frame, BoxProc,
                            reinterpret_cast<LPARAM>(&pictures));
    DestroyWindow(frame);
    ASSERT_EQ(pictures.taken, 2);
    for (int n = 0; n < 2; ++n) {
        XwdImage screen, xwdRoot, own;
        ASSERT_TRUE(ReadXwd(ReadFile(pictures.screen[n]), &screen));
        ASSERT_TRUE(ReadXwd(ReadFile(pictures.xwdRoot[n]), &xwdRoot));
        ASSERT_TRUE(ReadXwd(ReadFile(pictures.own[n]), &own));
        const RECT& place = pictures.box[n];
        ASSERT_EQ(own.width, place.right - place.left);
        ASSERT_EQ(own.height, place.bottom - place.top);
        const Compared onScreen = Compare(screen, own, place), read = Compare(xwdRoot, own, place);
        const char* where = n == 0 ? "inside the frame" : "past the frame's edge";
        EXPECT_GT(onScreen.notBlack * 10, onScreen.all * 9) << where;
        EXPECT_EQ(onScreen.differing, 0) << where << ": the screen's picture is the box's own";
        if (n == 0)
            EXPECT_EQ(read.notBlack, 0) << "xwd's reading of the root shows the box inside the frame black";
        else
            EXPECT_GT(read.notBlack * 10, read.all * 9) << "xwd's reading of the root shows the box past the frame's edge";
    }
}

}  // namespace
