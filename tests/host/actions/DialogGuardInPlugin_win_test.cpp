// Nothing but the dialog changes the stack under an authoring dialog, in the plug-in hosted by this
// program: under each kind of dialog (an object's appearance, the actions dialog, the card walk,
// the icon and cursor choosers, the sound deck, a movie's options) every request code a module
// can make runs, waits or is refused as the one table says, and none changes a card, the stack,
// the layers or the tool; a card timer and a download's arrival wait; the walk's own arrows
// move; what was held is done once the dialog has ended, on the stack and card it was asked on
// and with what the module asked then, and the timer goes off then. A page closed under a
// dialog is released after it, and a page that came meanwhile starts then.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "TestBrowser.h"
#include "actions/ActionBlock.h"
#include "actions/ActionRecord.h"
#include "actions/ActionsDialog.h"
#include "actions/TimerButtons.h"
#include "authoring/graphics/GraphicCommands.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "host/actions/ActionsEditor.h"
#include "host/player/CardNavigation.h"
#include "host/player/DownloadReplay.h"
#include "host/player/StackJump.h"
#include "host/browser/WindowAttach.h"
#include "host/dialogs/Printing.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestTable.h"
#include "host/window/PeriodicTick.h"
#include "media/MediaDialogs.h"
#include "objects/IconChooser.h"
#include "objects/ObjectServices.h"
#include "resources/actions_ids.h"
#include "resources/graphics_ids.h"
#include "resources/print_ids.h"
#include "stack/StackOpenSession.h"
#include "stack/cards/ActionResource.h"
#include "format/StackFile.h"
#include "tests/host/PrintingTestDevice_win.h"
#include "tests/host/requests/RequestTestPage_win.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/TestMovieFiles_win.h"
#include "tests/support/ProcessNames_win.h"

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

// What the table walk must find unchanged: every card's record, the stack's header, the layers,
// the card shown and the tool.
struct StackState {
    std::vector<std::vector<uint8_t>> cards;
    std::vector<uint8_t> header;
    LayerHandle layers = nullptr;
    uint16_t card = 0;
    uint32_t tool = 0;
    bool operator==(const StackState&) const = default;
};

StackState TakeStackState() {
    StackState state;
    for (int i = 1; i <= CountCards(); ++i)
        state.cards.push_back(HandleToBytes(GetCardByIndex(i)));
    state.header = HandleToBytes(GetStackHeaderHandle());
    state.layers = GetLayerListHead();
    state.card = GetCurrentCardId();
    state.tool = GetCurrentTool();
    return state;
}

// The module's own windows and its wait, which the walk does not open: they run.
bool OpensItsOwnWindow(int code) { return code == 42 || code == 100 || code == 101 || code == 149 || code == 162; }

// The name (as a string) and flags of an object, read as a module reads them.
struct SeenObject {
    std::string name;
    uint32_t flags = 0;
    bool found = false;
};
SeenObject SeeObject(uint16_t id, uint32_t kindIndex) {
    SeenObject seen;
    const NbaParamBlock found = Request(24, id, kindIndex);
    if (found.param2 == 0)
        return seen;
    const uint32_t record = found.param2, offset = found.param1;
    seen.found = true;
    seen.flags = Request(35, record, offset).handled;
    if (const auto* name = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(Request(182, record, offset, 2).param3)))
        seen.name.assign(reinterpret_cast<const char*>(name + 1), name[0]);
    return seen;
}
constexpr uint32_t kHiddenFlag = 32;

struct DialogKind {
    const char* name;
    DialogMatch match;
    std::function<void(HWND)> open;
};

class DialogGuardInPlugin : public LinkedPluginTest {
protected:
    void SetUp() override { ASSERT_TRUE(Open(GuardStack())); }

