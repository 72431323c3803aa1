// The stack commands of the menus in the plug-in: New Card through the real DLL and the test
// browser makes a blank card after the current one, which Save writes as the fourth; New Stack
// asks an experienced user for the card size, takes it in the card area and the window, unlocks
// the frame's menu bar and leaves the old stack in the history for Back; a stack that cannot be
// read leaves a fresh empty one; Standard Colors brings the palette back; Preferences opens its
// dialog and a changed setting reaches the preference file.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/DisplayUtils.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/player/CardHistory.h"
#include "host/player/StackOpening.h"
#include "resources/colors_ids.h"
#include "resources/info_ids.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/StackReporter_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
using namespace browsertest;

constexpr int kCardW = 300, kCardH = 200;
constexpr int kNewCard = 155, kNextCard = 204, kSaveStack = 102, kNewStack = 100, kBack = 200, kPreferences = 652,
              kStandardColors = 363;
const sb::Rgb kColours[3] = {{200, 40, 40}, {40, 200, 40}, {40, 40, 200}};

sb::Stack ThreeColours() {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    // The display's depth: neither reduced when the card changes nor asked about when saving.
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    stack.depth = static_cast<uint16_t>(bits == 24 ? 32 : bits);
    for (uint16_t id = 1; id <= 3; ++id) {
        const sb::Rgb& c = kColours[id - 1];
        stack.cards.push_back(sb::PictureCard(id, sb::SolidPicture(kCardW, kCardH, 32, (c.red << 16) | (c.green << 8) | c.blue)));
    }
    return stack;
}

std::string AsText(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::vector<std::string> FilesIn(const std::string& folder, const char* pattern) {
    std::vector<std::string> found;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\" + pattern).c_str(), &data);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do
        found.push_back(folder + "\\" + data.cFileName);
    while (FindNextFileA(search, &data));
    FindClose(search);
    return found;
}

// Through the test browser: on card 2 of three, New Card shows a blank card, and Save of the web
// stack asks where to save it: the file chosen holds the new card third of four, and the served
// file and the download cache's copy stay as the site sent them. From then on the stack is that
// file: a second Save writes it again without asking.
TEST(StackCommandsInPlugin, NewCardThroughTheBrowserIsSavedWhereThePersonSays) {
    ServerFolder server;
    const std::string name = "three-" + ProcessTag() + ".stk";
    const std::string served = AsText(sb::BuildStack(ThreeColours()).bytes);
    const std::string servedPath = server.Put(name, served);
    const std::string temp = server.path + "\\cache";
    CreateDirectoryA(temp.c_str(), nullptr);
    const std::string shot = server.Name("newcard.png"), chosen = server.Name("mine-" + name);
    const std::string saveAs = "Please name this Stack|";
    const BrowserRun run = RunBrowser(
        server,
        {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts", "--size",
         std::to_string(kCardW) + "x" + std::to_string(kCardH), "--command", std::to_string(kNextCard) + "@900",
         "--command", std::to_string(kNewCard) + "@1300", "--screenshot", shot, "--screenshot-after", "1800",
         "--command", std::to_string(kSaveStack) + "@2100", "--dialog", saveAs + "File name:|type:" + chosen + "@2500",
         "--dialog", saveAs + "Save|press@2800", "--command", std::to_string(kSaveStack) + "@3600",
         "--quit-after-last", "700", "http://localhost/" + name},
        {{"TMP", temp}, {"TEMP", temp}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert("), -1) << Joined(run.log);
    const Shot screen(shot);
    EXPECT_TRUE(NearRgb(screen.At(150, 100), 255, 255, 255, 8)) << "a blank card, not card 2: " << Hex(screen.At(150, 100));
    int asked = 0, saves = 0;
    for (const std::string& line : run.log) {
        asked += StartsWith(line, "shown(Please name this Stack)") ? 1 : 0;
        saves += line.find("saved(") != std::string::npos ? 1 : 0;
        EXPECT_EQ(line.find("saved(" + temp), std::string::npos) << "never into the cache: " << line;
    }
    EXPECT_EQ(asked, 1) << "asked once; then the stack is the file chosen" << Joined(run.log);
    EXPECT_EQ(saves, 2) << Joined(run.log);

    const BrowserRun report = RunProgram(StackReporterPath(), server, {chosen});
    ASSERT_EQ(report.exitCode, 0) << report.errors;
    EXPECT_EQ(ReportedCardIds(Joined(report.log)), (std::vector<int>{1, 2, 4, 3}));
    EXPECT_EQ(ReadFile(servedPath), served) << "the served file is the site's";
    const std::vector<std::string> copies = FilesIn(CacheFolderIn(temp), "stk*");
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(ReadFile(copies[0]), served) << "the cache's copy is the site's";
    RemoveFolderTree(temp);
}

class StackCommandsTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetFrameWindow(nullptr);
        if (frame_)
            DestroyWindow(frame_);
        CloseLinkedPlugin(&page_);
        FreeCardHistory();
        SetAdvancedUser(advanced_);
    }
    void Open(const sb::Stack& stack, const char* name) {
        ASSERT_TRUE(OpenInLinkedPlugin(stack, name + ProcessTag() + ".stk", &page_));
    }
    void Command(int command) {
        SendMessageA(page_.embed, WM_COMMAND, command, 0);
        PumpPageMessages();
    }
    static uint16_t HeaderWord(uint32_t offset) { return GetHandleWord(GetStackHeaderHandle(), offset); }

    LinkedPluginPage page_;
    HWND frame_ = nullptr;
    bool advanced_ = IsAdvancedUser();
};

TEST_F(StackCommandsTest, NewStackTakesTheAnsweredSizeUnlocksTheMenusAndBackReturns) {
    sb::Stack locked = ThreeColours();
    locked.locked = 1;
    Open(locked, "locked-");
    ASSERT_EQ(CountCards(), 3);
    ASSERT_EQ(HeaderWord(kHeaderLocked), 1);
    frame_ = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, CreateMenu(), nullptr, nullptr);
    SetFrameWindow(frame_);
    SetAdvancedUser(true);

    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(IDA_SAME_CARD_SIZE), [](DialogView& box) {
        ASSERT_EQ(box.ButtonLabels().size(), 2u);
        box.Press(53);  // "No": another size
    });
    driver.Expect(DialogMatch::Template("INF_CHGSZANDCOLORS"), [](DialogView& d) {
        EXPECT_EQ(d.Text(INF_SIZE_WIDTH), std::to_string(kCardW)) << "the current size offered";
        d.SetText(INF_SIZE_WIDTH, "200");
        d.SetText(INF_SIZE_HEIGHT, "150");
        d.Press(IDOK);
    });
    driver.Run([&] {
        Command(kNewStack);
        return 0;
    });
    EXPECT_EQ(CountCards(), 1);
    EXPECT_FALSE(StackHasFile());
    EXPECT_EQ(HeaderWord(kHeaderCardWidth), 200);
    EXPECT_EQ(HeaderWord(kHeaderCardHeight), 150);
    EXPECT_EQ(HeaderWord(kHeaderLocked), 0);
    int width = 0, height = 0, depth = 0;
    GetOffscreenSize(&width, &height, &depth);
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 150);
    RECT client = {};
    GetClientRect(page_.embed, &client);
    EXPECT_EQ(client.right, 200) << "the card window takes the card";
    EXPECT_EQ(client.bottom, 150);
    EXPECT_EQ(WindowPixel(page_.embed, 100, 75), RGB(255, 255, 255)) << "a white first card";
    EXPECT_FALSE(IsCardChanged());
    EXPECT_TRUE(IsStackChanged()) << "the new stack wants saving";
    EXPECT_EQ(GetMenuItemCount(GetMenu(frame_)), 11) << "the whole menu bar again";

    // The card left is in the history: Back goes to the locked stack, whose lock takes the bar,
    // once the new stack's changes are given up.
    DialogDriver back;
    back.Expect(DialogMatch::Alert(2343), [](DialogView& box) {
        EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"Save", "Don't save", "Cancel"}));
        box.Press(53);
    });
    back.Run([&] {
        Command(kBack);
        return 0;
    });
    EXPECT_EQ(CountCards(), 3);
    EXPECT_TRUE(StackHasFile());
    EXPECT_EQ(GetCurrentCardId(), 1);
    EXPECT_EQ(GetMenuItemCount(GetMenu(frame_)), 3) << "the locked bar";

    // A stack that cannot be read leaves a fresh empty stack of one card, not one to save.
    DialogDriver refused;
    refused.Expect(DialogMatch::Alert(kAlertNotAStack), [](DialogView& box) { box.Press(box.DefaultButton()); });
    const std::string junk = page_.file + ".junk";
    std::ofstream(junk, std::ios::binary) << std::string(600, 'x');
    SetFileSpecFromPath(kSlotCurrentStack, junk.c_str());
    EXPECT_NE(refused.Run([] { return OpenStack(false); }), 0);
    EXPECT_TRUE(IsStackOpen());
    EXPECT_EQ(CountCards(), 1);
    EXPECT_FALSE(StackHasFile());
    EXPECT_FALSE(IsStackChanged());
    DeleteFileA(junk.c_str());
}

