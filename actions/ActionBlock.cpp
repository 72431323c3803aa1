// Loading an action block from a record and saving it back.
#include "actions/ActionBlock.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/UiOps.h"
#include "stack/cards/CardList.h"

namespace {

constexpr size_t kUrlBufferBytes = 256;
constexpr uint16_t kTestingMask = 0x7FFF;

ActionBlock g_block = {};
char g_url[kUrlBufferBytes] = {};
bool g_urlHeld = false;

struct PendingRequest {
    bool present = false;
    bool isNew = false;
    ResRequest request = {};
};
// What an edit chose that is stored with the next save of the actions it belongs to.
struct PendingRequests {
    PendingRequest sound, nba, effect;
} g_pending;

void RebuildNothing(const FileSpec&) {}
Handle PackedMovie(const FileSpec& movie) {
    Handle packed = 0;
    return movie.path[0] && PackFileSpecPathAndName(movie, &packed) ? packed : 0;
}
MovieReferenceProcs g_movie = {RebuildNothing, PackedMovie};

bool SlotHoldsPath(int slot) {
    const FileSpec* spec = GetFileSpec(slot);
    return spec && spec->path[0];
}

// Carries out a pending request: true when there was none or it was stored (then *id is the id
// to use, the written one for a new resource).
bool CarryOut(PendingRequest& pending, uint16_t* id) {
    if (!pending.present)
        return true;
    const bool stored = WriteStackResource(&pending.request) != 0;
    if (stored && pending.isNew)
        *id = pending.request.id;
    pending = {};
    return stored;
}

// The pending effect stored: its id (the record's own id follows a new one), else `id` as it was.
uint16_t CarryOutEffect(uint16_t id) {
    Handle data = g_pending.effect.request.data;
    if (!g_pending.effect.present || !data)
        return id;
    const bool stored = WriteStackResource(&g_pending.effect.request) != 0;
    const uint16_t written = g_pending.effect.request.id;
    if (stored && g_pending.effect.request.data) {
        HandleLock lock(g_pending.effect.request.data);
        if (lock && GetHandleSize(g_pending.effect.request.data) >= kQtfxId + 2)
            SetBE16(lock.bytes(), kQtfxId, written);
    }
    g_pending.effect = {};
    if (!stored)
        return id;
    MarkStackModified();
    return written;
}

Rect32 RectAt(std::span<const uint8_t> chunk) {
    return {GetI16(chunk, kObjectRect), GetI16(chunk, kObjectRect + 2), GetI16(chunk, kObjectRect + 4),
            GetI16(chunk, kObjectRect + 6)};
}

void PutRect(std::span<uint8_t> chunk, const Rect32& r) {
    SetU16(chunk, kObjectRect, static_cast<uint16_t>(r.left));
    SetU16(chunk, kObjectRect + 2, static_cast<uint16_t>(r.top));
    SetU16(chunk, kObjectRect + 4, static_cast<uint16_t>(r.right));
    SetU16(chunk, kObjectRect + 6, static_cast<uint16_t>(r.bottom));
}

// A copy of a chunk's payload; alert 2224 when memory runs out.
Handle CopyOrWarn(std::span<const uint8_t> chunk) {
    Handle copy = CopyChunkData(chunk);
    if (!copy && !ChunkPayload(chunk).empty())
        ShowCardAlert(kAlertNotEnoughMemory);
    return copy;
}

// The chunk of a tag inside the record, when the flag word has its bit.
std::span<const uint8_t> ChunkIf(std::span<const uint8_t> record, uint16_t flags, uint16_t bit, uint16_t tag) {
    uint32_t at = 0;
    if (!(flags & bit) || !FindChunk(record, tag, &at))
        return {};
    return record.subspan(at, GetU32(record, at + kObjectLength));
}

// Inserts a chunk and sets fields of its header; false when it could not be written.
template <class Fill>
bool Insert(Handle record, uint32_t recordOffset, uint16_t tag, uint16_t source, uintptr_t data, uint32_t length,
            uint16_t bit, Fill fill) {
    ChunkDesc desc;
    InitChunkDesc(&desc, tag, source, data, length, bit);
    const uint32_t at = InsertObjectChunk(record, recordOffset, desc);
    if (!at)
        return false;
    HandleLock lock(record);
    fill(std::span<uint8_t>(lock.get() + at, kChunkHeaderBytes));
    return true;
}
void NoFields(std::span<uint8_t>) {}

// The packed entries of the launch chunk: slot 15 first (its length returned), then slot 9.
std::vector<uint8_t> PackedLaunchEntries(uint32_t* firstLength) {
    std::vector<uint8_t> joined;
    *firstLength = 0;
    for (const int slot : {int{kSlotLaunchDocument}, int{kSlotLaunchProgram}}) {
        Handle packed = 0;
        if (!SlotHoldsPath(slot) || !PackFileSpec(slot, &packed))
            continue;
        const std::vector<uint8_t> bytes = HandleToBytes(packed);
        DisposeHandle(packed);
        joined.insert(joined.end(), bytes.begin(), bytes.end());
        if (slot == kSlotLaunchDocument)
            *firstLength = static_cast<uint32_t>(bytes.size());
    }
    return joined;
}

}  // namespace

