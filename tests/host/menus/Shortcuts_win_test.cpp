// The shortcuts palette and the icon buttons: the pixels DrawIconButton leaves for each state,
// and, in the plug-in as the test browser hosts it, the palette's place, its commands, its wait
// while another dialog is open, and the movie and sound it adds to the card's first action.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "actions/ActionRecord.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "host/menus/Shortcuts.h"
#include "host/palettes/IconButtons.h"
#include "media/MediaDialogs.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "format/StackFile.h"
#include "tests/graphics/DcPixelsTestUtil.h"
#include "tests/media/CardDrag_win.h"
#include "tests/media/RecorderTesting_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/TestSounds_win.h"

namespace {

namespace sb = stackbuilder;
// The Open dialog's file name box (a combo box, or an edit in the old style).
constexpr int kFileNameCombo = 1148, kFileNameEdit = 1152;

// A 32-bit top-down DIB section to draw into.
struct Canvas {
    int width, height;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    Canvas(int w, int h, COLORREF fill) : width(w), height(h) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
        RECT all{0, 0, w, h};
        HBRUSH brush = CreateSolidBrush(fill);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    std::vector<uint32_t> All() const { return ReadDcPixels(dc, width, height); }
};

std::vector<uint32_t> DrawButton(HWND button, UINT state, int icon) {
    RECT r;
    GetClientRect(button, &r);
    Canvas canvas(r.right, r.bottom, RGB(255, 0, 255));
    DRAWITEMSTRUCT item{ODT_BUTTON, 1, 0, ODA_DRAWENTIRE, state, button, canvas.dc, r, 0};
    DrawIconButton(GetParent(button), &item, icon);
    return canvas.All();
}

// The icon drawn alone over a ground colour.
std::vector<uint32_t> IconOver(int id, uint32_t ground) {
    Canvas canvas(32, 32, RGB(ground >> 16 & 0xFF, ground >> 8 & 0xFF, ground & 0xFF));
    DrawIconEx(canvas.dc, 0, 0, LoadIconA(GetAppInstance(), MAKEINTRESOURCEA(id)), 32, 32, 0, nullptr, DI_NORMAL);
    return canvas.All();
}

// Whether the icon's opaque pixels (the same over black and over white) stand at x, y.
bool BlockIs(const std::vector<uint32_t>& drawn, int width, int x, int y, int id) {
    const std::vector<uint32_t> overBlack = IconOver(id, 0), overWhite = IconOver(id, 0xFFFFFF);
    for (int row = 0; row < 32; ++row)
        for (int col = 0; col < 32; ++col)
            if (overBlack[row * 32 + col] == overWhite[row * 32 + col] &&
                drawn[(y + row) * width + x + col] != overBlack[row * 32 + col])
                return false;
    return true;
}

class ShortcutsPalette : public LinkedPluginTest {};

TEST(IconButtons, StatesDrawTheirIconsAndACaptionlessButtonHasNoFocusRectangle) {
    SetAppInstance(GetModuleHandleA(nullptr));
    HWND parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr);
    constexpr int kW = 60, kH = 50;
    HWND bare = CreateWindowA("BUTTON", "", WS_CHILD | BS_OWNERDRAW | BS_CENTER | BS_VCENTER, 0, 0, kW, kH, parent,
                              nullptr, nullptr, nullptr);
    ASSERT_TRUE(bare);
    const int bx = GetSystemMetrics(SM_CXBORDER), by = GetSystemMetrics(SM_CYBORDER);
    const int x = bx + (kW - 2 * bx - 32) / 2, y = by + (kH - 2 * by - 32) / 2;

