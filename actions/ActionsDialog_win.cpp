// MINIMAL until the actions dialog is built: the installed answer stands in for the person.
#include "actions/ActionsDialog.h"

namespace {

ActionsDialogAnswer g_answer = nullptr;

}  // namespace

void SetActionsDialogAnswer(ActionsDialogAnswer answer) { g_answer = answer; }

int EditObjectActions(Handle record, uint32_t offset, int variant) {
    return g_answer ? g_answer(record, offset, variant) : 2;
}

int EditButtonActions(Handle) { return 2; }
int NewButtonActions(Handle) { return 1; }
