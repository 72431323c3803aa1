// The QuickTime binding over a library of the test's making: the stand-in's dispatcher, or
// one with an entry point missing or a start that fails. What was loaded and freed is recorded.
#include "quicktime/QuickTime.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "quicktime/dll/QtStandIn.h"

namespace {

struct FakeLibrary {
    bool exists = true;
    bool hasDispatcher = true;
    bool failStart = false;
    int loads = 0;
    int frees = 0;
    std::vector<uint32_t> selectors;
} g_lib;

int g_token;

extern "C" intptr_t RecordingDispatcher(uint32_t selector, const QtWord* args) {
    g_lib.selectors.push_back(selector);
    if (selector == kQtSelInitializeQTML && g_lib.failStart)
        return -108;
    return StandInDispatch(selector, args);
}
extern "C" intptr_t Component(void* storage, const void* params, QtWord what) {
    return StandInComponentCall(storage, params, what);
}

void* Load() {
    ++g_lib.loads;
    return g_lib.exists ? &g_token : nullptr;
}
void* Resolve(void* library, const char* name) {
    if (library != &g_token)
        return nullptr;
    if (std::strcmp(name, kQtEntryDispatcher) == 0)
        return g_lib.hasDispatcher ? reinterpret_cast<void*>(RecordingDispatcher) : nullptr;
    if (std::strcmp(name, kQtEntryComponent) == 0 || std::strcmp(name, kQtEntryStorage) == 0)
        return reinterpret_cast<void*>(Component);
    return nullptr;
}
void Release(void* library) {
    if (library == &g_token)
        ++g_lib.frees;
}

class QtBindingTest : public ::testing::Test {
protected:
    QtLibraryOps saved = GetQtLibraryOps();
    void SetUp() override {
        while (QTBindCount() > 0)
            QTRelease();
        g_lib = {};
        SetQtLibraryOps({Load, Resolve, Release});
    }
    void TearDown() override {
        while (QTBindCount() > 0)
            QTRelease();
        SetQtLibraryOps(saved);
    }
};

TEST_F(QtBindingTest, CountsBindingsAndTerminatesOnTheLastRelease) {
    int32_t version = 1;
    EXPECT_EQ(Gestalt(kGestaltQuickTime, &version), kQtNotBound) << "unbound calls go to the error entry";
    EXPECT_EQ(version, 1) << "and touch nothing";

    EXPECT_EQ(QTBind(0), kQtNoErr);
    EXPECT_TRUE(StandInInitialized());
    EXPECT_EQ(QTBind(0), kQtNoErr);
    EXPECT_EQ(g_lib.loads, 1) << "the second bind only counts";
    EXPECT_EQ(QTBindCount(), 2);

    ASSERT_EQ(Gestalt(kGestaltQuickTime, &version), kQtNoErr);
    EXPECT_GE(static_cast<uint32_t>(version) >> 16, 0x0300u) << "a 3.x version";
    EXPECT_LT(static_cast<uint32_t>(version) >> 16, 0x0400u);
    EXPECT_EQ(Gestalt(0x12345678, &version), kQtGestaltUndefined);
    EXPECT_EQ(EnterMovies(), kQtNoErr);
    EXPECT_TRUE(StandInMoviesEntered());
    EXPECT_EQ(QtCall(0x7FFF0001, {1, 2}), kQtUnimplemented);

    QTRelease();
    EXPECT_TRUE(IsQTBound()) << "one release of two keeps it bound";
    EXPECT_EQ(g_lib.frees, 0);
    QTRelease();
    EXPECT_FALSE(IsQTBound());
    EXPECT_EQ(g_lib.frees, 1);
    EXPECT_FALSE(StandInInitialized()) << "terminated before it was freed";
    EXPECT_EQ(g_lib.selectors.back(), kQtSelTerminateQTML);
    EXPECT_EQ(EnterMovies(), kQtNotBound) << "the error entries are back";

    // Bound again after the last release: loaded afresh.
    EXPECT_EQ(QTBind(0), kQtNoErr);
    EXPECT_EQ(g_lib.loads, 2);
}

TEST_F(QtBindingTest, RefusalsLeaveNothingLoaded) {
    const struct {
        const char* what;
        bool exists, hasDispatcher, failStart;
        QtErr expected;
        int frees;
    } cases[] = {
        {"no library", false, true, false, kQtCannotLoad, 0},
        {"no dispatcher", true, false, false, kQtMissingEntry, 1},
        {"start fails", true, true, true, -108, 1},
    };
    for (const auto& c : cases) {
        g_lib = {};
        g_lib.exists = c.exists;
        g_lib.hasDispatcher = c.hasDispatcher;
        g_lib.failStart = c.failStart;
        EXPECT_EQ(QTBind(0), c.expected) << c.what;
        EXPECT_EQ(g_lib.frees, c.frees) << c.what;
        EXPECT_FALSE(IsQTBound()) << c.what;
        EXPECT_EQ(QTBindCount(), 0) << c.what;
        int32_t version = 0;
        EXPECT_EQ(Gestalt(kGestaltQuickTime, &version), kQtNotBound) << c.what;
    }
}

}  // namespace
