// Undo and the clipboard in the plug-in: Copy Card and Paste make a fourth card that shows the
// copy's picture and saves with unique ids; Undo twice brings a painting back and a filter step
// cannot be redone; through the real system clipboard a bitmap from another process pastes
// centred, one copied inside pastes where it was, a damaged DIB pastes nothing, and after
// another process puts text there Paste is not offered.
#include <windows.h>
#include <wincodec.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/state/DeferredCommands.h"
#include "paint/Selections.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/clipboard/ClipboardBitmaps.h"
#include "authoring/cards/ClipboardPaste.h"
#include "authoring/cards/UndoMenu.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveStack.h"
#include "stack/undo/Undo.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/StackReporter_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 120, kCardH = 90;
const sb::Rgb kColours[3] = {{200, 40, 40}, {40, 200, 40}, {40, 40, 200}};

sb::Stack ThreeColours() {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    for (uint16_t id = 1; id <= 3; ++id) {
        sb::Card card = sb::PictureCard(id, sb::SolidPicture(kCardW, kCardH, 8, 1));
        card.picture->palette = {{255, 255, 255}, kColours[id - 1]};
        stack.cards.push_back(card);
    }
    return stack;
}

using browsertest::WindowsPath;

std::string TempPath(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + ProcessUniqueName(name);
}

std::string BesideThisProgram(const char* name) {
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string path(exe, n < MAX_PATH ? n : 0);
    return path.substr(0, path.find_last_of("\\/") + 1) + name;
}

class ClipboardInPlugin : public LinkedPluginTest {};

int Slack() {
    HDC screen = GetDC(nullptr);
    const int slack = GetDeviceCaps(screen, BITSPIXEL) == 16 ? 7 : 0;
    ReleaseDC(nullptr, screen);
    return slack;
}

void ExpectColour(COLORREF got, sb::Rgb want, const std::string& what) {
    const int slack = Slack();
    EXPECT_LE(std::abs(int(GetRValue(got)) - want.red), slack) << what << std::hex << " " << got;
    EXPECT_LE(std::abs(int(GetGValue(got)) - want.green), slack) << what << std::hex << " " << got;
    EXPECT_LE(std::abs(int(GetBValue(got)) - want.blue), slack) << what << std::hex << " " << got;
}

COLORREF OffscreenPixel(int x, int y) {
    HDC dc = AcquireOffscreenDC(nullptr);
    const COLORREF c = dc ? GetPixel(dc, x, y) & 0xFFFFFF : CLR_INVALID;
    if (dc)
        ReleaseOffscreenDC(dc);
    return c;
}

// Runs a program and waits for it; its exit code, -1 when it could not start.
int RunAndWait(const std::string& command, DWORD timeout = 60000) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    if (WaitForSingleObject(process.hProcess, timeout) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 99);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// Another process puts something on the system clipboard: this program again, running only the
// helper test below with LOOM_CLIP_PUT saying what.
void PutFromAnotherProcess(const char* what) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    SetEnvironmentVariableA("LOOM_CLIP_PUT", what);
    const int code = RunAndWait(std::string("\"") + exe + "\" --gtest_filter=ClipboardHelper.*");
    SetEnvironmentVariableA("LOOM_CLIP_PUT", nullptr);
    ASSERT_EQ(code, 0) << "the helper process failed for " << what;
}

std::vector<uint8_t> RedDib(int width, int height, bool damaged) {
    const uint32_t row = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    std::vector<uint8_t> dib(40 + row * static_cast<uint32_t>(height), 0);
    SetU32(dib, 0, 40);
    SetU32(dib, 4, static_cast<uint32_t>(width));
    SetU32(dib, 8, static_cast<uint32_t>(height));
    SetU16(dib, 12, damaged ? 3 : 1);
    SetU16(dib, 14, 24);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dib[40 + y * row + x * 3 + 2] = 255;
    return dib;
}

