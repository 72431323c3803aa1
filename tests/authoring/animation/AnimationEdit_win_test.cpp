// The animation editor in the plug-in hosted here: a new object's path recorded with real mouse
// input, its settings made in "EDITANIMATION" and kept on a button, saved with the stack and
// played in the test browser; one made from a picture series on disk; an existing object edited
// and its path edited on the card; the steps shown first; what is refused or dropped.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "StackBuilder.h"
#include "actions/ActionBlock.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/pixels/PixMap.h"
#include "media/animation/AnimPlayback.h"
#include "resources/animedit_ids.h"
#include "resources/animsource_ids.h"
#include "resources/graphics_ids.h"
#include "resources/resource_ids.h"
#include "stack/cards/CardList.h"
#include "authoring/animation/AnimRecording.h"
#include "authoring/animation/AnimSource.h"
#include "authoring/animation/AnimationEdit.h"
#include "stack/StackOpenSession.h"
#include "format/StackFile.h"
#include "stack/save/SaveStack.h"
#include "host/player/CardNavigation.h"
#include "host/window/PeriodicTick.h"
#include "tests/host/requests/RequestTestPage_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/StackReporter_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
using Bytes = std::vector<uint8_t>;
constexpr int kCardW = 240, kCardH = 160, kFrame = 20;

// ---- real input, one event per timer tick, sent from inside the recording's own loop ----

std::deque<std::function<void()>> g_inputs;
UINT_PTR g_inputTimer = 0;

void CALLBACK OnInputTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_inputs.empty()) {
        KillTimer(nullptr, g_inputTimer);
        g_inputTimer = 0;
        return;
    }
    const std::function<void()> next = std::move(g_inputs.front());
    g_inputs.pop_front();
    next();
}

void StartInputs(std::deque<std::function<void()>> inputs) {
    g_inputs = std::move(inputs);
    g_inputTimer = SetTimer(nullptr, 0, 45, OnInputTimer);
}

void Mouse(HWND window, int x, int y, DWORD buttons) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    SendScreenMouse(p, buttons);
}

// The "Path Edit" prompt shows, inside the page's window.
bool Recording() {
    const HWND page = GetAncestor(GetCardWindow(), GA_ROOT);
    return page && FindWindowExA(page, nullptr, "#32770", "Path Edit") != nullptr;
}

// What the screen shows at a point of the window's client area, whatever window lies there.
COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

// A drag along the steps; Shift pressed and released after it (it ends nothing), then a key
// ends the recording (posted too, should the keyboard go elsewhere).
std::deque<std::function<void()>> Drag(HWND card, std::vector<POINT> steps, bool* shiftEnded,
                                       std::function<void()> midway) {
    std::deque<std::function<void()>> inputs;
    inputs.push_back([=] { Mouse(card, steps[0].x, steps[0].y, 0); });
    inputs.push_back([=] { Mouse(card, steps[0].x, steps[0].y, MOUSEEVENTF_LEFTDOWN); });
    for (size_t i = 1; i < steps.size(); ++i) {
        inputs.push_back([=] { Mouse(card, steps[i].x, steps[i].y, 0); });
        if (i == steps.size() / 2)
            inputs.push_back(midway);
    }
    inputs.push_back([=] { Mouse(card, steps.back().x, steps.back().y, MOUSEEVENTF_LEFTUP); });
    inputs.push_back([] { SendScreenKey(VK_SHIFT, false); });
    inputs.push_back([] { SendScreenKey(VK_SHIFT, true); });
    inputs.push_back([=] {
        *shiftEnded = !Recording();
        SendScreenKey('Q', false);
        SendScreenKey('Q', true);
    });
    for (int i = 0; i < 6; ++i)
        inputs.push_back([card] {
            if (Recording())
                PostMessageA(card, WM_KEYDOWN, 'Q', 1);
        });
    return inputs;
}

// ---- the film: three 20 by 20 frames stacked in a red strip ----

Handle RedFilm() {
    sb::Picture strip = sb::SolidPicture(kFrame, 3 * kFrame, 32, 0);
    for (uint32_t& pixel : strip.pixels)
        pixel = 0xE01010;
    const Bytes packed = sb::PackedPictureOf(strip);
    Handle picture = 0, film = 0;
    if (PreparePictureObject(packed, uint32_t(packed.size()), &picture) != 0)
        return 0;
    NewFilmRecord(&film, kFilmStrip, {ResType("BMPs"), 1}, {ResType("????"), 1});
    std::vector<int16_t> rects;
    for (int16_t i = 0; i < 3; ++i)
        rects.insert(rects.end(), {0, int16_t(i * kFrame), kFrame, int16_t((i + 1) * kFrame)});
    const Handle rectHandle = NewHandleFromBytes({reinterpret_cast<const uint8_t*>(rects.data()), rects.size() * 2});
    SetFilmFrames(film, picture, rectHandle);
    DisposeHandle(rectHandle);
    return film;
}

bool Reddish(uint32_t pixel) {
    const int r = pixel >> 16 & 255, g = pixel >> 8 & 255, b = pixel & 255;
    return r > g + 60 && r > b + 60;
}

