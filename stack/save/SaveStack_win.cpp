// The Save and Save As commands, and what saving asks of the Windows build.
#include <windows.h>

#include <cstring>

#include "core/ui/Alerts.h"
#include "core/system/PluginModule.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/WaitCursor.h"
#include "graphics/pixels/CardOffscreen.h"
#include "stack/cards/CardEdit.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"
#include "stack/depth/StackDepth.h"
#include "stack/open/StackOpen.h"
#include "stack/open/StackOpenSession.h"
#include "stack/save/StackToGo.h"

namespace {

constexpr int kButtonFirst = 1, kButtonSecond = 2;
constexpr int kStandAloneFilter = 2;

int Alert(uint32_t id) { return ShowAlert(id); }
void ErrorMessage(int32_t code) { ShowErrorMessage(code); }

bool DriveFreeSpace(const char* path, uint32_t* bytes) {
    return CheckDriveSpace(path, bytes) == kFileOk;
}

void PendingCardEdits() {
    if (IsCardChanged())
        SaveCurrentBackground();
}

void Renamed(const char* name) {
    SetStackName(name);
    RememberHomeStack();
}

void* CardWindowOf() { return GetCardWindow(); }

// Only what tests or other layers have not installed already.
template <class F>
void Keep(F& field, F fallback, F mine) {
    if (field == fallback)
        field = mine;
}

const bool g_installed = [] {
    SaveStackNeighbours n = SaveNeighbours();
    const SaveStackNeighbours d = DefaultSaveStackNeighbours();
    Keep(n.showAlert, d.showAlert, Alert);
    Keep(n.showErrorMessage, d.showErrorMessage, ErrorMessage);
    Keep(n.freeSpace, d.freeSpace, DriveFreeSpace);
    Keep(n.beginWait, d.beginWait, BeginWaitCursor);
    Keep(n.endWait, d.endWait, EndWaitCursor);
    Keep(n.storePendingCardEdits, d.storePendingCardEdits, PendingCardEdits);
    Keep(n.stackRenamed, d.stackRenamed, Renamed);
    Keep(n.cardWindow, d.cardWindow, CardWindowOf);
    SetSaveStackNeighbours(n);
    return true;
}();

}  // namespace

int SaveStackAs() {
    CopyFileSpec(kSlotCurrentStack, kSlotSaveAs);
    int filter = 0;
    if (!AskSaveStackFile(GetMainWindow(), kSaveStack, nullptr, 0, &filter))
        return 0;
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotSaveAs, sizeof path, path);
    // A stand-alone stack: slot 1 stays the open stack, slot 16 names the package.
    if (filter == kStandAloneFilter) {
        ShowStackToGoDialog();
        return 1;
    }
    return SaveStackAsPath(path) == kFileOk ? 1 : 0;
}

int SaveStackCommand() {
    if (!StackHasFile())
        return SaveStackAs();
    const int screen = DisplayDepthForStack();
    const int working = GetScreenDepth();
    if (screen > working && working != 24)
        SetStackConversionState(kStackDepthConverted);
    const int state = GetStackConversionState();
    if (state == kStackUnconverted)
        return SaveStack(kSlotCurrentStack, true);
    const int answer = ShowAlert(state == kStackDepthConverted ? kAlertColorsChanged : kAlertConvertedStack);
    if (answer != kButtonFirst && answer != kButtonSecond)
        return 0;
    if (state == kStackDepthConverted)
        ConvertStackToDisplayDepth();
    if (answer == kButtonSecond)
        return SaveStack(kSlotCurrentStack, true);
    return SaveStackAs();
}
