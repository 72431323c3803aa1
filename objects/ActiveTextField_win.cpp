// MINIMAL (see ActiveTextField.h).
#include "objects/ActiveTextField.h"

#include <richedit.h>

LayerHandle GetActiveTextField() { return GetLayerKindProcs().activeTextField(); }

void ShowTextFieldWindows(bool /*show*/) {}

void ClipTextFieldWindows(const RECT& /*rect*/) {}

int ActiveFieldHasSelection() {
    LayerLock<FieldLayer> field(GetActiveTextField());
    if (!field || field->common.kind != kObjectText || !IsWindow(field->window))
        return 0;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageA(field->window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end != start ? 1 : 0;
}
