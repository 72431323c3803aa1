// Saved buttons, graphic and text objects in the preview pane, drawn as they look on a card from the
// record the file holds, read as the card reads it (font, icon, shape mask, picture and mask).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "authoring/cards/ObjectFile.h"
#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "layers/ObjectLayer.h"
#include "graphics/masks/Masks.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/BitmapCopy.h"
#include "host/medialibrary/MediaBrowserObjects.h"
#include "media/pictures/PictureFiles.h"
#include "objects/ObjectLayerKinds.h"
#include "objects/buttons/Buttons.h"
#include "objects/text/FieldContents_win.h"
#include "objects/text/TextFields.h"
#include "stack/cards/FieldText.h"
#include "format/StackFile.h"
#include "stack/pictures/GraphicPictureBitmap.h"

namespace {

// The object read into the layer the card would make of it; the layer's bitmaps, icon and
// region are the preview's own.
struct ObjectPreview {
    uint16_t kind = 0;
    ButtonLayer button{};
    GraphicLayer graphic{};
    ObjectPreview() = default;
    ObjectPreview(const ObjectPreview&) = delete;
    ObjectPreview& operator=(const ObjectPreview&) = delete;
    ~ObjectPreview() {
        FreeLayerResources(&button.common);
        FreeLayerResources(&graphic.common);
    }
};

// The file's object in host order with what it holds; false when the file or the record fails.
bool ReadSavedObject(const char* path, ObjectFileContents& contents) {
    const std::vector<uint8_t> file = ReadObjectFileBytes(path);
    StackConversion cv;
    return !file.empty() && ReadObjectFileRecord(file, cv, contents) == nullptr &&
           contents.record.size() >= kObjectCommonBytes;
}

HBITMAP MaskOf(std::span<const uint8_t> packed, uint16_t* width, uint16_t* height) {
    HBITMAP mask = nullptr;
    uint16_t first = 0, second = 0;
    if (packed.empty() || MaskFromPackedBits(packed, &mask, &first, &second) != PackedMaskRefusal::None)
        return nullptr;
    const SIZE size = BitmapSizeOf(mask);
    *width = static_cast<uint16_t>(size.cx);
    *height = static_cast<uint16_t>(size.cy);
    return mask;
}

// The icon the file carries for the id (the only one when the file kept no ids); 0 when it
// carries none, and the open stack's icon of that id is shown instead.
Handle HeldIcon(const ObjectFileContents& contents, uint16_t id) {
    const ObjectFileHeld* found = nullptr;
    int icons = 0;
    for (const ObjectFileHeld& held : contents.held) {
        if (held.type != kIcon)
            continue;
        ++icons;
        if (held.id == id)
            found = &held;
    }
    if (!found && icons == 1)
        for (const ObjectFileHeld& held : contents.held)
            if (held.type == kIcon && held.id == 0)
                found = &held;
    return found ? NewHandleFromBytes(found->data) : 0;
}

bool BuildButton(const ObjectFileContents& contents, ObjectPreview& preview) {
    ButtonRecordParts parts;
    if (!ReadButtonLayer(contents.record, &preview.button, &parts))
        return false;
    ButtonLayer& b = preview.button;
    b.common.kind = kObjectButton;
    b.styleHas8 = 1;  // the preview always names the button
    if (b.showIcon) {
        if (Handle held = HeldIcon(contents, GetU16(contents.record, kButtonIconId))) {
            DisposeHandleAndClear(&b.icon);
            b.icon = held;
        }
    }
    if (IsMaskedButtonShape(b.shape)) {
        uint16_t width = 0, height = 0;
        b.freehandMask = MaskOf(parts.packedMask, &width, &height);
        if (b.freehandMask)
            b.freehandOutline = MaskOutline(b.freehandMask, 1);
    }
    return true;
}

bool Exists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A disk-based graphic's picture: the file it names, else a file of that name beside the saved
// object (a library keeps the two together); never asks anyone.
HBITMAP PictureFromFile(std::span<const uint8_t> record, const std::string& objectPath, HWND window) {
    char name[MAX_PATH] = {};
    RECT crop{};
    if (!GraphicPictureFile(record, name, sizeof name, &crop))
        return nullptr;
    std::string path = name;
    if (!Exists(path)) {
        const std::string bare = path.substr(path.find_last_of("\\/:") + 1);
        path = objectPath.substr(0, objectPath.find_last_of('\\') + 1) + bare;
        if (bare.empty() || !Exists(path))
            return nullptr;
    }
    HPALETTE palette = nullptr;
    HBITMAP loaded = LoadGraphicFile(path.c_str(), window, &palette, 0);
    if (palette)
        DeleteObject(palette);
    HBITMAP cut = loaded ? CutOutBitmap(loaded, crop) : nullptr;
    if (loaded)
        DeleteObject(loaded);
    return cut;
}

bool BuildGraphic(std::vector<uint8_t> record, const std::string& path, HWND window, ObjectPreview& preview) {
    // A hidden object is previewed all the same.
    SetU16(record, kObjectFlags, static_cast<uint16_t>(GetU16(record, kObjectFlags) & ~kObjectHidden));
    GraphicRecordParts parts;
    GraphicLayer& g = preview.graphic;
    if (!ReadGraphicLayer(record, &g, &parts))
        return false;
    g.common.kind = kObjectGraphic;
    g.picture = parts.pictureInFile ? PictureFromFile(record, path, window) : PictureFromGraphicRecord(record);
    if (!g.picture)
        return false;
    g.mask = MaskOf(parts.packedMask, &g.maskWidth, &g.maskHeight);
    if (g.mask && g.frameWidth > 0)
        g.outline = MaskOutline(g.mask, g.frameWidth);
    return true;
}

// The shape's one-pixel outline stretched over the pane in black (its set pixels clear the
// destination).
void DrawOutline(HDC dc, const RECT& pane, HBITMAP outline) {
    MemoryDC source(dc);
    SelectedObject selected(source.get(), outline);
    if (!outline || !selected)
        return;
    const SIZE size = BitmapSizeOf(outline);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SetStretchBltMode(dc, WHITEONBLACK);  // keeps the thin line when shrunk
    StretchBlt(dc, pane.left, pane.top, pane.right - pane.left, pane.bottom - pane.top, source.get(), 0, 0, size.cx,
               size.cy, kRopAndNotSource);
}

void DrawButtonShape(HDC dc, const RECT& r, const ButtonLayer& b, HBRUSH fill, int corner) {
    switch (b.shape) {
    case kButtonShapeRounded:
        RoundRect(dc, r.left + 1, r.top + 1, r.right, r.bottom, corner, corner);
        RoundRect(dc, r.left, r.top, r.right - 1, r.bottom - 1, corner, corner);
        break;
    case kButtonShapeDefault: {
        OwnedGdiObject<HPEN> frame(CreatePen(PS_SOLID, 4, GetSysColor(COLOR_WINDOWFRAME)));
        {
            SelectedObject pen(dc, frame.get());
            RoundRect(dc, r.left + 2, r.top + 2, r.right - 2, r.bottom - 2, corner, corner);
        }
        RoundRect(dc, r.left + 7, r.top + 7, r.right - 6, r.bottom - 6, corner, corner);
        RoundRect(dc, r.left + 6, r.top + 6, r.right - 7, r.bottom - 7, corner, corner);
        break;
    }
    case kButtonShapeRectangle: Rectangle(dc, r.left, r.top, r.right, r.bottom); break;
    case kButtonShapeShadowed:
        Rectangle(dc, r.left, r.top, r.right - 2, r.bottom - 2);
        PatBlt(dc, r.left + 2, r.bottom - 2, r.right - r.left - 2, 2, BLACKNESS);
        PatBlt(dc, r.right - 2, r.top + 2, 2, r.bottom - r.top - 2, BLACKNESS);
        break;
    case kButtonShapeInvisible: {
        FillRect(dc, &r, fill);
        SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, r.left, r.top, r.right, r.bottom);
        break;
    }
    default:  // the masked shapes
        FillRect(dc, &r, fill);
        DrawOutline(dc, r, b.freehandOutline);
        break;
    }
}

