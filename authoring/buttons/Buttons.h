// Authoring buttons, what this folder offers: new buttons and the button appearance dialog
// ("BUTTONDLG"), the spare record a new or edited button is made in, placing it on the card,
// and applying it to its layer and record. An edit is recorded for undo through authoring/cards.
//
//   SpareButton_win.cpp     the spare record, starting and committing an edit, the record
//                           written from a layer, applying to the layer, the first-button tip
//                           "NOVICE1"
//   ButtonPlacing_win.cpp   placing: the rectangle of shapes 0 to 4, the drawn or picked mask
//                           of shapes 5 to 7
//   ButtonDialog_win.cpp    "BUTTONDLG" and the automatic size
//   NoviceTip_win.cpp       "NOVICE1"
#pragma once

#include <windows.h>

#include <cstdint>

#include "actions/ActionBlock.h"
#include "core/memory/Handles.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"

// The spare record: a button layer and what the dialog and placing keep beside it.
struct SpareButton {
    ButtonLayer layer;
    int32_t showNameChoice;   // negative: the dialog's remembered choice
    int32_t highlightChoice;  // likewise
    uint32_t editedLayer;     // 1 when it edits an existing button (found by id)
    uint32_t shapeDrawn;      // a shape 5 to 7 exists
    uint32_t iconChanged;     // a new icon was chosen
    // The edited button by stack, card and id: found again after every dialog (a walk, a
    // timer or a module may leave its card or stack); kind 0 for a new button.
    LayerName subject;
    uint32_t iconInStack;     // its id when it is one of the stack's own icons ("In use"), else 0
    // The button's actions as its editor edits them: loaded from an existing button's record, a
    // new button's defaults; its handles are the spare's.
    ActionBlock actions;
};

// The spare record locked for one scope; false when the handle cannot be locked.
class SpareLock {
public:
    explicit SpareLock(Handle spare) : lock_(spare) {}
    explicit operator bool() const { return static_cast<bool>(lock_); }
    SpareButton* get() const { return reinterpret_cast<SpareButton*>(lock_.get()); }
    SpareButton* operator->() const { return get(); }
    ButtonLayer& layer() const { return get()->layer; }

private:
    HandleLock lock_;
};

// Placing modes.
enum : int { kPlaceNewButton = 1, kPlacePosition = 59, kPlaceGiveShape = 63 };
// "BUTTONDLG"'s results besides IDOK and IDCANCEL.
enum : int { kButtonDialogPosition = 59, kButtonDialogActions = 61 };

// ---- buttons/SpareButton_win.cpp ----
// Made with the card window, freed at shut-down.
void InitSpareButtonRecord();
void FreeSpareButtonRecord();
Handle GetSpareButton();
// The dialog's remembered defaults.
struct ButtonDefaults {
    int shape = kButtonShapeRounded;
    int nameColor = -1;  // -1 until the first new button
    int fillColor = -1;
    bool showName = true;
    bool highlight = true;
};
ButtonDefaults& CurrentButtonDefaults();

// With reset, fills the spare record for a new button (the next object id of the stack) and
// runs the dialog; without, reopens the dialog on the spare unchanged. True unless cancelled.
bool StartNewButton(HWND window, bool reset);
// Copies the button into the spare record and runs the appearance dialog (or, with actionsOnly,
// the actions dialog); true unless cancelled.
bool EditButtonAppearance(HWND window, LayerHandle layer, bool actionsOnly);
// Runs "BUTTONDLG" on the spare and does what its result asks; false when cancelled.
bool RunButtonDialog(HWND window, Handle spare);
// How an edit ends: with result IDOK and apply, an existing button is applied to its layer and
// a new one written to the card; IDCANCEL writes nothing. The edit link is cleared in every
// case. 1 when written.
int CommitButtonDialog(Handle spare, bool apply, int result);
// The actions dialog of the spare's button (a new one's: isNew), on the block the spare owns.
int RunSpareButtonActions(Handle spare, bool isNew);
// Writes the layer's button into the card record: appended with a new layer (isNew), else
// replacing the record of its id. The actions go in only when given (a new button's, just
// edited); otherwise the record keeps its own. A new icon that is one of the stack's own
// (iconInStack) is named by that id, never stored again. False when nothing was written.
bool ButtonLayerToRecord(const ButtonLayer& layer, bool isNew, bool iconChanged, const ActionBlock* actions = nullptr,
                         uint16_t iconInStack = 0);
// Applies the spare record to the layer of the button it edits (with an undo step); false,
// and nothing written, when that button is no longer on the current card.
bool ApplyButtonToLayer(Handle spare);
// Icons... of a button's actions menu: the chooser on the button's icon; 1 when one was chosen.
int ChooseButtonIcon(HWND window, LayerHandle layer);
// Whether an edit is open that has not been committed or cancelled.
bool IsButtonEditPending();
// The layer's being-edited word is cleared and the spare forgets it.
void ClearLayerEditLink();

// ---- buttons/ButtonPlacing_win.cpp ----
// Shows the spare on the card for placing in the mode (1 new, 59 position, 63 give a shape).
void StartButtonPlacement(Handle spare, int mode);
int NewButtonMouseDown(HWND window, int x, int y);
int NewButtonMouseMove(HWND window, int x, int y);
int NewButtonMouseUp(HWND window, int x, int y, bool ctrl);
int NudgeEditedButton(WPARAM key, bool shiftLatch);
// The placed button drawn over the card (the card's paint calls it).
void DrawPlacedButton(HWND window);
// The periodic tick's frame around the placed rectangle.
void DrawPlacedButtonFrame(HWND window, int phase);
bool IsPlacedButtonShown();
bool IsPlacingButton();
RECT PlacedButtonRect();
void CancelPlacedButton(HWND window);

// ---- buttons/NoviceTip_win.cpp ----
// "NOVICE1": change to the browse tool to test the button.
void ShowFirstButtonTip(HWND window);

// ---- buttons/ButtonDialog_win.cpp ----
// "BUTTONDLG" on the spare: IDOK, IDCANCEL, 59 (placing started in mode 59 or 1) or 61.
int RunButtonAppearanceDialog(HWND window, Handle spare);
// The automatic size of the spare's bounds, centred on the point.
void SizeButtonAutomatically(ButtonLayer* layer, POINT centre);
