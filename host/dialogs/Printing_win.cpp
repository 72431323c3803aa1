// The print context, the menu command, the printer defaults, Page Setup and the print dialogs.
#include "host/dialogs/Printing.h"

#include <algorithm>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "layers/LayerList.h"
#include "host/dialogs/PrintDevice.h"
#include "host/dialogs/PrintLayout.h"
#include "host/dialogs/PrintingJob.h"
#include "host/dialogs/SlideShow.h"
#include "objects/ObjectServices.h"
#include "resources/print_ids.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/CardPictureConvert.h"

namespace {

constexpr DWORD kDefaultDifferent = 0x100C;  // PDERR_DEFAULTDIFFERENT
constexpr int kCollateCheckBox = 1041;
constexpr size_t kRequestCountAt = 2;
constexpr size_t kRequestDataAt = 6;
constexpr size_t kRequestRectBytes = 16;
constexpr uint32_t kSlideSecondsDefault = 3;

Handle g_context = 0;
PrintContext* g_locked = nullptr;

void FreePrinterHandles(PrintContext* c) {
    if (c->devNames)
        GlobalFree(c->devNames);
    if (c->devMode && c->devMode != c->devNames)
        GlobalFree(c->devMode);
    c->devNames = c->devMode = nullptr;
    c->dialog.hDevNames = c->dialog.hDevMode = nullptr;
}

void DeletePrinterDC(PrintContext* c) {
    if (c->dialog.hDC)
        GetPrintDevice().DeletePrinterDC(c->dialog.hDC);
    c->dialog.hDC = nullptr;
}

UINT_PTR CALLBACK PrintHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message != WM_INITDIALOG)
        return 0;
    PlaceOverCard(dialog);
    if (HWND collate = GetDlgItem(dialog, kCollateCheckBox))
        EnableWindow(collate, FALSE);
    return TRUE;
}

UINT_PTR CALLBACK SetupHook(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG)
        PlaceOverCard(dialog);
    return message == WM_INITDIALOG;
}

void PrepareDialogRecord(PrintContext* c, HWND owner) {
    c->dialog.lStructSize = sizeof(PRINTDLGA);
    c->dialog.hwndOwner = DialogOwner(owner);
    c->dialog.lpfnPrintHook = PrintHook;
    c->dialog.lpfnSetupHook = SetupHook;
}

// Keeps what the dialog returned as the printer names and mode.
void KeepPrinterHandles(PrintContext* c) {
    c->devNames = c->dialog.hDevNames;
    c->devMode = c->dialog.hDevMode;
}

// The system print dialog with the flags; once more after 0x100C (the default printer changed)
// with the printer handles fetched again and the same layout, limits and flags.
bool ShowPrintDialog(HWND window, DWORD flags) {
    PrintContext* c = EnsurePrintContext();
    if (!c)
        return false;
    PrepareDialogRecord(c, window);
    c->dialog.Flags = flags;
    c->dialog.hDevNames = c->devNames;
    c->dialog.hDevMode = c->devMode;
    PrintDevice& device = GetPrintDevice();
    if (device.PrintDialog(&c->dialog)) {
        KeepPrinterHandles(c);
        return true;
    }
    if (device.DialogError() != kDefaultDifferent)
        return false;
    const uint16_t layout = c->layout, cards = c->cardCount;
    const WORD maxPage = c->dialog.nMaxPage;
    FreePrinterHandles(c);
    if (!EnsurePrinterDefaults(window))
        return false;
    c->layout = layout;
    c->cardCount = cards;
    PrepareDialogRecord(c, window);
    c->dialog.Flags = flags;
    c->dialog.hDevNames = c->devNames;
    c->dialog.hDevMode = c->devMode;
    c->dialog.nMinPage = c->dialog.nFromPage = 1;
    c->dialog.nMaxPage = c->dialog.nToPage = maxPage;
    c->dialog.nCopies = 1;
    if (!device.PrintDialog(&c->dialog))
        return false;
    KeepPrinterHandles(c);
    return true;
}

constexpr DWORD kPrintFlags = PD_RETURNDC | PD_NOSELECTION | PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK | PD_HIDEPRINTTOFILE;

void ShowPageCount(HWND dialog) {
    PrintContext* c = PeekPrintContext();
    const int perPage = IsDlgButtonChecked(dialog, IDC_PRINT_FOUR) ? 4 : IsDlgButtonChecked(dialog, IDC_PRINT_TWO) ? 2 : 1;
    const int cards = IsDlgButtonChecked(dialog, IDC_PRINT_ALL) ? (c ? c->cardCount : 0) : 1;
    SetDlgItemInt(dialog, IDC_PRINT_PAGES, static_cast<UINT>(PrintPageCount(cards, perPage)), FALSE);
}