// The helper: skipped unless the environment asks it to put a DIB, a damaged DIB or text.
TEST(ClipboardHelper, PutsWhatTheEnvironmentAsks) {
    const char* what = std::getenv("LOOM_CLIP_PUT");
    if (!what || !*what)
        GTEST_SKIP() << "runs only as the other process of the clipboard tests";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::string kind = what;
    if (kind == "text") {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 6);
        std::memcpy(GlobalLock(block), "hello", 6);
        GlobalUnlock(block);
        EXPECT_TRUE(SetClipboardData(CF_TEXT, block));
    } else {
        const std::vector<uint8_t> dib = RedDib(40, 20, kind == "damaged");
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, dib.size());
        std::memcpy(GlobalLock(block), dib.data(), dib.size());
        GlobalUnlock(block);
        EXPECT_TRUE(SetClipboardData(CF_DIB, block));
    }
    CloseClipboard();
}

TEST_F(ClipboardInPlugin, CopyCardAndPasteMakeAFourthCardThatSavesWithUniqueIds) {
    SKIP_UNLESS_TRUE_COLOUR("the pasted card is compared with the first card's exact colours");
    ASSERT_TRUE(Open(ThreeColours()));
    TakeDeferredCommands();
    SendMessageA(page.embed, WM_COMMAND, 159, 0);  // Copy Card on the first card
    char noun[80] = {};
    EXPECT_TRUE(UpdatePasteMenuItem(noun, sizeof noun));
    EXPECT_STREQ(noun, "card");
    SendMessageA(page.embed, WM_COMMAND, 204, 0);  // next card
    SendMessageA(page.embed, WM_COMMAND, 153, 0);  // Paste
    PumpPageMessages();
    EXPECT_EQ(CountCards(), 4);
    EXPECT_EQ(GetCardCount(), 4);
    EXPECT_EQ(GetCardIndex(GetCurrentCardRecord()), 3) << "pasted after the second card";
    EXPECT_NE(GetCurrentCardId(), 1);
    ExpectColour(OffscreenPixel(10, 10), kColours[0], "the copy shows the first card's picture");

    const std::string saved = TempPath("pasted") + ".stk";
    ASSERT_EQ(SaveStackAsPath(saved.c_str()), 0);
    CloseLinkedPlugin(&page);

    const std::string report = TempPath("report") + ".json";
    const std::string reporter = StackReporterPath();
    const std::string command = "cmd /c \"\"" + reporter + "\" \"" + saved + "\" > \"" + report + "\"\"";
    EXPECT_EQ(RunAndWait(command), 0);
    std::stringstream text;
    text << std::ifstream(report).rdbuf();
    const std::string json = text.str();
    const std::vector<int> ids = browsertest::ReportedCardIds(json);
    EXPECT_EQ(ids.size(), 4u) << json;
    EXPECT_EQ(std::set<int>(ids.begin(), ids.end()).size(), ids.size()) << "card ids are unique";
    DeleteFileA(saved.c_str());
    DeleteFileA(report.c_str());
}

