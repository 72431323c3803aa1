// The start frames that a card shows of its objects' animations and movies before they play
// (the card redraw draws them into the offscreen through CardRedrawUpcalls).
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

// DrawObjectAnimationStart as the card redraw calls it: the action block is the 'Actn'
// resource actionId when not 0, else record (a button's own record). A movie chunk (tag 89,
// flag 4, action bit 0x100) has its still drawn by its movie element (MediaOpenMovie, not
// played); an animation chunk (tag 56, action bit 0x80) that is an animated object has its
// start frame drawn (SetAnimTargetOffscreen, animation/AnimPlayback.h), a frame animation
// with flag 2 its first frame at the chunk's rectangle (clipped to the card clip region unless
// flag 64).
// MovieStills draws the movie's still alone.
enum class StartFrames { All, MovieStills };
void DrawActionAnimationStart(std::span<const uint8_t> record, uint16_t actionId, HDC dc,
                              StartFrames which = StartFrames::All);

// A frame animation's first frame copied to rect, clipped to the card clip region when clip.
void DrawFrameAnimationStart(std::span<const uint8_t> animation, const RECT& rect, bool clip, HDC dc);
