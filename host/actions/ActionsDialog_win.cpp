// "BUTACT" and "OBJACT": the actions dialog loop on the block its caller owns (ActionsEditor.h).
#include <array>

#include "actions/ActionBlock.h"
#include "actions/ActionsDialog.h"
#include "actions/NbaChooser.h"
#include "actions/TestingButtons.h"
#include "actions/TimerButtons.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileSlots.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "graphics/palette/AppPalette.h"
#include "host/actions/ActionMenu.h"
#include "host/actions/ActionsEditor.h"
#include "host/launching/LaunchPrograms.h"
#include "host/palettes/ToolPalette.h"
#include "media/MediaDialogs.h"
#include "media/video/VideoAction.h"
#include "resources/actions_ids.h"
#include "authoring/animation/AnimationEdit.h"
#include "stack/save/SaveDialogs.h"

namespace {

ActionChecks g_checks;

// What one run of the dialog edits, kept with the dialog: its caller's block, and for a button
// the copy of the button's layer, which a card walk may replace.
struct ActionsRun {
    ActionBlock& block;
    Handle* button;
};
ActionBlock& BlockOf(HWND dialog) { return DialogStateOf<ActionsRun>(dialog)->block; }

constexpr std::array<int, 9> kPlaces{IDC_ACT_ANOTHER_CARD, IDC_ACT_NEXT_CARD,      IDC_ACT_PREVIOUS_CARD,
                                     IDC_ACT_BACK,         IDC_ACT_HOME_STACK,     IDC_ACT_LAST_MARKED,
                                     IDC_ACT_ANOTHER_STACK, IDC_ACT_ANOTHER_PROGRAM, IDC_ACT_NONE};

struct CheckBox {
    int id;
    bool ActionChecks::*state;
};
constexpr std::array<CheckBox, 8> kBoxes{{
    {IDC_ACT_SOUND, &ActionChecks::sound},
    {IDC_ACT_VIDEO, &ActionChecks::movie},
    {IDC_ACT_NBA, &ActionChecks::nba},
    {IDC_ACT_ANIMATION, &ActionChecks::animation},
    {IDC_ACT_TIMER, &ActionChecks::timer},
    {IDC_ACT_TESTING, &ActionChecks::testing},
    {IDC_ACT_LOGO, &ActionChecks::logo},
    {IDC_ACT_URL, &ActionChecks::url},
}};

bool UsesObjectDialog(int variant) {
    return variant == kActionsOfCardArriveLeave || variant == kActionsOfStackArriveLeave;
}


void ReadChecks(HWND dialog) {
    for (const CheckBox& box : kBoxes)
        g_checks.*box.state = IsItemChecked(dialog, box.id);
}

// The radio of the block's destination.
int PlaceOf(const ActionBlock& block) {
    if (block.destination)
        return DestinationChoice(block.destination);
    return (block.launchOption & 1) ? IDC_ACT_ANOTHER_PROGRAM : IDC_ACT_NONE;
}

void ShowPlace(HWND dialog) {
    if (!GetDlgItem(dialog, IDC_ACT_NONE))
        return;
    const int place = PlaceOf(BlockOf(dialog));
    for (int id : kPlaces)
        SetItemChecked(dialog, id, id == place);
}

// 50 to 54: the transition of a special destination.
void ChooseSpecialPlace(HWND dialog, int id) {
    for (int place : kPlaces)
        SetItemChecked(dialog, place, place == id);
    if (RunTransitionsDialog(dialog, BlockOf(dialog), 0, kTitleTransitions, 0, 0) == IDOK)
        TakeSpecialDestination(&BlockOf(dialog), id);
    ShowPlace(dialog);
}

// The stack chosen stays only with the transitions dialog's OK: else the destination, and the
// stack it names, are the ones from before.
void ChooseOtherStack(HWND dialog) {
    FileSpecKeeper target(kSlotTargetStack);
    if (FileSpec chosen; ChooseStackFile(dialog, kSlotTargetStack, &chosen)) {
        PutFileSpec(kSlotTargetStack, chosen);
        if (RunTransitionsDialog(dialog, BlockOf(dialog), 0, kTitleTransitions, 0, 0) == IDOK) {
            BlockOf(dialog).destination = kDestOtherStack;
            target.Keep();
        }
    }
    ShowPlace(dialog);
}

void ChooseProgram(HWND dialog) {
    ActionBlock* block = &BlockOf(dialog);
    if (EditLaunchAction(dialog, &block->launchOption))
        block->destination = 0;
    ShowPlace(dialog);
}

void ChooseNothing(HWND dialog) {
    ActionBlock* block = &BlockOf(dialog);
    block->launchOption &= ~1u;
    block->destination = 0;
    ShowPlace(dialog);
}

void ChooseSound(HWND dialog) {
    ActionBlock* block = &BlockOf(dialog);
    if (!ChooseActionSound(dialog, block) && !block->soundId && !block->soundIsFile)
        SetItemChecked(dialog, IDC_ACT_SOUND, false);
}

void RunCheckCommand(HWND dialog, int id) {
    ActionBlock* block = &BlockOf(dialog);
    switch (id) {
    case IDC_ACT_URL:
        if (AskForUrl(dialog))
            block->urlSet = 1;
        else if (!block->urlSet)
            SetItemChecked(dialog, id, false);
        break;
    case IDC_ACT_SOUND: ChooseSound(dialog); break;
    case IDC_ACT_NBA:
        if (!RunNbaChooser(dialog, &block->nbaData, &block->nbaId, block->objectId) && !block->nbaData)
            SetItemChecked(dialog, id, false);
        break;
    case IDC_ACT_TIMER:
        RunTimerDialog(dialog, &block->timerMode, &block->timerValue);
        SetItemChecked(dialog, id, block->timerMode != kTimerOff);
        break;
    case IDC_ACT_TESTING:
        RunTestingDialog(dialog, &block->testingChoice);
        SetItemChecked(dialog, id, block->testingChoice != 0);
        break;
    default: break;
    }
}

void EndWith(HWND dialog, int id) {
    ReadChecks(dialog);
    EndDialog(dialog, id);
}

void OnCommand(HWND dialog, int id) {
    switch (id) {
    case IDC_ACT_NEXT_CARD: case IDC_ACT_PREVIOUS_CARD: case IDC_ACT_BACK: case IDC_ACT_HOME_STACK:
    case IDC_ACT_LAST_MARKED:
        ChooseSpecialPlace(dialog, id);
        break;
    case IDC_ACT_ANOTHER_STACK: ChooseOtherStack(dialog); break;
    case IDC_ACT_ANOTHER_PROGRAM: ChooseProgram(dialog); break;
    case IDC_ACT_NONE: ChooseNothing(dialog); break;
    case IDC_ACT_ANOTHER_CARD: EndWith(dialog, id); break;
    case IDC_ACT_VIDEO: case IDC_ACT_ANIMATION:
        if (IsItemChecked(dialog, id))
            EndWith(dialog, id);
        break;
    case IDOK: case IDCANCEL:
        ReadChecks(dialog);
        ClearUncheckedActions(&BlockOf(dialog), g_checks, id == IDCANCEL);
        EndDialog(dialog, id);
        break;
    default:
        if (IsItemChecked(dialog, id))
            RunCheckCommand(dialog, id);
        break;
    }
}

INT_PTR CALLBACK ActionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!KeptDialogState<ActionsRun>(dialog, message, lParam))
        return FALSE;
    switch (message) {
    case WM_INITDIALOG: {
        for (const CheckBox& box : kBoxes)
            SetItemChecked(dialog, box.id, g_checks.*box.state);
        // LoomLogo has no script editor: a stored script shows, and is kept, but cannot be edited.
        EnableWindow(GetDlgItem(dialog, IDC_ACT_LOGO), FALSE);
        ShowPlace(dialog);
        HWND place = GetDlgItem(dialog, PlaceOf(BlockOf(dialog)));
        if (place) {
            SetFocus(place);
            return FALSE;
        }
        return TRUE;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            OnCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        OnCommand(dialog, IDCANCEL);
        return TRUE;
    default: return FALSE;
    }
}

