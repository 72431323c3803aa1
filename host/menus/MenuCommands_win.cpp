#include "host/menus/MenuCommands.h"

#include "actions/ActionServices.h"
#include "actions/Animations.h"
#include "actions/NbaMenu.h"
#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "cardview/colors/ColorChooser.h"
#include "host/dialogs/PreferencesDialogs.h"
#include "layers/LayerList.h"
#include "cardview/card/CardRedraw.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/actions/ActionChoices.h"
#include "host/actions/ActionMenu.h"
#include "host/dialogs/AboutBox.h"
#include "host/dialogs/Printing.h"
#include "host/medialibrary/MediaBrowser.h"
#include "host/menus/ClipboardCommands.h"
#include "host/menus/FindTextCommand.h"
#include "host/menus/MenuCommandRules.h"
#include "host/menus/MenuSubjects.h"
#include "host/palettes/FcolorsWindow.h"
#include "host/palettes/ToolPalette.h"
#include "host/player/CardNavigation.h"
#include "host/player/StackOpening.h"
#include "host/state/DeferredCommands.h"
#include "host/state/MenuOptions.h"
#include "host/state/Preferences.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "objects/ObjectServices.h"
#include "objects/graphics/GraphicPlacing.h"
#include "objects/text/FormatMenus_win.h"
#include "authoring/text/TextStyleDialog_win.h"
#include "objects/text/ActiveTextField.h"
#include "paint/PaintTextRedraw.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/depth/StackDepth.h"
#include "authoring/cards/CardPictureFiles.h"
#include "authoring/graphics/GraphicFlip.h"
#include "authoring/graphics/GraphicMaking.h"
#include "authoring/graphics/PictureCrop.h"
#include "authoring/info/InfoDialogs.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "authoring/cards/ReadyMadeMenu.h"
#include "authoring/text/TextLinksDialog.h"
#include "authoring/graphics/GraphicCommands.h"
#include "format/StackFile.h"
#include "stack/open/StackOpen.h"
#include "stack/StackOpenSession.h"
#include "stack/save/SaveDialogs.h"