bool LoadActionBlock(Handle record, uint32_t recordOffset, ActionBlock* block) {
    std::memset(block, 0, sizeof *block);  // padding too: blocks are compared byte for byte
    block->soundParameter = kLoadedSoundParameter;
    SetFileSpecFromPath(kSlotTargetStack, "");
    HandleLock lock(record);
    const std::span<const uint8_t> r = ActionRecordAt(lock.bytes(), recordOffset);
    if (r.empty())
        return false;
    block->objectId = GetU16(r, kObjectId);
    block->destination = GetI16(r, kButtonDestination);
    block->transition = GetU16(r, kButtonTransition);
    block->transitionSpeed = GetU16(r, kButtonSpeed);
    block->timerValue = GetU16(r, kButtonTimerValue);
    block->effectValue = GetU16(r, kButtonEffect);
    block->timerMode = GetU16(r, kButtonTimerMode);
    block->testingChoice = GetU16(r, kButtonTesting) & kTestingMask;
    const uint16_t flags = GetU16(r, kButtonActionFlags);

    if (block->destination != 0)
        if (auto c = ChunkIf(r, flags, kActGoTo, kTagOtherStack); !c.empty())
            UnpackFileSpec(kSlotTargetStack, ChunkPayload(c));
    if (auto c = ChunkIf(r, flags, kActSoundResource, kTagSoundResource); !c.empty()) {
        block->soundId = GetU16(c, kChunkValue);
        block->soundParameter = GetU16(c, kChunkSoundParameter);
        block->soundFlags = GetU16(c, kChunkSoundFlags);
    }
    if (auto c = ChunkIf(r, flags, kActSoundFile, kTagSoundFile); !c.empty()) {
        block->soundIsFile = 1;
        block->soundFlags = GetU16(c, kChunkSoundFlags);
        block->soundParameter = GetU16(c, kChunkSoundParameter);
        block->soundFile = EmptyFileSpec();
        UnpackFileSpecTo(&block->soundFile, ChunkPayload(c));
    }
    if (auto c = ChunkIf(r, flags, kActNba, kTagNba); !c.empty()) {
        block->nbaId = GetU16(c, kChunkValue);
        block->nbaData = CopyOrWarn(c);
    }
    SetFileSpecFromPath(kSlotLaunchProgram, "");
    SetFileSpecFromPath(kSlotLaunchDocument, "");
    if (flags & kActLaunch) {
        uint16_t option = 0;
        // ReadLaunchChunk locks the handle itself; a nested lock is counted.
        if (ReadLaunchChunk(record, recordOffset, &option))
            block->launchOption = option;
    }
    if (auto c = ChunkIf(r, flags, kActMovie, kTagMovie); !c.empty()) {
        block->movieRect = RectAt(c);
        block->movieSet = 1;
        block->movieOption = GetU32(c, kChunkValue);
        block->movieOptionWord = GetU16(c, kChunkOptionWord);
        block->movieFile = EmptyFileSpec();
        UnpackFileSpecTo(&block->movieFile, ChunkPayload(c));
        g_movie.rebuild(block->movieFile);
    }
    if (auto c = ChunkIf(r, flags, kActVideodisc, kTagVideodisc); !c.empty()) {
        // The two fields are copied only as far as the payload holds them.
        const std::span<const uint8_t> p = ChunkPayload(c);
        if (!p.empty())
            std::memcpy(block->videodiscStart, p.data(), std::min<size_t>(p.size(), 32));
        if (p.size() > 32)
            std::memcpy(block->videodiscEnd, p.data() + 32, std::min<size_t>(p.size() - 32, 32));
        block->videodiscFlags = GetU16(c, kChunkSoundFlags);
        block->videodiscRect = RectAt(c);
    }
    if (auto c = ChunkIf(r, flags, kActAnimation, kTagAnimation); !c.empty()) {
        block->animationRect = RectAt(c);
        block->animationData = CopyOrWarn(c);
    }
    if (auto c = ChunkIf(r, flags, kActLogo, kTagLogo); !c.empty()) {
        block->logoRect = RectAt(c);
        block->logoScript = CopyOrWarn(c);
    }
    if (auto c = ChunkIf(r, flags, kActUrl, kTagUrl); !c.empty()) {
        FreeUrlBuffer();
        if (char* url = NewUrlBuffer()) {
            ReadUrlPayload(ChunkPayload(c), url, kUrlBufferBytes);
            block->urlSet = 1;
        }
    }
    return true;
}

