// How long the first card of a 50-card stack takes to show once its file is there, and the next
// card, against reading the file and a plain decode-and-show of one card's picture: the plug-in
// linked into this program and hosted as the tests host it. Two stacks: each card a picture with a
// button and a text object, and the same without the text object (`text` or `pictures` as the
// argument measures only that one). It prints the medians of a number of rounds
// (LOOM_BENCH_ROUNDS, 15) and the ratios; it times nothing it asserts.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/memory/Handles.h"
#include "cardview/card/CardRedrawServices.h"
#include "core/ui/ScreenDepth.h"
#include "host/player/CardNavigation.h"
#include "stack/cards/CardList.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace sb = stackbuilder;

namespace {

constexpr int kCards = 50, kWidth = 640, kHeight = 480;

// Pictures that differ from card to card and do not pack to nothing: bands and a diagonal
// pattern of 200 colours.
sb::Stack FiftyCards(bool withText) {
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    for (uint16_t id = 1; id <= kCards; ++id) {
        sb::Picture picture;
        picture.width = kWidth;
        picture.height = kHeight;
        picture.depth = 8;
        picture.pixels.resize(size_t(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                picture.pixels[size_t(y) * kWidth + x] = uint32_t((x / 8 + y / 6 + id * 7 + ((x ^ y) & 3)) % 200);
        for (int i = 0; i < 256; ++i)
            picture.palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(i * 3)});
        sb::Card card = sb::PictureCard(id, picture);
        card.objects.push_back(sb::Button(1, {20, 20, 120, 50}, "Next"));
        if (withText)
            card.objects.push_back(sb::TextField(2, {20, 80, 300, 200}, "Notes", "Card " + std::to_string(id)));
        stack.cards.push_back(card);
    }
    return stack;
}

double Now() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Everything drawn that the window waits to draw.
void Shown(HWND window) {
    UpdateWindow(window);
    PumpPageMessages();
    GdiFlush();
}

// The whole file read as the reader would, into memory.
void ReadWholeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    std::vector<char> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr);
    CloseHandle(file);
}

int DisplayBits() {
    HDC screen = GetDC(nullptr);
    const int bits = GetDeviceCaps(screen, BITSPIXEL);
    ReleaseDC(nullptr, screen);
    return bits;
}

// One card's picture decoded to a DIB and put on the window, nothing else.
void DecodeAndShow(HWND window, int index) {
    // At the display's depth, as the redraw decodes it (the working depth is the stack's).
    DibHandle dib = 0;
    const int display = RecordedDepth(DisplayBits());
    CardPictureForDisplay(GetCardByIndex(index), display, &dib);
    if (dib) {
        HandleLock lock(dib);
        const auto* info = reinterpret_cast<const BITMAPINFO*>(lock.get());
        const uint32_t colours = info->bmiHeader.biBitCount <= 8
                                     ? (info->bmiHeader.biClrUsed ? info->bmiHeader.biClrUsed : 1u << info->bmiHeader.biBitCount)
                                     : 0;
        const uint8_t* bits = lock.get() + info->bmiHeader.biSize + colours * 4;
        HDC dc = GetDC(window);
        SetDIBitsToDevice(dc, 0, 0, kWidth, kHeight, 0, 0, 0, kHeight, bits, info, DIB_RGB_COLORS);
        ReleaseDC(window, dc);
    }
    DisposeHandle(dib);
    GdiFlush();
}

// The stack opened in a page, then each round: the file read, one picture decoded and shown, the
// stack opened again and three cards on. The medians printed; false when it did not open.
bool Measure(bool withText, int rounds) {
    LinkedPluginPage page;
    if (!OpenInLinkedPlugin(FiftyCards(withText), ProcessUniqueName(withText ? "firstcard" : "firstpicture", "stk"), &page)) {
        std::fprintf(stderr, "FirstCard_bench: the stack did not open\n");
        return false;
    }
    std::vector<double> first, next, read, decode;
    for (int round = 0; round < rounds; ++round) {
        double t = Now();
        ReadWholeFile(page.file);
        read.push_back(Now() - t);

        t = Now();
        DecodeAndShow(page.embed, 1 + round % kCards);
        decode.push_back(Now() - t);

        t = Now();
        if (!OpenAgainFromThisMachine(page)) {
            std::fprintf(stderr, "FirstCard_bench: the stack did not open again\n");
            CloseLinkedPlugin(&page);
            return false;
        }
        Shown(page.embed);
        first.push_back(Now() - t);

        for (int step = 0; step < 3; ++step) {
            t = Now();
            GoNextCard();
            Shown(page.embed);
            next.push_back(Now() - t);
        }
    }
    CloseLinkedPlugin(&page);
    const double r = Median(read), d = Median(decode), f = Median(first), n = Median(next);
    std::printf("%s (%d-bit display):\n", withText ? "a picture, a button and a text object a card" : "a picture and a button a card",
                DisplayBits());
    std::printf("  read the file %.2f ms, decode and show %.2f ms\n", r, d);
    std::printf("  first card %.2f ms: %.2f times reading plus decode-and-show\n", f, f / (r + d));
    std::printf("  next card %.2f ms: %.2f times decode-and-show\n", n, n / d);
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const char* roundsText = std::getenv("LOOM_BENCH_ROUNDS");
    const int rounds = roundsText ? std::max(1, std::atoi(roundsText)) : 15;
    const std::string only = argc > 1 ? argv[1] : "";
    if (only != "" && only != "text" && only != "pictures") {
        std::fprintf(stderr, "usage: loom_bench_win [text|pictures]\n");
        return 2;
    }
    if (only != "pictures" && !Measure(true, rounds))
        return 1;
    if (only != "text" && !Measure(false, rounds))
        return 1;
    return 0;
}