// The palettes cannot be used while the dialog is up.
class PalettesDisabled {
public:
    PalettesDisabled() : colors_(GetFcolorsWindow()), tools_(GetToolPaletteWindow()) {
        if (colors_)
            EnableWindow(colors_, FALSE);
        if (tools_)
            EnableWindow(tools_, FALSE);
    }
    ~PalettesDisabled() {
        if (colors_ && IsWindow(colors_))
            EnableWindow(colors_, TRUE);
        if (tools_ && IsWindow(tools_))
            EnableWindow(tools_, TRUE);
    }
    PalettesDisabled(const PalettesDisabled&) = delete;
    PalettesDisabled& operator=(const PalettesDisabled&) = delete;

private:
    HWND colors_;
    HWND tools_;
};

bool HasVideo(const ActionBlock& block) {
    return block.movieSet || (block.videodiscFlags & 4) || block.videodiscStart[0];
}

}  // namespace

ActionChecks& GetActionChecks() { return g_checks; }

void TakeSpecialDestination(ActionBlock* block, int code) {
    // The other stack an earlier destination named is no place of this one.
    if (FileSpec* spec = GetFileSpec(kSlotTargetStack)) {
        spec->path[0] = '\0';
        spec->name[0] = '\0';
    }
    block->destination = ChoiceDestination(code);
}

