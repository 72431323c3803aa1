// The object records' fields their layers take, read without Windows (ObjectLayerFields.h).
#include "objects/ObjectLayerFields.h"

#include <algorithm>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/pictures/GraphicPicture.h"

namespace {

// The name: a length byte and at most 31 characters in a 32-byte field. The length byte comes
// from the file: it never copies more than the field and the record hold.
void ReadButtonName(std::span<const uint8_t> record, ButtonLayerFields* out) {
    out->nameLength = 0;
    out->name[0] = '\0';
    if (record.size() <= kButtonName)
        return;
    const size_t field = std::min<size_t>(kButtonNameBytes, record.size() - kButtonName);
    const size_t length = std::min<size_t>({record[kButtonName], field - 1, sizeof out->name - 1});
    std::memcpy(out->name, record.data() + kButtonName + 1, length);
    out->name[length] = '\0';
    out->nameLength = static_cast<uint8_t>(length);
}

// The payload of the mask chunk (tag 130), empty when there is none.
std::span<const uint8_t> MaskChunk(std::span<const uint8_t> record) {
    const uint32_t length = GetU32(record, kObjectLength);
    if (length < kButtonHeaderBytes || length > record.size())
        return {};
    ButtonChunkWalk walk(record.first(length));
    ObjectPlace place;
    while (walk.Next(place)) {
        if (place.kind != 130 || place.length & 1)
            continue;
        const std::span<const uint8_t> chunk = record.subspan(place.offset, place.length);
        const uint32_t pad = (GetU16(chunk, kObjectFlags) & kObjectPadded) ? 1 : 0;
        return place.length >= kChunkHeaderBytes + pad ? chunk.subspan(kChunkHeaderBytes, place.length - kChunkHeaderBytes - pad)
                                                      : std::span<const uint8_t>{};
    }
    return {};
}

}  // namespace

bool ReadLayerCommonFields(std::span<const uint8_t> record, uint16_t kind, LayerCommonFields* out) {
    if (record.size() < kObjectCommonBytes || GetU16(record, kObjectKind) != kind)
        return false;
    out->kind = kind;
    out->id = GetU16(record, kObjectId);
    for (int i = 0; i < 4; ++i)
        out->bounds[i] = GetI16(record, kObjectRect + 2 * i);
    return true;
}

uint16_t RecordFlags(std::span<const uint8_t> record) {
    return record.size() < kObjectCommonBytes ? 0 : GetU16(record, kObjectFlags);
}

ButtonFontFields ReadButtonFontFields(std::span<const uint8_t> record) {
    return {GetU16(record, kButtonFontNumber), GetU16(record, kButtonFontSize), GetU16(record, kButtonStyle)};
}

bool ReadButtonLayerFields(std::span<const uint8_t> record, ButtonLayerFields* out) {
    if (!ReadLayerCommonFields(record, kObjectButton, &out->common))
        return false;
    const uint16_t shape = GetU16(record, kButtonShape);
    out->shape = shape <= kButtonShapeLasso ? static_cast<int16_t>(shape) : int16_t{kButtonShapeRounded};
    out->flags = RecordFlags(record);
    out->colorIndex = static_cast<uint16_t>(GetU16(record, kButtonNameColor) - 1);
    out->secondColorIndex = static_cast<uint16_t>(GetU16(record, kButtonFillColor) - 1);
    const uint16_t options = GetU16(record, kButtonOptions);
    out->styleHas8 = (options & kButtonShowName) ? 1 : 0;
    out->styleLacks4 = (options & kButtonNoHilite) ? 0 : 1;
    out->showIcon = (options & kButtonShowIcon) != 0;
    out->iconId = GetU16(record, kButtonIconId);
    out->cursorId = GetU16(record, kButtonCursorId);
    out->font = ReadButtonFontFields(record);
    ReadButtonName(record, out);
    out->packedMask = IsMaskedButtonShape(out->shape) ? MaskChunk(record) : std::span<const uint8_t>{};
    return true;
}

bool ReadFieldLayerFields(std::span<const uint8_t> record, FieldLayerFields* out) {
    if (!ReadLayerCommonFields(record, kObjectText, &out->common))
        return false;
    out->objectFlags = RecordFlags(record);
    out->options = GetU16(record, kTextOptions);
    const uint16_t color = GetU16(record, kTextColor);
    out->colorIndex = color ? static_cast<uint16_t>(color - 1) : 0;
    out->alignment = GetI16(record, kTextAlignment);
    out->actionId = GetU16(record, kTextAction);
    out->cursorId = GetU16(record, kTextCursor);
    return true;
}

std::string FieldRecordName(std::span<const uint8_t> record) {
    if (record.size() < kTextName + kTextNameBytes)
        return {};
    const size_t length = std::min<size_t>(record[kTextName], kTextNameBytes - 1);
    std::string name(1, static_cast<char>(length));
    name.append(reinterpret_cast<const char*>(record.data() + kTextName + 1), length);
    return name;
}

bool ReadGraphicLayerFields(std::span<const uint8_t> record, GraphicLayerFields* out) {
    if (!ReadLayerCommonFields(record, kObjectGraphic, &out->common) || record.size() < kGraphicHeaderBytes)
        return false;
    if (GetU16(record, kGraphicPictureFlags) == kGraphicNeverDrawn)
        return false;
    const uint16_t flags = GetU16(record, kObjectFlags);
    out->hidden = (flags & kObjectHidden) != 0;
    out->frameWidth = std::min(GetU16(record, kGraphicFrameWidth), kGraphicMaxFrameWidth);
    out->colorIndex = static_cast<uint16_t>(GetU16(record, kGraphicColor) - 1);
    out->objectWord = GetU16(record, kGraphicAction);
    out->cursorId = GetU16(record, kGraphicCursor);
    out->transparency = std::min(GetU16(record, kGraphicTransparency), kGraphicMaxTransparency);
    out->pictureInFile = (flags & kObjectHasPath) != 0;
    GraphicRecordLayout layout;
    out->packedMask = ReadGraphicRecordLayout(record, layout) ? layout.mask : std::span<const uint8_t>{};
    return true;
}

bool ReadGraphicPictureFile(std::span<const uint8_t> record, std::string_view* name, int crop[4]) {
    GraphicRecordLayout layout;
    if (!ReadGraphicRecordLayout(record, layout) || layout.fileReference.empty())
        return false;
    *name = layout.fileReference;
    const int left = GetI16(record, kGraphicSourceLeft), top = GetI16(record, kGraphicSourceTop);
    const int width = GetI16(record, kGraphicPictureRect + 4) - GetI16(record, kGraphicPictureRect);
    const int height = GetI16(record, kGraphicPictureRect + 6) - GetI16(record, kGraphicPictureRect + 2);
    crop[0] = left;
    crop[1] = top;
    crop[2] = left + width;
    crop[3] = top + height;
    return true;
}
