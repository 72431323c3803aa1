// The frames of a frame animation (an animation chunk's payload that is no sprite record; the
// layout is in format/StackFile.h), decoded into a picture: frame 1's rows, then each
// later frame's pairs over the picture that the frame before left. Platform-free: the play
// queue and the drawing are actions/FrameAnimations.h, the stack report describes them.
//
// A picture here is the image of a DIB of the header's width, height and depth: rows padded to
// 32 bits, top row first (the drawing turns them over for the call). Everything read from the
// animation is checked first: a frame whose length is below its head or runs past the data ends
// the walk, a pair whose bytes fall outside the picture is skipped.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "format/StackFile.h"

struct FrameAnimHeader {
    int width = 0;
    int height = 0;
    uint16_t delay = 0;  // ticks
    uint16_t cycles = 0;
    int frameCount = 0;
    int depth = 0;
    uint16_t flags = 0;
    uint32_t storedRowBytes = 0;   // the depth's bits of a row, padded to 16
    uint32_t pictureRowBytes = 0;  // padded to 32
};

enum class FrameAnimRefusal : uint8_t {
    None,
    Short,            // fewer bytes than the header
    BadSize,          // width or height outside 1..32767
    BadDepth,         // not 1, 4, 8, 16, 24 or 32 bits
    NoFrames,         // a frame count below 1
    FirstFrameShort,  // frame 1's head or rows do not lie inside the data
};
const char* FrameAnimRefusalText(FrameAnimRefusal refusal);

// The header, checked (with FirstFrameShort never given: the frames are not looked at).
FrameAnimRefusal ReadFrameAnimHeader(std::span<const uint8_t> animation, FrameAnimHeader* header);
// The header and frame 1: what must hold before an animation is queued or its first frame drawn.
FrameAnimRefusal CheckFrameAnim(std::span<const uint8_t> animation, FrameAnimHeader* header);

// Where frame n (from 1) lies in the animation (header first): the offset of its head and its
// length, head included. False when the walk leaves the data before it, or meets a length below
// the head or past the data.
struct AnimFramePlace {
    uint32_t offset = 0;
    uint32_t length = 0;
};
bool FindAnimFrame(std::span<const uint8_t> animation, int n, AnimFramePlace* place);
// The frame's data after its head.
std::span<const uint8_t> AnimFrameData(std::span<const uint8_t> animation, const AnimFramePlace& place);

// Frame 1's stored rows into the picture (pictureRowBytes x height); false, the picture as it
// was, when the data holds fewer rows.
bool DecodeFirstAnimFrame(std::span<const uint8_t> frameData, const FrameAnimHeader& header, std::span<uint8_t> picture);
// A later frame's pairs applied to the picture: (bytes / 4) 4-byte pairs with
// kFrameAnimShortPairs, their offsets in stored rows moved by the marker pairs, else
// (bytes / 8) 8-byte pairs with offsets in picture rows. The pairs written.
int ApplyAnimFramePairs(std::span<const uint8_t> frameData, const FrameAnimHeader& header, std::span<uint8_t> picture);
// Frame n over the picture: DecodeFirstAnimFrame for 1, else the pairs of frame n. False when
// the frame cannot be found or frame 1's rows fall short (the picture is then unchanged).
bool DecodeAnimFrame(std::span<const uint8_t> animation, int n, const FrameAnimHeader& header,
                     std::span<uint8_t> picture);

// The colour remap of an indexed animation: every pixel value of the pairs of frames 2 onwards
// (up to the first that cannot be found) through the map, by 4-bit pixel at 4 bits and by byte at
// 8; other depths, and marker pairs, stay as they are.
void RemapAnimFramePixels(std::span<uint8_t> animation, const FrameAnimHeader& header,
                          const std::array<uint8_t, 256>& map);
// The same for pixel bytes (a picture's rows, say).
void RemapAnimPixelBytes(std::span<uint8_t> bytes, int depth, const std::array<uint8_t, 256>& map);
// A picture packed back into frame 1's stored rows.
std::vector<uint8_t> PackFirstAnimFrame(std::span<const uint8_t> picture, const FrameAnimHeader& header);
