// The browser's preview pane: what the focused file looks like, built once when the focus
// moves and painted from what was built; the title picture when nothing else can be shown.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/files/FileLayer.h"
#include "core/files/FileTypes.h"
#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "graphics/dib/Dib.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/DibPalette.h"
#include "host/medialibrary/MediaBrowser.h"
#include "host/medialibrary/MediaBrowserObjects.h"
#include "media/MediaPreview.h"
#include "media/library/MediaLibServices.h"
#include "media/pictures/PictureFiles.h"
#include "objects/text/ActiveTextField.h"
#include "format/StackReader.h"
#include "stack/pictures/CardPictureConvert.h"

namespace {

constexpr uint32_t kCardMenuText = 11013;  // "Card ID: "
constexpr int kMoviePreviewMode = 2, kSoundPreviewMode = 3;
constexpr int kPreviewFailed = 65535;

WNDPROC g_paneProc = nullptr;

void* HandleAsPointer(Handle h) { return reinterpret_cast<void*>(static_cast<uintptr_t>(static_cast<uint32_t>(h))); }
Handle PointerAsHandle(void* p) { return static_cast<Handle>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p))); }

HWND Browser() { return GetMediaLibWindow(); }
HWND Pane() { return Browser() ? GetDlgItem(Browser(), kMediaLibPaneId) : nullptr; }

void SetPreview(uint32_t kind, uintptr_t object, uint32_t count = 0, void* picture = nullptr) {
    MediaLibLock record;
    if (!record)
        return;
    record->previewKind = kind;
    record->previewObject = object;
    record->cardCount = count;
    record->cardPicture = picture;
}

std::string PathText(Handle path) {
    if (!path)
        return {};
    HandleLock lock(path);
    const auto* text = reinterpret_cast<const char*>(lock.get());
    return text ? std::string(text, strnlen(text, GetHandleSize(path))) : std::string{};
}

// A bitmap file image stretched over the rectangle, through a palette of its own colour table
// on indexed displays; an image of 8 bits or fewer without a table is not painted. False when
// it cannot be painted.
bool PaintPackedFile(HDC dc, const RECT& rect, const uint8_t* bytes, size_t size) {
    if (size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))
        return false;
    const std::span<const uint8_t> dib(bytes + sizeof(BITMAPFILEHEADER), size - sizeof(BITMAPFILEHEADER));
    DibLayout layout;
    if (!ReadDibLayout(dib, layout) || (layout.depth <= 8 && layout.tableEntries == 0))
        return false;
    OwnedGdiObject<HPALETTE> palette(layout.depth <= 8 ? CreatePaletteFromDib(dib.data(), dib.size()) : nullptr);
    SelectedPalette selected(dc, palette.get(), SelectedPalette::kIfIndexed);
    if (palette)
        RealizePalette(dc);
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    SetStretchBltMode(dc, COLORONCOLOR);
    return StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0, layout.width,
                         layout.height, dib.data() + layout.bitsOffset, info, DIB_RGB_COLORS, SRCCOPY) != static_cast<int>(GDI_ERROR);
}

bool PaintTitle(HDC dc, const RECT& rect) {
    uint32_t size = 0;
    const auto* bytes = static_cast<const uint8_t*>(LoadResData("TITLE", "DIB", &size));
    return bytes && PaintPackedFile(dc, rect, bytes, size);
}

// The left half of the tape deck.
bool PaintTapeDeck(HDC dc, const RECT& rect) {
    HBITMAP deck = static_cast<HBITMAP>(LoadImageA(GetAppInstance(), "TAPEDECK", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!deck)
        return false;
    BITMAP info{};
    GetObjectA(deck, sizeof info, &info);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, deck);
    SetStretchBltMode(dc, COLORONCOLOR);
    const bool done = StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory, 0, 0,
                                 info.bmWidth / 2, info.bmHeight, SRCCOPY) != 0;
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(deck);
    return done;
}

