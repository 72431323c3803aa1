// Animated-object actions in the real plug-in, driven through the test browser: a button whose
// 'Sprt' record is damaged plays nothing and still moves to the next card, as does one whose
// record is whole.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "stack/format/StackFile.h"
#include "tests/support/TestBrowserRun_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

sb::Card ColourCard(uint16_t id, sb::Rgb colour) {
    sb::Card card = sb::PictureCard(id, sb::SolidPicture(160, 120, 8, 1));
    card.picture->palette = {{255, 255, 255}, colour};
    return card;
}

// The card the screenshot shows, told apart by its strongest channel (any display depth).
bool Greenish(uint32_t pixel) {
    const int r = pixel >> 16 & 255, g = pixel >> 8 & 255, b = pixel & 255;
    return g > r + 60 && g > b + 60;
}
bool Reddish(uint32_t pixel) {
    const int r = pixel >> 16 & 255, g = pixel >> 8 & 255, b = pixel & 255;
    return r > g + 60 && r > b + 60;
}

std::vector<uint8_t> SpriteBytes() {
    sb::Sprite s;
    s.number = 1;
    sb::Picture strip = sb::SolidPicture(20, 10, 8, 2);
    strip.palette = {{255, 255, 255}, {0, 0, 0}, {250, 200, 0}};
    s.film.strip = strip;
    s.film.frames = {{0, 0, 10, 10}, {10, 0, 20, 10}};
    s.path = {{40, 60, 30}, {120, 60, 30}};
    return sb::SpriteRecord(s);
}

}  // namespace

TEST(AnimationsInBrowser, ADamagedSpriteRecordPlaysNothingAndTheMoveStillRuns) {
    std::vector<uint8_t> damaged = SpriteBytes();
    SetBE32(damaged, kSpriteFilmLength, GetBE32(damaged, kSpriteFilmLength) + 2);  // past the record
    for (const auto& [what, payload] : {std::pair{"damaged", damaged}, std::pair{"whole", SpriteBytes()}}) {
        SCOPED_TRACE(what);
        ServerFolder server;
        const std::string name = std::string("sprite-") + what + "-" + std::to_string(GetCurrentProcessId()) + ".stk";
        sb::Stack s;
        s.cardWidth = 160;
        s.cardHeight = 120;
        s.cards = {ColourCard(1, {200, 40, 40}), ColourCard(2, {40, 200, 40})};
        s.cards[0].objects = {sb::AnimationButton(1, {0, 0, 40, 20}, "Play", payload, -1)};
        const std::vector<uint8_t> bytes = sb::BuildStack(s).bytes;
        server.Put(name, std::string(bytes.begin(), bytes.end()));
        const std::string before = server.Name("before.png"), after = server.Name("before-t2.png");
        const BrowserRun run = RunBrowser(server, {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts",
                                                   "--size", "160x120", "--screenshot", before, "--screenshot-after", "1800",
                                                   "--click", "20,10@2300", "--screenshot-after", "3600",
                                                   "--quit-after", "4200",
                                                   "http://localhost/" + name});
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        EXPECT_EQ(Find(run.log, "alert("), -1) << Joined(run.log);
        const Shot first(before), second(after);
        EXPECT_TRUE(Reddish(first.At(120, 90))) << Hex(first.At(120, 90));
        EXPECT_TRUE(Greenish(second.At(120, 90))) << "the move to card 2 ran " << Hex(second.At(120, 90)) << "\n"
                                                  << Joined(run.log);
    }
}