void DrawButtonPreview(HDC dc, const RECT& pane, const ButtonLayer& stored) {
    if (stored.shape < kButtonShapeRounded || stored.shape > kButtonShapeLasso)
        return;
    const int saved = SaveDC(dc);
    if (IsFramedButtonShape(stored.shape))
        IntersectClipRect(dc, pane.left + kButtonClipInset, pane.top, pane.right - kButtonClipInset, pane.bottom);
    // Icon and name are placed in the pane as on a button of the pane's size.
    ButtonLayer b = stored;
    b.common.bounds = pane;
    OwnedGdiObject<HBRUSH> fill(CreateSolidBrush(PaletteIndexToColor(static_cast<int16_t>(b.secondColorIndex))));
    OwnedGdiObject<HFONT> font(CreateFontIndirectA(&b.font));
    SelectObject(dc, font.get());
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, fill.get());
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    DrawButtonShape(dc, pane, b, fill.get(), metrics.tmHeight);
    const ButtonContent content = MeasureButtonContent(dc, &b);
    if (content.icon)
        DrawIconImage(dc, b.icon, 0, content.iconRect.left, content.iconRect.top);
    SetTextColor(dc, PaletteIndexToColor(static_cast<int16_t>(b.colorIndex)));
    SetBkMode(dc, TRANSPARENT);
    if (content.name && b.nameLength > 0)
        TextOutA(dc, content.namePos.x, content.namePos.y, b.name, b.nameLength);
    RestoreDC(dc, saved);
}

