// Saved buttons, graphic and text objects in the preview pane, drawn as they look on a card from the
// record the file holds (checked by the object file parser, then converted to host order).
#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "graphics/dib/Dib.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/DibGdi.h"
#include "host/medialibrary/MediaBrowserObjects.h"
#include "objects/text/FieldContents_win.h"
#include "objects/text/TextFields.h"
#include "stack/cards/FieldText.h"
#include "authoring/cards/ObjectFile.h"
#include "stack/format/StackFile.h"
#include "stack/pictures/GraphicPicture.h"

namespace {

struct ObjectPreview {
    uint16_t kind = 0;
    RECT rect{};
    // Buttons.
    int style = 0;
    COLORREF text = 0, fill = RGB(255, 255, 255);
    LOGFONTA font{};
    std::string name;
    // Graphics.
    Handle picture = 0;
    int frameWidth = 0;
    COLORREF frame = 0;
    ~ObjectPreview() { DisposeHandleAndClear(&picture); }
};

int16_t Word(const std::vector<uint8_t>& record, uint32_t offset) {
    int16_t value = 0;
    if (offset + 2 <= record.size())
        std::memcpy(&value, record.data() + offset, 2);
    return value;
}

// A stored colour index is the palette entry less one.
COLORREF PaletteColor(int stored) {
    PALETTEENTRY entry{};
    HPALETTE palette = GetAppPalette();
    if (!palette || stored < 1 || !GetPaletteEntries(palette, static_cast<UINT>(stored - 1), 1, &entry))
        return RGB(0, 0, 0);
    return RGB(entry.peRed, entry.peGreen, entry.peBlue);
}

// The object record of the file in host order; empty when the file or the record fails.
std::vector<uint8_t> HostRecord(const char* path) {
    const std::vector<uint8_t> file = ReadObjectFileBytes(path);
    ObjectFileLayout layout;
    if (file.empty() || ParseObjectFile(file, layout) != nullptr || layout.recordLength == 0)
        return {};
    std::vector<uint8_t> record(file.begin() + layout.recordOffset,
                                file.begin() + layout.recordOffset + layout.recordLength);
    StackConversion cv;
    const char* reason = nullptr;
    if (ConvertObjectRecord(record, ByteOrder::ToHost, cv, &reason) != 0)
        return {};
    return record;
}

bool BuildButton(const std::vector<uint8_t>& record, ObjectPreview& preview) {
    if (record.size() < kButtonHeaderBytes)
        return false;
    preview.style = Word(record, kButtonShape);
    preview.text = PaletteColor(Word(record, kButtonNameColor));
    preview.fill = PaletteColor(Word(record, kButtonFillColor));
    const uint8_t length = std::min<uint8_t>(record[kButtonName], kButtonNameBytes - 1);
    preview.name.assign(reinterpret_cast<const char*>(record.data() + kButtonName + 1), length);
    const int style = Word(record, kButtonStyle);
    HDC screen = GetDC(nullptr);
    const int size = Word(record, kButtonFontSize);
    preview.font.lfHeight = -MulDiv(size > 0 ? size : 12, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    preview.font.lfWeight = (style & kButtonBold) ? FW_BOLD : FW_NORMAL;
    preview.font.lfItalic = (style & kButtonItalic) ? TRUE : FALSE;
    preview.font.lfUnderline = (style & kButtonUnderline) ? TRUE : FALSE;
    std::strcpy(preview.font.lfFaceName, "Arial");
    return true;
}

bool BuildGraphic(const std::vector<uint8_t>& record, ObjectPreview& preview) {
    if (static_cast<uint16_t>(Word(record, kGraphicPictureFlags)) == kGraphicNeverDrawn)
        return false;
    GraphicPictureView view;
    if (ReadGraphicPicture(record, view) != GraphicPictureRefusal::None)
        return false;
    preview.picture = GraphicPictureToDib(view);
    if (!preview.picture)
        return false;
    if (view.depth <= 8)
        DibSetPaletteFrom(preview.picture, GetAppPalette());
    preview.frameWidth = Word(record, kGraphicFrameWidth);
    preview.frame = PaletteColor(Word(record, kGraphicColor));
    return true;
}

void DrawButton(HDC dc, const RECT& pane, const ObjectPreview& preview) {
    const int saved = SaveDC(dc);
    if (preview.style < 4 || preview.style > 7)
        IntersectClipRect(dc, pane.left + 2, pane.top, pane.right - 2, pane.bottom);
    HBRUSH fill = CreateSolidBrush(preview.fill);
    HFONT font = CreateFontIndirectA(&preview.font);
    SelectObject(dc, font);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, fill);
    SetTextColor(dc, preview.text);
    SetBkMode(dc, TRANSPARENT);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    const int corner = metrics.tmHeight;
    RECT r = pane;
    switch (preview.style) {
    case 0:
        RoundRect(dc, r.left + 1, r.top + 1, r.right, r.bottom, corner, corner);
        RoundRect(dc, r.left, r.top, r.right - 1, r.bottom - 1, corner, corner);
        break;
    case 1: {
        HPEN frame = CreatePen(PS_SOLID, 4, GetSysColor(COLOR_WINDOWFRAME));
        HGDIOBJ old = SelectObject(dc, frame);
        RoundRect(dc, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, corner, corner);
        SelectObject(dc, old);
        DeleteObject(frame);
        RoundRect(dc, r.left + 7, r.top + 7, r.right - 6, r.bottom - 6, corner, corner);
        RoundRect(dc, r.left + 6, r.top + 6, r.right - 7, r.bottom - 7, corner, corner);
        break;
    }
    case 2: Rectangle(dc, r.left, r.top, r.right, r.bottom); break;
    case 3:
        Rectangle(dc, r.left, r.top, r.right - 2, r.bottom - 2);
        PatBlt(dc, r.left + 2, r.bottom - 2, r.right - r.left - 2, 2, BLACKNESS);
        PatBlt(dc, r.right - 2, r.top + 2, 2, r.bottom - r.top - 2, BLACKNESS);
        break;
    case 4: case 5: case 6: case 7:
        FillRect(dc, &r, fill);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        break;
    default: break;
    }
    if (preview.style >= 0 && preview.style <= 7)
        DrawTextA(dc, preview.name.c_str(), static_cast<int>(preview.name.size()), &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    RestoreDC(dc, saved);
    DeleteObject(font);
    DeleteObject(fill);
}

bool DrawGraphic(HDC dc, const RECT& pane, const ObjectPreview& preview) {
    HandleLock lock(preview.picture);
    DibLayout layout;
    if (!ReadDibLayout(lock.bytes(), layout))
        return false;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top, 0, 0, layout.width,
                  layout.height, lock.get() + layout.bitsOffset, reinterpret_cast<const BITMAPINFO*>(lock.get()),
                  DIB_RGB_COLORS, SRCCOPY);
    if (preview.frameWidth > 0) {
        HPEN pen = CreatePen(PS_INSIDEFRAME, preview.frameWidth, preview.frame);
        HGDIOBJ oldPen = SelectObject(dc, pen);
        HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
        const int inset = preview.frameWidth / 2 + 1;
        Rectangle(dc, pane.left + inset, pane.top + inset, pane.right - inset, pane.bottom - inset);
        SelectObject(dc, oldBrush);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
    return true;
}

}  // namespace

uintptr_t BuildSavedObjectPreview(const char* path, int code) {
    const std::vector<uint8_t> record = HostRecord(path);
    if (record.size() < 24)
        return 0;
    auto preview = std::make_unique<ObjectPreview>();
    preview->kind = static_cast<uint16_t>(Word(record, kObjectKind));
    bool built = false;
    if (code == kSavedButtonCode && preview->kind == kObjectButton)
        built = BuildButton(record, *preview);
    else if (code == kSavedGraphicCode && preview->kind == kObjectGraphic)
        built = BuildGraphic(record, *preview);
    return built ? reinterpret_cast<uintptr_t>(preview.release()) : 0;
}

bool PaintSavedObjectPreview(HDC dc, const RECT& pane, uintptr_t object) {
    const auto* preview = reinterpret_cast<const ObjectPreview*>(object);
    if (!preview)
        return false;
    if (preview->kind == kObjectButton) {
        DrawButton(dc, pane, *preview);
        return true;
    }
    return preview->kind == kObjectGraphic && DrawGraphic(dc, pane, *preview);
}

void FreeSavedObjectPreview(uintptr_t object) { delete reinterpret_cast<ObjectPreview*>(object); }

HWND BuildSavedTextPreview(const char* path, HWND pane) {
    const std::vector<uint8_t> record = HostRecord(path);
    if (record.size() < 24 || static_cast<uint16_t>(Word(record, kObjectKind)) != kObjectText || !pane)
        return nullptr;
    RECT rect{};
    GetClientRect(pane, &rect);
    // A field window of its own, with no layer: the text field procedure keeps it inert.
    HWND field = CreateWindowExA(0, kTextFieldClass, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | WS_VSCROLL, 0, 0,
                                 rect.right, rect.bottom, pane, nullptr, GetAppInstance(), nullptr);
    if (!field)
        return nullptr;
    if (GetU16(record, kObjectFlags) & kObjectHasPath) {
        FillFieldFromRecord(field, record);
    } else {
        // The text of the card it was saved from: its first entry.
        const std::vector<FieldTextEntry> entries = ListFieldTextEntries(record);
        if (!entries.empty())
            LoadFieldTextFromRecord(field, record, entries[0].cardId);
    }
    SetFieldReadOnlyStyle(field, true);
    return field;
}
