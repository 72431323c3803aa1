// A block of text lines drawn into a rectangle at a vertical offset that the caller changes to
// scroll it (the about box's credits).
#pragma once

#include <windows.h>

#include <cstdint>

#include "core/memory/Handles.h"

// The record a text block is drawn from, kept in a Handle. The about box's scroller is this
// record; flags, palette and pausedRect are its own, the text drawer leaves them alone.
struct TextBlockRecord {
    uint32_t flags;
    int32_t lowerBound;  // lowest offset before the text starts again; set on the first draw
    int32_t offset;      // vertical position of the first line within rect
    HFONT font;          // null: the context's font
    HPALETTE palette;
    RECT rect;           // where the block appears on the target
    RECT pausedRect;
    Handle text;         // lines separated by line feeds
};
static_assert(sizeof(void*) != 4 || sizeof(TextBlockRecord) == 56, "the record is 56 bytes in the 32-bit build");

// Draws the record's text through an offscreen bitmap the size of its rectangle: black ground,
// cyan transparent text in the record's font, lines from the offset down one font height apart,
// then copies it to the rectangle on dc. The first draw with a lower bound of 0 sets it. False
// when the record cannot be used or nothing could be drawn.
bool DrawTextBlock(HDC dc, Handle record);
