// Attaching to the browser's window and handing it back.
#include "core/ui/dialogs/DialogOwner.h"
#include "host/browser/WindowAttach.h"
#include "host/window/PeriodicTick.h"
#include "host/window/WindowServices.h"

#include <array>
#include <functional>
#include <numeric>

#include "core/events/EditorGuard.h"
#include "core/events/OneShotTimers.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "host/downloads/DownloadStreams.h"
#include "host/player/DownloadReplay.h"
#include "host/window/CardMessageHandler.h"
#include "media/MediaManager.h"

namespace {

struct AttachedWindow {
    HWND window = nullptr;
    WNDPROC browserProc = nullptr;  // null: not subclassed
    HCURSOR classCursor = nullptr;
    int inside = 0;             // messages of the window being handled, one inside another
    bool shutdownWaits = false; // the page closed inside one of them
    // Another page given its window meanwhile: it starts once this page is released.
    std::function<void()> attachAfter;
};

AttachedWindow g_attached;
std::array<std::array<uint8_t, 256>, 2> g_colorMaps{};

// Whether the plug-in is inside a loop of its own: a message of its window being handled (a
// dialog, the walk, a tracker, a wait run from there), an authoring guard or a dialog.
bool InsideOwnLoop() { return g_attached.inside > 0 || EditorRuns() || DialogRuns(); }

// The releases held for the outermost loop, done once it is back; then the page that waited
// for them starts.
void ShutdownIfWaiting() {
    if (!g_attached.shutdownWaits || InsideOwnLoop())
        return;
    std::function<void()> next = std::move(g_attached.attachAfter);
    ShutdownPluginInstance(g_attached.window, next != nullptr);
    if (next)
        next();
}

}  // namespace

uint8_t* ColorIndexMap(int which) { return g_colorMaps[which ? 1 : 0].data(); }

bool IsPluginWindowAttached() { return g_attached.browserProc != nullptr; }

bool AttachPluginWindow(HWND window) {
    // The handle table lives as long as the module: what the last page left in globals (the
    // print settings, the find state) still names its own blocks.
    if (!IsWindow(window) || !EnsureMemRefs())
        return false;
    SetMainWindow(window);
    const int started = AppStartup(GetAppInstance(), window);
    MediaManagerCreate(window, GetAppInstance());
    MakeEffectStateWithManager();
    if (!started)
        return false;
    SetTimer(window, kTickTimer, kTickMilliseconds, nullptr);
    g_attached.window = window;
    g_attached.classCursor = reinterpret_cast<HCURSOR>(GetClassLongPtrA(window, GCLP_HCURSOR));
    g_attached.browserProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PluginWndProc)));
    for (auto& map : g_colorMaps)
        std::iota(map.begin(), map.end(), uint8_t{0});
    // The creation branch never runs on a window the browser made; what it sets up that needs
    // no window of its own is set up here.
    StartWindowServices(window);
    SetPageLeaving(false);  // a page opened again after one that left under a dialog
    return true;
}

LRESULT CALLBACK PluginWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++g_attached.inside;
    const bool taken = CardMessageHandler(window, message, wParam, lParam) != 0;
    --g_attached.inside;
    const WNDPROC browserProc = window == g_attached.window ? g_attached.browserProc : nullptr;
    ShutdownIfWaiting();  // the outermost loop is back from a page closed inside it
    if (taken)
        return 1;
    if (browserProc)
        return CallWindowProcA(browserProc, window, message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

void DetachPluginWindow(HWND window) {
    if (!g_attached.browserProc || window != g_attached.window)
        return;
    if (IsWindow(window)) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_attached.browserProc));
        SetClassLongPtrA(window, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(g_attached.classCursor));
    }
    g_attached = {};
}

void ShutdownPluginInstanceOnceOut(HWND window) {
    if (!InsideOwnLoop()) {
        ShutdownPluginInstance(window);
        return;
    }
    // Called from inside a loop of ours: every loop ends (the page leaves), and what the loops
    // still use is freed only once the outermost one is back.
    g_attached.shutdownWaits = true;
    SetPageLeaving(true);
}

void FinishWaitingShutdown() {
    if (g_attached.shutdownWaits)
        ShutdownPluginInstance(g_attached.window);  // the module goes: no page starts after it
}

bool IsShutdownWaiting() { return g_attached.shutdownWaits; }

void AttachOnceShutDown(std::function<void()> attach) { g_attached.attachAfter = std::move(attach); }

void ShutdownPluginInstance(HWND window, bool anotherPageStarts) {
    g_attached.shutdownWaits = false;
    // Nothing of ours may fire once the releases begin.
    if (IsWindow(window)) {
        KillTimer(window, kTickTimer);
        KillTimer(window, kCursorTimerId);
    }
    ShutdownTimers();
    AppShutdown();
    SaveCacheIndex();
    if (anotherPageStarts)
        ForgetSystemRequests();  // what came for the next page meanwhile is its own
    else
        FreeDownloadState();
    ForgetPendingRequest();
    DetachPluginWindow(window);
    SetMainWindow(nullptr);
}
