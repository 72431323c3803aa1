// The Hypertext Links dialog over a stack open in the plug-in linked into this program, answered
// by the dialog driver; the actions dialog is answered by the test.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/ui/Alerts.h"
#include "core/ui/AlertsOnce.h"
#include "layers/LayerList.h"
#include "objects/text/TextFields.h"
#include "objects/text/TextLinks.h"
#include "resources/text_ids.h"
#include "authoring/text/TextLinksDialog.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "stack/save/ResourceUpkeep.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"

namespace {

namespace sb = stackbuilder;
constexpr uint16_t kField = 21, kOtherField = 22;

sb::Resource Link(uint16_t id, uint16_t fieldId, const std::string& text, bool actions) {
    const sb::Object go = sb::ShapedButton(0, {}, "", 0, 0, 2);
    std::vector<uint8_t> data = sb::LinkData(text, {}, actions ? &go : nullptr);
    data[0] = id >> 8, data[1] = id & 0xFF;
    data[2] = fieldId >> 8, data[3] = fieldId & 0xFF;
    return {"Hlnk", id, text, 0, 0, data};
}

sb::Stack DialogStack() {
    sb::Stack stack;
    stack.cardWidth = 240;
    stack.cardHeight = 160;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(240, 160, 8, 1));
    card.objects = {sb::TextField(kField, {10, 10, 230, 60}, "Words", "alpha beta gamma"),
                    sb::TextField(kOtherField, {10, 80, 230, 130}, "Other", "zeta")};
    stack.cards = {card, sb::PictureCard(2, sb::SolidPicture(240, 160, 8, 1))};
    stack.resources = {Link(101, 0, "beta", false), Link(102, kField, "alpha", true), Link(103, kOtherField, "zeta", true)};
    return stack;
}

struct StackLink {
    uint16_t fieldId = 0;
    bool hasActions = false;
    int16_t destination = 0;
};

std::optional<StackLink> LinkNamed(const std::string& text) {
    StackResFileCurrent stackFile;
    for (int i = 1; i <= CountResources(kHlnk); ++i) {
        HandleLock lock(GetIndResource(kHlnk, i));
        const std::optional<LinkFields> link = lock ? ReadLinkFields(lock.bytes()) : std::nullopt;
        if (!link || link->text != text)
            continue;
        EXPECT_EQ(GetU16(lock.bytes(), 0), GetIndResourceId(kHlnk, i)) << "the link's id is its resource's";
        return StackLink{link->fieldId, link->hasActions,
                         link->hasActions ? static_cast<int16_t>(GetU16(lock.bytes(), link->actionOffset + kButtonDestination))
                                          : int16_t{0}};
    }
    return std::nullopt;
}

std::vector<std::string> Listed(DialogView& box) {
    std::vector<std::string> items;
    for (int i = 0; i < box.ListCount(IDC_LINK_LIST); ++i)
        items.push_back(box.ListItem(IDC_LINK_LIST, i));
    return items;
}

void Answer(DialogDriver& driver, int32_t alert, int press, const char* text) {
    driver.Expect(DialogMatch::Alert(alert), [press, text](DialogView& box) {
        EXPECT_EQ(box.Text(51).rfind(text, 0), 0u) << box.Text(51);
        box.Press(press);
    });
}

class TextLinksDialog : public LinkedPluginTest {};

