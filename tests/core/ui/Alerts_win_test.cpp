// Alerts as the user meets them, answered through the dialog driver: the box's size, icon and
// buttons, the pressed button's result, silence for experienced users and once-only boxes, the
// tall box, error messages and the plain error box.
#include "core/ui/Alerts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/memory/HandlesGlobal.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "tests/support/DialogDriver_win.h"

namespace {

using Labels = std::vector<std::string>;

class AlertsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandle(nullptr));
        ASSERT_TRUE(InitMemRefs());
        SetAdvancedUser(false);
    }
    void TearDown() override {
        SetAdvancedUser(false);
        FreeAlertSuppressionList();
        FreeMemRefs();
    }
};

std::string StringText(uint32_t id) {
    char text[1000] = {};
    LoadResString(id, text, sizeof text);
    return text;
}

// The message part of a string-table alert.
std::string MessageOf(uint32_t id) {
    const std::string text = StringText(id);
    return text.substr(2, text.find('~') - 2);
}

TEST_F(AlertsTest, GenericErrorShowsTheMascotBoxOfClassFour) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("DOGIEHELP"), [](DialogView& box) {
        EXPECT_EQ(box.AlertId(), 2235);
        EXPECT_EQ(box.WindowSize().cx, 360);
        EXPECT_EQ(box.WindowSize().cy, 130);
        EXPECT_EQ(box.Text(51), "Sorry, some kind of error has occurred.");
        EXPECT_EQ(box.ButtonLabels(), Labels{"OK"});
        EXPECT_FALSE(box.IsVisible(53));
        EXPECT_FALSE(box.IsVisible(54));
        EXPECT_EQ(box.DefaultButton(), 52);
        EXPECT_EQ(box.FocusId(), 52);
        // The mascot's picture at (4, 4), half as wide as the built-in bitmap.
        EXPECT_TRUE(box.IsVisible(50));
        const RECT icon = box.ControlRect(50);
        EXPECT_EQ(icon.left, 4);
        EXPECT_EQ(icon.top, 4);
        EXPECT_EQ(icon.right - icon.left, 48);
        EXPECT_EQ(icon.bottom - icon.top, 48);
        const RECT message = box.ControlRect(51);
        EXPECT_EQ(message.left, 48 + 12);
        EXPECT_EQ(message.top, 12);
        EXPECT_EQ(message.right, box.ClientSize().cx - 4);
        const RECT ok = box.ControlRect(52);
        EXPECT_EQ(ok.right, box.ClientSize().cx - 4);
        EXPECT_EQ(ok.bottom, box.ClientSize().cy - 4);
        box.Press(52);
    });
    EXPECT_EQ(driver.Run([] { return ShowAlert(2235); }), 1);
    EXPECT_EQ(driver.Answered(), 1);
}

TEST_F(AlertsTest, FirstLabelIsRightmostAndCaretMarksTheDefault) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2327), [](DialogView& box) {
        EXPECT_EQ(box.WindowSize().cx, 320);
        EXPECT_EQ(box.Text(51), "The file already exists. Do you want to replace it?");
        EXPECT_EQ(box.ButtonLabels(), (Labels{"Yes", "No"}));
        EXPECT_EQ(box.Text(52), "Yes");
        EXPECT_EQ(box.Text(53), "No");
        const RECT yes = box.ControlRect(52);
        const RECT no = box.ControlRect(53);
        EXPECT_EQ(yes.right, box.ClientSize().cx - 4);
        EXPECT_EQ(no.right, yes.left - 15);
        EXPECT_EQ(no.top, yes.top);
        EXPECT_EQ(box.DefaultButton(), 53);
        EXPECT_EQ(box.FocusId(), 53);
        box.Press(53);
    });
    EXPECT_EQ(driver.Run([] { return ShowAlert(2327); }), 2);

    driver.Expect(DialogMatch::Alert(2327), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([] { return ShowAlert(2327); }), 1);
}

