// The media manager's callers in the plug-in hosted in this program, over the QuickTime stand-in
// linked into it: the effect state of transition 29 made at attach and gone at shut-down, so
// that a move with a stored 'QTFX' effect (a module's move too) plays the effect's frames from
// the card it leaves instead of "Fastest"; a movie on the card idled by the waiting step and by
// transitions, and removed on leaving the card, refreshing it and choosing a paint tool; a sound
// stopped by a paint tool and a menu command.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "TestBrowser.h"
#include "cardview/transitions/TransitionTable.h"
#include "core/system/ChangeFlags.h"
#include "core/events/EditorGuard.h"
#include "core/events/MessageLoops.h"
#include "core/memory/ByteReader.h"
#include "core/files/FileSlots.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "cardview/transitions/CardTransitions.h"
#include "cardview/transitions/QtEffect.h"
#include "cardview/transitions/QtEffectRecord.h"
#include "cardview/transitions/QtEffectState.h"
#include "cardview/transitions/TransitionContext.h"
#include "cardview/transitions/TransitionTiming.h"
#include "host/player/ButtonActions.h"
#include "host/player/CardNavigation.h"
#include "host/player/StackJump.h"
#include "host/requests/RequestHandlers.h"
#include "media/MediaManager.h"
#include "media/support/MediaElement.h"
#include "quicktime/QtStandInSwitches.h"
#include "quicktime/QuickTime.h"
#include "quicktime/dll/QtStandInEffects.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/LinkedStandIn_win.h"
#include "tests/support/RleAvi.h"
#include "tests/support/TestSounds_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;
constexpr int kCardW = 120, kCardH = 90;

// The frames the linked stand-in's effects compose, BGRA rows top first.
struct EffectFrames {
    int count = 0;
    int width = 0, height = 0;
    std::vector<std::vector<uint8_t>> frames;
};
EffectFrames g_frames;

void RecordFrame(QtWord, const uint8_t* pixels, int width, int height) {
    ++g_frames.count;
    g_frames.width = width;
    g_frames.height = height;
    g_frames.frames.emplace_back(pixels, pixels + size_t(width) * height * 4);
}

void* LoadRecordingStandIn() {
    void* library = LinkedStandInOps().load();
    SetStandInFramePresenter(RecordFrame);
    return library;
}

void BindRecordingStandIn() {
    QtLibraryOps ops = LinkedStandInOps();
    ops.load = LoadRecordingStandIn;
    SetQtLibraryOps(ops);
}

// Pixels of a BGRA frame within 8 of the colour.
int CountNear(const std::vector<uint8_t>& frame, uint8_t red, uint8_t green, uint8_t blue) {
    int n = 0;
    for (size_t i = 0; i + 3 < frame.size(); i += 4)
        n += std::abs(frame[i] - blue) <= 8 && std::abs(frame[i + 1] - green) <= 8 && std::abs(frame[i + 2] - red) <= 8;
    return n;
}

sb::Card SolidCard(uint16_t id, sb::Rgb colour) {
    sb::Card card = sb::PictureCard(id, sb::SolidPicture(kCardW, kCardH, 8, 0));
    card.picture->palette = {colour};
    return card;
}

COLORREF g_colourInStep = 0;
std::optional<POINT> g_centreInStep;

