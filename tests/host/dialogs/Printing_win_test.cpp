// Printing under Wine with a recording printer: a five-card stack in the plug-in printed two to
// a page, the current card four times, a module's pictures request, a rich edit's text, the
// abort procedure, and Print without a printer (the system's own, which has none here).
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "layers/ObjectLayer.h"
#include "host/dialogs/Printing.h"
#include "host/dialogs/PrintingJob.h"
#include "resources/print_ids.h"
#include "stack/cards/CardList.h"
#include "tests/host/PrintingTestDevice_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
// At least the window's minimum tracking size, or the open asks about converting small cards.
constexpr int kCardW = 120, kCardH = 90;
const sb::Rgb kColors[] = {{255, 0, 0}, {0, 160, 0}, {0, 0, 255}, {200, 200, 0}, {0, 0, 0}};

// The card as the window shows it, 0x00RRGGBB, top row first.
std::vector<uint32_t> WindowPixels(HWND window) {
    UpdateWindow(window);
    PumpPageMessages();
    std::vector<uint32_t> pixels;
    HDC dc = GetDC(window);
    for (int y = 0; y < kCardH; ++y)
        for (int x = 0; x < kCardW; ++x) {
            const COLORREF c = GetPixel(dc, x, y);
            pixels.push_back(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
        }
    ReleaseDC(window, dc);
    return pixels;
}

// Channel by channel within 8 (16-bit displays widen 5-bit components their own way).
int Mismatches(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size())
        return -1;
    int bad = 0;
    for (size_t i = 0; i < a.size(); ++i)
        for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF)) > 8) {
                ++bad;
                break;
            }
    return bad;
}

void EnsureHandles() {
    if (MemRefsCapacity() == 0)
        InitMemRefs();  // as the plug-in's start-up makes them
    SetAppInstance(GetModuleHandleA(nullptr));  // the templates and strings are linked in
}

struct InstalledPrinter {
    RecordingPrinter printer;
    PrintDevice* before = SetPrintDevice(&printer);
    ~InstalledPrinter() { SetPrintDevice(before); }
};

