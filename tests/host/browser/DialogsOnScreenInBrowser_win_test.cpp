// What a person sees on the X display, in the real plug-in in the test browser: every authoring
// dialog, the alert asking to save and an object's menu, each held up while the X server's
// picture of the screen is taken, lie there drawn, pixel for pixel as their own X windows hold
// them, on a page larger than each of them, at every depth. On a palette display the screen is
// read through the colour map the display has installed, as a person sees it: each window's own
// picture is in its own colour map's colours, and they agree only while its program's is in.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/XwdImage.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr sb::Rect kButtonRect{20, 20, 100, 50}, kGraphicRect{220, 20, 280, 70}, kFieldRect{20, 150, 140, 200};
constexpr int kAppearance = 300, kOpen = 101;

// One card for a person who may edit, with a button, a graphic and a text object.
std::string ObjectsStack() {
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, 8);
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 8, 1));
    card.picture->palette = {{255, 255, 255}, {40, 160, 80}};
    card.objects.push_back(sb::ShapedButton(1, kButtonRect, "Go", 1, 0, 2));
    sb::Object graphic = sb::Graphic(2, kGraphicRect, "Block");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(kGraphicRect.right - kGraphicRect.left,
                                                    kGraphicRect.bottom - kGraphicRect.top, 8, 0));
    card.objects.push_back(graphic);
    card.objects.push_back(sb::TextField(3, kFieldRect, "Note", "Hello"));
    stack.cards.push_back(card);
    stack.nextObjectId = 4;
    return Built(stack);
}

// The shot's window rectangle on the screen ("x-shot(window=TITLE) at L,T,R,B").
bool ShotPlace(const std::vector<std::string>& log, const std::string& title, RECT* place) {
    const std::vector<int> at = NumbersAt(log, "x-shot(window=" + title + ")");
    if (at.size() != 4)
        return false;
    *place = {at[0], at[1], at[2], at[3]};
    return true;
}

TEST(DialogsOnScreenInBrowser, EveryDialogTheAlertAndAMenuShowOnTheScreenAsTheirWindowsHoldThem) {
    // The page larger than every dialog, so each lies wholly over it.
    CachedSite site(640, 480);
    const std::string name = site.Serve("onscreen", ObjectsStack());
    const std::vector<std::string> titles = {"About Card - 1",     "About Stack - " + name, "Button Appearance",
                                             "Actions",            "Graphic Appearance",    "Text Appearance",
                                             "menu",               "Pageloom"};
    std::vector<std::string> files;
    for (size_t i = 0; i < titles.size(); ++i) {
        files.push_back(site.server.Name("onscreen-" + std::to_string(i) + ".xwd"));
        site.server.Name("onscreen-" + std::to_string(i) + ".xwd.window");
    }
    TimedWalk w;
    // The shot of a window once it is up (and drawn); what comes next waits as long again.
    const auto shoot = [&](size_t i) { w.Held("--x-shot", files[i], titles[i], 600, 1200); };
    w.Step("--command", "301", 400);
    shoot(0);
    w.Step("--dialog", titles[0] + "|Card name:|type:Renamed", 400);  // an edit, for the alert
    w.Step("--dialog", titles[0] + "|OK|press", 500);
    w.Step("--command", "303", 400);
    shoot(1);
    w.Step("--dialog", titles[1] + "|Cancel|press", 500);
    w.Step("--key", "shift+Tab", 400);
    w.Step("--click", Centre(kButtonRect), 400);
    w.Step("--command", std::to_string(kAppearance), 400);
    shoot(2);
    w.Step("--dialog", titles[2] + "|Actions...|press", 400);
    shoot(3);
    w.Step("--dialog", "Actions|Cancel|press", 500);  // Button Appearance went on to Actions
    w.Step("--click", Centre(kGraphicRect), 400);
    w.Step("--command", std::to_string(kAppearance), 400);
    shoot(4);
    w.Step("--dialog", titles[4] + "|Cancel|press", 500);
    w.Step("--click", Centre(kFieldRect), 400);
    w.Step("--command", std::to_string(kAppearance), 400);
    shoot(5);
    w.Step("--dialog", titles[5] + "|Cancel|press", 500);
    w.Step("--right-click", Centre(kButtonRect), 400);
    shoot(6);
    w.Step("--key", "Escape", 500);
    w.Step("--command", std::to_string(kOpen), 400);  // the card was renamed: the plug-in asks to save first
    shoot(7);
    w.Step("--dialog", "Pageloom|Cancel|press", 500);
    Append(w.args, {"--quit-after-last", "1000"});
    const BrowserRun run = site.Run(name, w.args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "alert=2343"), -1) << Joined(run.log);

    for (size_t i = 0; i < titles.size(); ++i) {
        SCOPED_TRACE(titles[i]);
        RECT place{};
        ASSERT_TRUE(ShotPlace(run.log, titles[i], &place)) << Joined(run.log);
        ASSERT_TRUE(AppearedInTime(files[i] + ".window"));
        XwdImage screen, own;
        ASSERT_TRUE(ReadXwd(ReadFile(files[i]), &screen));
        ASSERT_TRUE(ReadXwd(ReadFile(files[i] + ".window"), &own));
        ASSERT_EQ(own.width, place.right - place.left);
        ASSERT_EQ(own.height, place.bottom - place.top);
        // Drawn: most of it is not black. As its own window holds it: every pixel but those of a
        // caret that blinked between the two pictures (a line at most two pixels wide).
        int notBlack = 0;
        RECT differing = {own.width, own.height, -1, -1};
        for (int y = 0; y < own.height; ++y)
            for (int x = 0; x < own.width; ++x) {
                const uint32_t pixel = screen.At(place.left + x, place.top + y);
                notBlack += pixel != 0;
                if (pixel != own.At(x, y))
                    differing = {std::min<LONG>(differing.left, x), std::min<LONG>(differing.top, y),
                                 std::max<LONG>(differing.right, x), std::max<LONG>(differing.bottom, y)};
            }
        EXPECT_GT(notBlack * 4, own.width * own.height * 3) << "black on the screen";
        EXPECT_TRUE(differing.right < 0 || differing.right - differing.left < 2)
            << "differs from its own window in " << differing.left << "," << differing.top << "-" << differing.right
            << "," << differing.bottom;
    }
}

}  // namespace