uint32_t Rgb(COLORREF c) { return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c); }

bool Bluish(uint32_t pixel) {
    const int r = pixel >> 16 & 255, g = pixel >> 8 & 255, b = pixel & 255;
    return b > r + 60 && b > g + 60;
}

sb::Stack OneButtonStack(std::vector<uint8_t> animation = {}) {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kCardW, kCardH, 8, 1));
    card.picture->palette = {{255, 255, 255}, {40, 160, 40}};
    stack.cards = {card};
    stack.cards[0].objects = {animation.empty() ? sb::Button(5, {10, 10, 60, 30}, "Play")
                                                : sb::AnimationButton(5, {10, 10, 60, 30}, "Play", animation)};
    return stack;
}

Handle LoadedBlockSprite(const ActionBlock& block) {
    const Bytes stored = HandleToBytes(block.animationData);
    Handle sprite = 0;
    return LoadAnimRecord(stored.data(), uint32_t(stored.size()), &sprite) == 0 ? sprite : 0;
}

// A 24-bit BMP of one colour, as its file's bytes.
std::string SolidBmp(int width, int height, uint32_t rgb) {
    const int row = (width * 3 + 3) & ~3;
    std::string file(54 + size_t(row) * height, '\0');
    const auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = char(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, uint32_t(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(width));
    put32(22, uint32_t(height));
    file[26] = 1;
    file[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                file[54 + size_t(y) * row + 3 * x + c] = char(rgb >> (8 * c));
    return file;
}

class AnimationEditTest : public ::testing::Test {
protected:
    void Open(const sb::Stack& stack) {
        // A name of its own: the plug-in's download cache keeps what an address gave before.
        static int opened = 0;
        const std::string name = "animedit-" + ProcessTag() + "-" + std::to_string(++opened);
        ASSERT_TRUE(OpenInLinkedPlugin(stack, name + ".stk", &page_));
        card_ = GetCardWindow();
        UpdateWindow(card_);
        PumpPageMessages();
        ASSERT_TRUE(FindObject(kObjectButton, 5, &record_, &offset_));
        ASSERT_TRUE(LoadActionBlock(record_, offset_, &block_));
    }
    // The block kept on the button, the stack saved to the file and the plug-in closed: the
    // chunk kinds the stack reader lists on the button.
    // The chunk kinds of the saved "Play" button, as JSON ("[56]").
    std::string SavedButtonChunks(const browsertest::ServerFolder& server, const std::string& saved) {
        EXPECT_TRUE(SaveActionBlock(record_, offset_, 5, block_));
        DialogDriver saving(5000);
        EXPECT_EQ(saving.Run([&] { return SaveStackAsPath(saved.c_str()); }), 0);
        CloseLinkedPlugin(&page_);
        const browsertest::BrowserRun report = browsertest::RunProgram(StackReporterPath(), server, {saved});
        EXPECT_EQ(report.exitCode, 0) << report.errors;
        const std::string json = browsertest::Joined(report.log);
        const std::string chunks = browsertest::ReportedValue(browsertest::ReportedObject(json, "Play"), "chunks");
        EXPECT_NE(chunks, "") << json;
        return chunks;
    }
    void TearDown() override {
        DisposeActionBlockData(&block_);
        SetAdvancedUser(false);
        CloseLinkedPlugin(&page_);
    }
    LinkedPluginPage page_;
    HWND card_ = nullptr;
    Handle record_ = 0;
    uint32_t offset_ = 0;
    ActionBlock block_{};
};

}  // namespace

TEST_F(AnimationEditTest, ANewObjectDraggedOnTheCardIsKeptOnTheButtonSavedAndPlayed) {
    SKIP_UNLESS_TRUE_COLOUR("the object is told from the card by colour");
    ASSERT_NO_FATAL_FAILURE(Open(OneButtonStack()));
    SetAdvancedUser(true);
    std::vector<POINT> steps;
    for (int x = 20; x <= 220; x += 20)
        steps.push_back({x, 100});
    bool shiftEnded = true;
    COLORREF underPointer = 0, behind = 0, asideDuring = 0;
    const POINT middle = steps[steps.size() / 2];
    // Beside the card, on the page: what the screen shows there stays while the path is taken.
    const COLORREF asideBefore = ScreenPixel(card_, kCardW + 20, 100);
    const auto look = [&] {
        underPointer = WindowPixel(card_, middle.x, middle.y);
        behind = WindowPixel(card_, steps[0].x, steps[0].y);
        asideDuring = ScreenPixel(card_, kCardW + 20, 100);
    };
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("ANIMPROMPT"), [&](DialogView& prompt) {
        EXPECT_EQ(prompt.Caption(), "Path Edit");
        EXPECT_TRUE(prompt.IsVisible(IDC_ANIMPROMPT_KEY)) << "advanced users end with a key";
        StartInputs(Drag(card_, steps, &shiftEnded, look));
    });
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) {
        EXPECT_EQ(box.Caption(), "Animation");
        EXPECT_TRUE(box.IsChecked(IDC_ANIM_PATH_REPEATS)) << "a drag plays its path once";
        EXPECT_EQ(box.Text(IDC_ANIM_COUNT), "1");
        EXPECT_EQ(box.Text(IDC_ANIM_SPEED), "24");
        EXPECT_EQ(box.ListCount(IDC_ANIM_PATH_COMMANDS), 4);
        EXPECT_EQ(box.ListItem(IDC_ANIM_PATH_COMMANDS, 3), "Path Options...");
        EXPECT_TRUE(box.IsEnabled(IDC_ANIM_MATCH));
        UpdateWindow(box.Window());
        const RECT preview = box.ControlRect(IDC_ANIM_PREVIEW);
        const COLORREF shown = WindowPixel(box.Window(), (preview.left + preview.right) / 2, (preview.top + preview.bottom) / 2);
        EXPECT_TRUE(Reddish(Rgb(shown))) << "the start frame in the preview " << browsertest::Hex(Rgb(shown));
        box.SetText(IDC_ANIM_SPEED, "12");
        box.SetChecked(IDC_ANIM_ERASE, false);
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditNewObjectAnimation(&block_, RedFilm()); }) & 0xFF, 1);
    EXPECT_FALSE(shiftEnded) << "Shift alone does not end a recording";
    EXPECT_TRUE(Reddish(Rgb(underPointer))) << "the object follows the pointer " << browsertest::Hex(Rgb(underPointer));
    EXPECT_FALSE(Reddish(Rgb(behind))) << "and the card shows where it was " << browsertest::Hex(Rgb(behind));
    EXPECT_EQ(browsertest::Hex(Rgb(asideDuring)), browsertest::Hex(Rgb(asideBefore))) << "the screen around the card";

    ASSERT_NE(block_.animationData, 0u);
    const Bytes stored = HandleToBytes(block_.animationData);
    Handle sprite = 0;
    ASSERT_EQ(LoadAnimRecord(stored.data(), uint32_t(stored.size()), &sprite), 0);
    EXPECT_EQ(GetFilmFrameCount(GetSpriteFilm(sprite)), 3u);
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteFrameInterval), 83u) << "12 frames a second";
    EXPECT_EQ(GetSpriteByte(sprite, kSpriteStayVisible), 1);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteEndCondition), 5);
    EXPECT_EQ(GetSpriteWord(sprite, kSpritePathSource), 1);
    EXPECT_EQ(GetSpriteLong(sprite, kSpritePathScale), 100u);
    // Before the drag the object's top-right corner sat at the window's centre.
    const ShortRect placed = GetSpriteBounds(sprite);
    EXPECT_EQ(placed.right, kCardW / 2);
    EXPECT_EQ(placed.top, kCardH / 2);
    const Handle path = GetSpritePath(sprite);
    ASSERT_GE(GetPathPointCount(path), 2u);
    PathPoint first, last;
    ASSERT_TRUE(GetPathPoint(path, 0, &first));
    ASSERT_TRUE(GetPathPoint(path, GetPathPointCount(path) - 1, &last));
    EXPECT_EQ(first.x, 20);
    EXPECT_EQ(first.y, 100);
    EXPECT_EQ(last.x, 220);
    EXPECT_EQ(last.y, 100);
    uint32_t pathTime = 0;
    for (uint32_t i = 0; i < GetPathPointCount(path); ++i)
        pathTime += GetPathPointTime(path, i);
    DisposeSprite(sprite);
    EXPECT_EQ(block_.animationRect.left, 20);
    EXPECT_EQ(block_.animationRect.bottom - block_.animationRect.top, kFrame);

    // Kept on the button and saved with the stack: the reader sees chunk 56 on it.
    browsertest::ServerFolder server;
    const std::string saved = server.Name("dragged.stk");
    ASSERT_EQ(SavedButtonChunks(server, saved), "[56]");

    // The real plug-in: a click on the button moves the object to the drag's end, where it stays.
    const std::string before = server.Name("dragged.png"), after = server.Name("dragged-t2.png");
    const int shotAt = 1500 + int(pathTime) + 1500;
    const browsertest::BrowserRun run = browsertest::RunBrowser(
        server, {"--dll", browsertest::PluginPath(), "--server", server.path, "--log", "--answer-alerts", "--size",
                 "240x160", "--screenshot", before, "--screenshot-after", "1200", "--click", "35,20@1500",
                 "--screenshot-after", std::to_string(shotAt), "--quit-after-last", "500",
                 "http://localhost/dragged.stk"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << browsertest::Joined(run.log);
    const browsertest::Shot start(before), end(after);
    ASSERT_GT(end.width, 0u) << browsertest::Joined(run.log);
    EXPECT_FALSE(Reddish(start.At(220, 100))) << browsertest::Hex(start.At(220, 100));
    EXPECT_TRUE(Reddish(end.At(220, 100))) << browsertest::Hex(end.At(220, 100));
    EXPECT_FALSE(Reddish(end.At(20, 100))) << "it left the start " << browsertest::Hex(end.At(20, 100));
}

TEST_F(AnimationEditTest, ABmpSeriesChosenOnDiskIsDraggedAlongAPathAndSaved) {
    ASSERT_NO_FATAL_FAILURE(Open(OneButtonStack()));
    SetAdvancedUser(true);
    constexpr int kW = 20, kH = 16;
    browsertest::ServerFolder pictures;
    std::string second;
    for (const uint32_t i : {1u, 2u, 3u}) {
        const std::string path = pictures.Put("frame" + std::to_string(i) + ".bmp", SolidBmp(kW, kH, 0x300000u * i));
        if (i == 2)
            second = path;
    }
    std::vector<POINT> steps;
    for (int x = 20; x <= 220; x += 20)
        steps.push_back({x, 100});
    bool shiftEnded = true;
    DialogDriver driver(30000);
    // A real click on the Disk Library picture.
    driver.Expect(DialogMatch::Template("ANIMSOURCE"), [](DialogView& box) {
        const RECT place = box.ControlRect(IDC_ANIMSRC_CLIPART);
        const POINT at = {place.left + 6, (place.top + place.bottom) / 2};
        HWND d = box.Window();
        StartInputs({[=] { Mouse(d, at.x, at.y, 0); }, [=] { Mouse(d, at.x, at.y, MOUSEEVENTF_LEFTDOWN); },
                     [=] { Mouse(d, at.x, at.y, MOUSEEVENTF_LEFTUP); }});
    });
    driver.Expect(DialogMatch::Caption("Please select a picture file"), [&](DialogView& box) {
        box.SetText(box.Exists(1148) ? 1148 : 1152, second);
        box.Press(IDOK);
    });
    // A double click on the rectangle tool selects the whole picture, which OK confirms.
    driver.Expect(DialogMatch::Template("PCROP"), [](DialogView& box) {
        const RECT tools = box.ControlRect(PCROP_TOOLS);
        const POINT at = {tools.left + 8, tools.top + 8};
        HWND d = box.Window();
        StartInputs({[=] { Mouse(d, at.x, at.y, 0); }, [=] { Mouse(d, at.x, at.y, MOUSEEVENTF_LEFTDOWN); },
                     [=] { Mouse(d, at.x, at.y, MOUSEEVENTF_LEFTUP); }, [=] { Mouse(d, at.x, at.y, MOUSEEVENTF_LEFTDOWN); },
                     [=] { Mouse(d, at.x, at.y, MOUSEEVENTF_LEFTUP); },
                     [=] { PostMessageA(d, WM_COMMAND, IDOK, 0); }});
    });
    driver.Expect(DialogMatch::Template("ANIMPROMPT"), [&](DialogView&) {
        StartInputs(Drag(card_, steps, &shiftEnded, [] {}));
    });
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) {
        EXPECT_TRUE(box.IsEnabled(IDC_ANIM_SPEED)) << "three frames have a speed";
        box.SetText(IDC_ANIM_SPEED, "12");
        box.SetChecked(IDC_ANIM_ERASE, false);
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditObjectAnimation(&block_, 0); }) & 0xFF, 1);

    ASSERT_NE(block_.animationData, 0u);
    const Handle sprite = LoadedBlockSprite(block_);
    ASSERT_NE(sprite, 0u);
    const Handle film = GetSpriteFilm(sprite);
    EXPECT_EQ(GetFilmFrameCount(film), 3u);
    ShortRect last{};
    ASSERT_TRUE(GetFilmFrameRect(film, 2, &last));
    EXPECT_EQ(last.top, 2 * kH) << "the files stacked in number order, each picture whole";
    EXPECT_EQ(last.right, kW) << "right and bottom exclusive, as the player cuts frames";
    EXPECT_EQ(last.bottom, 3 * kH);
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteFrameInterval), 83u) << "12 frames a second";
    EXPECT_EQ(GetSpriteByte(sprite, kSpriteStayVisible), 1) << "not erased when done";
    const Handle path = GetSpritePath(sprite);
    ASSERT_GE(GetPathPointCount(path), 2u);
    PathPoint from, to;
    ASSERT_TRUE(GetPathPoint(path, 0, &from));
    ASSERT_TRUE(GetPathPoint(path, GetPathPointCount(path) - 1, &to));
    EXPECT_EQ(from.x, steps.front().x);
    EXPECT_EQ(from.y, steps.front().y);
    EXPECT_EQ(to.x, steps.back().x);
    EXPECT_EQ(to.y, steps.back().y);
    DisposeSprite(sprite);

    browsertest::ServerFolder server;
    EXPECT_EQ(SavedButtonChunks(server, server.Name("series.stk")), "[56]");
}

