// The handlers of the actions menu's choices (ActionChoices_win.cpp), called by DoActionChoice.
#pragma once

#include <windows.h>

#include <cstdint>

#include "actions/ActionBlock.h"
#include "core/memory/Handles.h"
#include "layers/ObjectLayer.h"

// The object a choice is for, with the record holding its actions (the card record and the
// button's offset, or a copy of the 'Actn' resource at offset 0).
struct ActionChoiceTarget {
    HWND window;
    LayerHandle layer;
    uint16_t kind;
    Handle record;
    uint32_t offset;
};
// Runs the handler of code (49 to 65, 69) on the block; non-zero when the actions changed.
int RunActionChoice(const ActionChoiceTarget& target, int code, ActionBlock* block);
// Style (66), icons (67) and features (68): the object's own dialogs, without its actions.
int RunObjectCommandChoice(HWND window, LayerHandle layer, uint16_t kind, int code);

// Declared with the menu (ActionMenu_win.cpp).
Handle GetObjectActionHandle(LayerHandle layer, uint32_t* outOffset, uint16_t* outId);
void StoreObjectActionId(LayerHandle layer, uint16_t kind, uint16_t actionId);
Handle BuildActionMenuList(HWND window, LayerHandle layer, uint16_t kind, int* outCount);
int DoActionChoice(HWND window, int code);
// The object's actions as menu items after a separator, each by its text's string id (a
// context-menu number that comes back as its choice); the last, where it goes, after a
// separator of its own. Nothing is appended
// when its actions cannot be read; false when an item could not be.
bool AppendObjectActionItems(HMENU menu, LayerHandle layer);
// A sub-menu under the title offering every kind of action: the places to go, then the things
// to do. False (and nothing appended) when it could not be made.
bool AppendActionKindsMenu(HMENU menu, const char* title);