TEST_F(TextLinksDialog, LinksAreAddedReplacedDeletedRenamedRescopedAndGivenActions) {
    ASSERT_TRUE(Open(DialogStack()));
    const HWND field = GetDlgItem(page.embed, kField);
    ASSERT_TRUE(field);
    SetActiveTextField(FindLayer(kObjectText, kField));
    TextSetSel(field, 11, 16, false);  // "gamma"
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("HYPERTEXTLINK"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Hypertext Links");
        EXPECT_EQ(Listed(box), (std::vector<std::string>{"alpha", "beta"})) << "the field's own first; not another field's";
        EXPECT_EQ(box.Text(IDC_LINK_TEXT), "gamma") << "the field's selection";
        EXPECT_EQ(box.ListSelection(IDC_LINK_LIST), 0);
        EXPECT_TRUE(box.IsChecked(IDC_LINK_FIELD_ONLY)) << "alpha belongs to the field";
        box.Press(IDC_LINK_ADD);
    });
    driver.Expect(DialogMatch::Template("HYPERTEXTLINK"), [](DialogView& box) {
        EXPECT_EQ(Listed(box), (std::vector<std::string>{"alpha", "gamma", "beta"}));
        EXPECT_EQ(box.ListSelection(IDC_LINK_LIST), 1);
        box.SetListSelection(IDC_LINK_LIST, 2);
        EXPECT_FALSE(box.IsChecked(IDC_LINK_FIELD_ONLY)) << "beta belongs to all fields";
        box.SetText(IDC_LINK_TEXT, "BETA");
        box.Press(IDC_LINK_ADD);
    });
    Answer(driver, 2332, kAlertButton2, "You already have a text link by that name. Do you want to replace it?");
    driver.Expect(DialogMatch::Template("HYPERTEXTLINK"), [](DialogView& box) {
        EXPECT_EQ(Listed(box), (std::vector<std::string>{"alpha", "gamma", "BETA"})) << "the old beta replaced";
        box.SetListSelection(IDC_LINK_LIST, 2);
        box.Press(IDC_LINK_DELETE);
    });
    Answer(driver, 2331, kAlertButton2, "Are you sure you want to delete this link?");
    driver.Expect(DialogMatch::Template("HYPERTEXTLINK"), [](DialogView& box) {
        EXPECT_EQ(Listed(box), (std::vector<std::string>{"alpha", "gamma"}));
        EXPECT_EQ(box.ListSelection(IDC_LINK_LIST), 1) << "the last one";
        box.SetText(IDC_LINK_TEXT, "delta");
        box.Press(IDC_LINK_RENAME);
    });
    driver.Expect(DialogMatch::Template("HYPERTEXTLINK"), [](DialogView& box) {
        EXPECT_EQ(Listed(box), (std::vector<std::string>{"alpha", "delta"}));
        EXPECT_EQ(box.ListSelection(IDC_LINK_LIST), 1);
        box.SetChecked(IDC_LINK_FIELD_ONLY, false);  // delta goes to all fields
    });
    driver.Expect(DialogMatch::Template("HYPERTEXTLINK"), [](DialogView& box) {
        EXPECT_EQ(Listed(box), (std::vector<std::string>{"alpha", "delta"}));
        EXPECT_FALSE(box.IsChecked(IDC_LINK_FIELD_ONLY));
        box.Press(IDOK);
    });
    Answer(driver, 2333, kAlertButton1, "One or more of the links you defined has no action (indicated by italics).");
    driver.Expect(DialogMatch::Template("HYPERTEXTLINK"), [](DialogView& box) {
        box.SetText(IDC_LINK_TEXT, "kept");
        box.Press(IDC_LINK_ACTIONS);
    });
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(50); });  // "&Next card"
    driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
    driver.Expect(DialogMatch::Template("HYPERTEXTLINK"), [](DialogView& box) {
        EXPECT_EQ(box.Text(IDC_LINK_TEXT), "kept") << "the state is back after the actions dialog";
        EXPECT_EQ(box.ListSelection(IDC_LINK_LIST), 1);
        box.Press(IDOK);
    });
    const int result = driver.Run([&] { return EditTextLinks(page.embed); });
    EXPECT_EQ(result, IDOK);

    const std::optional<StackLink> delta = LinkNamed("delta");
    ASSERT_TRUE(delta);
    EXPECT_EQ(delta->fieldId, 0);
    EXPECT_TRUE(delta->hasActions) << "the actions dialog's edit saved into the link";
    EXPECT_EQ(delta->destination, -1);
    EXPECT_FALSE(LinkNamed("gamma")) << "renamed, same id";
    EXPECT_FALSE(LinkNamed("beta") || LinkNamed("BETA"));
    ASSERT_TRUE(LinkNamed("alpha"));
    EXPECT_EQ(LinkNamed("alpha")->fieldId, kField);
    ASSERT_TRUE(LinkNamed("zeta")) << "another field's link is left alone";
    FreeAlertSuppressionList();
}

// A link that says it has actions but lacks their bytes shows as having none, and actions given
// to it go behind its text: its text and scope stay.
TEST_F(TextLinksDialog, ADamagedLinkGetsItsActionsBehindItsText) {
    ASSERT_TRUE(Open(DialogStack()));
    // The reader refuses such a link from the file; in memory it can still be met.
    std::vector<uint8_t> damaged = BuildLinkRecord(104, 0, "omega", true, {});
    damaged.insert(damaged.end(), {0x12, 0x34, 0x56});  // the start of an action record, cut
    {
        ScopedHandle data(NewHandleFromBytes(damaged));
        ResRequest request{};
        request.type = kHlnk;
        request.id = 104;
        request.data = data.get();
        request.flags = kResRequestCarryOut | kResRequestReplace | kResRequestCopyData;
        ASSERT_TRUE(WriteStackResource(&request));
    }
    SetActiveTextField(FindLayer(kObjectText, kField));
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("HYPERTEXTLINK"), [](DialogView& box) {
        const std::vector<std::string> items = Listed(box);
        const auto at = std::find(items.begin(), items.end(), "omega");
        ASSERT_NE(at, items.end());
        box.SetListSelection(IDC_LINK_LIST, static_cast<int>(at - items.begin()));
        box.Press(IDC_LINK_ACTIONS);
    });
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(50); });  // "&Next card"
    driver.Expect(DialogMatch::Caption("Transitions"), [](DialogView& box) { box.Press(IDOK); });
    driver.Expect(DialogMatch::Template("BUTACT"), [](DialogView& box) { box.Press(IDOK); });
    driver.Expect(DialogMatch::Template("HYPERTEXTLINK"), [](DialogView& box) { box.Press(IDOK); });
    Answer(driver, 2333, kAlertButton2, "One or more of the links you defined has no action (indicated by italics).");
    EXPECT_EQ(driver.Run([&] { return EditTextLinks(page.embed); }), IDOK);
    const std::optional<StackLink> omega = LinkNamed("omega");
    ASSERT_TRUE(omega) << "the link keeps its text";
    EXPECT_EQ(omega->fieldId, 0);
    EXPECT_TRUE(omega->hasActions);
    EXPECT_EQ(omega->destination, -1);
    FreeAlertSuppressionList();
}

}  // namespace