bool PaintBitmap(HDC dc, const RECT& rect, HBITMAP bitmap) {
    if (!bitmap)
        return false;
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info))
        return false;
    HDC memory = CreateCompatibleDC(dc);
    HPALETTE palette = GetAppPalette();
    HPALETTE oldPalette = palette ? SelectPalette(memory, palette, FALSE) : nullptr;
    HGDIOBJ old = SelectObject(memory, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    const bool done = StretchBlt(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, memory, 0, 0,
                                 info.bmWidth, info.bmHeight, SRCCOPY) != 0;
    SelectObject(memory, old);
    if (oldPalette)
        SelectPalette(memory, oldPalette, FALSE);
    DeleteDC(memory);
    return done;
}

bool PaintDib(HDC dc, const RECT& rect, Handle dib) {
    if (!dib)
        return false;
    HandleLock lock(dib);
    DibLayout layout;
    if (!ReadDibLayout(lock.bytes(), layout))
        return false;
    SetStretchBltMode(dc, COLORONCOLOR);
    return StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0, layout.width,
                         layout.height, lock.get() + layout.bitsOffset, reinterpret_cast<const BITMAPINFO*>(lock.get()),
                         DIB_RGB_COLORS, SRCCOPY) != static_cast<int>(GDI_ERROR);
}

// The wanted card (1-based) of a stack as a display-depth picture; the reader's own checks
// refuse what it refuses.
bool ReadStackCard(const std::string& path, int wanted, Handle* picture, uint32_t* count) {
    FileRef file = ActiveFileSystem().open(path.c_str(), kOpenRead);
    if (file == kNoFile)
        return false;
    StackFileContents contents;
    StackConversion cv;
    bool done = false;
    {
        FileByteSource source(file);
        const StackReadResult result = ReadStackFile(source, cv, contents);
        if (result.ok() && contents.header) {
            const int depth = GetHandleWord(contents.header, kHeaderDepth);
            const int version = GetHandleWord(contents.header, kHeaderVersion);
            if (depth > 1 && (version == 4 || version == 5) && wanted >= 1 &&
                static_cast<size_t>(wanted) <= contents.cards.size()) {
                HDC screen = GetDC(nullptr);
                const int screenDepth = GetDeviceCaps(screen, BITSPIXEL);
                ReleaseDC(nullptr, screen);
                DibHandle dib = 0;
                if (ConvertPictureDepth(contents.cards[static_cast<size_t>(wanted) - 1], depth, screenDepth, &dib) == 0 && dib) {
                    *picture = dib;
                    *count = static_cast<uint32_t>(contents.cards.size());
                    done = true;
                }
            }
        }
        DisposeStackFileContents(contents);
    }
    FileClose(file);
    return done;
}

bool BuildText(const std::string& path, int code) {
    HWND pane = Pane();
    if (!pane)
        return false;
    LoadLibraryA("riched20.dll");
    RECT rect{};
    GetClientRect(pane, &rect);
    HWND edit = CreateWindowExA(0, "RichEdit20A", "",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                    ES_READONLY | ES_NOHIDESEL,
                                0, 0, rect.right, rect.bottom, pane,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kMediaLibRichEditId)), GetAppInstance(), nullptr);
    if (!edit)
        return false;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    bool done = false;
    if (file != INVALID_HANDLE_VALUE) {
        if (code == kMediaRichText) {
            done = ImportRtfFileToField(edit, file) != 0;
        } else {
            const DWORD size = GetFileSize(file, nullptr);
            // A preview needs only the start of a long text.
            std::string text(std::min<DWORD>(size, 1u << 20), '\0');
            DWORD read = 0;
            done = ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr) != 0;
            text.resize(read);
            SetWindowTextA(edit, text.c_str());
        }
        CloseHandle(file);
    }
    if (!done) {
        DestroyWindow(edit);
        return false;
    }
    SetPreview(static_cast<uint32_t>(code), reinterpret_cast<uintptr_t>(edit));
    return true;
}

