// The arithmetic of printing: card slots on a page, the scale and place of each card, the card
// range the dialogs choose, the page pass, the grid of a pictures request, the abort count and
// the end of text printing (PrintLayout.cpp; no Windows API).
#pragma once

#include <cstdint>
#include <vector>

inline constexpr int kPageMargin = 50;  // printer device units around and between cards

struct PrintSize {
    int width = 0, height = 0;
};
struct PrintPoint {
    int x = 0, y = 0;
};

// 1, 2 or 4; anything else prints one card per page.
int NormalCardsPerPage(int cardsPerPage);

// The area for one card from the printer's HORZRES and VERTRES.
PrintSize CardSlot(int cardsPerPage, int horzRes, int vertRes);
// The card image scaled by min(slot w / W, slot h / H), each side truncated; an empty image
// or slot gives 0 x 0.
PrintSize ScaleCardToSlot(PrintSize slot, PrintSize image);
// Where running card number n (from 1) goes on its page.
PrintPoint CardPlace(int cardsPerPage, int n, int horzRes, int vertRes, PrintSize printed);

// ceiling(cards / cards per page); 0 when either is below 1.
int PrintPageCount(int cards, int cardsPerPage);

// The print dialog's answer and the card range it makes.
struct PrintRangeQuery {
    bool pageNumbers = false;  // the user chose pages
    int fromPage = 0, toPage = 0;
    int minPage = 1, maxPage = 1;
    int cardsPerPage = 1;
    int cardCount = 0;
    bool allCards = false;
};
struct PrintRange {
    bool ok = false;
    int firstCard = 0, lastCard = 0;
    int fromPage = 0, toPage = 0;
};
PrintRange ResolvePrintRange(const PrintRangeQuery& query);

// One page of the page pass: the running card numbers printed on it, in order.
using PrintPagePlan = std::vector<int>;
// withIds: the running number starts at 1 and runs up to idCount; otherwise it starts at the
// first card and runs up to the last. At most kMaxPlannedPages pages are planned.
inline constexpr int kMaxPlannedPages = 4096;
std::vector<PrintPagePlan> PlanPrintPages(const PrintRange& range, int cardsPerPage, bool withIds, int idCount);

// A pictures request: the cell is the picture's screen size in printer pixels. A cell larger
// than the page is scaled down to it (shape kept) and printed one to a page.
struct PictureGrid {
    PrintSize cell;
    int perRow = 0, rows = 0, perPage = 0;
};
PictureGrid ComputePictureGrid(PrintSize screenSize, int screenDpiX, int screenDpiY, int printerDpiX,
                               int printerDpiY, int horzRes, int vertRes);
int PicturePageCount(const PictureGrid& grid, int count);
// Picture k (from 0) of its page.
PrintPoint PicturePlace(const PictureGrid& grid, int k);

// The abort procedure's verdict on the spooler's code: true to go on. The out-of-disk code (-4)
// counts up and aborts at the 64th call; any other nonzero code aborts.
inline constexpr int kOutOfDiskCode = -4;
inline constexpr uint32_t kOutOfDiskLimit = 64;
bool PrintAbortContinues(int code, uint32_t* outOfDiskCount);

// Text printing goes on while the next position lies inside the range and the page moved on.
bool TextPrintingGoesOn(int32_t next, int32_t previous, int32_t rangeEnd);
