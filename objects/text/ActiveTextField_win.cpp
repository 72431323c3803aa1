// The active text field's selection.
#include "objects/text/ActiveTextField.h"

int ActiveFieldHasSelection() {
    HWND window = nullptr;
    {
        LayerLock<FieldLayer> field(GetActiveTextField());
        if (!field || field->common.kind != kObjectText || !IsWindow(field->window))
            return 0;
        window = field->window;
    }
    // EM_GETSEL: any edit control answers it.
    DWORD start = 0, end = 0;
    SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end != start ? 1 : 0;
}
