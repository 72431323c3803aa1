// What each object kind's layer takes from its record, read without Windows: the common header,
// a button's shape, colours, options, name, font words and freehand mask chunk, a text object's
// words, a graphic's words, mask and picture file. Every length the record gives is bounded by
// the record. The layer builders (ObjectLayerKinds.h) make their layers of these.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The common header: kind, id and bounds (left, top, right, bottom).
struct LayerCommonFields {
    uint16_t kind = 0;
    uint16_t id = 0;
    int16_t bounds[4] = {};
};
// False when the record is shorter than the common header or of another kind.
bool ReadLayerCommonFields(std::span<const uint8_t> record, uint16_t kind, LayerCommonFields* out);
// The record's flag word; 0 when it is shorter than the common header.
uint16_t RecordFlags(std::span<const uint8_t> record);

// A button's font: its number in the stack's font table (0: the display's font), size in
// points and style bits; read from any record long enough (0 past its end).
struct ButtonFontFields {
    uint16_t number = 0;
    uint16_t size = 0;
    uint16_t style = 0;
};
ButtonFontFields ReadButtonFontFields(std::span<const uint8_t> record);

struct ButtonLayerFields {
    LayerCommonFields common;
    int16_t shape = 0;  // 0 to 7; another stored value reads as 0
    uint16_t flags = 0;
    uint16_t colorIndex = 0;        // the stored colours minus 1
    uint16_t secondColorIndex = 0;
    uint16_t styleHas8 = 0;    // the name is shown
    uint16_t styleLacks4 = 0;  // it highlights
    bool showIcon = false;
    uint16_t iconId = 0;
    uint16_t cursorId = 0;
    ButtonFontFields font;
    uint8_t nameLength = 0;
    char name[33] = {};
    std::span<const uint8_t> packedMask;  // shapes 5 to 7: the freehand mask chunk; empty when none
};
bool ReadButtonLayerFields(std::span<const uint8_t> record, ButtonLayerFields* out);

struct FieldLayerFields {
    LayerCommonFields common;
    uint16_t objectFlags = 0;
    uint16_t options = 0;
    uint16_t colorIndex = 0;  // the stored colour counts from 1 (0: none, taken as the first)
    int16_t alignment = 0;
    uint16_t actionId = 0;
    uint16_t cursorId = 0;
};
// Words past a short record read as 0.
bool ReadFieldLayerFields(std::span<const uint8_t> record, FieldLayerFields* out);
// The object's name, its length byte first; empty when the record is shorter than the name.
std::string FieldRecordName(std::span<const uint8_t> record);

struct GraphicLayerFields {
    LayerCommonFields common;
    bool hidden = false;
    uint16_t frameWidth = 0;  // at most kGraphicMaxFrameWidth
    uint16_t colorIndex = 0;
    uint16_t objectWord = 0;
    uint16_t cursorId = 0;
    uint16_t transparency = 0;  // percent, at most 100
    bool pictureInFile = false;
    // A record whose lengths disagree keeps its bounds, without mask (or file name).
    std::span<const uint8_t> packedMask;
};
// False for a record shorter than the graphic header, of another kind, or whose picture flags
// are exactly kGraphicNeverDrawn.
bool ReadGraphicLayerFields(std::span<const uint8_t> record, GraphicLayerFields* out);
// The picture file's name (only when its NUL lies before the mask) and the part of the picture
// to cut from it (left, top, right, bottom); false when the record names none.
bool ReadGraphicPictureFile(std::span<const uint8_t> record, std::string_view* name, int crop[4]);
