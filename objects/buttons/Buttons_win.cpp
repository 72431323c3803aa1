// A stored button record read into its layer: shape, flags, colours, options, name, font, icon
// and cursor, and the freehand mask chunk for shapes 5 to 7.
#include <algorithm>
#include <cstring>

#include "core/memory/ByteReader.h"
#include "core/ui/DisplayUtils.h"
#include "objects/ObjectLayerKinds.h"
#include "objects/buttons/Buttons.h"
#include "objects/fonts/FontTable_win.h"
#include "stack/cards/CardList.h"
#include "stack/format/ResFile.h"

namespace {

// The name: a length byte and at most 31 characters in a 32-byte field. The length byte comes
// from the file: it never copies more than the field and the record hold.
void ReadButtonName(std::span<const uint8_t> record, ButtonLayer* layer) {
    layer->nameLength = 0;
    layer->name[0] = '\0';
    if (record.size() <= kButtonName)
        return;
    const size_t field = std::min<size_t>(kButtonNameBytes, record.size() - kButtonName);
    const size_t length = std::min<size_t>({record[kButtonName], field - 1, sizeof layer->name - 1});
    std::memcpy(layer->name, record.data() + kButtonName + 1, length);
    layer->name[length] = '\0';
    layer->nameLength = static_cast<uint8_t>(length);
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

void ReadButtonFont(std::span<const uint8_t> record, LOGFONTA* font) {
    HFONT base = GetStartupDcFont();
    if (!base)
        base = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    GetObjectA(base, sizeof *font, font);
    const uint16_t number = GetU16(record, kButtonFontNumber);
    if (number == 0)
        return;
    lstrcpynA(font->lfFaceName, FontFaceOfNumber(number, 12).c_str(), LF_FACESIZE);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (const uint16_t points = GetU16(record, kButtonFontSize))
        font->lfHeight = -MulDiv(points, dpi, 72);
    font->lfWidth = 0;
    const uint16_t style = GetU16(record, kButtonStyle);
    font->lfWeight = (style & kButtonBold) ? FW_BOLD : FW_NORMAL;
    font->lfItalic = (style & kButtonItalic) ? 1 : 0;
    font->lfUnderline = (style & kButtonUnderline) ? 1 : 0;
}

bool ReadButtonLayer(std::span<const uint8_t> record, ButtonLayer* layer, ButtonRecordParts* parts) {
    if (!ReadLayerCommon(record, kObjectButton, &layer->common))
        return false;
    const uint16_t shape = GetU16(record, kButtonShape);
    layer->shape = static_cast<int16_t>(shape <= 7 ? shape : 0);
    layer->flags = RecordFlags(record);
    layer->colorIndex = static_cast<uint16_t>(GetU16(record, kButtonNameColor) - 1);
    layer->secondColorIndex = static_cast<uint16_t>(GetU16(record, kButtonFillColor) - 1);
    const uint16_t options = GetU16(record, kButtonOptions);
    layer->styleHas8 = (options & kButtonShowName) ? 1 : 0;
    layer->styleLacks4 = (options & kButtonNoHilite) ? 0 : 1;
    layer->showIcon = (options & kButtonShowIcon) ? 1 : 0;
    layer->icon = layer->showIcon ? LoadIconResource(GetU16(record, kButtonIconId)) : 0;
    layer->cursorId = GetU16(record, kButtonCursorId);
    ReadButtonFont(record, &layer->font);
    ReadButtonName(record, layer);
    if (parts && layer->shape >= 5)
        parts->packedMask = MaskChunk(record);
    return true;
}
