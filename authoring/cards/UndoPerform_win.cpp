// PerformUndo: the paint-selection kinds, object moves and background imports are undone here,
// where the selections, layers and palette are; every other kind by the stack itself
// (PerformRecordUndo).
#include "authoring/cards/UndoPerform.h"

#include <windows.h>

#include "core/system/ChangeFlags.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/pixels/OffscreenDib.h"
#include "paint/PaintTools.h"
#include "paint/PasteUndoSelections.h"
#include "paint/Selections.h"
#include "authoring/cards/UndoServices.h"
#include "stack/undo/Undo.h"
#include "stack/undo/UndoState.h"

namespace {

void RestoreMaskSelection(void* window) {
    RestoreUndoSnapshot();
    UndoReplaceMaskSelection(window, GetUndoField(kUndoBitmap1), GetUndoField(kUndoBitmap2),
                             GetUndoField(kUndoBitmap3), static_cast<int>(GetUndoField(kUndoMaskX)),
                             static_cast<int>(GetUndoField(kUndoMaskY)));
    EndUndoStep();
    SelectToolNumber(kLassoTool);
}

void RestoreRectSelection(int kind) {
    if (kind == 16)
        FreeMaskSelection();
    RestoreUndoSnapshot();
    int32_t rect[4];
    ReadUndoRect(kUndoSelectRect, rect);
    UndoRestoreRectSelection(rect, GetUndoField(kUndoSelectBitmap));
    EndUndoStep();
    SelectToolNumber(kRectSelectTool);
}

void UndoObjectMove() {
    const uint16_t kind = static_cast<uint16_t>(GetUndoField(kUndoObjectKind, 2));
    const uint16_t id = static_cast<uint16_t>(GetUndoField(kUndoObjectId, 2));
    int32_t rect[4];
    ReadUndoRect(kUndoObjectRect, rect);
    if (!SwapObjectLayerRect(kind, id, rect))
        return;
    WriteUndoRect(kUndoObjectRect, rect);
    MarkStackChanged();
}

// Kind 36: the picture and palette before the import and the present ones change places.
void ImportBackgroundSwap() {
    const DibHandle present = OffscreenToDib();
    const uint32_t presentPalette = CurrentCardPaletteCopy();
    RestoreUndoSnapshot();
    MarkStackChanged();
    if (const uint32_t saved = GetUndoField(kUndoPalette))
        ApplyUndonePalette(saved);  // the application palette owns it now
    Handle old = static_cast<Handle>(GetUndoField(kUndoSnapshot));
    DisposeHandleAndClear(&old);
    SetUndoField(kUndoSnapshot, static_cast<uint32_t>(present));
    SetUndoField(kUndoPalette, presentPalette);
    if (!present) {
        ClearUndo();
        return;
    }
    SelectToolNumber(GetUndoField(kUndoTool));
}

}  // namespace

void PerformUndo(void* cardWindow) {
    if (!UndoStepApplies())
        return;
    const int kind = GetUndoKind();
    switch (kind) {
    case 1:
        RestoreUndoSnapshot();
        SetPaintTextCaretPos(static_cast<int>(GetUndoField(kUndoValue1)), static_cast<int>(GetUndoField(kUndoValue2)));
        SelectToolNumber(GetUndoField(kUndoTool));
        break;
    case 2: case 4: case 18: case 19: case 21: case 24: case 30: case 31: case 33: RestoreMaskSelection(cardWindow); break;
    case 3: {
        int x = static_cast<int>(GetUndoField(kUndoMoveX)), y = static_cast<int>(GetUndoField(kUndoMoveY));
        SwapMaskSelectionPosition(&x, &y);
        SetUndoField(kUndoMoveX, static_cast<uint32_t>(x));
        SetUndoField(kUndoMoveY, static_cast<uint32_t>(y));
        SelectToolNumber(kLassoTool);
        break;
    }
    case 5: case 6: {
        int32_t rect[4];
        ReadUndoRect(kUndoSelectRect, rect);
        if (kind == 5) {
            UndoSwapRectSelectionRect(rect);
        } else {
            uint32_t bitmap = GetUndoField(kUndoSelectBitmap);
            UndoSwapRectSelection(rect, &bitmap);
            SetUndoField(kUndoSelectBitmap, bitmap);
        }
        WriteUndoRect(kUndoSelectRect, rect);
        SelectToolNumber(kRectSelectTool);
        break;
    }
    case 7: case 8: case 16: case 17: case 22: case 25: case 32: RestoreRectSelection(kind); break;
    case 9: case 10:
        FlipRectSelection(kind == 9 ? 'U' : 'S');
        SelectToolNumber(kRectSelectTool);
        break;
    case 12: UndoObjectMove(); break;
    case 36: ImportBackgroundSwap(); break;
    default: PerformRecordUndo(kind); break;
    }
    if (cardWindow)
        InvalidateRect(static_cast<HWND>(cardWindow), nullptr, FALSE);
    InvalidateFatbits();
}