    // Under the dialog: every request code, without its parameters, as a module at idle might
    // make it. Those that wait are held (and dropped here: made afterwards without parameters
    // they would sort cards or open a module's dialog); those refused answer as a failure;
    // nothing of the stack changes.
    void WalkTheTable(const std::string& kind) {
        const StackState before = TakeStackState();
        ASSERT_EQ(HeldWorkCount(), 0) << kind;
        int waiting = 0;
        for (int code = 0; code < kRequestCodeCount; ++code) {
            NbaParamBlock asked{};
            asked.message = static_cast<uint16_t>(code);
            const GuardedRequest rule = GuardedRequestOf(code, asked);
            if (OpensItsOwnWindow(code)) {
                EXPECT_EQ(rule, GuardedRequest::kRuns) << code;
                continue;
            }
            const NbaParamBlock& b = Request(static_cast<uint16_t>(code));
            waiting += rule == GuardedRequest::kWaits ? 1 : 0;
            EXPECT_EQ(HeldWorkCount(), waiting) << kind << ": request " << code;
            if (rule == GuardedRequest::kRefused) {
                EXPECT_EQ(b.param1, 0u) << kind << ": request " << code;
                EXPECT_EQ(b.handled, 0u) << kind << ": request " << code;
            }
        }
        // The writes named for modules: menu items, object changes, actions, resources, the
        // tool, transitions; another stack's open is refused.
        for (const int code : {1, 4, 5, 6, 10, 26, 27, 30, 32, 34, 43, 59, 119, 127, 151, 180, 185, 190})
            EXPECT_EQ(GuardedRequestRule(code), GuardedRequest::kWaits) << code;
        NbaParamBlock select{};
        select.param1 = 1;
        EXPECT_EQ(GuardedRequestOf(146, select), GuardedRequest::kWaits);
        select.param3 = 2;
        EXPECT_EQ(GuardedRequestOf(183, select), GuardedRequest::kWaits);
        EXPECT_EQ(GuardedRequestRule(129), GuardedRequest::kRefused);
        EXPECT_TRUE(TakeStackState() == before) << kind << ": a request changed the stack under the dialog";
        DropHeldWork();
    }

    // Under the dialog: each source tries to leave the card, and nothing moves.
    void TryToLeave(const char* kind) {
        WalkTheTable(kind);
        const LayerHandle layers = GetLayerListHead();
        const int heldBefore = HeldWorkCount();
        Request(4);  // a module: the next card
        EXPECT_EQ(GetCurrentCardId(), 1) << kind << ": a module's move waits";
        static const char kOther[] = "C:\\elsewhere.stk";
        EXPECT_EQ(Request(129, requestpage::Address(kOther)).handled, 0u) << kind << ": a module's open is refused";
        PendingRequest still{};
        still.kind = kPendingStill;
        still.cardId = GetCurrentCardId();
        ReplayPendingRequest(still, ("http://localhost/" + std::string(kind) + ".bmp").c_str());  // a download's arrival
        // A graphic's picture arrived: its layer keeps the picture it has under the dialog.
        const LayerHandle graphic = FindLayer(kObjectGraphic, kGraphicId);
        HBITMAP picture = nullptr;
        if (LayerLock<GraphicLayer> lock(graphic); lock)
            picture = lock->picture;
        PendingRequest arrived{};
        arrived.kind = kPendingLayer;
        arrived.cardId = GetCurrentCardId();
        arrived.object = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(graphic));
        ReplayPendingRequest(arrived, "http://localhost/picture.bmp");
        EXPECT_EQ(FindLayer(kObjectGraphic, kGraphicId), graphic) << kind;
        if (LayerLock<GraphicLayer> lock(graphic); lock) {
            EXPECT_EQ(lock->picture, picture) << kind << ": the picture is not replaced under the dialog";
        }
        EXPECT_EQ(GetLayerListHead(), layers) << kind << ": the card is not rebuilt under the dialog";
        TickFor(page.embed, 1300);  // the timer's second, and more
        EXPECT_EQ(GetCurrentCardId(), 1) << kind << ": the timer waits";
        EXPECT_GT(TimerLeft(), 0) << kind << ": its time is not counted";
        EXPECT_EQ(HeldWorkCount(), heldBefore + 3) << kind << ": the move, the card's rebuild and the picture are held";
    }

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
         [&](HWND) { RunActionsDialogCall(kActionsForObject, record.get(), 0, 2, nullptr); }},
        {"icon chooser", DialogMatch::Template("ICONSDLG"), [](HWND w) { RunIconChooser(w, true, 0); }},
        {"cursor chooser", DialogMatch::Template("ICONSDLG"), [](HWND w) { RunIconChooser(w, false, 0); }},
        {"sound deck", DialogMatch::Template("TAPE"), [&](HWND w) { RunAudioDeckDialog(w, &sound); }},
        {"movie options", DialogMatch::Template("QT_OPTIONS"),
         [&](HWND) {
             MediaMovieOptions(movieChunk, 1, &movie);
         }},
    };
    for (const DialogKind& kind : kinds) {
        GoToCardId(1);
        ASSERT_EQ(GetCurrentCardId(), 1) << kind.name;
        ASSERT_GT(TimerLeft(), 0) << kind.name;
        DialogDriver driver(20000);
        driver.Expect(kind.match, [&](DialogView& box) {
            TryToLeave(kind.name);
            box.Press(IDCANCEL);
        });
        driver.Run([&] {
            kind.open(page.embed);
            return 0;
        });
        EXPECT_EQ(GetCurrentCardId(), 1) << kind.name << ": the held move waits for the tick";
        // The card window's tick does what was held: the module's move to the next card.
        PeriodicTick(page.embed);
        EXPECT_EQ(HeldWorkCount(), 0) << kind.name;
        EXPECT_EQ(GetCurrentCardId(), 2) << kind.name << ": the module's move, once the dialog ended";
    }

    // The timer held under a dialog goes off once it has ended.
    GoToCardId(1);
    {
        DialogDriver driver(20000);
        driver.Expect(DialogMatch::Template("ICONSDLG"), [&](DialogView& box) {
            TickFor(page.embed, 1300);
            EXPECT_EQ(GetCurrentCardId(), 1);
            box.Press(IDCANCEL);
        });
        driver.Run([&] { return RunIconChooser(page.embed, true, 0); });
    }
    TickFor(page.embed, 1500);
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
    EXPECT_EQ(driver.Run([&] { return RunAnotherCardSequence(page.embed, *GetActionBlock(), nullptr); }), 0);
    EXPECT_EQ(walkedTo, 2) << "the walk's arrow moved";
    EXPECT_EQ(GetCurrentCardId(), 1) << "and the walk came back";
    PeriodicTick(page.embed);
    EXPECT_EQ(GetCurrentCardId(), 2) << "the module's move, once the walk ended";
}