bool BuildMedia(const std::string& path, int code) {
    HWND browser = Browser();
    const int type = FileTypeFromExtension(path);
    const int id = MediaShowFilePreview(browser, kMediaLibPaneId, path.c_str(), type,
                                        code == kMediaMovie ? kMoviePreviewMode : kSoundPreviewMode);
    if (id < 0 || id >= kPreviewFailed)
        return false;
    SetPreview(static_cast<uint32_t>(code), static_cast<uintptr_t>(id));
    return true;
}

bool BuildPicture(const std::string& path) {
    HPALETTE palette = nullptr;
    HBITMAP bitmap = LoadGraphicFile(path.c_str(), Pane(), &palette, 0);
    if (palette)
        DeleteObject(palette);
    if (!bitmap)
        return false;
    SetPreview(kMediaPicture, reinterpret_cast<uintptr_t>(bitmap));
    return true;
}

bool BuildStack(const std::string& path) {
    Handle picture = 0;
    uint32_t count = 0;
    if (!ReadStackCard(path, 1, &picture, &count))
        return false;
    SetPreview(kMediaStack, 1, count, HandleAsPointer(picture));
    return true;
}

void PaintPane(HWND pane) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(pane, &paint);
    RECT rect{};
    GetClientRect(pane, &rect);
    uint32_t kind = 0;
    uintptr_t object = 0;
    void* picture = nullptr;
    {
        MediaLibLock record;
        if (record) {
            kind = record->previewKind;
            object = record->previewObject;
            picture = record->cardPicture;
        }
    }
    HWND list = Browser() ? GetDlgItem(Browser(), kMediaLibListId) : nullptr;
    const bool selected = list && SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0;
    bool painted = false;
    if (selected) {
        switch (kind) {
        case kMediaSound: painted = PaintTapeDeck(dc, rect); break;
        case kMediaPicture: painted = PaintBitmap(dc, rect, reinterpret_cast<HBITMAP>(object)); break;
        case kMediaStack: painted = PaintDib(dc, rect, PointerAsHandle(picture)); break;
        case kMediaMovie: case kMediaText: case kMediaRichText: case kMediaTextObject: painted = true; break;
        case kMediaButton: case kMediaGraphic: painted = PaintSavedObjectPreview(dc, rect, object); break;
        default: break;
        }
    }
    if (!painted)
        PaintTitle(dc, rect);
    EndPaint(pane, &paint);
}

LRESULT CALLBACK PaneProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND)
        return 1;
    if (message == WM_PAINT) {
        PaintPane(pane);
        return 0;
    }
    return CallWindowProcA(g_paneProc, pane, message, wParam, lParam);
}

}  // namespace

void SubclassMediaLibPane(HWND pane) {
    g_paneProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaneProc)));
}

bool ShowMediaLibPreview(Handle path, int code) {
    const std::string file = PathText(path);
    bool built = false;
    if (!file.empty()) {
        switch (code) {
        case kMediaRichText: case kMediaText: built = BuildText(file, code); break;
        case kMediaSound: case kMediaMovie: built = BuildMedia(file, code); break;
        case kMediaStack: built = BuildStack(file); break;
        case kMediaPicture: built = BuildPicture(file); break;
        case kMediaTextObject:
            if (HWND field = BuildSavedTextPreview(file.c_str(), Pane())) {
                SetPreview(kMediaTextObject, reinterpret_cast<uintptr_t>(field));
                SetMediaLibTextItemWindow(field);
                built = true;
            }
            break;
        case kMediaButton: case kMediaGraphic:
            if (const uintptr_t object = BuildSavedObjectPreview(file.c_str(), code, Pane())) {
                SetPreview(static_cast<uint32_t>(code), object);
                built = true;
            }
            break;
        default: break;
        }
    }
    if (!built)
        SetPreview(kMediaNone, 0);
    return built;
}

