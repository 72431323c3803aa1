// Printing cards (one, two or four to a page) and the pictures of a module's request.
#include <algorithm>
#include <vector>

#include "core/ui/GdiGuards.h"
#include "cardview/card/CardRender.h"
#include "graphics/pixels/PixelDepth.h"
#include "host/dialogs/PrintDevice.h"
#include "host/dialogs/PrintLayout.h"
#include "host/dialogs/Printing.h"
#include "host/dialogs/PrintingJob.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"

namespace {

struct PageSize {
    int horz = 0;
    int vert = 0;
};

PageSize PrinterPage(HDC printer) {
    PrintDevice& device = GetPrintDevice();
    return {device.Caps(printer, HORZRES), device.Caps(printer, VERTRES)};
}

// Places the card image n on the page, scaled into its slot; a 16-bit image is first widened
// to 24 bits (Windows 5-5-5 swapped to stored order, then widened).
bool PrintCardDib(HDC page, DibHandle& dib, int n, const PrintContext& c, PageSize size) {
    const PrintSize slot{c.slotWidth, c.slotHeight};
    if (!dib) {
        const PrintPoint at = CardPlace(CardsPerPageOf(c), n, size.horz, size.vert, slot);
        return PatBlt(page, at.x, at.y, slot.width, slot.height, WHITENESS) != 0;
    }
    int depth = 0;
    {
        LockedDib locked(dib);
        if (!locked)
            return false;
        depth = locked.layout().depth;
    }
    if (depth == 16) {
        DibHandle wide = DibSwapPixelBytes(dib) ? DibConvert16To24(dib) : 0;
        if (!wide)
            return false;
        DisposeHandle(dib);
        dib = wide;
    }
    LockedDib locked(dib);
    if (!locked)
        return false;
    const PrintSize image{locked.layout().width, locked.layout().height};
    const PrintSize printed = ScaleCardToSlot(slot, image);
    const PrintPoint at = CardPlace(CardsPerPageOf(c), n, size.horz, size.vert, printed);
    return StretchDIBits(page, at.x, at.y, printed.width, printed.height, 0, 0, image.width, image.height,
                         locked.image().data(), reinterpret_cast<const BITMAPINFO*>(locked.bytes().data()),
                         DIB_RGB_COLORS, SRCCOPY) != static_cast<int>(GDI_ERROR);
}

Handle CardToPrint(int n, std::span<const uint32_t> ids, const PrintContext& c, Handle current) {
    if (!ids.empty()) {
        const uint32_t id = n >= 1 && static_cast<size_t>(n) <= ids.size() ? ids[static_cast<size_t>(n - 1)] : 0;
        return id && id <= 0xFFFF ? FindCardById(static_cast<uint16_t>(id)) : 0;
    }
    if (RangeOf(c) == kRangeAllCards)
        return GetCardByIndex(n);
    return current;
}

// One copy: every page from the dialog's from-page to its to-page.
bool PagePass(PrintContext& c, std::span<const uint32_t> ids, Handle current, PageSize size) {
    PrintDevice& device = GetPrintDevice();
    PrintRange range;
    range.ok = true;
    range.firstCard = static_cast<int>(c.firstCard);
    range.lastCard = static_cast<int>(c.lastCard);
    range.fromPage = c.dialog.nFromPage;
    range.toPage = c.dialog.nToPage;
    for (const PrintPagePlan& plan : PlanPrintPages(range, CardsPerPageOf(c), !ids.empty(), static_cast<int>(ids.size()))) {
        HDC page = device.StartPage(c.dialog.hDC);
        if (!page)
            return false;
        bool ok = true;
        for (int n : plan) {
            const Handle card = CardToPrint(n, ids, c, current);
            DibHandle dib = card ? RenderCardForPrint(card, c.render) : 0;
            ok = dib && PrintCardDib(page, dib, n, c, size);
            DisposeHandle(dib);
            if (!ok)
                break;
        }
        device.EndPage(c.dialog.hDC, page);
        if (!ok || !PrintAbortProc(c.dialog.hDC, 0))
            return false;
    }
    return true;
}

// The request's picture, checked: lockable, a whole header and its rows inside the block.
bool PrintPicture(HDC page, HGLOBAL global, PrintPoint at, PrintSize cell) {
    const SIZE_T size = global ? GlobalSize(global) : 0;
    if (size < kDibInfoHeaderBytes)
        return false;
    auto* bytes = static_cast<uint8_t*>(GlobalLock(global));
    if (!bytes)
        return false;
    DibLayout layout;
    bool ok = ReadDibLayout({bytes, size}, layout);
    if (ok)
        ok = StretchDIBits(page, at.x, at.y, cell.width, cell.height, 0, 0, layout.width, layout.height,
                           bytes + layout.bitsOffset, reinterpret_cast<const BITMAPINFO*>(bytes), DIB_RGB_COLORS,
                           SRCCOPY) != static_cast<int>(GDI_ERROR);
    GlobalUnlock(global);
    return ok;
}

}  // namespace

