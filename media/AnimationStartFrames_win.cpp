// Animation and movie start frames of an action block.
#include "media/AnimationStartFrames.h"

#include <vector>

#include "actions/FrameAnimations.h"
#include "core/memory/ByteReader.h"
#include "core/ui/GdiGuards.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "stack/cards/CardList.h"
#include "format/ResFile.h"
#include "format/StackFile.h"

void DrawActionAnimationStart(std::span<const uint8_t> record, uint16_t actionId, HDC dc, StartFrames which) {
    std::vector<uint8_t> block;
    if (actionId != 0)
        block = HandleToBytes(GetResource(kActn, actionId));  // the manager keeps its handle
    else
        block.assign(record.begin(), record.end());
    if (block.size() < kButtonHeaderBytes)
        return;
    const uint16_t actions = GetU16(block, kButtonActionFlags);
    if (!(actions & (kActAnimation | kActMovie)))
        return;
    ButtonChunkWalk walk(block);
    ObjectPlace chunk;
    bool movieDone = false, animationDone = false;
    while (walk.Next(chunk)) {
        const std::span<const uint8_t> bytes = std::span<const uint8_t>(block).subspan(chunk.offset, chunk.length);
        if (chunk.kind == kTagMovie && (actions & kActMovie) && !movieDone) {
            movieDone = true;
            if (GetU32(bytes, kChunkValue) & kMediaFlagFirstFrame)
                MediaOpenMovie(bytes, GetI16(bytes, kObjectId), dc, 0);
        } else if (chunk.kind == kTagAnimation && (actions & kActAnimation) && !animationDone &&
                   which == StartFrames::All) {
            animationDone = true;
            const std::span<const uint8_t> payload = bytes.subspan(kChunkHeaderBytes);
            if (IsSpriteRecord(payload)) {
                SetAnimTargetOffscreen(payload, dc);
            } else if (payload.size() >= kFrameAnimHeaderBytes) {
                // A flip-book's own flags say whether frame 1 shows with the card, and unclipped.
                const uint16_t flags = GetU16(payload, kFrameAnimFlags);
                const RECT rect = {GetI16(bytes, kObjectRect), GetI16(bytes, kObjectRect + 2),
                                   GetI16(bytes, kObjectRect + 4), GetI16(bytes, kObjectRect + 6)};
                if (flags & kFrameAnimShownAtStart)
                    DrawFrameAnimationStart(payload, rect, !(flags & kFrameAnimUnclipped), dc);
            }
        }
    }
}

void DrawFrameAnimationStart(std::span<const uint8_t> animation, const RECT& rect, bool clip, HDC dc) {
    ScopedHandle data(NewHandleFromBytes(animation));
    OwnedGdiObject<HBITMAP> frame(data.get() ? CreateFrameAnimBitmap(data.get()) : nullptr);
    BITMAP size = {};
    if (!frame || !GetObjectA(frame.get(), sizeof size, &size))
        return;
    MemoryDC source(dc);
    SelectedObject selected(source.get(), frame.get());
    if (!selected)
        return;
    const int saved = SaveDC(dc);
    if (clip)
        SelectClipRgn(dc, GetCardClipRegion());
    BitBlt(dc, rect.left, rect.top, size.bmWidth, size.bmHeight, source.get(), 0, 0, SRCCOPY);
    RestoreDC(dc, saved);
}