TEST(Printing, FiveCardsTwoToAPageInThePlugin) {
    SKIP_UNLESS_TRUE_COLOUR("the printed cards are compared pixel for pixel with their pictures' colours");
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    for (uint16_t i = 0; i < 5; ++i) {
        sb::Card card = sb::PictureCard(static_cast<uint16_t>(i + 1), sb::SolidPicture(kCardW, kCardH, 8, i));
        card.picture->palette.assign(std::begin(kColors), std::end(kColors));
        stack.cards.push_back(card);
    }
    stack.cards[1].objects.push_back(sb::ShapedButton(21, {8, 8, 40, 30}, "Go", 2));
    sb::Object hidden = sb::ShapedButton(22, {20, 10, 60, 40}, "Hid", 2);
    hidden.flags = 0x20;
    stack.cards[0].objects.push_back(hidden);
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "print-" + ProcessTag() + ".stk", &page));
    const HWND embed = page.embed;

    std::vector<std::vector<uint32_t>> shown;
    for (int i = 0; i < 5; ++i) {
        shown.push_back(WindowPixels(embed));
        SendMessageA(embed, WM_COMMAND, 204, 0);  // the next card (the first after the last)
    }
    ASSERT_EQ(GetCardId(GetCurrentCardRecord()), 1);
    EXPECT_EQ(Mismatches(shown[0], std::vector<uint32_t>(shown[0].size(), 0xFF0000)), 0) << "card 1 is plain red";

    {
        InstalledPrinter installed;
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("PRINT_STK"), [](DialogView& box) {
            EXPECT_TRUE(box.IsChecked(IDC_PRINT_CURRENT));
            EXPECT_TRUE(box.IsChecked(IDC_PRINT_ONE));
            EXPECT_EQ(box.Text(IDC_PRINT_PAGES), "1");
            box.SetChecked(IDC_PRINT_ALL, true);
            box.SetChecked(IDC_PRINT_CURRENT, false);
            box.SetChecked(IDC_PRINT_TWO, true);
            box.SetChecked(IDC_PRINT_ONE, false);
            EXPECT_EQ(box.Text(IDC_PRINT_PAGES), "3");
            box.Press(IDOK);
        });
        EXPECT_EQ(driver.Run([&] { return RunPrintMenuCommand(embed, kPrintCommand); }), 1);
        RecordingPrinter& p = installed.printer;
        HDC screen = GetDC(nullptr);
        const int screenBits = GetDeviceCaps(screen, BITSPIXEL);
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(p.documents, 1);
        EXPECT_EQ(p.endedDocuments, 1);
        EXPECT_EQ(p.openPages, 0);
        EXPECT_TRUE(p.abort);
        ASSERT_EQ(p.pages.size(), 3u);
        // 4:3 in a 4700 x 3225 slot: the height fills it.
        const int w = 3225 * kCardW / kCardH;
        for (size_t pg = 0; pg < 3; ++pg) {
            const RecordedPage rec = ReadRecordedPage(p.pages[pg]);
            ASSERT_EQ(rec.images.size(), pg < 2 ? 2u : 1u) << pg;
            for (size_t k = 0; k < rec.images.size(); ++k) {
                const RecordedImage& image = rec.images[k];
                const RECT want{50, k == 0 ? 50 : 3325, 50 + w, (k == 0 ? 50 : 3325) + 3225};
                EXPECT_TRUE(EqualRect(&image.dest, &want)) << pg << "/" << k << ": " << image.dest.left << ","
                                                           << image.dest.top << " " << image.dest.right << ","
                                                           << image.dest.bottom;
                EXPECT_EQ(image.depth, screenBits == 16 ? 24 : screenBits) << "16 bits are widened";
                EXPECT_EQ(Mismatches(image.pixels, shown[pg * 2 + k]), 0) << "card " << pg * 2 + k + 1 << " " << image.width << "x" << image.height << " " << image.pixels.size();
            }
        }
    }
    EXPECT_EQ(WindowPixels(embed), shown[0]) << "the window's card as before";

    {
        // The current card four to a page, after the default printer changed (0x100C).
        InstalledPrinter installed;
        installed.printer.failOnceWith = 0x100C;
        SendMessageA(embed, WM_COMMAND, 204, 0);
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("PRINT_STK"), [](DialogView& box) {
            EXPECT_TRUE(box.IsChecked(IDC_PRINT_ONE)) << "every print starts from one per page";
            box.SetChecked(IDC_PRINT_FOUR, true);
            box.SetChecked(IDC_PRINT_ONE, false);
            box.Press(IDOK);
        });
        EXPECT_EQ(driver.Run([&] { return RunPrintMenuCommand(embed, kPrintCommand); }), 1);
        RecordingPrinter& p = installed.printer;
        // The context kept the first print's printer, so no defaults come first.
        ASSERT_EQ(p.dialogFlags.size(), 3u) << "print, defaults again, print";
        EXPECT_FALSE(p.dialogFlags[0] & PD_RETURNDEFAULT);
        EXPECT_TRUE(p.dialogFlags[1] & PD_RETURNDEFAULT);
        EXPECT_TRUE(p.dialogFlags[2] & PD_NOPAGENUMS);
        ASSERT_EQ(p.pages.size(), 1u);
        const RecordedPage rec = ReadRecordedPage(p.pages[0]);
        ASSERT_EQ(rec.images.size(), 4u);
        const int w = 2325, h = 2325 * kCardH / kCardW;
        const POINT at[] = {{50, 50}, {w + 100, 50}, {50, h + 100}, {w + 100, h + 100}};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(rec.images[k].dest.left, at[k].x) << k;
            EXPECT_EQ(rec.images[k].dest.top, at[k].y) << k;
            EXPECT_EQ(Mismatches(rec.images[k].pixels, shown[1]), 0) << "card 2, copy " << k;
        }
    }

    {
        // Pages 2 to 2 of all cards two to a page: cards 3 and 4.
        InstalledPrinter installed;
        installed.printer.pageNumbers = true;
        installed.printer.fromPage = installed.printer.toPage = 2;
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("PRINT_STK"), [](DialogView& box) {
            box.SetChecked(IDC_PRINT_ALL, true);
            box.SetChecked(IDC_PRINT_CURRENT, false);
            box.SetChecked(IDC_PRINT_TWO, true);
            box.SetChecked(IDC_PRINT_ONE, false);
            box.Press(IDOK);
        });
        EXPECT_EQ(driver.Run([&] { return RunPrintMenuCommand(embed, kPrintCommand); }), 1);
        ASSERT_EQ(installed.printer.pages.size(), 1u);
        const RecordedPage rec = ReadRecordedPage(installed.printer.pages[0]);
        ASSERT_EQ(rec.images.size(), 2u);
        EXPECT_EQ(Mismatches(rec.images[0].pixels, shown[2]), 0);
        EXPECT_EQ(Mismatches(rec.images[1].pixels, shown[3]), 0);
    }

    {
        // Cancel in PRINT_STK prints nothing.
        InstalledPrinter installed;
        DialogDriver driver;
        driver.Expect(DialogMatch::Template("PRINT_STK"), [](DialogView& box) { box.Press(IDCANCEL); });
        EXPECT_EQ(driver.Run([&] { return RunPrintMenuCommand(embed, kPrintCommand); }), 0);
        EXPECT_EQ(installed.printer.documents, 0);
        EXPECT_EQ(PeekPrintContext()->layout, 0);
    }

    // No printer: the system's print dialog fails here; nothing is shown.
    FreePrintContext();
    DialogDriver quiet;
    EXPECT_EQ(quiet.Run([&] { return RunPrintMenuCommand(embed, kPrintCommand); }), 0);
    EXPECT_EQ(quiet.DialogsSeen(), 0);
    {
        InstalledPrinter none;
        none.printer.hasPrinter = false;
        FreePrintContext();
        EXPECT_EQ(quiet.Run([&] { return RunPrintMenuCommand(embed, kPageSetupCommand); }), 0);
        EXPECT_EQ(quiet.DialogsSeen(), 0);
    }
    CloseLinkedPlugin(&page);
    FreePrintContext();
}

