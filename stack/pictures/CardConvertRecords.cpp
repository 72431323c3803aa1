// The record work of a card's conversion (CardConvertRecords.h).
#include "stack/pictures/CardConvertRecords.h"

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

CardPictureCase ReadCardPictureCase(std::span<const uint8_t> record, int oldDepth, int newDepth, int width,
                                    int height, int displayDepth, bool stackJpegFlag) {
    CardPictureCase c;
    c.kind = GetU16(record, kCardKind);
    PictureBlockView view;
    c.format = ReadPictureBlock(record, view) ? view.format : 0;
    c.oldDepth = StoredPictureDepth(record, oldDepth);
    c.newDepth = newDepth;
    c.displayDepth = displayDepth;
    c.sizeChanged = GetU16(record, kCardWidth) != width || GetU16(record, kCardHeight) != height;
    c.stackJpegFlag = stackJpegFlag;
    return c;
}

std::vector<ObjectColorWord> ObjectColorWords(std::span<const uint8_t> record, std::vector<ObjectPlace>* places) {
    std::vector<ObjectColorWord> words;
    places->clear();
    CardObjectWalk walk(record);
    ObjectPlace place;
    while (walk.Next(place)) {
        places->push_back(place);
        if (place.kind == kObjectGraphic && place.length >= kGraphicHeaderBytes) {
            words.push_back({place, kGraphicColor});
        } else if (place.kind == kObjectButton && place.length >= kButtonHeaderBytes) {
            words.push_back({place, kButtonNameColor});
            words.push_back({place, kButtonFillColor});
        } else if (place.kind == kObjectText && place.length >= kTextHeaderBytes) {
            words.push_back({place, kTextColor});
        }
    }
    return words;
}

std::vector<ObjectPlace> TranslateObjectColors(std::vector<uint8_t>& record, const std::array<uint8_t, 256>& table) {
    std::vector<ObjectPlace> places;
    for (const ObjectColorWord& word : ObjectColorWords(record, &places)) {
        const std::span<uint8_t> object = std::span<uint8_t>(record).subspan(word.place.offset, word.place.length);
        if (word.place.kind == kObjectText && GetU16(object, word.at) == 0)
            SetU16(object, word.at, 1);
        const uint16_t stored = GetU16(object, word.at);
        if (stored >= 1 && stored <= 256)
            SetU16(object, word.at, static_cast<uint16_t>(table[stored - 1] + 1));
    }
    return places;
}

bool NextGraphicToConvert(std::span<const uint8_t> record, uint32_t position, int depth, ObjectPlace* place) {
    CardObjectWalk walk(record, position);
    while (walk.Next(*place)) {
        if (place->kind == kObjectGraphic && !(place->flags & kObjectDeletedFlag) &&
            GraphicNeedsDepthConversion(record.subspan(place->offset, place->length), depth))
            return true;
    }
    return false;
}

bool StoreConvertedGraphic(std::vector<uint8_t>& record, const ObjectPlace& place, std::span<const uint8_t> data,
                           uint32_t maskLength, int depth, uint32_t* next) {
    if (!ReplaceObjectBytes(record, place.offset, data, maskLength))
        return false;
    const std::span<uint8_t> graphic = std::span<uint8_t>(record).subspan(place.offset);
    SetU16(graphic, kGraphicPictureDepth, static_cast<uint16_t>(depth));
    SetU16(graphic, kGraphicPictureFlags, GetU16(graphic, kGraphicPictureFlags) | kGraphicRowsPacked);
    SetU32(graphic, kGraphicAfterMask, 0);  // whatever lay after the mask is gone
    *next = place.offset + GetU32(graphic, kObjectLength);
    return true;
}