// Without a mask the picture fills the pane and the frame is drawn at the pane's scale; with one
// the object is drawn as on the card (frame along the outline, through the mask) over the pane's
// ground, then stretched.
bool DrawGraphicPreview(HDC dc, const RECT& pane, const GraphicLayer& stored) {
    const int width = pane.right - pane.left, height = pane.bottom - pane.top;
    MemoryDC source(dc);
    if (!source)
        return false;
    HPALETTE palette = GetAppPalette();
    SelectedPalette sourcePalette(source.get(), palette, SelectedPalette::kIfIndexed);
    SetStretchBltMode(dc, COLORONCOLOR);
    if (!stored.mask) {
        SelectedObject picture(source.get(), stored.picture);
        const SIZE size = BitmapSizeOf(stored.picture);
        if (!StretchBlt(dc, pane.left, pane.top, width, height, source.get(), 0, 0, size.cx, size.cy, SRCCOPY))
            return false;
        if (stored.frameWidth > 0) {
            OwnedGdiObject<HPEN> pen(CreatePen(PS_INSIDEFRAME, stored.frameWidth,
                                               PaletteIndexToColor(static_cast<int16_t>(stored.colorIndex))));
            SelectedObject penSelected(dc, pen.get());
            SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
            const int inset = stored.frameWidth / 2 + 1;
            Rectangle(dc, pane.left + inset, pane.top + inset, pane.right - inset, pane.bottom - inset);
        }
        return true;
    }
    const RECT& bounds = stored.common.bounds;
    const int objectWidth = bounds.right - bounds.left, objectHeight = bounds.bottom - bounds.top;
    if (objectWidth <= 0 || objectHeight <= 0)
        return false;
    OwnedGdiObject<HBITMAP> drawn(CreateCompatibleBitmap(dc, objectWidth, objectHeight));
    if (!drawn)
        return false;
    SelectedObject into(source.get(), drawn.get());
    const RECT all = {0, 0, objectWidth, objectHeight};
    FillRect(source.get(), &all, GetSysColorBrush(COLOR_BTNFACE));
    GraphicLayer g = stored;
    g.common.bounds = all;
    DrawGraphicObjectLayer(source.get(), &g);
    return StretchBlt(dc, pane.left, pane.top, width, height, source.get(), 0, 0, objectWidth, objectHeight,
                      SRCCOPY) != 0;
}

}  // namespace

uintptr_t BuildSavedObjectPreview(const char* path, int code, HWND window) {
    ObjectFileContents contents;
    if (!path || !ReadSavedObject(path, contents))
        return 0;
    SetU16(contents.record, kObjectId, 1);
    auto preview = std::make_unique<ObjectPreview>();
    preview->kind = contents.kind;
    bool built = false;
    if (code == kSavedButtonCode && contents.kind == kObjectButton)
        built = BuildButton(contents, *preview);
    else if (code == kSavedGraphicCode && contents.kind == kObjectGraphic)
        built = BuildGraphic(contents.record, path, window, *preview);
    return built ? reinterpret_cast<uintptr_t>(preview.release()) : 0;
}

bool PaintSavedObjectPreview(HDC dc, const RECT& pane, uintptr_t object) {
    const auto* preview = reinterpret_cast<const ObjectPreview*>(object);
    if (!preview)
        return false;
    if (preview->kind == kObjectButton) {
        DrawButtonPreview(dc, pane, preview->button);
        return true;
    }
    return preview->kind == kObjectGraphic && DrawGraphicPreview(dc, pane, preview->graphic);
}

void FreeSavedObjectPreview(uintptr_t object) { delete reinterpret_cast<ObjectPreview*>(object); }

HWND BuildSavedTextPreview(const char* path, HWND pane) {
    ObjectFileContents contents;
    if (!path || !pane || !ReadSavedObject(path, contents) || contents.kind != kObjectText)
        return nullptr;
    const std::vector<uint8_t>& record = contents.record;
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
