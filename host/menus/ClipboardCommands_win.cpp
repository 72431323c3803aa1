// The Edit menu's undo and clipboard commands.
#include "host/menus/ClipboardCommands.h"

#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "host/menus/MenuSubjects.h"
#include "host/player/CardNavigation.h"
#include "objects/ObjectServices.h"
#include "objects/PasteObjects.h"
#include "objects/text/ActiveTextField.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "stack/cards/CardEdit.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/clipboard/ClipboardBitmaps.h"
#include "authoring/cards/ClipboardPaste.h"
#include "authoring/cards/UndoPerform.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/undo/Undo.h"

namespace {

// Copy of whatever is selected: the object, the rectangle selection or the masked selection.
void CopySelection() {
    if (const LayerHandle object = GetSelectedObject()) {
        CopyObjectToClipboard(object);
        return;
    }
    if (IsRectSelectionActive()) {
        RECT rect{};
        CopyRectSelection(&rect);
        HBITMAP bitmap = nullptr;
        RECT same = rect;
        SwapRectSelection(&same, &bitmap);  // borrowed for the copy, given back below
        if (bitmap)
            PutBitmapOnClipboard(bitmap, rect.left, rect.top);
        same = rect;
        SwapRectSelection(&same, &bitmap);
        return;
    }
    HBITMAP pixels = nullptr, mask = nullptr;
    int x = 0, y = 0;
    if (GetMaskSelection(&pixels, &mask, &x, &y, nullptr))
        CopyPaintSelection(pixels, mask, nullptr, x, y);
}

// The owners of the selections act on Cut and Clear themselves.
void EditSelection(HWND window, int command) {
    if (GetSelectedObject())
        SelectedObjectEditCommand(window, command);
    else if (IsRectSelectionActive())
        RectSelectionEditCommand(window, command);
    else
        MaskSelectionEditCommand(window, command);
}

// The selected object and the paint selections come before the text of the active field.
bool OtherSelection() { return GetSelectedObject() || IsRectSelectionActive() || HasFloatingSelection(); }

}  // namespace

bool RunClipboardCommand(HWND window, int command) {
    switch (command) {
    case 150: PerformUndo(window); return true;
    case 151:
        if (!OtherSelection()) {
            TextFieldEditCommand(window, command);
            return true;
        }
        CopySelection();
        EditSelection(window, command);
        return true;
    case 152:
        if (OtherSelection())
            CopySelection();
        else
            TextFieldEditCommand(window, command);
        return true;
    case 153: PasteFromClipboard(window); return true;
    case 154:
        if (OtherSelection())
            EditSelection(window, command);
        else if (GetPaintTextActive())
            TypePaintTextChar(window, '\b');
        else
            TextFieldEditCommand(window, command);
        return true;
    case 157: DeleteCurrentCard(true); return true;
    case 158: CutCard(); return true;
    case 159: CopyCardToClipboard(); return true;
    default: return false;
    }
}