TEST_F(AlertsTest, ClassesIconsAndWideButtons) {
    struct Case {
        const char* text;
        int width;
        int height;
        bool icon;
        int iconSize;  // 0: system icon size
        int defaultButton;
        int press;
        int result;
    };
    const Case cases[] = {
        {"A4Class A counts as class 0.~^OK", 400, 130, true, 48, 52, 52, 1},
        {"53Exclamation.~One~Two~Three", 400, 180, true, 0, 52, 54, 3},
        {"21Stop.~^OK~Cancel", 280, 120, true, 0, 52, 53, 2},
        {"80No icon.~A~^B~C", 490, 210, false, 0, 53, 53, 2},
        {"14" "Wide.~A label that is much too long for a box of this class", 0, 100, true, 48, 52, 52, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(0), [&](DialogView& box) {
            if (c.width) {
                EXPECT_EQ(box.WindowSize().cx, c.width);
            } else {
                EXPECT_GT(box.WindowSize().cx, 250);  // widened for its button
            }
            EXPECT_EQ(box.WindowSize().cy, c.height);
            EXPECT_EQ(box.IsVisible(50), c.icon);
            if (c.icon) {
                const RECT icon = box.ControlRect(50);
                const int size = c.iconSize ? c.iconSize : GetSystemMetrics(SM_CXICON);
                EXPECT_EQ(icon.right - icon.left, size);
                EXPECT_EQ(box.ControlRect(51).left, size + 12);
            } else {
                EXPECT_EQ(box.ControlRect(51).left, 4);
            }
            // Every button fits inside the box.
            for (int id = 52; id <= 54; ++id) {
                if (box.IsVisible(id)) {
                    EXPECT_GE(box.ControlRect(id).left, 0) << id;
                }
            }
            EXPECT_EQ(box.DefaultButton(), c.defaultButton);
            box.Press(c.press);
        });
        EXPECT_EQ(driver.Run([&] { return ShowAlertText(nullptr, c.text); }), c.result);
    }
}

TEST_F(AlertsTest, IconFlagZeroShowsNoIcon) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2235), [](DialogView& box) {
        EXPECT_FALSE(box.IsVisible(50));
        EXPECT_EQ(box.ControlRect(51).left, 4);
        box.Press(52);
    });
    EXPECT_EQ(driver.Run([] { return MascotMessageBox(nullptr, 2235, false, true, 0); }), 52);
}

TEST_F(AlertsTest, EscapeAndCloseDoNotEndTheBox) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2327), [](DialogView& box) {
        PostMessageA(box.Window(), WM_COMMAND, IDCANCEL, 0);
        PostMessageA(box.Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    driver.Expect(DialogMatch::Alert(2327), [](DialogView& box) { box.Press(52); });  // still there
    EXPECT_EQ(driver.Run([] { return ShowAlert(2327); }), 1);
    EXPECT_EQ(driver.Answered(), 2);
}

TEST_F(AlertsTest, ExperiencedUsersSeeOnlyForcedBoxes) {
    SetAdvancedUser(true);
    DialogDriver driver;
    EXPECT_EQ(driver.Run([] { return MascotMessageBox(nullptr, 2235, false, false, 1); }), 52);
    EXPECT_EQ(driver.Run([] { return MascotMessageBox(nullptr, 2681, true, false, 1); }), 52);
    EXPECT_EQ(driver.DialogsSeen(), 0);
    EXPECT_EQ(AlertSuppressionCount(), 0);  // not recorded either

    driver.Expect(DialogMatch::Alert(2235), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([] { return ShowAlert(2235); }), 1);
    EXPECT_EQ(driver.DialogsSeen(), 1);

    // The once-only box not recorded above still shows once the user is no longer experienced.
    SetAdvancedUser(false);
    driver.Expect(DialogMatch::Alert(2681), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([] { return MascotMessageBox(nullptr, 2681, true, false, 1); }), 52);
    EXPECT_EQ(driver.Answered(), 2);
}

TEST_F(AlertsTest, OnceOnlyBoxShowsOncePerRun) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2327), [](DialogView& box) { box.Press(53); });
    EXPECT_EQ(driver.Run([] { return MascotMessageBox(nullptr, 2327, true, false, 1); }), 53);
    EXPECT_EQ(driver.DialogsSeen(), 1);

    EXPECT_EQ(driver.Run([] { return MascotMessageBox(nullptr, 2327, true, false, 1); }), 52);
    EXPECT_EQ(driver.DialogsSeen(), 0);

    // Without the once flag it shows again.
    driver.Expect(DialogMatch::Alert(2327), [](DialogView& box) { box.Press(53); });
    EXPECT_EQ(driver.Run([] { return MascotMessageBox(nullptr, 2327, false, false, 1); }), 53);
}

