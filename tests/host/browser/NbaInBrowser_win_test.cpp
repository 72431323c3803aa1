// Extension modules through the real plug-in in the test browser, with the project's test
// modules beside the built DLL: a button's module action, the card events, idle, the
// persistent value from call to call and the close; stacks naming unsafe module files call
// nothing and play on; the Extras menu's module run by command 450 and closed at shut-down.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "format/StackFile.h"
#include "tests/support/NbaCallLog.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
constexpr uint16_t kModuleId = 7001;

using browsertest::WindowsPath;

std::string FromEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? WindowsPath(value) : std::string();
}

std::string TempName(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + name + "-" + ProcessTag();
}

// One logged module call: its words as name=value.
using Call = NbaCall;

// The logged calls that carry a message.
std::vector<Call> ReadCalls(const std::string& path) {
    std::vector<Call> calls = ReadNbaCalls(path);
    std::erase_if(calls, [](const Call& c) { return !c.f.count("msg"); });
    return calls;
}

// Two cards; the first card's button runs module `id` with "hello" and goes to the next card.
std::vector<uint8_t> ModuleStack(uint16_t id, std::vector<sb::Resource> resources) {
    sb::Stack stack;
    stack.cardWidth = 120;
    stack.cardHeight = 90;
    stack.cards.push_back(sb::PlainCard(1));
    stack.cards.push_back(sb::PlainCard(2));
    sb::Object button = sb::ShapedButton(1, {60, 50, 110, 80}, "Run", 2, 0, -1);
    button.words.push_back({20, kActNba | kActGoTo});
    sb::Chunk chunk;
    chunk.kind = kTagNba;
    chunk.words.push_back({kChunkValue, id});
    chunk.payload = {'h', 'e', 'l', 'l', 'o'};
    button.chunks.push_back(chunk);
    stack.cards[0].objects.push_back(button);
    stack.resources = std::move(resources);
    return sb::BuildStack(stack).bytes;
}

struct BrowseRun {
    int exitCode = -1;
    std::string out;
    std::vector<Call> calls;
};

// Serves the stack from a fresh folder and runs the browser with the options; the modules log.
BrowseRun Browse(const std::vector<uint8_t>& stack, std::vector<std::string> options,
           const std::vector<std::pair<const char*, const char*>>& env = {}) {
    static int counter = 0;
    const std::string folder = TempName("nba-server") + "-" + std::to_string(++counter);
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string name = "modules" + std::to_string(counter) + ".stk";
    {
        std::ofstream f(folder + "\\" + name, std::ios::binary);
        f.write(reinterpret_cast<const char*>(stack.data()), static_cast<std::streamsize>(stack.size()));
    }
    const std::string log = folder + "\\modules.txt", out = folder + "\\out.txt";
    std::string command = "\"" + FromEnv("LOOM_TESTBROWSER") + "\" --dll \"" + FromEnv("LOOM_DLL") + "\" --server \"" +
                          folder + "\" --log --answer-alerts --size 160x120";
    for (const std::string& o : options)
        command += " " + o;
    command += " http://localhost/" + name;
    SetEnvironmentVariableA("NBA_TEST_LOG", log.c_str());
    for (const auto& [key, value] : env)
        SetEnvironmentVariableA(key, value);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE outFile = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outFile;
    startup.hStdError = outFile;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    BrowseRun run;
    if (CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0)
            TerminateProcess(process.hProcess, 99);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.exitCode = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(outFile);
    SetEnvironmentVariableA("NBA_TEST_LOG", nullptr);
    for (const auto& [key, value] : env)
        SetEnvironmentVariableA(key, nullptr);
    std::ifstream o(out);
    std::stringstream all;
    all << o.rdbuf();
    o.close();
    run.out = all.str();
    run.calls = ReadCalls(log);
    for (const std::string& file : {name, std::string("modules.txt"), std::string("out.txt")})
        DeleteFileA((folder + "\\" + file).c_str());
    RemoveDirectoryA(folder.c_str());
    return run;
}

std::vector<unsigned long> Messages(const std::vector<Call>& calls, const char* who) {
    std::vector<unsigned long> m;
    for (const Call& c : calls)
        if (c.who == who && (m.empty() || c.N("msg") != 5 || m.back() != 5))
            m.push_back(c.N("msg"));  // runs of idle messages count once
    return m;
}

}  // namespace