namespace {

// Two 10 by 10 frames, red on their left half and blue on their right, along two points.
constexpr uint32_t kRed = 0xE01010, kBlue = 0x1010E0;
Bytes HalvesSprite() {
    sb::Sprite s;
    s.number = 4;
    sb::Picture strip = sb::SolidPicture(20, 10, 32, 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            strip.pixels[size_t(y) * 20 + x] = x % 10 < 5 ? kRed : kBlue;
    s.film.strip = strip;
    s.film.frames = {{0, 0, 10, 10}, {10, 0, 20, 10}};
    s.path = {{60, 60, 40}, {100, 60, 40}};
    s.words = {{kSpriteEndCondition, 5}};
    return sb::SpriteRecord(s);
}

// The strip's pixel of a loaded record, as 0x00RRGGBB.
uint32_t StripPixel(Handle sprite, int x, int y) {
    const Handle picture = GetFilmPictureHandle(GetSpriteFilm(sprite), kFilmStripPicture);
    PixMap* map = LockPixMapHandle(picture);
    if (!map)
        return 0xFF000000u;
    BeginPixMapDraw(map);
    const COLORREF c = GetPixel(map->dc, x, y);
    EndPixMapDraw(map);
    UnlockPixMapHandle(picture);
    return Rgb(c);
}

}  // namespace

TEST_F(AnimationEditTest, AnExistingObjectIsTriedFlippedAndRetimedAndOldFrameAnimationsAreRefused) {
    SKIP_UNLESS_TRUE_COLOUR("the strip's halves are told apart by colour");
    ASSERT_NO_FATAL_FAILURE(Open(OneButtonStack(HalvesSprite())));
    SetAdvancedUser(true);
    ASSERT_NE(block_.animationData, 0u);
    const uint32_t tool = GetCurrentTool();
    const int started = CountStartedSprites();
    // Try It plays the object and brings the dialog back; then the left-right flip, and no
    // frames per second counts as one.
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) {
        EXPECT_TRUE(box.IsVisible(IDC_ANIM_SPEED));
        EXPECT_TRUE(box.IsEnabled(IDC_ANIM_FLIP_LR));
        box.Press(IDC_ANIM_TRY);
    });
    // Then a click on the swatch and one on the preview's red picks the transparent colour.
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) {
        box.Press(IDC_ANIM_FLIP_LR);
        box.SetText(IDC_ANIM_SPEED, "0");
        box.SetChecked(IDC_ANIM_TRANSPARENT, true);
        const RECT swatch = box.ControlRect(IDC_ANIM_SWATCH), preview = box.ControlRect(IDC_ANIM_PREVIEW);
        const POINT s = {(swatch.left + swatch.right) / 2, (swatch.top + swatch.bottom) / 2};
        const POINT p = {(preview.left + preview.right) / 2 + 2, (preview.top + preview.bottom) / 2};
        HWND d = box.Window();
        StartInputs({[=] { Mouse(d, s.x, s.y, 0); }, [=] { Mouse(d, s.x, s.y, MOUSEEVENTF_LEFTDOWN); },
                     [=] { Mouse(d, s.x, s.y, MOUSEEVENTF_LEFTUP); }, [=] { Mouse(d, p.x, p.y, 0); },
                     [=] { Mouse(d, p.x, p.y, MOUSEEVENTF_LEFTDOWN); }, [=] { Mouse(d, p.x, p.y, MOUSEEVENTF_LEFTUP); },
                     [=] { PostMessageA(d, WM_COMMAND, IDOK, 0); }});
    });
    EXPECT_EQ(driver.Run([&] { return EditObjectAnimation(&block_, 0); }) & 0xFF, 1);
    EXPECT_EQ(CountStartedSprites(), started + 1) << "Try It played it";
    EXPECT_EQ(GetCurrentTool(), tool);
    Handle sprite = LoadedBlockSprite(block_);
    ASSERT_NE(sprite, 0u);
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteFrameInterval), 1000u);
    EXPECT_TRUE(Bluish(StripPixel(sprite, 1, 1))) << "each frame mirrored where it lies";
    EXPECT_TRUE(Reddish(StripPixel(sprite, 8, 1)));
    EXPECT_TRUE(Bluish(StripPixel(sprite, 11, 1)));
    uint16_t picked[3] = {};
    GetFilmTransparentColor(GetSpriteFilm(sprite), picked);
    EXPECT_TRUE(Reddish(uint32_t(picked[0]) << 16 | uint32_t(picked[1]) << 8 | picked[2]))
        << picked[0] << "," << picked[1] << "," << picked[2];
    EXPECT_EQ(GetFilmMaskState(GetSpriteFilm(sprite)), 2) << "masks of the picked colour";
    DisposeSprite(sprite);
    EXPECT_EQ(block_.animationRect.left, 60);
    EXPECT_EQ(block_.animationRect.right, 70);

    // Frames that follow the movement: template 4, a 10-second interval, no speed to set.
    DialogDriver matching(10000);
    matching.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) {
        EXPECT_EQ(box.Text(IDC_ANIM_SPEED), "1");
        box.SetChecked(IDC_ANIM_MATCH, true);
        EXPECT_FALSE(box.IsEnabled(IDC_ANIM_SPEED));
        box.SetChecked(IDC_ANIM_NON_STOP, true);
        EXPECT_FALSE(box.IsEnabled(IDC_ANIM_COUNT));
        box.Press(IDOK);
    });
    EXPECT_EQ(matching.Run([&] { return EditObjectAnimation(&block_, 0); }) & 0xFF, 1);
    sprite = LoadedBlockSprite(block_);
    ASSERT_NE(sprite, 0u);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteTemplate), 4);
    EXPECT_EQ(GetSpriteByte(sprite, kSpriteFramesFollow), 1);
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteFrameInterval), 10000u);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteEndCondition), 0);
    DisposeSprite(sprite);

    // "New Path...", confirmed, records again: Shift held, 16 pixels to the left lock the
    // horizontal axis, and the drag plays its path once; the frames still follow the movement.
    DialogDriver again(15000);
    again.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) {
        box.SetListSelection(IDC_ANIM_PATH_COMMANDS, 1);
    });
    again.Expect(DialogMatch::Alert(IDA_ANIM_NEW_PATH), [](DialogView& box) { box.Press(52); });
    again.Expect(DialogMatch::Template("ANIMPROMPT"), [&](DialogView&) {
        HWND card = card_;
        StartInputs({[] { SendScreenKey(VK_SHIFT, false); }, [card] { Mouse(card, 100, 60, 0); },
                     [card] { Mouse(card, 100, 60, MOUSEEVENTF_LEFTDOWN); }, [card] { Mouse(card, 84, 70, 0); },
                     [card] { Mouse(card, 60, 90, 0); }, [card] { Mouse(card, 40, 95, 0); },
                     [card] { Mouse(card, 40, 95, MOUSEEVENTF_LEFTUP); }, [] { SendScreenKey(VK_SHIFT, true); },
                     [] { SendScreenKey('Q', false); }, [] { SendScreenKey('Q', true); }, [card] {
                         if (Recording())
                             PostMessageA(card, WM_KEYDOWN, 'Q', 1);
                     }});
    });
    again.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_ANIM_PATH_REPEATS));
        box.Press(IDOK);
    });
    EXPECT_EQ(again.Run([&] { return EditObjectAnimation(&block_, 0); }) & 0xFF, 1);
    sprite = LoadedBlockSprite(block_);
    ASSERT_NE(sprite, 0u);
    const Handle path = GetSpritePath(sprite);
    ASSERT_GE(GetPathPointCount(path), 3u);
    for (uint32_t i = 0; i < GetPathPointCount(path); ++i) {
        PathPoint p;
        ASSERT_TRUE(GetPathPoint(path, i, &p));
        EXPECT_EQ(p.y, 60) << "point " << i << " at " << p.x;
    }
    PathPoint last;
    ASSERT_TRUE(GetPathPoint(path, GetPathPointCount(path) - 1, &last));
    EXPECT_EQ(last.x, 40);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteEndCondition), 5);
    EXPECT_EQ(GetSpriteWord(sprite, kSpriteTemplate), 4);
    DisposeSprite(sprite);

    // A frame animation's 34-byte reference is not edited here: 2341, and nothing changes.
    Bytes reference(34, 0);
    std::copy_n("FAnm", 4, reference.begin());
    DisposeHandle(block_.animationData);
    block_.animationData = NewHandleFromBytes(reference);
    DialogDriver refusing(5000);
    refusing.Expect(DialogMatch::Alert(IDA_ANIM_OLD_FRAME_ANIMATION), [](DialogView& box) {
        EXPECT_EQ(box.Text(51), "Sorry, this version of Pageloom can't edit old frame animations.");
        box.Press(52);
    });
    EXPECT_EQ(refusing.Run([&] { return EditObjectAnimation(&block_, 0); }) & 0xFF, 0);
    EXPECT_EQ(HandleToBytes(block_.animationData), reference);
}

