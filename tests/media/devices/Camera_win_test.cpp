// Cameras through our camera libraries (tools/camera): which family is used, the port order,
// the thumbnail chooser, the full picture through WOW32 handles, and each alert.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "core/system/PluginModule.h"
#include "media/MediaManager.h"
#include "media/devices/Camera.h"
#include "resources/video_ids.h"
#include "tests/support/DialogDriver_win.h"

namespace {

class Camera : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InitMemRefs());
        SetAppInstance(GetModuleHandleA(nullptr));
        card_ = CreateWindowA("STATIC", "card", WS_POPUP | WS_VISIBLE, 0, 0, 200, 150, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override {
        for (const char* name : {"LOOM_CAMERA", "LOOM_CAMERA_PORT", "LOOM_CAMERA_PICTURES", "LOOM_CAMERA_FAIL"})
            SetEnvironmentVariableA(name, nullptr);
        IsCameraAvailable(card_);  // nothing present: every library freed
        DestroyWindow(card_);
    }
    static std::string Log(const char* library) {
        using LogProc = const char*(WINAPI*)();
        HMODULE module = GetModuleHandleA(library);
        auto log = module ? reinterpret_cast<LogProc>(reinterpret_cast<void*>(GetProcAddress(module, "LoomCameraLog")))
                          : nullptr;
        return log ? log() : "(not loaded)";
    }
    HWND card_ = nullptr;
};

// The stand-in's picture n: at (x, y) from the top, red n * 48, green x * 8, blue y * 8.
void ExpectPicture(DibHandle dib, int picture) {
    ASSERT_NE(dib, 0);
    LockedDib locked(dib);
    ASSERT_TRUE(locked);
    EXPECT_EQ(locked.layout().width, 40);
    EXPECT_EQ(locked.layout().height, 30);
    EXPECT_EQ(locked.layout().depth, 24);
    const std::span<uint8_t> top = locked.row(29);  // bottom-up
    EXPECT_EQ(top[3 * 7], 0);                       // blue at y 0
    EXPECT_EQ(top[3 * 7 + 1], 56);                  // green at x 7
    EXPECT_EQ(top[3 * 7 + 2], picture * 48 & 0xF8);
    EXPECT_EQ(locked.row(0)[2 * 3], 29 * 8 & 0xF8);  // blue at y 29
    DisposeHandle(dib);
}

// Clicks the cell of a picture in the chooser.
void ClickPicture(DialogView& box, int index, int columns) {
    const RECT area = box.ControlRect(IDC_CAMERA_AREA);
    const int cellWidth = 16 + 8, cellHeight = 12 + 8;
    const int x = area.left + (index % columns) * cellWidth + 10, y = area.top + (index / columns) * cellHeight + 10;
    SendMessageA(box.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

}  // namespace

TEST_F(Camera, WithoutLibrariesThereIsNoCameraAndNoMediaFlag) {
    EXPECT_FALSE(IsCameraAvailable(card_));
    EXPECT_EQ(InitMediaServices(card_, GetModuleHandleA(nullptr)) & kMediaCamera, 0u);
    MediaManagerDestroy();
    SetEnvironmentVariableA("LOOM_CAMERA", "A");
    EXPECT_EQ(InitMediaServices(card_, GetModuleHandleA(nullptr)) & kMediaCamera, kMediaCamera);
    MediaManagerDestroy();
}

TEST_F(Camera, FamilyAOnPortThreeAfterTwoAndOneGivesTheChosenPicture) {
    SetEnvironmentVariableA("LOOM_CAMERA", "AB");
    SetEnvironmentVariableA("LOOM_CAMERA_PORT", "3");
    ASSERT_TRUE(IsCameraAvailable(card_));
    EXPECT_EQ(GetModuleHandleA("lmkdc32.dll"), nullptr) << "with the first family present the second is never loaded";
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("CAMERADLG"), [](DialogView& box) {
        ClickPicture(box, 1, 1000);  // the second cell of the first row
        box.Press(IDOK);
    });
    DibHandle dib = 0;
    EXPECT_EQ(driver.Run([&] { return ImportCameraPicture(card_, &dib); }), 0);
    ExpectPicture(dib, 2);
    EXPECT_EQ(Log("lmqtcd32.dll"), "close port2 port1 port3 connected3 thumb1 thumb2 thumb3 full2 close ");
}