int PrintCards(HWND window, HWND owner, Handle currentCard, int cardCount, const char* title,
               std::span<const uint32_t> ids) {
    if (currentCard)
        SaveCurrentBackground();
    if (!EnsurePrinterDefaults(window) || !RunPrintStackDialog(owner, cardCount) || !RunSystemPrintDialog(window))
        return 0;
    PrintContext* c = PeekPrintContext();
    if (!OpenCardRenderTarget(&c->render)) {
        GetPrintDevice().DeletePrinterDC(c->dialog.hDC);
        c->dialog.hDC = nullptr;
        return 0;
    }
    if (!StartPrintJob(window, title, false)) {
        CloseCardRenderTarget(&c->render);
        return 0;
    }
    ParkLayersForPrinting();
    if (window)
        EnableWindow(window, FALSE);
    const PageSize size = PrinterPage(c->dialog.hDC);
    const PrintSize slot = CardSlot(CardsPerPageOf(*c), size.horz, size.vert);
    c->slotWidth = slot.width;
    c->slotHeight = slot.height;
    const Handle current = currentCard ? currentCard : GetCurrentCardRecord();
    bool ok = true;
    for (int copy = 0; copy < std::max<int>(1, c->dialog.nCopies) && ok; ++copy)
        ok = PagePass(*c, ids, current, size);
    CloseCardRenderTarget(&c->render);
    UnparkLayersAfterPrinting();
    EndPrintJob(window);
    return ok ? 1 : 0;
}

int PrintPictures(HWND window, HWND owner, const RECT& rect, std::span<const HGLOBAL> dibs, const char* title) {
    if (dibs.empty() || !EnsurePrinterDefaults(window) || !RunPlainPrintDialog(window))
        return 0;
    PrintContext* c = PeekPrintContext();
    if (!StartPrintJob(window, title, false))
        return 0;
    if (window)
        EnableWindow(window, FALSE);
    PrintDevice& device = GetPrintDevice();
    int screenX = 96, screenY = 96;
    {
        WindowDC screen(nullptr);
        if (screen) {
            screenX = GetDeviceCaps(screen.get(), LOGPIXELSX);
            screenY = GetDeviceCaps(screen.get(), LOGPIXELSY);
        }
    }
    const PageSize size = PrinterPage(c->dialog.hDC);
    const PictureGrid grid = ComputePictureGrid({rect.right - rect.left, rect.bottom - rect.top}, screenX, screenY,
                                                device.Caps(c->dialog.hDC, LOGPIXELSX),
                                                device.Caps(c->dialog.hDC, LOGPIXELSY), size.horz, size.vert);
    const int pages = PicturePageCount(grid, static_cast<int>(dibs.size()));
    bool ok = pages > 0;
    size_t next = 0;
    for (int p = 0; p < pages && ok; ++p) {
        HDC page = device.StartPage(c->dialog.hDC);
        if (!page) {
            ok = false;
            break;
        }
        for (int k = 0; k < grid.perPage && next < dibs.size(); ++k, ++next)
            PrintPicture(page, dibs[next], PicturePlace(grid, k), grid.cell);  // a bad handle leaves its cell empty
        device.EndPage(c->dialog.hDC, page);
        ok = PrintAbortProc(c->dialog.hDC, 0) != FALSE;
    }
    EndPrintJob(window);
    return ok ? 1 : 0;
}