    const std::vector<uint32_t> normal = DrawButton(bare, 0, 129);
    const uint32_t face = normal[(by + 3) * kW + bx + 3];
    EXPECT_NE(face, 0xFF00FFu) << "the middle is filled";
    EXPECT_TRUE(BlockIs(normal, kW, x, y, 129)) << "the base icon, centred";
    EXPECT_FALSE(BlockIs(normal, kW, x, y, 130));
    {
        // The icon alone: inside the edges every other pixel is the face.
        const std::vector<uint32_t> overBlack = IconOver(129, 0), overWhite = IconOver(129, 0xFFFFFF);
        int stray = 0;
        for (int py = 2; py < kH - 2; ++py)
            for (int px = 2; px < kW - 2; ++px) {
                const bool inIcon = px >= x && px < x + 32 && py >= y && py < y + 32;
                const int i = inIcon ? (py - y) * 32 + px - x : 0;
                if (!(inIcon && overBlack[i] == overWhite[i]) && normal[py * kW + px] != face)
                    ++stray;
            }
        EXPECT_EQ(stray, 0);
    }
    const std::vector<uint32_t> pressed = DrawButton(bare, ODS_SELECTED, 129);
    EXPECT_TRUE(BlockIs(pressed, kW, x + 2 * bx, y + 2 * by, 130)) << "pressed: base + 1, shifted";
    const std::vector<uint32_t> disabled = DrawButton(bare, ODS_DISABLED, 129);
    EXPECT_TRUE(BlockIs(disabled, kW, x, y, 131)) << "disabled: base + 2";
    const std::vector<uint32_t> fixed = DrawButton(bare, ODS_SELECTED, -154);
    EXPECT_TRUE(BlockIs(fixed, kW, x + 2 * bx, y + 2 * by, 154)) << "a fixed icon stays itself";
    EXPECT_FALSE(BlockIs(fixed, kW, x + 2 * bx, y + 2 * by, 155));
    EXPECT_EQ(DrawButton(bare, ODS_FOCUS, 129), normal) << "no caption: no focus rectangle";

    HWND captioned = CreateWindowA("BUTTON", "Cut", WS_CHILD | BS_OWNERDRAW, 0, 0, 120, 40, parent, nullptr, nullptr,
                                   nullptr);
    const std::vector<uint32_t> plain = DrawButton(captioned, 0, -153);
    EXPECT_NE(DrawButton(captioned, ODS_FOCUS, -153), plain) << "a caption with the focus is framed";
    // No alignment: the icon at the right edge, centred vertically.
    EXPECT_TRUE(BlockIs(plain, 120, 120 - bx - 32, by + (40 - 2 * by - 32) / 2, 153));
    DestroyWindow(parent);
}

// ---- the palette in the plug-in ----

std::vector<int> g_commands;
WNDPROC g_next = nullptr;
LRESULT CALLBACK RecordCommands(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        g_commands.push_back(LOWORD(wParam));
        return 0;
    }
    return CallWindowProcA(g_next, window, message, wParam, lParam);
}

void Click(HWND palette, int id) {
    SendMessageA(palette, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(palette, id)));
}

Handle CardAction() {
    const Handle card = GetCurrentCardRecord();
    HandleLock lock(card);
    const uint16_t id = lock ? GetU16(lock.bytes(), kCardAction1) : 0;
    return id ? LoadActionResource(id) : 0;
}

std::vector<uint8_t> ChunkOf(Handle action, uint16_t tag) {
    uint32_t offset = 0;
    if (!action || !FindObjectChunk(action, 0, tag, &offset))
        return {};
    HandleLock lock(action);
    const std::span<const uint8_t> all = lock.bytes();
    const uint32_t length = GetU32(all, offset + kObjectLength);
    return {all.begin() + offset, all.begin() + offset + length};
}

