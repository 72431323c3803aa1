// Printing the text of a text object through its rich edit control, page by page.
#include <richedit.h>

#include "core/ui/DisplayUtils.h"
#include "host/dialogs/PrintDevice.h"
#include "host/dialogs/PrintLayout.h"
#include "host/dialogs/Printing.h"
#include "host/dialogs/PrintingJob.h"
#include "objects/ObjectServices.h"

namespace {

constexpr int kMaxTextPages = 10000;

HWND FieldWindow(LayerHandle layer) {
    LayerLock<FieldLayer> field(layer);
    return field && field->common.kind == kObjectText ? field->window : nullptr;
}

// The field being edited, else the selected object when it is a text object.
HWND TextToPrint() {
    if (LayerHandle active = GetActiveTextField())
        return FieldWindow(active);
    if (LayerHandle selected = GetSelectedObject())
        return FieldWindow(selected);
    return nullptr;
}

// The selection, or the whole text when nothing is selected.
CHARRANGE RangeToPrint(HWND edit) {
    CHARRANGE range{};
    SendMessageA(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMin == range.cpMax) {
        GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, CP_ACP};
        range.cpMin = 0;
        range.cpMax = static_cast<LONG>(SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    }
    if (range.cpMin > range.cpMax)
        std::swap(range.cpMin, range.cpMax);
    return range;
}

bool PrintPages(HWND edit, PrintContext& c, CHARRANGE range) {
    PrintDevice& device = GetPrintDevice();
    const HDC printer = c.dialog.hDC;
    const int dpiX = device.Caps(printer, LOGPIXELSX), dpiY = device.Caps(printer, LOGPIXELSY);
    if (dpiX <= 0 || dpiY <= 0)
        return false;
    FORMATRANGE format{};
    format.rcPage = {0, 0, device.Caps(printer, HORZRES) / dpiX * kTwipsPerInch,
                     device.Caps(printer, VERTRES) / dpiY * kTwipsPerInch};
    format.rc = {kTwipsPerInch, kTwipsPerInch, format.rcPage.right - kTwipsPerInch, format.rcPage.bottom - kTwipsPerInch};
    if (format.rc.right <= format.rc.left || format.rc.bottom <= format.rc.top)
        return false;
    bool ok = true;
    LONG at = range.cpMin;
    for (int pages = 0; pages < kMaxTextPages; ++pages) {
        HDC page = device.StartPage(printer);
        if (!page) {
            ok = false;
            break;
        }
        SetMapMode(page, MM_TEXT);
        format.hdc = format.hdcTarget = page;
        format.chrg = {at, range.cpMax};
        const LONG next = static_cast<LONG>(SendMessageA(edit, EM_FORMATRANGE, TRUE, reinterpret_cast<LPARAM>(&format)));
        device.EndPage(printer, page);
        if (!PrintAbortProc(printer, 0)) {
            ok = false;
            break;
        }
        // The range is out, or the page formatted nothing further.
        if (!TextPrintingGoesOn(next, at, range.cpMax))
            break;
        at = next;
    }
    SendMessageA(edit, EM_FORMATRANGE, FALSE, 0);
    return ok;
}

}  // namespace

int PrintText(HWND window, HWND owner, const char* title) {
    const HWND edit = TextToPrint();
    if (!edit || !IsWindow(edit))
        return 0;
    const CHARRANGE range = RangeToPrint(edit);
    if (range.cpMax - range.cpMin <= 1)
        return 0;
    if (!EnsurePrinterDefaults(window) || !RunPlainPrintDialog(window) || !StartPrintJob(window, title, true))
        return 0;
    if (window)
        EnableWindow(window, FALSE);
    const bool ok = PrintPages(edit, *PeekPrintContext(), range);
    EndPrintJob(window);
    return ok ? 1 : 0;
}
