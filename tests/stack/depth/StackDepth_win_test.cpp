// The size change of a whole stack through the Windows procedure: objects scaled, only the
// size and depth taken from the dialog's header image, nothing done for an unchanged one; and a
// stack deeper than a palette display converted down as the plug-in opens it.
#include "core/ui/ScreenDepth.h"
#include "graphics/pixels/CardOffscreen.h"
#include "stack/depth/StackDepthChange.h"
#include "tests/stack/SaveTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"

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

// A 32-bit stack opened on a palette display: nothing is asked, and the working depth, the
// header and every card's picture take 8 bits.
TEST(StackDepthOnOpening, ADeeperStackIsConvertedDownToThePaletteDisplay) {
    if (!IndexedDisplay())
        GTEST_SKIP() << "a 32-bit stack is deeper than the display only on a palette display here";
    constexpr sb::Rgb kOrange{255, 100, 2};
    sb::Stack s;
    s.depth = 32;
    s.cardWidth = 160;
    s.cardHeight = 120;
    s.cards.push_back(sb::PictureCard(1, sb::GradientPicture(160, 120, 32)));
    s.cards.push_back(sb::PictureCard(2, sb::SolidPicture(160, 120, 32, sb::Pixel32(kOrange))));
    LinkedPluginPage page;
    DialogDriver quiet(20000);  // nothing is asked on the way
    EXPECT_EQ(quiet.Run([&] {
        return OpenInLinkedPlugin(s, "deep-" + std::to_string(GetCurrentProcessId()) + ".stk", &page) ? 1 : 0;
    }), 1);
    EXPECT_EQ(quiet.DialogsSeen(), 0);
    ASSERT_TRUE(page.embed);
    EXPECT_EQ(GetScreenDepth(), 8);
    EXPECT_EQ(GetHandleWord(GetStackHeaderHandle(), kHeaderDepth), 8);
    ASSERT_EQ(CountCards(), 2);
    for (int i = 1; i <= 2; ++i)
        EXPECT_EQ(GetHandleWord(GetCardByIndex(i), kCardDepth), 8) << "card " << i;
    CloseLinkedPlugin(&page);
}

}  // namespace
