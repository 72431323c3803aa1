// The actions dialog of graphic objects, text objects, stacks and cards.
#pragma once

#include <cstdint>

#include "core/memory/Handles.h"

// Edits the action record at offset of the handle in the actions dialog; variant names the
// owner (2 card arriving/leaving, 3 stack arriving/leaving, 6 stack clicking, 8 card clicking,
// ...). 1 when done, 2 when cancelled.
int EditObjectActions(Handle record, uint32_t offset, int variant);

// The actions dialog of a button being edited or made: the copy is the button editor's spare
// record. EditButtonActions gives 1 when the edit is to be committed; NewButtonActions runs
// the dialog of a new button (its actions commit or cancel the new button).
int EditButtonActions(Handle buttonCopy);
int NewButtonActions(Handle buttonCopy);

// MINIMAL until the actions dialog is built: the dialog is answered by the installed answer,
// else cancelled. host/wiring installs none; tests/stack/dialogs/InfoDialogs_win_test.cpp does.
using ActionsDialogAnswer = int (*)(Handle record, uint32_t offset, int variant);
void SetActionsDialogAnswer(ActionsDialogAnswer answer);
