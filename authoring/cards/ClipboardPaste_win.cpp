// Paste: what the clipboard offers (the Paste item's noun) and pasting it, as a floating
// rectangle selection, a placed masked selection, an object, a card, or text for the active text.
#include "authoring/cards/ClipboardPaste.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/Resources.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/pixels/BitmapCopy.h"
#include "objects/PasteObjects.h"
#include "objects/text/ActiveTextField.h"
#include "paint/PaintTools.h"
#include "paint/Selections.h"
#include "stack/cards/CardList.h"
#include "stack/clipboard/Clipboard.h"
#include "stack/clipboard/ClipboardBitmaps.h"
#include "format/StackFile.h"

namespace {

HBITMAP AsBitmap(uint32_t id) { return reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(id)); }

void CopyNoun(const std::string& text, char* noun, size_t size) {
    if (!noun || !size)
        return;
    const size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(noun, text.data(), n);
    noun[n] = '\0';
}

}  // namespace

bool UpdatePasteMenuItem(char* noun, size_t size) {
    CopyNoun("", noun, size);
    if (IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB))
        return true;
    if (GetPasteTextNoun(noun, size))
        return true;  // text for the active field
    if (IsClipboardFormatAvailable(CF_TEXT) && GetPaintTextActive())
        return true;
    if (!IsClipboardMarkerPresent())
        return false;
    switch (Clip().kind) {
    case kClipNone: return GetPasteTextNoun(noun, size);
    case kClipBitmap: case kClipSelection: return true;
    case kClipObject: {
        std::vector<uint8_t> record = HandleToBytes(Clip().record);
        const uint16_t kind = record.size() >= 2 ? GetU16(record, kObjectKind) : 0;
        const uint32_t id = kind == kObjectGraphic ? kStringGraphicNoun
                            : kind == kObjectButton ? kStringButtonNoun
                            : kind == kObjectText   ? kStringTextObjectNoun
                                                    : 0;
        if (id)
            CopyNoun(ResText(id), noun, size);
        return true;
    }
    case kClipCard: CopyNoun(ResText(kStringCardNoun), noun, size); return true;
    default: return false;
    }
}

void PasteFromClipboard(void* window) {
    const bool marker = IsClipboardMarkerPresent();
    if ((IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB)) && !marker) {
        SelectToolNumber(kRectSelectTool);
        HBITMAP bitmap = PrepareDibForPaste(ForeignBitmap());
        if (!bitmap)
            return;  // nothing usable: a damaged DIB is not pasted
        SIZE size{};
        if (!BitmapSize(bitmap, &size)) {
            DeleteObject(bitmap);
            return;
        }
        uint16_t cardWidth = 0, cardHeight = 0;
        CurrentCardSize(&cardWidth, &cardHeight);  // centred on the card, whatever the window
        FloatRectSelectionBitmap(bitmap, (cardWidth - size.cx) / 2, (cardHeight - size.cy) / 2);
        return;
    }
    if (TextFieldPaste(static_cast<HWND>(window)) || !marker)
        return;
    InternalClipboard& c = Clip();
    SelectToolNumber(c.tool);
    switch (c.kind) {
    case kClipBitmap:
        if (const HBITMAP bitmap = PrepareDibForPaste(BitmapFromDibHandle(c.dib)))
            FloatRectSelectionBitmap(bitmap, c.x, c.y);
        break;
    case kClipSelection: {
        const HBITMAP source = BitmapFromDibHandle(c.dib);
        const HBITMAP mask = DuplicateBitmap(AsBitmap(c.mask)), outline = DuplicateBitmap(AsBitmap(c.outline));
        if (source)
            PlaceMaskSelection(source, mask, outline, c.x, c.y);
        for (HBITMAP b : {source, mask, outline})
            if (b)
                DeleteObject(b);
        break;
    }
    case kClipObject: PasteObjectOntoCard(static_cast<HWND>(window)); break;
    case kClipCard: PasteCard(); break;
    default: break;
    }
}
