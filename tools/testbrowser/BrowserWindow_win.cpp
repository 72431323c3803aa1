// The page: a top-level window holding one child window per embed, the timers of unattended
// runs, and main(), which drives the plug-in through its life as a browser does.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "TestBrowser.h"

namespace {

constexpr char kPageClass[] = "LoomTestBrowserPage";
constexpr char kEmbedClass[] = "LoomTestBrowserEmbed";
constexpr UINT_PTR kTimerQuit = 2;
constexpr UINT_PTR kTimerScreenshot = 3;
constexpr UINT_PTR kTimerAlerts = 4;
constexpr UINT_PTR kTimerFirstCommand = 100;  // one timer per --command, in order
constexpr UINT_PTR kTimerFirstClick = 300;    // one timer per --click, in order
constexpr UINT_PTR kTimerFirstLaterShot = 500;  // one timer per later --screenshot-after
constexpr UINT_PTR kTimerFirstTyping = 700;     // one timer per --keys, in order
constexpr UINT_PTR kTimerFirstDrop = 900;       // one timer per --drop, in order
// Posted after a click's press: by the time it arrives the press has been handled, so the
// release goes where the mouse's would, to a window that took the capture.
constexpr UINT kMsgReleaseClick = WM_APP + 2;
constexpr UINT kAlertPollMs = 50;
constexpr UINT kQuitRetryMs = 100;
constexpr DWORD kQuitPatienceMs = 10000;

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
} g_page;

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
        Logf("screenshot(instance=%u, file=%s) -> %s", static_cast<unsigned>(i + 1), name.c_str(), ok ? "ok" : "failed");
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
    Logf("screenshot(instance=1, file=%s) -> %s", name.c_str(), ok ? "ok" : "failed");
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