TEST(MediaInPlugin, EffectStateLivesWithTheManagerAndTransition29PlaysTheStoredEffect) {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    stack.cards = {SolidCard(1, {255, 0, 0}), SolidCard(2, {0, 0, 255})};
    // Buttons of card 1 going to card 2: zooming, and wiping with a stored colour index of 6
    // (palette entry 5), 0 (none) and one past the palette.
    const struct {
        uint16_t transition, colorIndex;
    } moves[] = {{21, 6}, {1, 6}, {1, 0}, {1, 257}};
    for (uint16_t i = 0; i < 4; ++i) {
        sb::Object go = sb::ShapedButton(uint16_t(10 + i), {int16_t(20 * i), 50, int16_t(20 * i + 16), 70}, "Go", 2, 0, 2);
        go.words.push_back({18, moves[i].transition});
        go.words.push_back({68, moves[i].colorIndex});
        stack.cards[0].objects.push_back(go);
    }
    // And one going with the stored effect.
    sb::Object wiping = sb::ShapedButton(14, {100, 70, 116, 86}, "Go", 2, 0, 2);
    wiping.words.push_back({18, 29});
    wiping.words.push_back({82, 7});
    stack.cards[0].objects.push_back(wiping);
    QtEffectRecord wipe = DefaultQtEffectRecord();
    wipe.code = FourCharCode("smpt");
    wipe.id = 7;
    SetQtEffectRecordName(&wipe, "Wipe");
    stack.resources.push_back({"QTFX", 7, "", 0, 0, PackQtEffectFields(wipe, {})});

    const QtLibraryOps saved = GetQtLibraryOps();
    g_frames = {};
    LinkedPluginPage page;
    ASSERT_TRUE(OpenInLinkedPlugin(stack, "effect-" + ProcessTag() + ".stk", &page,
                                   BindRecordingStandIn));
    ASSERT_EQ(GetCurrentCardId(), 1);
    UpdateWindow(GetCardWindow());  // the old card on screen, where the effect captures it
    PumpPageMessages();
    EXPECT_TRUE(QTEffectStateExists()) << "made with a QuickTime 3 manager";

    GoToCardId(2, {29, 7, 8});  // the move takes the card it leaves itself
    PumpPageMessages();
    EXPECT_EQ(GetCurrentCardId(), 2);
    ASSERT_EQ(g_frames.count, 30) << "the effect's frames, not the steps of \"Fastest\"";
    EXPECT_EQ(g_frames.width, kCardW);
    EXPECT_GE(g_frames.height, kCardH);
    // Half way the wipe shows both cards; at the end only the new one.
    const std::vector<uint8_t>& middle = g_frames.frames[14];
    const int whole = g_frames.width * g_frames.height;
    EXPECT_GT(CountNear(middle, 255, 0, 0), whole / 4) << "the old card";
    EXPECT_GT(CountNear(middle, 0, 0, 255), whole / 4) << "the new card";
    EXPECT_GE(CountNear(g_frames.frames.back(), 0, 0, 255), kCardW * kCardH);

    // A move to another stack with an effect lets go of the current effect record first, while
    // the state stays; here the stack is not found, so nothing selects an effect again.
    ASSERT_TRUE(QTSelectEffect(7));
    ASSERT_EQ(QTGetCurrentEffectId(), 7);
    SetFileSpecFromPath(kSlotTargetStack, "C:\\Nowhere\\absent.stk");
    // Unchanged (on a palette display the colours fitted to it count as a change), so the move
    // does not stop to ask whether to save.
    ClearStackChanged();
    ClearCardChanged();
    EXPECT_EQ(GoToAnotherStack(FileSpec(*GetFileSpec(kSlotTargetStack)), 1, {29, 7, 8}, false, true), 0);
    EXPECT_EQ(GetCurrentCardId(), 2);
    EXPECT_EQ(QTGetCurrentEffectId(), 0) << "the effect record was let go";
    EXPECT_TRUE(QTEffectStateExists());

    // A module's move with the effect (request 3) asked while an editor runs waits, leaving the
    // record the editor works on alone; once it runs it plays from the card it leaves. So does a
    // move of transition 29 naming no effect, which plays the current one.
    ASSERT_TRUE(QTSelectEffect(7));
    {
        const EditorGuard editing;
        NbaParamBlock previous{};
        previous.param1 = kTransLeftToRight;
        previous.handled = 7;
        previous.param2 = 8;
        CbGoPrevCard(previous);
        EXPECT_EQ(GetCurrentCardId(), 2) << "held";
        EXPECT_EQ(QTGetCurrentEffectId(), 7) << "the editor's effect record";
    }
    const auto playsFrom = [&](COLORREF left, COLORREF entered, const char* what) {
        ASSERT_EQ(g_frames.count, 30) << what;
        const std::vector<uint8_t>& half = g_frames.frames[14];
        EXPECT_GT(CountNear(half, GetRValue(left), GetGValue(left), GetBValue(left)), whole / 4) << what << ": the old card";
        EXPECT_GT(CountNear(half, GetRValue(entered), GetGValue(entered), GetBValue(entered)), whole / 4) << what;
    };
    g_frames = {};
    EXPECT_EQ(RunHeldWork(), 1);
    PumpPageMessages();
    EXPECT_EQ(GetCurrentCardId(), 1);
    playsFrom(RGB(0, 0, 255), RGB(255, 0, 0), "the module's move");
    g_frames = {};
    GoToCardId(2, {kTransQuickTimeEffect, 0, 8});
    PumpPageMessages();
    EXPECT_EQ(GetCurrentCardId(), 2);
    playsFrom(RGB(255, 0, 0), RGB(0, 0, 255), "transition 29 alone");

    // A button's move: the zoom starts at the button's centre; the transition colour while it
    // runs is the palette entry below the stored index, else black. A later zoom that no button
    // asked for starts at the card's centre, and a later move has no colour but black.
    const TransitionStepHooks savedHooks = TransitionHooks();
    TransitionHooks().stepEnded = [](const TransitionContext& running, int, int, void*) {
        g_colourInStep = running.move.color;
        g_centreInStep = running.move.zoomCentre;
    };
    GoToCardId(1, {3, 0, 8});
    PumpPageMessages();
    g_centreInStep.reset();
    DoButtonActions(GetCardWindow(), 10, PersonsAct::Of(WM_LBUTTONUP));
    EXPECT_EQ(GetCurrentCardId(), 2);
    ASSERT_TRUE(g_centreInStep.has_value());
    EXPECT_EQ(g_centreInStep->x, 8);
    EXPECT_EQ(g_centreInStep->y, 60);
    g_colourInStep = RGB(9, 9, 9);
    GoPrevCard({kTransZoomOut, 0, 8});
    EXPECT_EQ(GetCurrentCardId(), 1);
    EXPECT_FALSE(g_centreInStep.has_value()) << "the button's centre was the button's move's only";
    EXPECT_EQ(g_colourInStep, RGB(0, 0, 0));
    TransitionHooks() = savedHooks;
    // The index as stored now: on a palette display it followed the card's picture into the
    // system palette.
    const std::vector<uint8_t> coloured = OpenStackObject(1, kObjectButton, 11);
    ASSERT_GT(coloured.size(), size_t(kButtonFillColor + 1));
    const int stored = GetU16(coloured, kButtonFillColor);
    EXPECT_TRUE(IndexedDisplay() || stored == 6);
    PALETTEENTRY entry = {};
    ASSERT_EQ(GetPaletteEntries(GetAppPalette(), UINT(stored - 1), 1, &entry), 1u);
    const COLORREF wanted[] = {RGB(entry.peRed, entry.peGreen, entry.peBlue), RGB(0, 0, 0), RGB(0, 0, 0)};
    for (int i = 1; i < 4; ++i) {
        SCOPED_TRACE(i);
        GoToCardId(1, {3, 0, 8});
        PumpPageMessages();
        g_colourInStep = RGB(9, 9, 9);
        TransitionHooks().stepEnded = [](const TransitionContext& running, int, int, void*) {
            g_colourInStep = running.move.color;
        };
        DoButtonActions(GetCardWindow(), uint16_t(10 + i), PersonsAct::Of(WM_LBUTTONUP));
        TransitionHooks() = savedHooks;
        EXPECT_EQ(GetCurrentCardId(), 2);
        EXPECT_EQ(g_colourInStep, wanted[i - 1]);
    }

    // The button with the effect plays it from the card it leaves, rendered with its layers,
    // whatever the window happens to show.
    GoToCardId(1, {3, 0, 8});
    PumpPageMessages();
    {
        HDC dc = GetDC(GetCardWindow());
        HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
        const RECT all = {0, 0, kCardW, kCardH};
        FillRect(dc, &all, green);
        DeleteObject(green);
        ReleaseDC(GetCardWindow(), dc);
    }
    g_frames = {};
    DoButtonActions(GetCardWindow(), 14, PersonsAct::Of(WM_LBUTTONUP));
    EXPECT_EQ(GetCurrentCardId(), 2);
    ASSERT_EQ(g_frames.count, 30) << "the effect's frames";
    EXPECT_GT(CountNear(g_frames.frames[14], 255, 0, 0), whole / 4) << "the old card";
    EXPECT_EQ(CountNear(g_frames.frames[14], 0, 255, 0), 0) << "not the window's pixels";

    CloseLinkedPlugin(&page);
    EXPECT_FALSE(QTEffectStateExists()) << "disposed before the manager went";
    SetQtLibraryOps(saved);
}

