// The shared capture window over AVICap, which is loaded by name so that the plug-in starts
// without it (see Capture.h).
#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <vector>

#include "graphics/palette/AppPalette.h"
#include "media/MediaManager.h"
#include "media/capture/Capture.h"

namespace {

using CreateProc = HWND(WINAPI*)(LPCSTR, DWORD, int, int, int, int, HWND, int);
using DescribeProc = BOOL(WINAPI*)(UINT, LPSTR, int, LPSTR, int);

constexpr char kCaptureTitle[] = "Pageloom Capture Window";
constexpr UINT kPreviewRate = 16;

HMODULE g_avicap = nullptr;
HWND g_window = nullptr;
CaptureFacts g_facts;
int g_depth = 8;

template <class Proc>
Proc Find(const char* name) {
    if (!g_avicap)
        g_avicap = LoadLibraryA("avicap32.dll");
    return g_avicap ? reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(g_avicap, name))) : nullptr;
}

LRESULT Cap(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return window ? SendMessageA(window, message, wParam, lParam) : 0;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(v >> shift));
}

// The palette as a RIFF palette file: "RIFF" "PAL " and a "data" chunk holding a LOGPALETTE.
std::vector<uint8_t> PaletteFileBytes(HPALETTE palette) {
    const UINT count = palette ? GetPaletteEntries(palette, 0, 0, nullptr) : 0;
    if (count == 0 || count > 256)
        return {};
    std::vector<PALETTEENTRY> entries(count);
    if (GetPaletteEntries(palette, 0, count, entries.data()) != count)
        return {};
    const uint32_t data = 4 + 4 * count;
    std::vector<uint8_t> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    PutU32(out, 4 + 8 + data);
    out.insert(out.end(), {'P', 'A', 'L', ' ', 'd', 'a', 't', 'a'});
    PutU32(out, data);
    out.insert(out.end(), {0x00, 0x03, static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8)});
    for (const PALETTEENTRY& e : entries)
        out.insert(out.end(), {e.peRed, e.peGreen, e.peBlue, 0});
    return out;
}

// The capture window is given the palette through a palette file of its own: its other way in,
// the clipboard, holds the user's data.
void GivePalette(HWND capture, HPALETTE palette) {
    const std::vector<uint8_t> bytes = PaletteFileBytes(palette);
    char folder[MAX_PATH] = {}, path[MAX_PATH] = {};
    if (bytes.empty() || !GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "lmp", 0, path))
        return;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    DWORD written = 0;
    const bool whole = file != INVALID_HANDLE_VALUE &&
                       WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (whole)
        Cap(capture, WM_CAP_PAL_OPENA, 0, reinterpret_cast<LPARAM>(path));
    DeleteFileA(path);
}

}  // namespace

bool CaptureDriverDescription(int index, std::string* description) {
    const auto describe = Find<DescribeProc>("capGetDriverDescriptionA");
    char name[80] = {}, version[80] = {};
    if (!describe || !describe(static_cast<UINT>(index), name, sizeof name, version, sizeof version))
        return false;
    if (description)
        *description = name;
    return true;
}

bool HaveCaptureDriver() {
    for (int i = 0; i < kCaptureDriverCount; ++i)
        if (CaptureDriverDescription(i, nullptr))
            return true;
    return false;
}

HWND CreateCaptureWindow(const char* title, DWORD style, const RECT& r, HWND parent, int id) {
    const auto create = Find<CreateProc>("capCreateCaptureWindowA");
    return create ? create(title, style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent, id) : nullptr;
}

HWND CreateConnectedCaptureWindow(const char* title, DWORD style, const RECT& rect, HWND parent, int id) {
    HWND window = CreateCaptureWindow(title, style, rect, parent, id);
    if (!window)
        return nullptr;
    for (int i = 0; CaptureDriverDescription(i, nullptr); ++i) {
        if (Cap(window, WM_CAP_DRIVER_CONNECT, static_cast<WPARAM>(i))) {
            Cap(window, WM_CAP_SET_PREVIEWRATE, kPreviewRate);
            Cap(window, WM_CAP_SET_PREVIEW, TRUE);
            Cap(window, WM_CAP_SET_SCALE, TRUE);
            return window;
        }
    }
    DestroyWindow(window);
    return nullptr;
}

CaptureFacts ReadCaptureFacts(HWND window) {
    CaptureFacts f;
    CAPDRIVERCAPS caps{};
    if (Cap(window, WM_CAP_DRIVER_GET_CAPS, sizeof caps, reinterpret_cast<LPARAM>(&caps))) {
        f.sourceDialog = caps.fHasDlgVideoSource;
        f.formatDialog = caps.fHasDlgVideoFormat;
        f.displayDialog = caps.fHasDlgVideoDisplay;
    }
    CAPSTATUS status{};
    if (Cap(window, WM_CAP_GET_STATUS, sizeof status, reinterpret_cast<LPARAM>(&status))) {
        f.imageWidth = static_cast<int>(status.uiImageWidth);
        f.imageHeight = static_cast<int>(status.uiImageHeight);
    }
    return f;
}

const CaptureFacts& SharedCaptureFacts() { return g_facts; }

bool OpenCaptureWindow(HWND parent, const RECT& rect, int paletteMode) {
    CloseCaptureWindow();
    g_window = CreateCaptureWindow(kCaptureTitle, WS_CHILD, rect, parent, 0);
    if (!g_window)
        return false;
    Cap(g_window, WM_CAP_DRIVER_CONNECT, 0);
    g_facts = ReadCaptureFacts(g_window);
    Cap(g_window, WM_CAP_SET_SCALE, TRUE);
    POINT origin{0, 0};
    Cap(g_window, WM_CAP_SET_SCROLL, 0, reinterpret_cast<LPARAM>(&origin));
    Cap(g_window, WM_CAP_SET_PREVIEWRATE, kPreviewRate);
    Cap(g_window, WM_CAP_SET_PREVIEW, TRUE);
    if (paletteMode == 1 && g_depth == 8)
        GivePalette(g_window, GetAppPalette());
    ShowWindow(g_window, SW_SHOW);
    return true;
}

HWND SharedCaptureWindow() { return g_window; }

void SetSharedCaptureWindow(HWND window) { g_window = window; }

void CloseCaptureWindow() {
    if (g_window) {
        ShowWindow(g_window, SW_HIDE);
        Cap(g_window, WM_CAP_DRIVER_DISCONNECT);
        DestroyWindow(g_window);
        g_window = nullptr;
    }
    SetVideoClickRect({});
}

int ShowCaptureSourceDialog() { return static_cast<int>(Cap(g_window, WM_CAP_DLG_VIDEOSOURCE)); }
int ShowCaptureDisplayDialog() { return static_cast<int>(Cap(g_window, WM_CAP_DLG_VIDEODISPLAY)); }
int ShowCaptureFormatDialog() { return static_cast<int>(Cap(g_window, WM_CAP_DLG_VIDEOFORMAT)); }

void SyncCaptureDepth() {
    const LRESULT size = Cap(g_window, WM_CAP_GET_VIDEOFORMAT);
    if (size < static_cast<LRESULT>(sizeof(BITMAPINFOHEADER)))
        return;
    std::string bytes(static_cast<size_t>(size), '\0');
    Cap(g_window, WM_CAP_GET_VIDEOFORMAT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(bytes.data()));
    g_depth = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data())->biBitCount;
}

int RememberedCaptureDepth() { return g_depth; }
