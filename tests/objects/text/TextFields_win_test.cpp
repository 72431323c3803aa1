// Text fields in the plug-in itself, hosted in this program by the test browser's code: their
// windows over a builder-made card, typed text and typed web addresses through real input,
// clicks on a button over a field and on a read-only field, the rendering into the card when
// another tool hides the windows, Hide Objects, the smooth scroll, and the class gone at the end.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "actions/ActionBlock.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/text/StringRuns.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/TextFields.h"
#include "objects/text/TextLinks.h"
#include "format/ResFile.h"
#include "stack/StackOpenSession.h"
#include "stack/save/ResourceUpkeep.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 240, kCardH = 160;
constexpr uint16_t kFramed = 21, kClear = 22, kReadOnly = 23, kButtonOver = 11, kAction = 300;
constexpr sb::Rect kFramedRect = {10, 10, 130, 70}, kClearRect = {140, 10, 230, 70},
                   kReadOnlyRect = {10, 62, 130, 140}, kButtonRect = {95, 35, 125, 58};
constexpr COLORREF kPictureColor = RGB(0, 128, 255), kFieldColor = RGB(255, 255, 192);

sb::Object Field(uint16_t id, sb::Rect rect, uint16_t options, uint16_t flags, uint16_t action = 0) {
    sb::Object field = sb::TextField(id, rect, "F" + std::to_string(id), "");
    field.flags = flags;
    field.words = {{26, options}, {30, 3}};  // colour index 2, stored plus one
    if (action)
        field.words.push_back({102, action});
    return field;
}

sb::Stack FieldStack() {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    for (uint16_t id = 1; id <= 2; ++id) {
        sb::Card card = sb::PictureCard(id, sb::SolidPicture(kCardW, kCardH, 8, 1));
        card.picture->palette = {{255, 255, 255}, {0, 128, 255}, {255, 255, 192}};
        if (id == 1) {
            card.objects.push_back(Field(kFramed, kFramedRect, kTextScrollBar | kTextFrame, 0));
            card.objects.push_back(sb::ShapedButton(kButtonOver, kButtonRect, "B", 2, 0, -1));
            card.objects.push_back(Field(kClear, kClearRect, 0, kTextTransparent));
            card.objects.push_back(Field(kReadOnly, kReadOnlyRect, kTextReadOnly, 0, kAction));
        }
        stack.cards.push_back(card);
    }
    sb::Resource action;
    action.type = "Actn";
    action.id = kAction;
    action.data = sb::ActionRecord(sb::ShapedButton(99, {0, 0, 1, 1}, "", 2, 0, -1));  // to the next card
    stack.resources.push_back(action);
    return stack;
}

// As the browser's loop does: keys become characters.
void Pump(int rounds = 5) {
    for (int i = 0; i < rounds; ++i) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

void Keys(std::initializer_list<std::pair<WORD, bool>> keys) {
    std::vector<INPUT> inputs;
    for (auto [key, down] : keys) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Pump();
}

void Type(const std::string& text) {
    for (char c : text) {
        const SHORT scan = VkKeyScanA(c);
        const WORD key = LOBYTE(scan);
        if (HIBYTE(scan) & 1)
            Keys({{VK_SHIFT, true}, {key, true}, {key, false}, {VK_SHIFT, false}});
        else
            Keys({{key, true}, {key, false}});
    }
}

void Mouse(HWND embed, int x, int y, DWORD flags) {
    POINT at = {x, y};
    ClientToScreen(embed, &at);
    SetCursorPos(at.x, at.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
    Pump();
}

void Click(HWND embed, int x, int y) {
    Mouse(embed, x, y, MOUSEEVENTF_LEFTDOWN);
    Mouse(embed, x, y, MOUSEEVENTF_LEFTUP);
}

std::string TextOf(HWND field) { return TextGetRange(field, 0, -1, -1); }

RECT CardRectOf(HWND window, HWND embed) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, embed, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<COLORREF> Grab(HWND embed, const RECT& r) {
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(embed);
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(embed, dc);
    return pixels;
}

// Within what a 16-bit display keeps of a colour.
bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= 8 && std::abs(GetGValue(a) - GetGValue(b)) <= 8 &&
           std::abs(GetBValue(a) - GetBValue(b)) <= 8;
}

int Differing(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    int n = 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        n += !Near(a[i], b[i]);
    return n;
}

int CountOf(const std::vector<COLORREF>& pixels, COLORREF color) {
    int n = 0;
    for (COLORREF c : pixels)
        n += Near(c, color);
    return n;
}

// The messages the card window sees, recorded in front of its own procedure.
WNDPROC g_cardProc = nullptr;
std::vector<std::pair<UINT, WPARAM>> g_cardKeys;
LRESULT CALLBACK RecordingCard(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_CHAR)
        g_cardKeys.emplace_back(message, wParam);
    return CallWindowProcA(g_cardProc, window, message, wParam, lParam);
}

