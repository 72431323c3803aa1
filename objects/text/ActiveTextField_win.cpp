// The active text field: its selection and id, the current field name, the end of its editing.
#include "objects/text/ActiveTextField.h"

#include <vector>

#include "layers/LayerList.h"
#include "objects/ObjectServices.h"
#include "stack/cards/CardList.h"

namespace {

std::string g_fieldName(1, '\0');

}  // namespace

int ActiveFieldHasSelection() {
    HWND window = ActiveFieldWindow();
    if (!window)
        return 0;
    // EM_GETSEL: any edit control answers it.
    DWORD start = 0, end = 0;
    SendMessageA(window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end != start ? 1 : 0;
}

uint16_t GetActiveFieldId() {
    for (LayerHandle layer : {GetActiveTextField(), GetSelectedObject()}) {
        LayerLock<> lock(layer);
        if (lock)
            return lock->id;
    }
    return 0;
}

HWND ActiveFieldWindow() {
    LayerLock<FieldLayer> field(GetActiveTextField());
    if (!field || field->common.kind != kObjectText || !IsWindow(field->window))
        return nullptr;
    return field->window;
}

void SetCurrentFieldName(LayerHandle field) {
    uint16_t id = 0;
    {
        LayerLock<> lock(field);
        if (!lock || lock->kind != kObjectText)
            return;
        id = lock->id;
    }
    Handle record = GetCurrentCardRecord();
    uint32_t offset = 0;
    std::string name;
    if (FindObject(kObjectText, id, &record, &offset)) {
        const std::vector<uint8_t> bytes = HandleToBytes(record);
        if (offset < bytes.size())
            name = FieldRecordName(std::span(bytes).subspan(offset));
    }
    SetCurrentFieldName(name);
}

void SetCurrentFieldName(const std::string& name) { g_fieldName = name.empty() ? std::string(1, '\0') : name; }

const std::string& GetCurrentFieldName() { return g_fieldName; }

void EndTextEditing(LayerHandle field) {
    HWND window = nullptr;
    {
        LayerLock<FieldLayer> lock(field);
        if (!lock || lock->common.kind != kObjectText)
            return;
        window = lock->window;
    }
    if (IsWindow(window))
        TextHideSelection(window, true);
    if (field == GetActiveTextField())
        ClearActiveTextField();
}

void MarkFieldModified(LayerHandle field) {
    LayerLock<FieldLayer> lock(field);
    if (lock && lock->common.kind == kObjectText)
        lock->modified = 1;
}
