// The real plug-in in the test browser: a sound file dropped from the shell onto a button makes
// the button play it, and the Media Browser opened by command 403 leaves neither window nor
// class behind when the plug-in is unloaded, and opens again on the next load.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestBrowserRun_win.h"
#include "tests/support/TestSounds_win.h"
#include "tools/stackbuilder/StackBuilder.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

std::string StackBytes(const sb::Stack& stack) {
    const std::vector<uint8_t> bytes = sb::BuildStack(stack).bytes;
    return std::string(bytes.begin(), bytes.end());
}

sb::Stack ButtonStack() {
    sb::Stack stack;
    stack.experiencedUser = 1;
    stack.cardWidth = 200;
    stack.cardHeight = 120;
    sb::Card card = sb::PlainCard(1);
    card.objects.push_back(sb::Button(10, {10, 10, 90, 40}, "Play"));
    // A graphic with a picture and no action of its own yet.
    sb::Object graphic = sb::Graphic(11, {110, 60, 170, 100}, "Bell");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(60, 40, 8, 5));
    card.objects.push_back(graphic);
    stack.cards = {card};
    return stack;
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// On a button and on a graphic, the next click plays the dropped sound without a reload; a click
// elsewhere on the card plays nothing.
TEST(MediaLibInBrowser, ASoundDroppedOnAButtonOrAGraphicPlaysWhenItIsClicked) {
    const std::vector<uint8_t> wave = WaveFileOf(Square(4410, 100));
    struct Case {
        const char* target;
        const char* click;
        bool plays;
    };
    for (const Case& c : {Case{"40,20", "40,20", true}, Case{"140,80", "140,80", true}, Case{"140,80", "40,100", false}}) {
        ServerFolder server;
        const std::string name = "drop-" + std::to_string(GetCurrentProcessId()) + ".stk";
        server.Put(name, StackBytes(ButtonStack()));
        const std::string sound = server.Put("chime.wav", std::string(wave.begin(), wave.end()));
        const std::string sink = server.Name("sink.wav");
        const BrowserRun run = RunBrowser(server,
                                          {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts",
                                           "--size", "200x120", "--drop", sound + "@" + c.target + "@800", "--click",
                                           std::string(c.click) + "@1600", "--quit-after", "3200",
                                           "http://localhost/" + name},
                                          {{"LOOM_QUICKTIME_SINK", sink}});
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        EXPECT_NE(FindHolding(run.log, "drop("), -1) << Joined(run.log);
        if (c.plays)
            EXPECT_GT(SinkAmplitude(ReadAll(sink)), 20.0) << "dropped at " << c.target << Joined(run.log);
        else
            EXPECT_TRUE(ReadAll(sink).empty()) << "clicked beside it" << Joined(run.log);
    }
}

// The plug-in and its libraries copied into the server folder, which is then their program folder;
// no registry value names another library.
std::string PluginBesideTheStack(ServerFolder& server) {
    const std::string from = Folder(PluginPath());
    for (const char* file : {"nploom.dll", "vic32.dll", "QuickTime.qts"})
        server.Put(file, ReadFile(from + "\\" + file));
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quillmark\\Pageloom", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegDeleteValueA(key, "Media Folder");
    RegCloseKey(key);
    return server.path + "\\nploom.dll";
}

// With no library beside the plug-in, each opening says where the folder goes; once the folder
// is made (while the page is open), the next opening shows the browser.
TEST(MediaLibInBrowser, WithoutItsFolderEachOpeningSaysWhereToMakeItAndOnceMadeItOpens) {
    ServerFolder server;
    const std::string dll = PluginBesideTheStack(server);
    const std::string name = "nolib-" + std::to_string(GetCurrentProcessId()) + ".stk";
    server.Put(name, StackBytes(ButtonStack()));
    const std::string library = server.path + "\\Media Library";
    std::thread maker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(2600));
        CreateDirectoryA(library.c_str(), nullptr);
        CreateDirectoryA((library + "\\Sounds").c_str(), nullptr);
    });
    const BrowserRun run = RunBrowser(server, {"--dll", dll, "--server", server.path, "--log", "--answer-alerts",
                                               "--size", "200x120", "--command", "403@800", "--command", "403@1500",
                                               "--command", "403@4000", "--quit-after", "5000",
                                               "http://localhost/" + name});
    maker.join();
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int first = FindHolding(run.log, "alert(");
    ASSERT_NE(first, -1) << Joined(run.log);
    const int second = FindHolding(run.log, "alert(", first + 1);
    ASSERT_NE(second, -1) << "the second opening explains again\n" << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert(", second + 1), -1) << "the third opens\n" << Joined(run.log);
    // Each explanation names the folder where it is expected (the alert's text spans lines).
    const std::string all = Joined(run.log);
    size_t named = 0;
    for (size_t at = all.find(library + "\n"); at != std::string::npos; at = all.find(library + "\n", at + 1))
        ++named;
    EXPECT_EQ(named, 2u) << all;
    EXPECT_NE(FindHolding(run.log, "unable to locate the media folder", second), -1) << all;
    EXPECT_GT(FindHolding(run.log, "shown(Media Browser)"), second) << all;
    RemoveDirectoryA((library + "\\Sounds").c_str());
    RemoveDirectoryA(library.c_str());
}

TEST(MediaLibInBrowser, TheBrowserGoesWithThePluginAndOpensAgain) {
    ServerFolder server;
    const std::string dll = PluginBesideTheStack(server);
    server.Put("Media Library\\Sounds\\bell.wav", "RIFF....WAVE");
    const std::string name = "lib-" + std::to_string(GetCurrentProcessId()) + ".stk";
    server.Put(name, StackBytes(ButtonStack()));
    const BrowserRun run = RunBrowser(server, {"--dll", dll, "--server", server.path, "--log",
                                               "--answer-alerts", "--size", "200x120", "--command", "403@800",
                                               "--quit-after", "2000", "--reload", "http://localhost/" + name});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert("), -1) << Joined(run.log);
    const int first = Find(run.log, "closing(LM_MediaBrowser=shown)");
    EXPECT_NE(first, -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "unloaded(LM_MediaBrowser=gone)", first + 1), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "closing(LM_MediaBrowser=shown)", first + 1), -1) << Joined(run.log);
}

}  // namespace
