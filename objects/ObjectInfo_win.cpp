// The cursor box of the information dialogs. MINIMAL until the icon and cursor chooser is built.
#include "objects/ObjectInfo.h"

#include "objects/buttons/ButtonIcons.h"

namespace {

IconChooserAnswer g_answer = nullptr;

}  // namespace

void SetIconChooserAnswer(IconChooserAnswer answer) { g_answer = answer; }

void ChooseIconIfChecked(HWND dialog, int item, uint16_t cursorId) {
    if (IsDlgButtonChecked(dialog, item) != BST_CHECKED) {
        ClearIconSelection();
        return;
    }
    const uint16_t chosen = g_answer ? g_answer(cursorId) : 0;
    if (chosen != 0) {
        IconSelection* selection = GetIconSelection();
        if (selection) {
            selection->mode = 0;
            selection->fromStack = 1;
            selection->id = chosen;
        }
    } else if (cursorId == 0) {
        CheckDlgButton(dialog, item, BST_UNCHECKED);
    }
}