TEST(NbaInBrowser, AButtonRunsTheModuleWhichSeesTheCardEventsIdleItsValueAndTheClose) {
    const BrowseRun run = Browse(ModuleStack(kModuleId, {NbasResource(kModuleId, "testaction.nba")}),
                           {"--click", "85,65@1200", "--quit-after-last", "1800"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_EQ(run.out.find("alert("), std::string::npos) << run.out;
    ASSERT_FALSE(run.calls.empty()) << run.out;
    const std::vector<unsigned long> seen = Messages(run.calls, "action");
    std::string shown;
    for (unsigned long m : seen)
        shown += std::to_string(m) + " ";
    // In this order, with window messages (11), idle (5) and the wait's polls (14) between:
    // arriving, idle, the perform, leaving and arriving, idle, and the close last.
    const unsigned long wanted[] = {10, 5, 4, 9, 10, 5, 2};
    auto at = seen.begin();
    for (const unsigned long m : wanted) {
        at = std::find(at, seen.end(), m);
        ASSERT_NE(at, seen.end()) << "message " << m << " in order: " << shown;
        ++at;
    }
    EXPECT_EQ(seen.back(), 2u) << shown;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 4u), 1) << shown;
    EXPECT_NE(std::find(seen.begin(), seen.end(), 11u), seen.end()) << "window messages: " << shown;
    for (size_t i = 0; i < run.calls.size(); ++i) {
        const Call& c = run.calls[i];
        EXPECT_EQ(c.N("persist"), i) << "call " << i << " (message " << c.N("msg") << ")";
        EXPECT_EQ(c.N("id"), kModuleId);
        EXPECT_NE(c.N("window"), 0u);
        if (c.N("msg") == 4) {
            EXPECT_EQ(c.N("obj"), 1u);
            EXPECT_EQ(c.N("p2"), 5u);  // the size of the data's copy
            EXPECT_NE(c.N("p1"), 0u);
            EXPECT_EQ(c.N("card"), 1u);
        }
    }
}

TEST(NbaInBrowser, StacksNamingUnsafeModuleFilesLoadNothingAndPlayOn) {
    for (const char* name : {"..\\testaction.nba", "C:\\testaction.nba", "NBAS/testaction.nba", "testaction.dll"}) {
        const BrowseRun run = Browse(ModuleStack(11, {NbasResource(11, name), NbasResource(kModuleId, "testaction.nba")}),
                               {"--click", "85,65@1200", "--quit-after-last", "1300"});
        ASSERT_EQ(run.exitCode, 0) << name << run.out;
        for (const Call& c : run.calls)
            EXPECT_EQ(c.N("id"), kModuleId) << name;
        // The safe module of the same stack still sees the move the button makes.
        const std::vector<unsigned long> seen = Messages(run.calls, "action");
        const unsigned long move[] = {9, 10};
        EXPECT_NE(std::search(seen.begin(), seen.end(), std::begin(move), std::end(move)), seen.end()) << name;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 4u), 0) << name;
    }
}

TEST(NbaInBrowser, CommandFourFiftyRunsTheExtrasModuleWithTheCardWindowAndShutDownClosesIt) {
    const std::vector<uint8_t> stack = ModuleStack(kModuleId, {});
    BrowseRun run = Browse(stack, {"--command", "450@900", "--quit-after-last", "1100"});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    std::vector<unsigned long> seen = Messages(run.calls, "extra");
    EXPECT_EQ(seen, (std::vector<unsigned long>{3, 4, 2})) << run.out;
    for (const Call& c : run.calls)
        if (c.who == "extra" && c.N("msg") == 4) {
            EXPECT_NE(c.N("window"), 0u);
        }

    // A module that answers 1 is unloaded at once: shut-down has nothing to close.
    run = Browse(stack, {"--command", "450@900", "--command", "450@1300", "--quit-after-last", "700"},
                 {{"NBA_TEST_EXTRA_RESULT", "1"}});
    ASSERT_EQ(run.exitCode, 0) << run.out;
    seen = Messages(run.calls, "extra");
    EXPECT_EQ(seen, (std::vector<unsigned long>{3, 4, 4})) << run.out;
}