INT_PTR CALLBACK PrintStackDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    PrintContext* c = PeekPrintContext();
    if (!c)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        const int perPage = CardsPerPageOf(*c);
        CheckRadioButton(dialog, IDC_PRINT_ONE, IDC_PRINT_FOUR,
                         perPage == 2 ? IDC_PRINT_TWO : perPage == 4 ? IDC_PRINT_FOUR : IDC_PRINT_ONE);
        CheckRadioButton(dialog, IDC_PRINT_CURRENT, IDC_PRINT_ALL,
                         RangeOf(*c) == kRangeCurrentCard ? IDC_PRINT_CURRENT : IDC_PRINT_ALL);
        ShowPageCount(dialog);
        CenterWindowOnScreen(dialog);
        SetFocus(GetDlgItem(dialog, IDC_PRINT_CURRENT));
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PRINT_CURRENT: case IDC_PRINT_ALL: case IDC_PRINT_ONE: case IDC_PRINT_TWO: case IDC_PRINT_FOUR:
            ShowPageCount(dialog);
            return TRUE;
        case IDOK: {
            const int perPage = IsDlgButtonChecked(dialog, IDC_PRINT_FOUR) ? 4 : IsDlgButtonChecked(dialog, IDC_PRINT_TWO) ? 2 : 1;
            const int range = IsDlgButtonChecked(dialog, IDC_PRINT_ALL) ? kRangeAllCards : kRangeCurrentCard;
            c->layout = static_cast<uint16_t>(perPage | (range << 8));
            const UINT pages = GetDlgItemInt(dialog, IDC_PRINT_PAGES, nullptr, FALSE);
            c->dialog.nMinPage = c->dialog.nFromPage = 1;
            c->dialog.nMaxPage = c->dialog.nToPage = static_cast<WORD>(std::min<UINT>(pages, 0xFFFF));
            c->dialog.nCopies = 1;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            c->layout = 0;
            c->cardCount = 0;
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

// The ids of a cards request, bounded by the block.
std::vector<uint32_t> RequestIds(std::span<const uint8_t> request, uint32_t count) {
    std::vector<uint32_t> ids;
    const size_t room = (request.size() - kRequestDataAt) / 4;
    for (size_t i = 0; i < count && i < room; ++i)
        ids.push_back(GetU32(request, kRequestDataAt + 4 * i));
    return ids;
}

int RunRequest(HWND window, HWND owner, Handle currentCard, const char* title, std::span<const uint8_t> request) {
    if (request.size() < kRequestDataAt)
        return 0;
    const uint16_t kind = GetU16(request, 0);
    const uint32_t count = GetU32(request, kRequestCountAt);
    if (count < 1)
        return 0;
    if (kind == kPrintCardsRequest) {
        const std::vector<uint32_t> ids = RequestIds(request, count);
        return ids.empty() ? 0 : PrintCards(window, owner, currentCard, static_cast<int>(ids.size()), title, ids);
    }
    if (kind != kPrintPicturesRequest || request.size() < kRequestDataAt + kRequestRectBytes)
        return 0;
    const RECT rect{static_cast<LONG>(GetU32(request, 6)), static_cast<LONG>(GetU32(request, 10)),
                    static_cast<LONG>(GetU32(request, 14)), static_cast<LONG>(GetU32(request, 18))};
    std::vector<HGLOBAL> dibs;
    const size_t at = kRequestDataAt + kRequestRectBytes;
    for (size_t i = 0; i < count && at + 4 * i + 4 <= request.size(); ++i)
        dibs.push_back(reinterpret_cast<HGLOBAL>(static_cast<uintptr_t>(GetU32(request, at + 4 * i))));
    return dibs.empty() ? 0 : PrintPictures(window, owner, rect, dibs, title);
}


}  // namespace

PrintContext* PeekPrintContext() { return g_locked; }

PrintContext* EnsurePrintContext() {
    if (g_locked)
        return g_locked;
    g_context = NewHandle(sizeof(PrintContext));
    if (!g_context)
        return nullptr;
    g_locked = reinterpret_cast<PrintContext*>(LockHandle(g_context));
    if (!g_locked) {
        DisposeHandleAndClear(&g_context);
        return nullptr;
    }
    *g_locked = PrintContext{};
    g_locked->slideSeconds = kSlideSecondsDefault;
    g_locked->slideTimed = g_locked->slideStopAtEnd = 1;
    return g_locked;
}

void FreePrintContext() {
    if (!g_locked)
        return;
    FreePrinterHandles(g_locked);
    DeletePrinterDC(g_locked);
    CloseCardRenderTarget(&g_locked->render);
    UnlockHandle(g_context);
    DisposeHandleAndClear(&g_context);
    g_locked = nullptr;
}