void SetActionDialogChecks(const ActionBlock& block) {
    g_checks.sound = block.soundId || block.soundIsFile;
    g_checks.movie = HasVideo(block);
    g_checks.nba = block.nbaData != 0;
    g_checks.animation = block.animationData != 0;
    g_checks.timer = block.timerMode != kTimerOff;
    g_checks.testing = block.testingChoice != 0;
    g_checks.logo = block.logoScript != 0;
    g_checks.url = block.urlSet != 0;
}

void ClearUncheckedActions(ActionBlock* block, const ActionChecks& checks, bool cancelled) {
    if (cancelled)
        DropPendingEffectRequest();
    if (cancelled || !checks.sound) {
        block->soundId = 0;
        block->soundIsFile = 0;
        DropPendingSoundRequest();
    }
    if (cancelled || !checks.nba) {
        DisposeHandleAndClear(&block->nbaData);
        DropPendingNbaRequest();
    }
    if (cancelled || !checks.testing)
        block->testingChoice = 0;
    if (cancelled || !checks.logo)
        DisposeHandleAndClear(&block->logoScript);
    if (cancelled || !checks.timer)
        block->timerMode = kTimerOff;
    if (cancelled || !checks.movie) {
        block->videodiscStart[0] = 0;
        block->videodiscFlags = 0;
        block->movieSet = 0;
    }
    if (cancelled || !checks.animation)
        DisposeHandleAndClear(&block->animationData);
    if (cancelled || !checks.url) {
        FreeUrlBuffer();
        block->urlSet = 0;
    }
}

bool ChooseActionSound(HWND window, ActionBlock* block) {
    AudioDeckChoice choice;
    choice.soundId = block->soundId;
    choice.typeFlags = block->soundFlags;
    choice.isFile = block->soundIsFile ? 1 : 0;
    if (choice.isFile)
        CopyPathText(PathOf(block->soundFile), choice.file, sizeof choice.file);
    choice.parameter = block->soundParameter;
    if (!RunAudioDeckDialog(window, &choice))
        return false;
    block->soundId = choice.soundId;
    block->soundFlags = choice.typeFlags;
    block->soundIsFile = choice.isFile;
    if (choice.isFile && PathOf(block->soundFile) != choice.file) {
        block->soundFile = EmptyFileSpec();
        SetFileSpecPath(&block->soundFile, choice.file);
    }
    block->soundParameter = choice.parameter;
    ResRequest request{};
    if (TakeAudioDeckRequest(&request))
        SetPendingSoundRequest(request, true);
    return true;
}

int RunActionsDialog(HWND window, ActionBlock& block, ActionsVariant variant, Handle* editedButton) {
    const EditorGuard guard;
    PalettesDisabled palettes;
    const char* name = UsesObjectDialog(variant) ? "OBJACT" : "BUTACT";
    ActionsRun run{block, editedButton};
    for (;;) {
        const INT_PTR result = ResDialogBoxParam(window, ActionsDialogProc, name, reinterpret_cast<LPARAM>(&run));
        switch (result) {
        case IDC_ACT_ANOTHER_CARD: RunAnotherCardSequence(window, block, editedButton); break;
        case IDC_ACT_VIDEO: {
            if (window) {
                InvalidateRect(window, nullptr, FALSE);
                UpdateWindow(window);
            }
            int chosen = 0, hadVideo = 0;
            if (!EditVideoAction(window, &block, &chosen, &hadVideo, block.objectId) && !HasVideo(block))
                g_checks.movie = false;
            break;
        }
        case IDC_ACT_ANIMATION:
            EditObjectAnimation(&block, 0);
            g_checks.animation = block.animationData != 0;
            break;
        case IDOK: return kActionsDialogOk;
        default: return kActionsDialogCancelled;
        }
    }
}
