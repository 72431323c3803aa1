// Find Text on the open stack: the state made at start-up, the walk over what the fields show,
// the "FIND_TEXT" dialog, and a match selected in its field.
#include "objects/text/FindText_win.h"

#include <cstring>

#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "layers/LayerList.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/FieldContents_win.h"
#include "resources/find_ids.h"
#include "format/StackFile.h"

namespace {

constexpr UINT kFindTextCommand = 207;

void CheckButton(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }

void FillDialog(HWND dialog, const FindState& state) {
    HWND edit = GetDlgItem(dialog, IDC_FIND_TEXT);
    SendMessageA(edit, EM_LIMITTEXT, kFindTextMax, 0);
    SetWindowTextA(edit, state.search);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    const bool all = state.flags & kFindAllFields;
    const bool editable = !all && (state.flags & kFindEditable);
    CheckButton(dialog, IDC_FIND_ALL, all);
    CheckButton(dialog, IDC_FIND_EDITABLE, editable);
    CheckButton(dialog, IDC_FIND_READONLY, !all && !editable);
    CheckButton(dialog, IDC_FIND_CASE, state.flags & kFindCaseSensitive);
    CheckButton(dialog, IDC_FIND_WRAP, state.flags & kFindWrap);
}

// The flags come from the controls alone: a search from the dialog is never a search again.
void ReadDialog(HWND dialog, FindState& state) {
    char text[kFindTextMax + 1] = {};
    GetDlgItemTextA(dialog, IDC_FIND_TEXT, text, sizeof text);
    SetFindText(state, std::span<const char>(text, strnlen(text, kFindTextMax)));
    uint16_t flags = 0;
    if (IsItemChecked(dialog, IDC_FIND_ALL))
        flags |= kFindAllFields;
    else if (IsItemChecked(dialog, IDC_FIND_EDITABLE))
        flags |= kFindEditable;
    else
        flags |= kFindReadOnly;
    if (IsItemChecked(dialog, IDC_FIND_CASE))
        flags |= kFindCaseSensitive;
    if (IsItemChecked(dialog, IDC_FIND_WRAP))
        flags |= kFindWrap;
    state.flags = flags;
}

// The dialog's parameter is its working copy, which OK fills and its caller writes back.
INT_PTR CALLBACK FindTextProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* working = KeptDialogState<FindState>(dialog, message, lParam);
    if (!working)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        FillDialog(dialog, *working);
        CenterWindowOnScreen(dialog);
        SetFocus(GetDlgItem(dialog, IDC_FIND_TEXT));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            ReadDialog(dialog, *working);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    default: break;
    }
    return FALSE;
}

}  // namespace

int InitFindState(HWND window) {
    if (AllocFindState())
        return 0;
    // A child window's "menu" is its id: only a frame has an item to grey.
    const bool frame = window && !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD);
    if (HMENU menu = frame ? GetMenu(window) : nullptr)
        EnableMenuItem(menu, kFindTextCommand, MF_BYCOMMAND | MF_GRAYED);
    return kFindNoState;
}

bool FindTextInStack(FindState& state, Handle currentCard, FoundText* found) {
    SaveCurrentFieldContents();
    return FindTextInCards(state, currentCard, StackTextIsMac(), found);
}

bool RunFindTextDialog(HWND owner, FindState& state) {
    FindState working = state;
    if (ResDialogBoxParam(owner, FindTextProc, "FIND_TEXT", reinterpret_cast<LPARAM>(&working)) != IDOK)
        return false;
    state = working;
    return true;
}

bool SelectFieldRange(uint16_t objectId, uint16_t options, int32_t start, int32_t end) {
    const LayerHandle layer = FindLayer(kObjectText, objectId);
    HWND window = nullptr;
    {
        LayerLock<FieldLayer> field(layer);
        if (!field || !IsWindow(field->window))
            return false;
        window = field->window;
    }
    if (options & kTextReadOnly)
        SetFieldReadOnlyStyle(window, true);
    TextSetSel(window, start, end, true);
    TextHideSelection(window, false);
    SetActiveTextField(layer);
    SetCurrentFieldName(layer);
    SetFocus(window);
    return true;
}
