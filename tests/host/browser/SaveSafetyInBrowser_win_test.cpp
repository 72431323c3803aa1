// A stack of this machine saved through the real plug-in in the test browser where saving must
// not lose a file: Save As onto another existing stack asks first (No, then Cancel, keeps that
// stack); a folder that takes no new file refuses Save with a word naming the stack, which stays
// byte for byte; another program's change to the stack between its opening and Save is asked
// about (Cancel keeps what the other program wrote); a stack 258 characters deep, whose new file
// beside it is past the ANSI calls' length, is saved and saved as there.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/WalkStacks_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr char kOpened[] = "gone(Please select a stack)";

std::string StackOfCards(int cards, uint32_t colour) {
    sb::Stack stack = sb::EditableStack(320, 240, 32);
    stack.cards.clear();
    for (int id = 1; id <= cards; ++id)
        stack.cards.push_back(sb::PictureCard(static_cast<uint16_t>(id), sb::SolidPicture(320, 240, 32, colour)));
    return Built(stack);
}

// The walk's common start: the page's own stack, then the stack of this machine opened with
// the Open command.
std::vector<std::string> OpenLocal(const std::string& path) {
    std::vector<std::string> args = {"--answer-alerts", "--in-order", "--command", "101@1000"};
    Append(args, OpenDialogAt(path, 1400, 300));
    return args;
}

TEST(SaveSafetyInBrowser, SaveAsAsksBeforeReplacingAndAFolderTakingNoNewFileIsTold) {
    CachedSite site;
    ServerFolder here, elsewhere;
    const std::string page = site.Serve("page", StackOfCards(1, 0x2040C0));
    const std::string mine = StackOfCards(2, 0x30A030), theirs = StackOfCards(3, 0xC03030);
    const std::string stack = here.Put("mine.stk", mine);
    const std::string other = elsewhere.Put("theirs.stk", theirs);
    // Every name a new file could take beside the stack is a folder (under Wine as root a
    // read-only folder still takes new files): the folder takes no new file, the stack itself
    // stays writable.
    for (int n = 0; n < 1000; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "LMTMP%03d.TMP", n);
        ASSERT_TRUE(CreateDirectoryA((here.path + "\\" + name).c_str(), nullptr));
    }
    std::vector<std::string> args = OpenLocal(stack);
    Append(args, {"--command", "155@2400", "--command", "103@3000", "--answer-alert", "2327:2"});
    Append(args, SaveAsDialogAt(other, 3600, 300));
    Append(args, {"--dialog", "Please name this Stack|Cancel|press@4900", "--command", "102@5800",
                  "--quit-after-last", "1500"});
    const BrowserRun run = site.Run(page, args);
    for (int n = 0; n < 1000; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "LMTMP%03d.TMP", n);
        RemoveDirectoryA((here.path + "\\" + name).c_str());
    }
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "alert(id=2327)"), -1) << "asked before replacing\n" << Joined(run.log);
    EXPECT_EQ(ReadFile(other), theirs) << "the other stack is as it was";
    const int told = FindHolding(run.log, "alert(id=2695)");
    ASSERT_NE(told, -1) << "the refused Save says so\n" << Joined(run.log);
    EXPECT_NE(run.log[told].find("mine.stk"), std::string::npos) << run.log[told];
    EXPECT_EQ(ReadFile(stack), mine) << "the stack is byte for byte as it was";
    EXPECT_EQ(FindHolding(run.log, "saved("), -1) << Joined(run.log);
}

