// The call routines over the binding, answered by the stand-in in-process: each routine's
// arguments reach the row in order, component calls reach their kind with the parameter block
// laid out as the library reads it, and the neutral concerns (handles, regions, files) answer.
#include "quicktime/QtCalls.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "quicktime/QtEffects.h"
#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInFiles.h"
#include "quicktime/dll/QtStandInHandles.h"
#include "quicktime/dll/QtStandInRegions.h"

namespace {

int g_token;

extern "C" intptr_t CallsDispatcher(uint32_t selector, const QtWord* args) { return StandInDispatch(selector, args); }
extern "C" intptr_t CallsComponent(void* storage, const void* params, QtWord what) {
    return StandInComponentCall(storage, params, what);
}
void* Load() { return &g_token; }
void* Resolve(void*, const char* name) {
    if (std::strcmp(name, kQtEntryDispatcher) == 0)
        return reinterpret_cast<void*>(CallsDispatcher);
    return reinterpret_cast<void*>(CallsComponent);
}
void Release(void*) {}

class QtCallsTest : public ::testing::Test {
protected:
    QtLibraryOps saved = GetQtLibraryOps();
    void SetUp() override {
        SetQtLibraryOps({Load, Resolve, Release});
        ASSERT_EQ(QTBind(0), kQtNoErr);
    }
    void TearDown() override {
        QTRelease();
        SetQtLibraryOps(saved);
    }
};

// A component kind of the test's own that records what reached it.
struct Seen {
    int16_t what = 0;
    std::vector<QtWord> params;
    int closes = 0;
} g_seen;
intptr_t RecordCall(void* state, int16_t what, const QtWord* params, int count) {
    g_seen.what = what;
    g_seen.params.assign(params, params + count);
    return reinterpret_cast<intptr_t>(state);
}
void RecordClose(void*) { ++g_seen.closes; }
const StandInComponentKind kRecorder = {QtFourCC("test"), nullptr, RecordCall, RecordClose};

TEST_F(QtCallsTest, ComponentCallsReachTheirKindWithTheBlockInOrder) {
    int state = 0;
    QtComponentInstance instance = StandInNewInstance(&kRecorder, &state);
    ASSERT_NE(instance, nullptr);

    EXPECT_EQ(MCDoAction(instance, kMcActionStep, static_cast<QtWord>(-1)),
              static_cast<int32_t>(reinterpret_cast<intptr_t>(&state)));
    EXPECT_EQ(g_seen.what, kMcSelDoAction);
    EXPECT_EQ(g_seen.params, (std::vector<QtWord>{QtWord(kMcActionStep), QtWord(-1)}));

    QtRect r = {1, 2, 3, 4};
    GraphicsImportSetBoundsRect(instance, &r);
    EXPECT_EQ(g_seen.what, kGiSelSetBoundsRect);
    ASSERT_EQ(g_seen.params.size(), 1u);
    EXPECT_EQ(reinterpret_cast<const QtRect*>(g_seen.params[0]), &r);
    MCIdle(instance);
    EXPECT_EQ(g_seen.what, kMcSelIdle);
    EXPECT_TRUE(g_seen.params.empty());

    // The block as the library reads it: flags, byte count, selector, parameters, instance.
    QtComponentParams block = {};
    block.paramSize = 2 * sizeof(QtWord);
    block.what = kMcSelSetClip;
    block.params[0] = 7;
    block.params[1] = 8;
    block.params[2] = reinterpret_cast<QtWord>(instance);
    EXPECT_EQ(QtComponentParamsInstance(block), instance);
    StandInComponentCall(nullptr, &block, 0);
    EXPECT_EQ(g_seen.params, (std::vector<QtWord>{7, 8}));

    EXPECT_EQ(CloseComponent(instance), kQtNoErr);
    EXPECT_EQ(g_seen.closes, 1);
    EXPECT_EQ(MCIdle(instance), kQtBadComponentInstance) << "a closed instance is refused";
    EXPECT_NE(CloseComponent(instance), kQtNoErr);
    EXPECT_EQ(g_seen.closes, 1) << "closed once";
    EXPECT_EQ(OpenDefaultComponent(QtFourCC("none"), 0), nullptr);
    EXPECT_EQ(StandInInstanceState(instance, &kRecorder), nullptr);
}

TEST_F(QtCallsTest, HandlesRegionsAndOffsets) {
    const int before = StandInLiveHandles();
    QtHandle h = QTNewHandle(10);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(QTGetHandleSize(h), 10u);
    std::memset(*h, 0xAB, 10);
    ASSERT_EQ(QTSetHandleSize(h, 20), kQtNoErr);
    EXPECT_EQ(static_cast<uint8_t>((*h)[9]), 0xAB) << "growing keeps the bytes";
    EXPECT_EQ((*h)[19], 0);
    char* notOurs[1] = {nullptr};
    EXPECT_EQ(QTGetHandleSize(notOurs), 0u);
    EXPECT_EQ(QTSetHandleSize(notOurs, 4), kQtNilHandleErr);
    QTDisposeHandle(notOurs);  // ignored
    QTDisposeHandle(h);
    EXPECT_EQ(StandInLiveHandles(), before);

    // An 8 x 4 map, bounds at (10, 20): a 2-wide column over rows 0..2 and one pixel at (7, 3).
    uint8_t rows[4 * 2] = {0x30, 0, 0x30, 0, 0x30, 0, 0x01, 0};
    QtBitMap bits = {rows, 2, {20, 10, 24, 18}};
    QtRgnHandle region = NewRgn();
    ASSERT_NE(region, nullptr);
    EXPECT_FALSE(PtInRgn({20, 12}, region)) << "a new region is empty";
    ASSERT_EQ(BitMapToRegion(region, &bits), kQtNoErr);
    const std::vector<QtRect> rects = StandInRegionRects(region);
    ASSERT_EQ(rects.size(), 2u) << "the column grows down as one rectangle";
    EXPECT_EQ((std::vector<int>{rects[0].top, rects[0].left, rects[0].bottom, rects[0].right}),
              (std::vector<int>{20, 12, 23, 14}));
    EXPECT_TRUE(PtInRgn({20, 12}, region));
    EXPECT_TRUE(PtInRgn({22, 13}, region));
    EXPECT_FALSE(PtInRgn({23, 13}, region));
    EXPECT_FALSE(PtInRgn({20, 14}, region));
    EXPECT_TRUE(PtInRgn({23, 17}, region));
    EXPECT_FALSE(PtInRgn({23, 18}, region));
    QtBitMap torn = {nullptr, 2, {0, 0, 4, 8}};
    EXPECT_EQ(BitMapToRegion(region, &torn), kQtParamErr) << "a map without rows";
    EXPECT_FALSE(PtInRgn({20, 12}, region)) << "and the region is left empty";
    QtBitMap narrow = {rows, 1, {0, 0, 4, 9}};
    EXPECT_EQ(BitMapToRegion(region, &narrow), kQtParamErr) << "rows shorter than the width";
    DisposeRgn(region);
    EXPECT_EQ(StandInLiveHandles(), before);

    QtRect r = {1, 2, 3, 4};
    MacOffsetRect(&r, -2, 5);
    EXPECT_EQ((std::vector<int>{r.top, r.left, r.bottom, r.right}), (std::vector<int>{6, 0, 8, 2}));
}

TEST_F(QtCallsTest, PathsBecomeFileSpecs) {
    const std::string path = ::testing::TempDir() + "qtcalls_spec.bin";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    QtFSSpec spec;
    std::memset(&spec, 0x55, sizeof spec);
    ASSERT_EQ(NativePathNameToFSSpec(path.c_str(), &spec, 0), kQtNoErr);
    EXPECT_EQ(StandInFSSpecPath(&spec), path);
    std::remove(path.c_str());
    EXPECT_EQ(NativePathNameToFSSpec(path.c_str(), &spec, 0), kQtFnfErr) << "a file yet to be made";
    EXPECT_EQ(StandInFSSpecPath(&spec), path) << "still named, for outputs";
    const std::string overlong(300, 'a');
    EXPECT_EQ(NativePathNameToFSSpec(overlong.c_str(), &spec, 0), kQtBadFileName);
    EXPECT_EQ(StandInFSSpecPath(&spec), "");
    EXPECT_EQ(NativePathNameToFSSpec(nullptr, &spec, 0), kQtParamErr);
}

}  // namespace
