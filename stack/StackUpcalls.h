// What the stack layer (the card list, pictures, open, save, undo, clipboard, depth and the
// information dialogs) asks of the program above it: each slot is a call upward, its owner
// named beside it. host/wiring/WireStack_win.cpp fills it, whole, when the layers are wired.
// Until then (native builds, tests) the defaults do the least that keeps the stack whole:
// there is no tool, selection or layer list, going to a card only makes it current, and what
// has no owner built yet (menus, fonts, movies, extension modules) does nothing.
//
// What the stack reaches below it is called directly; the platform services its
// platform-free code uses are tables of their own (core/ui/UiOps.h: alerts, error messages,
// the wait cursor; stack/StackPlatform.h: the disk, GDI, the clipboard, the offscreen).
//
// Windows handles travel as void* or uint32_t so that platform-free code can hold them.
#pragma once

#include <cstdint>

#include "core/events/ActionOrigin.h"
#include "core/memory/Handles.h"
#include "core/ui/UiOps.h"  // ShowCardAlert, which callers above once had from here
#include "graphics/dib/Dib.h"
#include "format/StackFile.h"

// The fixed points of opening, starting, saving and closing a stack at which the layers above
// do their part, in the order the stack code reaches them. None has an answer.
enum class StackEvent {
    // Opening a stack.
    RemovingFiltersMenu,        // the filters menu of the stack going away (also a new stack)
    ForgettingRefusedDownload,  // the downloaded copy of the refused file (the current stack's slot)
    ClosingStackExtras,         // videodisc state and the text cursor kept, tied to the closed stack
    StartingEmptyStack,         // no stack is open: the system as for none
    // Applying a read or a new stack's settings.
    ApplyingMenuLock,           // the menus as ProgramStackSettings().menuLock says
    UpdatingCardTitle,          // the stack's name changed without a card number in the title
    // Starting a new stack.
    PushingCardHistory,         // the card being left goes into the history
    RemovingFinishedMovies,     // the old stack's movies that have ended
    GoingToFirstCard,           // the new stack's one card
    ResettingFontTable,         // the new stack starts with no fonts of its own
    NamingUntitled,             // the new stack takes the default name
    // Saving.
    StoringCardEdits,           // the current card's picture edits into its record
    StoringFontTable,           // the stack's fonts into 'FntL' 128
    SavedToItsFile,             // the stack now lives in the file slot 1 names (a Save, a Save As)
    // Closing the stack's resources.
    ClosingNbas,                // the stack's 'NBAs' modules not in a call get the close message (2)
    ClosingNbasFinally,         // the same at shut-down (a closing with a window): to every module
    CallingNbaMain,             // the Extras modules, when the closing has a window
    // Cards.
    FlushingCardEdits,          // pending edits into the current card, before a card is copied or added
    DepthCardConverted,         // one more card of a depth change: the progress window steps
};

struct StackUpcalls {
    // ---- pictures ----
    // Undo's snapshot of the offscreen written back (authoring/cards, which redraws the objects).
    void (*restoreSnapshot)(DibHandle snapshot);
    // RemapFrameAnimColors of the object at offset to an HPALETTE (the actions' frame animations).
    void (*remapFrameAnimColors)(Handle card, uint32_t offset, void* palette);
    // The current card rendered off screen, its layers drawn (cardview/card); 0 when it cannot be had.
    DibHandle (*renderCardToDib)();

    // ---- cards and going between them ----
    // GoToCardId: leaves the current card and enters the card of that id.
    void (*goToCardId)(uint16_t id, int transition, int effect, int speed);
    // RefreshCurrentCard: rebuilds and redraws the current card (transition mode 3).
    void (*refreshCurrentCard)(int redraw);
    // EraseCardBackground: fills the card picture with the erase colour.
    void (*eraseCardBackground)(int ask);
    // RunCardAction: performs an 'Actn' resource of the stack with a label from the string table.
    int (*runCardAction)(uint16_t actionId, ActionOrigin origin, int waitAfter, uint32_t labelStringId);

    // ---- opening, new stacks, saving ----
    // What happens to the stack as a whole, told to those above that keep state with it.
    void (*stackEvent)(StackEvent event);
    // The card size asked for a new stack, in the colour chooser's dialog (cardview/colors);
    // 0 when answered.
    int (*askCardSizeForNewStack)(int* width, int* height, int* depth);

    // ---- the LoomLogo workspace (logo) ----
    Handle (*produceWorkspace)();        // the workspace text, or 0
    void (*loadWorkspace)(Handle text);  // takes the handle (may be 0)

    // ---- selections and object layers ----
    // SyncCardFromLayers, FreeLayerList, BuildCardLayers of the current card (authoring/cards).
    void (*rebuildLayers)();
    // Before a rebuild of layers that object records must not lose: SyncCardFromLayers
    // (layers).
    void (*syncCardFromLayers)();
    void (*deselectObject)();  // the selected object's handles go (objects)
};

const StackUpcalls& GetStackUpcalls();
void SetStackUpcalls(const StackUpcalls& upcalls);
StackUpcalls DefaultStackUpcalls();
