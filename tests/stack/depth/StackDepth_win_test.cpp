// The size change of a whole stack through the Windows procedure: objects scaled, only the
// size and depth taken from the dialog's header image, nothing done for an unchanged one.
#include "graphics/pixels/CardOffscreen.h"
#include "stack/depth/StackDepthChange.h"
#include "tests/stack/SaveTestUtil.h"
#include "tests/support/DialogDriver_win.h"

namespace {

using namespace savetest;

class StackDepthChangeTest : public SaveSessionTest {};

TEST_F(StackDepthChangeTest, HalvingTheCardsKeepsIdsTakenMeanwhile) {
    sb::Stack s;
    s.cardWidth = 400;
    s.cardHeight = 300;
    s.nextObjectId = 20;
    for (uint16_t id = 1; id <= 2; ++id) {
        sb::Card card = sb::PlainCard(id);
        card.objects.push_back(sb::Button(id, {101, 51, 201, 151}, "b"));
        s.cards.push_back(card);
    }
    Open("C:\\S\\size.stk", sb::BuildStack(s).bytes);
    const Handle header = GetStackHeaderHandle();
    Handle wanted = header;
    ASSERT_EQ(HandToHand(&wanted), 0);
    {
        HandleLock lock(wanted);
        const std::span<uint8_t> h(lock.get(), kStackHeaderBytes);
        SetU16(h, kHeaderCardWidth, 200);
        SetU16(h, kHeaderCardHeight, 150);
        SetU16(h, kHeaderLocked, 1);  // not the dialog's to change
    }
    // While the dialog was open an object took an id.
    EXPECT_EQ(NewUniqueObjectId(), 20);

    // The card window the offscreen was last made for is gone: the change must not stop on a
    // box about its DC that nobody answers.
    const HBITMAP previous = GetOffscreenBitmap();
    SetOffscreenBitmap(nullptr);
    const HWND gone = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(InitDataBase(gone, 400, 300, 8, false), 0);
    DestroyWindow(gone);
    DialogDriver driver;
    EXPECT_EQ(driver.Run([&] { return ChangeStackSizeAndDepth(nullptr, header, wanted); }), 0);
    EXPECT_EQ(driver.DialogsSeen(), 0);
    const HBITMAP made = GetOffscreenBitmap();
    SetOffscreenBitmap(previous);  // the later tests keep the offscreen they had
    DeleteObject(made);
    const std::vector<uint8_t> after = HandleToBytes(header);
    EXPECT_EQ(GetU16(after, kHeaderCardWidth), 200);
    EXPECT_EQ(GetU16(after, kHeaderCardHeight), 150);
    EXPECT_EQ(GetU16(after, kHeaderDepth), 8);
    EXPECT_EQ(GetU16(after, kHeaderNextObjectId), 21) << "the id taken meanwhile stays taken";
    EXPECT_EQ(GetU16(after, kHeaderLocked), 0);
    for (int i = 1; i <= 2; ++i) {
        const std::vector<uint8_t> card = HandleToBytes(GetCardByIndex(i));
        EXPECT_EQ(GetU16(card, kCardWidth), 200);
        const auto objects = CardObjects(card);
        ASSERT_EQ(objects.size(), 1u);
        EXPECT_EQ(GetI16(objects[0], 4), 50);
        EXPECT_EQ(GetI16(objects[0], 6), 25);
        EXPECT_EQ(GetI16(objects[0], 8), 100);
        EXPECT_EQ(GetI16(objects[0], 10), 75);
    }
    EXPECT_TRUE(IsCardChanged());

    // The same values again: nothing is converted.
    const std::vector<uint8_t> cardBefore = HandleToBytes(GetCardByIndex(1));
    EXPECT_EQ(ChangeStackSizeAndDepth(nullptr, header, wanted), 0);
    EXPECT_EQ(HandleToBytes(GetCardByIndex(1)), cardBefore);
    EXPECT_EQ(ChangeStackSizeAndDepth(nullptr, header, 0), 48);
    DisposeHandle(wanted);
}

}  // namespace
