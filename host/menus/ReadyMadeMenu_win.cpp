// What ready-made cards, card import, saved object files and the information dialogs ask of the
// layers above the stack: navigation, opening a stack, preferences, the actions editor and the
// cursor chooser.
#include <windows.h>

#include "actions/ActionBlock.h"
#include "actions/ActionsDialog.h"
#include "core/ui/Alerts.h"
#include "core/system/ChangeFlags.h"
#include "host/navigation/CardNavigation.h"
#include "host/dialogs/Preferences.h"
#include "objects/ButtonIcons.h"
#include "objects/ObjectInfo.h"
#include "objects/TextLinks.h"
#include "stack/edit/CardImport.h"
#include "stack/dialogs/InfoDialogs.h"
#include "stack/edit/ReadyMadeMenu.h"
#include "stack/save/SaveStack.h"
#include "stack/open/StackOpen.h"

namespace {

bool StackIsFresh() { return !IsCardChanged() && !StackHasFile(); }

int OpenInstead() {
    LeaveCard(false);
    return LoadStackFile();
}

void GoTo(uint16_t id) { GoToCardId(id, kPlainTransition, 0, kPlainSpeed); }
int Alert(uint32_t id) { return ShowAlert(id); }

uint16_t ChosenIcon() {
    const IconSelection* selection = GetIconSelection();
    return selection ? selection->id : 0;
}

bool HoldsActions(Handle record) {
    ActionBlock block{};
    if (!LoadActionBlock(record, 0, &block))
        return false;
    const bool any = block.soundId || block.soundIsFile || block.animationData || block.destination ||
                     block.logoScript || block.nbaData || block.nbaId || block.launchOption || block.timerValue ||
                     block.testingChoice || block.movieSet || block.urlSet;
    DisposeActionBlockData(&block);
    return any;
}

void ReadPreference(const char* section, const char* key, char* buffer, int size) {
    ReadPrefString(section, key, buffer, size);
}
void WritePreference(const char* section, const char* key, const char* value) {
    WritePrefString(section, key, value);
}

const bool g_installed = [] {
    SetCardImportNeighbours({StackIsFresh, OpenInstead, GoTo, ShowImportCount, Alert, FlushCardEdits,
                             UpdateLinkResource});
    SetInfoDialogNeighbours({EditObjectActions, ChooseIconIfChecked, ChosenIcon, MapButtonIconId,
                             ClearIconSelection, HoldsActions, ReadPreference, WritePreference});
    return true;
}();

}  // namespace