// The stack's links as text, field id and the web address their action opens.
struct StackLink {
    std::string text;
    uint16_t fieldId = 0;
    std::string url;
};
std::vector<StackLink> StackLinks() {
    std::vector<StackLink> links;
    StackResFileCurrent stackFile;
    for (int i = 1; i <= CountResources(kHlnk); ++i) {
        const Handle data = GetIndResource(kHlnk, i);
        const std::vector<uint8_t> bytes = HandleToBytes(data);
        const std::optional<LinkFields> fields = ReadLinkFields(bytes);
        if (!fields)
            continue;
        StackLink link{std::string(fields->text), fields->fieldId, {}};
        ActionBlock block{};
        if (fields->hasActions && LoadActionBlock(data, fields->actionOffset, &block) && block.urlSet &&
            (GetHandleWord(data, fields->actionOffset + kButtonActionFlags) & kActUrl))
            if (const char* url = LockUrlBuffer())
                link.url = url;
        FreeUrlBuffer();
        DisposeActionBlockData(&block);
        links.push_back(link);
    }
    return links;
}

bool Saw(UINT message, WPARAM wParam) {
    for (auto [m, w] : g_cardKeys)
        if (m == message && w == wParam)
            return true;
    return false;
}

TEST(TextFields, LiveWindowsTypingClicksRenderingAndTheClassGoneAtTheEnd) {
    SKIP_UNLESS_TRUE_COLOUR("the field and picture colours are counted by exact value");
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(FieldStack(), "fields-" + ProcessTag() + ".stk", &page));
    const HWND embed = page.embed;
    ASSERT_EQ(GetCurrentCardId(), 1);
    SetForegroundWindow(page.page);
    Pump();
    HWND framed = GetDlgItem(embed, kFramed), clear = GetDlgItem(embed, kClear), readOnly = GetDlgItem(embed, kReadOnly);
    ASSERT_TRUE(framed && clear && readOnly);

    // Styles follow the options; no client edge; the layer in the word at RichEdit's count.
    const auto style = [](HWND w) { return static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)) & ~WS_VISIBLE; };
    const auto extended = [](HWND w) { return static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE)); };
    EXPECT_EQ(style(framed), 0x44A0A044u);
    EXPECT_EQ(style(clear), 0x44008044u);
    EXPECT_EQ(style(readOnly), 0x44008044u | ES_READONLY);
    for (HWND w : {framed, clear, readOnly})
        EXPECT_FALSE(extended(w) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(extended(clear) & WS_EX_TRANSPARENT);
    EXPECT_FALSE(extended(framed) & (WS_EX_TRANSPARENT | WS_EX_RTLREADING));
    WNDCLASSEXA rich = {sizeof rich};
    ASSERT_TRUE(GetClassInfoExA(nullptr, "RichEdit20A", &rich));
    EXPECT_EQ(reinterpret_cast<LayerHandle>(static_cast<LONG_PTR>(GetWindowLongA(framed, rich.cbWndExtra))),
              FindLayer(kObjectText, kFramed));
    // The windows sit at their bounds and show in the browse tool.
    const RECT at = CardRectOf(framed, embed);
    EXPECT_EQ(at.left, kFramedRect.left);
    EXPECT_EQ(at.top, kFramedRect.top);
    EXPECT_EQ(at.right, kFramedRect.right);
    EXPECT_EQ(at.bottom, kFramedRect.bottom);
    EXPECT_TRUE(IsWindowVisible(framed) && IsWindowVisible(clear) && IsWindowVisible(readOnly));

    // The button above the framed field is cut out of it; the field above it is not; nothing
    // lies above the transparent one.
    HRGN region = MakeFieldWindowRegion(FindLayer(kObjectText, kFramed));
    ASSERT_TRUE(region);
    EXPECT_FALSE(PtInRegion(region, 105 - kFramedRect.left, 45 - kFramedRect.top)) << "under the button";
    EXPECT_TRUE(PtInRegion(region, 20 - kFramedRect.left, 66 - kFramedRect.top)) << "under the other field";
    EXPECT_TRUE(PtInRegion(region, 20, 20));
    DeleteObject(region);
    EXPECT_EQ(MakeFieldWindowRegion(FindLayer(kObjectText, kClear)), nullptr);

    // Typing through the keyboard: the text shows and a typed address is offered as a link.
    Click(embed, 30, 20);
    EXPECT_EQ(GetFocus(), framed);
    EXPECT_EQ(GetActiveTextField(), FindLayer(kObjectText, kFramed));
    EXPECT_EQ(GetCurrentFieldName(), std::string("\3F21"));
    Type("see www.x.com ");
    EXPECT_EQ(TextOf(framed), "see www.x.com ");
    ASSERT_EQ(StackLinks().size(), 1u);
    EXPECT_EQ(StackLinks().back().text, "www.x.com");
    EXPECT_EQ(StackLinks().back().fieldId, kFramed);
    EXPECT_EQ(StackLinks().back().url, "www.x.com") << "the link's one action opens the address";
    Type("<http:a> ");
    ASSERT_EQ(StackLinks().size(), 2u);
    EXPECT_EQ(StackLinks().back().text, "http:a>");
    // The same address typed again makes no second link.
    Type("www.x.com ");
    EXPECT_EQ(StackLinks().size(), 2u);
    {
        LayerLock<FieldLayer> field(FindLayer(kObjectText, kFramed));
        EXPECT_EQ(field->modified, 1);
    }
    // Enter: the break RichEdit put before the caret is left out.
    Type("go www.y.com");
    Keys({{VK_RETURN, true}, {VK_RETURN, false}});
    EXPECT_EQ(StackLinks().back().text, "www.y.com");
    // Of a 300-character run only the last 255 are looked at.
    const size_t before = StackLinks().size();
    TextSetText(framed, ("www." + std::string(296, 'a')).c_str());
    TextSetSel(framed, 300, 300, false);
    SendMessageA(framed, WM_CHAR, ' ', 0);
    EXPECT_EQ(StackLinks().size(), before) << "the prefix lies 300 characters back";
    TextSetText(framed, (std::string(45, 'a') + "www." + std::string(251, 'b')).c_str());
    TextSetSel(framed, 300, 300, false);
    SendMessageA(framed, WM_CHAR, ' ', 0);
    ASSERT_EQ(StackLinks().size(), before + 1);
    EXPECT_EQ(StackLinks().back().text, "www." + std::string(251, 'b'));
    EXPECT_EQ(StackLinks().back().url, "www." + std::string(251, 'b'));

    // Shift+Tab goes to the card window as Shift and Tab; a plain Tab is typed.
    TextSetText(framed, "tab");
    TextSetSel(framed, 3, 3, false);
    SetFocus(framed);
    g_cardProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(embed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingCard)));
    Keys({{VK_SHIFT, true}, {VK_TAB, true}, {VK_TAB, false}, {VK_SHIFT, false}});
    EXPECT_TRUE(Saw(WM_KEYDOWN, VK_SHIFT));
    EXPECT_TRUE(Saw(WM_CHAR, '\t'));
    EXPECT_EQ(TextOf(framed), "tab");
    SetFocus(framed);
    Keys({{VK_TAB, true}, {VK_TAB, false}});
    EXPECT_EQ(TextOf(framed), "tab\t");
    SetWindowLongPtrA(embed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_cardProc));
    SelectToolNumber(kBrowseTool);  // the card's own keys may have changed the tool
    Pump();

    // A press on the button over the field highlights the button.
    const RECT inButton = {100, 40, 120, 52};
    const std::vector<COLORREF> plain = Grab(embed, inButton);
    // (The test page is a static control, which real input passes through: the press is sent
    // to the field as if its window covered the button, and it hands it on.)
    POINT press = {110, 46};
    MapWindowPoints(embed, framed, &press, 1);
    SendMessageA(framed, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    Pump();
    EXPECT_GT(Differing(Grab(embed, inButton), plain), 100) << "highlighted";
    // Released away from the button: it does not go to the next card.
    SendMessageA(embed, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 150));
    SendMessageA(embed, WM_LBUTTONUP, 0, MAKELPARAM(200, 150));
    Pump();
    EXPECT_EQ(GetCurrentCardId(), 1);

    // Control and a click on the read-only field: no actions, no caret moved.
    TextSetText(readOnly, "read only text");
    TextSetSel(readOnly, 0, 0, false);
    Keys({{VK_CONTROL, true}});
    Click(embed, 100, 100);
    Keys({{VK_CONTROL, false}});
    EXPECT_EQ(GetCurrentCardId(), 1);
    int32_t start = -1, end = -1;
    TextGetSel(readOnly, &start, &end);
    EXPECT_EQ(start, 0);
    EXPECT_EQ(end, 0);

    // A paint tool hides the windows; the card then shows the same text, the transparent field
    // over the card picture and the opaque one on its colour.
    TextSetText(framed, "Hello\r\nfield");
    TextSetText(clear, "Clear text");
    SetFocus(embed);
    Pump();
    RedrawWindow(embed, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    const RECT framedInside = {kFramedRect.left + 2, kFramedRect.top + 2, kFramedRect.right - 24, kFramedRect.bottom - 12};
    const RECT clearInside = {kClearRect.left + 1, kClearRect.top + 1, kClearRect.right - 1, kClearRect.bottom - 1};
    const std::vector<COLORREF> liveFramed = Grab(embed, framedInside), liveClear = Grab(embed, clearInside);
    TextSetSel(framed, 2, 5, false);
    SelectToolNumber(kLineTool);
    Pump();
    EXPECT_FALSE(IsWindowVisible(framed) || IsWindowVisible(clear) || IsWindowVisible(readOnly));
    RedrawWindow(embed, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    const std::vector<COLORREF> drawnFramed = Grab(embed, framedInside), drawnClear = Grab(embed, clearInside);
    EXPECT_LT(Differing(drawnFramed, liveFramed), static_cast<int>(liveFramed.size()) / 50);
    EXPECT_LT(Differing(drawnClear, liveClear), static_cast<int>(liveClear.size()) / 50);
    EXPECT_GT(CountOf(drawnFramed, kFieldColor), static_cast<int>(drawnFramed.size()) / 2);
    EXPECT_GT(CountOf(drawnClear, kPictureColor), static_cast<int>(drawnClear.size()) / 2)
;
    const int textPixels = static_cast<int>(drawnFramed.size()) - CountOf(drawnFramed, kFieldColor);
    EXPECT_GT(textPixels, 20) << "the text is drawn";
    TextGetSel(framed, &start, &end);
    EXPECT_EQ(start, 2) << "drawing kept the field's selection";
    EXPECT_EQ(end, 5);
    // With the object tool too the fields are drawn into the card: the framed one with its
    // one-pixel frame, the unframed one without.
    SelectToolNumber(kArrowTool);
    Pump();
    RedrawWindow(embed, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    Pump();
    const COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    const int framedMiddle = (kFramedRect.top + kFramedRect.bottom) / 2, clearMiddle = (kClearRect.top + kClearRect.bottom) / 2;
    EXPECT_TRUE(Near(WindowPixel(embed, kFramedRect.left, framedMiddle), frame))
        << std::hex << WindowPixel(embed, kFramedRect.left, framedMiddle);
    EXPECT_TRUE(Near(WindowPixel(embed, (kFramedRect.left + kFramedRect.right) / 2, kFramedRect.top), frame));
    EXPECT_TRUE(Near(WindowPixel(embed, kClearRect.left, clearMiddle), kPictureColor))
        << std::hex << WindowPixel(embed, kClearRect.left, clearMiddle);

    // Back to browse; Hide Objects hides them and Show Objects brings them back.
    SelectToolNumber(kBrowseTool);
    Pump();
    EXPECT_TRUE(IsWindowVisible(framed) && IsWindowVisible(clear));
    constexpr WPARAM kHideObjects = 364;
    SendMessageA(embed, WM_COMMAND, kHideObjects, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(framed) || IsWindowVisible(clear));
    SendMessageA(embed, WM_COMMAND, kHideObjects, 0);
    Pump();
    EXPECT_TRUE(IsWindowVisible(framed) && IsWindowVisible(clear));

    // Smooth scroll: text that fits ends at once; line by line a longer field ends on its last.
    TextSetText(clear, "short");
    EXPECT_TRUE(ScrollTextField(clear, 0, 2, true, false));
    ScrollTextField(clear, 0, 1, true, false);
    std::string lines;
    for (int i = 0; i < 12; ++i)
        lines += "line " + std::to_string(i) + "\r\n";
    TextSetText(framed, lines.c_str());
    TextSetSel(framed, 0, 0, true);
    EXPECT_FALSE(ScrollTextField(framed, 0, 2, true, false)) << "twelve lines do not fit";
    int stepped = 1;
    while (!ScrollTextField(framed, 8, 0, true, false) && stepped < 100)
        ++stepped;
    EXPECT_GT(stepped, 3) << "some steps before the end";
    EXPECT_LT(stepped, 100) << "and then the end";
    ScrollTextField(framed, 0, 1, true, false);
    // A marquee runs from the right edge to its limit.
    EXPECT_FALSE(ScrollTextField(clear, 0, 2, false, true));
    int across = 1;
    while (!ScrollTextField(clear, 4, 0, false, true) && across < 200)
        ++across;
    EXPECT_LT(across, 200);
    ScrollTextField(clear, 0, 1, false, false);
    TextSetSel(framed, 0, 0, true);
    int steps = 0;
    while (!ScrollFieldLineDown(framed, true) && steps < 40)
        ++steps;
    EXPECT_GT(steps, 2);
    EXPECT_LT(steps, 15);
    const LONG lastVisible = static_cast<LONG>(SendMessageA(framed, EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_GT(lastVisible, 0);

    // A plain browse click on the read-only field performs its action: the next card.
    Click(embed, 100, 100);
    EXPECT_EQ(GetCurrentCardId(), 2);
    EXPECT_FALSE(IsWindow(framed)) << "the card's layers and windows went";

    CloseLinkedPlugin(&page);
    WNDCLASSEXA gone = {sizeof gone};
    EXPECT_FALSE(GetClassInfoExA(GetAppInstance(), kTextFieldClass, &gone));
    EXPECT_FALSE(IsTextFieldClassRegistered());
}

LRESULT CALLBACK PlainRichEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallRichEdit(window, message, wParam, lParam);
}

// Fields made without the plug-in's card, over a plain parent with a layer of their own: the
// Hebrew extras, and the RichEdit requests and streams the other text code uses.
TEST(TextFields, HebrewExtrasRequestsAndStreams) {
    // A handle table of its own when no earlier test left one (the ranges are handles).
    struct OwnTable {
        bool own = MemRefsCapacity() == 0 && InitMemRefs();
        ~OwnTable() {
            if (own)
                FreeMemRefs();
        }
    } table;
    const bool ours = !IsTextFieldClassRegistered();
    ASSERT_TRUE(RegisterTextFieldClass(PlainRichEdit));
    HWND parent = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
    LayerHandle layer = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(FieldLayer));
    {
        LayerLock<FieldLayer> field(layer);
        field->common.kind = kObjectText;
        field->common.id = 5;
        field->common.bounds = {0, 0, 100, 50};
        field->options = kTextNotScrollable;
    }
    SetLanguageId(1037);
    HWND hebrew = CreateTextFieldWindow(parent, layer);
    SetLanguageId(1033);
    HWND plain = CreateTextFieldWindow(parent, layer);
    ASSERT_TRUE(hebrew && plain);
    const DWORD extras = WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(hebrew, GWL_EXSTYLE)) & extras, extras);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(plain, GWL_EXSTYLE)) & extras, 0u);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(plain, GWL_STYLE)) & ~WS_VISIBLE, 0x44008004u) << "not scrollable: no bar";
    EXPECT_EQ(FieldLayerOfWindow(plain), layer);

    // Formats: alignment, size in points through twips, style bits, the colour of the first
    // character with the selection kept.
    TextSetText(plain, "Bold words here");
    TextSetAlignment(plain, -1);
    EXPECT_EQ(TextGetAlignment(plain), -1);
    TextSetAlignment(plain, 1);
    EXPECT_EQ(TextGetAlignment(plain), 1);
    TextSetSize(plain, 18, TextScope::All);
    EXPECT_EQ(TextGetSize(plain, TextScope::All), 18);
    TextSetSel(plain, 0, 4, false);
    TextSetStyle(plain, 1 | 4, TextScope::Selection);
    EXPECT_EQ(TextGetEffects(plain), 5);
    TextSetColor(plain, RGB(200, 0, 0), TextScope::Selection);
    TextSetSel(plain, 6, 6, false);
    EXPECT_EQ(TextGetColor(plain, TextScope::Selection), RGB(200, 0, 0)) << "the first character's";
    int32_t start = 0, end = 0;
    TextGetSel(plain, &start, &end);
    EXPECT_EQ(start, 6);
    EXPECT_EQ(end, 6);

    // Ranges: the whole text without a terminator, the selection with one.
    Handle whole = TextGetRangeHandle(plain, 3, 3);
    EXPECT_EQ(GetHandleSize(whole), 15u);
    DisposeHandle(whole);
    EXPECT_EQ(TextGetSelectedText(plain), 0) << "an empty selection";
    TextSetSel(plain, 5, 10, false);
    Handle selected = TextGetSelectedText(plain);
    ASSERT_TRUE(selected);
    {
        HandleLock lock(selected);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(lock.get())), "words");
    }
    DisposeHandle(selected);

    // Rich text from one field into another keeps the text and its bold; plain text out.
    ASSERT_TRUE(CopyFieldRichText(plain, hebrew));
    EXPECT_EQ(TextGetRange(hebrew, 0, -1, -1), "Bold words here");
    TextSetSel(hebrew, 1, 2, false);
    EXPECT_EQ(TextGetEffects(hebrew) & 1, 1);
    HGLOBAL out = TextStreamOutPlain(plain, true);
    ASSERT_TRUE(out);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(out)), GlobalSize(out)), "words");
    GlobalUnlock(out);
    GlobalFree(out);
    HGLOBAL rtf = TextStreamOutRtf(plain, true);
    ASSERT_TRUE(rtf);
    EXPECT_EQ(std::string(static_cast<const char*>(GlobalLock(rtf)), 5), "{\\rtf");
    GlobalUnlock(rtf);
    GlobalFree(rtf);

    // A plain file streamed in from its start; clearing a read-only field.
    char path[MAX_PATH], folder[MAX_PATH];
    GetTempPathA(sizeof folder, folder);
    GetTempFileNameA(folder, "fld", 0, path);
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD wrote = 0;
    WriteFile(file, "from a file", 11, &wrote, nullptr);
    EXPECT_TRUE(TextStreamInPlainFile(plain, file));
    CloseHandle(file);
    DeleteFileA(path);
    EXPECT_EQ(TextGetRange(plain, 0, -1, -1), "from a file");
    SendMessageA(plain, EM_SETREADONLY, TRUE, 0);
    TextSetSel(plain, 0, 5, false);
    TextClear(plain);
    EXPECT_EQ(TextGetRange(plain, 0, -1, -1), "a file");
    EXPECT_TRUE(GetWindowLongA(plain, GWL_STYLE) & ES_READONLY) << "read-only again";

    DestroyWindow(parent);
    GlobalFree(layer);
    if (ours)
        UnregisterTextFieldClass();
}

}  // namespace
