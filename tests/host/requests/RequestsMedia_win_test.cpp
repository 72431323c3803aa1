// Requests of media and modules in the hosted plug-in: another module called through request 67
// (its result handle replacing the data handle, the caller's fields kept), a stored sound played
// by name, the testing score, media that are done, and LoomLogo text run only when the fields
// that must be 0 are.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "actions/Animations.h"
#include "actions/TestingButtons.h"
#include "core/system/PluginModule.h"
#include "host/player/ButtonActions.h"
#include "core/memory/Handles.h"
#include "logo/Logo.h"
#include "format/StackFile.h"
#include "tests/host/requests/RequestTestPage_win.h"
#include "tests/support/TestMovieFiles_win.h"

namespace {

using namespace requestpage;

constexpr uint16_t kModuleId = 7001;
constexpr uint32_t kResultMessage = 20;  // the test module's answer with a result handle
constexpr uint16_t kFlipButton = 9;

std::string ReadAll(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The module's last logged call that holds the word.
std::string LastCall(const std::string& path, const std::string& word) {
    std::istringstream lines(ReadAll(path));
    std::string line, last;
    while (std::getline(lines, line))
        if (line.find(word) != std::string::npos)
            last = line;
    return last;
}

sb::Stack MediaStack() {
    sb::Stack s = PageStack();
    std::vector<uint8_t> info(600, 0);
    std::memcpy(info.data() + kNbaInfoFileName, "testaction.nba", 14);
    s.resources.push_back({"NBAs", kModuleId, "Test", 0, 0, info});
    s.resources.push_back({"Snd ", 140, "Chime", 0, 0, sb::StoredSound(11025, sb::ToneSamples())});
    sb::FrameAnimation flip;
    flip.width = 20;
    flip.height = 10;
    flip.delay = 5;
    flip.cycles = 500;
    for (uint8_t c : {1, 2})
        flip.frames.emplace_back(size_t(flip.width) * flip.height, c);
    s.cards[0].objects.push_back(sb::FrameAnimationButton(kFlipButton, {160, 10, 190, 30}, "Flip", {160, 40, 180, 50}, flip));
    return s;
}

TEST(RequestsMedia, ModulesSoundsScoreMediaAndScripts) {
    const std::string log = TempPath("requests-media-log.txt");
    const std::string sink = TempPath("requests-media-sink.wav");
    DeleteFileA(log.c_str());
    DeleteFileA(sink.c_str());
    SetEnvironmentVariableA("NBA_TEST_LOG", log.c_str());
    SetEnvironmentVariableA("LOOM_QUICKTIME_SINK", sink.c_str());
    {
        RequestPage page("requests-media");
        ASSERT_TRUE(page.Open(MediaStack()));

        // 67 by name: the block is cleared for the module, which gets the data and its size;
        // its result handle comes back in [54] and the data handle is gone.
        const std::vector<uint8_t> name = Pascal("Test");
        Handle data = ModuleHandle(std::vector<uint8_t>(11, 'd'));
        const Handle result = NewHandle(3);
        SetEnvironmentVariableA("NBA_TEST_RESULT", std::to_string(result).c_str());
        NbaParamBlock& b = Request(67, 0, static_cast<uint32_t>(data), Address(name.data()), kResultMessage, 0xABCD);
        EXPECT_EQ(b.param2, static_cast<uint32_t>(result));
        EXPECT_FALSE(IsValidHandle(data));
        EXPECT_EQ(b.param3, Address(name.data())) << "the caller's fields are as they were";
        EXPECT_EQ(b.param4, kResultMessage);
        EXPECT_EQ(b.handled, 0xABCDu);
        const std::string sent = LastCall(log, "msg=20 ");
        EXPECT_NE(sent.find(" p1=" + std::to_string(data) + " p2=11 p3=0 p4=0 "), std::string::npos) << sent;

        // Without a result the data handle comes back, still the caller's; by id this time.
        SetEnvironmentVariableA("NBA_TEST_RESULT", nullptr);
        data = NewHandle(5);
        EXPECT_EQ(Request(67, kModuleId, static_cast<uint32_t>(data), 0, kResultMessage).param2,
                  static_cast<uint32_t>(data));
        EXPECT_TRUE(IsValidHandle(data));
        // A handle that is none of ours is not handed on.
        Request(67, kModuleId, 0x7FFF1234u, 0, kResultMessage);
        EXPECT_NE(LastCall(log, "msg=20 ").find(" p1=0 p2=0 "), std::string::npos);
        DisposeHandle(data);
        DisposeHandle(result);

        // 55: a sound resource by name plays; a name of nothing plays nothing.
        const std::vector<uint8_t> none = Pascal("Nothing");
        Request(55, 0, 0, Address(none.data()));
        EXPECT_EQ(GetFileAttributesA(sink.c_str()), INVALID_FILE_ATTRIBUTES);
        const std::vector<uint8_t> chime = Pascal("Chime");
        Request(55, 0, 0, Address(chime.data()));
        EXPECT_NE(GetFileAttributesA(sink.c_str()), INVALID_FILE_ATTRIBUTES) << "the chime reached the sink";

        // 49: the score and the user's name as a length-prefixed copy.
        SetTestingUserName("Ann Example");
        const NbaParamBlock& score = Request(49);
        EXPECT_EQ(score.param1, 0u);
        EXPECT_EQ(score.param2, 0u);
        const auto* user = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(score.param3));
        ASSERT_TRUE(user);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(user + 1), user[0]), "Ann Example");

        // 89: nothing plays a movie or an animation; then a button's flip-book plays, and
        // [58] tells so whoever owns it.
        const NbaParamBlock& media = Request(89, 7, 7, 7);
        EXPECT_EQ(media.param1, 0u);
        EXPECT_EQ(media.param3, 0u);
        DoButtonActions(GetMainWindow(), kFlipButton, PersonsAct::Of(WM_LBUTTONUP));
        EXPECT_EQ(Request(89).param3, 1u) << "the button's flip-book runs";
        StopFrameAnimations();
        EXPECT_EQ(Request(89).param3, 0u);

        // 172: the text runs in Mac Roman; with any of [58], [62], [66] set nothing runs.
        const char script[] = "print \"caf\xE9";
        const int runs = GetLogoScriptRuns().count;
        Request(172, Address(script), 10, 1);
        Request(172, Address(script), 10, 0, 0, 1);
        EXPECT_EQ(GetLogoScriptRuns().count, runs);
        Request(172, Address(script), 10);
        EXPECT_EQ(GetLogoScriptRuns().count, runs + 1);
        EXPECT_EQ(GetLogoScriptRuns().lastScript, (std::vector<uint8_t>{'p', 'r', 'i', 'n', 't', ' ', '"', 'c', 'a', 'f'}));
        Request(172, Address(script), 11);
        EXPECT_EQ(GetLogoScriptRuns().lastScript.back(), 0x8E) << "e acute in Mac Roman";
        EXPECT_EQ(GetLogoScriptRuns().lastEdit, 0);
    }
    SetEnvironmentVariableA("LOOM_QUICKTIME_SINK", nullptr);
    SetEnvironmentVariableA("NBA_TEST_LOG", nullptr);
    DeleteFileA(log.c_str());
    DeleteFileA(sink.c_str());
}

}  // namespace
