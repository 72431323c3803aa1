// Preferences on the system: the profile file's bytes, start-up, the plug-in folder and the
// wallpaper; the "PREFERENCES" and "POPTIONS" dialogs answered through the dialog driver; and
// what presentation mode and the lock do to windows and menus.
#include "host/dialogs/PreferencesDialogs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/ScreenDepth.h"
#include "graphics/palette/ColorGrid.h"
#include "format/StackFile.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

// The program folder is a fresh temporary folder, so each test starts without a profile file.
class PreferencesWinTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandle(nullptr));
        ASSERT_TRUE(InitMemRefs());
        ASSERT_TRUE(InitFolderTable());
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "loomprefs" + ProcessTag();
        CreateDirectoryA(folder_.c_str(), nullptr);
        DeleteFileA(IniPath().c_str());
        SetFileSpecFromPath(kSlotProgram, (folder_ + "\\nploom.dll").c_str());
        GetProfileStringA("Desktop", "Wallpaper", kNoKey, wallpaper_, sizeof wallpaper_);
        header_ = NewHandleFromBytes(std::vector<uint8_t>(kStackHeaderBytes));
        depth_ = GetScreenDepth();
    }
    void TearDown() override {
        WriteProfileStringA("Desktop", "Wallpaper", std::string(wallpaper_) == kNoKey ? nullptr : wallpaper_);
        SetScreenDepth(depth_);
        DeleteFileA(IniPath().c_str());
        RemoveDirectoryA(folder_.c_str());
        SetFrameWindow(nullptr);
        SetMainWindow(nullptr);
        SetAdvancedUser(false);
        CurrentPresentation() = Presentation{};
        FreeFolderTable();
        FreeMemRefs();
    }
    std::string IniPath() const { return folder_ + "\\LMPREFS.INI"; }
    std::string IniBytes() const {
        std::ifstream in(IniPath(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    uint16_t Header(uint32_t offset) const { return GetU16(HandleToBytes(header_), offset); }
    void SetHeader(uint32_t offset, uint16_t value) {
        std::vector<uint8_t> bytes = HandleToBytes(header_);
        SetU16(bytes, offset, value);
        SetHandleBytes(header_, bytes);
    }
    void SetPassword(const char* password) {
        std::vector<uint8_t> bytes = HandleToBytes(header_);
        CopyPathText(password, reinterpret_cast<char*>(bytes.data()) + kHeaderPassword, kPasswordBytes);
        SetHandleBytes(header_, bytes);
    }
    std::string Password() const {
        const std::vector<uint8_t> bytes = HandleToBytes(header_);
        return reinterpret_cast<const char*>(bytes.data()) + kHeaderPassword;
    }

    std::string folder_;
    static constexpr const char* kNoKey = "\x01";
    char wallpaper_[MAX_PATH] = {};
    int depth_ = 0;
    Handle header_ = 0;
};

TEST_F(PreferencesWinTest, ExperiencedUnlessTheFileSaysNo) {
    LoadUserPreferences();
    EXPECT_TRUE(IsAdvancedUser()) << "no LMPREFS.INI";
    EXPECT_EQ(GetScreenDepth(), GetDisplayBitsPerPixel() == 24 ? 32 : GetDisplayBitsPerPixel());
    for (auto [value, advanced] : {std::pair{"no", false}, {"NO", false}, {"0", true}, {"Yes", true}}) {
        std::ofstream(IniPath(), std::ios::binary) << "[user]\r\nadvancedUser=" << value << "\r\n";
        LoadUserPreferences();
        EXPECT_EQ(IsAdvancedUser(), advanced) << value;
    }
}

TEST_F(PreferencesWinTest, LongPathsReadBackWholeAndSlotsStay) {
    const std::string path = "C:\\" + std::string(195, 'p') + "\\x";  // 200 characters
    const std::string scratch(PathOf(*GetFileSpec(kSlotScratch)));
    ASSERT_TRUE(WritePrefString("user", "SaveStackPath", path.c_str()));
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotScratch))), scratch) << "the scratch slot is the caller's";
    char value[kPrefValueSize];
    EXPECT_EQ(ReadPrefString("user", "SaveStackPath", value, sizeof value), 200);
    EXPECT_EQ(value, path);
    EXPECT_EQ(IniBytes(), "[user]\r\nSaveStackPath=" + path + "\r\n");
    ASSERT_TRUE(WritePrefString("user", "SaveStackPath", nullptr));
    EXPECT_EQ(ReadPrefString("user", "SaveStackPath", value, sizeof value), 3);
    EXPECT_STREQ(value, "Bad");
}

