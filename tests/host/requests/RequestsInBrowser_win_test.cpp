// Host requests through the real plug-in in the test browser: a button's module action whose
// data is a request list hides the "Target" button (26) and goes to the next card (4 with
// transition 0); going back shows the first card without "Target", and the module's log holds
// each request's resulting block. Another list goes to a stack beside this one (129).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "format/StackFile.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/NbaCallLog.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
using namespace browsertest;

constexpr uint16_t kModuleId = 7002;

// The test module's request list: "REQL", the count, then per request its code, which fields
// are offsets into the data, and the five fields; texts after the entries.
struct ListRequest {
    uint16_t code;
    uint32_t fields[5];
    const char* text;    // put after the entries; a field points to it
    int textField = 2;   // [58] by default
};

std::vector<uint8_t> RequestList(const std::vector<ListRequest>& requests) {
    std::vector<uint8_t> data = {'R', 'E', 'Q', 'L', static_cast<uint8_t>(requests.size()), 0};
    std::vector<uint8_t> texts;
    const size_t textsAt = data.size() + requests.size() * 24;
    for (const ListRequest& r : requests) {
        uint8_t entry[24] = {};
        uint32_t fields[5];
        std::memcpy(fields, r.fields, sizeof fields);
        uint16_t offsets = 0;
        if (r.text) {
            offsets = static_cast<uint16_t>(1u << r.textField);
            fields[r.textField] = static_cast<uint32_t>(textsAt + texts.size());
            texts.insert(texts.end(), r.text, r.text + std::strlen(r.text) + 1);
        }
        std::memcpy(entry, &r.code, 2);
        std::memcpy(entry + 2, &offsets, 2);
        std::memcpy(entry + 4, fields, sizeof fields);
        data.insert(data.end(), entry, entry + sizeof entry);
    }
    data.insert(data.end(), texts.begin(), texts.end());
    return data;
}

const std::vector<ListRequest> kHideAndMove = {{26, {0, 0, 0, 0, 0}, "Target"}, {4, {0, 0, 0, 0, 0}, nullptr}};

// Card 1 (red) with "Target" and "Run", which makes the requests; card 2 (green) with "Back" to
// card 1.
std::vector<uint8_t> TargetStack(const std::vector<ListRequest>& requests) {
    sb::Stack stack;
    stack.cardWidth = 120;
    stack.cardHeight = 90;
    const sb::Rgb colours[2] = {{200, 40, 40}, {40, 200, 40}};
    for (uint16_t id = 1; id <= 2; ++id) {
        sb::Card card = sb::PictureCard(id, sb::SolidPicture(120, 90, 8, 1));
        card.picture->palette = {{255, 255, 255}, colours[id - 1]};
        stack.cards.push_back(card);
    }
    stack.cards[0].objects.push_back(sb::ShapedButton(2, {10, 10, 50, 40}, "Target", 0));
    sb::Object run = sb::ShapedButton(1, {60, 50, 110, 80}, "Run", 2);
    run.words.push_back({kButtonActionFlags, kActNba});
    sb::Chunk chunk;
    chunk.kind = kTagNba;
    chunk.words.push_back({kChunkValue, kModuleId});
    chunk.payload = RequestList(requests);
    run.chunks.push_back(chunk);
    stack.cards[0].objects.push_back(run);
    stack.cards[1].objects.push_back(sb::ShapedButton(3, {60, 50, 110, 80}, "Back", 2, 0, 1));
    stack.resources.push_back(NbasResource(kModuleId, "testaction.nba"));
    return sb::BuildStack(stack).bytes;
}

struct Shot {
    std::vector<uint32_t> pixels;
    UINT width = 0;
    std::vector<std::string> modules;  // the module's log lines
    std::vector<std::string> log;      // the browser's
    uint32_t At(int x, int y) const { return pixels.empty() ? 0xDEAD : pixels[size_t(y) * width + size_t(x)]; }
};

// A blue stack of one card, served as "other.stk" beside the first.
std::string OtherStack() {
    sb::Stack stack;
    stack.cardWidth = 120;
    stack.cardHeight = 90;
    stack.cards.push_back(ColourCard(1, {40, 40, 200}, 120, 90));
    return Built(stack);
}

