// Frame animations: flip-books that play in place on the card, each frame drawn straight to the
// card window. Playing puts an entry in one queue, oldest first; the periodic tick, the wait
// after actions and the message loops step it (RunFrameAnimQueue, Animations.h, as are
// StartFrameAnimation, StopFrameAnimations and FrameAnimsDoneFor). The frames are decoded by
// stack/pictures/FrameAnimFrames.h.
//
// An entry lives until its last cycle ends, it is stopped, or the queue is freed (leaving a
// card, stopping all media). Stopping is two steps: marked, then gone at its next due time,
// without drawing.
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/memory/Handles.h"
#include "core/memory/ShortRect.h"

// One queue: the global one plays; tests make their own.
struct FrameAnimQueue {
    Handle first = 0;
};
FrameAnimQueue& GlobalFrameAnimQueue();

// Queues the animation (header first; with kFrameAnimInChunk only the header, the frames coming
// from the owner's animation chunk) to play in the card area: frame 1 now. The data becomes the
// queue's unless kFrameAnimNotOwned; it is freed here when nothing is queued (a header or frame 1
// that the data does not hold, no memory for the picture). True when queued.
bool QueueFrameAnimation(Handle data, const Rect32& area, FrameAnimQueue& queue, uint16_t objectId);
// One step of the queue at the tick count: each due entry draws its next frame on the window
// (inside the clip region unless kFrameAnimUnclipped). True while entries remain.
bool StepFrameAnimQueue(FrameAnimQueue& queue, HWND window, HRGN clip);
// Marks the owner's entries (every entry for id 0) stopping: each ends at its next due time
// without drawing.
void StopFrameAnimsOf(FrameAnimQueue& queue, uint16_t objectId);
// Frees every entry at once, drawing nothing.
void FreeFrameAnimQueue(FrameAnimQueue& queue);
bool IsFrameAnimQueueEmpty(const FrameAnimQueue& queue);
// True when no entry of the owner (of any owner with anyOwner) remains that is not stopping.
bool FrameAnimsDoneIn(const FrameAnimQueue& queue, uint16_t objectId, bool anyOwner = false);

// Frame 1 of the animation (header first, frames with it) as a bitmap for the card window's
// drawing context, in the current card's colours; null when the header or frame 1 is not whole.
HBITMAP CreateFrameAnimBitmap(Handle data);
// Re-maps the pixel values of every frame of the button's frame animation (the button at offset
// in the card record) to the palette's nearest colours; frame 1 is stored again, and the
// chunk's, the button's and the card's lengths follow. Nothing for an animation that is not
// 4 or 8 bits or not whole.
void RemapFrameAnimColors(Handle card, uint32_t offset, HPALETTE palette);
