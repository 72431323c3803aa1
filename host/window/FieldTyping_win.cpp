// Typing on the card into the active text field.
#include "host/window/FieldTyping.h"

#include "actions/NbaModules.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "layers/ObjectLayer.h"
#include "objects/text/ActiveTextField.h"
#include "format/StackFile.h"

namespace {

constexpr WPARAM kIgnoredCharacter = 6;
// Key data of the keys RichEdit acts on when they go down: one repeat, their scan code.
constexpr LPARAM kEditKeyData = 0xE0001;
constexpr LPARAM kCharacterKeyData = 1;

// The modules' request block as it was, put back when the typing is done.
class KeptRequestBlock {
public:
    KeptRequestBlock() : block_(GetNbaParamBlock()) {
        if (block_)
            saved_ = *block_;
    }
    ~KeptRequestBlock() {
        if (block_)
            *block_ = saved_;
    }
    KeptRequestBlock(const KeptRequestBlock&) = delete;
    KeptRequestBlock& operator=(const KeptRequestBlock&) = delete;

private:
    NbaParamBlock* block_;
    NbaParamBlock saved_{};
};

bool IsTransparent(LayerHandle layer) {
    LayerLock<FieldLayer> field(layer);
    return field && (field->objectFlags & kTextTransparent);
}

}  // namespace

int TypeCharIntoActiveField(WPARAM character) {
    const LayerHandle layer = GetActiveTextField();
    HWND field = ActiveFieldWindow();
    if (!field || character == kIgnoredCharacter)
        return 0;
    KeptRequestBlock kept;
    if (character == VK_BACK || character == VK_RETURN) {
        SendMessageA(field, WM_KEYDOWN, character, kEditKeyData);
        SendMessageA(field, WM_CHAR, character, kEditKeyData);
    } else {
        SendMessageA(field, WM_CHAR, character, kCharacterKeyData);
    }
    // The card behind a transparent field must be current before the field draws over it.
    if (IsTransparent(layer))
        UpdateWindow(GetCardWindow());
    UpdateWindow(field);
    SetCurrentFieldName(layer);
    MarkCardChanged();
    MarkFieldModified(layer);
    return 1;
}
