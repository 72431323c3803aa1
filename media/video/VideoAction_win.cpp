// The video choice of an action block: the block's video handed to the source choice as two
// chunks, and the result taken back.
#include <algorithm>
#include <array>
#include <cstring>

#include "core/events/EditorGuard.h"
#include "media/video/VideoAction.h"
#include "media/video/VideoChunks.h"
#include "media/video/VideoSources.h"

namespace {

constexpr uint16_t kBothLiveBits = 0x03;  // live video shown, no segment: a live video action

bool Empty(const uint8_t (&command)[32]) { return command[0] == 0; }

}  // namespace

int EditVideoAction(HWND window, ActionBlock* block, int* chosen, int* hadVideo, uint16_t objectId) {
    const EditorGuard guard;
    if (chosen)
        *chosen = 0;
    if (!block)
        return 0;
    const bool had = !Empty(block->videodiscStart) || block->movieSet ||
                     (block->videodiscFlags & kBothLiveBits) == kBothLiveBits;
    if (hadVideo)
        *hadVideo = had ? 1 : 0;

    std::array<uint8_t, kVideoChunkBytes> movie{}, disc{};
    if (had) {
        if (block->movieSet) {
            SetU16(movie, kObjectKind, kTagMovie);
            SetU16(movie, kObjectId, objectId);
            SetU32(movie, kChunkValue, block->movieOption);
            SetU16(movie, kChunkOptionWord, block->movieOptionWord);
            SetVideoChunkRect(movie, block->movieRect);
        } else {
            SetU16(disc, kObjectKind, kTagVideodisc);
            SetU16(disc, kChunkSoundFlags, block->videodiscFlags);
            SetVideoChunkRect(disc, block->videodiscRect);
            if (!Empty(block->videodiscStart)) {
                std::memcpy(VideoChunkCommand(disc, 0).data(), block->videodiscStart, kVideoCommandBytes);
                std::memcpy(VideoChunkCommand(disc, 1).data(), block->videodiscEnd, kVideoCommandBytes);
            }
        }
    }
    int taken = 0;
    FileSpec movieFile = block->movieFile;
    if (ChooseAndInsertVideo(window, disc, movie, &movieFile, had ? 1 : 0, &taken) == kVideoCancelled)
        return 0;
    if (chosen)
        *chosen = taken;
    std::fill(std::begin(block->videodiscStart), std::end(block->videodiscStart), 0);
    block->videodiscFlags = kVideodiscPlayFlag;
    if (taken) {
        // The movie's options left their choice in the movie's chunk.
        block->movieFile = movieFile;
        block->movieSet = 1;
        block->movieOption = GetU32(movie, kChunkValue);
        block->movieOptionWord = GetU16(movie, kChunkOptionWord);
        block->movieRect = VideoChunkRect(movie);
        return 1;
    }
    block->videodiscFlags = GetU16(disc, kChunkSoundFlags);
    block->movieSet = 0;
    block->videodiscRect = VideoChunkRect(disc);
    if (!(block->videodiscFlags & kVideodiscPlayFlag)) {
        std::memcpy(block->videodiscStart, VideoChunkCommand(disc, 0).data(), kVideoCommandBytes);
        std::memcpy(block->videodiscEnd, VideoChunkCommand(disc, 1).data(), kVideoCommandBytes);
    }
    return 1;
}