TEST_F(PreferencesWinTest, PlugInFolderFromTheFileOrBesideTheProgram) {
    WritePrefString("user", "PlugInPath", "D:\\Filters");
    SetAdvancedUser(true);
    EXPECT_EQ(ReadPlugInPath(kSlotProgram, kStringPlugInFolder, kSlotFilterFolder), 0);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotFilterFolder))), "D:\\Filters\\");
    SetAdvancedUser(false);  // a novice's folder is the program's own
    EXPECT_EQ(ReadPlugInPath(kSlotProgram, kStringPlugInFolder, kSlotFilterFolder), 0);
    EXPECT_EQ(std::string(PathOf(*GetFileSpec(kSlotFilterFolder))), folder_ + "\\Plugins\\");
    EXPECT_EQ(std::string(NameOf(*GetFileSpec(kSlotFilterFolder))), "Plugins\\");
    EXPECT_EQ(ReadPlugInPath(kSlotProgram, 9999, kSlotFilterFolder), -1) << "no such string";
}

TEST_F(PreferencesWinTest, OkWritesTheExperiencedUserIntoTheFile) {
    for (bool advanced : {true, false}) {
        SetAdvancedUser(advanced);
        SetScreenDepth(advanced ? 8 : 16);
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("PREFERENCES"), [&](DialogView& d) {
            EXPECT_EQ(d.IsChecked(51), advanced);
            EXPECT_EQ(d.IsEnabled(58), !advanced) << "high compression needs more than 8 bits";
            EXPECT_EQ(d.FocusId(), 50);
            d.SetChecked(51, !advanced);
            d.Press(IDOK);
        });
        EXPECT_EQ(driver.Run([&] { return EditPreferences(header_); }), IDOK);
        EXPECT_EQ(IniBytes(), std::string("[user]\r\nAdvancedUser=") + (advanced ? "No" : "Yes") + "\r\n");
        EXPECT_EQ(Header(kHeaderExperiencedUser), advanced ? 0 : 1);
        EXPECT_EQ(IsAdvancedUser(), !advanced);
    }
}

TEST_F(PreferencesWinTest, MismatchedPasswordsKeepTheDialogOpen) {
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("PREFERENCES"), [](DialogView& d) {
        d.SetText(50, "secret");
        d.SetText(49, "secrex");
        d.Press(IDOK);
    });
    driver.Expect(DialogMatch::Alert(kAlertPasswordsDiffer), [](DialogView& box) { box.Press(52); });
    driver.Expect(DialogMatch::Template("PREFERENCES"), [](DialogView& d) {
        EXPECT_EQ(d.Text(50), "secret");
        d.SetText(49, "secret");
        d.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditPreferences(header_); }), IDOK);
    EXPECT_EQ(Password(), "secret");
}

