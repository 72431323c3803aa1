// The runner of the actions dialog and the button edit copy (ActionsDialog.h).
#include "actions/ActionsDialog.h"

#include "actions/ActionServices.h"

namespace {

ActionsDialogRunner g_runner = nullptr;
Handle g_editCopy = 0;

int Run(int call, Handle record, uint32_t offset, int variant, ActionBlock* block) {
    return g_runner ? g_runner(call, record, offset, variant, block) : kActionsDialogCancelled;
}

}  // namespace

void SetActionsDialogRunner(ActionsDialogRunner runner) { g_runner = runner; }

int EditObjectActions(Handle record, uint32_t offset, int variant) {
    return Run(kActionsForObject, record, offset, variant, nullptr);
}
int EditButtonActions(Handle buttonCopy, ActionBlock& block) { return Run(kActionsForButton, buttonCopy, 0, 0, &block); }
int NewButtonActions(Handle buttonCopy, ActionBlock& block) { return Run(kActionsForNewButton, buttonCopy, 0, 0, &block); }

Handle GetButtonEditCopy() { return g_editCopy; }

void SetButtonEditCopy(Handle copy) {
    if (g_editCopy && g_editCopy != copy)
        DisposeHandle(g_editCopy);
    g_editCopy = copy;
}

void FreeButtonEditCopy() { SetButtonEditCopy(0); }
