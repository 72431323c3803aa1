// Nothing leaves the card under an authoring dialog, in the plug-in hosted by this program: under
// each kind of dialog (an object's appearance, the actions dialog, the card walk, the icon and
// cursor choosers, the sound deck, a movie's options) a module's request to move or to open a
// stack, a card timer and a download's arrival that would rebuild the card are held; the walk's
// own arrows move; what was held is done once the dialog has ended, and the timer goes off then.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "actions/ActionBlock.h"
#include "actions/ActionRecord.h"
#include "actions/ActionsDialog.h"
#include "actions/TimerButtons.h"
#include "authoring/graphics/GraphicCommands.h"
#include "core/events/CardLeaveGuard.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "layers/LayerList.h"
#include "host/actions/ActionsEditor.h"
#include "host/player/CardNavigation.h"
#include "host/player/DownloadReplay.h"
#include "host/player/StackJump.h"
#include "host/window/PeriodicTick.h"
#include "media/MediaDialogs.h"
#include "objects/IconChooser.h"
#include "objects/ObjectServices.h"
#include "resources/actions_ids.h"
#include "stack/StackOpenSession.h"
#include "stack/cards/ActionResource.h"
#include "format/StackFile.h"
#include "tests/host/requests/RequestTestPage_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/TestMovieFiles_win.h"

namespace {

namespace sb = stackbuilder;
using requestpage::Request;
constexpr int kCardW = 160, kCardH = 120;
constexpr uint16_t kButtonId = 11, kGraphicId = 12, kTextId = 13, kTimerButtonId = 14;

// Card 1 holds a button, a graphic and a text object, and a button whose timer goes to the next
// card after a second.
sb::Stack GuardStack() {
    sb::Stack stack;
    stack.cardWidth = kCardW;
    stack.cardHeight = kCardH;
    for (uint16_t id = 1; id <= 3; ++id)
        stack.cards.push_back(sb::PictureCard(id, sb::SolidPicture(kCardW, kCardH, 8, 0)));
    stack.cards[0].objects.push_back(sb::ShapedButton(kButtonId, {20, 20, 80, 50}, "Go", 1));
    stack.cards[0].objects.push_back(sb::Graphic(kGraphicId, {100, 70, 140, 100}, "Pic"));
    stack.cards[0].objects.push_back(sb::TextField(kTextId, {20, 70, 90, 110}, "Note", "Hello"));
    sb::Object timer = sb::ShapedButton(kTimerButtonId, {100, 10, 150, 40}, "Later", 1, 0, kDestNext);
    sb::SetTimer(timer, 1, 1);
    stack.cards[0].objects.push_back(timer);
    return stack;
}

// The tenths the timer button still has to wait; -1 when it has no entry.
int32_t TimerLeft() {
    for (uint32_t i = 0; i < kTimerTableCapacity; ++i)
        if (const TimerEntry entry = GetTimerEntry(i); entry.id == kTimerButtonId)
            return entry.remaining;
    return -1;
}

// An object's appearance dialog as the Objects menu opens it, on the object selected.
void EditObject(HWND window, uint16_t kind, uint16_t id) {
    SelectObjectLayer(FindLayer(kind, id));
    EditSelectedObject(window);
}

// The periodic tick run for that long, as the dialog's own loop would run it.
void TickFor(HWND window, DWORD milliseconds) {
    const DWORD until = GetTickCount() + milliseconds;
    while (GetTickCount() < until) {
        PeriodicTick(window);
        Sleep(40);
    }
}

struct DialogKind {
    const char* name;
    DialogMatch match;
    std::function<void(HWND)> open;
};

class DialogGuardInPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenInLinkedPlugin(GuardStack(), "guard-" + std::to_string(GetCurrentProcessId()) + ".stk", &page_));
    }
    void TearDown() override { CloseLinkedPlugin(&page_); }

    // Under the dialog: each source tries to leave the card, and nothing moves.
    void TryToLeave(const char* kind) {
        const LayerHandle layers = GetLayerListHead();
        const int heldBefore = HeldCardLeaveCount();
        Request(4);  // a module: the next card
        EXPECT_EQ(GetCurrentCardId(), 1) << kind << ": a module's move waits";
        static const char kOther[] = "C:\\elsewhere.stk";
        EXPECT_EQ(Request(129, requestpage::Address(kOther)).handled, 0u) << kind << ": a module's open is refused";
        PendingRequest still{};
        still.kind = kPendingStill;
        still.cardId = GetCurrentCardId();
        ReplayPendingRequest(still, ("http://localhost/" + std::string(kind) + ".bmp").c_str());  // a download's arrival
        EXPECT_EQ(GetLayerListHead(), layers) << kind << ": the card is not rebuilt under the dialog";
        TickFor(page_.embed, 1300);  // the timer's second, and more
        EXPECT_EQ(GetCurrentCardId(), 1) << kind << ": the timer waits";
        EXPECT_GT(TimerLeft(), 0) << kind << ": its time is not counted";
        EXPECT_EQ(HeldCardLeaveCount(), heldBefore + 2) << kind << ": the move and the card's rebuild are held";
    }

    LinkedPluginPage page_;
};