bool EnsurePrinterDefaults(HWND window) {
    PrintContext* c = EnsurePrintContext();
    if (!c)
        return false;
    if (c->devNames && c->devMode)
        return true;
    FreePrinterHandles(c);
    DeletePrinterDC(c);
    CloseCardRenderTarget(&c->render);
    *c = PrintContext{};
    c->slideSeconds = kSlideSecondsDefault;
    c->slideTimed = c->slideStopAtEnd = 1;
    PrepareDialogRecord(c, window);
    c->dialog.Flags = PD_RETURNDEFAULT;
    if (!GetPrintDevice().PrintDialog(&c->dialog))
        return false;
    KeepPrinterHandles(c);
    c->cardWindow = window;
    return c->devNames && c->devMode;
}

int PageSetup(HWND window) {
    if (!EnsurePrinterDefaults(window))
        return 0;
    const BOOL result = ShowPrintDialog(window, PD_PRINTSETUP | PD_ENABLESETUPHOOK);
    DeletePrinterDC(PeekPrintContext());
    return result;
}

bool RunPrintStackDialog(HWND owner, int cardCount) {
    PrintContext* c = EnsurePrintContext();
    if (!c)
        return false;
    c->layout = static_cast<uint16_t>(1 | (kRangeCurrentCard << 8));
    c->cardCount = static_cast<uint16_t>(std::clamp(cardCount, 0, 0xFFFF));
    return ResDialogBoxParam(owner, PrintStackDlgProc, "PRINT_STK", 0) == IDOK;
}

bool RunSystemPrintDialog(HWND window) {
    PrintContext* c = EnsurePrintContext();
    if (!c)
        return false;
    const bool all = RangeOf(*c) == kRangeAllCards;
    if (!ShowPrintDialog(window, kPrintFlags | (all ? 0 : PD_NOPAGENUMS)))
        return false;
    PrintRangeQuery query;
    query.pageNumbers = (c->dialog.Flags & PD_PAGENUMS) != 0;
    query.fromPage = c->dialog.nFromPage;
    query.toPage = c->dialog.nToPage;
    query.minPage = c->dialog.nMinPage;
    query.maxPage = c->dialog.nMaxPage;
    query.cardsPerPage = CardsPerPageOf(*c);
    query.cardCount = c->cardCount;
    query.allCards = all;
    const PrintRange range = ResolvePrintRange(query);
    if (!range.ok) {
        DeletePrinterDC(c);
        return false;
    }
    c->firstCard = static_cast<uint32_t>(range.firstCard);
    c->lastCard = static_cast<uint32_t>(range.lastCard);
    c->dialog.nFromPage = static_cast<WORD>(range.fromPage);
    c->dialog.nToPage = static_cast<WORD>(range.toPage);
    return true;
}

bool RunPlainPrintDialog(HWND window) {
    PrintContext* c = EnsurePrintContext();
    if (!c)
        return false;
    c->dialog.nMinPage = c->dialog.nMaxPage = c->dialog.nFromPage = c->dialog.nToPage = 1;
    c->dialog.nCopies = 1;
    return ShowPrintDialog(window, kPrintFlags | PD_NOPAGENUMS);
}

int DoPrintMenuCommand(HWND window, HWND owner, int command, Handle currentCard, const char* title,
                       std::span<const uint8_t> request) {
    switch (command) {
    case kPageSetupCommand: return PageSetup(window);
    case kSlideShowCommand: return RunSlideShow(window);
    case kPrintCommand: break;
    default: return 0;
    }
    SyncCardFromLayers();
    if (!request.empty())
        return RunRequest(window, owner, currentCard, title, request);
    if (GetActiveTextField() || GetSelectedObject())
        return PrintText(window, owner, title);
    return PrintCards(window, owner, currentCard, CountCards(), title);
}

int RunPrintMenuCommand(HWND window, int command) {
    char title[kFileSpecNameSize] = {};
    if (const FileSpec* stack = GetFileSpec(kSlotCurrentStack))
        CopyPathText(NameOf(*stack), title, sizeof title);
    return DoPrintMenuCommand(window, window, command, GetCurrentCardRecord(), title);
}

bool GetSlideShowSettings(SlideShowSettings* settings) {
    const PrintContext* c = EnsurePrintContext();
    if (!c || !settings)
        return false;
    settings->seconds = c->slideSeconds;
    settings->timed = c->slideTimed != 0;
    settings->stopAtEnd = c->slideStopAtEnd != 0;
    return true;
}

void SetSlideShowSettings(const SlideShowSettings& settings) {
    if (PrintContext* c = EnsurePrintContext()) {
        c->slideSeconds = settings.seconds;
        c->slideTimed = settings.timed;
        c->slideStopAtEnd = settings.stopAtEnd;
    }
}
