// Find Text (207) in the plug-in, its dialog answered: the match's card shown and the match
// selected in its field, searching again with Shift round all the cards, no wrap from the last
// card and case sensitivity ending in "No match found.", the longest search text, and an
// accented word found in a Mac Roman stack with a locked menu bar, by the dialog and by the
// find request.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "StackBuilder.h"
#include "layers/LayerList.h"
#include "host/menus/MenuCommands.h"
#include "objects/text/ActiveTextField.h"
#include "resources/find_ids.h"
#include "resources/resource_ids.h"
#include "stack/StackOpenSession.h"
#include "tests/host/requests/RequestTestPage_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;

const std::string kLong(255, 'q');

sb::Object Field(uint16_t id, int top, const std::string& text, uint16_t flags = 0) {
    sb::Object field = sb::TextField(id, {10, static_cast<int16_t>(top), 230, static_cast<int16_t>(top + 40)},
                                     "F" + std::to_string(id), text);
    field.flags = flags;
    return field;
}

// Card 1: "the cat", and "needle" hidden. Card 2: "a needle here". Card 3: "Cat" and 255 q's.
sb::Stack ThreeCards() {
    sb::Stack s;
    s.cardWidth = 240;
    s.cardHeight = 120;
    sb::Card first = sb::PlainCard(1), second = sb::PlainCard(2), third = sb::PlainCard(3);
    first.objects = {Field(10, 10, "the cat"), Field(11, 60, "needle", kObjectHidden)};
    second.objects = {Field(20, 10, "a needle here")};
    third.objects = {Field(30, 10, "Cat"), Field(31, 60, kLong)};
    s.cards = {first, second, third};
    return s;
}

struct FindPage {
    LinkedPluginPage page;
    bool Open(const sb::Stack& stack, const char* stem) {
        return OpenInLinkedPlugin(stack, std::string(stem) + "-" + ProcessTag() + ".stk",
                                  &page);
    }
    ~FindPage() { CloseLinkedPlugin(&page); }
    void Command(int id, int source = 0) {
        DoMenuCommand(page.embed, id, source);
        PumpPageMessages();
    }
};

struct Selected {
    uint16_t card = 0, field = 0;
    int32_t start = -1, end = -1;
    bool operator==(const Selected&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Selected& s) {
    return out << "card " << s.card << " field " << s.field << " " << s.start << "-" << s.end;
}

Selected Selection() {
    Selected s;
    s.card = GetCurrentCardId();
    LayerLock<FieldLayer> field(GetActiveTextField());
    if (!field)
        return s;
    s.field = field->common.id;
    TextGetSel(field->window, &s.start, &s.end);
    return s;
}

// The dialog answered with a text and the two checks.
void Answer(DialogDriver& driver, const std::string& text, bool caseSensitive, bool wrap) {
    driver.Expect(DialogMatch::Template("FIND_TEXT"), [=](DialogView& box) {
        box.SetText(IDC_FIND_TEXT, text);
        box.SetChecked(IDC_FIND_CASE, caseSensitive);
        box.SetChecked(IDC_FIND_WRAP, wrap);
        box.Press(IDOK);
    });
}

void ExpectNoMatch(DialogDriver& driver) {
    driver.Expect(DialogMatch::Alert(2201), [](DialogView& box) {
        EXPECT_EQ(box.Text(IDC_ALERT_TEXT), "No match found.");
        EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"OK"}));
        box.Press(IDC_ALERT_BUTTON1);
    });
}

// Shift held (as the thread's keyboard state) while the command runs from its shortcut.
void FindAgain(FindPage& find) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE shift = keys[VK_SHIFT];
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    find.Command(207, 1);
    keys[VK_SHIFT] = shift;
    SetKeyboardState(keys);
}

}  // namespace

