// Scanner import through Wine's TWAIN source manager and our test source (tools/twainds, in the
// prefix as sane.ds): who the source sees, the transfer count it is given before it is enabled,
// one transfer taken however many it has, the choice of source on first use only, and the ends
// of the event loop. The manager looks for sources once a run: the tests with one source come
// first. A choice of source nobody expects is cancelled by the driver, which leaves no picture.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "media/devices/Twain.h"
#include "tests/support/DialogDriver_win.h"

namespace {

class Twain : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadTwainDSM()) << "Wine's TWAIN_32.DLL loads";
        parent_ = CreateWindowA("STATIC", "scan parent", WS_POPUP | WS_VISIBLE, 0, 0, 60, 40, nullptr, nullptr, nullptr,
                                nullptr);
        SetEnvironmentVariableA("LOOM_TWAIN_REPORT", "");
    }
    void TearDown() override {
        for (const char* name : {"LOOM_TWAIN_AUTO", "LOOM_TWAIN_PENDING", "LOOM_TWAIN_REPORT"})
            SetEnvironmentVariableA(name, nullptr);
        DestroyWindow(parent_);
    }
    static std::string Seen() {
        char text[4096] = {};
        GetEnvironmentVariableA("LOOM_TWAIN_REPORT", text, sizeof text);
        return text;
    }
    HWND parent_ = nullptr;
};

// Red x * 8, green y * 8, blue 128 at (x, y) from the top, as the source draws it.
void ExpectTestPicture(HGLOBAL image) {
    ASSERT_NE(image, nullptr);
    const auto* p = static_cast<const uint8_t*>(GlobalLock(image));
    ASSERT_NE(p, nullptr);
    const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(p);
    EXPECT_EQ(h->biWidth, 32);
    EXPECT_EQ(h->biHeight, 24);
    EXPECT_EQ(h->biBitCount, 24);
    const uint8_t* top = p + sizeof *h + 23 * 96;  // bottom-up: the top row last
    EXPECT_EQ(top[5 * 3 + 2], 40);
    EXPECT_EQ(top[5 * 3 + 1], 0);
    EXPECT_EQ(top[5 * 3], 128);
    GlobalUnlock(image);
    GlobalFree(image);
}

}  // namespace

TEST_F(Twain, OneSourceScansOneImageAndIsToldWhoAsksAndHowMany) {
    ForgetTwainSourceChoice();
    SetEnvironmentVariableA("LOOM_TWAIN_AUTO", "scan");
    SetEnvironmentVariableA("LOOM_TWAIN_PENDING", "3");
    DialogDriver driver(10000);
    ExpectTestPicture(driver.Run([&] { return AcquireTwainImage(parent_); }));
    EXPECT_EQ(Seen(),
              "open by Pageloom of Quillmark 1.5 protocol 1.5 groups 3;enable xfercount 1;scan;transfer;endxfer 3;"
              "reset;disable;closeds;");
}

TEST_F(Twain, ClosingTheSourceWithoutScanningGivesNothing) {
    SetEnvironmentVariableA("LOOM_TWAIN_AUTO", "close");
    EXPECT_EQ(AcquireTwainImage(parent_), nullptr);
    EXPECT_EQ(Seen().find("transfer"), std::string::npos);
    EXPECT_NE(Seen().find("close;disable;closeds;"), std::string::npos) << Seen();
}

TEST_F(Twain, AQuitDuringTheLoopEndsItAndStillReachesTheProgram) {
    PostQuitMessage(7);
    EXPECT_EQ(AcquireTwainImage(parent_), nullptr);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was posted again";
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_NE(Seen().find("disable;closeds;"), std::string::npos) << Seen();
}

// The manager looks for its sources once a run: two sources are seen by a run of this program
// of its own, which runs the TwainTwoSources tests only.
TEST_F(Twain, TwoSourcesInARunOfTheirOwn) {
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string command = std::string("\"") + program + "\" --gtest_filter=TwainTwoSources.*";
    SetEnvironmentVariableA("LOOM_TWAIN_SOURCES", "2");
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA("LOOM_TWAIN_SOURCES", nullptr);
    ASSERT_TRUE(started);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(code, 0u) << "the run with two sources failed (its output is above)";
}

class TwainTwoSources : public Twain {
protected:
    void SetUp() override {
        if (GetEnvironmentVariableA("LOOM_TWAIN_SOURCES", nullptr, 0) == 0)
            GTEST_SKIP() << "run by Twain.TwoSourcesInARunOfTheirOwn";
        Twain::SetUp();
    }
};

TEST_F(TwainTwoSources, AreChosenBetweenOnTheFirstUseOnly) {
    ForgetTwainSourceChoice();
    SetEnvironmentVariableA("LOOM_TWAIN_AUTO", "scan");
    {
        DialogDriver driver(10000);
        std::vector<std::string> listed;
        driver.Expect(DialogMatch::Caption("Select Source"), [&](DialogView& box) {
            for (int i = 0; i < box.ListCount(1001); ++i)
                listed.push_back(box.ListItem(1001, i));
            box.Press(IDOK);
        });
        ExpectTestPicture(driver.Run([&] { return AcquireTwainImage(parent_); }));
        EXPECT_EQ(listed, (std::vector<std::string>{"Loom Scanner", "Loom Scanner 2"}));
    }
    // A second choice would be met by nobody and cancelled: no picture.
    DialogDriver driver(10000);
    ExpectTestPicture(driver.Run([&] { return AcquireTwainImage(parent_); }));
}

TEST_F(TwainTwoSources, CancellingTheFirstChoiceOpensNothingAndAsksAgainNextTime) {
    ForgetTwainSourceChoice();
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Caption("Select Source"), [](DialogView& box) { box.Press(IDCANCEL); });
    EXPECT_EQ(driver.Run([&] { return AcquireTwainImage(parent_); }), nullptr);
    EXPECT_EQ(Seen(), "") << "the source was never opened, so it is neither disabled nor closed";
    DialogDriver again(10000);
    again.Expect(DialogMatch::Caption("Select Source"), [](DialogView& box) { box.Press(IDCANCEL); });
    EXPECT_EQ(again.Run([&] { return AcquireTwainImage(parent_); }), nullptr);
}
