// Runs the test browser as a child process, on the real plug-in and on the stand-in plug-in
// (npfake.dll, whose answers are set through the environment), and checks its call log, the
// streams as the plug-in received them, its screenshot and its exit codes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "TestBrowser.h"
#include "core/memory/ByteReader.h"
#include "graphics/palette/DefaultPalette.h"
#include "format/StackFile.h"
#include "tests/support/RleAvi.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;

std::string FakePluginPath() {
    std::string browser = BrowserPath();
    return browser.substr(0, browser.find_last_of("\\/") + 1) + "npfake.dll";
}

std::string Bytes(size_t count, unsigned seed) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(seed >> 16);
    }
    return bytes;
}

std::string Fnv1a(const std::string& bytes) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 16777619u;
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(hash));
    return text;
}

long Result(const std::string& line) {
    size_t arrow = line.find("-> ");
    return arrow == std::string::npos ? -9999 : std::strtol(line.c_str() + arrow + 3, nullptr, 10);
}

uint32_t BigEndian32(const std::string& bytes, size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) << 24 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

// The NPP_Write lines of one instance's stream must cover the file without gap or overlap,
// each offering no more than the chunk and than the WriteReady answer before it.
void ExpectContiguousWrites(const std::vector<std::string>& log, int from, int to, const std::string& instance,
                            size_t chunk, size_t fileSize) {
    size_t next = 0;
    long ready = -1;
    int writes = 0;
    for (int i = from; i < to; ++i) {
        const std::string& l = log[i];
        if (Field(l, "instance") != instance)
            continue;
        if (StartsWith(l, "NPP_WriteReady(")) {
            ready = Result(l);
        } else if (StartsWith(l, "NPP_Write(")) {
            ++writes;
            size_t offset = std::stoul(Field(l, "offset")), len = std::stoul(Field(l, "len"));
            EXPECT_EQ(offset, next) << l;
            EXPECT_LE(len, chunk) << l;
            EXPECT_GT(ready, 0) << "a write without a positive WriteReady before it: " << l;
            EXPECT_LE(static_cast<long>(len), ready) << l;
            long taken = Result(l);
            ASSERT_GE(taken, 0) << l;
            next += static_cast<size_t>(std::min<long>(taken, static_cast<long>(len)));
            ready = -1;
        }
    }
    EXPECT_EQ(next, fileSize);
    EXPECT_GT(writes, 0);
}

TEST(TestBrowser, StreamsTheStackInChunksToTheRealPlugin) {
    ServerFolder server;
    // A name of its own for every run, so that a download cache of the plug-in never has it
    // already; not a .stk name, so that nothing tries to open these bytes as a stack.
    std::string name = ProcessUniqueName("small", "dat");
    server.Put(name, Bytes(100, 7));
    std::string shot = server.Name("shot.png");
    BrowserRun run = RunBrowser(server, {"--dll", PluginPath(), "--server", server.path, "--type", "application/lmpk", "--log",
                                  "--chunk", "7", "--size", "300x200", "--screenshot", shot, "--quit-when-done",
                                  "--quit-after", "30000", "http://localhost/" + name});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const auto& log = run.log;
    SCOPED_TRACE(Joined(log));

    int init = Find(log, "NP_Initialize(");
    int created = Find(log, "NPP_New(", init + 1);
    int window = Find(log, "NPP_SetWindow(", created + 1);
    int stream = Find(log, "NPP_NewStream(", window + 1);
    int streamEnd = Find(log, "NPP_DestroyStream(", stream + 1);
    int destroyed = Find(log, "NPP_Destroy(", streamEnd + 1);
    int shutdown = Find(log, "NP_Shutdown(", destroyed + 1);
    ASSERT_GE(init, 0);
    ASSERT_GT(created, init);
    ASSERT_GT(window, created);
    ASSERT_GT(stream, window);
    ASSERT_GT(streamEnd, stream);
    ASSERT_GT(destroyed, streamEnd);
    ASSERT_GT(shutdown, destroyed);
    EXPECT_EQ(Field(log[created], "mode"), "1");
    EXPECT_EQ(Result(log[created]), 0);
    EXPECT_EQ(Field(log[window], "width"), "300");
    EXPECT_EQ(Field(log[stream], "end"), "100");
    EXPECT_EQ(Field(log[streamEnd], "reason"), "0");

    int writes = 0;
    for (const std::string& l : log)
        writes += StartsWith(l, "NPP_Write(");
    EXPECT_EQ(writes, (100 + 6) / 7);
    EXPECT_EQ(Find(log, "NPP_Write("), Find(log, "NPP_Write(", stream)) << "no write before the stream began";
    EXPECT_EQ(Find(log, "NPP_Write(", streamEnd), -1) << "no write after the stream ended";
    ExpectContiguousWrites(log, stream, streamEnd, "1", 7, 100);

    std::string png = ReadFile(shot);
    ASSERT_GE(png.size(), 24u) << "no screenshot at " << shot;
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(BigEndian32(png, 16), 300u);
    EXPECT_EQ(BigEndian32(png, 20), 200u);
}

