// Adding a movie or a sound to the current card's first action from the shortcuts palette.
#include <cstring>

#include "actions/ActionBlock.h"
#include "actions/ActionRecord.h"
#include "actions/Animations.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "host/menus/Shortcuts.h"
#include "media/MediaDialogs.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

// Nothing may play or be captured while the card's action changes.
void StopCardMedia() {
    StopAllSounds(1);
    CloseCaptureWindow();
    StopFrameAnimations();
    ReleaseAnimPlayback();
}

// The card's first action to add to: its id (a fresh one for a card without) and a copy.
struct CardAction {
    Handle card = 0;
    uint16_t id = 0;
    Handle record = 0;
};

bool LoadCardAction(CardAction* action) {
    action->card = GetCurrentCardRecord();
    if (!action->card)
        return false;
    {
        HandleLock lock(action->card);
        if (!lock || GetHandleSize(action->card) < kCardAction1 + 2)
            return false;
        action->id = GetU16(lock.bytes(), kCardAction1);
    }
    if (action->id == 0)
        action->id = NewUniqueObjectId();
    action->record = LoadActionResource(action->id);
    return action->record != 0;
}

// Stores the action and names it in the card. The copy is the caller's to free.
bool StoreCardAction(CardAction* action) {
    uint16_t id = action->id;
    if (!StoreActionResource(&id, action->record))
        return false;
    SetHandleWord(action->card, kCardAction1, id);
    MarkCardChanged();
    return true;
}

// The chunk at offset in the record handle, for setting its fields.
template <class Fill>
void FillChunk(Handle record, uint32_t offset, Fill fill) {
    HandleLock lock(record);
    if (!lock || offset + kChunkHeaderBytes > GetHandleSize(record))
        return;
    fill(std::span<uint8_t>(lock.get() + offset, kChunkHeaderBytes));
}

// What the movie options chose on OK, which they leave in the movie's chunk.
struct ChosenMovie {
    uint32_t flags = 0;
    uint16_t volume = 0;
    Rect32 rect{};
};

bool RunMovieOptionsForCard(FileSpec* movie, ChosenMovie* chosen) {
    uint8_t chunk[kChunkHeaderBytes] = {};
    if (MediaMovieOptions(chunk, 0, movie) == 0)
        return false;
    *chosen = {GetU32(chunk, kChunkValue), GetU16(chunk, kChunkOptionWord),
               {GetI16(chunk, kObjectRect), GetI16(chunk, kObjectRect + 2), GetI16(chunk, kObjectRect + 4),
                GetI16(chunk, kObjectRect + 6)}};
    return true;
}

}  // namespace

bool AddMovieToCard() {
    StopCardMedia();
    ChosenMovie chosen;
    FileSpec movie = EmptyFileSpec();
    if (!RunMovieOptionsForCard(&movie, &chosen))
        return false;
    CardAction action;
    if (!LoadCardAction(&action))
        return false;
    UpdateMediaFileRef(movie);
    const Handle reference = GetMediaFileRef();  // the manager's own
    ChunkDesc desc;
    InitChunkDesc(&desc, kTagMovie, kChunkFromHandle, static_cast<uintptr_t>(reference), 0, kActMovie);
    const uint32_t offset = reference ? InsertObjectChunk(action.record, 0, desc) : 0;
    bool stored = false;
    if (offset > 0) {
        FillChunk(action.record, offset, [&](std::span<uint8_t> c) {
            SetU16(c, kObjectId, action.id);
            const int32_t sides[] = {chosen.rect.left, chosen.rect.top, chosen.rect.right, chosen.rect.bottom};
            for (uint32_t i = 0; i < 4; ++i)
                SetU16(c, kObjectRect + 2 * i, static_cast<uint16_t>(sides[i]));
            SetU32(c, kChunkValue, chosen.flags);
            SetU16(c, kChunkOptionWord, chosen.volume);
        });
        stored = StoreCardAction(&action);
    }
    DisposeHandle(action.record);
    UpdateMediaFileRef(movie);
    return stored;
}

bool AddSoundToCard() {
    StopCardMedia();
    AudioDeckChoice choice;
    if (!RunAudioDeckDialog(GetMainWindow(), &choice))
        return false;
    ChunkDesc desc;
    Handle packed = 0;
    if (choice.isFile) {
        if (!PackFilePath(choice.file, &packed))
            return false;
        InitChunkDesc(&desc, kTagSoundFile, kChunkFromHandle, static_cast<uintptr_t>(packed), 0, kActSoundFile);
    } else {
        uint16_t id = choice.soundId;
        ResRequest request{};
        if (TakeAudioDeckRequest(&request)) {
            if (!WriteStackResource(&request))
                return false;
            if (request.id != 0)
                id = request.id;  // the id the stack gave the recording
        }
        if (id == 0)
            return false;
        InitChunkDesc(&desc, kTagSoundResource, kChunkInline, id, 0, kActSoundResource);
    }
    CardAction action;
    bool stored = false;
    if (LoadCardAction(&action)) {
        const uint32_t offset = InsertObjectChunk(action.record, 0, desc);
        if (offset > 0) {
            FillChunk(action.record, offset, [&](std::span<uint8_t> c) {
                SetU16(c, kChunkSoundFlags, choice.typeFlags);
                SetU16(c, kChunkSoundParameter, choice.parameter);
            });
            stored = StoreCardAction(&action);
        }
        DisposeHandle(action.record);
    }
    DisposeHandle(packed);
    return stored;
}
