// Offering messages to the modeless dialogs.
#include <array>

#include "core/events/MessageLoops.h"
#include "core/events/ModelessDialogs.h"

bool OfferToModelessDialogs(MSG* msg) {
    if (!msg)
        return false;
    // A dialog may leave the list while it handles the message: walk a copy.
    std::array<HWND, kMaxModelessDialogs> dialogs{};
    const int count = ModelessDialogCount();
    for (int i = 0; i < count; ++i)
        dialogs[i] = static_cast<HWND>(ModelessDialogAt(i));
    for (int i = 0; i < count; ++i)
        if (IsWindow(dialogs[i]) && IsDialogMessageA(dialogs[i], msg))
            return true;
    return false;
}
