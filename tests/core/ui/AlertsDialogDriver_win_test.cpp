// The dialog driver itself: reading and setting controls of a dialog built in memory, matching
// templates, several steps on one dialog, and the report of a dialog nobody expected.
#include "tests/support/DialogDriver_win.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"

namespace {

// Builds a DLGTEMPLATE in memory, control by control.
class TemplateBuilder {
public:
    TemplateBuilder(const char* caption, short cx, short cy) {
        Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
        Dword(0);
        countAt_ = words_.size();
        Word(0);
        Word(10), Word(10), Word(static_cast<uint16_t>(cx)), Word(static_cast<uint16_t>(cy));
        Word(0);  // no menu
        Word(0);  // standard class
        Text(caption);
        Word(8);
        Text("MS Shell Dlg");
    }

    void Control(uint16_t id, uint16_t classAtom, DWORD style, const char* text, short x, short y, short cx,
                 short cy) {
        if (words_.size() % 2)
            Word(0);  // items start on a 4-byte boundary
        Dword(WS_CHILD | WS_VISIBLE | style);
        Dword(0);
        Word(static_cast<uint16_t>(x)), Word(static_cast<uint16_t>(y));
        Word(static_cast<uint16_t>(cx)), Word(static_cast<uint16_t>(cy));
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Text(text);
        Word(0);
        ++words_[countAt_];
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(uint16_t w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const char* s) {
        while (*s)
            Word(static_cast<uint8_t>(*s++));
        Word(0);
    }
    std::vector<uint16_t> words_;
    size_t countAt_ = 0;
};

constexpr uint16_t kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83, kComboBox = 0x85;

struct FormResult {
    bool checked = false;
    int listSelection = -1;
    int comboSelection = -1;
    char text[64] = {};
    int clicks = 0;
};

INT_PTR CALLBACK FormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        for (const char* item : {"red", "green", "blue"}) {
            SendDlgItemMessageA(dialog, 11, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
            SendDlgItemMessageA(dialog, 12, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        SendDlgItemMessageA(dialog, 12, CB_SETCURSEL, 0, 0);
        return TRUE;
    case WM_COMMAND: {
        auto* result = reinterpret_cast<FormResult*>(GetWindowLongPtrA(dialog, DWLP_USER));
        if (LOWORD(wParam) == 10 && HIWORD(wParam) == BN_CLICKED)
            ++result->clicks;
        if (LOWORD(wParam) == IDOK) {
            result->checked = IsDlgButtonChecked(dialog, 10) == BST_CHECKED;
            result->listSelection = static_cast<int>(SendDlgItemMessageA(dialog, 11, LB_GETCURSEL, 0, 0));
            result->comboSelection = static_cast<int>(SendDlgItemMessageA(dialog, 12, CB_GETCURSEL, 0, 0));
            GetDlgItemTextA(dialog, 13, result->text, sizeof result->text);
            EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

TemplateBuilder FormTemplate() {
    TemplateBuilder form("Driver form", 200, 120);
    form.Control(10, kButton, BS_AUTOCHECKBOX | WS_TABSTOP, "Check", 5, 5, 60, 10);
    form.Control(11, kListBox, LBS_NOTIFY | WS_BORDER, "", 5, 20, 60, 40);
    form.Control(12, kComboBox, CBS_DROPDOWNLIST | WS_VSCROLL, "", 70, 20, 60, 60);
    form.Control(13, kEdit, WS_BORDER | ES_AUTOHSCROLL, "start", 70, 40, 60, 12);
    form.Control(14, kStatic, SS_LEFT, "Label", 5, 65, 60, 10);
    form.Control(IDOK, kButton, BS_DEFPUSHBUTTON | WS_TABSTOP, "OK", 140, 100, 50, 14);
    form.Control(IDCANCEL, kButton, BS_PUSHBUTTON | WS_TABSTOP, "Cancel", 85, 100, 50, 14);
    return form;
}

class DialogDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandle(nullptr));
        ASSERT_TRUE(InitMemRefs());
    }
    void TearDown() override {
        FreeAlertSuppressionList();
        FreeMemRefs();
    }
};

TEST_F(DialogDriverTest, ReadsAndSetsControls) {
    const TemplateBuilder form = FormTemplate();
    FormResult result;
    DialogDriver driver;
    driver.Expect(DialogMatch::Caption("Driver form"), [](DialogView& d) {
        EXPECT_EQ(d.Caption(), "Driver form");
        EXPECT_FALSE(d.IsChecked(10));
        EXPECT_EQ(d.ListCount(11), 3);
        EXPECT_EQ(d.ListItem(11, 1), "green");
        EXPECT_EQ(d.ListSelection(11), -1);
        EXPECT_EQ(d.ListSelection(12), 0);
        EXPECT_EQ(d.ListItem(12, 2), "blue");
        EXPECT_EQ(d.Text(13), "start");
        EXPECT_EQ(d.Text(14), "Label");
        EXPECT_EQ(d.DefaultButton(), IDOK);
        EXPECT_TRUE(d.Exists(14));
        EXPECT_FALSE(d.Exists(99));
        EXPECT_EQ(d.AlertId(), -1);  // no alert box

        d.SetChecked(10, true);
        d.SetListSelection(11, 2);
        d.SetListSelection(12, 1);
        d.SetText(13, "typed");
    });
    driver.Expect(DialogMatch::Caption("Driver form"), [](DialogView& d) {
        // The second step sees what the first one left.
        EXPECT_TRUE(d.IsChecked(10));
        EXPECT_EQ(d.ListSelection(11), 2);
        d.Press(IDOK);
    });
    const INT_PTR r = driver.Run([&] {
        return DialogBoxIndirectParamA(GetModuleHandle(nullptr), form.get(), nullptr, FormProc,
                                       reinterpret_cast<LPARAM>(&result));
    });
    EXPECT_EQ(r, IDOK);
    EXPECT_EQ(driver.Answered(), 2);
    EXPECT_EQ(driver.DialogsSeen(), 1);
    EXPECT_TRUE(result.checked);
    EXPECT_EQ(result.clicks, 1);  // setting the check told the dialog
    EXPECT_EQ(result.listSelection, 2);
    EXPECT_EQ(result.comboSelection, 1);
    EXPECT_STREQ(result.text, "typed");
}

TEST_F(DialogDriverTest, TemplatesMatchOnlyTheirOwnDialogs) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("DOGIEHELP"), [](DialogView& box) {
        EXPECT_TRUE(DialogMatch::Alert(2235).Matches(box.Window()));
        EXPECT_FALSE(DialogMatch::Alert(2327).Matches(box.Window()));
        EXPECT_FALSE(DialogMatch::Template("BIGLMMSG").Matches(box.Window()));
        EXPECT_TRUE(DialogMatch::Caption("Pageloom").Matches(box.Window()));
        box.Press(52);
    });
    EXPECT_EQ(driver.Run([] { return ShowAlert(2235); }), 1);
}

INT_PTR ShowFormUnanswered() {
    const TemplateBuilder form = FormTemplate();
    FormResult result;
    DialogDriver driver(200);
    return driver.Run([&] {
        return DialogBoxIndirectParamA(GetModuleHandle(nullptr), form.get(), nullptr, FormProc,
                                       reinterpret_cast<LPARAM>(&result));
    });
}

void ExpectDialogThatNeverComes() {
    DialogDriver driver(200);
    driver.Expect(DialogMatch::Caption("Never shown"), [](DialogView&) {});
    driver.Run([] { return 0; });
}

TEST_F(DialogDriverTest, ReportsDialogsNobodyExpected) {
    // The unexpected dialog is closed after the timeout, so the test goes on.
    EXPECT_NONFATAL_FAILURE(EXPECT_EQ(ShowFormUnanswered(), IDCANCEL), "unexpected dialog \"Driver form\"");
    EXPECT_NONFATAL_FAILURE(ExpectDialogThatNeverComes(), "never appeared");
}

}  // namespace
