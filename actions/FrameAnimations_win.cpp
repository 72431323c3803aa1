// The frame animation queue, its drawing on the card window, the first frame as a bitmap and
// the colour re-mapping of a stored animation (FrameAnimations.h).
#include "actions/FrameAnimations.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "actions/ActionRecord.h"
#include "actions/Animations.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/system/Ticks.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardPicture.h"
#include "graphics/pixels/DibPalette.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/pictures/FrameAnimFrames.h"

namespace {

// One queued animation, kept in a handle of its own.
struct FrameAnimEntry {
    Handle data;
    Rect32 area;
    uint16_t flags;
    uint16_t objectId;
    uint16_t cycle;  // from 1
    uint16_t frame;  // the next to draw, from 1
    uint32_t due;    // tick
    DibHandle picture;
    Handle next;
};

FrameAnimEntry ReadEntry(Handle entry) {
    FrameAnimEntry e{};
    HandleLock lock(entry);
    if (lock && GetHandleSize(entry) >= sizeof e)
        std::memcpy(&e, lock.get(), sizeof e);
    return e;
}

void WriteEntry(Handle entry, const FrameAnimEntry& e) {
    HandleLock lock(entry);
    if (lock && GetHandleSize(entry) >= sizeof e)
        std::memcpy(lock.get(), &e, sizeof e);
}

// Ticks wrap with the millisecond count: due or not is the sign of the difference.
bool IsDue(uint32_t now, uint32_t due) { return static_cast<int32_t>(now - due) >= 0; }

void FreeEntry(Handle entry) {
    const FrameAnimEntry e = ReadEntry(entry);
    if (!(e.flags & kFrameAnimNotOwned))
        DisposeHandle(e.data);
    DisposeHandle(e.picture);
    DisposeHandle(entry);
}

// The bytes whose frames the entry plays: its own data, or the owner's animation chunk. Copied,
// so that drawing leaves the records alone; empty when the chunk is gone.
std::vector<uint8_t> FramesOf(const FrameAnimEntry& e) {
    if (!(e.flags & kFrameAnimInChunk))
        return HandleToBytes(e.data);
    Handle record = 0;
    uint32_t at = 0;
    if (!FindActionChunkById(e.objectId, kTagAnimation, &record, &at))
        return {};
    HandleLock lock(record);
    const std::span<const uint8_t> bytes = lock.bytes();
    if (at > bytes.size())
        return {};
    const std::span<const uint8_t> from = bytes.subspan(at);
    const uint32_t length = std::min<uint32_t>(GetU32(from, kObjectLength), static_cast<uint32_t>(from.size()));
    if (length < kChunkHeaderBytes)
        return {};
    const std::span<const uint8_t> payload = ChunkPayload(from.first(length));
    return {payload.begin(), payload.end()};
}

// The header of the queued data, without copying the rest.
FrameAnimHeader HeaderOf(Handle data) {
    FrameAnimHeader header;
    HandleLock lock(data);
    ReadFrameAnimHeader(lock.bytes(), &header);
    return header;
}

// The picture's rows are kept top row first; the call takes them bottom-up.
void BlitPicture(HWND window, HRGN clip, const FrameAnimEntry& e) {
    WindowDC dc(window);
    if (!dc)
        return;
    SelectedPalette palette(dc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    const int saved = SaveDC(dc.get());
    SelectClipRgn(dc.get(), (e.flags & kFrameAnimUnclipped) ? nullptr : clip);
    if (DibFlipRows(e.picture)) {
        LockedDib dib(e.picture);
        if (dib) {
            const DibLayout& l = dib.layout();
            SetDIBitsToDevice(dc.get(), e.area.left, e.area.top, static_cast<DWORD>(l.width), static_cast<DWORD>(l.height),
                              0, 0, 0, static_cast<UINT>(l.height), dib.image().data(),
                              reinterpret_cast<const BITMAPINFO*>(dib.bytes().data()), DIB_RGB_COLORS);
        }
        DibFlipRows(e.picture);
    }
    RestoreDC(dc.get(), saved);
}

// Frame e.frame over the entry's picture, then on the window. A frame that cannot be found is
// skipped; the picture keeps the frame before.
void DrawEntryFrame(HWND window, HRGN clip, const FrameAnimEntry& e) {
    const std::vector<uint8_t> frames = FramesOf(e);
    const FrameAnimHeader header = HeaderOf(e.data);
    if (header.frameCount < 1)
        return;
    {
        LockedDib dib(e.picture);
        if (!dib || dib.layout().width != header.width || dib.layout().height != header.height ||
            !DecodeAnimFrame(frames, e.frame, header, dib.image()))
            return;
    }
    if (window)
        BlitPicture(window, clip, e);
}

// A working picture of the animation's size and depth in the current card's colours, which the
// frames name.
DibHandle NewFramePicture(const FrameAnimHeader& header) {
    DibHandle dib = NewDib(header.width, header.height, header.depth);
    if (dib && header.depth <= 8)
        DibApplyPalette(GetCurrentCardRecord(), dib);
    return dib;
}

// What must hold before the animation is queued: the header, and frame 1 whole in the bytes
// that hold the frames (the owner's chunk for a reference).
bool CheckQueuedData(Handle data, uint16_t objectId, FrameAnimHeader* header) {
    const std::vector<uint8_t> bytes = HandleToBytes(data);
    if (ReadFrameAnimHeader(bytes, header) != FrameAnimRefusal::None)
        return false;
    FrameAnimEntry probe{};
    probe.data = data;
    probe.flags = header->flags;
    probe.objectId = objectId;
    FrameAnimHeader framesHeader;
    return CheckFrameAnim(FramesOf(probe), &framesHeader) == FrameAnimRefusal::None &&
           framesHeader.width == header->width && framesHeader.height == header->height &&
           framesHeader.depth == header->depth;
}

}  // namespace

FrameAnimQueue& GlobalFrameAnimQueue() {
    static FrameAnimQueue queue;
    return queue;
}

bool QueueFrameAnimation(Handle data, const Rect32& area, FrameAnimQueue& queue, uint16_t objectId) {
    FrameAnimHeader header;
    if (!CheckQueuedData(data, objectId, &header)) {
        if (!(GetHandleWord(data, kFrameAnimFlags) & kFrameAnimNotOwned))
            DisposeHandle(data);
        return false;
    }
    if (header.flags & kFrameAnimStopOthers)
        StopFrameAnimsOf(queue, objectId);
    FrameAnimEntry e{};
    e.data = data;
    e.area = area;
    e.flags = header.flags;
    e.objectId = objectId;
    e.cycle = 1;
    e.frame = 1;
    e.due = GetTicks();
    e.picture = NewFramePicture(header);
    const Handle entry = e.picture ? NewHandle(sizeof(FrameAnimEntry)) : 0;
    if (!entry) {
        DisposeHandle(e.picture);
        if (!(e.flags & kFrameAnimNotOwned))
            DisposeHandle(data);
        return false;
    }
    WriteEntry(entry, e);
    if (!queue.first) {
        queue.first = entry;
        return true;
    }
    Handle last = queue.first;
    for (Handle next = ReadEntry(last).next; next; next = ReadEntry(last).next)
        last = next;
    FrameAnimEntry tail = ReadEntry(last);
    tail.next = entry;
    WriteEntry(last, tail);
    return true;
}

bool StepFrameAnimQueue(FrameAnimQueue& queue, HWND window, HRGN clip) {
    Handle previous = 0;
    Handle entry = queue.first;
    while (entry) {
        FrameAnimEntry e = ReadEntry(entry);
        const Handle next = e.next;
        const uint32_t now = GetTicks();
        if (!IsDue(now, e.due)) {
            previous = entry;
            entry = next;
            continue;
        }
        const FrameAnimHeader header = HeaderOf(e.data);
        if (!(e.flags & kFrameAnimStopping) && e.frame <= header.frameCount)
            DrawEntryFrame(window, clip, e);
        if (e.frame <= header.frameCount) {
            ++e.frame;
            e.due = now + header.delay;
        } else if (e.cycle >= header.cycles) {
            // The last cycle is over (a count of 0 plays once).
            if ((e.flags & kFrameAnimRefreshAtEnd) && window) {
                const RECT area = {e.area.left, e.area.top, e.area.right, e.area.bottom};
                InvalidateRect(window, &area, FALSE);
            }
            if (previous) {
                FrameAnimEntry before = ReadEntry(previous);
                before.next = next;
                WriteEntry(previous, before);
            } else {
                queue.first = next;
            }
            FreeEntry(entry);
            entry = next;
            continue;
        } else {
            e.frame = 1;
            ++e.cycle;
            e.due = now;
        }
        WriteEntry(entry, e);
        previous = entry;
        entry = next;
    }
    return queue.first != 0;
}

void StopFrameAnimsOf(FrameAnimQueue& queue, uint16_t objectId) {
    for (Handle entry = queue.first; entry;) {
        FrameAnimEntry e = ReadEntry(entry);
        if (objectId == 0 || e.objectId == objectId) {
            const FrameAnimHeader header = HeaderOf(e.data);
            // Past the last frame of the last cycle: the next due step ends it.
            e.flags |= kFrameAnimStopping;
            e.frame = static_cast<uint16_t>(std::max(header.frameCount, 0) + 1);
            e.cycle = std::max<uint16_t>(header.cycles, 1);
            WriteEntry(entry, e);
        }
        entry = e.next;
    }
}

void FreeFrameAnimQueue(FrameAnimQueue& queue) {
    Handle entry = queue.first;
    queue.first = 0;
    while (entry) {
        const Handle next = ReadEntry(entry).next;
        FreeEntry(entry);
        entry = next;
    }
}

bool IsFrameAnimQueueEmpty(const FrameAnimQueue& queue) { return queue.first == 0; }

bool FrameAnimsDoneIn(const FrameAnimQueue& queue, uint16_t objectId, bool anyOwner) {
    for (Handle entry = queue.first; entry;) {
        const FrameAnimEntry e = ReadEntry(entry);
        if ((anyOwner || e.objectId == objectId) && !(e.flags & kFrameAnimStopping))
            return false;
        entry = e.next;
    }
    return true;
}

HBITMAP CreateFrameAnimBitmap(Handle data) {
    const std::vector<uint8_t> bytes = HandleToBytes(data);
    FrameAnimHeader header;
    if (CheckFrameAnim(bytes, &header) != FrameAnimRefusal::None)
        return nullptr;
    ScopedHandle picture(NewFramePicture(header));
    if (!picture.get())
        return nullptr;
    {
        LockedDib dib(picture.get());
        if (!dib || !DecodeAnimFrame(bytes, 1, header, dib.image()))
            return nullptr;
    }
    if (!DibFlipRows(picture.get()))
        return nullptr;
    LockedDib dib(picture.get());
    WindowDC dc(GetCardWindow());
    if (!dib || !dc)
        return nullptr;
    SelectedPalette palette(dc.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.bytes().data());
    return CreateDIBitmap(dc.get(), &info->bmiHeader, CBM_INIT, dib.image().data(), info, DIB_RGB_COLORS);
}

namespace {

// A palette of the first entries of another.
HPALETTE FirstEntriesOf(HPALETTE palette, UINT count) {
    std::vector<uint8_t> block(LogPaletteSize(count));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(GetPaletteEntries(palette, 0, count, logical->palPalEntry));
    return logical->palNumEntries ? CreatePalette(logical) : nullptr;
}

// The old colour of each index (the card picture's table) to the nearest of the palette, cut to
// 16 entries for a 4-bit animation.
std::array<uint8_t, 256> NearestIndexMap(Handle card, const FrameAnimHeader& header, HPALETTE palette) {
    std::array<uint8_t, 256> map;
    for (size_t i = 0; i < map.size(); ++i)
        map[i] = static_cast<uint8_t>(i);
    OwnedGdiObject<HPALETTE> cut(header.depth == 4 ? FirstEntriesOf(palette, 16) : nullptr);
    if (cut)
        palette = cut.get();
    ScopedHandle table(NewDib(1, 1, header.depth));
    if (!palette || !table.get())
        return map;
    DibApplyPalette(card, table.get());
    LockedDib dib(table.get());
    if (!dib)
        return map;
    const std::span<const uint8_t> colours = dib.table();
    for (size_t i = 0; i < colours.size() / 4 && i < map.size(); ++i) {
        const COLORREF rgb = RGB(colours[4 * i + 2], colours[4 * i + 1], colours[4 * i]);
        const UINT nearest = GetNearestPaletteIndex(palette, rgb);
        if (nearest != CLR_INVALID)
            map[i] = static_cast<uint8_t>(nearest);
    }
    return map;
}

}  // namespace

void RemapFrameAnimColors(Handle card, uint32_t offset, HPALETTE palette) {
    std::vector<uint8_t> record = HandleToBytes(card);
    if (!palette || offset >= record.size())
        return;
    const std::span<uint8_t> button(record.data() + offset, ActionRecordBytes(std::span<const uint8_t>(record).subspan(offset)).size());
    uint32_t at = 0;
    if (!FindChunk(button, kTagAnimation, &at))
        return;
    const uint32_t chunkLength = GetU32(button.subspan(at), kObjectLength);
    const size_t payloadAt = offset + at + kChunkHeaderBytes;
    const size_t payloadBytes = ChunkPayload(button.subspan(at, chunkLength)).size();
    std::span<uint8_t> payload(record.data() + payloadAt, payloadBytes);
    FrameAnimHeader header;
    if (GetBE32(payload, 0) == kSprt || CheckFrameAnim(payload, &header) != FrameAnimRefusal::None ||
        (header.depth != 4 && header.depth != 8))
        return;
    const std::array<uint8_t, 256> map = NearestIndexMap(card, header, palette);
    RemapAnimFramePixels(payload, header, map);
    // Frame 1 as a whole picture, its pixels mapped, packed again in place of the old rows.
    AnimFramePlace first;
    FindAnimFrame(payload, 1, &first);
    std::vector<uint8_t> picture(size_t{header.pictureRowBytes} * header.height);
    if (!DecodeFirstAnimFrame(AnimFrameData(payload, first), header, picture))
        return;
    RemapAnimPixelBytes(picture, header.depth, map);
    const std::vector<uint8_t> rows = PackFirstAnimFrame(picture, header);
    const int64_t change = int64_t{kFrameAnimFrameHeadBytes} + static_cast<int64_t>(rows.size()) - first.length;
    if (change % 2 != 0)
        return;  // chunks stay even
    const size_t frameAt = payloadAt + first.offset;
    record.erase(record.begin() + static_cast<std::ptrdiff_t>(frameAt + kFrameAnimFrameHeadBytes),
                 record.begin() + static_cast<std::ptrdiff_t>(frameAt + first.length));
    record.insert(record.begin() + static_cast<std::ptrdiff_t>(frameAt + kFrameAnimFrameHeadBytes), rows.begin(), rows.end());
    const std::span<uint8_t> all(record);
    SetU32(all, frameAt + kFrameLength, static_cast<uint32_t>(kFrameAnimFrameHeadBytes + rows.size()));
    SetU32(all, offset + at + kObjectLength, static_cast<uint32_t>(chunkLength + change));
    SetU32(all, offset + kObjectLength, static_cast<uint32_t>(GetU32(all, offset + kObjectLength) + change));
    if (SetHandleBytes(card, record) == 0)
        SyncCardLength(card);
}

// ---- the entry points of Animations.h ----

int RunFrameAnimQueue(HWND window, HRGN clip) { return StepFrameAnimQueue(GlobalFrameAnimQueue(), window, clip) ? 1 : 0; }

void StopFrameAnimations() { FreeFrameAnimQueue(GlobalFrameAnimQueue()); }

int StartFrameAnimation(Handle reference, const Rect32& rect, uint16_t objectId) {
    return QueueFrameAnimation(reference, rect, GlobalFrameAnimQueue(), objectId) ? 1 : 0;
}

bool FrameAnimsDoneFor(uint16_t objectId) { return FrameAnimsDoneIn(GlobalFrameAnimQueue(), objectId); }

bool AllFrameAnimsDone() { return FrameAnimsDoneIn(GlobalFrameAnimQueue(), 0, true); }
