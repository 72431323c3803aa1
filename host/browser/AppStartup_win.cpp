// The start-up chain and the user's defaults.
#include <windows.h>
#include <objbase.h>

#include <array>
#include <cstring>

#include "actions/ActionServices.h"
#include "actions/NbaModules.h"
#include "core/events/OneShotTimers.h"
#include "core/files/FileDialogHooks.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/CursorCache.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/browser/WindowAttach.h"
#include "host/palettes/ToolPalette.h"
#include "host/state/Preferences.h"
#include "host/window/TextFieldProc.h"
#include "host/window/WindowServices.h"
#include "media/DroppedFiles.h"
#include "host/medialibrary/MediaBrowser.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "objects/ObjectLayerKinds.h"
#include "objects/ObjectServices.h"
#include "objects/text/FindText_win.h"
#include "objects/text/TextFields.h"
#include "stack/clipboard/Clipboard.h"
#include "authoring/text/NewTextObject.h"
#include "stack/StackOpenSession.h"
#include "stack/undo/Undo.h"

namespace {

std::array<std::array<char, 16>, 4> g_defaultNames{};
constexpr std::array<uint32_t, 4> kDefaultNameIds = {2518, 2519, 2520, 2502};

using Step = bool (*)(HINSTANCE module, HWND window);
struct NamedStep {
    const char* name;
    Step run;
};

bool ClearCurrentStack(HINSTANCE, HWND) {
    SetStackHeaderHandle(0);
    SetCurrentCardId(0);
    return true;
}
bool CheckQuickTime(HINSTANCE, HWND window) { return IsQuickTimeAvailable(window) != 0; }
bool MakeFolderTable(HINSTANCE, HWND) { return InitFolderTable(); }
bool NoCursorHiding(HINSTANCE, HWND) {
    SetCursorHideMode(0);
    return true;
}
bool UserPrefs(HINSTANCE, HWND) {
    InitUserPrefs();
    return true;
}
bool FontTable(HINSTANCE, HWND) {
    InitFontTable();
    return true;
}
bool ToolBitmaps(HINSTANCE, HWND) {
    LoadToolBitmaps();
    return true;
}
bool TextFieldClass(HINSTANCE, HWND) {
    RegisterTextFieldClass(TextFieldWndProc);  // a failure is reported by the class's owner; start-up goes on
    return true;
}
bool DefaultDcFont(HINSTANCE, HWND) {
    InitStartupDcFont();
    return true;
}
bool UndoRecord(HINSTANCE, HWND) {
    CreateUndoRecord();
    RegisterClipboardMarker();  // with undo: the clipboard's own start-up
    return true;
}
bool SampleText(HINSTANCE, HWND) {
    LoadSampleText();
    return true;
}
bool CropCursors(HINSTANCE module, HWND) {
    LoadCropCursors(module);
    return true;
}
bool NbaCache(HINSTANCE, HWND) {
    FreeCachedNBAModules(0);
    return true;
}
bool ScreenDepth(HINSTANCE, HWND) {
    InitScreenDepth();
    return true;
}
// The multimedia timer's resolution, and no animation world; without a usable period the
// polled timers serve, so start-up goes on.
bool AnimTimer(HINSTANCE, HWND) {
    InitAnimTimer();
    return true;
}
bool DialogMessages(HINSTANCE, HWND) {
    RegisterFileDialogMessages();
    return true;
}
bool FindTextState(HINSTANCE, HWND window) {
    InitFindState(window);
    return true;
}
bool MediaLib(HINSTANCE, HWND) {
    AllocMediaLib();
    return true;
}

constexpr std::array kStartupSteps = {
    NamedStep{"ClearCurrentStack", ClearCurrentStack},
    NamedStep{"IsQuickTimeAvailable", CheckQuickTime},
    NamedStep{"InitFolderTable", MakeFolderTable},
    NamedStep{"SetCursorHideMode", NoCursorHiding},
    NamedStep{"InitUserPrefs", UserPrefs},
    NamedStep{"InitFontTable", FontTable},
    NamedStep{"LoadToolBitmaps", ToolBitmaps},
    NamedStep{"RegisterTextFieldClass", TextFieldClass},
    NamedStep{"InitStartupDcFont", DefaultDcFont},
    NamedStep{"CreateUndoRecord", UndoRecord},
    NamedStep{"LoadSampleText", SampleText},
    NamedStep{"LoadCropCursors", CropCursors},
    NamedStep{"FreeCachedNBAModules", NbaCache},
    NamedStep{"InitScreenDepth", ScreenDepth},
    NamedStep{"InitAnimTimer", AnimTimer},
    NamedStep{"LoadHandCursors", LoadHandCursors},
    NamedStep{"RegisterDialogMessages", DialogMessages},
    NamedStep{"InitFindState", FindTextState},
    NamedStep{"AllocMediaLib", MediaLib},
};

}  // namespace


int AppStartup(HINSTANCE module, HWND window) {
    for (const NamedStep& step : kStartupSteps) {
        TraceAttachStep(step.name);
        if (!step.run(module, window))
            return 0;
    }
    return 1;
}

void InitUserPrefs() {
    LoadUserPreferences();  // the advanced-user flag and the working depth
    for (size_t i = 0; i < g_defaultNames.size(); ++i) {
        g_defaultNames[i].fill(0);
        LoadResString(kDefaultNameIds[i], g_defaultNames[i].data(), static_cast<int>(g_defaultNames[i].size()));
    }
}

const char* GetDefaultObjectName(int which) {
    return which >= 0 && which < static_cast<int>(g_defaultNames.size()) ? g_defaultNames[which].data() : "";
}