namespace {

// Hide Menu Bar: the card remembers whether it is shown with the menu bar, so entering it
// again brings the bar back as it was.
void RecordCardMenuBar(bool shown) {
    const Handle card = GetCurrentCardRecord();
    HandleLock lock(card);
    if (!lock || GetHandleSize(card) < kCardMenuBar + 2)
        return;
    SetU16(lock.bytes(), kCardMenuBar, shown ? 1 : 0);
    MarkCardChanged();
}

enum : int { kEditAppearance = 300, kAddButton = 306, kAddGraphic = 307, kAddText = 308 };
enum : UINT { kShowHiddenObjectsAlert = 2304, kTurnSelectionIntoGraphicAlert = 2318 };

void Prepare(HWND window, int raw) {
    if (StopsMediaFirst(raw)) {
        CloseCaptureWindow();
        MediaRemoveFinished(1, 1);
        StopFrameAnimations();
        ReleaseAnimPlayback();
    }
    if (EndsTextEdits(raw)) {
        EndPaintText();
        ClearActiveTextField();
    }
    if (GetSelectedObject() && DeselectsObject(raw, GetMenuSubjects().graphicPicture))
        DeselectObject(window);
    if (CommitsSelections(raw)) {
        bool keep = false;
        // Either paint selection, the rectangle too, may become the new graphic object.
        if (raw == kAddGraphic && (HasFloatingSelection() || IsRectSelectionActive()))
            keep = ShowAlert(kTurnSelectionIntoGraphicAlert) == 1;
        if (!keep) {
            CommitMaskSelection(window);
            CommitPaintSelection(window);
        }
    }
    CancelPlacedButton(window);
    CancelPlacedTextField(window);
    CancelPlacedGraphic(window);
}

// Hidden objects neither draw nor clip the card.
void ToggleObjectsShown(HWND window) {
    const bool shown = !ObjectsShown();
    SetObjectsShown(shown);
    if (shown)
        CreateClipRegion();
    else
        DeleteCardClipRegion();
    ShowTextFieldWindows(shown);
    InvalidateRect(window, nullptr, FALSE);
}

// Buttons, graphics and text objects are only made while the objects show. The text field
// windows stay hidden while a new object is made (showing the objects shows them too).
void AddObject(HWND window, int command) {
    ShowTextFieldWindows(false);
    if (!ObjectsShown() && ShowAlert(kShowHiddenObjectsAlert) == 1) {
        ToggleObjectsShown(window);
        ShowTextFieldWindows(false);
    }
    if (command == kAddText)
        BeginNewTextField(window, nullptr, nullptr);
    else if (command == kAddButton)
        StartNewButton(window, true);
    else if (command == kAddGraphic)
        MakeGraphicObjectCommand(window);
    else
        RunDeferredCommand(command);
}

// The stack's menu word (header +24): 0 when the stack keeps the menu bar.
uint16_t StackMenuWord() { return GetHandleWord(GetStackHeaderHandle(), kHeaderLocked); }

POINT CursorPoint() {
    POINT point{};
    GetCursorPos(&point);
    return point;
}

StyleTarget FormatCommand(int command) {
    const bool typing = GetPaintTextActive();
    if (command >= kLeftItem)
        return DoAlignMenu(command, typing);
    if (command >= kPlainItem)
        return DoStyleMenu(command, typing);
    if (command >= kFirstSizeItem)
        return DoSizeMenu(command, typing);
    return DoFontMenu(command, typing);
}

// Paint text being typed takes the style by being drawn again.
void FinishStyleCommand(StyleTarget target) {
    if (target == StyleTarget::PaintText) {
        RedrawPaintText();
        MarkStackChanged();
    } else if (target == StyleTarget::Nothing) {
        RedrawPaintText();
    }
}

bool RunEditAndOptions(HWND window, int command) {
    switch (command) {
    case 250: OpenToolsMenuPalette(window, nullptr); return true;
    case 402: {
        POINT at = CursorPoint();
        OpenToolPalette(window, &at);
        return true;
    }
    case kAddButton: case kAddGraphic: case kAddText: AddObject(window, command); return true;
    case 301: case 303: ShowInfoDialog(window, command == 303); return true;
    case 163: OpenEraseDialog(window); return true;
    case 359:
        RunTextStyleCommand(window);
        if (GetPaintTextActive())
            RedrawPaintText();
        return true;
    case 360: OpenTextColorDialog(window); return true;
    case 361: OpenEraserColorDialog(window); return true;
    case 401: {
        POINT at = CursorPoint();
        CreateFcolorsWindow(window, &at);
        return true;
    }
    case 352: ToggleDrawFilled(); RepaintToolPalette(); return true;
    case 353: ToggleDrawMultiple(); return true;
    case 354: ToggleDrawCentered(); return true;
    case 355:
        // Not forced: a kept sound-only movie plays on through the return to the normal view.
        StopFrameAnimations();
        MediaRemoveFinished(0, 1);
        SetFatbitsZoom(command);
        return true;
    case 356: case 357: case 358: SetFatbitsZoom(command); return true;
    case 364: ToggleObjectsShown(window); return true;
    case 365: RecordCardMenuBar(ToggleStackMenuBar(StackMenuWord())); return true;
    case 104: case 4183:
        // With an active field 104 imports text into it.
        if (command == 104 && GetActiveTextField())
            ImportTextIntoField(window, nullptr);
        else
            ImportBackgroundPicture(window, nullptr);
        return true;
    case 100: NewStack(); return true;
    case 155:
        // A blank card after the current one; Same Background (501) keeps the picture.
        if (IsStackOpen()) {
            CheckStackDepthAgainstDisplay();
            NewCard(true, false);
            MarkCardChanged();
        }
        return true;
    case 363: ConvertCardToDefaultPalette(window, TRUE); return true;
    case 106: OpenPictureCropDialog(window, 'C', nullptr, {}, true); return true;
    case 311: {
        const EditorGuard guard;
        EditTextLinks(window);
        return true;
    }
    case 160: case 161: FlipSelectedGraphic(command == 160 ? 'S' : 'U'); return true;
    case kEditAppearance: EditSelectedObject(window); return true;
    // Actions... (69) and N&one (58) open the whole dialog as the other action choices run,
    // through DoActionChoice; Features... (68) of the selected object:
    case 68:
        // A button's features are kept with its actions' choices.
        if (const LayerHandle selected = GetSelectedObject(); LayerLock<>(selected) && LayerLock<>(selected)->kind == kObjectButton)
            RunObjectCommandChoice(window, selected, kObjectButton, kChoiceFeatures);
        else
            EditSelectedObjectFeatures(window);
        return true;
    case 304: ReorderSelectedObject(window, 'C'); return true;
    case 305: ReorderSelectedObject(window, 'F'); return true;
    case kMediaLibCommand: OpenMediaLib(); return true;
    default:
        if (command >= 1100 && command <= 1381) {
            FinishStyleCommand(FormatCommand(command));
            return true;
        }
        if (IsDeferredMenuCommand(command)) {
            RunDeferredCommand(command);
            return true;
        }
        return false;
    }
}

bool RunFileAndMove(HWND window, int command, int source) {
    switch (command) {
    case 101: OpenStack(true); return true;
    case 102: SaveStackCommand(); return true;
    case 103: SaveStackAs(); return true;
    case 110: return true;  // no frame window to close in the browser
    case 200: GoBackInHistory(); return true;
    case 201: GoHomeStack(); return true;
    case 202: GoFirstCard(); return true;
    case 203: GoPrevCard(); return true;
    case 204: GoNextCard(); return true;
    case 205: GoLastCard(); return true;
    case 206: OpenJumpToCardDialog(window); return true;
    case 207: DoFindTextCommand(window, GetCurrentCardRecord(), source == 1); return true;
    case 651: ShowAboutBox(window); return true;
    case 107: case 108: case 109: RunPrintMenuCommand(window, command); return true;
    case 105:
        if (GetActiveTextField())
            ExportFieldText(window);
        else
            SaveCardPictureToFile(window);
        return true;
    case 652: EditPreferences(GetStackHeaderHandle()); return true;
    default: return false;
    }
}

// Extension modules, ready-made cards, action choices and filters.
bool RunFallback(int command) {
    if (RunNbaCommand(GetMainWindow(), command))
        return true;
    if (command >= 500 && command <= 599) {
        HandleReadyMadeCardMenu(command);
        return true;
    }
    if (IsActionChoice(command)) {
        DoActionChoice(GetMainWindow(), command);
        return true;
    }
    if (command >= kFirstFilterCommand) {
        RunDeferredCommand(command);
        return true;
    }
    return false;
}

}  // namespace

bool DoMenuCommand(HWND window, int command, int source, int* zoomResult) {
    // Under an editor a command (the menu bar's, a module's, a palette's) waits until the last
    // editor has ended: one that needs only the stack is then done on that stack, any other only
    // on the card it was given on.
    const HeldScope scope = NeedsOnlyTheStack(NormalizeMenuCommand(command)) ? HeldScope::kStack : HeldScope::kCard;
    if (HoldUnderEditor(scope, [window, command, source] { DoMenuCommand(window, command, source); }))
        return true;
    const int raw = command;
    command = NormalizeMenuCommand(raw);
    if (!IsActionChoice(command))
        Prepare(window, raw);
    if (GetFatbitsZoom() != 1 && LeavesMagnifiedView(raw)) {
        SetFatbitsZoom(kNormalView);
        if (zoomResult)
            *zoomResult = 0;
    }
    return RunClipboardCommand(window, command) || RunEditAndOptions(window, command) ||
           RunFileAndMove(window, command, source) || RunFallback(command);
}
