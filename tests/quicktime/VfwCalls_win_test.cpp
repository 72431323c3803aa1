// The calls by name: a function the module has is called with what was given; one it lacks,
// or one that answers an error, gives the empty answer.
#include "quicktime/VfwCalls.h"

#include <gtest/gtest.h>

namespace {

TEST(VfwCalls, CalledWhenPresentRefusedWhenMissingOrFailing) {
    HMODULE vfw = LoadLibraryA("msvfw32.dll");
    HMODULE acm = LoadLibraryA("msacm32.dll");
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(vfw, nullptr);
    ASSERT_NE(acm, nullptr);

    HWND parent = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 150, nullptr, nullptr, nullptr, nullptr);
    HWND movie = CallMCIWndCreate(vfw, parent, GetModuleHandleA(nullptr), WS_CHILD | 0x4108, nullptr);
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(GetParent(movie), parent);
    EXPECT_EQ(CallMCIWndCreate(kernel, parent, nullptr, WS_CHILD, nullptr), nullptr);
    EXPECT_EQ(CallMCIWndCreate(nullptr, parent, nullptr, WS_CHILD, nullptr), nullptr);
    DestroyWindow(parent);

    DWORD drivers = 0xDEADBEEF;
    EXPECT_EQ(CallAcmMetrics(acm, nullptr, 1 /* ACM_METRIC_COUNT_DRIVERS */, &drivers), 1);
    EXPECT_NE(drivers, 0xDEADBEEFu);
    EXPECT_EQ(CallAcmMetrics(acm, nullptr, 0xFFFF, &drivers), 0) << "a metric it does not know";
    EXPECT_EQ(CallAcmMetrics(kernel, nullptr, 1, &drivers), 0);
    DWORD chooser[64] = {};  // cbStruct 0: refused without a dialog
    EXPECT_EQ(CallAcmFormatChoose(acm, chooser), 0);
    EXPECT_EQ(CallAcmFormatChoose(kernel, chooser), 0);
    FreeLibrary(acm);
    FreeLibrary(vfw);
}

}  // namespace