TEST_F(AnimationEditTest, AClickRecordsOnePointAndCancelOnANewObjectLeavesTheActionWithout) {
    ASSERT_NO_FATAL_FAILURE(Open(OneButtonStack()));
    SetAdvancedUser(false);
    DialogDriver driver(15000);
    driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) {
        EXPECT_EQ(box.Text(60), "To play an animation, follow these easy steps:");
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("ANIMPROMPT"), [&](DialogView& prompt) {
        EXPECT_FALSE(prompt.IsVisible(IDC_ANIMPROMPT_KEY)) << "a release ends it for other users";
        HWND card = card_;
        StartInputs({[card] { Mouse(card, 150, 40, 0); }, [card] { Mouse(card, 150, 40, MOUSEEVENTF_LEFTDOWN); },
                     [card] { Mouse(card, 150, 40, MOUSEEVENTF_LEFTUP); }});
    });
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_ANIM_FRAME_REPEATS)) << "one point: the frames repeat in place";
        EXPECT_FALSE(box.IsEnabled(IDC_ANIM_MATCH));
        EXPECT_FALSE(box.IsVisible(IDC_ANIM_SPEED));
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return EditNewObjectAnimation(&block_, RedFilm()); }) & 0xFF, 1);
    EXPECT_EQ(block_.animationData, 0u);
    EXPECT_TRUE(SaveActionBlock(record_, offset_, 5, block_));
    ActionBlock again{};
    ASSERT_TRUE(LoadActionBlock(record_, offset_, &again));
    EXPECT_EQ(again.animationData, 0u) << "no animation chunk was written";
    DisposeActionBlockData(&again);
}