void CloseMediaLibPreview() {
    uint32_t kind = 0;
    uintptr_t object = 0;
    void* picture = nullptr;
    {
        MediaLibLock record;
        if (!record)
            return;
        kind = record->previewKind;
        object = record->previewObject;
        picture = record->cardPicture;
    }
    switch (kind) {
    case kMediaRichText: case kMediaText: case kMediaTextObject:
        if (IsWindow(reinterpret_cast<HWND>(object)))
            DestroyWindow(reinterpret_cast<HWND>(object));
        break;
    case kMediaSound: case kMediaMovie: MediaClosePreview(); break;
    case kMediaPicture: DeleteObject(reinterpret_cast<HBITMAP>(object)); break;
    case kMediaButton: case kMediaGraphic: FreeSavedObjectPreview(object); break;
    case kMediaStack: {
        Handle dib = PointerAsHandle(picture);
        DisposeHandleAndClear(&dib);
        break;
    }
    default: break;
    }
    SetMediaLibTextItemWindow(nullptr);
    SetPreview(kMediaNone, 0);
}

void ResizePreviewChild(HWND window) {
    HWND pane = GetDlgItem(window, kMediaLibPaneId);
    uint32_t kind = 0;
    uintptr_t object = 0;
    {
        MediaLibLock record;
        if (!record)
            return;
        kind = record->previewKind;
        object = record->previewObject;
    }
    RECT rect{};
    GetClientRect(pane, &rect);
    if (kind == kMediaText || kind == kMediaRichText || kind == kMediaTextObject)
        MoveWindow(reinterpret_cast<HWND>(object), 0, 0, rect.right, rect.bottom, TRUE);
    else if (kind == kMediaMovie || kind == kMediaSound)
        MediaRefreshPreview(window, kMediaLibPaneId, 0, kind == kMediaMovie ? kMoviePreviewMode : kSoundPreviewMode);
}

bool OnMediaLibPreviewMenu(HWND window, POINT screen) {
    HWND pane = GetDlgItem(window, kMediaLibPaneId);
    RECT rect{};
    GetWindowRect(pane, &rect);
    uint32_t kind = 0, count = 0, shown = 0, tracking = 0;
    {
        MediaLibLock record;
        if (!record)
            return false;
        kind = record->previewKind;
        count = record->cardCount;
        shown = static_cast<uint32_t>(record->previewObject);
        tracking = record->tracking;
    }
    if (!IsWindowVisible(pane) || !PtInRect(&rect, screen) || tracking || kind != kMediaStack || count < 2)
        return false;
    HMENU menu = CreatePopupMenu();
    HMENU cards = CreatePopupMenu();
    for (uint32_t n = 1; n <= count; ++n) {
        char text[16] = {};
        std::snprintf(text, sizeof text, "%-3u", n);
        AppendMenuA(cards, MF_STRING | (n == shown ? MF_CHECKED : 0), kPreviewCardCommandBase + n, text);
    }
    char title[32] = {};
    LoadResString(kCardMenuText, title, sizeof title);
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(cards), title);
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, screen.x, screen.y, 0, window, nullptr);
    DestroyMenu(menu);
    return true;
}

void ChooseMediaLibPreviewCard(HWND window, int card) {
    int key = -1;
    uint32_t count = 0, shown = 0;
    {
        MediaLibLock record;
        if (!record || record->previewKind != kMediaStack)
            return;
        key = record->focusedKey;
        count = record->cardCount;
        shown = static_cast<uint32_t>(record->previewObject);
    }
    if (card < 1 || static_cast<uint32_t>(card) > count || static_cast<uint32_t>(card) == shown)
        return;
    ScopedHandle path(GetMediaLibItemPath(key));
    Handle picture = 0;
    uint32_t cards = 0;
    if (!ReadStackCard(PathText(path.get()), card, &picture, &cards))
        return;
    Handle old = 0;
    {
        MediaLibLock record;
        old = PointerAsHandle(record->cardPicture);
    }
    SetPreview(kMediaStack, static_cast<uintptr_t>(card), cards, HandleAsPointer(picture));
    DisposeHandleAndClear(&old);
    InvalidateRect(GetDlgItem(window, kMediaLibPaneId), nullptr, FALSE);
}
