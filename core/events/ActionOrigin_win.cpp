// The one door of the person's origin (ActionOrigin.h).
#include "core/events/ActionOrigin.h"

#include <windows.h>

ActionOrigin PersonsAct::Of(uint32_t message, uintptr_t wParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_DROPFILES: return ActionOrigin(true);
    case WM_KEYDOWN:
    case WM_CHAR: return ActionOrigin(wParam == VK_RETURN || wParam == VK_SPACE);
    default: return kByEvent;
    }
}