// An area grabbed from the card starts where it was grabbed: its centre, noted by the grab, is
// where a new object's frame is placed, not with its top-right corner at the card's centre.
TEST_F(AnimationEditTest, AnAreaGrabbedFromTheCardStartsWhereItWas) {
    ASSERT_NO_FATAL_FAILURE(Open(OneButtonStack()));
    SetAdvancedUser(false);
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("BIGLMMSG"), [](DialogView& box) { box.Press(IDOK); });
    driver.Expect(DialogMatch::Template("ANIMSOURCE"), [&](DialogView& box) {
        box.SetChecked(IDC_ANIMSRC_RECT, true);
        const RECT place = box.ControlRect(IDC_ANIMSRC_SCREEN);
        PostMessageA(box.Window(), WM_LBUTTONUP, 0, MAKELPARAM(place.left + 4, (place.top + place.bottom) / 2));
        HWND card = card_;
        // 30 by 20 pixels centred on (175, 30), once the grab holds the mouse.
        StartInputs({[] {}, [] {}, [] {}, [] {}, [card] { Mouse(card, 160, 20, 0); },
                     [card] { Mouse(card, 160, 20, MOUSEEVENTF_LEFTDOWN); }, [card] { Mouse(card, 190, 40, 0); },
                     [card] { Mouse(card, 190, 40, MOUSEEVENTF_LEFTUP); }});
    });
    driver.Expect(DialogMatch::Template("ANIMPROMPT"), [&](DialogView&) {
        HWND card = card_;
        StartInputs({[card] { Mouse(card, 175, 30, 0); }, [card] { Mouse(card, 175, 30, MOUSEEVENTF_LEFTDOWN); },
                     [card] { Mouse(card, 175, 30, MOUSEEVENTF_LEFTUP); }});
    });
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) { box.Press(IDCANCEL); });
    EXPECT_EQ(driver.Run([&] { return EditObjectAnimation(&block_, 0); }) & 0xFF, 1);
    POINT grabbed{}, centre{175, 30};
    ASSERT_TRUE(GetGrabbedFrameStart(&grabbed));
    ClientToScreen(card_, &centre);
    EXPECT_EQ(grabbed.x, centre.x);
    EXPECT_EQ(grabbed.y, centre.y);

    Handle sprite = 0;
    ASSERT_EQ(NewSpriteHeader(&sprite), 0);
    SetSpriteFilm(sprite, RedFilm());
    PlaceNewSprite(sprite, card_, &grabbed);
    ShortRect placed = GetSpriteBounds(sprite);
    EXPECT_EQ(placed.left, 175 - kFrame / 2);
    EXPECT_EQ(placed.top, 30 - kFrame / 2);
    EXPECT_EQ(placed.right, 175 + kFrame / 2);
    EXPECT_EQ(placed.bottom, 30 + kFrame / 2);
    PlaceNewSprite(sprite, card_);
    placed = GetSpriteBounds(sprite);
    EXPECT_EQ(placed.right, kCardW / 2) << "otherwise the top-right corner at the centre";
    EXPECT_EQ(placed.top, kCardH / 2);
    DisposeSprite(sprite);
}

