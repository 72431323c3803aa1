// The size change of a whole stack through the Windows procedure: objects scaled, only the
// size and depth taken from the dialog's header image, nothing done for an unchanged one; and a
// stack deeper than a palette display, opened and then converted down.
#include "core/system/ChangeFlags.h"
#include "core/ui/ScreenDepth.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "stack/depth/StackDepth.h"
#include "stack/depth/StackDepthChange.h"
#include "tests/stack/SaveTestUtil.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

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

// A 32-bit stack opened on a palette display: nothing is asked, and the stack keeps its depth
// while it is only shown (its pictures are made 8-bit for the display). The first edit asks
// alert 4555 and converts the whole stack: working depth, header and every card's picture take
// 8 bits, matched to the card's palette (orange, an entry of its table, stays exactly orange).
TEST(StackDepthOnOpening, ADeeperStackIsConvertedDownToThePaletteDisplayAtTheFirstEdit) {
    if (!IndexedDisplay())
        GTEST_SKIP() << "a 32-bit stack is deeper than the display only on a palette display here";
    constexpr sb::Rgb kOrange{255, 100, 2};
    sb::Stack s;
    s.depth = 32;
    s.cardWidth = 160;
    s.cardHeight = 120;
    s.cards.push_back(sb::PictureCard(1, sb::GradientPicture(160, 120, 32)));
    // The stored table: greys, and orange at 7.
    sb::Picture orange = sb::SolidPicture(160, 120, 32, sb::Pixel32(kOrange));
    orange.palette.assign(8, sb::Rgb{128, 128, 128});
    orange.palette[7] = kOrange;
    s.cards.push_back(sb::PictureCard(2, orange));
    LinkedPluginPage page;
    DialogDriver quiet(20000);  // nothing is asked on the way
    EXPECT_EQ(quiet.Run([&] {
        return OpenInLinkedPlugin(s, "deep-" + ProcessTag() + ".stk", &page) ? 1 : 0;
    }), 1);
    EXPECT_EQ(quiet.DialogsSeen(), 0);
    ASSERT_TRUE(page.embed);
    ASSERT_EQ(CountCards(), 2);
    EXPECT_EQ(GetScreenDepth(), 32);
    EXPECT_EQ(GetHandleWord(GetStackHeaderHandle(), kHeaderDepth), 32);
    EXPECT_EQ(GetHandleWord(GetCardByIndex(2), kCardDepth), 32) << "not shown yet";

    DialogDriver reduce;
    reduce.Expect(DialogMatch::Alert(kAlertReduceColors), [](DialogView& box) { box.Press(52); });
    EXPECT_EQ(reduce.Run([] {
        MarkCardChanged();
        return 1;
    }), 1);
    EXPECT_EQ(GetScreenDepth(), 8);
    EXPECT_EQ(GetHandleWord(GetStackHeaderHandle(), kHeaderDepth), 8);
    for (int i = 1; i <= 2; ++i)
        EXPECT_EQ(GetHandleWord(GetCardByIndex(i), kCardDepth), 8) << "card " << i;
    ScopedHandle dib(GetCardPictureUpcalls().dibFromPictureResource(GetCardByIndex(2), 160, 120, 8, false, true));
    {
        LockedDib locked(dib.get());
        ASSERT_TRUE(locked);
        ASSERT_EQ(locked.layout().depth, 8);
        for (int y : {0, 60, 119}) {
            const uint8_t index = locked.row(y)[size_t(y)];
            const std::span<uint8_t> entry = locked.table().subspan(4 * size_t(index), 4);
            EXPECT_EQ(sb::Pixel32({entry[2], entry[1], entry[0]}), sb::Pixel32(kOrange)) << "row " << y;
        }
    }
    CloseLinkedPlugin(&page);
}

}  // namespace
