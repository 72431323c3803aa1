// The Video Digitizer over the test capture library (tools/avicap): the driver list, the frame
// grab into a BMP file, and how the live picture is placed in the picture area.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "core/system/PluginModule.h"
#include "media/MediaManager.h"
#include "media/capture/Capture.h"
#include "tests/support/DialogDriver_win.h"

namespace {

constexpr int kPictureArea = 1008, kFreeze = 1011;

class Capture : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppInstance(GetModuleHandleA(nullptr));
        SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", "1");
    }
    void TearDown() override {
        CloseCaptureWindow();
        SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", nullptr);
        SetEnvironmentVariableA("LOOM_CAPTURE_SIZE", nullptr);
    }
};

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

// The capture window inside the dialog and the picture area, in the dialog's client coordinates.
void Placement(HWND dialog, RECT* window, RECT* area) {
    HWND capture = FindWindowExA(dialog, nullptr, "LoomCaptureStandIn", nullptr);
    ASSERT_NE(capture, nullptr);
    GetWindowRect(capture, window);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(window), 2);
    HWND frame = GetDlgItem(dialog, kPictureArea);
    GetClientRect(frame, area);
    MapWindowPoints(frame, dialog, reinterpret_cast<POINT*>(area), 2);
}

TEST_F(Capture, NoDriverListedMeansNoCapture) {
    SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", nullptr);
    EXPECT_FALSE(HaveCaptureDriver());
    std::string description = "poison";
    EXPECT_FALSE(CaptureDriverDescription(0, &description));
    EXPECT_EQ(description, "poison");
    RECT r{0, 0, 50, 50};
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(CreateConnectedCaptureWindow("LMCapture", WS_CHILD, r, parent, 50), nullptr);
    // The media services see no capture driver, and with one listed they do.
    EXPECT_EQ(InitMediaServices(parent, GetModuleHandleA(nullptr)) & kMediaCaptureDriver, 0u);
    MediaManagerDestroy();
    SetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", "1");
    EXPECT_EQ(InitMediaServices(parent, GetModuleHandleA(nullptr)) & kMediaCaptureDriver, kMediaCaptureDriver);
    MediaManagerDestroy();
    DestroyWindow(parent);
}

TEST_F(Capture, FreezeThenEscapeKeepsTheFrozenTestPicture) {
    ASSERT_TRUE(HaveCaptureDriver());
    DialogDriver driver;
    RECT window{}, area{};
    driver.Expect(DialogMatch::Template("VIDEOCAPTURE"), [&](DialogView& box) {
        Placement(box.Window(), &window, &area);
        EXPECT_EQ(box.Text(kFreeze), "Freeze");
        box.Press(kFreeze);
    });
    driver.Expect(DialogMatch::Template("VIDEOCAPTURE"), [](DialogView& box) {
        EXPECT_EQ(box.Text(kFreeze), "Play");
        PostMessageA(box.Window(), WM_COMMAND, IDCANCEL, 0);  // Esc
    });
    EXPECT_EQ(driver.Run([] { return RunVideoCaptureDialog(nullptr); }), 1);
    EXPECT_EQ(SharedCaptureWindow(), nullptr);

    // A 160 by 120 source fits: shown at its size, centred in the area.
    EXPECT_EQ(window.right - window.left, 160);
    EXPECT_EQ(window.bottom - window.top, 120);
    EXPECT_LE(std::abs((window.left - area.left) - (area.right - window.right)), 1);
    EXPECT_LE(std::abs((window.top - area.top) - (area.bottom - window.bottom)), 1);

    const std::string path = CaptureFramePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 4), ".BMP");
    EXPECT_EQ(GetFileAttributesA((path.substr(0, path.size() - 4) + ".tmp").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the temporary file that gave the name is gone";
    const std::vector<uint8_t> bmp = ReadFile(path);
    ASSERT_GT(bmp.size(), 54u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(U32(bmp, 18), 160u);
    EXPECT_EQ(U32(bmp, 22), 120u);
    EXPECT_EQ(bmp[28], 24);
    // Bottom-up rows: the top row is last. The bars, left to right: white, yellow, ... red at 5.
    const size_t stride = 160 * 3, top = U32(bmp, 10) + 119 * stride;
    ASSERT_GE(bmp.size(), top + stride);
    auto pixel = [&](int x) { return std::vector<int>{bmp[top + x * 3 + 2], bmp[top + x * 3 + 1], bmp[top + x * 3]}; };
    EXPECT_EQ(pixel(5), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(pixel(25), (std::vector<int>{255, 255, 0}));
    EXPECT_EQ(pixel(105), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(pixel(155), (std::vector<int>{0, 0, 0}));
    DeleteFileA(path.c_str());
}

void PutClipboardText(const std::string& text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

std::string ClipboardText() {
    std::string text;
    if (!OpenClipboard(nullptr))
        return "(clipboard busy)";
    if (HANDLE block = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(block));
        GlobalUnlock(block);
    }
    CloseClipboard();
    return text;
}

// The capture window is given the card's palette without the clipboard: the user's text is still
// there after the Video Digitizer opened and after live video (palette mode 1) was shown.
TEST_F(Capture, TheUsersClipboardSurvivesTheDigitizerAndLiveVideo) {
    const std::string kept = "the user's words " + std::to_string(GetTickCount());
    PutClipboardText(kept);
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("VIDEOCAPTURE"), [](DialogView& box) {
        PostMessageA(box.Window(), WM_COMMAND, IDCANCEL, 0);
    });
    driver.Run([] { return RunVideoCaptureDialog(nullptr); });
    EXPECT_EQ(ClipboardText(), kept) << "after the Video Digitizer";
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(OpenCaptureWindow(parent, RECT{0, 0, 160, 120}, 1));
    EXPECT_EQ(ClipboardText(), kept) << "after live video";
    CloseCaptureWindow();
    DestroyWindow(parent);
}

TEST_F(Capture, ALargeSourceIsScaledIntoTheArea) {
    SetEnvironmentVariableA("LOOM_CAPTURE_SIZE", "640x480");
    DialogDriver driver;
    RECT window{}, area{};
    driver.Expect(DialogMatch::Template("VIDEOCAPTURE"), [&](DialogView& box) {
        Placement(box.Window(), &window, &area);
        PostMessageA(box.Window(), WM_COMMAND, IDCANCEL, 0);  // Esc
    });
    EXPECT_EQ(driver.Run([] { return RunVideoCaptureDialog(nullptr); }), 0);
    EXPECT_TRUE(EqualRect(&window, &area));
}

}  // namespace
