// The three small colour dialogs over the 8 x 8 grid: "CTCOLOR" (the text colour), "ERASE"
// (erase the card to a colour) and "ECOLOR" (the eraser colour, and erasing the card); erasing
// the card itself; and the new stack's card-size question.
#include <windowsx.h>

#include "core/system/ChangeFlags.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "cardview/colors/ColorChooser.h"
#include "cardview/colors/Fcolors.h"
#include "cardview/colors/FcolorsLayout.h"
#include "layers/ObjectLayer.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/ObjectColors.h"
#include "paint/PaintTextRedraw.h"
#include "paint/PaintTools.h"
#include "resources/colors_ids.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/dialogs/StackSizeDialogs.h"
#include "stack/undo/Undo.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

constexpr int kChooserGridSide = 8;

enum class GridDialog { kText, kErase, kEraser };

// What a grid dialog opens on and ends with: its kind and the colour index chosen.
struct GridChoice {
    GridDialog kind = GridDialog::kText;
    uint16_t selection = 0;
};

enum GroupAnswer : int { kUngroupAndErase = 1, kEraseAll = 2 };
uint16_t WhiteIndex() {
    HPALETTE palette = GetAppPalette();
    const UINT white = palette ? GetNearestPaletteIndex(palette, RGB(255, 255, 255)) : 0;
    return white == CLR_INVALID ? 0 : static_cast<uint16_t>(white);
}

void KeepEraserColor(uint16_t selection) {
    SetStoredColorIndex(selection);
    RedrawDialogColorSwatch('e', static_cast<int16_t>(selection));
}

// A group card asks first; false when the erase is cancelled.
bool ConfirmEraseOfGroup(int ask) {
    const Handle card = GetCurrentCardRecord();
    if (!ask || !card || !HasBackgroundRecord(card))
        return true;
    const int answer = ShowAlert(IDA_ERASE_GROUP_CARD);
    if (answer == kUngroupAndErase)
        SwitchCardBackgroundMode(card);
    return answer == kUngroupAndErase || answer == kEraseAll;
}

// The whole offscreen filled with the stored colour.
void FillCardWithStoredColor() {
    if (GetStoredColorIndex() == kNoStoredColor)
        SetStoredColorIndex(WhiteIndex());
    HDC dc = AcquireOffscreenDC(nullptr);
    if (!dc)
        return;
    BITMAP info{};
    GetObject(GetOffscreenBitmap(), sizeof info, &info);
    {
        const COLORREF color = PaletteIndexToColor(GetStoredColorIndex());
        OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(color));
        OwnedGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
        SelectedObject b(dc, brush.get());
        SelectedObject p(dc, pen.get());
        Rectangle(dc, 0, 0, info.bmWidth, info.bmHeight);
    }
    ReleaseOffscreenDC(dc);
    NoteCardPicturePainted();
    if (HWND card = GetCardWindow())
        InvalidateRect(card, nullptr, TRUE);
    if (GetFatbitsZoom() != 1)
        InvalidateFatbits();
    MarkStackChanged();
}

INT_PTR CALLBACK GridDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    GridChoice* choice = KeptDialogState<GridChoice>(dialog, message, lParam);
    if (!choice)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        CenterWindowOnScreen(dialog);
        SetFocus(GetDlgItem(dialog, IDOK));
        return FALSE;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID != IDC_COLORS_GRID)
            return FALSE;
        DrawColorGridItem(item.hwndItem, item.hDC, kChooserGridSide, kChooserGridSide, choice->selection);
        return TRUE;
    }
    case WM_LBUTTONDOWN:
        MoveColorGridSelection(dialog, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), IDC_COLORS_GRID, kChooserGridSide,
                               kChooserGridSide, &choice->selection);
        return TRUE;
    case WM_LBUTTONDBLCLK:
        TrackColorPopup(dialog, static_cast<DWORD>(lParam), IDC_COLORS_GRID, &choice->selection, TRUE);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK || id == IDCANCEL || (id == IDC_ECOLOR_ERASE_SCREEN && choice->kind == GridDialog::kEraser))
            EndDialog(dialog, id);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

INT_PTR RunGridDialog(HWND parent, GridChoice& choice, const char* name) {
    return ResDialogBoxParam(parent, GridDlgProc, name, reinterpret_cast<LPARAM>(&choice));
}

// The erase dialogs start on the eraser colour, or on white for a pattern eraser.
GridChoice OpenOnEraserColor(GridDialog kind) {
    CacheBlackWhiteIndices();
    const uint16_t white = WhiteIndex();
    SetStoredColorIndex(white);
    const int16_t eraser = GetToolColor('e');
    return {kind, eraser < 0 ? white : static_cast<uint16_t>(eraser)};
}

// Erasing from a dialog is an undoable paint step.
void EraseWithUndo() {
    if (!ConfirmEraseOfGroup(1))
        return;
    RecordPaintUndo();
    FillCardWithStoredColor();
}

}  // namespace

void OpenTextColorDialog(HWND parent) {
    // One text colour: the paint text tool's, which the floating palette shows too.
    const int16_t text = GetToolColor('t');
    GridChoice choice{GridDialog::kText, text < 0 ? uint16_t{0} : static_cast<uint16_t>(text)};
    if (RunGridDialog(parent, choice, "CTCOLOR") != IDOK)
        return;
    RedrawDialogColorSwatch('t', static_cast<int16_t>(choice.selection));
    // The active text field's selection, the selected object and the paint text being typed
    // take it.
    const auto index = static_cast<int16_t>(choice.selection);
    ApplyTextColorIndex(index);
    SetSelectedObjectColor(index, 1);
    if (GetCurrentTool() == static_cast<uint32_t>(kPaintTextTool))
        RedrawPaintText();
}

void OpenEraseDialog(HWND parent) {
    GridChoice choice = OpenOnEraserColor(GridDialog::kErase);
    if (RunGridDialog(parent, choice, "ERASE") != IDOK)
        return;
    KeepEraserColor(choice.selection);
    EraseWithUndo();
}

void OpenEraserColorDialog(HWND parent) {
    GridChoice choice = OpenOnEraserColor(GridDialog::kEraser);
    const INT_PTR result = RunGridDialog(parent, choice, "ECOLOR");
    if (result != IDOK && result != IDC_ECOLOR_ERASE_SCREEN)
        return;
    KeepEraserColor(choice.selection);
    if (result == IDC_ECOLOR_ERASE_SCREEN)
        EraseWithUndo();
}

void EraseCardBackground(int ask) {
    if (ConfirmEraseOfGroup(ask))
        FillCardWithStoredColor();
}

int AskCardSizeForNewStack(HWND parent, int* width, int* height, int* depth) {
    if (!IsAdvancedUser())
        return 0;
    if (ShowAlertOn(parent, IDA_SAME_CARD_SIZE) == 1)
        return 0;
    return AskStackSizeAndColors(parent, kNewStackSizeMode, width, height, depth);
}
