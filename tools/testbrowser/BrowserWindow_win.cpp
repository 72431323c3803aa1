// The page: a top-level window holding one child window per embed, the timers of unattended
// runs, and main(), which drives the plug-in through its life as a browser does.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "TestBrowser.h"

namespace {

constexpr char kTitleStart[] = "Pageloom test browser - ";

constexpr char kPageClass[] = "LoomTestBrowserPage";
constexpr char kEmbedClass[] = "LoomTestBrowserEmbed";
constexpr UINT_PTR kTimerQuit = 2;
constexpr UINT_PTR kTimerScreenshot = 3;
constexpr UINT_PTR kTimerDialogs = 4;
constexpr UINT_PTR kTimerFirstCommand = 100;  // one timer per --command, in order
constexpr UINT_PTR kTimerFirstMouse = 300;    // one timer per --click, --drag, ..., in order
constexpr UINT_PTR kTimerFirstLaterShot = 500;  // one timer per later --screenshot-after
constexpr UINT_PTR kTimerFirstTyping = 700;     // one timer per --keys, in order
constexpr UINT_PTR kTimerFirstDrop = 900;       // one timer per --drop, in order
constexpr UINT_PTR kTimerFirstKeys = 1100;      // one timer per --key, in order
constexpr UINT_PTR kTimerFirstDialog = 1300;    // one timer per --dialog, in order
constexpr UINT_PTR kTimerFirstXShot = 1500;     // one timer per --x-shot, in order
constexpr UINT kDialogPollMs = 50;
constexpr UINT kQuitRetryMs = 100;
constexpr DWORD kQuitPatienceMs = 10000;
// Beyond --quit-after and the patience above: loading, shutting down and unloading the plug-in.
constexpr DWORD kStartAndEndMs = 10000;

std::string FullPath(const std::string& path);

// A shell drop record of one file at a client point, posted as the shell posts it; the
// receiver finishes it.
void PostFileDrop(HWND window, const std::string& file, POINT point) {
    const size_t bytes = sizeof(DROPFILES) + file.size() + 2;
    HGLOBAL drop = GlobalAlloc(GHND, bytes);
    auto* record = drop ? static_cast<DROPFILES*>(GlobalLock(drop)) : nullptr;
    if (!record)
        return;
    record->pFiles = sizeof(DROPFILES);
    record->pt = point;
    std::memcpy(reinterpret_cast<char*>(record) + sizeof(DROPFILES), file.c_str(), file.size() + 1);
    GlobalUnlock(drop);
    if (!PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0))
        GlobalFree(drop);
}

struct Embed {
    HWND window = nullptr;
    int instance = -1;  // index of the plug-in instance, -1 when NPP_New refused it
    int x = 0, y = 0;
    std::string stackUrl;
    std::string mimeType;
    HCURSOR classCursor = nullptr;  // the class cursor before the plug-in had the window
};

struct Page {
    BrowserOptions options;
    HWND frame = nullptr;
    std::vector<Embed> embeds;
    bool screenshotDone = false;
    bool screenshotFailed = false;
    bool closed = false;
    bool quitWhenDoneArmed = false;  // set once every embed has its window
    bool streamsUnfinished = false;
    bool notHandedBack = false;
    bool again = false;  // the second showing of --reload
    DWORD quitDeferredSince = 0;
    // --in-order: the steps by their times (a timer each), the next to go, when the walk
    // started and when and at what time the last step ran.
    struct ChainStep {
        UINT_PTR timer;
        int atMs;
    };
    std::vector<ChainStep> chain;
    size_t chainNext = 0;
    bool chainStarted = false;
    DWORD chainStart = 0, ranTick = 0;
    int ranMs = 0;
} g_page;

// Shots taken inside a loop of the plug-in, each waiting on a thread of its own for the page's
// thread to stop answering.
std::vector<std::thread> g_loopShots;
std::atomic<bool> g_loopShotsEnding{false};

void StartLoopShot(HWND frame, const BrowserOptions::TimedXShot& shot) {
    g_loopShots.emplace_back([frame, file = shot.file, later = shot.loopMs] {
        constexpr DWORD kAnswerMs = 150, kPollMs = 20, kPatienceMs = 20000;
        const DWORD start = GetTickCount();
        while (!g_loopShotsEnding && GetTickCount() - start < kPatienceMs) {
            DWORD_PTR answer = 0;
            SetLastError(0);
            if (SendMessageTimeoutA(frame, WM_NULL, 0, 0, SMTO_NORMAL, kAnswerMs, &answer)) {
                Sleep(kPollMs);
                continue;
            }
            if (GetLastError() != ERROR_TIMEOUT || g_loopShotsEnding)
                break;  // the page is gone or closing: its thread waits for this one
            Sleep(static_cast<DWORD>(later));
            const bool written = SaveScreenXwd(file);
            Logf("x-shot(file=%s, in a loop) -> %s", file.c_str(), written ? "written" : "failed");
            return;
        }
        Logf("x-shot(file=%s, in a loop) -> no loop", file.c_str());
    });
}