TEST_F(Camera, FamilyBGivesThePictureToo) {
    SetEnvironmentVariableA("LOOM_CAMERA", "B");
    SetEnvironmentVariableA("LOOM_CAMERA_PORT", "4");
    ASSERT_TRUE(IsCameraAvailable(card_));
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("CAMERADLG"), [](DialogView& box) { box.Press(IDOK); });
    DibHandle dib = 0;
    EXPECT_EQ(driver.Run([&] { return ImportCameraPicture(card_, &dib); }), 0);
    ExpectPicture(dib, 1);
    EXPECT_EQ(Log("lmkdc32.dll"), "port2 port1 port3 port4 thumb1 thumb2 thumb3 info1 full1 ");
}

TEST_F(Camera, AlertsForNoPicturesNoPortAndAFailedFetchButNotForCancel) {
    SetEnvironmentVariableA("LOOM_CAMERA", "A");
    ASSERT_TRUE(IsCameraAvailable(card_));
    auto expectAlert = [&](int alert) {
        DialogDriver driver(10000);
        if (alert == kAlertCameraPictureFailed)
            driver.Expect(DialogMatch::Template("CAMERADLG"), [](DialogView& box) { box.Press(IDOK); });
        driver.Expect(DialogMatch::Alert(alert), [](DialogView& box) { box.Press(52); });
        DibHandle dib = 0;
        EXPECT_EQ(driver.Run([&] { return ImportCameraPicture(card_, &dib); }), -1) << alert;
        EXPECT_EQ(dib, 0);
    };
    SetEnvironmentVariableA("LOOM_CAMERA_PICTURES", "0");
    expectAlert(kAlertNoCameraPictures);
    SetEnvironmentVariableA("LOOM_CAMERA_PICTURES", nullptr);
    SetEnvironmentVariableA("LOOM_CAMERA_PORT", "none");
    expectAlert(kAlertCameraNotConnected);
    SetEnvironmentVariableA("LOOM_CAMERA_PORT", nullptr);
    SetEnvironmentVariableA("LOOM_CAMERA_FAIL", "fetch");
    expectAlert(kAlertCameraPictureFailed);
    // A buffer smaller than the picture's sizes: no picture rather than a read past its end.
    SetEnvironmentVariableA("LOOM_CAMERA_FAIL", "short");
    expectAlert(kAlertCameraPictureFailed);
    SetEnvironmentVariableA("LOOM_CAMERA_FAIL", nullptr);

    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("CAMERADLG"), [](DialogView& box) { box.Press(IDCANCEL); });
    DibHandle dib = 0;
    EXPECT_EQ(driver.Run([&] { return ImportCameraPicture(card_, &dib); }), -1);
    EXPECT_EQ(driver.DialogsSeen(), 1) << "no alert after Cancel";
}

TEST_F(Camera, FortyPicturesShowThirtyTwoThumbnails) {
    SetEnvironmentVariableA("LOOM_CAMERA", "A");
    SetEnvironmentVariableA("LOOM_CAMERA_PICTURES", "40");
    ASSERT_TRUE(IsCameraAvailable(card_));
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("CAMERADLG"), [](DialogView& box) {
        // The picture area and its scroll bar lie inside the dialog, clear of OK and Cancel.
        const RECT area = box.ControlRect(51), scroll = box.ControlRect(50);
        const SIZE client = box.ClientSize();
        for (const int button : {IDOK, IDCANCEL}) {
            RECT button_ = box.ControlRect(button), overlap{};
            EXPECT_FALSE(IntersectRect(&overlap, &area, &button_)) << "the area over button " << button;
            EXPECT_FALSE(IntersectRect(&overlap, &scroll, &button_)) << "the scroll bar over button " << button;
            EXPECT_LE(button_.bottom, client.cy);
        }
        EXPECT_LE(scroll.right, client.cx);
        box.Press(IDCANCEL);
    });
    DibHandle dib = 0;
    driver.Run([&] { return ImportCameraPicture(card_, &dib); });
    const std::string log = Log("lmqtcd32.dll");
    EXPECT_NE(log.find("thumb32 "), std::string::npos) << log;
    EXPECT_EQ(log.find("thumb33 "), std::string::npos) << log;
}
