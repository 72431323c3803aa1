// Preferences without the platform: the experienced-user value, the stack's settings in the
// header and what the dialogs make of their boxes, and presentation mode's steps and places.
#include "host/state/Preferences.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

TEST(PreferencesTest, OnlyNoInAnyCaseMakesANovice) {
    struct Case {
        const char* value;
        bool advanced;
    };
    const Case cases[] = {
        {"No", false}, {"no", false}, {"NO", false}, {"nO", false},
        {"Bad", true},  // the key is missing
        {"", true},     {"0", true},  {"Yes", true}, {"No ", true}, {"Non", true}, {"N", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AdvancedUserFromValue(c.value), c.advanced) << '"' << c.value << '"';
}

std::array<uint8_t, kStackHeaderBytes> HeaderWith(std::initializer_list<std::pair<uint32_t, uint16_t>> words) {
    std::array<uint8_t, kStackHeaderBytes> h{};
    std::memset(h.data(), 0xA5, h.size());  // fields the settings do not own must stay
    for (auto [offset, value] : words)
        SetU16(h, offset, value);
    return h;
}

TEST(PreferencesTest, SettingsMoveBetweenHeaderAndRecord) {
    auto h = HeaderWith({{kHeaderAutoSave, 1}, {kHeaderExperiencedUser, 0}, {kHeaderFlags, 0x12},
                         {kHeaderTimersAndLinks, 1}, {kHeaderLocked, 1}, {kHeaderCardNumberInTitle, 0},
                         {kHeaderPresentationMode, 3}, {kHeaderPresentation50, 256},
                         {kHeaderPresentation54, 0}});
    std::memcpy(h.data() + kHeaderPassword, "fifteen-chars!!X", kPasswordBytes);  // no NUL of its own

    StackPreferences p;
    ASSERT_TRUE(ReadStackPreferences(h, &p));
    EXPECT_EQ(p.autoSave, 1);
    EXPECT_EQ(p.experiencedUser, 0);
    EXPECT_EQ(p.timersAndLinks, 1);
    EXPECT_EQ(p.locked, 1);
    EXPECT_EQ(p.cardNumberInTitle, 0);
    EXPECT_EQ(p.flags, 0x12);
    EXPECT_STREQ(p.password, "fifteen-chars!!");
    EXPECT_EQ(p.presentation.mode, 3);
    EXPECT_EQ(p.presentation.color, 256);
    EXPECT_EQ(p.presentation.options, 0);

    SetStackPassword(&p, "a much longer password than fits");
    EXPECT_STREQ(p.password, "a much longer p");
    SetStackPassword(&p, "xy");
    p.locked = 0;
    p.presentation = {kPresentationColor, kPresentationShowTitle, 12};
    const auto before = h;
    ASSERT_TRUE(WriteStackPreferences(h, p));
    EXPECT_EQ(GetU16(h, kHeaderLocked), 0);
    EXPECT_EQ(GetU16(h, kHeaderPresentationMode), 2);
    EXPECT_EQ(GetU16(h, kHeaderPresentation50), 12);
    EXPECT_EQ(GetU16(h, kHeaderPresentation54), 1);
    const uint8_t password[kPasswordBytes] = {'x', 'y'};
    EXPECT_EQ(0, std::memcmp(h.data() + kHeaderPassword, password, kPasswordBytes)) << "old tail cleared";
    for (uint32_t offset : {kHeaderCardCount, kHeaderVersion, kHeaderDepth, kHeaderWord52, kHeaderCardWidth})
        EXPECT_EQ(GetU16(h, offset), GetU16(before, offset)) << "offset " << offset;

    EXPECT_FALSE(ReadStackPreferences(std::span(h).first(127), &p));
    EXPECT_FALSE(WriteStackPreferences(std::span(h).first(127), p));
}

TEST(PreferencesTest, BoxesBecomeSettings) {
    StackPreferences p;
    p.flags = kStackMacRomanText | kStackHighCompression;
    p.presentation = {kPresentationWallpaper, 0, 5};

    PreferenceBoxes boxes = BoxesFromPreferences(p, true);
    EXPECT_TRUE(boxes.experienced);
    EXPECT_TRUE(boxes.highCompression);
    EXPECT_TRUE(boxes.presentation);
    EXPECT_FALSE(boxes.ignoreClicks);

    boxes.ignoreClicks = true;
    boxes.highCompression = false;
    boxes.lock = true;
    boxes.timers = true;
    TakePreferenceBoxes(boxes, &p);
    EXPECT_EQ(p.flags, kStackMacRomanText | kStackIgnoreExtraClicks) << "other flag bits stay";
    EXPECT_EQ(p.presentation.mode, kPresentationWallpaper) << "presentation kept while checked";
    EXPECT_EQ(p.presentation.options, 0);

    boxes.presentation = false;
    TakePreferenceBoxes(boxes, &p);
    EXPECT_EQ(p.presentation.mode, kPresentationOff);
    EXPECT_EQ(p.presentation.options, kPresentationShowTitle);
    EXPECT_EQ(p.presentation.color, 5);
}

TEST(PreferencesTest, PresentationChoicesOfTheOptionsDialog) {
    struct Case {
        int16_t mode;
        bool wallpaper;
        int radio;
    };
    const Case cases[] = {
        {1, false, 50}, {1, true, 50}, {2, true, 52}, {3, true, 51}, {3, false, 52}, {0, true, 52},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PresentationRadioFor(c.mode, c.wallpaper), c.radio)
            << "mode " << c.mode << " wallpaper " << c.wallpaper;
    EXPECT_EQ(PresentationModeFor(50), kPresentationPlain);
    EXPECT_EQ(PresentationModeFor(51), kPresentationWallpaper);
    EXPECT_EQ(PresentationModeFor(52), kPresentationColor);
}

TEST(PreferencesTest, ScreenModeSteps) {
    struct Case {
        Presentation from, to;
        ScreenModeSteps steps;  // redraw, fit, cover
    };
    const Case cases[] = {
        {{0, 1, 1}, {2, 1, 1}, {false, false, true}},
        {{2, 1, 1}, {0, 1, 1}, {false, true, false}},
        {{2, 1, 1}, {3, 1, 1}, {true, false, false}},
        {{2, 1, 1}, {2, 1, 9}, {true, false, false}},
        {{3, 1, 1}, {3, 1, 9}, {false, false, false}},  // the colour shows only in mode 2
        {{2, 1, 1}, {2, 0, 1}, {false, false, true}},   // the title bar goes: placed again
        {{0, 1, 1}, {0, 0, 1}, {false, false, false}},  // outside presentation nothing moves
        {{0, 0, 1}, {0, 1, 1}, {false, false, false}},
    };
    for (const Case& c : cases) {
        const ScreenModeSteps s = PlanScreenMode(c.from, c.to);
        EXPECT_EQ(s, c.steps) << "mode " << c.from.mode << "->" << c.to.mode << " options " << c.from.options
                              << "->" << c.to.options << ": redraw " << s.redrawFrame << " fit " << s.fitToCard
                              << " cover " << s.coverScreen;
    }
}

TEST(PreferencesTest, FramePlaces) {
    const ScreenMetrics m{1280, 1024, 3, 4, 19, 20};
    EXPECT_EQ(FullScreenFrameBox(m, true), (WindowBox{-3, -4, 1286, 1032}));
    EXPECT_EQ(FullScreenFrameBox(m, false), (WindowBox{-3, -23, 1286, 1071}));
    EXPECT_EQ(FrameAroundCardBox(m, 512, 384, true), (WindowBox{381, 296, 518, 431}));
    EXPECT_EQ(FrameAroundCardBox(m, 512, 384, false), (WindowBox{381, 306, 518, 411}));
    EXPECT_EQ(CentredCardBox(640, 480, 511, 384), (WindowBox{64, 48, 511, 384}));
    EXPECT_EQ(CentredCardBox(100, 50, 511, 385), (WindowBox{-205, -167, 511, 385})) << "toward zero";
}

}  // namespace
