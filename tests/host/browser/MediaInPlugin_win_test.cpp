// The media manager's callers in the plug-in hosted in this program, over the QuickTime stand-in
// linked into it: the effect state of transition 29 made at attach and gone at shut-down, so
// that a move with a stored 'QTFX' effect plays the effect's frames instead of "Fastest".
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "graphics/transitions/QtEffectRecord.h"
#include "graphics/transitions/QtEffectState.h"
#include "host/navigation/CardNavigation.h"
#include "quicktime/QuickTime.h"
#include "quicktime/dll/QtStandInEffects.h"
#include "stack/cards/CardList.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/LinkedStandIn_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 96, kCardH = 64;

// The frames the linked stand-in's effects compose, BGRA rows top first.
struct EffectFrames {
    int count = 0;
    int width = 0, height = 0;
    std::vector<std::vector<uint8_t>> frames;
};
EffectFrames g_frames;

void RecordFrame(QtWord, const uint8_t* pixels, int width, int height) {
    ++g_frames.count;
    g_frames.width = width;
    g_frames.height = height;
    g_frames.frames.emplace_back(pixels, pixels + size_t(width) * height * 4);
}

void* LoadRecordingStandIn() {
    void* library = LinkedStandInOps().load();
    SetStandInFramePresenter(RecordFrame);
    return library;
}

void BindRecordingStandIn() {
    QtLibraryOps ops = LinkedStandInOps();
    ops.load = LoadRecordingStandIn;
    SetQtLibraryOps(ops);
}

// Pixels of a BGRA frame within 8 of the colour.
int CountNear(const std::vector<uint8_t>& frame, uint8_t red, uint8_t green, uint8_t blue) {
    int n = 0;
    for (size_t i = 0; i + 3 < frame.size(); i += 4)
        n += std::abs(frame[i] - blue) <= 8 && std::abs(frame[i + 1] - green) <= 8 && std::abs(frame[i + 2] - red) <= 8;
    return n;
}

sb::Card SolidCard(uint16_t id, sb::Rgb colour) {
    sb::Card card = sb::PictureCard(id, sb::SolidPicture(kCardW, kCardH, 8, 0));
    card.picture->palette = {colour};
    return card;
}

TEST(MediaInPlugin, EffectStateLivesWithTheManagerAndTransition29PlaysTheStoredEffect) {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    stack.cards = {SolidCard(1, {255, 0, 0}), SolidCard(2, {0, 0, 255})};
    QtEffectRecord wipe = DefaultQtEffectRecord();
    wipe.code = FourCharCode("smpt");
    wipe.id = 7;
    SetQtEffectRecordName(&wipe, "Wipe");
    stack.resources.push_back({"QTFX", 7, "", 0, 0, PackQtEffectFields(wipe, {})});

    const QtLibraryOps saved = GetQtLibraryOps();
    g_frames = {};
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "effect-" + std::to_string(GetCurrentProcessId()) + ".stk", &page,
                                   BindRecordingStandIn));
    ASSERT_EQ(GetCurrentCardId(), 1);
    EXPECT_TRUE(QTEffectStateExists()) << "made with a QuickTime 3 manager";

    GoToCardId(2, 29, 7, 8);
    PumpPageMessages();
    EXPECT_EQ(GetCurrentCardId(), 2);
    ASSERT_EQ(g_frames.count, 30) << "the effect's frames, not the steps of \"Fastest\"";
    EXPECT_EQ(g_frames.width, kCardW);
    EXPECT_EQ(g_frames.height, kCardH);
    // Half way the wipe shows both cards; at the end only the new one.
    const std::vector<uint8_t>& middle = g_frames.frames[14];
    const int whole = kCardW * kCardH;
    EXPECT_GT(CountNear(middle, 255, 0, 0), whole / 4) << "the old card";
    EXPECT_GT(CountNear(middle, 0, 0, 255), whole / 4) << "the new card";
    EXPECT_EQ(CountNear(g_frames.frames.back(), 0, 0, 255), whole);

    CloseLinkedPlugin(&page);
    EXPECT_FALSE(QTEffectStateExists()) << "disposed before the manager went";
    SetQtLibraryOps(saved);
}

}  // namespace
