// Find Text: the command and the match shown.
#include "host/menus/FindTextCommand.h"

#include "core/ui/Alerts.h"
#include "layers/ObjectLayer.h"
#include "host/player/CardNavigation.h"
#include "host/player/CardRefresh.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/FindText_win.h"
#include "stack/StackOpenSession.h"

namespace {

bool KeyDown(int key) { return GetKeyState(key) < 0; }

}  // namespace

int DoFindTextCommand(HWND window, Handle currentCard, bool fromShortcut) {
    if (!GetFindState())
        return kFindNoState;
    FindState state = ReadFindState();
    if (fromShortcut && KeyDown(VK_SHIFT) && !KeyDown(VK_MENU) && FindTextLength(state) > 0)
        state.flags |= kFindAgain;
    if (!(state.flags & kFindAgain)) {
        if (!RunFindTextDialog(window, state))
            return 0;
        WriteFindState(state);
    }
    if (FindTextLength(state) == 0)
        return 0;
    FoundText found;
    const bool matched = FindTextInStack(state, currentCard, &found);
    WriteFindState(state);
    if (matched)
        ShowFoundText(found);
    else
        ShowAlert(kAlertNoMatchFound);
    return 0;
}

bool ShowFoundText(const FoundText& found) {
    if (found.cardId != GetCurrentCardId())
        GoToCardId(found.cardId);
    else
        EndTextEditing(GetActiveTextField());
    const auto start = static_cast<int32_t>(found.offset);
    return SelectFieldRange(found.objectId, found.options, start, start + static_cast<int32_t>(found.length));
}
