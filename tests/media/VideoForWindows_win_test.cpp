// Loading Video for Windows: a version below 1.10 counts as missing and keeps nothing; from
// 1.10 on both libraries are kept and AVIFileInit runs once however often loading is asked.
// Which movie files it plays instead of QuickTime.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "media/MediaManager.h"
#include "tests/support/TestMovieFiles_win.h"

namespace {

TEST(VideoForWindows, OlderThanOneTenIsMissingAndTheFileLibraryStartsOnce) {
    UnloadVideoForWindows(kMediaVideoForWindows);
    const bool vfwBefore = GetModuleHandleA("msvfw32.dll") != nullptr;
    const bool aviBefore = GetModuleHandleA("avifil32.dll") != nullptr;
    const int calls = AviFileInitCalls();

    SetVideoForWindowsVersionAnswer(0x01090000);
    EXPECT_EQ(LoadVideoForWindows(), 0);
    EXPECT_EQ(AviFileInitCalls(), calls);
    if (!vfwBefore) {
        EXPECT_EQ(GetModuleHandleA("msvfw32.dll"), nullptr) << "nothing kept";
    }
    if (!aviBefore) {
        EXPECT_EQ(GetModuleHandleA("avifil32.dll"), nullptr);
    }
    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    const uint32_t flags = InitMediaServices(window, GetModuleHandleA(nullptr));
    EXPECT_EQ(flags & kMediaVideoForWindows, 0u);
    EXPECT_EQ(GetMediaFlags() & kMediaVideoForWindows, 0u);
    MediaManagerDestroy();

    SetVideoForWindowsVersionAnswer(0x010A0000);
    EXPECT_EQ(LoadVideoForWindows(), 1);
    EXPECT_NE(GetModuleHandleA("msvfw32.dll"), nullptr);
    EXPECT_NE(GetModuleHandleA("avifil32.dll"), nullptr);
    EXPECT_EQ(LoadVideoForWindows(), 1);
    EXPECT_EQ(AviFileInitCalls(), calls + 1) << "loaded and started once";
    EXPECT_EQ(UnloadVideoForWindows(kMediaVideoForWindows | kMediaManagerMade), kMediaManagerMade);
    if (!aviBefore) {
        EXPECT_EQ(GetModuleHandleA("avifil32.dll"), nullptr) << "unloading frees what loading kept";
    }
    EXPECT_EQ(UnloadVideoForWindows(kMediaManagerMade), kMediaManagerMade) << "without the bit: unchanged";
    SetVideoForWindowsVersionAnswer(0);
    DestroyWindow(window);
}

TEST(VideoForWindows, PlaysMpegAlwaysAndAviOnlyWithAnIndeoStreamWhileLoaded) {
    UnloadVideoForWindows(kMediaVideoForWindows);
    const std::string rle = WriteTemp("loom_vfw_rle.avi", RleAvi());
    Bytes bytes = RleAvi();
    const auto handler = std::search(bytes.begin(), bytes.end(), "mrle", "mrle" + 4);
    ASSERT_NE(handler, bytes.end());
    std::memcpy(&*handler, "iv32", 4);
    const std::string indeo = WriteTemp("loom_vfw_iv32.avi", bytes);

    EXPECT_TRUE(IsAVIFile("C:\\nowhere\\clip.mpg")) << "by its name alone";
    EXPECT_TRUE(IsAVIFile("C:\\nowhere\\CLIP.MPEG"));
    EXPECT_FALSE(IsAVIFile("C:\\nowhere\\clip.mov"));
    EXPECT_FALSE(IsAVIFile(nullptr));
    EXPECT_FALSE(IsAVIFile(indeo.c_str())) << "Video for Windows is not loaded";

    ASSERT_EQ(LoadVideoForWindows(), 1);
    EXPECT_TRUE(IsAVIFile(indeo.c_str()));
    EXPECT_FALSE(IsAVIFile(rle.c_str())) << "another codec plays through QuickTime";
    EXPECT_FALSE(IsAVIFile(TempPath("loom_vfw_missing.avi").c_str()));
    UnloadVideoForWindows(kMediaVideoForWindows);
}

}  // namespace