TEST(FindTextInPlugin, DialogSearchAgainWrapCaseAndLongText) {
    FindPage find;
    ASSERT_TRUE(find.Open(ThreeCards(), "find"));
    {
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("FIND_TEXT"), [](DialogView& box) {
            EXPECT_EQ(box.Caption(), "Find Text");
            EXPECT_TRUE(box.IsChecked(IDC_FIND_ALL));
            EXPECT_FALSE(box.IsChecked(IDC_FIND_EDITABLE) || box.IsChecked(IDC_FIND_READONLY));
            EXPECT_TRUE(box.IsChecked(IDC_FIND_WRAP));
            EXPECT_FALSE(box.IsChecked(IDC_FIND_CASE));
            EXPECT_EQ(box.FocusId(), IDC_FIND_TEXT);
            EXPECT_EQ(SendDlgItemMessageA(box.Window(), IDC_FIND_TEXT, EM_GETLIMITTEXT, 0, 0), 255);
            box.SetText(IDC_FIND_TEXT, "NEEDLE");
            box.Press(IDOK);
        });
        driver.Run([&] {
            find.Command(207);
            return 0;
        });
    }
    EXPECT_EQ(Selection(), (Selected{2, 20, 2, 8})) << "the hidden field on card 1 is passed over";
    EXPECT_EQ(GetFocus(), GetDlgItem(find.page.embed, 20));

    // Again, with Shift and no dialog: round the three cards to the same match.
    {
        DialogDriver driver;
        driver.Run([&] {
            FindAgain(find);
            return 0;
        });
        EXPECT_EQ(driver.DialogsSeen(), 0);
    }
    EXPECT_EQ(Selection(), (Selected{2, 20, 2, 8}));

    // From the last card without wrap around, and "Cat" sought case-sensitively from card 1.
    find.Command(205);
    {
        DialogDriver driver;
        Answer(driver, "needle", false, false);
        ExpectNoMatch(driver);
        driver.Run([&] {
            find.Command(207);
            return 0;
        });
    }
    EXPECT_EQ(GetCurrentCardId(), 3) << "the card stays";
    find.Command(202);
    {
        DialogDriver driver;
        Answer(driver, "Cat", true, true);
        driver.Run([&] {
            find.Command(207);
            return 0;
        });
    }
    EXPECT_EQ(Selection(), (Selected{3, 30, 0, 3})) << "card 1's \"cat\" is not \"Cat\"";
    {
        DialogDriver driver;
        Answer(driver, kLong, false, true);
        driver.Run([&] {
            find.Command(207);
            return 0;
        });
    }
    EXPECT_EQ(Selection(), (Selected{3, 31, 0, 255}));
}

TEST(FindTextInPlugin, AccentedWordInAMacRomanStackByDialogAndRequest) {
    sb::Stack s;
    s.cardWidth = 240;
    s.cardHeight = 120;
    s.flags = 0x10;  // texts in Mac Roman
    s.locked = 1;    // no menu bar: finding still works
    sb::Card first = sb::PlainCard(1), second = sb::PlainCard(2);
    first.objects = {Field(10, 10, "nothing here")};
    second.objects = {Field(20, 10, "un caf\x8E noir")};  // Mac Roman e acute
    s.cards = {first, second};
    FindPage find;
    ASSERT_TRUE(find.Open(s, "find-mac"));
    {
        DialogDriver driver;
        Answer(driver, "CAF\xC9", false, true);  // no case folding above 127
        ExpectNoMatch(driver);
        Answer(driver, "caf\xE9", false, true);
        driver.Run([&] {
            find.Command(207);
            find.Command(207);
            return 0;
        });
    }
    EXPECT_EQ(Selection(), (Selected{2, 20, 3, 7}));

    find.Command(202);
    const std::vector<uint8_t> word = requestpage::Pascal("\xE9 noir");
    const NbaParamBlock found = requestpage::Request(8, requestpage::Address(word.data()), 0);
    EXPECT_EQ(found.param2, 1u);
    EXPECT_EQ(found.param3, static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetDlgItem(find.page.embed, 20))));
    EXPECT_EQ(found.param4, 6u);
    EXPECT_EQ(Selection(), (Selected{2, 20, 6, 12}));
}