Shot Browse(const std::vector<std::string>& input, const std::vector<ListRequest>& requests = kHideAndMove) {
    ServerFolder server;
    const std::vector<uint8_t> bytes = TargetStack(requests);
    server.Put("other.stk", OtherStack());
    const std::string name = "requests-" + ProcessTag() + ".stk";
    server.Put(name, AsText(bytes));
    const std::string shot = server.Name("requests.png");
    const std::string log = server.Name("modules.txt");
    std::vector<std::string> args = {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "2600", "--quit-after-last", "400"};
    Append(args, input);
    const BrowserRun run = RunPage(server, name, "160x120", args, {{"NBA_TEST_LOG", log}});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
    Shot s;
    UINT height = 0;
    s.pixels = PngPixels(shot, &s.width, &height);
    s.modules = Lines(ReadFile(log));
    s.log = run.log;
    return s;
}

bool Near(uint32_t got, uint32_t want) {
    for (int shift : {16, 8, 0})
        if (std::abs(int((got >> shift) & 255) - int((want >> shift) & 255)) > 8)
            return false;
    return true;
}

TEST(RequestsInBrowser, AModuleHidesTargetAndMovesOnThroughTheHostRequests) {
    SKIP_UNLESS_TRUE_COLOUR("the cards are told apart by exact colours in the screenshot");
    constexpr uint32_t kRed = 0xC82828, kGreen = 0x28C828;
    // Untouched, "Target" is drawn over the red card.
    const Shot before = Browse({});
    ASSERT_EQ(before.width, 160u);
    EXPECT_TRUE(Near(before.At(5, 5), kRed)) << std::hex << before.At(5, 5);
    EXPECT_FALSE(Near(before.At(30, 25), kRed)) << "Target shows: " << std::hex << before.At(30, 25);

    // The click runs the module: 26 finds and hides "Target", 4 shows the second card.
    const Shot moved = Browse({"--click", "85,65@900"});
    ASSERT_EQ(moved.width, 160u);
    EXPECT_TRUE(Near(moved.At(5, 5), kGreen)) << std::hex << moved.At(5, 5);
    const int hide = Find(moved.modules, "request code=26");
    ASSERT_NE(hide, -1) << Joined(moved.modules);
    EXPECT_NE(Field(moved.modules[hide], "p2"), "0") << "the record handle: " << moved.modules[hide];
    EXPECT_NE(Field(moved.modules[hide], "p1"), "0") << "the offset: " << moved.modules[hide];
    ASSERT_NE(Find(moved.modules, "request code=4", hide), -1) << Joined(moved.modules);

    // Back on the first card, "Target" stays hidden.
    const Shot back = Browse({"--click", "85,65@900", "--click", "85,65@1800"});
    ASSERT_EQ(back.width, 160u);
    EXPECT_TRUE(Near(back.At(5, 5), kRed)) << std::hex << back.At(5, 5);
    EXPECT_TRUE(Near(back.At(30, 25), kRed)) << "Target is gone: " << std::hex << back.At(30, 25);
}

// The module asks for a stack beside this one by its name: the move waits for the browser to
// bring it, then shows it; nothing else is asked for in its place.
TEST(RequestsInBrowser, AModulesMoveToAStackBesideShowsItOnceItHasCome) {
    SKIP_UNLESS_TRUE_COLOUR("the stacks are told apart by exact colours in the screenshot");
    const Shot moved = Browse({"--click", "85,65@900"}, {{129, {0, 0, 0, 0, 0}, "other.stk", 0}});
    ASSERT_EQ(moved.width, 160u);
    EXPECT_NE(Find(moved.modules, "request code=129"), -1) << Joined(moved.modules);
    EXPECT_TRUE(Near(moved.At(5, 5), 0x2828C8)) << std::hex << moved.At(5, 5) << "\n" << Joined(moved.log);
    const int asked = FindHolding(moved.log, "NPN_GetURL(");
    ASSERT_NE(asked, -1) << Joined(moved.log);
    EXPECT_NE(moved.log[asked].find("url=http://localhost/other.stk,"), std::string::npos) << moved.log[asked];
    EXPECT_EQ(FindHolding(moved.log, "NPN_GetURL(", asked + 1), -1) << Joined(moved.log);
}

}  // namespace