TEST_F(ClipboardInPlugin, UndoTwiceShowsThePaintingAgainAndAFilterStepCannotBeRedone) {
    SKIP_UNLESS_TRUE_COLOUR("the undone painting is compared with exact colours");
    ASSERT_TRUE(Open(ThreeColours()));
    TakeDeferredCommands();
    char text[80] = {};
    EXPECT_FALSE(GetUndoMenuText(text, sizeof text, true));
    EXPECT_STREQ(text, "Undo\tCtrl+Z");

    RecordPaintUndo();
    HDC dc = AcquireOffscreenDC(nullptr);
    ASSERT_TRUE(dc);
    RECT painted{0, 0, 30, 30};
    FillRect(dc, &painted, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseOffscreenDC(dc);
    EXPECT_TRUE(GetUndoMenuText(text, sizeof text, true));
    EXPECT_STREQ(text, "Undo Painting\tCtrl+Z");

    SendMessageA(page.embed, WM_COMMAND, 150, 0);
    ExpectColour(OffscreenPixel(5, 5), kColours[0], "undone");
    SendMessageA(page.embed, WM_COMMAND, 150, 0);
    EXPECT_EQ(OffscreenPixel(5, 5), 0u) << "the painting shows again";

    ASSERT_EQ(RecordFilterUndo('F'), 1);
    dc = AcquireOffscreenDC(nullptr);
    FillRect(dc, &painted, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ReleaseOffscreenDC(dc);
    SendMessageA(page.embed, WM_COMMAND, 150, 0);
    EXPECT_EQ(OffscreenPixel(5, 5), 0u);
    EXPECT_FALSE(GetUndoMenuText(text, sizeof text, false));
    EXPECT_STREQ(text, "Undo");

    // A step stays with its card: on the next card Undo changes nothing.
    RecordPaintUndo();
    SendMessageA(page.embed, WM_COMMAND, 204, 0);
    EXPECT_FALSE(GetUndoMenuText(text, sizeof text, false));
    const COLORREF before = OffscreenPixel(5, 5);
    SendMessageA(page.embed, WM_COMMAND, 150, 0);
    EXPECT_EQ(OffscreenPixel(5, 5), before);

    // A deleted card comes back by Undo.
    DeleteCurrentCard(false);  // 157 without its question
    PumpPageMessages();
    EXPECT_EQ(GetCardCount(), 2);
    EXPECT_EQ(GetUndoKind(), 11);
    SendMessageA(page.embed, WM_COMMAND, 150, 0);
    EXPECT_EQ(GetCardCount(), 3);
    EXPECT_EQ(GetCurrentCardId(), 2);
}

TEST_F(ClipboardInPlugin, TheSystemClipboardBetweenProcesses) {
    SKIP_UNLESS_TRUE_COLOUR("the pasted picture is compared with exact colours");
    ASSERT_TRUE(Open(ThreeColours()));
    TakeDeferredCommands();
    char noun[80] = {};

    PutFromAnotherProcess("dib");
    ASSERT_TRUE(UpdatePasteMenuItem(noun, sizeof noun));
    EXPECT_STREQ(noun, "");
    SendMessageA(page.embed, WM_COMMAND, 153, 0);
    ASSERT_TRUE(IsRectSelectionActive());
    RECT rect{};
    CopyRectSelection(&rect);
    EXPECT_EQ(rect.left, (kCardW - 40) / 2);
    EXPECT_EQ(rect.top, (kCardH - 20) / 2);
    EXPECT_EQ(rect.right - rect.left, 40);
    {
        // The 8-bit stack on a deeper display: the red came through the imaging library's
        // matching as the card palette's nearest colour.
        HBITMAP pasted = nullptr;
        RECT same = rect;
        SwapRectSelection(&same, &pasted);
        ASSERT_TRUE(pasted);
        HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, pasted);
        ExpectColour(GetPixel(dc, 3, 3), kColours[0], "matched to the card palette");
        SelectObject(dc, old);
        DeleteDC(dc);
        same = rect;
        SwapRectSelection(&same, &pasted);
    }
    DropRectSelection(page.embed);

    // Copied inside: pasted where it was.
    HBITMAP bitmap = nullptr;
    {
        HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, 30, 10);
        ReleaseDC(nullptr, screen);
    }
    PutBitmapOnClipboard(bitmap, 7, 9);
    DeleteObject(bitmap);
    EXPECT_TRUE(IsClipboardMarkerPresent());
    SendMessageA(page.embed, WM_COMMAND, 153, 0);
    ASSERT_TRUE(IsRectSelectionActive());
    CopyRectSelection(&rect);
    EXPECT_EQ(rect.left, 7);
    EXPECT_EQ(rect.top, 9);
    DropRectSelection(page.embed);

    PutFromAnotherProcess("damaged");
    SendMessageA(page.embed, WM_COMMAND, 153, 0);
    EXPECT_FALSE(IsRectSelectionActive()) << "a damaged DIB is not pasted";

    SendMessageA(page.embed, WM_COMMAND, 159, 0);  // a card inside, then text from outside
    EXPECT_TRUE(UpdatePasteMenuItem(noun, sizeof noun));
    PutFromAnotherProcess("text");
    EXPECT_FALSE(IsClipboardMarkerPresent());
    EXPECT_FALSE(UpdatePasteMenuItem(noun, sizeof noun));
    EXPECT_EQ(Clip().kind, kClipCard) << "the content stays in memory";
    const int cards = CountCards();
    SendMessageA(page.embed, WM_COMMAND, 153, 0);
    EXPECT_EQ(CountCards(), cards);
}

