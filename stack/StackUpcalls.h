// What the stack layer (the card list, pictures, open, save, undo, clipboard, depth and the
// information dialogs) asks of the program above it or of the platform: host/wiring/
// WireStack_win.cpp fills it, whole, when the layers are wired. Until then (native builds,
// tests) the defaults do the least that keeps the stack whole: no alert is shown (result 0),
// there is no window, offscreen, tool, selection or layer list, going to a card only makes it
// current, the disk has unlimited room, every preference reads "Bad", and what has no owner
// built yet (menus, fonts, movies, extension modules) does nothing.
//
// Windows handles travel as void* or uint32_t so that platform-free code can hold them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/memory/Handles.h"
#include "graphics/dib/Dib.h"
#include "stack/format/StackFile.h"

// The fixed points of opening, starting, saving and closing a stack at which the layers above
// do their part, in the order the stack code reaches them. None has an answer.
enum class StackEvent {
    // Opening a stack.
    RemovingFiltersMenu,        // the filters menu of the stack going away (also a new stack)
    ForgettingRefusedDownload,  // the downloaded copy of the refused file (the current stack's slot)
    ClosingStackExtras,         // videodisc state, the clipboard's ties to the closed stack
    StartingEmptyStack,         // no stack is open: the system as for none
    // Applying a read or a new stack's settings.
    ApplyingMenuLock,           // the menus as ProgramStackSettings().menuLock says
    UpdatingCardTitle,          // the stack's name changed without a card number in the title
    RememberingHomeStack,       // the stack just read may be the home stack
    // Starting a new stack.
    PushingCardHistory,         // the card being left goes into the history
    RemovingFinishedMovies,     // the old stack's movies that have ended
    GoingToFirstCard,           // the new stack's one card
    ResettingFontTable,         // the new stack starts with no fonts of its own
    NamingUntitled,             // the new stack takes the default name
    // Saving.
    StoringCardEdits,           // the current card's picture edits into its record
    StoringFontTable,           // the stack's fonts into 'FntL' 128
    // Closing the stack's resources.
    ClosingNbas,                // the stack's 'NBAs' modules not in a call get the close message (2)
    ClosingNbasFinally,         // the same at shut-down (a closing with a window): to every module
    CallingNbaMain,             // the Extras modules, when the closing has a window
    // Cards.
    FlushingCardEdits,          // pending edits into the current card, before a card is copied or added
    DepthCardConverted,         // one more card of a depth change: the progress window steps
};

struct StackUpcalls {
    // ---- the platform ----
    // ShowAlert: the position of the pressed label (1 for the first), 0 when nothing was shown.
    int (*showAlert)(uint32_t stringId);
    void (*showErrorMessage)(int32_t code);
    // The wait cursor around a long step.
    void (*beginWait)();
    void (*endWait)();
    void* (*cardWindow)();
    // Free bytes on the disk of a path (clamped to 32 bits); false when unknown.
    bool (*freeSpace)(const char* path, uint32_t* bytes);
    // LMPREFS.INI: a missing key reads "Bad".
    void (*readPreference)(const char* section, const char* key, char* buffer, int size);
    void (*writePreference)(const char* section, const char* key, const char* value);
    // The preferences as saving and saved objects read them (the remembered save folder): every
    // key missing until they are given the preferences file.
    void (*readSavePreference)(const char* section, const char* key, char* buffer, int size);
    // DeleteObject of a bitmap or palette the caller owns.
    void (*deleteGdiObject)(uint32_t object);
    // The system clipboard: emptied, or emptied and given the marker.
    void (*clearSystemClipboard)();
    void (*setClipboardMarker)();

    // ---- the offscreen, palettes and pictures ----
    // A new DIB of the card offscreen as the stack keeps pictures (card width by card height
    // plus the two extra rows, bottom row first, the palette's colours in its table; deeper
    // pixels in the stack's layout, 24 bits as 32); 0 when there is none.
    DibHandle (*offscreenPicture)();
    // A new DIB of the card offscreen as it is, for undo; written back by restoreSnapshot.
    DibHandle (*offscreenSnapshot)();
    void (*restoreSnapshot)(DibHandle snapshot);
    // The application palette's colours, for the colour table of pictures deeper than 8 bits.
    std::span<const PaletteColor> (*appPaletteColors)();
    void (*convertCardToDefaultPalette)();
    int (*displayBitsPerPixel)();
    // ConvertCardPicture: 0 done, 16 not done.
    int (*convertCardPicture)(Handle card, int oldDepth, int newDepth, int width, int height);
    // ConvertCardGraphicsDepth with the JPEG-encode switch on: 0 done, 16 not.
    int (*convertCardGraphicsDepth)(Handle card, int depth);
    // RemapGraphicPicture and RemapFrameAnimColors of the object at offset to an HPALETTE.
    void (*remapGraphicPicture)(Handle card, uint32_t offset, void* palette);
    void (*remapFrameAnimColors)(Handle card, uint32_t offset, void* palette);
    // The current card rendered off screen; 0 when it cannot be had.
    DibHandle (*renderCardToDib)();

    // ---- cards and going between them ----
    // GoToCardId: leaves the current card and enters the card of that id.
    void (*goToCardId)(uint16_t id, int transition, int effect, int speed);
    // RefreshCurrentCard: rebuilds and redraws the current card (transition mode 3).
    void (*refreshCurrentCard)(int redraw);
    // EraseCardBackground: fills the card picture with the erase colour.
    void (*eraseCardBackground)(int ask);
    // RunCardAction: performs an 'Actn' resource of the stack with a label from the string table.
    int (*runCardAction)(uint16_t actionId, int byClick, int waitAfter, uint32_t labelStringId);
    // PurgeFieldCardEntries: drops per-card text entries of a text field (mode 1: those of the card).
    void (*purgeFieldCardEntries)(uint16_t textId, Handle card, int mode);

    // ---- opening, new stacks, saving ----
    // What happens to the stack as a whole, told to those above that keep state with it.
    void (*stackEvent)(StackEvent event);
    // The stack resized from the old header to the new one (both host order); 0 or 16. The
    // default writes the new card size into the open header and every card record.
    int (*changeStackSize)(Handle oldHeader, Handle newHeader);
    int (*askCardSizeForNewStack)(int* width, int* height, int* depth);  // 0 when answered
    void (*applyScreenMode)(int windowMode, int flags, int value);
    void (*resizeCardArea)(int width, int height, int depth);
    void (*stackRenamed)(const char* name);      // title and home stack after Save As

    // ---- the workspace ----
    Handle (*produceWorkspace)();                      // the LoomLogo workspace text, or 0
    void (*loadWorkspace)(Handle text, void* window);  // takes the handle (may be 0)

    // ---- tools, selections, object layers and text ----
    // The selected object: its kind (0 for none) and id.
    void (*selectedObject)(uint16_t* kind, uint16_t* id);
    // ReorderLayer: moves the object's layer, 'C' closer or 'F' farther, all the way or one step.
    void (*reorderLayer)(uint16_t kind, uint16_t id, char direction, bool allTheWay);
    // SyncCardFromLayers, FreeLayerList, BuildCardLayers of the current card.
    void (*rebuildLayers)();
    // Before a rebuild of layers that object records must not lose: SyncCardFromLayers.
    void (*syncCardFromLayers)();
    void (*deselectObject)();
};

const StackUpcalls& GetStackUpcalls();
void SetStackUpcalls(const StackUpcalls& upcalls);
StackUpcalls DefaultStackUpcalls();

// Shorthand for the alert.
inline int ShowCardAlert(uint32_t stringId) { return GetStackUpcalls().showAlert(stringId); }
