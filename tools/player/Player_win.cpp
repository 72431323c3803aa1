// The player of stand-alone stacks: shows the stack named on its command line in a window of its
// own, the plug-in's code hosted in this program as a browser would host it.
//   "Pageloom Player.exe" <stack> [--screenshot file.png] [--screenshot-after ms] [--quit-after ms]
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "TestBrowser.h"
#include "core/system/PluginModule.h"
#include "host/browser/EntryLayer.h"
#include "quicktime/QuickTime.h"
#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInEffects.h"
#include "quicktime/dll/StandInMovies.h"

namespace {

constexpr char kFrameClass[] = "PageloomPlayerFrame";
constexpr UINT_PTR kTimerScreenshot = 2, kTimerQuit = 3;
constexpr int kDefaultWidth = 512, kDefaultHeight = 384, kMinExtent = 40, kMaxExtent = 4096;

struct Player {
    HWND frame = nullptr;
    HWND embed = nullptr;
    std::string screenshot;
    bool closed = false;
} g_player;

// The card size from the stack's header (big-endian words at 56 and 58), else the default.
void CardSize(const std::string& path, int* width, int* height) {
    *width = kDefaultWidth;
    *height = kDefaultHeight;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    unsigned char header[60] = {};
    DWORD got = 0;
    if (ReadFile(file, header, sizeof header, &got, nullptr) && got == sizeof header) {
        const int w = header[56] << 8 | header[57], h = header[58] << 8 | header[59];
        if (w >= kMinExtent && w <= kMaxExtent && h >= kMinExtent && h <= kMaxExtent)
            *width = w, *height = h;
    }
    CloseHandle(file);
}

void Close(HWND frame) {
    if (g_player.closed)
        return;
    if (IsInPluginCall()) {  // a modal loop of the plug-in may deliver the close
        SetTimer(frame, kTimerQuit, 100, nullptr);
        return;
    }
    g_player.closed = true;
    DestroyInstances();
    ShutdownPlugin();
    DestroyWindow(frame);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kMsgPump:
        PumpStreams();
        return 0;
    case WM_TIMER:
        if (wParam == kTimerPump) {
            PumpStreams();
        } else if (wParam == kTimerScreenshot) {
            KillTimer(window, kTimerScreenshot);
            SaveWindowPng(g_player.embed, g_player.screenshot);
        } else if (wParam == kTimerQuit) {
            KillTimer(window, kTimerQuit);
            Close(window);
        }
        return 0;
    case WM_CLOSE:
        Close(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// QuickTime: a library on this machine when there is one, else our stand-in linked into this
// program, so that a package needs nothing beyond what it carries.
QtLibraryOps g_systemQuickTime;
int g_linkedQuickTime;

intptr_t LinkedDispatcher(uint32_t selector, const QtWord* args) { return StandInDispatch(selector, args); }
intptr_t LinkedComponent(void* storage, const void* params, QtWord what) {
    return StandInComponentCall(storage, params, what);
}

void* LoadQuickTime() {
    if (void* library = g_systemQuickTime.load ? g_systemQuickTime.load() : nullptr)
        return library;
    InstallStandInWindowsProcs();  // the linked stand-in draws its frames and dialogs as the library does
    InstallStandInMovieOutputs();  // and plays its movies, sounds and music
    return &g_linkedQuickTime;
}

void* ResolveQuickTime(void* library, const char* name) {
    if (library != &g_linkedQuickTime)
        return g_systemQuickTime.resolve(library, name);
    if (std::strcmp(name, kQtEntryDispatcher) == 0)
        return reinterpret_cast<void*>(LinkedDispatcher);
    if (std::strcmp(name, kQtEntryComponent) == 0 || std::strcmp(name, kQtEntryStorage) == 0)
        return reinterpret_cast<void*>(LinkedComponent);
    return nullptr;
}

void ReleaseQuickTime(void* library) {
    if (library != &g_linkedQuickTime)
        g_systemQuickTime.release(library);
}

std::string FullPath(const char* path) {
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return n && n < MAX_PATH ? std::string(full, n) : std::string(path);
}

}  // namespace

int main(int argc, char** argv) {
    std::string stack;
    int screenshotAfter = 1500, quitAfter = -1;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--screenshot") && hasValue)
            g_player.screenshot = argv[++i];
        else if (!std::strcmp(argv[i], "--screenshot-after") && hasValue)
            screenshotAfter = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--quit-after") && hasValue)
            quitAfter = std::atoi(argv[++i]);
        else if (stack.empty())
            stack = FullPath(argv[i]);
    }
    if (stack.empty()) {
        MessageBoxA(nullptr, "Name a stack to play.", "Pageloom Player", MB_OK | MB_ICONSTOP);
        return kExitUsage;
    }
    const HINSTANCE module = GetModuleHandleA(nullptr);
    SetAppInstance(module);
    UseLinkedPlugin(NP_GetEntryPoints, NP_Initialize, NP_Shutdown);
    if (InitializePlugin() != kExitOk)
        return kExitPluginRefused;
    // The plug-in's start-up installed the system's library calls; ours go in front of them.
    g_systemQuickTime = GetQtLibraryOps();
    SetQtLibraryOps({LoadQuickTime, ResolveQuickTime, ReleaseQuickTime});
    const size_t slash = stack.find_last_of('\\');
    PluginTypes types;
    types.mimeTypes = {"application/lmpk"};
    types.extensions = {"stk"};
    SetServer(slash == std::string::npos ? "." : stack.substr(0, slash), "http://localhost/", types, 65536, false);

    WNDCLASSA frameClass{};
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = module;
    frameClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    frameClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    frameClass.lpszClassName = kFrameClass;
    RegisterClassA(&frameClass);
    int width = 0, height = 0;
    CardSize(stack, &width, &height);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT bounds{0, 0, width, height};
    AdjustWindowRect(&bounds, style, FALSE);
    const std::string title = stack.substr(slash == std::string::npos ? 0 : slash + 1);
    g_player.frame = CreateWindowA(kFrameClass, title.c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                                   bounds.right - bounds.left, bounds.bottom - bounds.top, nullptr, nullptr, module,
                                   nullptr);
    if (!g_player.frame)
        return kExitWindow;
    g_player.embed = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                                   g_player.frame, nullptr, module, nullptr);
    SetPumpWindow(g_player.frame);
    ShowWindow(g_player.frame, SW_SHOWNORMAL);
    UpdateWindow(g_player.frame);
    // Served as a browser page serves its stack: from the stack's folder, by name.
    const std::string fileUrl = LocalPathToUrl(stack);
    const std::string url = "http://localhost/" + fileUrl.substr(fileUrl.find_last_of('/') + 1);
    const int instance = NewInstance("application/lmpk", false, url, width, height);
    if (instance < 0)
        return kExitInstanceRefused;
    SetInstanceWindow(instance, g_player.embed, 0, 0, width, height);
    RequestStream(instance, url);
    PostMessageA(g_player.frame, kMsgPump, 0, 0);
    if (!g_player.screenshot.empty())
        SetTimer(g_player.frame, kTimerScreenshot, screenshotAfter > 0 ? screenshotAfter : 1, nullptr);
    if (quitAfter >= 0)
        SetTimer(g_player.frame, kTimerQuit, quitAfter > 0 ? quitAfter : 1, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return kExitOk;
}