// Closing the page: the instances go first, then the windows the plug-in has left standing.
// Never from inside a plug-in call (a modal loop of the plug-in may deliver the close).
void ClosePage(HWND frame) {
    if (IsInPluginCall()) {
        DWORD now = GetTickCount();
        if (!g_page.quitDeferredSince)
            g_page.quitDeferredSince = now ? now : 1;
        else if (now - g_page.quitDeferredSince > kQuitPatienceMs) {
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

bool IsAbove(HWND window, HWND below) {
    for (HWND w = GetWindow(window, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
        if (w == below)
            return true;
    return false;
}

// Where a dialog stands, for the log: its owner (the page's frame, another dialog by its caption,
// none, or another window by its class) and whether it lies in front of the frame and of its owner.
std::string Standing(HWND window) {
    const HWND owner = GetWindow(window, GW_OWNER);
    char name[64] = {}, caption[256] = {};
    std::string named = "none";
    if (owner == g_page.frame) {
        named = "page";
    } else if (owner) {
        GetClassNameA(owner, name, sizeof name);
        GetWindowTextA(owner, caption, sizeof caption);
        named = std::string_view(name) == "#32770" ? "dialog(" + std::string(caption) + ")" : name;
    }
    const bool front = IsAbove(window, g_page.frame) && (!owner || IsAbove(window, owner));
    return " owner=" + named + " front=" + (front ? "yes" : "no");
}

// --close-dialogs: any other dialog box is logged with its caption, its place on the screen
// and, for a file dialog, the name in its file name box, then cancelled.
void CloseDialog(HWND window) {
    char caption[256] = {}, name[MAX_PATH] = {};
    GetWindowTextA(window, caption, sizeof caption);
    // The file name box of an Explorer-style file dialog: a combo box (cmb13), or an edit (edt1).
    if (!GetDlgItemTextA(window, 1148, name, sizeof name))
        GetDlgItemTextA(window, 1152, name, sizeof name);
    RECT r = {};
    GetWindowRect(window, &r);
    Logf("dialog(%s) at %ld,%ld,%ld,%ld name=%s%s", caption, r.left, r.top, r.right, r.bottom, name,
         Standing(window).c_str());
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
}

bool IsDialogBox(HWND window) {
    char name[16] = {};
    return GetClassNameA(window, name, sizeof name) && std::string_view(name) == "#32770";
}

// --answer-alerts: the plug-in's alert boxes carry their string id as the window property
// "LoomAlertId" (beside "LoomAlertBox", the box's own record). Each one seen is logged and
// answered with its default button, as a person in a hurry would.
std::vector<HWND> g_answered;  // boxes answered (or dialogs closed) and not yet gone

BOOL CALLBACK AnswerAlert(HWND window, LPARAM) {
    if (!IsWindowVisible(window) || std::find(g_answered.begin(), g_answered.end(), window) != g_answered.end())
        return TRUE;
    if (!GetPropA(window, "LoomAlertBox") || !g_page.options.answerAlerts) {
        if (g_page.options.closeDialogs && !GetPropA(window, "LoomAlertBox") && IsDialogBox(window)) {
            g_answered.push_back(window);
            CloseDialog(window);
        }
        return TRUE;
    }
    g_answered.push_back(window);
    const auto id = static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetPropA(window, "LoomAlertId")));
    const LRESULT defId = SendMessageA(window, DM_GETDEFID, 0, 0);
    const int button = HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : IDOK;
    char text[256] = {};
    GetDlgItemTextA(window, 51, text, sizeof text);  // the message of the program's alert boxes
    Logf("alert(id=%u)%s -> button %d: %s", id, Standing(window).c_str(), button, text);
    std::fprintf(stderr, "testbrowser: alert %u answered\n", id);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
    return TRUE;
}

// --quit-when-done: the page closes as soon as nothing is left to deliver, not after a guess
// at how long delivery takes.
void PumpAndMaybeQuit(HWND window) {
    PumpStreams();
    if (g_page.quitWhenDoneArmed && !g_page.closed && !HasStreamWork()) {
        g_page.quitWhenDoneArmed = false;
        Logf("page done: every stream has ended");
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kMsgPump:
        PumpAndMaybeQuit(window);
        return 0;
    case kMsgReleaseClick:
        if (!g_page.embeds.empty()) {
            HWND embed = g_page.embeds[0].window;
            HWND target = GetCapture();
            POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (target && target != embed && IsChild(embed, target))
                MapWindowPoints(embed, target, &at, 1);
            else
                target = embed;
            PostMessageA(target, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        }
        return 0;
    case WM_TIMER:
        if (wParam == kTimerPump) {
            PumpAndMaybeQuit(window);
        } else if (wParam == kTimerQuit) {
            KillTimer(window, kTimerQuit);
            const bool waiting = g_page.quitWhenDoneArmed || HasStreamWork();
            if (g_page.options.quitWhenDone && waiting && !g_page.streamsUnfinished) {
                g_page.streamsUnfinished = true;
                std::fprintf(stderr, "testbrowser: streams still under way after %d ms\n",
                             g_page.options.quitAfterMs);
            }
            ClosePage(window);
        } else if (wParam == kTimerScreenshot) {
            KillTimer(window, kTimerScreenshot);
            TakeScreenshots();
        } else if (wParam >= kTimerFirstCommand && wParam < kTimerFirstCommand + g_page.options.commands.size()) {
            KillTimer(window, wParam);
            const int command = g_page.options.commands[wParam - kTimerFirstCommand].command;
            if (!g_page.embeds.empty()) {
                Logf("command(%d)", command);
                PostMessageA(g_page.embeds[0].window, WM_COMMAND, MAKEWPARAM(command, 0), 0);
            }
        } else if (wParam >= kTimerFirstClick && wParam < kTimerFirstClick + g_page.options.clicks.size()) {
            KillTimer(window, wParam);
            const BrowserOptions::TimedClick& c = g_page.options.clicks[wParam - kTimerFirstClick];
            if (!g_page.embeds.empty()) {
                Logf("click(%d,%d)", c.x, c.y);
                const LPARAM at = MAKELPARAM(c.x, c.y);
                PostMessageA(g_page.embeds[0].window, WM_MOUSEMOVE, 0, at);
                PostMessageA(g_page.embeds[0].window, WM_LBUTTONDOWN, MK_LBUTTON, at);
                PostMessageA(window, kMsgReleaseClick, 0, at);
            }
        } else if (wParam >= kTimerFirstDrop && wParam < kTimerFirstDrop + g_page.options.drops.size()) {
            KillTimer(window, wParam);
            const BrowserOptions::TimedDrop& d = g_page.options.drops[wParam - kTimerFirstDrop];
            if (!g_page.embeds.empty()) {
                Logf("drop(%s,%d,%d)", d.file.c_str(), d.x, d.y);
                PostFileDrop(g_page.embeds[0].window, FullPath(d.file), POINT{d.x, d.y});
            }
        } else if (wParam >= kTimerFirstTyping && wParam < kTimerFirstTyping + g_page.options.typing.size()) {
            KillTimer(window, wParam);
            const std::string& text = g_page.options.typing[wParam - kTimerFirstTyping].text;
            HWND focus = GetFocus();
            char focusClass[64] = "none";
            if (focus)
                GetClassNameA(focus, focusClass, sizeof focusClass);
            Logf("type(%s) focus=%s", text.c_str(), focusClass);
            for (char c : text)
                if (focus)
                    PostMessageA(focus, WM_CHAR, static_cast<unsigned char>(c), 1);
        } else if (wParam >= kTimerFirstLaterShot &&
                   wParam < kTimerFirstLaterShot + g_page.options.laterScreenshotsMs.size()) {
            KillTimer(window, wParam);
            TakeLaterScreenshot(wParam - kTimerFirstLaterShot);
        } else if (wParam == kTimerAlerts) {
            std::erase_if(g_answered, [](HWND w) { return !IsWindow(w); });
            EnumThreadWindows(GetCurrentThreadId(), AnswerAlert, 0);
        }
        return 0;
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
        DispatchMessageA(&message);
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
    if (!CreatePage("Pageloom test browser - " + stackUrls[0])) {
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
    // Both times count from the page's start.
    if (!o.screenshot.empty())
        SetTimer(g_page.frame, kTimerScreenshot, static_cast<UINT>(o.screenshotAfterMs), nullptr);
    for (size_t i = 0; !o.screenshot.empty() && i < o.laterScreenshotsMs.size(); ++i)
        SetTimer(g_page.frame, kTimerFirstLaterShot + i, static_cast<UINT>(o.laterScreenshotsMs[i]), nullptr);
    if (o.quitAfterMs >= 0)
        SetTimer(g_page.frame, kTimerQuit, static_cast<UINT>(o.quitAfterMs), nullptr);
    if (o.answerAlerts || o.closeDialogs)
        SetTimer(g_page.frame, kTimerAlerts, kAlertPollMs, nullptr);
    for (size_t i = 0; i < o.commands.size(); ++i)
        SetTimer(g_page.frame, kTimerFirstCommand + i, static_cast<UINT>(o.commands[i].atMs), nullptr);
    for (size_t i = 0; i < o.clicks.size(); ++i)
        SetTimer(g_page.frame, kTimerFirstClick + i, static_cast<UINT>(o.clicks[i].atMs), nullptr);
    for (size_t i = 0; i < o.typing.size(); ++i)
        SetTimer(g_page.frame, kTimerFirstTyping + i, static_cast<UINT>(o.typing[i].atMs), nullptr);
    for (size_t i = 0; i < o.drops.size(); ++i)
        SetTimer(g_page.frame, kTimerFirstDrop + i, static_cast<UINT>(o.drops[i].atMs), nullptr);
    if (o.streamBeforeWindow) {
        requestStacks();
        DeliverStreamsNow();
    }
    if (!g_page.closed) {  // the page may have been closed while the stack came in
        for (const Embed& embed : g_page.embeds)
            if (embed.instance >= 0)
                SetInstanceWindow(embed.instance, embed.window, embed.x, embed.y, o.width, o.height);
        if (!o.streamBeforeWindow)
            requestStacks();
        g_page.quitWhenDoneArmed = o.quitWhenDone;
        PostMessageA(g_page.frame, kMsgPump, 0, 0);  // done already when nothing was streamed
        RunMessageLoop();
    }
    if (!g_page.closed) {
        TakeScreenshots();
        DestroyInstances();
    }
    ShutdownPlugin();
    if (refused)
        return kExitInstanceRefused;
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