TEST(TestBrowser, RefusesWhatItCannotServe) {
    ServerFolder server;
    server.Put("notes.txt", "plain text");
    server.Put("some.stk", "stack bytes");
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int exitCode;
    };
    const std::string dll = PluginPath();
    const std::vector<Case> cases = {
        {"missing DLL", {"--dll", server.path + "\\absent.dll", "http://localhost/some.stk"}, 3},
        {"extension not served", {"--dll", dll, "http://localhost/notes.txt"}, 5},
        {"MIME type not served", {"--dll", dll, "--type", "text/plain", "http://localhost/some.stk"}, 5},
        {"stack missing", {"--dll", dll, "http://localhost/absent.stk"}, 7},
        {"URL leaving the server folder", {"--dll", dll, "http://localhost/../some.stk"}, 7},
        {"unknown option", {"--dll", dll, "--bogus", "http://localhost/some.stk"}, 2},
        {"--instances with several stacks",
         {"--dll", dll, "--instances", "2", "http://localhost/some.stk", "http://localhost/some.stk"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> args = {"--server", server.path, "--log", "--quit-after", "0"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        BrowserRun run = RunBrowser(server, args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.errors << Joined(run.log);
        EXPECT_FALSE(run.errors.empty()) << "the reason is told on standard error";
        EXPECT_EQ(Find(run.log, "NPP_New("), -1) << "no instance was made";
    }
}

// Report lines of the stand-in plug-in that start with prefix.
std::vector<std::string> ReportLines(const std::string& reportPath, const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& l : Lines(ReadFile(reportPath)))
        if (StartsWith(l, prefix))
            found.push_back(l);
    return found;
}

// The stand-in plug-in on "stack.fake" in chunks of 7 until its stream is done, behaving as told,
// its report written to the file.
BrowserRun RunFake(const ServerFolder& server, const std::string& behaviour, const std::string& report) {
    return RunBrowser(server,
                      {"--dll", FakePluginPath(), "--server", server.path, "--log", "--chunk", "7", "--quit-when-done",
                       "--quit-after", "30000", "http://localhost/stack.fake"},
                      {{"LOOM_FAKE_PLUGIN", behaviour}, {"LOOM_FAKE_REPORT", report}});
}

TEST(TestBrowser, HonoursWriteReadyAndShortWrites) {
    ServerFolder server;
    std::string bytes = Bytes(50, 11);
    server.Put("stack.fake", bytes);
    std::string report = server.Name("report.txt");
    BrowserRun run = RunFake(server, "ready=5,0,3;take=4", report);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    SCOPED_TRACE(Joined(run.log));
    int stream = Find(run.log, "NPP_NewStream(");
    int streamEnd = Find(run.log, "NPP_DestroyStream(", stream + 1);
    ASSERT_GT(streamEnd, stream);
    EXPECT_NE(Find(run.log, "NPP_WriteReady(instance=1) -> 0"), -1) << "a not-ready answer came up";
    ExpectContiguousWrites(run.log, stream, streamEnd, "1", 7, 50);
    EXPECT_EQ(Field(run.log[stream], "type"), "application/x-loom-fake");

    auto ends = ReportLines(report, "end ");
    ASSERT_EQ(ends.size(), 1u) << ReadFile(report);
    EXPECT_EQ(Field(ends[0], "reason"), "0");
    EXPECT_EQ(Field(ends[0], "received"), "50");
    EXPECT_EQ(Field(ends[0], "hash"), Fnv1a(bytes)) << "the plug-in got the file's bytes in order";
    EXPECT_EQ(Field(ends[0], "offseterrors"), "0");
}

TEST(TestBrowser, EndsAStreamThePluginStops) {
    ServerFolder server;
    server.Put("stack.fake", Bytes(60, 3));
    std::string report = server.Name("report.txt");
    BrowserRun run = RunFake(server, "stopafter=20", report);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    SCOPED_TRACE(Joined(run.log));
    int stopped = Find(run.log, "NPP_Write(instance=1, offset=21, len=7) -> -1");
    ASSERT_NE(stopped, -1);
    int next = Find(run.log, "NPP_", stopped + 1);
    ASSERT_NE(next, -1);
    EXPECT_TRUE(StartsWith(run.log[next], "NPP_DestroyStream(instance=1")) << run.log[next];
    EXPECT_NE(Field(run.log[next], "reason"), "0") << "a stopped stream does not end as done";
    EXPECT_EQ(Find(run.log, "NPP_Write(", stopped + 1), -1);

    auto ends = ReportLines(report, "end ");
    ASSERT_EQ(ends.size(), 1u) << ReadFile(report);
    EXPECT_EQ(Field(ends[0], "received"), "21");
    EXPECT_EQ(Field(ends[0], "afterstop"), "0");
}

// A plug-in that never comes back from a call, pumping nothing, stops the page's own timers: the
// run still ends by itself, well inside the test's bound, saying so.
TEST(TestBrowser, APluginStuckInACallEndsTheRunWithAReason) {
    ServerFolder server;
    server.Put("stack.fake", Bytes(20, 4));
    const BrowserRun run = RunBrowser(server, {"--dll", FakePluginPath(), "--server", server.path, "--log",
                                               "--quit-after", "500", "http://localhost/stack.fake"},
                                      {{"LOOM_FAKE_PLUGIN", "hang=120000"}});
    EXPECT_EQ(run.exitCode, kExitPluginStuck) << run.errors << Joined(run.log);
    EXPECT_NE(run.errors.find("has not ended"), std::string::npos) << run.errors;
    EXPECT_NE(run.errors.find("still in a call"), std::string::npos) << run.errors;
}

// Two embeds of two stacks, streamed together chunk by chunk; each instance then asks for a file
// of its own. Every stream reaches the instance that asked, with the file's bytes, and the page
// closes by itself once nothing is left to deliver.
TEST(TestBrowser, DeliversEachStreamToTheInstanceThatAsked) {
    ServerFolder server;
    const std::string stack1 = Bytes(30, 5), stack2 = Bytes(45, 6);
    server.Put("stack1.fake", stack1);
    server.Put("stack2.fake", stack2);
    const std::string part1 = Bytes(40, 21), part2 = Bytes(70, 22);
    server.Put("pages\\part1.txt", part1);
    server.Put("pages\\part2.txt", part2);
    std::string report = server.Name("report.txt");
    BrowserRun run = RunBrowser(server,
                         {"--dll", FakePluginPath(), "--server", server.path, "--base",
                          "http://localhost/pages/index.html", "--parallel", "--chunk", "16", "--log",
                          "--quit-when-done", "--quit-after", "30000", "http://localhost/stack1.fake",
                          "http://localhost/stack2.fake"},
                         {{"LOOM_FAKE_PLUGIN", "geturl=part%d.txt"}, {"LOOM_FAKE_REPORT", report}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    SCOPED_TRACE(Joined(run.log));

    // Each instance has its own window and its own stack.
    auto windows = ReportLines(report, "window ");
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_NE(Find(run.log, "NPP_SetWindow(instance=1"), -1);
    EXPECT_NE(Find(run.log, "NPP_SetWindow(instance=2"), -1);
    EXPECT_NE(Field(run.log[Find(run.log, "NPP_SetWindow(instance=1")], "window"),
              Field(run.log[Find(run.log, "NPP_SetWindow(instance=2")], "window"));
    // The two stacks were under way at once: a write of the second between writes of the first.
    int firstOfOne = Find(run.log, "NPP_Write(instance=1");
    int firstOfTwo = Find(run.log, "NPP_Write(instance=2");
    ASSERT_GE(firstOfOne, 0);
    ASSERT_GE(firstOfTwo, 0);
    EXPECT_LT(firstOfTwo, Find(run.log, "NPP_DestroyStream(instance=1"));
    EXPECT_LT(firstOfOne, Find(run.log, "NPP_DestroyStream(instance=2"));

    auto ends = ReportLines(report, "end ");
    ASSERT_EQ(ends.size(), 4u) << ReadFile(report);
    struct Expected {
        const char* instance;
        std::string url;
        const std::string* bytes;
    };
    const Expected expected[] = {
        {"1", "http://localhost/stack1.fake", &stack1},
        {"2", "http://localhost/stack2.fake", &stack2},
        {"1", "http://localhost/pages/part1.txt", &part1},
        {"2", "http://localhost/pages/part2.txt", &part2},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(std::string("instance ") + e.instance + " " + e.url);
        bool found = false;
        for (const std::string& l : ends) {
            if (Field(l, "inst") == e.instance && Field(l, "url") == e.url) {
                found = true;
                EXPECT_EQ(Field(l, "reason"), "0");
                EXPECT_EQ(Field(l, "hash"), Fnv1a(*e.bytes));
            }
        }
        EXPECT_TRUE(found) << ReadFile(report);
    }
    EXPECT_NE(Find(run.log, "page done: every stream has ended"), -1);
    EXPECT_NE(Find(run.log, "NPP_Destroy(instance=1"), -1);
    EXPECT_NE(Find(run.log, "NPP_Destroy(instance=2"), -1);
    EXPECT_EQ(ReportLines(report, "shutdown").size(), 1u);
}

TEST(TestBrowser, StreamsALocalFileBeforeTheWindowAndAsAFile) {
    ServerFolder server;
    std::string bytes = Bytes(25, 9);
    std::string local = server.Put("local.fk2", bytes);
    std::string report = server.Name("report.txt");
    BrowserRun run = RunBrowser(server,
                         {"--dll", FakePluginPath(), "--log", "--stream-first", "--full", "--quit-when-done",
                          "--quit-after", "30000", local},
                         {{"LOOM_FAKE_PLUGIN", "stype=3"}, {"LOOM_FAKE_REPORT", report}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    SCOPED_TRACE(Joined(run.log));
    int created = Find(run.log, "NPP_New(");
    ASSERT_NE(created, -1);
    EXPECT_EQ(Field(run.log[created], "mode"), "2");
    EXPECT_EQ(Field(run.log[created], "type"), "application/x-loom-fake2") << "the second entry serves .fk2";
    int streamEnd = Find(run.log, "NPP_DestroyStream(");
    int window = Find(run.log, "NPP_SetWindow(");
    ASSERT_NE(streamEnd, -1);
    EXPECT_LT(streamEnd, window) << "the stack arrived before the window";

    auto ends = ReportLines(report, "end ");
    ASSERT_EQ(ends.size(), 1u) << ReadFile(report);
    EXPECT_TRUE(StartsWith(Field(ends[0], "url"), "file:///")) << ends[0];
    EXPECT_EQ(Field(ends[0], "hash"), Fnv1a(bytes));
    auto asFile = ReportLines(report, "asfile ");
    ASSERT_EQ(asFile.size(), 1u);
    EXPECT_EQ(Field(asFile[0], "exists"), "1");
}

// The stack report tool and the plug-in read a stack through one opening sequence: for stacks
// from the data cases and damaged ones, the report's verdict and alert are what the plug-in shows in
// the browser (the size question first when it is asked, then the refusal).
TEST(TestBrowser, StackReportAndPluginGiveTheSameVerdict) {
    ServerFolder server;
    std::vector<std::pair<std::string, std::string>> cases;  // name, bytes
    const char* source = std::getenv("LOOM_SOURCE");
    ASSERT_TRUE(source && *source) << "LOOM_SOURCE names the source tree";
    const std::string data = WindowsPath(std::string(source) + "/tests/data/stack");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((data + "\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << data;
    do {
        const std::string input = data + "\\" + found.cFileName + "\\input.stk";
        if (found.cFileName[0] != '.' && GetFileAttributesA(input.c_str()) != INVALID_FILE_ATTRIBUTES)
            cases.push_back({std::string("case-") + found.cFileName + ".stk", ReadFile(input)});
    } while (FindNextFileA(search, &found));
    FindClose(search);
    ASSERT_GE(cases.size(), 6u);

    namespace sb = stackbuilder;
    sb::Stack stack;
    stack.cards.push_back(sb::PlainCard(1));
    stack.cards.push_back(sb::PictureCard(2, sb::GradientPicture(64, 32, 8)));
    stack.resources.push_back({"Snd ", 128, "Beep", 0, 0, {1, 2, 3, 4, 5, 6}});
    stack.resources.push_back({"Actn", 129, "Too short", 0, 0, {1, 2, 3}});  // kept raw
    const sb::Built built = sb::BuildStack(stack);
    const std::string whole = AsText(built.bytes);
    auto damaged = [&](const char* name, auto change) {
        std::vector<uint8_t> bytes = built.bytes;
        change(bytes);
        cases.push_back({name, AsText(bytes)});
    };
    cases.push_back({"whole.stk", whole});
    damaged("three-more-resources.stk", [](auto& b) { SetBE32(b, kHeaderResourceCount, 5); });
    damaged("last-data-past-end.stk", [&](auto& b) {
        SetBE32(b, built.resourceOffsets.back() + kResDataLength, 400);
        SetBE32(b, built.resourceOffsets.back() + kResPaddedLength, 400);
    });
    damaged("card-end-mark.stk", [&](auto& b) { b[built.cardOffsets[1] - 1] ^= 0xFF; });
    damaged("version-6.stk", [](auto& b) { SetBE16(b, kHeaderVersion, 6); });
    damaged("black-and-white.stk", [](auto& b) { SetBE16(b, kHeaderDepth, 1); });
    damaged("no-card-width.stk", [](auto& b) { SetBE16(b, kHeaderCardWidth, 0); });
    damaged("small-cards-version-3.stk", [](auto& b) {
        SetBE16(b, kHeaderCardWidth, 20);
        SetBE16(b, kHeaderVersion, 3);
    });
    cases.push_back({"cut-short.stk", whole.substr(0, 300)});

    const std::string reporter = WindowsPath(std::string(std::getenv("LOOM_BUILD")) + "/tools/stackreport/stackreport.exe");
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const std::string path = server.Put(name, bytes);
        const BrowserRun inspected = RunProgram(reporter, server, {path});
        const std::string json = Joined(inspected.log);
        std::vector<std::string> expected;
        if (json.find("\"question\":{\"alert\":2334") != std::string::npos)
            expected.push_back("2334");
        const std::string refusalKey = "\"refusal\":{\"alert\":";
        const size_t refusal = json.find(refusalKey);
        if (refusal != std::string::npos) {
            const size_t at = refusal + refusalKey.size();
            expected.push_back(json.substr(at, json.find(',', at) - at));
        }
        EXPECT_EQ(inspected.exitCode, refusal == std::string::npos ? 0 : 2) << inspected.errors;

        const BrowserRun run = RunBrowser(server, {"--dll", PluginPath(), "--server", server.path, "--log",
                                                   "--answer-alerts", "--quit-when-done", "--quit-after", "30000", name});
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        std::vector<std::string> shown;
        for (const std::string& line : run.log)
            if (StartsWith(line, "alert("))
                shown.push_back(Field(line, "id"));
        EXPECT_EQ(shown, expected) << json << "\n" << Joined(run.log);
    }
}

// A stack whose first card has a picture is shown by the real plug-in: the embed's pixels are
// the picture's colours (within what a 16-bit display keeps), white beyond the card.
TEST(TestBrowser, ShowsTheFirstCardsPicture) {
    SKIP_UNLESS_TRUE_COLOUR("the screenshot is compared with the picture's exact colours");
    namespace sb = stackbuilder;
    constexpr int kCardW = 160, kCardH = 120;
    sb::Picture picture = sb::GradientPicture(kCardW, kCardH, 8);
    for (int i = 0; i < 256; ++i)  // channels on multiples of 8: a 16-bit display shows them closely
        picture.palette.push_back({uint8_t(i % 32 * 8), uint8_t(i / 32 * 32), uint8_t(255 - i / 2 * 2)});
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    stack.cards.push_back(sb::PictureCard(1, picture));
    ServerFolder server;
    const std::string name = ProcessUniqueName("picture", "stk");
    server.Put(name, Built(stack));
    const std::string shot = server.Name("picture.png");
    const BrowserRun run = RunPage(server, name, "200x150",
                                   {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "1500", "--quit-after", "2500"});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    UINT width = 0, height = 0;
    const std::vector<uint32_t> pixels = PngPixels(shot, &width, &height);
    ASSERT_EQ(width, 200u);
    ASSERT_EQ(height, 150u);
    HDC screen = GetDC(nullptr);
    const int slack = GetDeviceCaps(screen, BITSPIXEL) == 16 ? 7 : 0;
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            uint32_t want = 0xFFFFFF;
            if (x < kCardW && y < kCardH) {
                const sb::Rgb c = picture.palette[picture.pixels[size_t(y * kCardW + x)]];
                want = uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
            }
            const uint32_t got = pixels[size_t(y) * 200 + size_t(x)];
            for (int shift : {0, 8, 16})
                ASSERT_LE(std::abs(int((got >> shift) & 255) - int((want >> shift) & 255)), slack)
                    << "at " << x << "," << y << ": " << std::hex << got << ", want " << want;
        }
    }
}

// Buttons of every shape on a white card: their outlines, icons and names where the button
// geometry puts them (the card's font is the window's default, the System font).

// On a palette display the real plug-in writes its card's palette into the system's: with card
// 1 of the demo, whose 256 colours are greys, the system palette the browser's window sees is
// nearly all greys; with a 32-bit stack, shown in the default palette, it holds every colour of
// that palette.
TEST(TestBrowser, OnAPaletteDisplayCardOneShowsInThePaletteThePluginWrote) {
    if (!IndexedDisplay())
        GTEST_SKIP() << "the system palette exists on a palette display";
    namespace sb = stackbuilder;
    for (const bool demo : {true, false}) {
        SCOPED_TRACE(demo ? "the demo" : "a 32-bit stack");
        sb::Stack stack = demo ? sb::DemoStack() : sb::Stack{};
        if (!demo) {
            stack.depth = 32;
            stack.cardWidth = 160;
            stack.cardHeight = 120;
            stack.cards.push_back(sb::PictureCard(1, sb::GradientPicture(160, 120, 32)));
        }
        ServerFolder server;
        const std::string name = ProcessUniqueName(demo ? "demo" : "deep", "stk");
        server.Put(name, Built(stack));
        if (demo)
            server.Put(sb::kDemoMovieName, AsText(sb::DemoMovie()));
        const std::string shot = server.Name("palette.png");
        const BrowserRun run = RunPage(server, name, "520x400",
                                       {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "1500", "--quit-after", "2500"});
        EXPECT_EQ(run.exitCode, 0) << run.errors;
        const int line = Find(run.log, "system palette(instance=1) -> ");
        ASSERT_GE(line, 0) << Joined(run.log);
        std::istringstream words(run.log[size_t(line)].substr(run.log[size_t(line)].find("-> ") + 3));
        std::vector<uint32_t> system;
        for (std::string word; words >> word;)
            system.push_back(uint32_t(std::stoul(word, nullptr, 16)));
        ASSERT_EQ(system.size(), 256u);
        if (demo) {
            const auto grey = [](uint32_t c) { return (c >> 16) == (c >> 8 & 255) && (c >> 8 & 255) == (c & 255); };
            EXPECT_GE(std::count_if(system.begin(), system.end(), grey), 200) << run.log[size_t(line)];
            continue;
        }
        for (int i = 0; i < kDefaultPaletteEntries; ++i)
            EXPECT_NE(std::find(system.begin(), system.end(), kDefaultPaletteColors[size_t(i)]), system.end())
                << "entry " << i << " " << std::hex << kDefaultPaletteColors[size_t(i)];
    }
}

TEST(TestBrowser, ShowsButtonsOfEveryShape) {
    namespace sb = stackbuilder;
    sb::Stack stack;
    stack.cardWidth = 200;
    stack.cardHeight = 150;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(200, 150, 8, 0));
    card.picture->palette = {{255, 255, 255}};
    card.objects = {sb::ShapedButton(1, {0, 0, 100, 100}, "Go", 4, 200),
                    sb::ShapedButton(2, {110, 5, 190, 35}, "Rect", 2),
                    sb::ShapedButton(3, {110, 45, 190, 75}, "Shadow", 3),
                    sb::ShapedButton(4, {110, 85, 190, 115}, "Round", 0),
                    sb::ShapedButton(5, {0, 105, 60, 150}, "", 1),
                    sb::ShapedButton(6, {130, 118, 170, 150}, "", 5, 201)};
    card.objects.back().words.push_back({64, 16});  // the icon alone
    stack.cards.push_back(card);
    stack.resources.push_back({"Icon", 200, "", 0, 0, sb::IconFile(32, {221, 8, 6})});
    stack.resources.push_back({"Icon", 201, "", 0, 0, sb::IconFile(16, {0, 0, 212})});
    ServerFolder server;
    const std::string name = ServeStack(server, "buttons", stack);
    const std::string shot = server.Name("buttons.png");
    const BrowserRun run = RunBrowser(server, {"--dll", PluginPath(), "--server", server.path, "--answer-alerts", "--size",
                                               "200x150", "--screenshot", shot, "--screenshot-after", "1500",
                                               "--quit-after", "2500", "http://localhost/" + name});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    UINT width = 0, height = 0;
    const std::vector<uint32_t> pixels = PngPixels(shot, &width, &height);
    ASSERT_EQ(width, 200u);
    ASSERT_EQ(height, 150u);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, GetStockObject(SYSTEM_FONT));
    SIZE m = {};
    GetTextExtentPoint32A(screen, "M", 1, &m);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    const int iconTop = static_cast<int>((100 - (32 + 1.5 * m.cy)) / 2);  // 22 with a 16-pixel line
    const auto at = [&](int x, int y) { return pixels[size_t(y) * 200 + size_t(x)] & 0xFFFFFF; };
    const auto dark = [&](int x, int y) {
        return (at(x, y) & 0xFF) < 64 && ((at(x, y) >> 8) & 0xFF) < 64 && ((at(x, y) >> 16) & 0xFF) < 64;
    };
    const struct {
        const char* what;
        int x, y;
        bool isDark;
    } cases[] = {
        {"icon centre (red)", 34 + 16, iconTop + 16, false},
        {"icon ring", 34 + 16, iconTop + 1, true},
        {"left of the icon", 34 - 2, iconTop + 16, false},
        {"rectangle's left edge", 110, 20, true},
        {"rectangle's right edge", 189, 20, true},
        {"outside the rectangle", 108, 20, false},
        {"inside the rectangle", 115, 10, false},
        {"drop shadow", 189, 74, true},
        {"above the shadow", 189, 46, false},
        {"round button's left edge", 110, 100, true},
        {"round button's corner", 110, 85, false},
        {"freehand button's icon ring", 150, 126, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dark(c.x, c.y), c.isDark) << c.what << " at " << c.x << "," << c.y << ": " << std::hex << at(c.x, c.y);
    EXPECT_NE(at(2, 127), 0xFFFFFFu) << "the default button's frame";
    const uint32_t red = at(50, iconTop + 16);
    EXPECT_GT((red >> 16) & 0xFF, 180u) << std::hex << red;
    EXPECT_LT(red & 0xFF, 60u) << std::hex << red;
    // The name under the icon: dark pixels in its line, none between icon and name.
    const int nameTop = static_cast<int>(iconTop + 32 + 0.5 * m.cy);
    int inked = 0;
    for (int y = nameTop; y < nameTop + m.cy; ++y)
        for (int x = 30; x < 70; ++x)
            inked += dark(x, y);
    EXPECT_GT(inked, 10);
    for (int x = 30; x < 70; ++x)
        EXPECT_FALSE(dark(x, iconTop + 33)) << x;
}

}  // namespace

namespace {

// Through the browser: the plug-in attaches, opens the streamed stack, and when the page closes
// hands its window back (the browser checks window, procedure, cursor and timers after
// NPP_Destroy). Without QuickTime it says so once and nothing else happens.
TEST(TestBrowser, AttachesAndHandsTheWindowBackWithOrWithoutQuickTime) {
    ServerFolder server;
    namespace sb = stackbuilder;
    sb::Stack stack;
    stack.cards.push_back(sb::PictureCard(1, sb::GradientPicture(64, 48, 8)));
    const sb::Built built = sb::BuildStack(stack);
    const std::string name = "attach-" + ProcessTag() + ".stk";
    server.Put(name, std::string(built.bytes.begin(), built.bytes.end()));
    const std::vector<std::string> args = {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts",
                                           "--quit-when-done", "--quit-after", "30000", name};
    for (const bool absent : {false, true}) {
        SCOPED_TRACE(absent ? "QuickTime absent" : "QuickTime present");
        std::vector<std::pair<std::string, std::string>> env;
        if (absent)
            env.push_back({"LOOM_QUICKTIME", "absent"});
        const BrowserRun run = RunBrowser(server, args, env);
        EXPECT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        std::vector<std::string> alerts;
        for (const std::string& line : run.log)
            if (StartsWith(line, "alert("))
                alerts.push_back(Field(line, "id"));
        const auto missing = std::count(alerts.begin(), alerts.end(), std::string("2357"));
        EXPECT_EQ(missing, absent ? 1 : 0) << Joined(run.log);
        if (absent) {
            EXPECT_EQ(alerts.size(), 1u) << "nothing else is tried without QuickTime: " << Joined(run.log);
        }
        const int destroyed = Find(run.log, "NPP_Destroy(");
        const int handedBack = Find(run.log, "handed back(instance=1) -> ok");
        EXPECT_GT(destroyed, -1);
        EXPECT_GT(handedBack, destroyed) << Joined(run.log);
    }
}

}  // namespace

// Playing a three-card stack through the browser: Move menu requests posted to the plug-in's
// window go next, round from the last card to the first, and previous from the first to the
// last; a real click on a button whose action goes to the next card shows that card, a click
// beside it leaves the first card on screen. Each screenshot shows the card's own picture.
TEST(TestBrowser, MenuRequestsAndClicksMoveBetweenCards) {
    SKIP_UNLESS_TRUE_COLOUR("the cards are told apart by exact colours in the screenshot");
    namespace sb = stackbuilder;
    const sb::Rgb colours[3] = {{200, 40, 40}, {40, 200, 40}, {40, 40, 200}};
    sb::Stack stack;
    stack.cardWidth = 120;
    stack.cardHeight = 90;
    for (uint16_t id = 1; id <= 3; ++id)
        stack.cards.push_back(ColourCard(id, colours[id - 1], 120, 90));
    stack.cards[0].objects.push_back(sb::ShapedButton(1, {60, 50, 110, 80}, "Next", 2, 0, -1));
    ServerFolder server;
    const std::string name = ServeStack(server, "three", stack);
    struct Case {
        std::vector<std::string> input;  // option, value, ...
        int card;                        // shown at the end, from 1
    };
    const Case cases[] = {{{"--command", "204@900"}, 2},
                          {{"--command", "204@900", "--command", "204@1200", "--command", "204@1500"}, 1},
                          {{"--command", "203@900"}, 3},
                          {{"--click", "85,65@900"}, 2},
                          {{"--click", "20,20@900"}, 1}};
    HDC screen = GetDC(nullptr);
    const int slack = GetDeviceCaps(screen, BITSPIXEL) == 16 ? 7 : 0;
    ReleaseDC(nullptr, screen);
    for (const Case& c : cases) {
        const std::string shot = server.Name("moved.png");
        std::vector<std::string> args = {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts",
                                         "--size", "160x120", "--screenshot", shot, "--screenshot-after", "2200",
                                         "--quit-after", "2600"};
        args.insert(args.end(), c.input.begin(), c.input.end());
        args.push_back("http://localhost/" + name);
        const std::string what = Joined(c.input);
        const BrowserRun run = RunBrowser(server, args);
        ASSERT_EQ(run.exitCode, 0) << what << run.errors;
        EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
        UINT width = 0, height = 0;
        const std::vector<uint32_t> pixels = PngPixels(shot, &width, &height);
        ASSERT_EQ(width, 160u);
        const sb::Rgb want = colours[c.card - 1];
        for (const auto& [x, y] : {std::pair{5, 5}, std::pair{30, 45}, std::pair{119, 89}}) {
            const uint32_t got = pixels[size_t(y) * width + size_t(x)];
            for (const auto& [shift, channel] : {std::pair{16, want.red}, std::pair{8, want.green}, std::pair{0, want.blue}})
                EXPECT_LE(std::abs(int((got >> shift) & 255) - int(channel)), slack)
                    << what << ", at " << x << "," << y << std::hex << ": " << got;
        }
        EXPECT_EQ(pixels[size_t(100) * width + 140], 0xFFFFFFu) << what << ": beyond the card";
    }
}

// A card whose button shows a movie's first frame (chunk 89 with flag 4), an RLE AVI beside the
// stack on the server, with a button lying over the movie: once the page closed and the plug-in
// is unloaded, "QTWndClass" is gone and so is QuickTime.qts, and the page shown again draws the
// card as the first time: once the movie has arrived, its first frame (the run-length AVI's first
// colour) at the chunk's rectangle, under the button over it.
TEST(TestBrowser, AMovieCardLeavesNoMovieClassOrQuickTimeBehindAndShowsAgainAfterAReload) {
    namespace sb = stackbuilder;
    constexpr sb::Rect kMovie{40, 30, 120, 90};
    sb::Stack stack;
    stack.cardWidth = 160;
    stack.cardHeight = 120;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(160, 120, 8, 0));
    card.picture->palette = {{255, 255, 255}};
    const std::string movie = "film-" + ProcessTag() + ".avi";
    card.objects.push_back(sb::MovieButton(1, {0, 100, 40, 120}, "Film", kMovie, "Disk:" + movie, 4));
    card.objects.push_back(sb::ShapedButton(2, {90, 60, 150, 100}, "Over", 2));
    stack.cards.push_back(card);
    ServerFolder server;
    const std::string name = ServeStack(server, "film", stack);
    server.Put(movie, AsText(FourFrameRleAvi(kMovie.right - kMovie.left, kMovie.bottom - kMovie.top)));
    const std::string shot = server.Name("film.png");
    server.Name("film-again.png");
    const BrowserRun run = RunPage(server, name, "160x120",
                                   {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "2000", "--quit-after", "2600", "--reload"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "unloaded(QTWndClass=gone, QuickTime.qts=unloaded)"), -1) << Joined(run.log);
    HDC screen = GetDC(nullptr);
    const int slack = GetDeviceCaps(screen, BITSPIXEL) == 16 ? 7 : 0;
    ReleaseDC(nullptr, screen);
    const auto close = [slack](uint32_t got, uint32_t want) {
        for (int shift : {0, 8, 16})
            if (std::abs(int((got >> shift) & 255) - int((want >> shift) & 255)) > slack)
                return false;
        return true;
    };
    for (const std::string& file : {shot, server.path + "\\film-again.png"}) {
        UINT width = 0, height = 0;
        const std::vector<uint32_t> pixels = PngPixels(file, &width, &height);
        ASSERT_EQ(width, 160u) << file;
        const auto at = [&](int x, int y) { return pixels[size_t(y) * width + size_t(x)]; };
        EXPECT_TRUE(close(at(90, 75), 0)) << file << std::hex << ": the button's edge, " << at(90, 75);
        EXPECT_TRUE(close(at(30, 20), 0xFFFFFF)) << file << ": the card beside the movie";
        const uint8_t* first = kRleAviPalette[1];
        const uint32_t frame = uint32_t(first[2]) << 16 | uint32_t(first[1]) << 8 | first[0];
        EXPECT_TRUE(close(at(60, 50), frame)) << file << std::hex << ": the movie's first frame, " << at(60, 50);
    }
}

// An action held for its window goes once that window is up, however late it comes, and a hold
// for a window that never shows fails the run with exit code 14 and says which. About Card opens
// at a time of its own; Escape, held for it, closes it; the key held for no window never goes.
TEST(TestBrowser, AnActionHeldForAWindowGoesOnlyOnceItIsUp) {
    namespace sb = stackbuilder;
    sb::Stack stack;
    stack.cards = {sb::PlainCard(1)};
    ServerFolder server;
    const std::string name = ServeStack(server, "held", stack);
    const BrowserRun run = RunBrowser(
        server, {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts",
                 "--key", "Escape@shown:About Card - 1+300", "--command", "301@1500",
                 "--key", "Return@shown:No Such Window", "--quit-after", "11500", "http://localhost/" + name});
    EXPECT_EQ(run.exitCode, 14) << run.errors << Joined(run.log);
    const int shown = Find(run.log, "shown(About Card - 1)");
    const int key = Find(run.log, "key(Escape)");
    ASSERT_NE(shown, -1) << Joined(run.log);
    EXPECT_GT(key, shown) << Joined(run.log);
    EXPECT_GT(Find(run.log, "gone(About Card - 1)"), key) << Joined(run.log);
    EXPECT_NE(Find(run.log, "hold(Return@shown:No Such Window) -> never shown"), -1) << Joined(run.log);
    EXPECT_EQ(Find(run.log, "key(Return)"), -1) << Joined(run.log);
}

// A walk in order: About Card opened twice, each time closed by Escape held for it. The second
// command's time (400) comes before the first dialog is up, yet it waits until that Escape went;
// the page closes once the last step ran. A walk the bound cuts short fails with exit code 14.
TEST(TestBrowser, AWalkInOrderTakesEachStepAfterTheOneBeforeAndQuitsAfterTheLast) {
    namespace sb = stackbuilder;
    sb::Stack stack;
    stack.cards = {sb::PlainCard(1)};
    ServerFolder server;
    const std::string name = ServeStack(server, "walk", stack);
    const std::vector<std::string> page = {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts"};
    std::vector<std::string> args = page;
    Append(args, {"--command", "301@300", "--key", "Escape@shown:About Card - 1+300", "--command", "301@400",
                  "--key", "Escape@shown:About Card - 1#2+300", "--quit-after-last", "400", "http://localhost/" + name});
    const BrowserRun run = RunBrowser(server, args);
    EXPECT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int start = Find(run.log, "walk starts");
    const int firstKey = Find(run.log, "key(Escape)");
    const int secondCommand = Find(run.log, "command(301)", Find(run.log, "command(301)") + 1);
    const int secondShown = Find(run.log, "shown(About Card - 1)", Find(run.log, "gone(About Card - 1)"));
    const int secondKey = Find(run.log, "key(Escape)", firstKey + 1);
    const int done = Find(run.log, "walk done: closing in 400 ms");
    ASSERT_NE(start, -1) << Joined(run.log);
    EXPECT_LT(start, Find(run.log, "command(301)")) << Joined(run.log);
    EXPECT_GT(secondCommand, firstKey) << "the second command went before the step before it\n" << Joined(run.log);
    EXPECT_GT(secondShown, secondCommand) << Joined(run.log);
    EXPECT_GT(secondKey, secondShown) << Joined(run.log);
    EXPECT_GT(done, secondKey) << Joined(run.log);
    EXPECT_GT(Find(run.log, "gone(About Card - 1)", secondKey), secondKey) << Joined(run.log);

    std::vector<std::string> cut = page;
    Append(cut, {"--in-order", "--command", "301@300", "--key", "Escape@shown:About Card - 1+200", "--command", "301@5000",
                 "--quit-after", "2500", "http://localhost/" + name});
    const BrowserRun cutRun = RunBrowser(server, cut);
    EXPECT_EQ(cutRun.exitCode, 14) << cutRun.errors << Joined(cutRun.log);
    EXPECT_NE(Find(cutRun.log, "walk(in order) -> the page closed at --quit-after before step 3 of 3 ran"), -1)
        << Joined(cutRun.log);
}