TEST_F(AlertsTest, MissingOrButtonlessTexts) {
    // A text that cannot be loaded never ends silently: the generic error is shown.
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("DOGIEHELP"), [](DialogView& box) {
        EXPECT_EQ(box.AlertId(), 65000);
        EXPECT_EQ(box.Text(51), MessageOf(2235));
        box.Press(52);
    });
    EXPECT_EQ(driver.Run([] { return ShowAlert(65000); }), 1);

    // A text without any '~' has no buttons and is not shown.
    EXPECT_EQ(driver.Run([] { return MascotTextBox(nullptr, "44A text without buttons", 1); }), 52);
    EXPECT_EQ(driver.DialogsSeen(), 0);
}

TEST_F(AlertsTest, CardSizeAlertShowsTheMinimumSize) {
    const int width = std::max(GetSystemMetrics(SM_CXMINTRACK), 40);
    const int height = std::max(GetSystemMetrics(SM_CYMINTRACK), 40);
    char expected[200];
    std::snprintf(expected, sizeof expected,
                  "The stack's card size must be at least %d wide and %d high. Do you want to convert it "
                  "to the minimum size?",
                  width, height);
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2334), [&](DialogView& box) {
        EXPECT_EQ(box.Text(51), expected);
        EXPECT_EQ(box.ButtonLabels(), (Labels{"Yes", "No"}));
        EXPECT_EQ(box.DefaultButton(), 52);
        box.Press(53);
    });
    EXPECT_EQ(driver.Run([] { return ShowAlert(2334); }), 2);
}

TEST_F(AlertsTest, ErrorMessagesOfCodes) {
    struct Case {
        int32_t code;
        uint32_t message;
    };
    const Case cases[] = {{2680, 2680}, {2687, 2687}, {-2688, 2688}, {2693, 2693},
                          {2694, 2694}, {12345, 2235}, {-1, 2235}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string expected = MessageOf(c.message);
        ASSERT_FALSE(expected.empty()) << "string " << c.message << " is missing";
        DialogDriver driver;
        driver.Expect(DialogMatch::Alert(0), [&](DialogView& box) {
            EXPECT_EQ(box.Text(51), expected);
            EXPECT_EQ(box.ButtonLabels(), Labels{"OK"});
            box.Press(52);
        });
        driver.Run([&] {
            ShowErrorMessage(c.code);
            return 0;
        });
        EXPECT_EQ(driver.Answered(), 1);
    }

    DialogDriver quiet;
    quiet.Run([] {
        ShowErrorMessage(0);
        ShowErrorMessage(-12);
        return 0;
    });
    EXPECT_EQ(quiet.DialogsSeen(), 0);
}

TEST_F(AlertsTest, ErrorBoxAndOutOfMemoryWarning) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Caption("Pageloom Error"), [](DialogView& box) {
        EXPECT_EQ(box.MessageBoxText(), "Disk on fire");
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([] { return ShowErrorBox("Disk on fire"); }), IDOK);

    // A plain global block that cannot be had is reported through the error box.
    driver.Expect(DialogMatch::Caption("Pageloom Error"), [](DialogView& box) {
        EXPECT_EQ(box.MessageBoxText(), "Pageloom has run out of RAM memory");
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([] { return AllocGlobalOrWarn(0xFFFFFF00u); }), nullptr);
    EXPECT_EQ(driver.Answered(), 2);
}

