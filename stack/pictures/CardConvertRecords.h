// The record work of converting a card (CardPictureConvert_win.cpp does the pixels through GDI
// and vic32): which route its picture takes, where its objects keep their colour indexes and
// their translation through a table, and the walk over the graphics to convert. No Windows;
// fuzzed (tests/fuzz/stack/cardconvert_fuzz.cpp).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "stack/cards/CardList.h"
#include "stack/pictures/CardPictureStore.h"

// What ConvertCardPicture decides by: the record's kind, its picture's format and stored depth
// (the run's oldDepth when the record names none), whether the card changes size.
CardPictureCase ReadCardPictureCase(std::span<const uint8_t> record, int oldDepth, int newDepth, int width,
                                    int height, int displayDepth, bool stackJpegFlag);

// A stored colour index (1-based; 0 none) of an object of the card record: the object's kind and
// place, and the word's offset inside the object.
struct ObjectColorWord {
    ObjectPlace place;
    uint32_t at = 0;
};
// The colour words of the record's graphics (one), buttons (name and fill) and text objects
// (one), in list order; an object shorter than its kind's header has none. `places` gets every
// object's place in list order.
std::vector<ObjectColorWord> ObjectColorWords(std::span<const uint8_t> record, std::vector<ObjectPlace>* places);
// Each stored index n of 1 to 256 becomes table[n - 1] + 1; a text object's 0 (no colour, shown
// as the first entry) becomes 1 first. The objects' places, in list order.
std::vector<ObjectPlace> TranslateObjectColors(std::vector<uint8_t>& record, const std::array<uint8_t, 256>& table);

// The first graphic from `position` on (an object's offset in the record) that needs converting
// to depth; false when none is left.
bool NextGraphicToConvert(std::span<const uint8_t> record, uint32_t position, int depth, ObjectPlace* place);
// The graphic at place given its converted data (ReplaceObjectBytes), marked as at depth with
// its rows packed and nothing after its mask; *next is where the walk goes on. False, record as
// it was, when the data does not replace the old.
bool StoreConvertedGraphic(std::vector<uint8_t>& record, const ObjectPlace& place, std::span<const uint8_t> data,
                           uint32_t maskLength, int depth, uint32_t* next);