TEST_F(DialogGuardInPlugin, ModulesTimersAndDownloadsWaitUnderEveryKindOfAuthoringDialog) {
    ScopedHandle record(NewEmptyActionRecord(0));
    AudioDeckChoice sound;
    // A movie's options, for a movie given on the disk (as one dropped here: the page's stack
    // from the web would ask its site for it).
    const std::string avi = WriteTemp("guard-movie.avi", RleAvi());
    RememberFileChosenHere(avi.c_str());
    std::vector<uint8_t> movieChunk(kChunkHeaderBytes, 0);
    SetU16(movieChunk, kChunkOptionWord, 255);
    Handle packed = 0;
    ASSERT_EQ(PackFilePath(avi.c_str(), &packed), 1);
    const std::vector<uint8_t> reference = HandleToBytes(packed);
    DisposeHandle(packed);
    movieChunk.insert(movieChunk.end(), reference.begin(), reference.end());
    FileSpec movie = EmptyFileSpec();
    SetFileSpecPath(&movie, avi.c_str());
    const std::vector<DialogKind> kinds = {
        {"button appearance", DialogMatch::Template("BUTTONDLG"), [](HWND w) { EditObject(w, kObjectButton, kButtonId); }},
        {"graphic appearance", DialogMatch::Template("GAPPEAR"), [](HWND w) { EditObject(w, kObjectGraphic, kGraphicId); }},
        {"text appearance", DialogMatch::Template("TEXTINFO"), [](HWND w) { EditObject(w, kObjectText, kTextId); }},
        {"actions dialog", DialogMatch::Template("OBJACT"),
         [&](HWND) { RunActionsDialogCall(kActionsForObject, record.get(), 0, 2); }},
        {"icon chooser", DialogMatch::Template("ICONSDLG"), [](HWND w) { RunIconChooser(w, true, 0); }},
        {"cursor chooser", DialogMatch::Template("ICONSDLG"), [](HWND w) { RunIconChooser(w, false, 0); }},
        {"sound deck", DialogMatch::Template("TAPE"), [&](HWND w) { RunAudioDeckDialog(w, &sound); }},
        {"movie options", DialogMatch::Template("QT_OPTIONS"),
         [&](HWND) {
             MediaMovieOptions(movieChunk, 1, &movie);
         }},
    };
    for (const DialogKind& kind : kinds) {
        GoToCardId(1, kPlainTransition, kPlainEffect, kPlainSpeed);
        ASSERT_EQ(GetCurrentCardId(), 1) << kind.name;
        ASSERT_GT(TimerLeft(), 0) << kind.name;
        DialogDriver driver(20000);
        driver.Expect(kind.match, [&](DialogView& box) {
            TryToLeave(kind.name);
            box.Press(IDCANCEL);
        });
        driver.Run([&] {
            kind.open(page_.embed);
            return 0;
        });
        EXPECT_TRUE(driver.AllAnswered()) << kind.name;
        EXPECT_EQ(GetCurrentCardId(), 1) << kind.name << ": the held move waits for the tick";
        // The card window's tick does what was held: the module's move to the next card.
        PeriodicTick(page_.embed);
        EXPECT_EQ(HeldCardLeaveCount(), 0) << kind.name;
        EXPECT_EQ(GetCurrentCardId(), 2) << kind.name << ": the module's move, once the dialog ended";
    }

    // The timer held under a dialog goes off once it has ended.
    GoToCardId(1, kPlainTransition, kPlainEffect, kPlainSpeed);
    {
        DialogDriver driver(20000);
        driver.Expect(DialogMatch::Template("ICONSDLG"), [&](DialogView& box) {
            TickFor(page_.embed, 1300);
            EXPECT_EQ(GetCurrentCardId(), 1);
            box.Press(IDCANCEL);
        });
        driver.Run([&] { return RunIconChooser(page_.embed, true, 0); });
    }
    TickFor(page_.embed, 1500);
    EXPECT_EQ(GetCurrentCardId(), 2) << "the timer went off after the dialog";
}

TEST_F(DialogGuardInPlugin, TheWalksOwnArrowsMoveWhileTheSourcesWait) {
    uint16_t walkedTo = 0;
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Caption("Move to card"), [&](DialogView& box) {
        TryToLeave("card walk");
        HWND next = GetDlgItem(box.Window(), IDC_CARD_NEXT);
        SendMessageA(next, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(next, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        walkedTo = GetCurrentCardId();
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return RunAnotherCardSequence(page_.embed); }), 0);
    EXPECT_TRUE(driver.AllAnswered());
    EXPECT_EQ(walkedTo, 2) << "the walk's arrow moved";
    EXPECT_EQ(GetCurrentCardId(), 1) << "and the walk came back";
    PeriodicTick(page_.embed);
    EXPECT_EQ(GetCurrentCardId(), 2) << "the module's move, once the walk ended";
}

// A web stack's walk that starts in another stack asks the page for it and waits; the walk
// cancelled before it arrived gives that jump up: it does not replace the stack afterwards.
TEST_F(DialogGuardInPlugin, AWalksJumpStillWaitingForItsStackIsGivenUpWhenTheWalkEnds) {
    ActionBlock* block = GetActionBlock();
    const ActionBlock before = *block;
    block->destination = kDestOtherStack;
    const std::string absent = "absent-" + std::to_string(GetCurrentProcessId()) + ".stk";
    SetFileSpecFromPath(kSlotTargetStack, absent.c_str());
    char start[MAX_PATH] = {}, during[MAX_PATH] = {}, end[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof start, start);
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Caption("Move to card"), [&](DialogView& box) {
        GetFileSpecPath(kSlotCurrentStack, sizeof during, during);
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return RunAnotherCardSequence(page_.embed); }), 0);
    EXPECT_TRUE(driver.AllAnswered());
    EXPECT_STREQ(during, start) << "the other stack is still on its way";
    EXPECT_FALSE(ResumeStackJump()) << "the walk's jump was given up";
    PumpPageMessages();
    GetFileSpecPath(kSlotCurrentStack, sizeof end, end);
    EXPECT_STREQ(end, start);
    EXPECT_EQ(GetCurrentCardId(), 1);
    block->destination = before.destination;
}

}  // namespace