TEST_F(AlertsTest, TallBoxShowsItsLines) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) {
        // Each line loses its alignment digit; the rest of the statics stay empty.
        EXPECT_EQ(box.Text(60), StringText(2680).substr(1));
        EXPECT_EQ(box.Text(61), StringText(2681).substr(1));
        EXPECT_EQ(box.Text(62), StringText(2682).substr(1));
        EXPECT_EQ(box.Text(63), "");
        EXPECT_GE(box.ControlRect(60).right - box.ControlRect(60).left,
                  box.ControlRect(62).right - box.ControlRect(62).left);
        EXPECT_FALSE(box.IsVisible(IDCANCEL));
        EXPECT_EQ(box.ControlRect(IDOK).right, box.ClientSize().cx - 4);
        EXPECT_EQ(box.ControlRect(IDOK).bottom, box.ClientSize().cy - 4);
        // As tall as its three lines: the button right under the last, no empty lines.
        EXPECT_EQ(box.ControlRect(IDOK).top, box.ControlRect(62).bottom + 4);
        EXPECT_FALSE(box.IsVisible(63));
        EXPECT_EQ(box.FocusId(), IDOK);
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([] { return BigMascotMessageBox(nullptr, 2680, 3, false, true, false); }), 1);

    // A line feed ends the line shown and leaves the next static empty.
    driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) {
        const std::string first = StringText(2221).substr(1);
        const std::string second = StringText(2222).substr(1);
        EXPECT_EQ(box.Text(60), first.substr(0, first.find('\n')));
        EXPECT_EQ(box.Text(61), "");
        EXPECT_EQ(box.Text(62), second.substr(0, second.find('\n')));
        EXPECT_TRUE(box.IsVisible(IDCANCEL));
        EXPECT_EQ(box.ControlRect(IDCANCEL).right, box.ControlRect(IDOK).left - 15);
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([] { return BigMascotMessageBox(nullptr, 2221, 2, false, true, true); }), 2);

    // Once only, and silent for experienced users.
    driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) { box.Press(IDOK); });
    EXPECT_EQ(driver.Run([] { return BigMascotMessageBox(nullptr, 2680, 1, true, false, false); }), 1);
    EXPECT_EQ(driver.Run([] { return BigMascotMessageBox(nullptr, 2680, 1, true, false, false); }), 1);
    EXPECT_EQ(driver.DialogsSeen(), 0);
    SetAdvancedUser(true);
    EXPECT_EQ(driver.Run([] { return BigMascotMessageBox(nullptr, 2681, 1, false, false, true); }), 1);
    EXPECT_EQ(driver.DialogsSeen(), 0);
    SetAdvancedUser(false);

    // A first line that is missing reports the generic error instead of vanishing.
    driver.Expect(DialogMatch::Alert(2235), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(driver.Run([] { return BigMascotMessageBox(nullptr, 65000, 2, false, true, true); }), 1);
    EXPECT_EQ(driver.Answered(), 4);
}

// Fills a 64 x 64 memory bitmap with a colour, draws the mascot at (8, 8) and reads pixels.
class PixelCanvas {
public:
    explicit PixelCanvas(COLORREF fill) {
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(fill));
        RECT all{0, 0, 64, 64};
        FillRect(dc_, &all, brush.get());
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
    // A colour as this canvas keeps it (a 16-bit display drops low bits), through the spare
    // corner pixel that nothing draws on.
    COLORREF Stored(COLORREF colour) const {
        SetPixel(dc_, 63, 63, colour);
        return GetPixel(dc_, 63, 63);
    }

private:
    static HBITMAP ScreenBitmap() {
        WindowDC screen(nullptr);
        return CreateCompatibleBitmap(screen.get(), 64, 64);
    }

