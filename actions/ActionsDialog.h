// The actions dialog as the layers below the host reach it: the dialog itself lives in
// host/actions (it calls the navigation, the launch and address dialogs and the palettes), and
// one runner, filled by host/wiring/WireUpper_win.cpp, takes every call up to it.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"

struct ActionBlock;

// Whose actions the dialog edits, its variant. The arriving and leaving of a card or a stack
// have the dialog without destinations ("OBJACT"), the others "BUTACT"; every variant but a
// button's writes the edited record back on Done.
enum ActionsVariant : int {
    kActionsOfButton = 1,
    kActionsOfCardArriveLeave = 2,
    kActionsOfStackArriveLeave = 3,
    kActionsOfGraphicOrText = 5,  // a graphic or a text object
    kActionsOfStackClick = 6,
    kActionsOfTextLink = 7,
    kActionsOfCardClick = 8,
};

// Edits the action record at offset of the handle in the actions dialog of the variant.
// kActionsDialogOk when done, kActionsDialogCancelled when cancelled.
enum ActionsDialogResult : int { kActionsDialogOk = 1, kActionsDialogCancelled = 2 };  // IDOK, IDCANCEL
int EditObjectActions(Handle record, uint32_t offset, int variant);

// The actions dialog of a button being edited or made, on the block its editor owns: the copy is
// the button editor's spare record (a ButtonLayer block). EditButtonActions gives kActionsDialogOk
// when the edit was written to the button, found again by its stack, card and id;
// NewButtonActions starts the block from a new button's defaults (kActionsDialogOk keeps the new
// button, kActionsDialogCancelled removes it).
int EditButtonActions(Handle buttonCopy, ActionBlock& block);
int NewButtonActions(Handle buttonCopy, ActionBlock& block);

// Which of the three calls the runner carries out.
enum ActionsDialogCall : int { kActionsForObject = 0, kActionsForButton = 1, kActionsForNewButton = 2 };
// Until a runner is set every call is cancelled. block: the button editor's (null for an object's
// record, whose block the runner makes).
using ActionsDialogRunner = int (*)(int call, Handle record, uint32_t offset, int variant, ActionBlock* block);
void SetActionsDialogRunner(ActionsDialogRunner runner);

// The edit copy of a button whose actions the menu edits (a ButtonLayer copy); 0 when none.
// Setting one frees the one before (FreeButtonEditCopy in ActionServices.h frees it too).
Handle GetButtonEditCopy();
void SetButtonEditCopy(Handle copy);