HGLOBAL SmallDib(uint32_t rgb) {
    HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40 + 8 * 2);
    auto* header = static_cast<BITMAPINFOHEADER*>(GlobalLock(global));
    header->biSize = 40;
    header->biWidth = header->biHeight = 2;
    header->biPlanes = 1;
    header->biBitCount = 24;
    auto* bits = reinterpret_cast<uint8_t*>(header + 1);
    for (int i = 0; i < 2; ++i)
        for (int x = 0; x < 2; ++x) {
            bits[i * 8 + 3 * x] = rgb & 0xFF;
            bits[i * 8 + 3 * x + 1] = (rgb >> 8) & 0xFF;
            bits[i * 8 + 3 * x + 2] = (rgb >> 16) & 0xFF;
        }
    GlobalUnlock(global);
    return global;
}

std::vector<uint8_t> PicturesRequest(RECT rect, const std::vector<HGLOBAL>& dibs, uint32_t count) {
    std::vector<uint8_t> block(22 + 4 * dibs.size());
    block[0] = 0x00;
    block[1] = 0x10;
    std::memcpy(&block[2], &count, 4);
    std::memcpy(&block[6], &rect, 16);
    for (size_t i = 0; i < dibs.size(); ++i) {
        const uint32_t h = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(dibs[i]));
        std::memcpy(&block[22 + 4 * i], &h, 4);
    }
    return block;
}