void EndLoopShots() {
    g_loopShotsEnding = true;
    for (std::thread& shot : g_loopShots)
        shot.join();
    g_loopShots.clear();
    g_loopShotsEnding = false;
}

// The plug-in names the stack it shows in its window's text: the page's title follows the first
// embed's, as an extension showing the plug-in's commands would.
void FollowEmbedTitle() {
    if (g_page.embeds.empty() || !g_page.frame || !IsWindow(g_page.embeds[0].window))
        return;
    char text[MAX_PATH] = {};
    GetWindowTextA(g_page.embeds[0].window, text, sizeof text);
    const std::string title = kTitleStart + std::string(text);
    char shown[MAX_PATH + 64] = {};
    GetWindowTextA(g_page.frame, shown, sizeof shown);
    if (text[0] && title != shown)
        SetWindowTextA(g_page.frame, title.c_str());
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// The windows inside an embed (a text field's own window among them), shown or not: a card
// drawn twice over would hold each of them twice.
int WindowsInside(HWND embed) {
    int count = 0;
    EnumChildWindows(embed, CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

void TakeScreenshots() {
    if (g_page.screenshotDone || g_page.options.screenshot.empty())
        return;
    g_page.screenshotDone = true;
    for (size_t i = 0; i < g_page.embeds.size(); ++i) {
        std::string name = g_page.options.screenshot;
        if (i > 0 || g_page.again) {
            size_t dot = name.rfind('.');
            size_t slash = name.find_last_of("\\/");
            std::string suffix = (g_page.again ? "-again" : "") + (i > 0 ? "-" + std::to_string(i + 1) : "");
            if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                name.insert(dot, suffix);
            else
                name += suffix;
        }
        bool ok = SaveWindowPng(g_page.embeds[i].window, name);
        Logf("screenshot(instance=%u, file=%s) -> %s, windows inside: %d", static_cast<unsigned>(i + 1), name.c_str(),
             ok ? "ok" : "failed", WindowsInside(g_page.embeds[i].window));
        const std::string palette = SystemPaletteText(g_page.embeds[i].window);
        if (!palette.empty())
            Logf("system palette(instance=%u) -> %s", static_cast<unsigned>(i + 1), palette.c_str());
        if (!ok) {
            std::fprintf(stderr, "testbrowser: could not save the screenshot %s\n", name.c_str());
            g_page.screenshotFailed = true;
        }
    }
}

// A later shot of the first embed: FILE-tN.png for the Nth time given.
void TakeLaterScreenshot(size_t index) {
    if (g_page.options.screenshot.empty() || g_page.embeds.empty() || g_page.closed)
        return;
    std::string name = g_page.options.screenshot;
    const size_t dot = name.rfind('.');
    const size_t slash = name.find_last_of("\\/");
    const std::string suffix = "-t" + std::to_string(index + 2);
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
        name.insert(dot, suffix);
    else
        name += suffix;
    const bool ok = SaveWindowPng(g_page.embeds[0].window, name);
    Logf("screenshot(instance=1, file=%s) -> %s, windows inside: %d", name.c_str(), ok ? "ok" : "failed",
         WindowsInside(g_page.embeds[0].window));
    if (!ok) {
        std::fprintf(stderr, "testbrowser: could not save the screenshot %s\n", name.c_str());
        g_page.screenshotFailed = true;
    }
}

// After NPP_Destroy every embed window must be the browser's again: still there, with its own
// procedure and class cursor, and no timer of the plug-in left to fire on it.
bool g_destroyed = false;
int g_timersAfterDestroy = 0;
LRESULT CALLBACK EmbedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void CheckEmbedsHandedBack() {
    g_destroyed = true;
    MSG message;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 200)  // long enough for timer 1 (55 ms) to fire thrice
        while (PeekMessageA(&message, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE))
            DispatchMessageA(&message);
    for (size_t i = 0; i < g_page.embeds.size(); ++i) {
        const Embed& embed = g_page.embeds[i];
        std::string problems;
        if (!IsWindow(embed.window)) {
            problems = " window destroyed";
        } else {
            if (GetWindowLongPtrA(embed.window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(EmbedProc))
                problems += " procedure not restored";
            if (reinterpret_cast<HCURSOR>(GetClassLongPtrA(embed.window, GCLP_HCURSOR)) != embed.classCursor)
                problems += " cursor not restored";
            for (UINT_PTR id : {UINT_PTR{1}, UINT_PTR{69}})
                if (KillTimer(embed.window, id))
                    problems += " timer " + std::to_string(id) + " still set";
        }
        if (g_timersAfterDestroy)
            problems += " timers fired after NPP_Destroy";
        Logf("handed back(instance=%u) -> %s", static_cast<unsigned>(i + 1), problems.empty() ? "ok" : problems.c_str());
        if (!problems.empty()) {
            std::fprintf(stderr, "testbrowser: embed %u not handed back:%s\n", static_cast<unsigned>(i + 1),
                         problems.c_str());
            g_page.notHandedBack = true;
        }
    }
}

// The page is to close while the plug-in is inside a call, running a menu, a dialog or a loop
// of its own: as a browser does before it stops a plug-in there, its windows are hidden and
// disabled (which sends them WM_CANCELMODE), so that it ends what it runs and returns. The
// screenshots not taken yet are taken first.
void StopPluginInItsLoop() {
    TakeScreenshots();
    for (size_t i = 0; i < g_page.embeds.size(); ++i) {
        HWND embed = g_page.embeds[i].window;
        if (!IsWindow(embed))
            continue;
        Logf("closing inside a call: embed %u hidden and disabled", static_cast<unsigned>(i + 1));
        ShowWindow(embed, SW_HIDE);
        EnableWindow(embed, FALSE);
    }
}

// Closing the page: the instances go first, then the windows the plug-in has left standing.
// Never from inside a plug-in call (a modal loop of the plug-in may deliver the close).
void ClosePage(HWND frame) {
    if (IsInPluginCall()) {
        DWORD now = GetTickCount();
        if (!g_page.quitDeferredSince) {
            g_page.quitDeferredSince = now ? now : 1;
            StopPluginInItsLoop();
        } else if (now - g_page.quitDeferredSince > kQuitPatienceMs) {
            std::fprintf(stderr, "testbrowser: the plug-in has not returned from a call for %lu ms; giving up\n",
                         static_cast<unsigned long>(kQuitPatienceMs));
            std::fflush(stdout);
            ExitProcess(kExitPluginStuck);
        }
        SetTimer(frame, kTimerQuit, kQuitRetryMs, nullptr);
        return;
    }
    if (g_page.closed)
        return;
    g_page.closed = true;
    StopInput();
    EndLoopShots();
    EndDialogWatch();
    TakeScreenshots();
    if (g_page.options.reload) {
        HWND library = FindWindowA("LM_MediaBrowser", nullptr);
        Logf("closing(LM_MediaBrowser=%s)", library && IsWindowVisible(library) ? "shown" : "none");
    }
    DestroyInstances();
    CheckEmbedsHandedBack();
    for (Embed& embed : g_page.embeds)
        if (IsWindow(embed.window))
            DestroyWindow(embed.window);
    DestroyWindow(frame);
}

void StartChain(HWND window);

// --quit-when-done: the page closes as soon as nothing is left to deliver, not after a guess
// at how long delivery takes.
void PumpAndMaybeQuit(HWND window) {
    PumpStreams();
    if (!HasStreamWork())
        StartChain(window);
    if (g_page.quitWhenDoneArmed && !g_page.closed && !HasStreamWork()) {
        g_page.quitWhenDoneArmed = false;
        Logf("page done: every stream has ended");
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

// --in-order: the timer that does a step, and the step's time (a held one: the time of the one
// given before it, so it keeps its place).
UINT_PTR StepTimer(const BrowserOptions::Step& step) {
    using Kind = BrowserOptions::StepKind;
    switch (step.kind) {
    case Kind::Command: return kTimerFirstCommand + step.index;
    case Kind::Mouse: return kTimerFirstMouse + step.index;
    case Kind::Keys: return kTimerFirstKeys + step.index;
    case Kind::Typing: return kTimerFirstTyping + step.index;
    case Kind::Dialog: return kTimerFirstDialog + step.index;
    case Kind::Drop: return kTimerFirstDrop + step.index;
    case Kind::XShot: return kTimerFirstXShot + step.index;
    case Kind::Screenshot: return step.index == 0 ? kTimerScreenshot : kTimerFirstLaterShot + step.index - 1;
    }
    return 0;
}

int StepTime(const BrowserOptions& o, const BrowserOptions::Step& step, int before) {
    using Kind = BrowserOptions::StepKind;
    auto timed = [&](int atMs, const BrowserOptions::Hold& hold) { return hold.title.empty() ? atMs : before; };
    switch (step.kind) {
    case Kind::Command: return timed(o.commands[step.index].atMs, o.commands[step.index].hold);
    case Kind::Mouse: return timed(o.mouse[step.index].atMs, o.mouse[step.index].hold);
    case Kind::Keys: return timed(o.keys[step.index].atMs, o.keys[step.index].hold);
    case Kind::Typing: return timed(o.typing[step.index].atMs, o.typing[step.index].hold);
    case Kind::Dialog: return o.dialogActions[step.index].atMs;
    case Kind::Drop: return o.drops[step.index].atMs;
    case Kind::XShot: return timed(o.xShots[step.index].atMs, o.xShots[step.index].hold);
    case Kind::Screenshot:
        return timed(step.index == 0 ? o.screenshotAfterMs : o.laterScreenshotsMs[step.index - 1],
                     o.screenshotHolds[step.index]);
    }
    return before;
}

void BuildChain() {
    int before = 0;
    for (const BrowserOptions::Step& step : g_page.options.steps) {
        before = StepTime(g_page.options, step, before);
        g_page.chain.push_back({StepTimer(step), before});
    }
    std::stable_sort(g_page.chain.begin(), g_page.chain.end(),
                     [](const Page::ChainStep& a, const Page::ChainStep& b) { return a.atMs < b.atMs; });
}

// The next step's timer: at its time from the walk's start, and no sooner after the step before
// ran than their times are apart. After the last, --quit-after-last.
void ArmNextStep(HWND window) {
    if (g_page.closed)
        return;
    if (g_page.chainNext >= g_page.chain.size()) {
        if (g_page.options.quitAfterLastMs >= 0) {
            Logf("walk done: closing in %d ms", g_page.options.quitAfterLastMs);
            SetTimer(window, kTimerQuit, static_cast<UINT>(g_page.options.quitAfterLastMs), nullptr);
        }
        return;
    }
    const Page::ChainStep& step = g_page.chain[g_page.chainNext];
    const DWORD fromStart = g_page.chainStart + static_cast<DWORD>(step.atMs);
    const DWORD fromLast = g_page.ranTick + static_cast<DWORD>(step.atMs - g_page.ranMs);
    const DWORD due = static_cast<LONG>(fromLast - fromStart) > 0 ? fromLast : fromStart;
    const LONG wait = static_cast<LONG>(due - GetTickCount());
    SetTimer(window, step.timer, wait > 0 ? static_cast<UINT>(wait) : 0, nullptr);
}

// The step of that timer ran (or failed): the next one is armed.
void StepRan(HWND window, UINT_PTR timer) {
    if (!g_page.options.inOrder || g_page.chainNext >= g_page.chain.size() || g_page.chain[g_page.chainNext].timer != timer)
        return;
    g_page.ranTick = GetTickCount();
    g_page.ranMs = g_page.chain[g_page.chainNext].atMs;
    ++g_page.chainNext;
    ArmNextStep(window);
}

// The walk starts once the stack is in: on a busy machine loading it takes longer.
void StartChain(HWND window) {
    if (!g_page.options.inOrder || g_page.chainStarted || g_page.closed)
        return;
    g_page.chainStarted = true;
    g_page.chainStart = g_page.ranTick = GetTickCount();
    g_page.ranMs = 0;
    Logf("walk starts: every stream has ended");
    ArmNextStep(window);
}

// A held action not yet due: its timer set again, for when its window is up or its log line
// written (and as long after as it asks) or to look again soon; true while it waits. A window or
// line that never comes fails it.
bool HeldBack(HWND window, UINT_PTR timer, BrowserOptions::Hold& hold, const std::string& what) {
    constexpr DWORD kLookAgainMs = 50;
    // A line may wait for a download answered late; a window is up within seconds.
    const DWORD patienceMs = hold.logged ? 30000 : 10000;
    if (hold.title.empty() || g_page.closed)
        return false;
    const DWORD now = GetTickCount();
    if (!hold.since) {
        hold.since = now;
        // "#next": the window the step before opens, however many were shown before it (a
        // sub-menu's showing may be too brief to be seen, so counting them is not safe).
        if (hold.nth == 0)
            hold.nth = (hold.logged ? LinesLogged(hold.title) : WindowsShown(hold.title)) + 1;
    }
    unsigned long shown = 0;
    if (hold.logged ? LoggedAt(hold.title, hold.nth, &shown) : WindowShownAt(hold.title, hold.nth, &shown)) {
        const DWORD due = shown + static_cast<DWORD>(hold.afterMs);
        if (static_cast<LONG>(now - due) >= 0)
            return false;
        SetTimer(window, timer, due - now, nullptr);
        return true;
    }
    if (now - hold.since > patienceMs) {
        FailHold(what + (hold.logged ? "@logged:" : "@shown:") + hold.title, hold.logged ? "never logged" : "never shown");
        StepRan(window, timer);
        return true;
    }
    SetTimer(window, timer, kLookAgainMs, nullptr);
    return true;
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kMsgPump:
        PumpAndMaybeQuit(window);
        return 0;
    case WM_TIMER:
        if (wParam == kTimerPump) {
            PumpAndMaybeQuit(window);
        } else if (wParam == kTimerQuit) {
            KillTimer(window, kTimerQuit);
            if (g_page.options.inOrder && g_page.chainNext < g_page.chain.size() && !g_page.closed &&
                !g_page.quitDeferredSince)
                FailWalk("the page closed at --quit-after before step " + std::to_string(g_page.chainNext + 1) +
                         " of " + std::to_string(g_page.chain.size()) + " ran");
            const bool waiting = g_page.quitWhenDoneArmed || HasStreamWork();
            if (g_page.options.quitWhenDone && waiting && !g_page.streamsUnfinished) {
                g_page.streamsUnfinished = true;
                std::fprintf(stderr, "testbrowser: streams still under way after %d ms\n",
                             g_page.options.quitAfterMs);
            }
            ClosePage(window);
        } else if (wParam == kTimerScreenshot) {
            KillTimer(window, kTimerScreenshot);
            if (HeldBack(window, wParam, g_page.options.screenshotHolds[0], "screenshot"))
                return 0;
            TakeScreenshots();
            StepRan(window, wParam);
        } else if (wParam >= kTimerFirstCommand && wParam < kTimerFirstCommand + g_page.options.commands.size()) {
            KillTimer(window, wParam);
            if (HeldBack(window, wParam, g_page.options.commands[wParam - kTimerFirstCommand].hold, "command"))
                return 0;
            const int command = g_page.options.commands[wParam - kTimerFirstCommand].command;
            if (!g_page.embeds.empty()) {
                Logf("command(%d)", command);
                PostMessageA(g_page.embeds[0].window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
            }
            StepRan(window, wParam);
        } else if (wParam >= kTimerFirstMouse && wParam < kTimerFirstMouse + g_page.options.mouse.size()) {
            KillTimer(window, wParam);
            if (HeldBack(window, wParam, g_page.options.mouse[wParam - kTimerFirstMouse].hold, "mouse"))
                return 0;
            if (!g_page.embeds.empty() && !g_page.closed)
                SendMouseAction(g_page.embeds[0].window, g_page.options.mouse[wParam - kTimerFirstMouse]);
            StepRan(window, wParam);
        } else if (wParam >= kTimerFirstKeys && wParam < kTimerFirstKeys + g_page.options.keys.size()) {
            KillTimer(window, wParam);
            if (HeldBack(window, wParam, g_page.options.keys[wParam - kTimerFirstKeys].hold,
                         g_page.options.keys[wParam - kTimerFirstKeys].text))
                return 0;
            BrowserOptions::TimedKeys& keys = g_page.options.keys[wParam - kTimerFirstKeys];
            std::string error;
            void *bar = nullptr, *menu = nullptr;
            int title = -1, item = -1;
            const bool open = !g_page.closed;
            if (open && keys.byMouse) {
                if (MenuClickTarget(window, keys.menuPath, &bar, &title, &menu, &item, error))
                    SendMenuClick(window, bar, title, menu, item, keys.text);
                else
                    FailHold(keys.text, error);
            } else if (open && !keys.menuPath.empty() && !g_page.embeds.empty() &&
                       !MenuPathKeys(window, g_page.embeds[0].window, keys.menuPath, keys.strokes, error)) {
                FailHold(keys.text, error);
            } else if (open) {
                SendKeyStrokes(keys);
            }
            StepRan(window, wParam);
        } else if (wParam >= kTimerFirstDialog && wParam < kTimerFirstDialog + g_page.options.dialogActions.size()) {
            KillTimer(window, wParam);
            if (!g_page.closed)
                DialogActionDue(wParam - kTimerFirstDialog);
            if (g_page.options.inOrder && !g_page.closed) {  // the next step waits until it acted
                if (DialogActionSettled(wParam - kTimerFirstDialog))
                    StepRan(window, wParam);
                else
                    SetTimer(window, wParam, kDialogPollMs, nullptr);
            }
        } else if (wParam >= kTimerFirstDrop && wParam < kTimerFirstDrop + g_page.options.drops.size()) {
            KillTimer(window, wParam);
            const BrowserOptions::TimedDrop& d = g_page.options.drops[wParam - kTimerFirstDrop];
            if (!g_page.embeds.empty()) {
                Logf("drop(%s,%d,%d)", d.file.c_str(), d.x, d.y);
                PostFileDrop(g_page.embeds[0].window, FullPath(d.file), POINT{d.x, d.y});
            }
            StepRan(window, wParam);
        } else if (wParam >= kTimerFirstTyping && wParam < kTimerFirstTyping + g_page.options.typing.size()) {
            KillTimer(window, wParam);
            if (HeldBack(window, wParam, g_page.options.typing[wParam - kTimerFirstTyping].hold,
                         g_page.options.typing[wParam - kTimerFirstTyping].text))
                return 0;
            const std::string& text = g_page.options.typing[wParam - kTimerFirstTyping].text;
            HWND focus = GetFocus();
            char focusClass[64] = "none";
            if (focus)
                GetClassNameA(focus, focusClass, sizeof focusClass);
            Logf("type(%s) focus=%s", text.c_str(), focusClass);
            for (char c : text)
                if (focus)
                    PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(c), 1);
            StepRan(window, wParam);
        } else if (wParam >= kTimerFirstLaterShot &&
                   wParam < kTimerFirstLaterShot + g_page.options.laterScreenshotsMs.size()) {
            KillTimer(window, wParam);
            if (HeldBack(window, wParam, g_page.options.screenshotHolds[wParam - kTimerFirstLaterShot + 1], "screenshot"))
                return 0;
            TakeLaterScreenshot(wParam - kTimerFirstLaterShot);
            StepRan(window, wParam);
        } else if (wParam >= kTimerFirstXShot && wParam < kTimerFirstXShot + g_page.options.xShots.size()) {
            KillTimer(window, wParam);
            BrowserOptions::TimedXShot& shot = g_page.options.xShots[wParam - kTimerFirstXShot];
            if (HeldBack(window, wParam, shot.hold, "x-shot"))
                return 0;
            if (shot.loopMs >= 0) {
                if (!g_page.closed)
                    StartLoopShot(window, shot);
                StepRan(window, wParam);
                return 0;
            }
            const bool written = !g_page.closed && SaveScreenXwd(shot.file);
            Logf("x-shot(file=%s) -> %s", shot.file.c_str(), written ? "written" : "failed");
            if (!shot.hold.title.empty()) {
                // Where the window lies on the screen, to find it in the screen's picture.
                const HWND shown = static_cast<HWND>(ShownWindow(shot.hold.title));
                RECT place = {};
                if (shown)
                    GetWindowRect(shown, &place);
                const bool started = !g_page.closed && StartXwd(shot.file + ".window", shown);
                Logf("x-shot(window=%s) at %ld,%ld,%ld,%ld -> %s", shot.hold.title.c_str(), place.left, place.top,
                     place.right, place.bottom, started ? "started" : "failed");
            }
            StepRan(window, wParam);
        } else if (wParam == kTimerDialogs) {
            if (!g_page.closed) {
                WatchDialogs();
                FollowEmbedTitle();
            }
        }
        return 0;
    case WM_INITMENUPOPUP:
        // A menu of the bar about to open: the plug-in enables, checks and names its items.
        if (const int position = TopMenuPosition(window, reinterpret_cast<HMENU>(wParam));
            position >= 0 && !HIWORD(lParam) && !g_page.embeds.empty() && !g_page.closed)
            UpdatePluginMenu(g_page.embeds[0].window, reinterpret_cast<HMENU>(wParam), position);
        return 0;
    case WM_COMMAND:
        // An item of the bar: the plug-in's command, sent to the card as --command sends it.
        if (lParam == 0 && HIWORD(wParam) == 0 && !g_page.embeds.empty() && !g_page.closed) {
            Logf("menu-command(%u)", LOWORD(wParam));
            PostMessageA(g_page.embeds[0].window, WM_COMMAND, MAKEWPARAM(LOWORD(wParam), 0), 0);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_CLOSE:
        ClosePage(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The embed window as the browser makes it; the plug-in subclasses it and passes on to this
// procedure what it does not handle itself.
LRESULT CALLBACK EmbedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && g_destroyed)
        ++g_timersAfterDestroy;
    return DefWindowProcA(window, message, wParam, lParam);
}

bool CreatePage(const std::string& title) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSA page = {};
    page.lpfnWndProc = PageProc;
    page.hInstance = module;
    page.hCursor = LoadCursor(nullptr, IDC_ARROW);
    page.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    page.lpszClassName = kPageClass;
    WNDCLASSA embed = {};
    embed.style = CS_DBLCLKS;
    embed.lpfnWndProc = EmbedProc;
    embed.hInstance = module;
    embed.hCursor = LoadCursor(nullptr, IDC_ARROW);
    embed.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    embed.lpszClassName = kEmbedClass;
    // A reload makes the page again with the classes of the first.
    const auto registered = [](const WNDCLASSA& c) {
        return RegisterClassA(&c) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    };
    if (!registered(page) || !registered(embed))
        return false;

    const BrowserOptions& o = g_page.options;
    int margin = o.fullPage ? 0 : 8;
    RECT frame = {0, 0, o.width + 2 * margin, o.instances * (o.height + margin) + margin};
    DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRect(&frame, style, FALSE);
    g_page.frame = CreateWindowA(kPageClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                 frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, module, nullptr);
    if (!g_page.frame)
        return false;
    // The bar may take more than one line: the page grows until its client area holds the embeds.
    AttachPluginMenuBar(g_page.frame, PluginModuleHandle());
    const int clientWidth = o.width + 2 * margin, clientHeight = o.instances * (o.height + margin) + margin;
    RECT client = {}, outer = {};
    GetClientRect(g_page.frame, &client);
    GetWindowRect(g_page.frame, &outer);
    if (client.right < clientWidth || client.bottom < clientHeight)
        SetWindowPos(g_page.frame, nullptr, 0, 0,
                     outer.right - outer.left + std::max(0, clientWidth - static_cast<int>(client.right)),
                     outer.bottom - outer.top + std::max(0, clientHeight - static_cast<int>(client.bottom)),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; i < o.instances; ++i) {
        Embed e;
        e.x = margin;
        e.y = margin + i * (o.height + margin);
        e.window = CreateWindowA(kEmbedClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, e.x, e.y,
                                 o.width, o.height, g_page.frame, nullptr, module, nullptr);
        if (!e.window)
            return false;
        e.classCursor = reinterpret_cast<HCURSOR>(GetClassLongPtrA(e.window, GCLP_HCURSOR));
        g_page.embeds.push_back(e);
    }
    SetPumpWindow(g_page.frame);
    ShowWindow(g_page.frame, SW_SHOWNORMAL);
    UpdateWindow(g_page.frame);
    SetForegroundWindow(g_page.frame);
    return true;
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, n < MAX_PATH ? n : 0);
    size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

std::string FullPath(const std::string& path) {
    char full[MAX_PATH];
    DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return n && n < MAX_PATH ? std::string(full, n) : path;
}

bool IsFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A stack's address: a URL as given, a local file as a file URL, anything else a name
// relative to the page's base URL.
std::string StackUrl(const BrowserOptions& o, const std::string& stack) {
    if (HasScheme(stack))
        return stack;
    if (IsFile(stack))
        return LocalPathToUrl(FullPath(stack));
    return ResolveUrl(o.baseUrl, stack);
}

void RunMessageLoop() {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchPageMessage(message, g_page.frame);
    }
}

// Delivers every requested stream before the page goes on (--stream-first).
void DeliverStreamsNow() {
    MSG message;
    while (HasStreamWork() && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The page's one life: the plug-in loaded, the embeds shown and fed until the page closes, the
// plug-in shut down and unloaded. An exit code.
int ShowPage(const std::vector<std::string>& stackUrls) {
    BrowserOptions& o = g_page.options;
    PluginTypes types;
    int rc = LoadPlugin(o.dllPath, types);
    if (rc != kExitOk) {
        ShutdownPlugin();
        return rc;
    }
    WatchPluginSaves(PluginModuleHandle(), types.extensions);
    std::vector<std::string> mimeTypes;
    for (const std::string& url : stackUrls) {
        std::string mimeType = o.mimeType.empty() ? types.TypeForExtension(UrlExtension(url)) : o.mimeType;
        if (mimeType.empty() || !types.Serves(mimeType)) {
            std::fprintf(stderr, "testbrowser: the plug-in does not serve %s\n",
                         mimeType.empty() ? ("files ending ." + UrlExtension(url)).c_str() : mimeType.c_str());
            ShutdownPlugin();
            return kExitMimeNotServed;
        }
        mimeTypes.push_back(mimeType);
    }
    rc = InitializePlugin();
    if (rc != kExitOk) {
        ShutdownPlugin();
        return rc;
    }
    SetServer(o.serverDir, o.baseUrl, types, o.chunk, o.parallel);
    SetServerFaults(o.lateAnswers, o.stalls, o.drips, o.huge);
    if (!CreatePage(kTitleStart + stackUrls[0])) {
        std::fprintf(stderr, "testbrowser: could not create the page window\n");
        ShutdownPlugin();
        return kExitWindow;
    }
    for (size_t i = 0; i < g_page.embeds.size(); ++i) {
        g_page.embeds[i].stackUrl = stackUrls[i % stackUrls.size()];
        g_page.embeds[i].mimeType = mimeTypes[i % mimeTypes.size()];
    }

    bool refused = false;
    for (Embed& embed : g_page.embeds) {
        embed.instance = NewInstance(embed.mimeType, o.fullPage, embed.stackUrl, o.width, o.height);
        refused |= embed.instance < 0;
    }
    auto requestStacks = [&] {
        for (const Embed& embed : g_page.embeds)
            RequestStream(embed.instance, embed.stackUrl);
    };
    // The times count from the page's start; --in-order arms one step at a time once the stack is in.
    if (o.quitAfterMs >= 0)
        SetTimer(g_page.frame, kTimerQuit, static_cast<UINT>(o.quitAfterMs), nullptr);
    StartDialogWatch(g_page.frame, o);
    SetTimer(g_page.frame, kTimerDialogs, kDialogPollMs, nullptr);
    if (o.inOrder) {
        BuildChain();
    } else {
        if (!o.screenshot.empty())
            SetTimer(g_page.frame, kTimerScreenshot, static_cast<UINT>(o.screenshotAfterMs), nullptr);
        for (size_t i = 0; !o.screenshot.empty() && i < o.laterScreenshotsMs.size(); ++i)
            SetTimer(g_page.frame, kTimerFirstLaterShot + i, static_cast<UINT>(o.laterScreenshotsMs[i]), nullptr);
        // One timer per timed step of each kind, numbered from the kind's first timer.
        const auto arm = [](UINT_PTR first, const auto& steps) {
            for (size_t i = 0; i < steps.size(); ++i)
                SetTimer(g_page.frame, first + i, static_cast<UINT>(steps[i].atMs), nullptr);
        };
        arm(kTimerFirstXShot, o.xShots);
        arm(kTimerFirstCommand, o.commands);
        arm(kTimerFirstMouse, o.mouse);
        arm(kTimerFirstKeys, o.keys);
        arm(kTimerFirstDialog, o.dialogActions);
        arm(kTimerFirstTyping, o.typing);
        arm(kTimerFirstDrop, o.drops);
    }
    if (o.streamBeforeWindow) {
        requestStacks();
        DeliverStreamsNow();
    }
    if (!g_page.closed) {  // the page may have been closed while the stack came in
        for (size_t i = 0; i < g_page.embeds.size(); ++i) {
            const Embed& embed = g_page.embeds[i];
            if (embed.instance >= 0)
                SetInstanceWindow(embed.instance, embed.window, embed.x, embed.y, o.width, o.height);
            // Where the card lies on the screen, to turn the places of windows beside it into
            // the card's coordinates of --click.
            POINT corner = {0, 0};
            ClientToScreen(embed.window, &corner);
            Logf("card(instance=%u) at screen %ld,%ld", static_cast<unsigned>(i + 1), corner.x, corner.y);
        }
        if (!o.streamBeforeWindow)
            requestStacks();
        g_page.quitWhenDoneArmed = o.quitWhenDone;
        PostMessageA(g_page.frame, kMsgPump, 0, 0);  // done already when nothing was streamed
        RunMessageLoop();
    }
    if (!g_page.closed) {
        StopInput();
        EndLoopShots();
        EndDialogWatch();
        TakeScreenshots();
        DestroyInstances();
    }
    const bool copied = o.saveCopy.empty() || CopyLastSavedStack(o.saveCopy);
    ShutdownPlugin();
    if (refused)
        return kExitInstanceRefused;
    if (DialogWatchFailed())
        return kExitDialogMissed;
    if (!copied) {
        std::fprintf(stderr, "testbrowser: --save-copy: no stack was saved, or the copy failed (see the log)\n");
        return kExitSaveCopy;
    }
    if (g_page.streamsUnfinished)
        return kExitStreamsUnfinished;
    if (g_page.notHandedBack)
        return kExitNotHandedBack;
    return g_page.screenshotFailed ? kExitScreenshot : kExitOk;
}

// --reload: what the unloaded plug-in left behind in this process.
void LogWhatUnloadingLeft() {
    WNDCLASSA info = {};
    const bool browserLeft = GetClassInfoA(static_cast<HINSTANCE>(PluginModuleHandle()), "LM_MediaBrowser", &info) != 0;
    Logf("unloaded(LM_MediaBrowser=%s)", browserLeft ? "registered" : "gone");
    const bool classLeft = GetClassInfoA(static_cast<HINSTANCE>(PluginModuleHandle()), "QTWndClass", &info) != 0;
    const bool quickTimeLeft = GetModuleHandleA("QuickTime.qts") != nullptr;
    Logf("unloaded(QTWndClass=%s, QuickTime.qts=%s)", classLeft ? "registered" : "gone",
         quickTimeLeft ? "loaded" : "unloaded");
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto parsed = ParseOptions(args, error);
    if (!parsed) {
        std::fprintf(stderr, "testbrowser: %s\n%s", error.c_str(), UsageText());
        return kExitUsage;
    }
    g_page.options = *parsed;
    BrowserOptions& o = g_page.options;
    SetLogging(o.log);
    if (o.dllPath.empty())
        o.dllPath = ProgramFolder() + "\\nploom.dll";
    o.serverDir = FullPath(o.serverDir.empty() ? std::string(".") : o.serverDir);

    std::vector<std::string> stackUrls;
    for (const std::string& stack : o.stacks) {
        std::string url = StackUrl(o, stack);
        std::string path = UrlToLocalPath(url, o.serverDir);
        if (path.empty() || !IsFile(path)) {
            std::fprintf(stderr, "testbrowser: no stack at %s (%s)\n", url.c_str(),
                         path.empty() ? "not a file URL" : path.c_str());
            return kExitStackMissing;
        }
        stackUrls.push_back(url);
    }

    if (o.quitAfterMs >= 0) {
        const DWORD showings = o.reload ? 2 : 1;
        StartRunWatchdog(showings * (static_cast<DWORD>(o.quitAfterMs) + kQuitPatienceMs) + kStartAndEndMs);
    }
    int rc = ShowPage(stackUrls);
    if (rc != kExitOk || !o.reload)
        return rc;
    LogWhatUnloadingLeft();
    const BrowserOptions options = g_page.options;
    g_page = Page{};
    g_page.options = options;
    g_page.again = true;
    g_destroyed = false;
    g_timersAfterDestroy = 0;
    return ShowPage(stackUrls);
}
