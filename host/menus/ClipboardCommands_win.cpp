// The Edit menu's undo and clipboard commands, and the clipboard's neighbours in the plug-in.
#include "host/menus/ClipboardCommands.h"

#include "graphics/layers/LayerList.h"
#include "host/navigation/CardNavigation.h"
#include "host/window/CurrentTool.h"
#include "host/menus/MenuSubjects.h"
#include "objects/ObjectServices.h"
#include "objects/PasteObjects.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "stack/cards/CardEdit.h"
#include "stack/pictures/CardPictureConvert.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/clipboard/ClipboardBitmaps.h"
#include "stack/clipboard/ClipboardNeighbours.h"
#include "stack/undo/Undo.h"

namespace {

HBITMAP AsBitmap(uint32_t v) { return reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(v)); }

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

const bool g_installed = [] {
    ClipboardNeighbours n = GetClipboardNeighbours();
    n.currentTool = GetCurrentTool;
    n.selectTool = SelectToolNumber;
    n.flushCardEdits = FlushCardEdits;
    n.syncCardFromLayers = SyncCardFromLayers;
    n.convertCardGraphicsDepth = ConvertCardGraphicsDepth;
    n.pasteObjectOntoCard = [](void* window) { PasteObjectOntoCard(static_cast<HWND>(window)); };
    n.textFieldActive = [] { return GetMenuSubjects().activeField; };
    n.paintTextActive = GetPaintTextActive;
    n.textFieldPaste = [](void* window) { return TextFieldPaste(static_cast<HWND>(window)); };
    n.pasteTextNoun = GetPasteTextNoun;
    n.floatRectSelection = [](uint32_t bitmap, int x, int y) { FloatRectSelectionBitmap(AsBitmap(bitmap), x, y); };
    n.placeMaskSelection = [](uint32_t source, uint32_t mask, uint32_t outline, int x, int y) {
        PlaceMaskSelection(AsBitmap(source), AsBitmap(mask), AsBitmap(outline), x, y);
    };
    SetClipboardNeighbours(n);
    return true;
}();

}  // namespace

bool RunClipboardCommand(HWND window, int command) {
    switch (command) {
    case 150: PerformUndo(window); return true;
    case 151:
        CopySelection();
        EditSelection(window, command);
        return true;
    case 152: CopySelection(); return true;
    case 153: PasteFromClipboard(window); return true;
    case 154: EditSelection(window, command); return true;
    case 157: DeleteCurrentCard(true); return true;
    case 158: CutCard(); return true;
    case 159: CopyCardToClipboard(); return true;
    default: return false;
    }
}