TEST(Printing, PicturesOfAModuleRequest) {
    EnsureHandles();
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    std::vector<HGLOBAL> dibs;
    for (int i = 0; i < 64; ++i)
        dibs.push_back(SmallDib(i == 8 ? 0x00FF00 : 0x0000FF));
    HGLOBAL damaged = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 20);  // no whole header
    dibs[3] = damaged;
    const int side = 100 * 96 / dpi;  // 100 pixels at 96 dpi, whatever the screen has
    {
        InstalledPrinter installed;
        const std::vector<uint8_t> request = PicturesRequest({0, 0, side, side}, dibs, 64);
        EXPECT_EQ(DoPrintMenuCommand(window, window, kPrintCommand, 0, "pictures", request), 1);
        ASSERT_EQ(installed.printer.pages.size(), 2u);
        const RecordedPage first = ReadRecordedPage(installed.printer.pages[0]);
        const RecordedPage second = ReadRecordedPage(installed.printer.pages[1]);
        EXPECT_EQ(first.images.size(), 62u) << "63 cells, the damaged picture's left empty";
        EXPECT_EQ(second.images.size(), 1u);
        const int cell = side * 600 / dpi;
        bool found = false;
        for (const RecordedImage& image : first.images)
            if (!image.pixels.empty() && image.pixels[0] == 0x00FF00) {
                found = true;
                EXPECT_EQ(image.dest.left, cell + 100);
                EXPECT_EQ(image.dest.top, cell + 100);
                EXPECT_EQ(image.dest.right - image.dest.left, cell);
            }
        EXPECT_TRUE(found);
        if (dpi == 96) {
            EXPECT_EQ(cell, 625);
        }
    }
    {
        // An oversized picture prints one to a page; a count below 1 and other kinds print nothing.
        InstalledPrinter installed;
        const std::vector<HGLOBAL> three(dibs.begin(), dibs.begin() + 3);
        EXPECT_EQ(DoPrintMenuCommand(window, window, kPrintCommand, 0, "big", PicturesRequest({0, 0, 5000, 3000}, three, 3)), 1);
        EXPECT_EQ(installed.printer.pages.size(), 3u);
        EXPECT_EQ(DoPrintMenuCommand(window, window, kPrintCommand, 0, "none", PicturesRequest({0, 0, 10, 10}, three, 0)), 0);
        std::vector<uint8_t> other = PicturesRequest({0, 0, 10, 10}, three, 3);
        other[1] = 0x30;
        EXPECT_EQ(DoPrintMenuCommand(window, window, kPrintCommand, 0, "other", other), 0);
        // A count larger than the block reads no further than the block.
        EXPECT_EQ(DoPrintMenuCommand(window, window, kPrintCommand, 0, "short", PicturesRequest({0, 0, 10, 10}, three, 1000)), 1);
        EXPECT_EQ(installed.printer.pages.size(), 4u);
    }
    for (HGLOBAL dib : dibs)
        GlobalFree(dib);
    DestroyWindow(window);
    FreePrintContext();
}

LayerHandle g_field = nullptr;

std::wstring Joined(const std::vector<RecordedPage>& pages) {
    std::wstring all;
    for (const RecordedPage& page : pages)
        for (const std::wstring& text : page.texts)
            all += text;
    return all;
}

// Wine's rich edit formats no range (EM_FORMATRANGE gives 0), so the control is given the
// formatting of a real one: 12-point lines from the range's start, as many as the printing
// rectangle holds, drawn at their place in the DC's pixels; the next position is returned.
std::wstring g_text;  // positions as the control counts them: CR ends a line
std::vector<FORMATRANGE> g_formats;
int g_releases = 0;
WNDPROC g_richEditProc = nullptr;
constexpr int kLineTwips = 240;

LRESULT CALLBACK FormattingEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != EM_FORMATRANGE)
        return CallWindowProcA(g_richEditProc, window, message, wParam, lParam);
    if (!lParam) {
        ++g_releases;
        return 0;
    }
    const FORMATRANGE& f = *reinterpret_cast<const FORMATRANGE*>(lParam);
    g_formats.push_back(f);
    const LONG end = f.chrg.cpMax < 0 ? static_cast<LONG>(g_text.size()) : std::min<LONG>(f.chrg.cpMax, g_text.size());
    const int dpiX = GetDeviceCaps(f.hdc, LOGPIXELSX), dpiY = GetDeviceCaps(f.hdc, LOGPIXELSY);
    LONG at = f.chrg.cpMin;
    for (int line = 0; at < end && (line + 1) * kLineTwips <= f.rc.bottom - f.rc.top; ++line) {
        LONG stop = at;
        while (stop < end && g_text[static_cast<size_t>(stop)] != L'\r')
            ++stop;
        if (wParam)
            ExtTextOutW(f.hdc, f.rc.left * dpiX / 1440, (f.rc.top + line * kLineTwips) * dpiY / 1440, 0, nullptr,
                        g_text.c_str() + at, static_cast<UINT>(stop - at), nullptr);
        at = stop < end ? stop + 1 : stop;
    }
    return at;
}