// Movies and sounds on a card: a movie button's still opens the movie element (its window of
// class "QTWndClass" over the card), the stand-in on the test clock.
class MediaOnCard : public ::testing::Test {
protected:
    static constexpr sb::Rect kMovie{40, 30, 120, 90};
    static constexpr int kSoundId = 300;

    void SetUp() override {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        const std::string stem = "media-card-" + ProcessTag();
        avi_ = std::string(folder) + stem + ".avi";
        const std::vector<uint8_t> film = FourFrameRleAvi(kMovie.right - kMovie.left, kMovie.bottom - kMovie.top);
        std::ofstream(avi_, std::ios::binary).write(reinterpret_cast<const char*>(film.data()), std::streamsize(film.size()));
        sb::Stack stack;
        stack.cardWidth = kCardW;
        stack.cardHeight = kCardH;
        stack.cards = {SolidCard(1, {255, 255, 255}), SolidCard(2, {255, 255, 255})};
        stack.cards[0].objects.push_back(
            sb::MovieButton(1, {0, 44, 30, 64}, "Film", kMovie, "Disk:" + stem + ".avi", kMediaFlagController | 4));
        // The same movie played by a button that then goes to the next card.
        sb::Object go = sb::MovieButton(2, {0, 66, 30, 86}, "Go", kMovie, "Disk:" + stem + ".avi", 0);
        go.words.push_back({16, static_cast<uint16_t>(-1)});
        go.words.push_back({20, 0x120});
        stack.cards[0].objects.push_back(go);
        // Five seconds of sound: on the test clock it plays until stopped.
        stack.resources.push_back({"Snd ", kSoundId, "hum", 0, 0, StoredSnd(Square(5 * 11025, 60))});
        saved_ = GetQtLibraryOps();
        SetEnvironmentVariableA("LOOM_QUICKTIME_CLOCK", "test");  // read as the stand-in loads
        ASSERT_TRUE(OpenInLinkedPlugin(stack, stem + ".stk", &page_, [] { SetQtLibraryOps(LinkedStandInOps()); }));
        ASSERT_EQ(GetCurrentCardId(), 1);
        // The movie beside the stack was asked of the browser; once it is in, the card shows it.
        for (int i = 0; i < 10000 && HasStreamWork(); ++i) {
            PumpPageMessages();
            PumpStreams();
        }
        RefreshCurrentCard(1);
        PumpPageMessages();
    }
    void TearDown() override {
        CloseLinkedPlugin(&page_);
        SetEnvironmentVariableA("LOOM_QUICKTIME_CLOCK", nullptr);
        SetQtLibraryOps(saved_);
        DeleteFileA(avi_.c_str());
    }