TEST_F(AnimationEditTest, ARecordingDrawsOnItsOwnCopyOfTheCardAndAModulesMoveWaitsForIt) {
    SKIP_UNLESS_TRUE_COLOUR("the object is told from the card by colour");
    sb::Stack stack = OneButtonStack();
    stack.cards.push_back(sb::PlainCard(2));
    ASSERT_NO_FATAL_FAILURE(Open(stack));
    SetAdvancedUser(true);
    std::vector<POINT> steps;
    for (int x = 20; x <= 220; x += 20)
        steps.push_back({x, 100});
    bool shiftEnded = true;
    COLORREF underPointer = 0, behind = 0;
    const POINT middle = steps[steps.size() / 2];
    const auto look = [&] {
        underPointer = WindowPixel(card_, middle.x, middle.y);
        behind = WindowPixel(card_, steps[0].x, steps[0].y);
    };
    uint16_t cardUnder = 0;
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("ANIMPROMPT"), [&](DialogView&) {
        // A module asks for the next card while the path is taken: it waits. The animation
        // offscreen freed (as leaving the card would free it) takes nothing from the recording.
        requestpage::Request(4);
        cardUnder = GetCurrentCardId();
        FreeAnimOffscreen();
        StartInputs(Drag(card_, steps, &shiftEnded, look));
    });
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) { box.Press(IDCANCEL); });
    driver.Run([&] { return EditNewObjectAnimation(&block_, RedFilm()); });
    EXPECT_EQ(cardUnder, 1) << "the module's move waited";
    EXPECT_TRUE(Reddish(Rgb(underPointer))) << "the object drawn over the recording's own card "
                                            << browsertest::Hex(Rgb(underPointer));
    EXPECT_FALSE(Reddish(Rgb(behind))) << "and the card shown where it was " << browsertest::Hex(Rgb(behind));
    EXPECT_EQ(GetCurrentCardId(), 1);
    PeriodicTick(card_);
    EXPECT_EQ(GetCurrentCardId(), 2) << "the module's move, once the editor ended";
}

