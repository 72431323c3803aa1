// The Save and Save As commands with their questions.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"
#include "stack/depth/StackDepth.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"
#include "stack/save/StackToGo.h"

namespace {

constexpr int kButtonFirst = 1, kButtonSecond = 2;
constexpr int kStandAloneFilter = 2;

constexpr uint32_t kAlertFilesNotBeside = 2881;
constexpr size_t kNamesShown = 8;

bool FileThere(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Once the stack has moved to a folder of its own (Save As), the files it names that are not
// there are named to the user: from the web it would ask its site for them beside it.
void TellOfFilesNotBeside(const char* path) {
    StackToGoFileAccess access;
    access.exists = FileThere;
    const std::vector<std::string> names = NamedFilesNotBeside(path, access);
    if (names.empty())
        return;
    std::string list;
    for (size_t i = 0; i < names.size() && i < kNamesShown; ++i)
        list += (i ? ", " : "") + names[i];
    if (names.size() > kNamesShown)
        list += ", ...";
    std::string text = ResText(kAlertFilesNotBeside);
    if (const size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, list);
    ShowAlertText(nullptr, text.c_str());
}

// A stack deeper than the working display is saved at the display's depth.
bool ShownBelowItsDepth() {
    const int working = GetScreenDepth();
    return DisplayDepthForStack() > working && working != 24;
}

}  // namespace

int SaveStackAs() {
    CopyFileSpec(kSlotCurrentStack, kSlotSaveAs);
    int filter = 0;
    char path[kFileSpecPathSize] = {};
    if (!AskSaveStackFile(GetMainWindow(), kSaveStack, path, sizeof path, nullptr, 0, &filter))
        return 0;
    // A stand-alone stack: slot 1 stays the open stack, slot 16 names the package.
    if (filter == kStandAloneFilter) {
        ShowStackToGoDialog();
        return 1;
    }
    if (SaveStackAsPath(path) != kFileOk)
        return 0;
    // The new name goes into the title, and a stack saved under a home stack's name becomes home.
    char name[kFileSpecNameSize] = {};
    CopyPathText(GetStackName(), name, sizeof name);
    SetStackName(name);
    RememberHomeStack();
    TellOfFilesNotBeside(path);
    return 1;
}

bool SaveStackCommandAsks() {
    return StackHasFile() && !StackFileIsDownloadCopy() &&
           (ShownBelowItsDepth() || GetStackConversionState() != kStackUnconverted);
}

namespace {

// Another program changed the file since this stack read or last saved it: saving over it loses
// what that program wrote, so the person chooses. True to save over it; else *result is the
// command's (a Save As, or 0 for Cancel).
bool MaySaveOverAnotherWriter(int* result) {
    *result = 0;
    if (!StackFileChangedElsewhere())
        return true;
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    const int answer = ShowAlertNaming(nullptr, kAlertChangedElsewhere, path);
    if (answer == kButtonFirst)
        return true;
    if (answer == kButtonSecond)
        *result = SaveStackAs();
    return false;
}

}  // namespace

int SaveStackCommand() {
    if (!StackHasFile())
        return SaveStackAs();
    if (int result = 0; !StackFileIsDownloadCopy() && !MaySaveOverAnotherWriter(&result))
        return result;
    if (ShownBelowItsDepth())
        SetStackConversionState(kStackDepthConverted);
    const int state = GetStackConversionState();
    // A stack from the web has no file of its own yet: it is saved where the person says, and is
    // that file from then on. Nothing of the author's is replaced, so nothing is asked: pictures
    // changed for this display are saved as changed, as "Change name" would.
    if (StackFileIsDownloadCopy()) {
        if (state == kStackDepthConverted)
            ConvertStackToDisplayDepth();
        return SaveStackAs();
    }
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