bool SaveActionBlock(Handle record, uint32_t recordOffset, uint16_t ownerId, const ActionBlock& original) {
    const ActionBlock block = original;
    {
        HandleLock lock(record);
        if (ActionRecordAt(lock.bytes(), recordOffset).empty())
            return false;
    }
    for (const uint16_t tag : {kTagNba, kTagOtherStack, kTagAnimation, kTagMovie, kTagOldAction88, kTagLaunch, kTagUrl,
                               kTagLogo, kTagOldAction80, kTagSoundFile, kTagSoundResource})
        RemoveObjectChunk(record, recordOffset, tag, 0);
    {
        HandleLock lock(record);
        std::span<uint8_t> r(lock.get() + recordOffset, kButtonHeaderBytes);
        SetU16(r, kButtonTimerMode, block.timerMode);
        if (block.timerMode)
            SetU16(r, kButtonTimerValue, block.timerValue);
        SetU16(r, kButtonTesting, block.testingChoice);
        SetU16(r, kButtonDestination, static_cast<uint16_t>(block.destination));
        uint16_t flags = 0;
        if (block.destination != 0) {
            SetU16(r, kButtonSpeed, block.transitionSpeed);
            SetU16(r, kButtonTransition, block.transition);
            SetU16(r, kButtonEffect, CarryOutEffect(block.effectValue));
            flags = kActGoTo;
        }
        DropPendingEffectRequest();
        SetU16(r, kButtonActionFlags, flags);
    }
    // A slot still naming this stack or the program (as it starts) names no other stack.
    if (block.destination != 0 && SlotHoldsPath(kSlotTargetStack) && !SameFileSpecPath(kSlotTargetStack, kSlotCurrentStack) &&
        !SameFileSpecPath(kSlotTargetStack, kSlotProgram)) {
        Handle packed = 0;
        if (PackFileSpec(kSlotTargetStack, &packed))
            Insert(record, recordOffset, kTagOtherStack, kChunkFromHandle, static_cast<uintptr_t>(packed), 0,
                   kActOtherStack, NoFields);
        DisposeHandle(packed);
    }
    if (block.launchOption) {
        uint32_t firstLength = 0;
        const std::vector<uint8_t> entries = PackedLaunchEntries(&firstLength);
        Insert(record, recordOffset, kTagLaunch, kChunkFromBytes, reinterpret_cast<uintptr_t>(entries.data()),
               static_cast<uint32_t>(entries.size()), kActLaunch, [&](std::span<uint8_t> c) {
                   SetU16(c, kChunkValue, block.launchOption);
                   SetU32(c, kChunkFirstLength, firstLength);
               });
    }
    const auto soundFields = [&](std::span<uint8_t> c) {
        SetU16(c, kChunkSoundFlags, block.soundFlags);
        SetU16(c, kChunkSoundParameter, block.soundParameter);
    };
    if (block.soundIsFile) {
        Handle packed = 0;
        if (PackFileSpecPathAndName(block.soundFile, &packed))
            Insert(record, recordOffset, kTagSoundFile, kChunkFromHandle, static_cast<uintptr_t>(packed), 0, kActSoundFile,
                   soundFields);
        DisposeHandle(packed);
    } else if (block.soundId) {
        uint16_t id = block.soundId;
        if (CarryOut(g_pending.sound, &id))
            Insert(record, recordOffset, kTagSoundResource, kChunkInline, id, 0, kActSoundResource, soundFields);
    }
    g_pending.sound = {};
    if (block.animationData)
        Insert(record, recordOffset, kTagAnimation, kChunkFromHandle, static_cast<uintptr_t>(block.animationData), 0,
               kActAnimation, [&](std::span<uint8_t> c) { PutRect(c, block.animationRect); });
    if (block.logoScript)
        Insert(record, recordOffset, kTagLogo, kChunkFromHandle, static_cast<uintptr_t>(block.logoScript), 0, kActLogo,
               [&](std::span<uint8_t> c) { PutRect(c, block.logoRect); });
    if ((block.videodiscStart[0] || (block.videodiscFlags & kVideodiscPlayFlag)) && !block.movieSet) {
        uint8_t fields[64];
        std::memcpy(fields, block.videodiscStart, 32);
        std::memcpy(fields + 32, block.videodiscEnd, 32);
        Insert(record, recordOffset, kTagVideodisc, kChunkFromBytes, reinterpret_cast<uintptr_t>(fields), sizeof fields,
               kActVideodisc, [&](std::span<uint8_t> c) {
                   PutRect(c, block.videodiscRect);
                   SetU16(c, kChunkSoundFlags, block.videodiscFlags);
               });
    }
    if (block.nbaData) {
        uint16_t unused = 0;
        if (CarryOut(g_pending.nba, &unused))
            Insert(record, recordOffset, kTagNba, kChunkFromHandle, static_cast<uintptr_t>(block.nbaData), 0, kActNba,
                   [&](std::span<uint8_t> c) { SetU16(c, kChunkValue, block.nbaId); });
    } else if (g_pending.nba.present) {
        DisposeHandle(g_pending.nba.request.data);  // nothing to store it for
    }
    g_pending.nba = {};
    if (block.movieSet) {
        if (Handle reference = g_movie.storedReference(block.movieFile)) {
            Insert(record, recordOffset, kTagMovie, kChunkFromHandle, static_cast<uintptr_t>(reference), 0, kActMovie,
                   [&](std::span<uint8_t> c) {
                       PutRect(c, block.movieRect);
                       SetU32(c, kChunkValue, block.movieOption);
                       SetU16(c, kChunkOptionWord, block.movieOptionWord);
                       SetU16(c, kObjectId, ownerId);
                   });
            DisposeHandle(reference);
            g_movie.rebuild(block.movieFile);
        }
    }
    if (block.urlSet) {
        if (const char* url = LockUrlBuffer())
            Insert(record, recordOffset, kTagUrl, kChunkFromBytes, reinterpret_cast<uintptr_t>(url),
                   static_cast<uint32_t>(strnlen(url, kUrlBufferBytes - 1)), kActUrl, NoFields);
        FreeUrlBuffer();
    }
    return true;
}