TEST_F(AnimationEditTest, EditPathInTheDialogMovesAPointOnTheCardAndOkKeepsIt) {
    ASSERT_NO_FATAL_FAILURE(Open(OneButtonStack(HalvesSprite())));
    SetAdvancedUser(true);
    // The path editor runs its own loop on the card, which takes the card's input only: real
    // input from a second thread once the card has the mouse, dragging the second point from
    // (100, 60) to (110, 80); Return ends the edit.
    const DWORD testThread = GetCurrentThreadId();
    HWND card = card_;
    bool editorSeen = false;
    std::thread user([&] {
        const DWORD until = GetTickCount() + 15000;
        GUITHREADINFO info{sizeof info};
        while (GetTickCount() < until && !(GetGUIThreadInfo(testThread, &info) && info.hwndCapture == card))
            Sleep(20);
        editorSeen = info.hwndCapture == card;
        for (const auto& [x, y, buttons] : {std::tuple{100, 60, DWORD{0}}, {100, 60, DWORD{MOUSEEVENTF_LEFTDOWN}},
                                             {104, 68, DWORD{0}}, {110, 80, DWORD{0}}, {110, 80, DWORD{MOUSEEVENTF_LEFTUP}}}) {
            Mouse(card, x, y, buttons);
            Sleep(60);
        }
        PostMessageA(card, WM_KEYDOWN, VK_RETURN, 1);
    });
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) {
        EXPECT_EQ(box.ListItem(IDC_ANIM_PATH_COMMANDS, 2), "Edit Path...");
        box.SetListSelection(IDC_ANIM_PATH_COMMANDS, 2);
    });
    driver.Expect(DialogMatch::Template("EDITANIMATION"), [](DialogView& box) {
        EXPECT_EQ(box.ListSelection(IDC_ANIM_PATH_COMMANDS), 0) << "the dialog comes back after the edit";
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([&] { return EditObjectAnimation(&block_, 0); }) & 0xFF, 1);
    user.join();
    EXPECT_TRUE(editorSeen) << "the path editor took the mouse on the card";

    const Handle sprite = LoadedBlockSprite(block_);
    ASSERT_NE(sprite, 0u);
    const Handle path = GetSpritePath(sprite);
    ASSERT_EQ(GetPathPointCount(path), 2u);
    PathPoint first, second;
    ASSERT_TRUE(GetPathPoint(path, 0, &first));
    ASSERT_TRUE(GetPathPoint(path, 1, &second));
    EXPECT_EQ(first.x, 60);
    EXPECT_EQ(first.y, 60);
    EXPECT_EQ(second.x, 110) << "the dragged point";
    EXPECT_EQ(second.y, 80);
    EXPECT_EQ(GetSpriteLong(sprite, kSpriteEndPoint), 2u);
    DisposeSprite(sprite);
}

