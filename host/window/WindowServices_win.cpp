// The card window's services: what the creation branch makes, the hand cursors, COM, the
// availability mask, and the trace of the start-up steps that tests read.
#include "host/window/WindowServices.h"

#include <objbase.h>

#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/ScreenDepth.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/FillPatterns.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/window/CardArea.h"
#include "media/DroppedFiles.h"
#include "media/MediaManager.h"
#include "objects/ObjectServices.h"
#include "objects/text/TextFields.h"
#include "authoring/buttons/Buttons.h"

namespace {

AttachTrace g_trace = nullptr;
HCURSOR g_flatHand = nullptr;
HCURSOR g_grabHand = nullptr;
bool g_handsAreIcons = false;
uint32_t g_availability = 0;
bool g_comOwned = false;

}  // namespace

void SetAttachTrace(AttachTrace trace) { g_trace = trace; }
void TraceAttachStep(const char* step) {
    if (g_trace)
        g_trace(step);
}

bool LoadHandCursors(HINSTANCE module, HWND) {
    g_handsAreIcons = GetWindowsFamily() != 0;
    if (g_handsAreIcons) {
        g_flatHand = reinterpret_cast<HCURSOR>(LoadIconA(module, "FLATHAND"));
        g_grabHand = reinterpret_cast<HCURSOR>(LoadIconA(module, "GRABHAND"));
    } else {
        g_flatHand = LoadCursorA(module, "FLATHAND");
        g_grabHand = LoadCursorA(module, "GRABHAND");
    }
    return true;
}

bool StartWindowServices(HWND window) {
    // The offscreen at the default size; the browser's window keeps the size the page gave it.
    TraceAttachStep("InitDataBase");
    InitDataBase(window, kDefaultCardWidth, kDefaultCardHeight, GetScreenDepth(), true);
    TraceAttachStep("InitAppPalette");
    InitAppPalette(window);
    LoadFillPatterns(window);
    CacheBlackWhiteIndices();
    TraceAttachStep("ResetTextColorsAndStyle");
    ResetTextColorsAndStyle();
    TraceAttachStep("SetAcceptDroppedFiles");
    SetAcceptDroppedFiles(window, IsAdvancedUser());
    TraceAttachStep("CoInitialize");
    // S_FALSE also counts: every successful call is balanced by one CoUninitialize.
    if (!g_comOwned)
        g_comOwned = SUCCEEDED(CoInitialize(nullptr));
    TraceAttachStep("InitMediaServices");
    g_availability = InitMediaServices(window, GetAppInstance());
    MakeEffectStateWithManager();
    if (!(g_availability & kMediaManagerMade))
        return false;
    TraceAttachStep("InitSpareButtonRecord");
    InitSpareButtonRecord();
    ClearCardChanged();
    return true;
}

LRESULT AppInitWindow(HWND window) {
    SetMainWindow(window);
    ResizeCardArea(kDefaultCardWidth, kDefaultCardHeight, GetScreenDepth());
    if (!StartWindowServices(window))
        return -1;
    SetTimer(window, kTickTimer, kTickMilliseconds, nullptr);
    return 0;
}

uint32_t GetAvailabilityMask() { return g_availability; }
HCURSOR GetFlatHandCursor() { return g_flatHand; }
HCURSOR GetGrabHandCursor() { return g_grabHand; }
bool OwnsComInitialization() { return g_comOwned; }

// For the release chain (AppShutdown_win.cpp).
void FreeHandCursors() {
    for (HCURSOR* hand : {&g_flatHand, &g_grabHand}) {
        if (*hand) {
            if (g_handsAreIcons)
                DestroyIcon(reinterpret_cast<HICON>(*hand));
            else
                DestroyCursor(*hand);
        }
        *hand = nullptr;
    }
}

void EndOwnComInitialization() {
    if (g_comOwned)
        CoUninitialize();
    g_comOwned = false;
}

uint32_t TakeAvailabilityMask(uint32_t mask) { return g_availability = mask; }
