// Dialogs opened one from another through the real plug-in in the test browser stay in front of
// the browser: each is owned by the browser's frame or by the dialog it was opened from, lies
// above both, opens over the card, and takes the keys again once the box it opened is gone.
// A person at the screen is played from this process: it waits for each dialog to be the
// window with the keys, notes where it stands, and presses one of its controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "StackBuilder.h"
#include "resources/actions_ids.h"
#include "resources/info_ids.h"
#include "tests/support/SamplesStackBeside_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/WalkStacks_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kDeckControl = 50;  // the tape deck of "Digital Audio Deck"; its left quarter records

std::string Caption(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

bool IsAbove(HWND window, HWND below) {
    for (HWND w = GetWindow(window, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == below)
            return true;
    return false;
}

// What a dialog looked like when its step came.
struct Seen {
    std::string caption;
    std::string owner;  // "page" for the browser's frame, else the owning window's caption
    bool aboveFrame = false, aboveOwner = false;
    RECT place{}, card{};
};

struct Step {
    std::string caption;  // the dialog's caption starts with it
    std::function<void(HWND)> act;
    bool again = false;  // may be the dialog of the step before (else a step needs another window)
};

// A button pressed; a check box is left checked first (as a click on an unchecked one does), so
// that the dialog opens what the box stands for.
void Press(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if ((GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX)
        SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

// A click of the left button on a control, in its middle.
void Click(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    RECT r{};
    GetClientRect(control, &r);
    const LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(control, WM_LBUTTONUP, 0, at);
}

// The person: each step waits until a dialog of the browser with its caption has the keys.
// Done with its steps (or out of patience), it cancels what is left and closes the page once
// no dialog of the browser has had the keys for a second.
class Person {
public:
    explicit Person(std::vector<Step> steps) : steps_(std::move(steps)), thread_([this] { Run(); }) {}
    ~Person() { Finish(); }
    // Stops watching; what was seen may be read afterwards.
    const std::vector<Seen>& Finish() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        return seen_;
    }

private:
    void Run() {
        size_t next = 0;
        const DWORD giveUp = GetTickCount() + 60000;
        HWND last = nullptr;  // the dialog of the step before
        HWND previous = nullptr;
        int quiet = 0;  // looks in a row, once done, with no dialog of the browser in front
        while (!stop_) {
            Sleep(50);
            HWND frame = FindWindowA("LoomTestBrowserPage", nullptr);
            HWND front = GetForegroundWindow();
            DWORD process = 0, frontProcess = 0;
            GetWindowThreadProcessId(frame, &process);
            GetWindowThreadProcessId(front, &frontProcess);
            const bool dialogInFront = frame && front && front != frame && frontProcess == process;
            if (next == steps_.size() || GetTickCount() > giveUp) {
                if (dialogInFront) {
                    PostMessageA(front, WM_COMMAND, IDCANCEL, 0);  // whatever is left, so the page can close
                    quiet = 0;
                } else if (frame && ++quiet == 20) {
                    PostMessageA(frame, WM_CLOSE, 0, 0);
                }
                continue;
            }
            if (!dialogInFront)
                continue;
            // Shown and taking input, and so on two looks in a row: its start is over.
            const bool ready = IsWindowVisible(front) && IsWindowEnabled(front) && front == previous;
            previous = front;
            if (!ready || (front == last && !steps_[next].again) || Caption(front).rfind(steps_[next].caption, 0) != 0)
                continue;
            seen_.push_back(Look(front, frame));
            last = front;
            steps_[next++].act(front);
        }
    }

    static Seen Look(HWND dialog, HWND frame) {
        Seen s;
        s.caption = Caption(dialog);
        HWND owner = GetWindow(dialog, GW_OWNER);
        s.owner = owner == frame ? "page" : owner ? Caption(owner) : "none";
        s.aboveFrame = IsAbove(dialog, frame);
        s.aboveOwner = owner && IsAbove(dialog, owner);
        GetWindowRect(dialog, &s.place);
        GetWindowRect(FindWindowExA(frame, nullptr, "LoomTestBrowserEmbed", nullptr), &s.card);
        return s;
    }

    std::vector<Step> steps_;
    std::vector<Seen> seen_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// Over the card: centred on it, moved only as far as the screen's work area asks.
void ExpectOverCard(const Seen& s) {
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const long w = s.place.right - s.place.left, h = s.place.bottom - s.place.top;
    const long x = std::clamp((s.card.left + s.card.right - w) / 2, work.left, work.right - w);
    const long y = std::clamp((s.card.top + s.card.bottom - h) / 2, work.top, work.bottom - h);
    EXPECT_NEAR(s.place.left, x, 1) << s.caption;
    EXPECT_NEAR(s.place.top, y, 1) << s.caption;
}

TEST(DialogOwnerInBrowser, NestedDialogsStayInFrontOfTheBrowserAndTakeTheKeysBack) {
    ServerFolder server;
    sb::Stack stack;
    stack.cardWidth = 320;
    stack.cardHeight = 240;
    stack.cards.push_back(sb::PictureCard(1, sb::SolidPicture(320, 240, 8, 3)));
    stack.cards.push_back(sb::PictureCard(2, sb::SolidPicture(320, 240, 8, 5)));
    const std::string name = ServeStack(server, "nested", stack);

    Person person({
        {"About Card", [](HWND d) { Press(d, INF_CARD_CLICKING); }},
        {"Actions", [](HWND d) { Press(d, IDC_ACT_ANOTHER_CARD); }},
        {"Move to card", [](HWND d) { Press(d, IDCANCEL); }},
        {"Actions", [](HWND d) { Press(d, IDC_ACT_SOUND); }},
        {"Digital Audio Deck",
         [](HWND d) {  // Record: the device offers no format, so a box says so
             RECT deck{};
             GetWindowRect(GetDlgItem(d, kDeckControl), &deck);
             POINT at{deck.left + (deck.right - deck.left) / 8, (deck.top + deck.bottom) / 2};
             ScreenToClient(d, &at);
             PostMessageA(d, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
             PostMessageA(d, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
         }},
        {"Not supported", [](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); }},
        {"Digital Audio Deck", [](HWND d) { Press(d, IDCANCEL); }},
        {"Actions", [](HWND d) { Press(d, IDCANCEL); }},
        {"About Card", [](HWND d) { Press(d, INF_CARD_CLICKING); }},
    });
    // No samples beside the plug-in: the deck finds no sounds and says so over its owner.
    const SamplesStackBeside noSamples({});
    const BrowserRun run =
        RunBrowser(server,
                   {"--dll", PluginPath(), "--log", "--answer-alerts", "--size", "320x240", "--in-order", "--command",
                    "301@1000", "--quit-after", "90000", server.path + "\\" + name},
                   {{"LOOM_WAVEIN", "standin"}, {"LOOM_WAVEIN_FORMATS", "0"}});
    const std::vector<Seen> seen = person.Finish();
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);

    std::string walk;
    for (const Seen& s : seen)
        walk += s.caption + " (owner " + s.owner + ")\n";
    ASSERT_EQ(seen.size(), 9u) << "each dialog came to the front in turn; seen:\n" << walk << Joined(run.log);
    const char* owners[] = {"page", "page", "page", "page", "Actions", "Digital Audio Deck", "Actions", "page", "page"};
    for (size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(seen[i].caption + " (step " + std::to_string(i + 1) + ")");
        EXPECT_EQ(seen[i].owner, owners[i]);
        EXPECT_TRUE(seen[i].aboveFrame) << "in front of the browser";
        EXPECT_TRUE(seen[i].aboveOwner) << "in front of its owner";
    }
    for (size_t i : {0u, 1u, 4u, 5u, 7u})
        ExpectOverCard(seen[i]);
    // The walk dialog stays where it stands (beside the card it walks), on top all the same.

    // The alert the deck opens on a stack without sounds, answered by the browser.
    const int alert = FindHolding(run.log, "alert(id=2234)");
    ASSERT_NE(alert, -1) << Joined(run.log);
    EXPECT_NE(run.log[alert].find("owner=dialog(Actions) front=yes"), std::string::npos) << run.log[alert];
}

// The card walk of "Another card...": three cards on, to the card that plays a movie, the walk
// dialog stays in front and keeps the keys.
TEST(DialogOwnerInBrowser, TheCardWalkStaysInFrontOnTheMovieCard) {
    ServerFolder server;
    const std::string name = ServeDemo(server);

    Person person({
        {"About Card", [](HWND d) { Press(d, INF_CARD_CLICKING); }},
        {"Actions", [](HWND d) { Press(d, IDC_ACT_ANOTHER_CARD); }},
        {"Move to card",
         [](HWND d) {
             for (int i = 0; i < 3; ++i) {
                 Click(d, IDC_CARD_NEXT);
                 Sleep(1500);
             }
         }},
        {"Move to card", [](HWND d) { Press(d, IDCANCEL); }, true},
        {"Actions", [](HWND d) { Press(d, IDCANCEL); }},
        {"About Card", [](HWND d) { Press(d, IDCANCEL); }},
    });
    const BrowserRun run = RunPage(server, name, "320x240",
                                   {"--answer-alerts", "--in-order", "--command", "301@1500", "--quit-after", "90000"});
    const std::vector<Seen> seen = person.Finish();
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    std::string walk;
    for (const Seen& s : seen)
        walk += s.caption + " (owner " + s.owner + ")\n";
    ASSERT_EQ(seen.size(), 6u) << "each dialog came to the front in turn; seen:\n" << walk << Joined(run.log);
    for (const Seen& s : seen) {
        SCOPED_TRACE(s.caption);
        EXPECT_EQ(s.owner, "page");
        EXPECT_TRUE(s.aboveFrame) << "in front of the browser";
    }
    EXPECT_NE(FindHolding(run.log, "demo.avi"), -1) << "the walk reached the movie card\n" << Joined(run.log);
}

}  // namespace