TEST(SaveSafetyInBrowser, AnotherProgramsChangeIsAskedAboutBeforeSave) {
    CachedSite site;
    ServerFolder here;
    const std::string page = site.Serve("page", StackOfCards(1, 0x2040C0));
    const std::string mine = StackOfCards(2, 0x30A030), changed = StackOfCards(4, 0xC0C030);
    const std::string stack = here.Put("shared.stk", mine);
    // The other program writes the stack once the page has opened it.
    std::atomic<bool> done{false}, wrote{false};
    std::thread other([&] {
        const std::string log = site.server.path + "\\stdout.txt";
        for (int i = 0; i < 6000 && !done; ++i) {
            if (ReadFile(log).find(kOpened) != std::string::npos) {
                Sleep(1000);  // the page reads the stack as the dialog closes
                const HANDLE file = CreateFileA(stack.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                CREATE_ALWAYS, 0, nullptr);
                DWORD written = 0;
                WriteFile(file, changed.data(), static_cast<DWORD>(changed.size()), &written, nullptr);
                CloseHandle(file);
                wrote = written == changed.size();
                return;
            }
            Sleep(20);
        }
    });
    std::vector<std::string> args = OpenLocal(stack);
    Append(args, {"--command", "155@2400", "--command", "102@5400", "--answer-alert", "2700:3",
                  "--quit-after-last", "1500"});
    const BrowserRun run = site.Run(page, args);
    done = true;
    other.join();
    ASSERT_TRUE(wrote);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int asked = FindHolding(run.log, "alert(id=2700)");
    ASSERT_NE(asked, -1) << "Save asks first\n" << Joined(run.log);
    EXPECT_NE(run.log[asked].find("shared.stk"), std::string::npos) << run.log[asked];
    EXPECT_EQ(ReadFile(stack), changed) << "Cancel keeps what the other program wrote";
    EXPECT_EQ(FindHolding(run.log, "saved("), -1) << Joined(run.log);
}

// The new file a save makes beside the stack ("LMTMPnnn.TMP") lies past 259 characters there,
// so the save goes through the long-path calls; Save and Save As each leave a whole stack with
// the card added and no new file behind.
TEST(SaveSafetyInBrowser, AStackTwoHundredFiftyEightCharactersDeepIsSavedAndSavedAs) {
    CachedSite site;
    ServerFolder here;
    const std::string page = site.Serve("page", StackOfCards(1, 0x2040C0));
    std::string folder;
    std::vector<std::string> folders;  // each folder made, the deepest last
    while (here.path.size() + 1 + folder.size() + std::strlen("mine.stk") < 258) {
        const size_t room = 258 - here.path.size() - 1 - folder.size() - std::strlen("mine.stk") - 1;
        folder += std::string(std::min<size_t>(room, 50), 'd') + "\\";
        folders.push_back(here.path + "\\" + folder);
    }
    const std::string stack = here.Put(folder + "mine.stk", StackOfCards(2, 0x30A030));
    const std::string savedAs = here.Name(folder + "your.stk");
    ASSERT_EQ(stack.size(), 258u) << stack;
    std::vector<std::string> args = OpenLocal(stack);
    Append(args, {"--command", "155@2400", "--command", "102@3000", "--command", "103@3600"});
    Append(args, SaveAsDialogAt(savedAs, 4200, 300));
    Append(args, {"--quit-after-last", "1500"});
    const BrowserRun run = site.Run(page, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    // Each put in place by the long-path move, as the save watch logs it.
    EXPECT_NE(FindHolding(run.log, "\\mine.stk) moved from"), -1) << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "\\your.stk) moved from"), -1) << Joined(run.log);
    for (const std::string& path : {stack, savedAs}) {
        const std::string copy = site.server.Put("copy.stk", ReadFile(path));
        const std::string json = site.Report(copy);
        EXPECT_EQ(ReportedNumber(json, "cardCount"), 3) << path << "\n" << json;
    }
    WIN32_FIND_DATAA found;
    const HANDLE left = FindFirstFileA((here.path + "\\" + folder + "LMTMP*").c_str(), &found);
    EXPECT_EQ(left, INVALID_HANDLE_VALUE) << "a new file was left: " << found.cFileName;
    if (left != INVALID_HANDLE_VALUE)
        FindClose(left);
    DeleteFileA(stack.c_str());  // the folders go with their files
    DeleteFileA(savedAs.c_str());
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        RemoveDirectoryA(it->c_str());
}

}  // namespace
