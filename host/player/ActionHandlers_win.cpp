// The handlers of sounds, movies and videodiscs, animations, addresses and programs
// (ActionPerform.h). A set bit without its chunk does nothing.
#include <algorithm>
#include <cstring>
#include <vector>

#include "actions/ActionBlock.h"
#include "actions/ActionRecord.h"
#include "actions/Animations.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "host/launching/LaunchPrograms.h"
#include "host/player/ActionPerform.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "media/videodisc/Videodisc.h"
#include "objects/text/ActiveTextField.h"
#include "stack/StackUpcalls.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

// The address buffer holds 496 characters and the terminator; a longer stored address would be
// cut into another one, so it is not opened.
constexpr size_t kUrlTextBytes = 497;

Rect32 ChunkRect(std::span<const uint8_t> chunk) {
    return {GetI16(chunk, kObjectRect), GetI16(chunk, kObjectRect + 2), GetI16(chunk, kObjectRect + 4),
            GetI16(chunk, kObjectRect + 6)};
}

}  // namespace

void PlayActionSound(const Performance& p, uint16_t bit) {
    const uint16_t tag = bit == kActSoundFile ? kTagSoundFile : bit == kActSoundResource ? kTagSoundResource : 0;
    if (!tag)
        return;
    const std::vector<uint8_t> chunk = CopyPerformedChunk(p, tag);
    if (chunk.empty())
        return;
    const uint32_t flags = GetU16(chunk, kChunkSoundFlags);
    const int volume = GetU16(chunk, kChunkSoundParameter);
    if (tag == kTagSoundFile) {
        FileSpec remembered{};
        UnpackFileSpecTo(&remembered, ChunkPayload(chunk));
        PlaySoundFromFile(remembered.path, flags, volume);
    } else {
        PlaySoundResource(GetI16(chunk, kChunkValue), flags, volume);
    }
}

void PlayActionMedia(Performance& p, uint16_t bit) {
    p.marks.movie = 0;
    if (bit == kActMovie) {
        const std::vector<uint8_t> chunk = CopyPerformedChunk(p, kTagMovie);
        if (chunk.empty())
            return;
        p.marks.movie = MediaOpenMovie(chunk, static_cast<int16_t>(p.objectId), nullptr, 1) ? 1 : 0;
    } else if (bit == kActVideodisc) {
        const std::vector<uint8_t> chunk = CopyPerformedChunk(p, kTagVideodisc);
        if (!chunk.empty())
            DoVideodiscAction(p.window, chunk);
    }
}

int PlayActionAnimation(const Performance& p) {
    const std::vector<uint8_t> chunk = CopyPerformedChunk(p, kTagAnimation);
    if (chunk.empty())
        return 0;
    const std::span<const uint8_t> payload = ChunkPayload(chunk);
    const Handle copy = CopyChunkData(chunk);
    if (!copy) {
        if (!payload.empty())
            ShowCardAlert(kAlertNotEnoughMemory);
        return 0;
    }
    if (IsSpriteHandle(copy)) {
        ShowTextFieldWindows(false);
        return PlayAnimRecord(copy, p.objectId) ? 1 : 0;
    }
    DisposeHandle(copy);
    if (payload.size() < kFrameAnimRefBytes)
        return 0;  // too short for a reference: nothing to queue
    const Handle reference = NewHandleFromBytes(payload.first(kFrameAnimRefBytes));
    if (!reference) {
        ShowCardAlert(kAlertNotEnoughMemory);
        return 0;
    }
    SetHandleWord(reference, kFrameAnimFlags, GetHandleWord(reference, kFrameAnimFlags) | kFrameAnimInChunk);
    return StartFrameAnimation(reference, ChunkRect(chunk), p.objectId) ? 1 : 0;
}

void OpenActionUrl(const Performance& p) {
    const std::vector<uint8_t> chunk = CopyPerformedChunk(p, kTagUrl);
    if (chunk.empty())
        return;
    const std::span<const uint8_t> payload = ChunkPayload(chunk);
    std::vector<char> text(payload.size() + 1, 0);
    const size_t length = ReadUrlPayload(payload, text.data(), text.size());
    if (length == 0 || length >= kUrlTextBytes)
        return;
    OpenUrlString(text.data());
}

void LaunchActionProgram(const Performance& p) {
    uint16_t option = 0;
    if (!ReadLaunchChunk(p.record, p.offset, &option))
        return;
    WaitAfterActions(p.marks, p.objectId);
    OpenVideodiscPlayer();  // the videodisc player settled before the program starts
    LaunchApplication(option);
}