// One pixel of a PNG file as 0x00RRGGBB through the Windows Imaging Component; CLR_INVALID
// when it cannot be read.
COLORREF PngPixelAt(const std::string& path, int x, int y) {
    uint32_t pixel = CLR_INVALID;
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IWICImagingFactory* factory = nullptr;
    IWICBitmapDecoder* decoder = nullptr;
    IWICBitmapFrameDecode* frame = nullptr;
    IWICBitmapSource* bgr = nullptr;
    const std::wstring wide(path.begin(), path.end());
    const WICRect one{x, y, 1, 1};
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) &&
        SUCCEEDED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame, &bgr))) {
        uint32_t bgrx = 0;
        if (SUCCEEDED(bgr->CopyPixels(&one, 4, 4, reinterpret_cast<BYTE*>(&bgrx))))
            pixel = RGB((bgrx >> 16) & 255, (bgrx >> 8) & 255, bgrx & 255);
    }
    for (IUnknown* object : std::initializer_list<IUnknown*>{bgr, frame, decoder, factory})
        if (object)
            object->Release();
    if (com)
        CoUninitialize();
    return pixel;
}

// Through the test browser: Copy Card on the first card, Next, Paste: the window shows the copy.
TEST_F(ClipboardInPlugin, TheTestBrowserShowsThePastedCopy) {
    SKIP_UNLESS_TRUE_COLOUR("the pasted card is compared with exact colours in the screenshot");
    const char* browserEnv = std::getenv("LOOM_TESTBROWSER");
    const char* dllEnv = std::getenv("LOOM_DLL");
    const std::string browser = WindowsPath(browserEnv && *browserEnv ? browserEnv : BesideThisProgram("testbrowser.exe"));
    const std::string dll = WindowsPath(dllEnv && *dllEnv ? dllEnv : BesideThisProgram("nploom.dll"));
    const std::string folder = TempPath("pasteweb");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::vector<uint8_t> bytes = sb::BuildStack(ThreeColours()).bytes;
    const std::string name = "three.stk";
    std::ofstream(folder + "\\" + name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                                 static_cast<std::streamsize>(bytes.size()));
    const std::string shot = folder + "\\pasted.png";
    std::string command = "\"" + browser + "\"";
    for (const std::string& a : {std::string("--dll"), dll, std::string("--server"), folder, std::string("--answer-alerts"),
                                 std::string("--size"), std::string("160x120"), std::string("--screenshot"), shot,
                                 std::string("--screenshot-after"), std::string("2400"), std::string("--quit-after-last"),
                                 std::string("400"), std::string("--command"), std::string("159@900"),
                                 std::string("--command"), std::string("204@1200"), std::string("--command"),
                                 std::string("153@1500"), "http://localhost/" + name})
        command += " \"" + a + "\"";
    EXPECT_EQ(RunAndWait(command), 0);
    ExpectColour(PngPixelAt(shot, 30, 40), kColours[0], "the copy of the first card is shown");
    EXPECT_EQ(PngPixelAt(shot, 140, 100), RGB(255, 255, 255)) << "beyond the card";
    for (const std::string& file : {shot, folder + "\\" + name})
        DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