TEST_F(ShortcutsPalette, PlacesCommandsAndMediaInTheHostedPlugin) {
    sb::Stack stack;
    stack.cardWidth = 160;
    stack.cardHeight = 120;
    stack.cards.push_back(sb::PlainCard(7));
    ASSERT_TRUE(Open(stack));
    SetWindowPos(page.page, nullptr, 40, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

    ShowShortcutsPalette();
    HWND palette = GetShortcutsWindow();
    ASSERT_TRUE(palette);
    RECT box{}, card{};
    GetWindowRect(palette, &box);
    GetWindowRect(page.embed, &card);
    EXPECT_EQ(box.left, card.right) << "the first opening lies right of the card window";
    EXPECT_EQ(box.top, card.top);
    EXPECT_EQ(GetWindowLongA(GetDlgItem(palette, 1010), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);

    g_next = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(page.embed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordCommands)));
    for (int id : {1000, 1001, 1002, 1003, 1004, 1005, 1008, 1009, 1010})
        Click(palette, id);
    EXPECT_EQ(g_commands, (std::vector<int>{155, 306, 307, 106, 308, 311, 151, 152, 153}));
    g_commands.clear();
    HWND other = CreateWindowExA(0, "#32770", "Other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    Click(palette, 1009);
    EXPECT_TRUE(g_commands.empty()) << "another dialog is open: Copy does nothing";
    DestroyWindow(other);
    Click(palette, 1009);
    EXPECT_EQ(g_commands, (std::vector<int>{152}));
    SetWindowLongPtrA(page.embed, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_next));

    // Sounds, through the sound dialog over the samples beside the program: cancelled, nothing;
    // a chosen file kept as a file becomes chunk 82; a recording chunk 83 naming its new resource.
    sb::Resource meow{"Snd ", 9001, "Meow", 0, 0, StoredSnd(Square(200, 30))};
    SamplesStackBeside samples({meow});
    DialogDriver cancelled(15000);
    cancelled.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) {
        EXPECT_EQ(deck.ListItem(51, 0), "Meow");
        deck.Press(IDCANCEL);
    });
    cancelled.Run([&] { Click(palette, 1007); return 0; });
    EXPECT_EQ(CardAction(), 0) << "cancelled: no action";

    const std::string bell = WriteTemp("short-bell.wav", sb::WaveFile(1, 11025, 8, std::vector<uint8_t>(300, 140)));
    SetAdvancedUser(true);
    DialogDriver file(15000);
    file.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) { deck.Press(59); });
    file.Expect(DialogMatch::Caption("Please select a sound file"), [&](DialogView& open) {
        open.SetText(open.Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, bell);
        open.Press(IDOK);
    });
    WhenDeckEnabled(file, [](DialogView& deck) {
        EXPECT_EQ(deck.ListItem(51, 0), "short-bell.wav");
        deck.SetListSelection(52, 1);
        deck.SetChecked(60, true);
        deck.Press(IDOK);
    });
    file.Run([&] { Click(palette, 1007); return 0; });
    SetAdvancedUser(false);
    Handle action = CardAction();
    std::vector<uint8_t> chunk = ChunkOf(action, kTagSoundFile);
    ASSERT_FALSE(chunk.empty());
    EXPECT_EQ(GetU16(chunk, kChunkSoundFlags), 2) << "a background sound";
    EXPECT_EQ(GetU16(chunk, kChunkSoundParameter), 128) << "the volume it came with";
    const std::string payload(chunk.begin() + kChunkHeaderBytes, chunk.end());
    EXPECT_NE(payload.find("short-bell.wav"), std::string::npos);
    DisposeHandle(action);

    const std::vector<uint8_t> input(2000, 200);
    StandInWaveIn device(input);
    DialogDriver recording(15000);
    recording.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) { ClickDeckZone(deck, 0); });
    recording.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) {
        Sleep(300);
        ClickDeckZone(deck, 1);  // any click stops
    });
    recording.Expect(DialogMatch::Template("TAPE"), [](DialogView& deck) {
        EXPECT_TRUE(deck.IsEnabled(IDOK)) << "the recording is the current sound";
        deck.SetText(56, "Bark");
        deck.Press(IDOK);
    });
    recording.Run([&] { Click(palette, 1007); return 0; });
    action = CardAction();
    chunk = ChunkOf(action, kTagSoundResource);
    ASSERT_FALSE(chunk.empty());
    const uint16_t soundId = GetU16(chunk, kChunkValue);
    EXPECT_NE(soundId, 0);
    const int32_t previous = CurrentResFile();
    UseResFile(GetStackResFile());
    const Handle sound = GetResource(ResType("Snd "), soundId);
    uint8_t name[kResNameSize] = {};
    if (sound)
        GetResInfo(sound, nullptr, nullptr, name, nullptr);
    UseResFile(previous);
    ASSERT_TRUE(sound) << "the recording is stored under the chunk's id";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(name + 1), name[0]), "Bark");
    const std::vector<uint8_t> stored = HandleToBytes(sound);
    ASSERT_GT(stored.size(), 50u + 100u) << "a standard header, then what was recorded";
    EXPECT_EQ(stored[50], 200);
    EXPECT_EQ(stored.back(), 200);
    EXPECT_FALSE(ChunkOf(action, kTagSoundFile).empty()) << "the file chunk stays";
    DisposeHandle(action);

    // A movie: chosen in the Open dialog and dragged on the card from its centred place, looped in
    // its options; chunk 89 takes the action's id, the placed rectangle, the flags the options
    // chose and the manager's file reference.
    const std::string avi = WriteTemp("short-movie.avi", RleAvi());
    CardDrag drag(page.embed, -20, -10);
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Caption("Please select a movie file"), [&](DialogView& open) {
        open.SetText(open.Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, avi);
        open.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("QT_OPTIONS"), [](DialogView& options) {
        EXPECT_FALSE(options.IsChecked(54));
        options.SetChecked(54, true);  // "Loop movie"
        options.Press(IDOK);
    });
    driver.Run([&] {
        Click(palette, 1006);
        return 0;
    });
    action = CardAction();
    chunk = ChunkOf(action, kTagMovie);
    ASSERT_FALSE(chunk.empty());
    {
        HandleLock lock(action);
        EXPECT_EQ(GetU16(chunk, kObjectId), GetU16(lock.bytes(), kObjectId));
    }
    EXPECT_EQ(drag.Drags(), 1);
    const int width = GetI16(chunk, kObjectRect + 4) - GetI16(chunk, kObjectRect);
    const int height = GetI16(chunk, kObjectRect + 6) - GetI16(chunk, kObjectRect + 2);
    EXPECT_GT(width, 0);
    EXPECT_EQ(GetI16(chunk, kObjectRect), (160 - width) / 2 - 20);
    EXPECT_EQ(GetI16(chunk, kObjectRect + 2), (120 - height) / 2 - 10);
    EXPECT_EQ(GetU32(chunk, kChunkValue) & 0x10u, 0x10u) << "a placed movie plays over the objects";
    EXPECT_EQ(GetU32(chunk, kChunkValue) & 0x20u, 0x20u) << "it loops, as its options chose";
    EXPECT_EQ(GetU32(chunk, kChunkValue) & 0x80u, 0x80u) << "OK keeps the movie's volume";
    const Bytes reference = HandleToBytes(GetMediaFileRef());
    ASSERT_FALSE(reference.empty());
    EXPECT_EQ(Bytes(chunk.begin() + kChunkHeaderBytes, chunk.begin() + kChunkHeaderBytes + reference.size()), reference);
    EXPECT_NE(std::string(chunk.begin() + kChunkHeaderBytes, chunk.end()).find("short-movie.avi"), std::string::npos);
    DisposeHandle(action);

    // Moved and closed, it opens again where it was left.
    SetWindowPos(palette, nullptr, 21, 32, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(palette, WM_CLOSE, 0, 0);
    EXPECT_EQ(GetShortcutsWindow(), nullptr);
    ShowShortcutsPalette();
    palette = GetShortcutsWindow();
    GetWindowRect(palette, &box);
    EXPECT_EQ(box.left, 21);
    EXPECT_EQ(box.top, 32);
    CloseLinkedPlugin(&page);
    EXPECT_EQ(GetShortcutsWindow(), nullptr) << "the browser closing destroys it";
    EXPECT_FALSE(IsWindow(palette));
}

}  // namespace