TEST_F(PreferencesWinTest, LockedStackOpensOnlyToItsPassword) {
    SetHeader(kHeaderLocked, 1);
    SetPassword("open sesame");
    auto expectShut = [](DialogView& d, bool shut) {
        for (int id = 52; id <= 57; ++id)
            EXPECT_EQ(d.IsEnabled(id), !shut) << "box " << id;
        EXPECT_EQ(d.IsVisible(48), !shut);
        EXPECT_EQ(d.IsVisible(49), !shut);
    };
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("PREFERENCES"), [&](DialogView& d) {
        expectShut(d, true);
        EXPECT_EQ(d.Text(50), "");
        for (const char* wrong : {"open sesam", "open sesame!", "OPEN SESAME"}) {
            d.SetText(50, wrong);
            expectShut(d, true);
        }
        d.SetText(50, "open sesame");
        expectShut(d, false);
        EXPECT_EQ(d.Text(49), "open sesame");
        d.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return EditPreferences(header_); }), IDCANCEL);
    // Opened again, it is shut again; OK without the password keeps the password.
    driver.Expect(DialogMatch::Template("PREFERENCES"), [&](DialogView& d) {
        expectShut(d, true);
        d.SetText(50, "guess");
        d.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditPreferences(header_); }), IDOK);
    EXPECT_EQ(Password(), "open sesame");
    EXPECT_EQ(Header(kHeaderLocked), 1);
}