    // The movie windows over the card.
    static BOOL CALLBACK AddMovieWindow(HWND window, LPARAM list) {
        char name[32] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == "QTWndClass")
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
    }
    static std::vector<HWND> MovieWindows() {
        std::vector<HWND> found;
        EnumChildWindows(GetCardWindow(), AddMovieWindow, reinterpret_cast<LPARAM>(&found));
        return found;
    }
    // The colour in the middle of a movie window.
    static uint32_t MiddleOf(HWND window) {
        WindowDC dc(window);
        const COLORREF c = GetPixel(dc.get(), (kMovie.right - kMovie.left) / 2, (kMovie.bottom - kMovie.top) / 2);
        return uint32_t{GetRValue(c)} << 16 | uint32_t{GetGValue(c)} << 8 | GetBValue(c);
    }
    static uint32_t FrameColour(int k) {
        const uint8_t* c = kRleAviPalette[k + 1];
        return uint32_t{c[2]} << 16 | uint32_t{c[1]} << 8 | c[0];
    }

    LinkedPluginPage page_;
    QtLibraryOps saved_{};
    std::string avi_;
};

HWND g_idledWindow = nullptr;
uint32_t g_colourAtFirstStep = 0;

TEST_F(MediaOnCard, ControllersIdleInWaitsAndTransitionsAndFinishedMoviesGoWithTheCardAndTheTool) {
    std::vector<HWND> movies = MovieWindows();
    ASSERT_EQ(movies.size(), 1u) << "the still opened the movie element";
    const HWND movie = movies[0];
    EXPECT_EQ(MiddleOf(movie), FrameColour(0));

    // Played on the test clock: only an idle of its controller shows the frame now due.
    MediaMovieCommand(1);
    QTAdvanceTestClock(150);
    PostMessageA(page_.page, WM_NULL, 0, 0);
    WaitWithMessages();
    EXPECT_EQ(MiddleOf(movie), FrameColour(1)) << "the waiting step idled the controller";

    // A transition beside the movie: its first step end has idled the controller already.
    QTAdvanceTestClock(100);
    const TransitionStepHooks savedHooks = TransitionHooks();
    g_idledWindow = movie;
    g_colourAtFirstStep = 0;
    TransitionHooks().stepEnded = [](const TransitionContext&, int step, int, void*) {
        if (step == 1)
            g_colourAtFirstStep = MiddleOf(g_idledWindow);
    };
    {
        WindowDC screen(GetCardWindow());
        OwnedGdiObject<HBITMAP> card(CreateCompatibleBitmap(screen.get(), kCardW, kCardH));
        RunTransition(CardMove{1, 0, 8}, GetCardWindow(), RECT{0, 0, 30, 20}, card.get(), 0);  // left to right
    }
    TransitionHooks() = savedHooks;
    EXPECT_EQ(g_colourAtFirstStep, FrameColour(2)) << "the transition's step idled the controller";

    // Leaving the card removes the movie; coming back opens it again, and refreshing the card
    // makes a new one in its place.
    GoToCardId(2, {3, 0, 8});
    PumpPageMessages();
    EXPECT_FALSE(IsWindow(movie));
    EXPECT_TRUE(MovieWindows().empty());
    GoToCardId(1, {3, 0, 8});
    PumpPageMessages();
    movies = MovieWindows();
    ASSERT_EQ(movies.size(), 1u);
    RefreshCurrentCard(1);
    PumpPageMessages();
    EXPECT_FALSE(IsWindow(movies[0])) << "the old element went";
    EXPECT_EQ(MovieWindows().size(), 1u);
    // A paint tool removes it (and no redraw in the paint tool brings it back).
    SelectToolNumber(1);
    PumpPageMessages();
    EXPECT_TRUE(MovieWindows().empty());
    SelectToolNumber(kBrowseTool);
    PumpPageMessages();
}

