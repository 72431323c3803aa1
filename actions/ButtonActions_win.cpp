// Minimal until actions are performed: the request context is set, as the action runner does
// before it starts, and nothing is performed yet.
#include "actions/ButtonActions.h"

#include "host/DownloadStreams.h"

int DoButtonActions(HWND /*cardWindow*/, uint16_t buttonId, uint32_t argument) {
    SetPendingButtonRequest(buttonId, argument);
    return 0;
}
