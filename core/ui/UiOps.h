// The alert, the error message and the wait cursor as platform-free code of every layer calls
// them (the Windows ones are core/ui/Alerts.h and WaitCursor.h). The wiring step installs the
// system's (host/wiring/WireCore_win.cpp); until then (native builds, tests) no alert is shown
// (result 0), no message either, and the cursor stays as it is.
#pragma once

#include <cstdint>

struct UiOps {
    // ShowAlert: the position of the pressed label (1 for the first), 0 when nothing was shown.
    int (*showAlert)(uint32_t stringId);
    // An alert whose "%s" names a file (its path): the pressed label's position, 0 when not shown.
    int (*showAlertNaming)(uint32_t stringId, const char* name);
    // ShowErrorMessage of a file or resource error code.
    void (*showErrorMessage)(int32_t code);
    // The wait cursor around a long step (on, then off again); waits nest.
    void (*wait)(bool on);
};

const UiOps& GetUiOps();
void SetUiOps(const UiOps& ops);  // null members take the defaults
UiOps DefaultUiOps();

// Shorthand for the alert.
inline int ShowCardAlert(uint32_t stringId) { return GetUiOps().showAlert(stringId); }

// The wait cursor for one scope, through the ops.
class UiWaitCursor {
public:
    UiWaitCursor() { GetUiOps().wait(true); }
    ~UiWaitCursor() { GetUiOps().wait(false); }
    UiWaitCursor(const UiWaitCursor&) = delete;
    UiWaitCursor& operator=(const UiWaitCursor&) = delete;
};