    MemoryDC memory_{nullptr};
    OwnedGdiObject<HBITMAP> bitmap_{ScreenBitmap()};
    SelectedObject selected_{memory_.get(), bitmap_.get()};
    HDC dc_ = memory_.get();
};

TEST_F(AlertsTest, MascotIsDrawnThroughItsMask) {
    MascotPicture picture;
    ASSERT_TRUE(LoadMascotPicture(&picture));  // no picture file here: the built-in bitmap
    EXPECT_EQ(picture.width, 48);
    EXPECT_EQ(picture.height, 48);
    const COLORREF green = RGB(0, 128, 0);  // a static colour: solid on a palette display too
    PixelCanvas canvas(green);
    DrawMascotPicture(canvas.dc(), 8, 8, picture);
    EXPECT_EQ(canvas.At(8, 8), canvas.Stored(green));          // the picture's corner is background
    EXPECT_EQ(canvas.At(8 + 47, 8 + 47), canvas.Stored(green));
    EXPECT_EQ(canvas.At(8 + 24, 8 + 12), canvas.Stored(RGB(222, 170, 110)));  // the forehead
    EXPECT_EQ(canvas.At(4, 4), canvas.Stored(green));          // nothing outside the picture
    FreeMascotPicture(&picture);
    EXPECT_EQ(picture.image, nullptr);
}

// A small 24-bit picture: white with a red block at (4, 2)-(10, 6).
void WritePictureFile(const char* path) {
    const int w = 16, h = 8, rowBytes = 48;
    std::vector<uint8_t> file(54 + rowBytes * h, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint8_t* px = &file[54 + (h - 1 - y) * rowBytes + x * 3];  // bottom-up rows
            const bool red = x >= 4 && x < 10 && y >= 2 && y < 6;
            px[0] = red ? 0 : 255;
            px[1] = red ? 0 : 255;
            px[2] = 255;
        }
    }
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
}

TEST_F(AlertsTest, MascotFileBesideTheProgramWins) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    std::string base = std::string(folder) + "loom_mascot_test";
    CreateDirectoryA(base.c_str(), nullptr);
    const std::string picturePath = base + "\\mascot.bmp";
    WritePictureFile(picturePath.c_str());
    const std::string modulePath = base + "\\nploom.dll";
    ASSERT_TRUE(InitFolderTableAt(modulePath.c_str(), [](int, char* buffer, size_t size) -> size_t {
        if (size)
            buffer[0] = 0;
        return 0;
    }));

    MascotPicture picture;
    ASSERT_TRUE(LoadMascotPicture(&picture));
    EXPECT_EQ(picture.width, 16);
    EXPECT_EQ(picture.height, 8);
    const COLORREF blue = RGB(0, 0, 128);  // a static colour: solid on a palette display too
    PixelCanvas canvas(blue);
    DrawMascotPicture(canvas.dc(), 0, 0, picture);
    EXPECT_EQ(canvas.At(0, 0), canvas.Stored(blue));  // the corner colour is background
    EXPECT_EQ(canvas.At(15, 7), canvas.Stored(blue));
    EXPECT_EQ(canvas.At(4, 2), canvas.Stored(RGB(255, 0, 0)));
    EXPECT_EQ(canvas.At(9, 5), canvas.Stored(RGB(255, 0, 0)));
    EXPECT_EQ(canvas.At(10, 5), canvas.Stored(blue));
    FreeMascotPicture(&picture);

    // The box takes the picture's size for its icon area.
    DialogDriver driver;
    driver.Expect(DialogMatch::Alert(2235), [](DialogView& box) {
        const RECT icon = box.ControlRect(50);
        EXPECT_EQ(icon.right - icon.left, 16);
        EXPECT_EQ(icon.bottom - icon.top, 8);
        box.Press(52);
    });
    EXPECT_EQ(driver.Run([] { return ShowAlert(2235); }), 1);

    FreeFolderTable();
    DeleteFileA(picturePath.c_str());
    RemoveDirectoryA(base.c_str());
}

}  // namespace