// A web stack's walk that starts in another stack asks the page for it and waits; the walk
// cancelled before it arrived gives that jump up: it does not replace the stack afterwards.
TEST_F(DialogGuardInPlugin, AWalksJumpStillWaitingForItsStackIsGivenUpWhenTheWalkEnds) {
    ActionBlock* block = GetActionBlock();
    const ActionBlock before = *block;
    block->destination = kDestOtherStack;
    const std::string absent = "absent-" + ProcessTag() + ".stk";
    SetFileSpecFromPath(kSlotTargetStack, absent.c_str());
    char start[MAX_PATH] = {}, during[MAX_PATH] = {}, end[MAX_PATH] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof start, start);
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Caption("Move to card"), [&](DialogView& box) {
        GetFileSpecPath(kSlotCurrentStack, sizeof during, during);
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(driver.Run([&] { return RunAnotherCardSequence(page.embed, *GetActionBlock(), nullptr); }), 0);
    EXPECT_STREQ(during, start) << "the other stack is still on its way";
    EXPECT_FALSE(ResumeStackJump()) << "the walk's jump was given up";
    PumpPageMessages();
    GetFileSpecPath(kSlotCurrentStack, sizeof end, end);
    EXPECT_STREQ(end, start);
    EXPECT_EQ(GetCurrentCardId(), 1);
    block->destination = before.destination;
}

