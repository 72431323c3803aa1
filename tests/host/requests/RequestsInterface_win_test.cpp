// Requests of the user interface in the hosted plug-in: the alert text of a module with its
// button titles, transition names both ways (the 27 names and the stand-in's effects, case
// ignored), menu items and colour numbers, the transition dialog with its titles, the cursor mode.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/memory/Handles.h"
#include "core/ui/ToolNumbers.h"
#include "cardview/colors/FcolorsLayout.h"
#include "graphics/palette/CurrentColors.h"
#include "cardview/transitions/QtEffectState.h"
#include "host/state/MenuOptions.h"
#include "tests/host/requests/RequestTestPage_win.h"
#include "tests/support/DialogDriver_win.h"

namespace {

using namespace requestpage;

std::string PascalIn(Handle h) {
    const std::vector<uint8_t> bytes = HandleToBytes(h);
    if (bytes.empty() || bytes[0] + 1u > bytes.size())
        return "<bad>";
    return std::string(bytes.begin() + 1, bytes.begin() + 1 + bytes[0]);
}

TEST(RequestsInterface, AlertsTransitionNamesMenusAndTheTransitionDialog) {
    RequestPage page("requests-ui");
    ASSERT_TRUE(page.Open());

    // 68: single backslashes part the button titles; [50] is the pressed one's place.
    {
        const char text[] = "Go on?\\Yes\\No";
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(0), [](DialogView& box) {
            EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"Yes", "No"}));
            box.Press(53);
        });
        EXPECT_EQ(driver.Run([&] { return static_cast<int>(Request(68, Address(text), 12345).param1); }), 2)
            << "a bad owner falls back to the card window";
    }
    {
        // A doubled backslash shows one; text past 256 characters is not read.
        std::string text = "44Path C:\\\\Loom\\^OK";
        text += std::string(300, 'x');
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(0), [](DialogView& box) {
            EXPECT_EQ(box.Text(51), "Path C:\\Loom");
            // 19 characters and 237 of the 300 x's are read.
            EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"OK" + std::string(237, 'x')}));
            box.Press(52);
        });
        EXPECT_EQ(driver.Run([&] { return static_cast<int>(Request(68, Address(text.c_str())).param1); }), 1);
    }

    // 148: names to numbers (case ignored), then numbers to names.
    ASSERT_EQ(QTEffectChoiceCount(), 10) << "the stand-in's effects are listed";
    const std::vector<uint8_t> dissolve = Pascal("dissolve"), crossFade = Pascal("cross fade"),
                               unknown = Pascal("Swirl of doom"), zoom = Pascal("ZOOM IN");
    EXPECT_EQ(Request(148, Address(dissolve.data()), 0).param1, 14u);
    EXPECT_EQ(Request(148, Address(crossFade.data()), 0).param1, 28u);
    EXPECT_EQ(Request(148, Address(zoom.data()), 0).param1, 21u);
    EXPECT_EQ(static_cast<int32_t>(Request(148, Address(unknown.data()), 0).param1), -1);
    const Handle name = NewHandle(4);
    Request(148, 14, 1, static_cast<uint32_t>(name));
    EXPECT_EQ(PascalIn(name), "Dissolve");
    Request(148, 28, 1, static_cast<uint32_t>(name));
    EXPECT_EQ(PascalIn(name), "Cross Fade");
    EXPECT_EQ(static_cast<int32_t>(Request(148, 99, 1, static_cast<uint32_t>(name)).param1), -1);
    EXPECT_EQ(PascalIn(name), "Cross Fade") << "no name: the handle is left";
    Request(148, 14, 1, 0x7FFF0000u);  // no handle of ours: nothing is written anywhere
    DisposeHandle(name);

    // 10: a menu item by title and text; the colours menu's numbers set colour number - 1.
    const bool filled = IsDrawFilled();
    const std::vector<uint8_t> options = Pascal("Options"), drawFilled = Pascal("Draw Filled"),
                               colors = Pascal("Colors"), three = Pascal("3");
    Request(10, 0, 0, Address(options.data()), Address(drawFilled.data()));
    EXPECT_EQ(IsDrawFilled(), !filled);
    Request(10, 0, 0, Address(options.data()), Address(drawFilled.data()));
    EXPECT_EQ(IsDrawFilled(), filled);
    const uint32_t tool = GetCurrentTool();
    Request(10, 0, 0, Address(colors.data()), Address(three.data()));
    EXPECT_EQ(GetToolColor(ToolColorLetter(static_cast<int>(tool))), *ColorMenuNumberToValue(2));

    // 151: "TRANSITIONS" titled by [58] (0, 1, 2: 3002, 3001, 3000; else the template's), on
    // the transition and speed of [50]; Cancel answers 2 and leaves [50].
    const char* titles[] = {"Show Item Transitions", "Hide Item Transitions", "Transitions", "Transitions"};
    for (uint32_t which = 0; which < 4; ++which) {
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("TRANSITIONS"), [&](DialogView& box) {
            EXPECT_EQ(box.Caption(), titles[which]);
            EXPECT_EQ(box.ListItem(50, box.ListSelection(50)), "Dissolve");
            EXPECT_TRUE(box.IsChecked(52)) << "medium";
            box.Press(IDCANCEL);
        });
        const NbaParamBlock& b =
            driver.Run([&]() -> const NbaParamBlock& { return Request(151, (16u << 16) | 14u, 0, which, 0); });
        EXPECT_EQ(b.param2, 2u) << "cancelled";
        EXPECT_EQ(b.param1, (16u << 16) | 14u);
    }
    {
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("TRANSITIONS"), [](DialogView& box) {
            EXPECT_EQ(box.ListItem(50, 0), "Left to right");
            EXPECT_EQ(box.ListCount(50), 24 + static_cast<int>(QTListedEffects().size())) << "an object's list has no fades";
            box.SetListSelection(50, 4);  // "Top to bottom"
            SendMessageA(GetDlgItem(box.Window(), 53), BM_CLICK, 0, 0);  // "&Slow"
            box.Press(IDOK);
        });
        const NbaParamBlock& b =
            driver.Run([&]() -> const NbaParamBlock& { return Request(151, (8u << 16) | 1u, 0, 1, (5u << 16) | 48u); });
        EXPECT_EQ(b.param2, 1u);
        EXPECT_EQ(b.param1, (32u << 16) | 11u);
    }
    EXPECT_EQ(Request(175, 0, 0).param1, 1u);
}

}  // namespace
