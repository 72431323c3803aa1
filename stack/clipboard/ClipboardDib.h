// Packed DIBs from the system clipboard come from any program: every field is checked against
// the block's size before a pixel is read.
#pragma once

#include <cstdint>
#include <span>

struct ClipboardDibLayout {
    int width = 0;
    int height = 0;          // absolute value; rows are bottom-up when the header's is positive
    bool topDown = false;
    int bitCount = 0;
    uint32_t headerBytes = 0;
    uint32_t tableBytes = 0;  // colour table (and the three masks of BI_BITFIELDS)
    uint32_t bitsOffset = 0;
    uint32_t imageBytes = 0;
};

// True, with the layout, when the bytes hold a whole uncompressed (or bit-field) DIB: a known
// header size, one plane, a DIB bit count, a colour count the depth allows, and every row
// inside the block.
bool CheckClipboardDib(std::span<const uint8_t> block, ClipboardDibLayout* layout);
