// A card's picture as stored rows, decoded through the picture readers' own unpacking
// (stack/pictures/PackedPicture.h): for the stack report tool and the tests.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "format/StackFile.h"

struct CardPictureRows {
    int width = 0, height = 0, depth = 0;  // the card record's +20, +22, +18
    std::vector<uint8_t> rows;             // top row first, MacRowBytes each, stored pixel order
    std::vector<uint8_t> colorTable;       // the Mac colour table as it stands in the record
    uint32_t dataLength = 0;               // bytes after the colour table, pad excluded
};

enum class CardPictureResult {
    None,     // not a kind-1 card
    Decoded,  // rows filled
    Jpeg,     // format 3: only the sizes and dataLength are set
    Failed,   // *reason says why
};

// card: a host-order card record (as the stack reader leaves it). Every length and size in it
// is checked here again; a picture larger than kMaxCardExtent either way is not decoded.
CardPictureResult DecodeCardPictureRows(std::span<const uint8_t> card, CardPictureRows& out,
                                        const char** reason);