TEST_F(AnimationEditTest, TheStepsShowOnceBeforeANewObjectForOtherUsersOnly) {
    ASSERT_NO_FATAL_FAILURE(Open(OneButtonStack()));
    SetAdvancedUser(false);
    const std::vector<std::string> lines = {
        "To play an animation, follow these easy steps:",
        "",
        " 1. Choose the picture or pictures that make up the animation.",
        " 2. Hold the mouse button down and drag to draw the animation's path.",
        " 3. Let go of the button: the animation dialog opens.",
        " 4. Set the speed and how long it plays, Try It, then click OK.",
    };
    std::vector<std::string> shown;
    DialogDriver driver(10000);
    driver.Expect(DialogMatch::Template("BIGLMMSG"), [&](DialogView& box) {
        for (int id = IDC_BIGMSG_LINE1; id <= IDC_BIGMSG_LINE12; ++id)
            shown.push_back(box.Text(id));
        while (!shown.empty() && shown.back().empty())
            shown.pop_back();
        box.Press(IDOK);
    });
    driver.Expect(DialogMatch::Template("ANIMSOURCE"), [](DialogView& box) { box.Press(IDCANCEL); });
    EXPECT_EQ(driver.Run([&] { return EditObjectAnimation(&block_, 0); }) & 0xFF, 0);
    EXPECT_EQ(driver.DialogsSeen(), 2) << "the steps once, then the source";
    EXPECT_EQ(shown, lines);
    EXPECT_EQ(block_.animationData, 0u);

    // An advanced user goes straight to the source.
    SetAdvancedUser(true);
    DialogDriver advanced(10000);
    advanced.Expect(DialogMatch::Template("ANIMSOURCE"), [](DialogView& box) { box.Press(IDCANCEL); });
    EXPECT_EQ(advanced.Run([&] { return EditObjectAnimation(&block_, 0); }) & 0xFF, 0);
    EXPECT_EQ(advanced.DialogsSeen(), 1);
}
