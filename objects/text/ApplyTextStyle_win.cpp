#include "objects/text/ApplyTextStyle_win.h"

#include <cstdlib>
#include <string>

#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/ChangeFlags.h"
#include "layers/ObjectLayer.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/ObjectServices.h"
#include "objects/text/CurrentTextStyle_win.h"
#include "objects/fonts/FontTable.h"
#include "objects/text/TextFields.h"
#include "stack/cards/CardList.h"

namespace {

uint16_t SelectedKind(LayerHandle selected) {
    LayerLock<ObjectLayer> layer(selected);
    return layer ? layer->kind : 0;
}

void InvalidateOnCard(LayerHandle layer) {
    LayerLock<ObjectLayer> object(layer);
    if (object && GetCardWindow())
        InvalidateRect(GetCardWindow(), &object->bounds, FALSE);
}

int StyleByteOf(const LOGFONTA& font) {
    return (font.lfWeight == FW_BOLD ? 1 : 0) | (font.lfItalic ? 2 : 0) | (font.lfUnderline ? 4 : 0);
}

void ApplyToButton(LayerHandle selected, const LOGFONTA& font) {
    uint16_t id = 0;
    {
        LayerLock<ButtonLayer> button(selected);
        if (!button)
            return;
        button->font = font;
        id = button->common.id;
    }
    InvalidateOnCard(selected);
    const int points = PixelsToPoints(std::abs(static_cast<int>(font.lfHeight)));
    const uint16_t number =
        FontNumberForFace(font.lfFaceName, font.lfCharSet, font.lfPitchAndFamily, static_cast<int16_t>(points));
    SetObjectRecordWord(kObjectButton, id, kButtonFontNumber, number);
    SetObjectRecordWord(kObjectButton, id, kButtonFontSize, static_cast<uint16_t>(points));
    SetObjectRecordWord(kObjectButton, id, kButtonStyle, static_cast<uint16_t>(StyleByteOf(font)));
    MarkCardChanged();
}

}  // namespace

bool SetObjectRecordWord(uint16_t kind, uint16_t id, uint32_t offset, uint16_t value) {
    Handle record = 0;
    uint32_t at = 0;
    if (!FindObject(kind, id, &record, &at))
        return false;
    HandleLock lock(record);
    return lock && SetU16(lock.bytes(), size_t{at} + offset, value);
}

StyleTarget ApplyCurrentStyle(bool paintTextTyping) {
    const CurrentStyleInfo style = GetCurrentStyleInfo();
    const InstalledFont* installed = FindInstalledFont(style.face);
    if (!installed)
        return StyleTarget::NotApplied;
    LOGFONTA current;
    GetCurrentLogFont(&current);
    LOGFONTA font = installed->logFont;
    font.lfWeight = current.lfWeight;
    font.lfItalic = current.lfItalic;
    font.lfUnderline = current.lfUnderline;
    // Applied again and again, the height stays the same pixels.
    font.lfHeight = -std::abs(static_cast<int>(current.lfHeight));
    font.lfWidth = 0;
    SetCurrentLogFont(font);
    RemakeCurrentFont();
    if (paintTextTyping)
        return StyleTarget::PaintText;
    const LayerHandle selected = GetSelectedObject();
    if (selected && !GetActiveTextField() && SelectedKind(selected) == kObjectButton) {
        ApplyToButton(selected, font);
        return StyleTarget::Button;
    }
    return ApplyTextStyleToField(style.styleBits, style.size, style.fontType, style.textColor, style.backColor,
                                 style.alignment)
               ? StyleTarget::Field
               : StyleTarget::Nothing;
}

bool ApplyTextStyleToField(int styleBits, int size, int, uint16_t textColor, uint16_t backColor, int alignment) {
    LayerHandle layer = GetActiveTextField();
    TextScope scope = TextScope::Selection;
    const LayerHandle selected = layer ? nullptr : GetSelectedObject();
    if (!layer) {
        if (!selected || SelectedKind(selected) != kObjectText)
            return false;
        layer = selected;
        scope = TextScope::All;
    }
    HWND window = nullptr;
    uint16_t id = 0;
    {
        LayerLock<FieldLayer> field(layer);
        if (!field || !field->window)
            return false;
        window = field->window;
        id = field->common.id;
        field->colorIndex = backColor;
        field->alignment = static_cast<int16_t>(alignment);
        if (!(field->objectFlags & kTextTransparent))
            TextSetBackColor(window, PaletteIndexToColor(backColor));
    }
    const std::string face = GetCurrentStyleInfo().face;
    TextSetAlignment(window, alignment);
    TextSetColor(window, PaletteIndexToColor(textColor), scope);
    TextSetSize(window, size, scope);
    TextSetFontName(window, face.c_str(), scope);
    TextSetStyle(window, styleBits, scope);
    SetObjectRecordWord(kObjectText, id, kTextAlignment, static_cast<uint16_t>(alignment));
    SetObjectRecordWord(kObjectText, id, kTextColor, static_cast<uint16_t>(backColor + 1));
    {
        LayerLock<FieldLayer> field(layer);
        if (field)
            field->modified = 1;
    }
    SetFocus(window);
    if (selected)
        InvalidateOnCard(selected);
    MarkCardChanged();
    return true;
}