// The test clock moves only while the performer's wait dispatches this timer.
int g_clockSteps = 0;
void CALLBACK StepClock(HWND, UINT, UINT_PTR, DWORD) {
    ++g_clockSteps;
    QTAdvanceTestClock(50);
}

// Performs button 2 (the movie, then the next card) while the clock runs; the clock's steps.
int PerformMovieAndMove() {
    g_clockSteps = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, StepClock);
    DoButtonActions(GetCardWindow(), 2, PersonsAct::Of(WM_LBUTTONUP));
    KillTimer(nullptr, timer);
    return g_clockSteps;
}

TEST_F(MediaOnCard, TheTickIdlesMoviesAndAMovieHoldsTheMoveUntilItEndsOrTheUserActs) {
    const std::vector<HWND> movies = MovieWindows();
    ASSERT_EQ(movies.size(), 1u);
    // A movie played without any wait: the card window's periodic tick shows its frames.
    MediaMovieCommand(1);
    QTAdvanceTestClock(150);
    SendMessageA(GetCardWindow(), WM_TIMER, 1, 0);
    EXPECT_EQ(MiddleOf(movies[0]), FrameColour(1)) << "the tick idled the controller";
    MediaMovieCommand(2);

    // The move waits for the movie's 400 ms to pass on the clock.
    constexpr int kMovieSteps = 4 * 1000 / kRleAviFramesPerSecond / 50;
    EXPECT_GE(PerformMovieAndMove(), kMovieSteps);
    EXPECT_EQ(GetCurrentCardId(), 2);
    // A click, a right click or a key that comes meanwhile ends the wait at once.
    for (const UINT message : {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_KEYDOWN}) {
        SCOPED_TRACE(message);
        GoToCardId(1, {3, 0, 8});
        PumpPageMessages();
        ASSERT_EQ(GetCurrentCardId(), 1);
        PostMessageA(GetCardWindow(), message, 0, 0);
        EXPECT_LT(PerformMovieAndMove(), kMovieSteps);
        EXPECT_EQ(GetCurrentCardId(), 2);
    }
}

TEST_F(MediaOnCard, APaintToolAndAMenuCommandStopTheSoundPlaying) {
    PlaySoundResource(kSoundId, 0, 255);
    ASSERT_EQ(MediaIsPlaying(), 1);
    SelectToolNumber(1);
    EXPECT_EQ(MediaIsPlaying(), 0) << "stopped by the paint tool";
    SelectToolNumber(kBrowseTool);
    PlaySoundResource(kSoundId, 0, 255);
    ASSERT_EQ(MediaIsPlaying(), 1);
    SendMessageA(GetCardWindow(), WM_COMMAND, 353, 0);  // draw multiple: a command that plays nothing
    EXPECT_EQ(MediaIsPlaying(), 0) << "stopped by the menu command";
    SendMessageA(GetCardWindow(), WM_COMMAND, 353, 0);
}

}  // namespace