void DisposeActionBlockData(ActionBlock* block) {
    DisposeHandleAndClear(&block->animationData);
    DisposeHandleAndClear(&block->logoScript);
    DisposeHandleAndClear(&block->nbaData);
}

ActionBlock* GetActionBlock() { return &g_block; }

char* NewUrlBuffer() {
    if (!g_urlHeld) {
        std::memset(g_url, 0, sizeof g_url);
        g_urlHeld = true;
    }
    return g_url;
}
char* LockUrlBuffer() { return g_urlHeld ? g_url : nullptr; }
void UnlockUrlBuffer() {}
void FreeUrlBuffer() {
    g_urlHeld = false;
    std::memset(g_url, 0, sizeof g_url);
}

size_t ReadUrlPayload(std::span<const uint8_t> payload, char* out, size_t size) {
    if (!out || size == 0)
        return 0;
    std::span<const uint8_t> text = payload;
    if (!payload.empty()) {
        const std::span<const uint8_t> after = payload.subspan(1);
        const size_t afterLength = std::find(after.begin(), after.end(), 0) - after.begin();
        if (payload[0] == afterLength)
            text = after;
    }
    const size_t length = std::min<size_t>(std::find(text.begin(), text.end(), 0) - text.begin(), size - 1);
    if (length)
        std::memcpy(out, text.data(), length);
    out[length] = '\0';
    return length;
}

void SetPendingSoundRequest(const ResRequest& request, bool isNew) { g_pending.sound = {true, isNew, request}; }
// The module information a pending request carries is its own until it is stored.
void SetPendingNbaRequest(const ResRequest& request) {
    if (g_pending.nba.present && g_pending.nba.request.data != request.data)
        DisposeHandle(g_pending.nba.request.data);
    g_pending.nba = {true, false, request};
}
void DropPendingSoundRequest() { g_pending.sound = {}; }
void DropPendingNbaRequest() {
    if (g_pending.nba.present)
        DisposeHandle(g_pending.nba.request.data);
    g_pending.nba = {};
}
void SetPendingEffectRequest(const ResRequest& request) {
    DropPendingEffectRequest();
    g_pending.effect = {true, true, request};
}
void DropPendingEffectRequest() {
    if (g_pending.effect.present)
        DisposeHandle(g_pending.effect.request.data);
    g_pending.effect = {};
}
uint16_t StorePendingEffect(uint16_t id) { return CarryOutEffect(id); }
void ClearPendingRequests() {
    DropPendingSoundRequest();
    DropPendingNbaRequest();
    DropPendingEffectRequest();
}

void SetMovieReferenceProcs(const MovieReferenceProcs& procs) {
    g_movie.rebuild = procs.rebuild ? procs.rebuild : RebuildNothing;
    g_movie.storedReference = procs.storedReference ? procs.storedReference : PackedMovie;
}
