// The media manager's life and the QuickTime start-up check.
//
// MINIMAL manager until the media elements exist: it holds the QuickTime binding and the
// movies session for its lifetime, and no elements.
#include "media/MediaManager.h"

#include "core/ui/Alerts.h"
#include <new>

#include "quicktime/QuickTime.h"

namespace {

struct Manager {
    HWND window = nullptr;
    HINSTANCE module = nullptr;
    bool usable = false;
    bool quickTime3 = false;
};
Manager* g_manager = nullptr;
uint32_t g_mediaFlags = 0;
HMODULE g_vfw = nullptr;
HMODULE g_avifile = nullptr;
bool g_missingShown = false;
uint32_t g_vfwVersionAnswer = 0;
int g_aviFileInitCalls = 0;

// Start-up and the manager would each report a missing QuickTime; the user hears it once.
void ReportQuickTimeMissing() {
    if (g_missingShown)
        return;
    g_missingShown = true;
    ShowAlert(kAlertQuickTimeMissing);
}

}  // namespace

int IsQuickTimeAvailable(HWND) {
    if (QTBind(0) != kQtNoErr) {
        ReportQuickTimeMissing();
        return 0;
    }
    QTRelease();
    return 1;
}

int MediaManagerCreate(HWND window, HINSTANCE module) {
    if (g_manager)
        return 1;
    auto* m = new (std::nothrow) Manager{window, module, true, false};
    if (!m)
        return 0;
    g_manager = m;
    QTBind(0);
    int32_t version = 0;
    const QtErr err = Gestalt(kGestaltQuickTime, &version);
    m->quickTime3 = ((static_cast<uint32_t>(version) >> 16) & 0xFFFF) >= 0x0300;
    if (err != kQtNoErr)
        m->usable = false;
    else if (EnterMovies() != kQtNoErr)
        m->usable = false;
    if (!m->usable) {
        ReportQuickTimeMissing();
        MediaManagerDestroy();
        return 0;
    }
    return 1;
}

void MediaManagerDestroy() {
    Manager* m = g_manager;
    if (!m)
        return;
    g_manager = nullptr;
    if (m->usable)
        ExitMovies();
    QTRelease();
    delete m;
}

bool HasMediaManager() { return g_manager != nullptr; }

HWND MediaManagerWindow() { return g_manager ? g_manager->window : nullptr; }

uint32_t InitMediaServices(HWND window, HINSTANCE module) {
    uint32_t flags = 0;
    if (MediaManagerCreate(window, module))
        flags |= kMediaManagerMade;
    if (LoadVideoForWindows())
        flags |= kMediaVideoForWindows;
    g_mediaFlags = flags;
    return flags;
}

uint32_t GetMediaFlags() { return g_mediaFlags; }
void SetMediaFlags(uint32_t flags) { g_mediaFlags = flags; }

int LoadVideoForWindows() {
    if (g_vfw && g_avifile)
        return 1;
    const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    int ok = 0;
    HMODULE vfw = LoadLibraryA("msvfw32.dll");
    using VersionProc = DWORD(WINAPI*)();
    auto version = vfw ? reinterpret_cast<VersionProc>(reinterpret_cast<void*>(GetProcAddress(vfw, "VideoForWindowsVersion")))
                       : nullptr;
    const uint32_t answer = !version ? 0 : g_vfwVersionAnswer ? g_vfwVersionAnswer : version();
    if (version && (answer >> 16) >= 0x010A) {
        HMODULE avifile = LoadLibraryA("avifil32.dll");
        using InitProc = void(WINAPI*)();
        auto init = avifile ? reinterpret_cast<InitProc>(reinterpret_cast<void*>(GetProcAddress(avifile, "AVIFileInit")))
                            : nullptr;
        if (init) {
            init();
            ++g_aviFileInitCalls;
            g_vfw = vfw;
            g_avifile = avifile;
            ok = 1;
        } else if (avifile) {
            FreeLibrary(avifile);
        }
    }
    if (!ok && vfw)
        FreeLibrary(vfw);
    SetErrorMode(oldMode);
    return ok;
}

void SetVideoForWindowsVersionAnswer(uint32_t version) { g_vfwVersionAnswer = version; }
int AviFileInitCalls() { return g_aviFileInitCalls; }

uint32_t UnloadVideoForWindows(uint32_t mediaFlags) {
    if (!(mediaFlags & kMediaVideoForWindows))
        return mediaFlags;
    if (g_avifile) {
        using ExitProc = void(WINAPI*)();
        if (auto exitProc = reinterpret_cast<ExitProc>(reinterpret_cast<void*>(GetProcAddress(g_avifile, "AVIFileExit"))))
            exitProc();
        FreeLibrary(g_avifile);
    }
    if (g_vfw)
        FreeLibrary(g_vfw);
    g_vfw = nullptr;
    g_avifile = nullptr;
    return mediaFlags & ~kMediaVideoForWindows;
}

bool MediaIsQuickTime3() { return g_manager && g_manager->quickTime3; }
