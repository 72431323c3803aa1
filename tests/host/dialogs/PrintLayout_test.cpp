// The page arithmetic of printing: slots, scale and place of cards, the card range and page pass,
// the grid of a pictures request, the abort count and the end of text printing.
#include <gtest/gtest.h>

#include "host/dialogs/PrintLayout.h"

namespace {

constexpr int kHorz = 4800, kVert = 6600;

TEST(PrintLayout, SlotsScaleAndPlaceCards) {
    EXPECT_EQ(CardSlot(1, kHorz, kVert).width, 4700);
    EXPECT_EQ(CardSlot(1, kHorz, kVert).height, 6500);
    EXPECT_EQ(CardSlot(2, kHorz, kVert).width, 4700);
    EXPECT_EQ(CardSlot(2, kHorz, kVert).height, 3225);
    EXPECT_EQ(CardSlot(4, kHorz, kVert).width, 2325);
    EXPECT_EQ(CardSlot(4, kHorz, kVert).height, 3225);
    EXPECT_EQ(CardSlot(3, kHorz, kVert).height, 6500) << "unknown layouts print one per page";

    const PrintSize big = ScaleCardToSlot(CardSlot(1, kHorz, kVert), {512, 384});
    EXPECT_EQ(big.width, 4700);
    EXPECT_EQ(big.height, 3525);
    const PrintPoint at = CardPlace(1, 1, kHorz, kVert, big);
    EXPECT_EQ(at.x, 50);
    EXPECT_EQ(at.y, 1537);
    // Smaller than the slot: enlarged until one side fills it; larger: reduced the same way.
    const PrintSize tall = ScaleCardToSlot({2325, 3225}, {100, 300});
    EXPECT_EQ(tall.height, 3225);
    EXPECT_EQ(tall.width, 1075);
    const PrintSize reduced = ScaleCardToSlot({200, 200}, {1000, 500});
    EXPECT_EQ(reduced.width, 200);
    EXPECT_EQ(reduced.height, 100);
    EXPECT_EQ(ScaleCardToSlot({200, 200}, {0, 5}).width, 0);

    const PrintSize two = ScaleCardToSlot(CardSlot(2, kHorz, kVert), {512, 384});
    EXPECT_EQ(CardPlace(2, 5, kHorz, kVert, two).y, 50);
    EXPECT_EQ(CardPlace(2, 4, kHorz, kVert, two).y, two.height + 100);
    const PrintSize four = ScaleCardToSlot(CardSlot(4, kHorz, kVert), {512, 384});
    const int xs[] = {50, four.width + 100, 50, four.width + 100};
    const int ys[] = {50, 50, four.height + 100, four.height + 100};
    for (int n = 5; n <= 8; ++n) {
        EXPECT_EQ(CardPlace(4, n, kHorz, kVert, four).x, xs[n - 5]) << n;
        EXPECT_EQ(CardPlace(4, n, kHorz, kVert, four).y, ys[n - 5]) << n;
    }
}

TEST(PrintLayout, RangesAndPagePasses) {
    EXPECT_EQ(PrintPageCount(5, 2), 3);
    EXPECT_EQ(PrintPageCount(1, 4), 1);
    EXPECT_EQ(PrintPageCount(0, 4), 0);
    EXPECT_EQ(PrintPageCount(5, 0), 0);

    // All of five cards, two per page: three pages, card 5 alone on the last.
    PrintRangeQuery all{false, 0, 0, 1, 3, 2, 5, true};
    PrintRange range = ResolvePrintRange(all);
    ASSERT_TRUE(range.ok);
    auto pages = PlanPrintPages(range, 2, false, 0);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[2], (PrintPagePlan{5}));
    EXPECT_EQ(pages[0], (PrintPagePlan{1, 2}));

    // The current card, four per page: one page of four copies.
    range = ResolvePrintRange({false, 0, 0, 1, 1, 4, 5, false});
    pages = PlanPrintPages(range, 4, false, 0);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (PrintPagePlan{1, 2, 3, 4}));

    // Pages 2 to 2 at two per page: cards 3 and 4.
    range = ResolvePrintRange({true, 2, 2, 1, 3, 2, 5, true});
    EXPECT_EQ(range.firstCard, 3);
    EXPECT_EQ(range.lastCard, 4);
    pages = PlanPrintPages(range, 2, false, 0);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (PrintPagePlan{3, 4}));
    // A listed set of ids runs from 1 across pages.
    pages = PlanPrintPages(ResolvePrintRange({false, 0, 0, 1, 2, 2, 3, true}), 2, true, 3);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[1], (PrintPagePlan{3}));

    for (auto bad : {PrintRangeQuery{true, 0, 2, 1, 3, 2, 5, true}, PrintRangeQuery{true, 65535, 65535, 1, 3, 2, 5, true},
                     PrintRangeQuery{true, 1, 4095, 1, 3, 2, 5, true}, PrintRangeQuery{true, 3, 2, 1, 3, 2, 5, true}})
        EXPECT_FALSE(ResolvePrintRange(bad).ok);
    EXPECT_TRUE(PlanPrintPages(PrintRange{}, 2, false, 0).empty());
}

TEST(PrintLayout, PictureGridsAbortCountsAndTextEnds) {
    const PictureGrid grid = ComputePictureGrid({100, 100}, 96, 96, 600, 600, kHorz, kVert);
    EXPECT_EQ(grid.cell.width, 625);
    EXPECT_EQ(grid.cell.height, 625);
    EXPECT_EQ(grid.perRow, 7);
    EXPECT_EQ(grid.rows, 9);
    EXPECT_EQ(PicturePageCount(grid, 64), 2);
    EXPECT_EQ(PicturePlace(grid, 8).x, 725);
    EXPECT_EQ(PicturePlace(grid, 8).y, 725);
    // An oversized cell: one per page, scaled down inside the margins.
    const PictureGrid huge = ComputePictureGrid({2000, 500}, 96, 96, 600, 600, kHorz, kVert);
    EXPECT_EQ(huge.perPage, 1);
    EXPECT_LE(huge.cell.width, kHorz - 100);
    EXPECT_EQ(PicturePageCount(huge, 3), 3);
    EXPECT_EQ(ComputePictureGrid({100, 100}, 0, 96, 600, 600, kHorz, kVert).perPage, 0);
    EXPECT_EQ(PicturePageCount(PictureGrid{}, 3), 0);

    uint32_t outOfDisk = 0;
    for (int i = 1; i <= 63; ++i)
        EXPECT_TRUE(PrintAbortContinues(-4, &outOfDisk)) << i;
    EXPECT_FALSE(PrintAbortContinues(-4, &outOfDisk));
    uint32_t fresh = 0;
    EXPECT_TRUE(PrintAbortContinues(0, &fresh));
    EXPECT_FALSE(PrintAbortContinues(-1, &fresh));
    EXPECT_FALSE(PrintAbortContinues(5, &fresh));

    EXPECT_TRUE(TextPrintingGoesOn(40, 10, 100));
    EXPECT_FALSE(TextPrintingGoesOn(100, 40, 100)) << "the range is out";
    EXPECT_FALSE(TextPrintingGoesOn(40, 40, 100)) << "a page that formats nothing further";
}

}  // namespace
