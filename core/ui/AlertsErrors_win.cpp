// Error reports: the alert of an error code, and the plain error box.
#include "core/ui/Alerts.h"

#include "core/system/PluginModule.h"
#include "core/ui/AlertText.h"
#include "core/ui/Resources.h"
#include "core/ui/dialogs/DialogOwner.h"

void ShowErrorMessage(int32_t code) {
    const uint32_t stringId = ErrorMessageStringId(code);
    if (stringId == 0)
        return;
    char text[256] = {};
    // A code whose message is missing from the table gets the generic one, never an empty box.
    if (LoadResString(stringId, text, sizeof text) <= 0)
        LoadResString(kAlertGenericError, text, sizeof text);
    ShowAlertText(nullptr, text);
}

int ShowErrorBox(const char* text) {
    char caption[80] = {};
    LoadResString(kStringErrorCaption, caption, sizeof caption);
    return OwnedMessageBox(GetMainWindow(), text ? text : "", caption[0] ? caption : nullptr, MB_OK | MB_ICONSTOP);
}
