// The action block: one owner's actions taken out of its action record for the editors and the
// performer, and written back (ActionBlock.cpp). The sound and movie files travel in the block;
// the other paths live in file-spec slots (8 other stack, 9 and 15 launch), the web address in
// the current-address buffer below. The handles in a block belong to its holder.
#pragma once

#include <cstdint>

#include "actions/ActionRecord.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"
#include "format/ResFile.h"

// The sound parameter a block starts with: after a load, and for a new button's actions.
inline constexpr uint16_t kLoadedSoundParameter = 128, kNewButtonSoundParameter = 127;

struct ActionBlock {
    uint16_t objectId;
    uint16_t soundParameter;  // kLoadedSoundParameter or kNewButtonSoundParameter to start with
    uint16_t soundId;         // 'Snd ' or 'Midi' id; 0 none
    uint32_t soundIsFile;     // the sound is the file below
    FileSpec soundFile;       // soundIsFile: the sound file as the record names it
    uint16_t soundFlags;
    Handle animationData;
    Rect32 animationRect;
    int16_t destination;      // card id or SpecialDestination; 0 none
    uint16_t transition;
    uint16_t effectValue;
    uint16_t transitionSpeed;
    Handle logoScript;
    Rect32 logoRect;
    Handle nbaData;
    uint16_t nbaId;
    uint16_t launchOption;    // non-zero: a launch action is set
    uint16_t timerValue;
    uint16_t timerMode;
    uint16_t testingChoice;
    uint32_t movieSet;        // the movie is the file below
    FileSpec movieFile;       // movieSet: the movie file as the record names it
    uint32_t movieOption;
    uint16_t movieOptionWord;
    Rect32 movieRect;
    uint8_t videodiscStart[32];
    uint8_t videodiscEnd[32];
    Rect32 videodiscRect;
    uint16_t videodiscFlags;
    uint16_t urlSet;          // the address is in the current-address buffer
};

// Fills the block from the record (handle, offset of the record in it). False for a record
// that is not there (the block is then zeroed with kLoadedSoundParameter).
bool LoadActionBlock(Handle record, uint32_t recordOffset, ActionBlock* block);
// Writes the block into the record; ownerId goes into a movie chunk. The block is not changed,
// but the pending requests and the address buffer are used up.
bool SaveActionBlock(Handle record, uint32_t recordOffset, uint16_t ownerId, const ActionBlock& block);
// Frees the block's handles and zeroes them.
void DisposeActionBlockData(ActionBlock* block);

// A block no editor owns, which a module's transitions request borrows. No editor keeps what it
// edits here: each owns its block and hands it to the dialogs.
ActionBlock* GetActionBlock();

// The current-address buffer (256 bytes, NUL-terminated): URL chunks fill it here and the host's
// address dialog fills it too, so it lives below both. It is static: locking only hands out the
// text, and unlocking has nothing to undo.
char* NewUrlBuffer();
char* LockUrlBuffer();  // null when none is held
void UnlockUrlBuffer();
void FreeUrlBuffer();
// The address of a URL chunk's payload, in either stored form (a length byte and the text, or
// the text alone), read inside the payload and cut to 255 characters.
size_t ReadUrlPayload(std::span<const uint8_t> payload, char* out, size_t size);

// Resources a dialog chose but did not store yet: the sound and the module data. A save
// carries them out; without one pending the save keeps what the block names. isNew: the
// written resource's id replaces the block's. The module request's data is the pending
// request's own: disposed of when it is cleared, replaced or has nothing to be stored for.
void SetPendingSoundRequest(const ResRequest& request, bool isNew);
void SetPendingNbaRequest(const ResRequest& request);
// The QuickTime effect a transitions dialog's OK chose, as its packed 'QTFX' record (the data
// is the pending request's own): stored by the next save of a block that goes somewhere, whose
// effect value then becomes the stored id, and dropped by any other save, by a Cancel or by
// another transition chosen. StorePendingEffect stores it at once (a module's request has no
// save to wait for): the id stored, else `id`.
void SetPendingEffectRequest(const ResRequest& request);
void DropPendingEffectRequest();
uint16_t StorePendingEffect(uint16_t id);
void ClearPendingRequests();
// One of them dropped (an unchecked box in the actions dialog).
void DropPendingSoundRequest();
void DropPendingNbaRequest();

// What the media layer keeps of a movie action: a file reference rebuilt from the movie a block
// names, and its stored form. Until the media layer installs its own, the reference is the
// movie's path and name packed.
struct MovieReferenceProcs {
    void (*rebuild)(const FileSpec& movie);
    Handle (*storedReference)(const FileSpec& movie);  // a new handle, 0 for no movie
};
void SetMovieReferenceProcs(const MovieReferenceProcs& procs);
