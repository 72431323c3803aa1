// Handles: numbering and reuse, growth of the table, the end mark after every resize, the
// munger operations and their range checks.
#include "core/memory/Handles.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

class HandlesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InitMemRefs()); }
    void TearDown() override { FreeMemRefs(); }
};

// The whole block: size word, data, end mark.
void ExpectBlockIntact(Handle h) {
    auto* mem = static_cast<const uint8_t*>(GetHandleGlobal(h));
    ASSERT_NE(mem, nullptr);
    uint32_t size;
    std::memcpy(&size, mem, 4);
    EXPECT_EQ(size, GetHandleSize(h));
    const uint8_t mark[4] = {0xEF, 0xBE, 0xCE, 0xFA};
    EXPECT_EQ(std::memcmp(mem + 4 + size, mark, 4), 0) << "end mark after size " << size;
}

Handle HandleWith(const std::vector<uint8_t>& bytes) { return NewHandleFromBytes(bytes); }

TEST_F(HandlesTest, NumberingFollowsTheSearchCursor) {
    EXPECT_EQ(NewHandle(4), 1);
    EXPECT_EQ(NewHandle(4), 2);
    DisposeHandle(1);
    EXPECT_EQ(NewHandle(4), 3) << "the cursor stands on handle 2's slot";
    DisposeHandle(3);
    EXPECT_EQ(NewHandle(4), 3) << "the cursor still stands on the freed slot";
    EXPECT_EQ(MemRefsCount(), 2);

    // Slot 1 comes back only when the cursor wraps.
    for (int i = 4; i <= 200; ++i)
        ASSERT_EQ(NewHandle(1), i);
    EXPECT_EQ(NewHandle(1), 1);
    EXPECT_EQ(MemRefsCapacity(), 200);
}

TEST_F(HandlesTest, TableGrowsBy200AndStopsAtItsLimit) {
    for (int i = 1; i <= 200; ++i)
        ASSERT_EQ(NewHandle(0), i);
    EXPECT_EQ(NewHandle(0), 201);
    EXPECT_EQ(MemRefsCapacity(), 400);

    static int failures = 0;
    SetMemRefsFailureHook([] { ++failures; });
    while (MemRefsCount() < kMemRefsMaxHandles)
        ASSERT_NE(NewHandle(0), 0);
    EXPECT_EQ(MemRefsCapacity(), kMemRefsMaxHandles);
    EXPECT_EQ(NewHandle(0), 0);
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(MemRefsCapacity(), kMemRefsMaxHandles);
    EXPECT_EQ(MemRefsCount(), kMemRefsMaxHandles);
    SetMemRefsFailureHook(nullptr);
}

TEST_F(HandlesTest, ResizeKeepsDataZeroFillsAndMovesTheEndMark) {
    Handle h = HandleWith({1, 2, 3, 4, 5, 6});
    ExpectBlockIntact(h);
    ASSERT_EQ(SetHandleSize(h, 3), 0);
    EXPECT_EQ(HandleToBytes(h), (std::vector<uint8_t>{1, 2, 3}));
    ExpectBlockIntact(h);
    ASSERT_EQ(SetHandleSize(h, 9), 0);
    EXPECT_EQ(HandleToBytes(h), (std::vector<uint8_t>{1, 2, 3, 0, 0, 0, 0, 0, 0}));
    ExpectBlockIntact(h);

    // A size that cannot be had leaves everything as it was.
    EXPECT_EQ(SetHandleSize(h, 0xFFFFFFF9u), -1);
    EXPECT_EQ(GetHandleSize(h), 9u);
    ExpectBlockIntact(h);
    EXPECT_EQ(NewHandle(0xFFFFFFFFu), 0);
}

TEST_F(HandlesTest, LocksAndDisposal) {
    Handle h = NewHandle(8);
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(LockHandle(h), nullptr);
    EXPECT_EQ(GetHandleLockCount(h), 3);
    DisposeHandle(h);  // frees it despite the three locks
    EXPECT_FALSE(IsValidHandle(h));
    EXPECT_EQ(MemRefsCount(), 0);

    Handle kept = NewHandle(1);
    DisposeHandleAndClear(&kept);
    EXPECT_EQ(kept, 0);
    DisposeHandleAndClear(&kept);  // a cleared variable is left alone
    DisposeHandleAndClear(nullptr);

    Handle released = 0;
    {
        ScopedHandle owned(NewHandle(2));
        ScopedHandle passedOn(NewHandle(3));
        released = passedOn.release();
        EXPECT_EQ(MemRefsCount(), 2);
    }
    EXPECT_EQ(MemRefsCount(), 1) << "the owned handle went with its scope";
    EXPECT_EQ(GetHandleSize(released), 3u);
}

