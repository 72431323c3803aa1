// Request 8: finding text from the current card on, as the Find Text command does, with the
// search's options from the request.
#include <string>

#include "core/ui/Alerts.h"
#include "layers/LayerList.h"
#include "host/menus/FindTextCommand.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestRules.h"
#include "host/requests/RequestSupport.h"
#include "objects/text/FindText_win.h"
#include "stack/cards/CardList.h"

namespace {

constexpr uint32_t kKeepPreviousText = 16;

HWND FieldWindow(uint16_t id) {
    LayerLock<FieldLayer> field(FindLayer(kObjectText, id));
    return field ? field->window : nullptr;
}

}  // namespace

void CbFindText(NbaParamBlock& b) {
    // Showing the match leaves the card, whose actions may reach the modules.
    SavedRequestBlock saved(b);
    bool matched = false;
    FoundText found;
    if (GetFindState()) {
        FindState state = ReadFindState();
        const std::string text = CallerPString(b.param1);
        if (!(b.param2 & kKeepPreviousText) || FindTextLength(state) == 0)
            SetFindText(state, text);
        state.flags = FindFlagsOfRequest(b.param2);
        if (FindTextLength(state) > 0) {
            matched = FindTextInStack(state, GetCurrentCardRecord(), &found);
            WriteFindState(state);
            if (matched)
                ShowFoundText(found);
            else
                ShowAlert(kAlertNoMatchFound);
        }
    }
    saved.Restore();
    b.param2 = matched ? 1 : 0;
    if (matched) {
        b.param3 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(FieldWindow(found.objectId)));
        b.param4 = found.offset;
    }
}
