// The card size of the stack header copied into a card record, for cards that come from a stack
// of an older format (card import) or whose records predate the size fields.
#pragma once

#include <cstdint>
#include <span>

// Copies the header's card width and height words into the record's width and height fields,
// bytes as they stand, so both sides must be in the same byte order. False, nothing written,
// when either is too short to hold them.
bool CopyCardSizeWords(std::span<const uint8_t> stackHeader, std::span<uint8_t> cardRecord);
