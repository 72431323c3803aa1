// The media manager's life and the QuickTime start-up check: the manager record made and
// undone in a fixed order, and the Video for Windows libraries.
#include "media/MediaManager.h"
#include "media/devices/Camera.h"
#include "media/devices/Twain.h"

#include <new>

#include "core/ui/Alerts.h"
#include "media/MediaManagerState.h"
#include "media/MediaPreview.h"
#include "media/capture/Capture.h"
#include "media/elements/QTElements.h"
#include "media/support/MediaWindows.h"
#include "quicktime/QuickTime.h"

namespace {

MediaManager* g_manager = nullptr;
bool g_quickTime3 = false;
bool g_classRegistered = false;
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

void Construct(MediaManager& m, HWND window, HINSTANCE module) {
    m.window = window;
    m.module = module;
    PointerListInit(&m.movies, kMediaNodesPerBlock);
    PointerListInit(&m.sounds, kMediaNodesPerBlock);
    m.quickTimeUsable = 1;
    m.fileRef = NewHandle(kMediaFileRefBytes);
    QTBind(0);
    int32_t version = 0;
    const QtErr asked = Gestalt(kGestaltQuickTime, &version);
    g_quickTime3 = ((static_cast<uint32_t>(version) >> 16) & 0xFFFF) >= 0x0300;
    if (asked != kQtNoErr) {
        m.quickTimeUsable = 0;
        return;
    }
    if (EnterMovies() != kQtNoErr) {
        m.quickTimeUsable = 0;
        return;
    }
    // A class already registered for this module is used as it is, and goes with the manager.
    g_classRegistered = RegisterQTWindowClass(module) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void Destruct(MediaManager& m) {
    if (m.quickTimeUsable) {
        MediaRemoveFinished(1, 1);
        MediaDeleteAllSounds(m);
        MediaClosePreview();
        delete m.pictureElement;
        m.pictureElement = nullptr;
        DisposeHandleAndClear(&m.fileRef);
        ExitMovies();
        QTRelease();
    } else {
        // The bind and the reference were taken before QuickTime failed.
        DisposeHandleAndClear(&m.fileRef);
        QTRelease();
    }
    PointerListReset(&m.movies);
    PointerListReset(&m.sounds);
    // Every movie window has gone with its element: the class can go too, so that the module
    // can be unloaded and loaded again.
    if (g_classRegistered) {
        UnregisterQTWindowClass(m.module);
        g_classRegistered = false;
    }
}

}  // namespace

MediaManager* TheMediaManager() { return g_manager; }

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
    auto* m = new (std::nothrow) MediaManager;
    if (!m)
        return 0;
    g_manager = m;
    Construct(*m, window, module);
    if (!m->quickTimeUsable) {
        ReportQuickTimeMissing();
        MediaManagerDestroy();
        return 0;
    }
    return 1;
}

void MediaManagerDestroy() {
    MediaManager* m = g_manager;
    if (!m)
        return;
    // The facade still finds the manager while its elements go.
    Destruct(*m);
    g_manager = nullptr;
    g_quickTime3 = false;
    delete m;
}

bool HasMediaManager() { return g_manager != nullptr; }

HWND MediaManagerWindow() { return g_manager ? g_manager->window : nullptr; }

bool MediaIsQuickTime3() { return g_manager && g_quickTime3; }

uint32_t InitMediaServices(HWND window, HINSTANCE module) {
    uint32_t flags = 0;
    if (MediaManagerCreate(window, module))
        flags |= kMediaManagerMade;
    if (LoadVideoForWindows())
        flags |= kMediaVideoForWindows;
    if (IsCameraAvailable(window))
        flags |= kMediaCamera;
    if (HaveCaptureDriver())
        flags |= kMediaCaptureDriver;
    if (LoadTwainDSM())
        flags |= kMediaTwain;
    g_mediaFlags = flags;
    return flags;
}

uint32_t GetMediaFlags() { return g_mediaFlags; }
void SetMediaFlags(uint32_t flags) { g_mediaFlags = flags; }

bool IsVideoForWindowsLoaded() { return g_vfw && g_avifile; }

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
