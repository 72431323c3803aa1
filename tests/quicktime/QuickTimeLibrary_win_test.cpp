// The stand-in library as the plug-in finds it: "QuickTime.qts" beside the program, bound and
// released through the binding, and absent when the environment says so.
#include <windows.h>

#include <gtest/gtest.h>

#include "quicktime/QuickTime.h"

namespace {

TEST(QuickTimeLibrary, BindsTheStandInAndFreesItOnRelease) {
    ASSERT_EQ(GetModuleHandleA(kQtLibraryName), nullptr);
    ASSERT_EQ(QTBind(0), kQtNoErr);
    EXPECT_NE(GetModuleHandleA(kQtLibraryName), nullptr);
    int32_t version = 0;
    ASSERT_EQ(Gestalt(kGestaltQuickTime, &version), kQtNoErr);
    EXPECT_EQ(static_cast<uint32_t>(version) >> 24, 3u) << std::hex << version;
    EXPECT_EQ(EnterMovies(), kQtNoErr);
    ExitMovies();
    QTRelease();
    EXPECT_EQ(GetModuleHandleA(kQtLibraryName), nullptr) << "the last release frees the library";
}

TEST(QuickTimeLibrary, AbsentWhenTheEnvironmentSaysSo) {
    ASSERT_TRUE(SetEnvironmentVariableA("LOOM_QUICKTIME", "absent"));
    const QtErr err = QTBind(0);
    SetEnvironmentVariableA("LOOM_QUICKTIME", nullptr);
    EXPECT_EQ(err, kQtCannotLoad);
    EXPECT_FALSE(IsQTBound());
    EXPECT_EQ(GetModuleHandleA(kQtLibraryName), nullptr);
    ASSERT_EQ(QTBind(0), kQtNoErr) << "present again once the switch is gone";
    QTRelease();
}

}  // namespace