TEST(Printing, TextOfARichEditWithinMargins) {
    EnsureHandles();
    LoadLibraryA("riched20.dll");
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(0, RICHEDIT_CLASSA, "", WS_CHILD | ES_MULTILINE, 0, 0, 200, 100, window, nullptr,
                                nullptr, nullptr);
    ASSERT_TRUE(edit);
    std::string text;
    std::wstring expected;
    for (int i = 1; i <= 150; ++i) {
        const std::string line = "Line " + std::to_string(1000 + i);
        text += line + (i < 150 ? "\r\n" : "");
        g_text += std::wstring(line.begin(), line.end()) + (i < 150 ? L"\r" : L"");
        expected += std::wstring(line.begin(), line.end());
    }
    SetWindowTextA(edit, text.c_str());
    g_field = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(FieldLayer));
    {
        LayerLock<FieldLayer> field(g_field);
        field->common.kind = kObjectText;
        field->window = edit;
    }
    SetActiveTextField(g_field);

    {
        // The system's control here formats nothing: one page, and the loop ends.
        InstalledPrinter installed;
        EXPECT_EQ(DoPrintMenuCommand(window, window, kPrintCommand, 0, "text"), 1);
        EXPECT_EQ(installed.printer.pages.size(), 1u);
    }

    g_richEditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FormattingEdit)));
    std::vector<RecordedPage> pages;
    {
        InstalledPrinter installed;
        EXPECT_EQ(DoPrintMenuCommand(window, window, kPrintCommand, 0, "text"), 1);
        for (HENHMETAFILE page : installed.printer.pages)
            pages.push_back(ReadRecordedPage(page));
    }
    ASSERT_EQ(pages.size(), 3u) << "54 lines to a page of 9 printed inches";
    EXPECT_EQ(pages[2].texts.size(), 150u - 2 * 54);
    EXPECT_EQ(Joined(pages), expected);
    EXPECT_EQ(g_releases, 1);
    ASSERT_EQ(g_formats.size(), 3u);
    // 4800 x 6600 at 600 dpi: a page of 8 x 11 whole inches, one inch of margin all round.
    for (const FORMATRANGE& f : g_formats) {
        const RECT page{0, 0, 8 * 1440, 11 * 1440}, inside{1440, 1440, 7 * 1440, 10 * 1440};
        EXPECT_TRUE(EqualRect(&f.rcPage, &page));
        EXPECT_TRUE(EqualRect(&f.rc, &inside));
        EXPECT_EQ(f.chrg.cpMax, static_cast<LONG>(g_text.size()));
    }
    EXPECT_EQ(g_formats[1].chrg.cpMin, 54 * 10);

    // A selection from the middle prints exactly itself.
    g_formats.clear();
    SendMessageA(edit, EM_SETSEL, 395, 595);
    std::wstring flat;
    for (wchar_t c : g_text.substr(395, 200))
        if (c != L'\r')
            flat += c;
    {
        InstalledPrinter installed;
        EXPECT_EQ(DoPrintMenuCommand(window, window, kPrintCommand, 0, "text"), 1);
        std::vector<RecordedPage> part;
        for (HENHMETAFILE page : installed.printer.pages)
            part.push_back(ReadRecordedPage(page));
        EXPECT_EQ(part.size(), 1u);
        EXPECT_EQ(Joined(part), flat);
        ASSERT_FALSE(g_formats.empty());
        EXPECT_EQ(g_formats[0].chrg.cpMin, 395);
        EXPECT_EQ(g_formats[0].chrg.cpMax, 595);
    }
    // One character or none: nothing is printed.
    SendMessageA(edit, EM_SETSEL, 10, 11);
    {
        InstalledPrinter installed;
        EXPECT_EQ(DoPrintMenuCommand(window, window, kPrintCommand, 0, "text"), 0);
        EXPECT_EQ(installed.printer.documents, 0);
    }
    SetActiveTextField(nullptr);
    GlobalFree(g_field);
    g_field = nullptr;
    DestroyWindow(window);
    FreePrintContext();
}

TEST(Printing, AbortProcedureCountsOutOfDiskCalls) {
    EnsureHandles();
    PrintContext* c = EnsurePrintContext();
    ASSERT_TRUE(c);
    c->abortFlag = 0;
    c->outOfDiskCount = 0;
    for (int i = 1; i <= 63; ++i)
        ASSERT_TRUE(PrintAbortProc(nullptr, -4)) << i;
    EXPECT_FALSE(PrintAbortProc(nullptr, -4));
    EXPECT_EQ(c->abortFlag, 1u);
    c->abortFlag = 0;
    c->outOfDiskCount = 0;
    EXPECT_TRUE(PrintAbortProc(nullptr, 0));
    EXPECT_FALSE(PrintAbortProc(nullptr, -1));
    FreePrintContext();
}

}  // namespace