// A module renames a button, hides the graphic being edited, moves the text object, chooses a
// tool and asks for a new card while the graphic's appearance dialog is renaming the graphic:
// the dialog's own edit is made as the author chose it, and the module's changes are made
// after it, in order, on the card they were asked on. The same asked under the card walk and
// then left behind by a move to another card are dropped.
TEST_F(DialogGuardInPlugin, AModulesChangesUnderADialogComeAfterItOnTheirOwnCard) {
    const std::vector<uint8_t> renamed = requestpage::Pascal("Went");
    const int32_t moved[4] = {24, 72, 100, 116};
    const auto ask = [&] {
        const NbaParamBlock button = Request(24, kButtonId, 0);
        Request(183, button.param2, button.param1, 2, requestpage::Address(renamed.data()));
        Request(26, kGraphicId, 2);
        Request(32, kTextId, 1, 0, 0, requestpage::Address(moved));
        Request(146, 1, kButtonTool);
        const std::vector<uint8_t> edit = requestpage::Pascal("Edit"), newCard = requestpage::Pascal("New Card");
        Request(10, 0, 0, requestpage::Address(edit.data()), requestpage::Address(newCard.data()));
    };
    const int cards = CountCards();
    const uint32_t tool = GetCurrentTool();
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("GAPPEAR"), [&](DialogView& box) {
        ask();
        EXPECT_EQ(SeeObject(kButtonId, 0).name, "Go") << "nothing yet";
        EXPECT_EQ(SeeObject(kGraphicId, 2).flags & kHiddenFlag, 0u);
        EXPECT_EQ(GetCurrentTool(), tool);
        EXPECT_EQ(CountCards(), cards);
        box.SetText(GAPPEAR_NAME, "Drawn");
        box.Press(IDOK);
    });
    driver.Run([&] {
        EditObject(page.embed, kObjectGraphic, kGraphicId);
        return 0;
    });
    EXPECT_EQ(HeldWorkCount(), 5);
    const SeenObject graphic = SeeObject(kGraphicId, 2);
    EXPECT_EQ(graphic.name, "Drawn") << "the dialog's own edit";
    EXPECT_EQ(graphic.flags & kHiddenFlag, 0u) << "the module's hiding waits";
    PeriodicTick(page.embed);
    EXPECT_EQ(HeldWorkCount(), 0);
    EXPECT_EQ(CountCards(), cards + 1) << "the new card, last";
    GoToCardId(1);
    EXPECT_EQ(SeeObject(kButtonId, 0).name, "Went");
    const SeenObject after = SeeObject(kGraphicId, 2);
    EXPECT_EQ(after.name, "Drawn") << "kept, and then hidden";
    EXPECT_EQ(after.flags & kHiddenFlag, kHiddenFlag);
    const auto* rect = reinterpret_cast<const int32_t*>(static_cast<uintptr_t>(Request(31, kTextId, 1).param1));
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(std::vector<int32_t>(rect, rect + 4), std::vector<int32_t>(moved, moved + 4));
    SelectToolNumber(tool);

    // Under the walk, on the card it shows, then left: dropped.
    DialogDriver walk(20000);
    walk.Expect(DialogMatch::Caption("Move to card"), [&](DialogView& box) {
        HWND next = GetDlgItem(box.Window(), IDC_CARD_NEXT);
        SendMessageA(next, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        SendMessageA(next, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        Request(27, kGraphicId, 2);  // asked on the walk's card, where the graphic is not
        Request(28, (65535u << 16) | kButtonId, 0);  // the button, on any card: locked
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(walk.Run([&] { return RunAnotherCardSequence(page.embed, *GetActionBlock(), nullptr); }), 0);
    EXPECT_EQ(GetCurrentCardId(), 1) << "the walk came back";
    EXPECT_EQ(HeldWorkCount(), 2);
    PeriodicTick(page.embed);
    EXPECT_EQ(HeldWorkCount(), 0);
    EXPECT_EQ(SeeObject(kGraphicId, 2).flags & kHiddenFlag, kHiddenFlag) << "asked on another card: dropped";
    EXPECT_EQ(SeeObject(kButtonId, 0).flags & 8u, 0u) << "asked on another card: dropped";
}

// The page destroyed from inside the graphic's appearance dialog (a browser that closes the page
// from within the plug-in's loop): nothing is freed under the dialog, which ends as cancelled;
// the releases come once the plug-in is back from its loop.
TEST_F(DialogGuardInPlugin, APageDestroyedUnderADialogIsReleasedOnlyAfterIt) {
    const LayerHandle graphic = FindLayer(kObjectGraphic, kGraphicId);
    bool keptUnder = false;
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("GAPPEAR"), [&](DialogView&) {
        DestroyInstances();
        keptUnder = IsStackOpen() && FindLayer(kObjectGraphic, kGraphicId) == graphic;
    });
    driver.Run([&] {
        EditObject(page.embed, kObjectGraphic, kGraphicId);
        return 0;
    });
    EXPECT_TRUE(keptUnder) << "the stack and the edited layer stay while the dialog runs";
    EXPECT_TRUE(IsStackOpen()) << "released only once the plug-in's own loop is back";
    SendMessageA(page.embed, WM_NULL, 0, 0);
    EXPECT_FALSE(IsStackOpen()) << "released after it";
}

// A module's print request made under a dialog waits; the module frees its request block and
// makes another of one card in its place meanwhile: what is printed after the dialog is the two
// cards it asked for then.
TEST_F(DialogGuardInPlugin, AHeldPrintRequestPrintsWhatTheModuleAskedWhenItAsked) {
    const auto printRequest = [](std::initializer_list<uint32_t> ids) {
        std::vector<uint8_t> bytes(6 + 4 * ids.size());
        const uint16_t kind = kPrintCardsRequest;
        const uint32_t count = static_cast<uint32_t>(ids.size());
        std::memcpy(bytes.data(), &kind, 2);
        std::memcpy(bytes.data() + 2, &count, 4);
        size_t at = 6;
        for (const uint32_t id : ids) {
            std::memcpy(bytes.data() + at, &id, 4);
            at += 4;
        }
        const Handle h = static_cast<Handle>(Request(15, static_cast<uint32_t>(bytes.size())).param1);
        SetHandleBytes(h, bytes);
        return h;
    };
    {
        const EditorGuard editing;
        const Handle asked = printRequest({1, 3});
        EXPECT_EQ(Request(164, 0, static_cast<uint32_t>(asked)).param1, 0u) << "nothing printed yet";
        EXPECT_EQ(HeldWorkCount(), 1);
        Request(107, static_cast<uint32_t>(asked));
        ASSERT_FALSE(IsValidHandle(asked));
        printRequest({2});  // most likely on the same number
    }
    RecordingPrinter printer;
    PrintDevice* before = SetPrintDevice(&printer);
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("PRINT_STK"), [](DialogView& box) {
        box.SetChecked(IDC_PRINT_ALL, true);
        box.SetChecked(IDC_PRINT_CURRENT, false);
        EXPECT_EQ(box.Text(IDC_PRINT_PAGES), "2") << "the request's two cards";
        box.Press(IDOK);
    });
    EXPECT_EQ(driver.Run([] { return RunHeldWork(); }), 1);
    SetPrintDevice(before);
    EXPECT_EQ(printer.documents, 1);
    EXPECT_EQ(printer.pages.size(), 2u) << "cards 1 and 3, one to a page";
}

// The first page closed under a dialog and a second page given its window before the dialog
// ended, its stack arriving meanwhile: the first page's stack stays whole under the dialog and is
// released after it; the second page then starts on its own window and opens its own stack.
TEST_F(DialogGuardInPlugin, APageGivenItsWindowWhileAnotherClosesUnderADialogStartsAfterIt) {
    const Handle header = GetStackHeaderHandle();
    const std::vector<uint8_t> headerBytes = HandleToBytes(header);
    const LayerHandle graphic = FindLayer(kObjectGraphic, kGraphicId);
    const std::string name = ProcessUniqueName("second-page", "stk");
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string file = std::string(temp) + name;
    ASSERT_TRUE(sb::WriteFile(file, sb::BuildStack(OneCardStack(kCardW, kCardH)).bytes));
    const std::string url = "http://localhost/" + name;
    HWND embed = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, kCardW, kCardH, page.page, nullptr, nullptr, nullptr);
    int second = -1;
    bool keptUnder = false;
    DialogDriver driver(20000);
    driver.Expect(DialogMatch::Template("GAPPEAR"), [&](DialogView&) {
        DestroyInstances();
        second = NewInstance("application/lmpk", false, url, kCardW, kCardH);
        SetInstanceWindow(second, embed, 0, 0, kCardW, kCardH);
        RequestStream(second, url);  // its stack arrives while the dialog still runs
        for (int i = 0; i < 10000 && HasStreamWork(); ++i) {
            PumpPageMessages();
            PumpStreams();
        }
        keptUnder = IsStackOpen() && GetStackHeaderHandle() == header && HandleToBytes(header) == headerBytes &&
                    FindLayer(kObjectGraphic, kGraphicId) == graphic && GetMainWindow() == page.embed;
    });
    driver.Run([&] {
        EditObject(page.embed, kObjectGraphic, kGraphicId);
        return 0;
    });
    ASSERT_GE(second, 0);
    EXPECT_TRUE(keptUnder) << "the second page leaves the first page's stack alone under its dialog";
    EXPECT_EQ(GetStackHeaderHandle(), header) << "released only once the plug-in's own loop is back";
    SendMessageA(page.embed, WM_NULL, 0, 0);
    EXPECT_EQ(GetMainWindow(), embed) << "the second page has the plug-in now";
    EXPECT_TRUE(IsPluginWindowAttached());
    PumpPageMessages();
    EXPECT_TRUE(IsStackOpen());
    EXPECT_EQ(CountCards(), 1) << "its own stack, which came meanwhile";
    DeleteFileA(file.c_str());
}

}  // namespace