TEST_F(StackCommandsTest, StandardColorsRestoreThePaletteAndPreferencesReachTheFile) {
    Open(ThreeColours(), "prefs-");
    // A drifted palette entry comes back with Standard Colors (an 8-bit display keeps the
    // palette it has realized), and the stack wants saving.
    HGLOBAL block = LoadDefaultLogPalette();
    ASSERT_NE(block, nullptr);
    const PALETTEENTRY standard = static_cast<LOGPALETTE*>(GlobalLock(block))->palPalEntry[3];
    GlobalUnlock(block);
    GlobalFree(block);
    const PALETTEENTRY drifted = {1, 2, 3, PC_RESERVED};
    SetPaletteEntries(GetAppPalette(), 3, 1, &drifted);
    ClearStackChanged();
    Command(kStandardColors);
    PALETTEENTRY now = {};
    GetPaletteEntries(GetAppPalette(), 3, 1, &now);
    if (GetDisplayBitsPerPixel() != 8) {
        EXPECT_EQ(RGB(now.peRed, now.peGreen, now.peBlue), RGB(standard.peRed, standard.peGreen, standard.peBlue));
    }
    EXPECT_TRUE(IsStackChanged());

    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "loomprefcmd" + ProcessTag();
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string ini = folder + "\\LMPREFS.INI";
    DeleteFileA(ini.c_str());
    SetFileSpecFromPath(kSlotProgram, (folder + "\\nploom.dll").c_str());
    SetAdvancedUser(false);

    DialogDriver driver;
    driver.Expect(DialogMatch::Template("PREFERENCES"), [](DialogView& d) {
        EXPECT_FALSE(d.IsChecked(51));
        d.SetChecked(51, true);  // experienced user
        d.Press(IDOK);
    });
    driver.Run([&] {
        Command(kPreferences);
        return 0;
    });
    std::ifstream in(ini, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[user]\r\nAdvancedUser=Yes\r\n");
    in.close();
    EXPECT_TRUE(IsAdvancedUser());
    EXPECT_EQ(HeaderWord(kHeaderExperiencedUser), 1);
    DeleteFileA(ini.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