TEST_F(HandlesTest, UnknownAndFreedHandlesChangeNothing) {
    Handle h = HandleWith({9, 8, 7});
    const Handle bad[] = {0, -1, 2, 201, 40000};
    for (Handle b : bad) {
        EXPECT_FALSE(IsValidHandle(b)) << b;
        EXPECT_EQ(LockHandle(b), nullptr) << b;
        EXPECT_EQ(GetHandleSize(b), 0u) << b;
        EXPECT_EQ(SetHandleSize(b, 4), -1) << b;
        EXPECT_EQ(InsertHandle(h, b, 0, false), -1) << b;
        EXPECT_EQ(InsertHandle(b, h, 0, false), -1) << b;
        EXPECT_EQ(CopyFromHandle(b, 0, 0), 0) << b;
        EXPECT_EQ(EqualHandles(b, h), 0) << b;
        EXPECT_TRUE(HandleToBytes(b).empty()) << b;
        DisposeHandle(b);
    }
    EXPECT_EQ(HandleToBytes(h), (std::vector<uint8_t>{9, 8, 7}));
    EXPECT_EQ(MemRefsCount(), 1);
    Handle empty = HandleWith({});
    EXPECT_TRUE(IsValidHandle(empty));
    EXPECT_EQ(GetHandleSize(empty), 0u);
}

TEST_F(HandlesTest, RangesPastTheEndAreRefused) {
    Handle h = HandleWith({1, 2, 3, 4});
    uint8_t byte = 5;
    EXPECT_EQ(InsertBytesInHandle(h, &byte, 5, 1), -1);
    EXPECT_EQ(DeleteFromHandle(h, 3, 2), -1);
    EXPECT_EQ(DeleteFromHandle(h, 2, 0xFFFFFFFFu), -1);
    EXPECT_EQ(CopyFromHandle(h, 4, 1), 0);
    EXPECT_EQ(CutFromHandle(h, 1, 4), 0);
    Handle one = HandleWith({7});
    EXPECT_EQ(ReplaceInHandle(h, one, 3, 2), -1);
    EXPECT_EQ(ReplaceInHandle(h, one, 0xFFFFFFFFu, 2), -1);
    EXPECT_EQ(HandleToBytes(h), (std::vector<uint8_t>{1, 2, 3, 4}));
    ExpectBlockIntact(h);
}

TEST_F(HandlesTest, MungerOperations) {
    Handle dest = HandleWith({1, 2, 3, 4});
    Handle three = HandleWith({7, 8, 9});
    Handle four = HandleWith({5, 5, 5, 5});

    ASSERT_EQ(InsertHandle(dest, three, 2, true), 0);
    EXPECT_EQ(HandleToBytes(dest), (std::vector<uint8_t>{1, 2, 7, 8, 9, 0xEF, 3, 4}));
    ASSERT_EQ(InsertHandle(dest, four, 0, true), 0);
    EXPECT_EQ(GetHandleSize(dest), 12u);
    ExpectBlockIntact(dest);

    ASSERT_EQ(DeleteFromHandle(dest, 0, 6), 0);
    EXPECT_EQ(HandleToBytes(dest), (std::vector<uint8_t>{7, 8, 9, 0xEF, 3, 4}));

    // Same length: in place; longer and shorter sources change the size.
    ASSERT_EQ(ReplaceInHandle(dest, three, 0, 3), 0);
    EXPECT_EQ(GetHandleSize(dest), 6u);
    ASSERT_EQ(ReplaceInHandle(dest, four, 3, 1), 0);
    EXPECT_EQ(HandleToBytes(dest), (std::vector<uint8_t>{7, 8, 9, 5, 5, 5, 5, 3, 4}));
    ASSERT_EQ(ReplaceInHandle(dest, three, 1, 7), 0);
    EXPECT_EQ(HandleToBytes(dest), (std::vector<uint8_t>{7, 7, 8, 9, 4}));
    ExpectBlockIntact(dest);

    Handle cut = CutFromHandle(dest, 1, 3);
    EXPECT_EQ(HandleToBytes(cut), (std::vector<uint8_t>{7, 8, 9}));
    EXPECT_EQ(HandleToBytes(dest), (std::vector<uint8_t>{7, 4}));
    EXPECT_EQ(EqualHandles(cut, three), 1);
    EXPECT_EQ(EqualHandles(cut, four), 0);

    ASSERT_EQ(AppendHandle(three, dest), 0);
    EXPECT_EQ(HandleToBytes(dest), (std::vector<uint8_t>{7, 4, 7, 8, 9}));

    Handle copy = dest;
    ASSERT_EQ(HandToHand(&copy), 0);
    EXPECT_NE(copy, dest);
    EXPECT_EQ(EqualHandles(copy, dest), 1);

    // A handle inserted into itself.
    ASSERT_EQ(InsertHandle(three, three, 1, false), 0);
    EXPECT_EQ(HandleToBytes(three), (std::vector<uint8_t>{7, 7, 8, 9, 8, 9}));
}

TEST(BlockMoveTest, OverlapsCopyAsIfThroughABuffer) {
    uint8_t up[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    BlockMove(up, up + 1, 7);
    EXPECT_EQ(std::vector<uint8_t>(up, up + 8), (std::vector<uint8_t>{1, 1, 2, 3, 4, 5, 6, 7}));
    uint8_t down[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    BlockMove(down + 2, down, 6);
    EXPECT_EQ(std::vector<uint8_t>(down, down + 8), (std::vector<uint8_t>{3, 4, 5, 6, 7, 8, 7, 8}));

    uint8_t fill[7];
    FillBytes(fill, 0xAB, 7);
    for (uint8_t b : fill)
        EXPECT_EQ(b, 0xAB);
    ZeroBytes(fill, 5);
    EXPECT_EQ(std::vector<uint8_t>(fill, fill + 7), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0xAB, 0xAB}));
}

}  // namespace