TEST_F(PreferencesWinTest, PresentationModeThroughBothDialogs) {
    // Unchecking presentation mode ends it and brings the title bar back.
    SetHeader(kHeaderPresentationMode, kPresentationColor);
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("PREFERENCES"), [](DialogView& d) {
        EXPECT_TRUE(d.IsChecked(57));
        d.SetChecked(57, false);
        d.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditPreferences(header_); }), IDOK);
    EXPECT_EQ(Header(kHeaderPresentationMode), 0);
    EXPECT_EQ(Header(kHeaderPresentation54), kPresentationShowTitle);
    EXPECT_EQ(CurrentPresentation().mode, kPresentationOff);

    // Checking it asks for the options; a cell of the grid clicked becomes the colour.
    WriteProfileStringA("Desktop", "Wallpaper", "");
    driver.Expect(DialogMatch::Template("PREFERENCES"), [](DialogView& d) {
        SendDlgItemMessageA(d.Window(), 57, BM_SETCHECK, BST_CHECKED, 0);
        d.Press(57);
    });
    driver.Expect(DialogMatch::Template("POPTIONS"), [](DialogView& o) {
        EXPECT_TRUE(o.IsChecked(52)) << "no wallpaper to choose";
        EXPECT_FALSE(o.IsEnabled(51));
        const RECT grid = o.ControlRect(53);
        EXPECT_EQ(grid.right - grid.left, 64);
        PostMessageA(o.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grid.left + 3, grid.top + 12));
        o.SetChecked(54, false);
        o.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("PREFERENCES"), [](DialogView& d) {
        EXPECT_TRUE(d.IsChecked(57));
        d.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditPreferences(header_); }), IDOK);
    EXPECT_EQ(Header(kHeaderPresentationMode), kPresentationColor);
    EXPECT_EQ(Header(kHeaderPresentation54), 0);
    EXPECT_EQ(Header(kHeaderPresentation50), GridCellToPaletteIndex(8, 8) + 1) << "row 1, column 0";

    // Mode 3 without a wallpaper shows the colour; mode 1 has its own button; Cancel keeps all.
    for (auto [mode, radio] : {std::pair{kPresentationWallpaper, 52}, {kPresentationPlain, 50}}) {
        Presentation p{mode, 1, 4};
        driver.Expect(DialogMatch::Template("POPTIONS"), [radio = radio](DialogView& o) {
            for (int id = 50; id <= 52; ++id)
                EXPECT_EQ(o.IsChecked(id), id == radio) << "radio " << id;
            EXPECT_FALSE(o.IsEnabled(51));
            o.Press(IDCANCEL);
        });
        EXPECT_EQ(driver.Run([&] { return EditPresentationOptions(nullptr, &p); }), IDCANCEL);
        EXPECT_EQ(p.mode, mode);
    }

    // A wallpaper that goes while the dialog is open takes its choice along.
    WriteProfileStringA("Desktop", "Wallpaper", "C:\\windows\\tiles.bmp");
    Presentation p{kPresentationWallpaper, 1, 4};
    driver.Expect(DialogMatch::Template("POPTIONS"), [](DialogView& o) {
        EXPECT_TRUE(o.IsChecked(51));
        EXPECT_TRUE(o.IsEnabled(51));
        WriteProfileStringA("Desktop", "Wallpaper", "(None)");
        SendMessageA(o.Window(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Desktop"));
        EXPECT_FALSE(o.IsEnabled(51));
        o.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditPresentationOptions(nullptr, &p); }), IDOK);
    EXPECT_EQ(p.mode, kPresentationColor);
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

TEST_F(PreferencesWinTest, OnlyAFrameOfOurOwnMoves) {
    // The plug-in's card window is the browser's: presentation mode leaves it where it is.
    HWND card = CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE, 30, 40, 320, 200, nullptr, nullptr, nullptr,
                              nullptr);
    SetMainWindow(card);
    const RECT before = WindowRect(card);
    ApplyScreenMode(&CurrentPresentation(), {kPresentationColor, 0, 7});
    FitFrameToCard();
    const RECT after = WindowRect(card);
    EXPECT_TRUE(EqualRect(&before, &after));
    EXPECT_EQ(CurrentPresentation().mode, kPresentationColor);
    EXPECT_EQ(CurrentPresentation().color, 7);
    DestroyWindow(card);

    // A frame of the program's own covers the screen around the card, then fits it again.
    HWND frame = CreateWindowA("STATIC", "", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                               nullptr, nullptr);
    card = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 320, 200, frame, nullptr, nullptr, nullptr);
    SetFrameWindow(frame);
    SetMainWindow(card);
    CurrentPresentation() = Presentation{};
    ApplyScreenMode(&CurrentPresentation(), {kPresentationColor, kPresentationShowTitle, 7});
    const RECT covered = WindowRect(frame);
    EXPECT_TRUE(covered.left <= 0 && covered.top <= 0 && covered.right >= GetSystemMetrics(SM_CXSCREEN) &&
                covered.bottom >= GetSystemMetrics(SM_CYSCREEN));
    RECT client{}, inFrame = WindowRect(card);
    GetClientRect(frame, &client);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&inFrame), 2);
    EXPECT_LE(std::abs(inFrame.left - (client.right - inFrame.right)), 1) << "card centred";
    EXPECT_LE(std::abs(inFrame.top - (client.bottom - inFrame.bottom)), 1);

    ApplyScreenMode(&CurrentPresentation(), Presentation{});
    GetClientRect(frame, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_EQ(WindowRect(card).left, WindowRect(frame).left + GetSystemMetrics(SM_CXDLGFRAME));
    DestroyWindow(frame);
}

int CountItems(HMENU menu, UINT id) {
    int n = 0;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (GetMenuItemID(menu, i) == id)
            ++n;
        if (HMENU sub = GetSubMenu(menu, i))
            n += CountItems(sub, id);
    }
    return n;
}

TEST_F(PreferencesWinTest, MenuBarFollowsTheLock) {
    HWND frame = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, CreateMenu(), nullptr,
                               nullptr);
    SetMenuLocked(frame, true);
    HMENU menu = GetMenu(frame);
    EXPECT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_EQ(CountItems(menu, 104), 0) << "no Import Background while locked";
    EXPECT_EQ(CountItems(menu, 652), 1);
    SetMenuLocked(frame, false);
    menu = GetMenu(frame);
    EXPECT_EQ(GetMenuItemCount(menu), 11);
    EXPECT_EQ(CountItems(menu, 104), 1);
    EXPECT_EQ(CountItems(menu, 250) + CountItems(menu, 400), 0) << "the palettes stand on their own";
    DestroyWindow(frame);

    frame = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
    SetMenuLocked(frame, true);
    EXPECT_EQ(GetMenu(frame), nullptr) << "a frame without a menu gets none";
    DestroyWindow(frame);
}

}  // namespace
