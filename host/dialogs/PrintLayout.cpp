#include "host/dialogs/PrintLayout.h"

#include <algorithm>

namespace {

constexpr int kFirstPageLimit = 65535;
constexpr int kLastPageLimit = 4095;

int Truncated(int64_t value) { return static_cast<int>(std::clamp<int64_t>(value, 0, INT32_MAX)); }

}  // namespace

int NormalCardsPerPage(int cardsPerPage) { return cardsPerPage == 2 || cardsPerPage == 4 ? cardsPerPage : 1; }

PrintSize CardSlot(int cardsPerPage, int horzRes, int vertRes) {
    switch (NormalCardsPerPage(cardsPerPage)) {
    case 2: return {horzRes - 2 * kPageMargin, (vertRes - 3 * kPageMargin) / 2};
    case 4: return {(horzRes - 3 * kPageMargin) / 2, (vertRes - 3 * kPageMargin) / 2};
    default: return {horzRes - 2 * kPageMargin, vertRes - 2 * kPageMargin};
    }
}

PrintSize ScaleCardToSlot(PrintSize slot, PrintSize image) {
    if (slot.width <= 0 || slot.height <= 0 || image.width <= 0 || image.height <= 0)
        return {};
    // The factor stays a fraction: w / W when that is the smaller, else h / H.
    const int64_t byWidth = int64_t{slot.width} * image.height;
    const int64_t byHeight = int64_t{slot.height} * image.width;
    if (byWidth <= byHeight)
        return {slot.width, Truncated(byWidth / image.width)};
    return {Truncated(byHeight / image.height), slot.height};
}

PrintPoint CardPlace(int cardsPerPage, int n, int horzRes, int vertRes, PrintSize printed) {
    const bool odd = n % 2 != 0;
    switch (NormalCardsPerPage(cardsPerPage)) {
    case 2: return {kPageMargin, odd ? kPageMargin : printed.height + 2 * kPageMargin};
    case 4: {
        const bool topRow = (n - 1) % 4 < 2 && (n - 1) % 4 >= 0;
        return {odd ? kPageMargin : printed.width + 2 * kPageMargin,
                topRow ? kPageMargin : printed.height + 2 * kPageMargin};
    }
    default: return {(horzRes - printed.width) / 2, (vertRes - printed.height) / 2};
    }
}

int PrintPageCount(int cards, int cardsPerPage) {
    if (cards < 1 || cardsPerPage < 1)
        return 0;
    return (cards + cardsPerPage - 1) / cardsPerPage;
}

PrintRange ResolvePrintRange(const PrintRangeQuery& q) {
    PrintRange r;
    const int perPage = NormalCardsPerPage(q.cardsPerPage);
    if (q.pageNumbers) {
        if (q.fromPage <= 0 || q.fromPage >= kFirstPageLimit || q.toPage >= kLastPageLimit || q.fromPage > q.toPage)
            return r;
        r.fromPage = q.fromPage;
        r.toPage = q.toPage;
        r.firstCard = (q.fromPage - 1) * perPage + 1;
        r.lastCard = std::min(q.toPage * perPage, q.cardCount);
    } else {
        r.firstCard = 1;
        r.fromPage = q.minPage;
        if (q.allCards) {
            r.lastCard = q.cardCount;
            r.toPage = q.maxPage;
        } else {
            r.toPage = q.minPage;
            r.lastCard = perPage;  // that many copies of the current card
        }
    }
    r.ok = true;
    return r;
}

std::vector<PrintPagePlan> PlanPrintPages(const PrintRange& range, int cardsPerPage, bool withIds, int idCount) {
    std::vector<PrintPagePlan> pages;
    if (!range.ok)
        return pages;
    const int perPage = NormalCardsPerPage(cardsPerPage);
    const int limit = withIds ? idCount : range.lastCard;
    int n = withIds ? 1 : range.firstCard;
    for (int page = range.fromPage; page <= range.toPage && static_cast<int>(pages.size()) < kMaxPlannedPages; ++page) {
        PrintPagePlan plan;
        for (int i = 0; i < perPage && n <= limit; ++i)
            plan.push_back(n++);
        pages.push_back(std::move(plan));
    }
    return pages;
}

PictureGrid ComputePictureGrid(PrintSize screenSize, int screenDpiX, int screenDpiY, int printerDpiX,
                               int printerDpiY, int horzRes, int vertRes) {
    PictureGrid grid;
    if (screenSize.width <= 0 || screenSize.height <= 0 || screenDpiX <= 0 || screenDpiY <= 0 || printerDpiX <= 0 ||
        printerDpiY <= 0 || horzRes <= 2 * kPageMargin || vertRes <= 2 * kPageMargin)
        return grid;
    PrintSize cell{Truncated(int64_t{screenSize.width} * printerDpiX / screenDpiX),
                   Truncated(int64_t{screenSize.height} * printerDpiY / screenDpiY)};
    // A cell larger than the page is scaled down to it, keeping its shape.
    const PrintSize page{horzRes - 2 * kPageMargin, vertRes - 2 * kPageMargin};
    const bool oversized = cell.width > page.width || cell.height > page.height;
    if (oversized)
        cell = ScaleCardToSlot(page, cell);
    cell.width = std::max(cell.width, 1);
    cell.height = std::max(cell.height, 1);
    grid.cell = cell;
    // An oversized picture takes a page of its own.
    grid.perRow = oversized ? 1 : std::max(1, horzRes / (cell.width + kPageMargin));
    grid.rows = oversized ? 1 : std::max(1, vertRes / (cell.height + kPageMargin));
    grid.perPage = grid.perRow * grid.rows;
    return grid;
}

int PicturePageCount(const PictureGrid& grid, int count) { return PrintPageCount(count, grid.perPage); }

PrintPoint PicturePlace(const PictureGrid& grid, int k) {
    if (grid.perRow < 1)
        return {kPageMargin, kPageMargin};
    return {(k % grid.perRow) * (grid.cell.width + kPageMargin) + kPageMargin,
            (k / grid.perRow) * (grid.cell.height + kPageMargin) + kPageMargin};
}

bool PrintAbortContinues(int code, uint32_t* outOfDiskCount) {
    if (code == 0)
        return true;
    if (code == kOutOfDiskCode && outOfDiskCount)
        return ++*outOfDiskCount < kOutOfDiskLimit;
    return false;
}

bool TextPrintingGoesOn(int32_t next, int32_t previous, int32_t rangeEnd) { return next < rangeEnd && next > previous; }
