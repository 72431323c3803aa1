// The actions dialog and its two helpers: "BUTACT" and "OBJACT" edit the action block their
// caller owns (what an object does and where it goes), "TRANSITIONS" the transition on the way,
// and "ANOTHERCARD" the card a destination leads to, walked to while the dialog stays up.
//
//   ActionsDialog_win.cpp    RunActionsDialog, the check states, every command of the dialog
//   ActionsEdit_win.cpp      the ways in, each on its own block: EditObjectActions, EditButtonActions,
//                            NewButtonActions, CommitButtonActions, the runner host/wiring sets
//   TransitionsDialog_win.cpp RunTransitionsDialog
//   AnotherCard_win.cpp      the another-card sequence and "ANOTHERCARD"
#pragma once

#include <windows.h>

#include <cstdint>

#include "actions/ActionBlock.h"
#include "actions/ActionsDialog.h"
#include "core/memory/Handles.h"
#include "layers/ObjectLayer.h"

// ---- ActionsDialog_win.cpp ----
// The "Things to Do" boxes, kept between the dialog's runs.
struct ActionChecks {
    bool sound = false, movie = false, nba = false, animation = false;
    bool timer = false, testing = false, logo = false, url = false;
};
ActionChecks& GetActionChecks();
void SetActionDialogChecks(const ActionBlock& block);
// What an unchecked box leaves of the block; on Cancel every box counts as unchecked.
void ClearUncheckedActions(ActionBlock* block, const ActionChecks& checks, bool cancelled);
// The dialog loop on the caller's block over the card window: "OBJACT" for the arriving and
// leaving of a card or a stack, else "BUTACT". kActionsDialogOk or kActionsDialogCancelled.
// editedButton: a button's, the copy of its layer (a card walk may put a new copy there).
int RunActionsDialog(HWND window, ActionBlock& block, ActionsVariant variant, Handle* editedButton = nullptr);
// A special destination (the codes of "&Next card" to "&Last marked card") taken by the block:
// file-spec slot 8 no longer names another stack.
void TakeSpecialDestination(ActionBlock* block, int code);
// The block's sound chosen in the audio deck (the dialog's Sound box and the actions menu's
// Sounds); false when the deck was cancelled. A sound asked of the browser waits as the
// block's pending request.
bool ChooseActionSound(HWND window, ActionBlock* block);

// ---- ActionsEdit_win.cpp ----
// Whether a button's actions dialog is up.
bool IsEditingButton();
// The runner of actions/ActionsDialog.h.
int RunActionsDialogCall(int call, Handle record, uint32_t offset, int variant, ActionBlock* block);
// The menu's full dialog on a button: its layer copied into the edit copy, the record's actions
// loaded into *block, the dialog run on it; 1 and the new block when "Done" changed it (the
// button's record then holds it), else 0.
int CommitButtonActions(LayerHandle layer, Handle record, uint32_t offset, ActionBlock* block);
// The button's layer without the handles the layer owns (its next layer, region, icon and
// freehand bitmaps): what stays true of it when its card is left and entered again.
ButtonLayer PlainButtonCopy(const ButtonLayer& layer);
// After a card walk: when the edited button's copy went meanwhile, the kept copy becomes the
// edited button (and the button edit copy, which owns it).
void KeepEditedButton(const ButtonLayer& copy, Handle* edited);

// ---- TransitionsDialog_win.cpp ----
enum TransitionTitle : uint32_t { kTitleTransitions = 3000, kTitleHideItem = 3001, kTitleShowItem = 3002 };
// "TRANSITIONS" on the block's transition, effect value and speed: 1 OK, 2 Cancel (also when
// memory runs out), 55 "&Change Card". objectFlag: an object's hide or show transition (no fades
// offered; "&Try it" changes the object).
int RunTransitionsDialog(HWND window, ActionBlock& block, int objectFlag, uint32_t titleId, uint16_t objectKind,
                         uint16_t objectId);

// ---- AnotherCard_win.cpp ----
// The another-card sequence on the caller's block: "ANOTHERCARD", then "TRANSITIONS" (with
// "&Change Card" back to it); the walk ends on the card where it began. 1 when the block took
// the chosen card, else 0. editedButton: a button's layer copy, kept through the walk.
int RunAnotherCardSequence(HWND window, ActionBlock& block, Handle* editedButton);
// The "ANOTHERCARD" window while the sequence runs; null otherwise.
HWND GetEditedObject();
// Whether the sequence runs ("TRANSITIONS" then offers "&Change Card").
bool IsWalkingToAnotherCard();
// Whether the walk shows a stack other than the one it began in, which it closes again.
bool IsWalkAwayFromItsStack();
