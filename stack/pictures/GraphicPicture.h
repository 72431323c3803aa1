// The picture a graphic object (kind 16, host order) keeps in its record: its rows from byte 80
// (LZRW1 row records when +28 has 0x10, else Mac rows), then its packed mask, then +64 bytes of
// something else and a pad byte when +22 has 0x200. The mask always starts at
// length - pad - (+64) - (+60): the reader, the conversion and the writers keep to that. Size from the picture rectangle at +30,
// depth at +54. Rows lie top row first in the graphic's own pixel order.
//
//   GraphicPicture.cpp      the checked view, the picture as a DIB and back (platform-free)
//   GraphicPicture_win.cpp  depth conversion and palette re-mapping through GDI and vic32
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "graphics/dib/Dib.h"
#include "format/StackFile.h"

enum class GraphicPictureRefusal : uint8_t {
    None,
    NotGraphic,   // shorter than its header, or not kind 16
    InFile,       // +22 has 0x40: no stored picture
    BadSize,      // width or height from +30 outside 1..kDibMaxDimension
    BadDepth,     // +54 not 4, 8, 16, 24 or 32
    BadLengths,   // length, mask length, +64 and pad do not fit each other
    RowsTooShort, // the rows cannot fill the picture
};
const char* GraphicPictureRefusalText(GraphicPictureRefusal refusal);

// The parts of a graphic record (host order), every length checked against the record.
struct GraphicRecordLayout {
    std::span<const uint8_t> data;   // from byte 80 up to the mask
    std::span<const uint8_t> mask;   // a PackedMask; empty unless +28 has 0x02 and +60 is above 0
    // Disk based: the path at the start of the data, NUL excluded. Empty when the record is not
    // disk based or the path has no NUL inside the data (such a record gets no picture).
    std::string_view fileReference;
};
// False when the record is too short, not kind 16, or its lengths do not fit each other.
bool ReadGraphicRecordLayout(std::span<const uint8_t> record, GraphicRecordLayout& out);
// A graphic record of the header's first 80 bytes, the data padded to even, the mask, and one
// pad byte (+22 flag 0x200) when the total is odd; +12 the length, +60 the mask length, +64 0,
// +28 flag 0x02 set by the mask. Empty when the header is short or the total exceeds 32 bits.
std::vector<uint8_t> BuildGraphicRecord(std::span<const uint8_t> header, std::span<const uint8_t> data,
                                        std::span<const uint8_t> mask);

struct GraphicPictureView {
    int width = 0, height = 0, depth = 0;
    bool packedRows = false;
    std::span<const uint8_t> rows;  // the picture data
    std::span<const uint8_t> mask;  // empty unless +28 has 0x02 and +60 is above 0
};
// Every length and the depth checked against the record before anything is made for it: so a
// view that passes never makes a DIB larger than its rows can fill.
GraphicPictureRefusal ReadGraphicPicture(std::span<const uint8_t> graphic, GraphicPictureView& out);

// The rows as a new DIB of the view's depth, top row first, colour table zero; 0 when the packed
// rows turn out damaged or memory runs out.
DibHandle GraphicPictureToDib(const GraphicPictureView& view);
// The data that replaces a graphic's picture: the DIB's rows as LZRW1 row records padded to an
// even length, then the mask. Empty when the rows cannot be packed.
std::vector<uint8_t> GraphicPictureData(DibHandle dib, std::span<const uint8_t> mask);
