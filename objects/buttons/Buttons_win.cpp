// A stored button record read into its layer: shape, flags, colours, options, name, font, icon
// and cursor, and the freehand mask chunk for shapes 5 to 7.
#include <cstring>

#include "core/ui/DisplayUtils.h"
#include "objects/ObjectLayerFields.h"
#include "objects/ObjectLayerKinds.h"
#include "objects/buttons/Buttons.h"
#include "objects/fonts/FontTable_win.h"
#include "format/ResFile.h"

namespace {

void FontFromFields(const ButtonFontFields& fields, LOGFONTA* font) {
    HFONT base = GetStartupDcFont();
    if (!base)
        base = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    GetObjectA(base, sizeof *font, font);
    if (fields.number == 0)
        return;
    lstrcpynA(font->lfFaceName, FontFaceOfNumber(fields.number, 12).c_str(), LF_FACESIZE);
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    if (fields.size)
        font->lfHeight = -MulDiv(fields.size, dpi, 72);
    font->lfWidth = 0;
    font->lfWeight = (fields.style & kButtonBold) ? FW_BOLD : FW_NORMAL;
    font->lfItalic = (fields.style & kButtonItalic) ? 1 : 0;
    font->lfUnderline = (fields.style & kButtonUnderline) ? 1 : 0;
}

}  // namespace

void ReadButtonFont(std::span<const uint8_t> record, LOGFONTA* font) { FontFromFields(ReadButtonFontFields(record), font); }

bool ReadButtonLayer(std::span<const uint8_t> record, ButtonLayer* layer, ButtonRecordParts* parts) {
    ButtonLayerFields fields;
    if (!ReadButtonLayerFields(record, &fields))
        return false;
    SetLayerCommon(fields.common, &layer->common);
    layer->shape = fields.shape;
    layer->flags = fields.flags;
    layer->colorIndex = fields.colorIndex;
    layer->secondColorIndex = fields.secondColorIndex;
    layer->styleHas8 = fields.styleHas8;
    layer->styleLacks4 = fields.styleLacks4;
    layer->showIcon = fields.showIcon ? 1 : 0;
    layer->icon = fields.showIcon ? LoadIconResource(fields.iconId) : 0;
    layer->cursorId = fields.cursorId;
    FontFromFields(fields.font, &layer->font);
    static_assert(sizeof layer->name == sizeof fields.name);
    std::memcpy(layer->name, fields.name, sizeof layer->name);
    layer->nameLength = fields.nameLength;
    if (parts && IsMaskedButtonShape(layer->shape))
        parts->packedMask = fields.packedMask;
    return true;
}
