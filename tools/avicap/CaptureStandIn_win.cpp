// A capture library for the tests: one simulated driver whose windows answer the capture
// messages, preview a moving test picture (eight colour bars over a band with a moving block)
// and save the frame shown as a 24-bit BMP file.
#include <windows.h>
#include <vfw.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

constexpr char kClass[] = "LoomCaptureStandIn";
constexpr UINT_PTR kPreviewTimer = 1;
constexpr COLORREF kBars[8] = {RGB(255, 255, 255), RGB(255, 255, 0), RGB(0, 255, 255), RGB(0, 255, 0),
                               RGB(255, 0, 255),   RGB(255, 0, 0),   RGB(0, 0, 255),   RGB(0, 0, 0)};

HINSTANCE g_module = nullptr;

bool DriverListed() { return GetEnvironmentVariableA("LOOM_CAPTURE_DRIVER", nullptr, 0) > 0; }

SIZE SourceSize() {
    char text[32] = {};
    int w = 160, h = 120;
    if (GetEnvironmentVariableA("LOOM_CAPTURE_SIZE", text, sizeof text))
        std::sscanf(text, "%dx%d", &w, &h);
    return {w, h};
}

struct Capture {
    bool connected = false;
    bool preview = false;
    bool scale = false;
    UINT rate = 66;
    int frame = 0;
    SIZE size{};
    int bits = 24;
    POINT scroll{};
    char captureFile[MAX_PATH] = {};
    // 8-bit mono at 11025 samples a second until another is set.
    WAVEFORMATEX audio{WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
};

Capture* Of(HWND window) { return reinterpret_cast<Capture*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

// The picture's pixel: bars over the top three quarters, a grey band with a black block that
// moves with the frame below.
COLORREF Pixel(const Capture& c, int x, int y) {
    const int w = c.size.cx, h = c.size.cy;
    if (y < h * 3 / 4)
        return kBars[x * 8 / w];
    const int block = w / 8, at = (c.frame * 4) % (w - block);
    return x >= at && x < at + block ? RGB(0, 0, 0) : RGB(128, 128, 128);
}

std::vector<uint8_t> Rows(const Capture& c) {
    const int stride = (c.size.cx * 3 + 3) & ~3;
    std::vector<uint8_t> bits(static_cast<size_t>(stride) * c.size.cy);
    for (int y = 0; y < c.size.cy; ++y)
        for (int x = 0; x < c.size.cx; ++x) {
            const COLORREF p = Pixel(c, x, y);
            uint8_t* out = &bits[static_cast<size_t>(c.size.cy - 1 - y) * stride + x * 3];
            out[0] = GetBValue(p);
            out[1] = GetGValue(p);
            out[2] = GetRValue(p);
        }
    return bits;
}

BITMAPINFOHEADER Header(const Capture& c) {
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = c.size.cx;
    h.biHeight = c.size.cy;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biSizeImage = static_cast<DWORD>(((c.size.cx * 3 + 3) & ~3) * c.size.cy);
    return h;
}

bool SaveDib(const Capture& c, const char* path) {
    const std::vector<uint8_t> bits = Rows(c);
    const BITMAPINFOHEADER info = Header(c);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    FILE* f = std::fopen(path, "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(&file, sizeof file, 1, f) == 1 && std::fwrite(&info, sizeof info, 1, f) == 1 &&
                    std::fwrite(bits.data(), bits.size(), 1, f) == 1;
    return std::fclose(f) == 0 && ok;
}

// A short movie in the capture file (what a recording gives): six frames at 15 a second, each
// one colour of the bars, 8-bit run-length encoded as the system's AVI player reads it.
void PutTag(std::vector<uint8_t>& b, const char* tag) { b.insert(b.end(), tag, tag + 4); }
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
size_t Open(std::vector<uint8_t>& b, const char* tag, const char* form = nullptr) {
    PutTag(b, tag);
    const size_t at = b.size();
    Put32(b, 0);
    if (form)
        PutTag(b, form);
    return at;
}
void Close(std::vector<uint8_t>& b, size_t at) {
    const uint32_t size = static_cast<uint32_t>(b.size() - at - 4);
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<uint8_t>(size >> (8 * i));
    if (b.size() % 2)
        b.push_back(0);
}

std::vector<uint8_t> RunLengthFrame(uint32_t width, uint32_t height, uint8_t index) {
    std::vector<uint8_t> p;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t left = width; left > 0;) {
            const uint32_t run = left > 255 ? 255 : left;
            p.push_back(static_cast<uint8_t>(run));
            p.push_back(index);
            left -= run;
        }
        p.insert(p.end(), {0, 0});
    }
    p.insert(p.end(), {0, 1});
    return p;
}

bool WriteSequence(Capture& c) {
    constexpr uint32_t kFrames = 6, kRate = 15;
    if (!c.captureFile[0])
        return false;
    const uint32_t w = static_cast<uint32_t>(c.size.cx), h = static_cast<uint32_t>(c.size.cy);
    std::vector<uint8_t> b;
    const size_t riff = Open(b, "RIFF", "AVI ");
    const size_t hdrl = Open(b, "LIST", "hdrl");
    const size_t avih = Open(b, "avih");
    for (uint32_t v : std::initializer_list<uint32_t>{1000000u / kRate, 0u, 0u, 0x10u, kFrames, 0u, 1u, 0u, w, h, 0u, 0u, 0u, 0u})
        Put32(b, v);
    Close(b, avih);
    const size_t strl = Open(b, "LIST", "strl");
    const size_t strh = Open(b, "strh");
    PutTag(b, "vids");
    PutTag(b, "mrle");
    for (uint32_t v : std::initializer_list<uint32_t>{0u, 0u, 0u, 1u, kRate, 0u, kFrames, 0u, 0xFFFFFFFFu, 0u})
        Put32(b, v);
    for (uint32_t v : {0u, 0u, w, h})
        Put16(b, v);
    Close(b, strh);
    const size_t strf = Open(b, "strf");
    for (uint32_t v : {40u, w, h})
        Put32(b, v);
    Put16(b, 1);
    Put16(b, 8);
    for (uint32_t v : std::initializer_list<uint32_t>{1u, 0u, 0u, 0u, 9u, 9u})
        Put32(b, v);
    b.insert(b.end(), {0, 0, 0, 0});
    for (const COLORREF bar : kBars)
        b.insert(b.end(), {GetBValue(bar), GetGValue(bar), GetRValue(bar), 0});
    Close(b, strf);
    Close(b, strl);
    Close(b, hdrl);
    const size_t movi = Open(b, "LIST", "movi");
    std::vector<std::pair<uint32_t, uint32_t>> index;
    for (uint32_t k = 0; k < kFrames; ++k) {
        const std::vector<uint8_t> pixels = RunLengthFrame(w, h, static_cast<uint8_t>(k % 8 + 1));
        index.emplace_back(static_cast<uint32_t>(b.size() - (movi + 4)), static_cast<uint32_t>(pixels.size()));
        const size_t chunk = Open(b, "00dc");
        b.insert(b.end(), pixels.begin(), pixels.end());
        Close(b, chunk);
    }
    Close(b, movi);
    const size_t idx1 = Open(b, "idx1");
    for (const auto& [offset, size] : index) {
        PutTag(b, "00dc");
        Put32(b, 0x10);
        Put32(b, offset);
        Put32(b, size);
    }
    Close(b, idx1);
    Close(b, riff);
    FILE* f = std::fopen(c.captureFile, "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(b.data(), b.size(), 1, f) == 1;
    return std::fclose(f) == 0 && ok;
}

void Paint(HWND window, Capture& c) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    if (c.connected) {
        const std::vector<uint8_t> bits = Rows(c);
        BITMAPINFOHEADER info = Header(c);
        const int w = c.scale ? client.right : c.size.cx, h = c.scale ? client.bottom : c.size.cy;
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchDIBits(dc, -c.scroll.x, -c.scroll.y, w, h, 0, 0, c.size.cx, c.size.cy, bits.data(),
                      reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
    }
    EndPaint(window, &ps);
}

void Preview(HWND window, Capture& c, bool on) {
    c.preview = on;
    if (on)
        SetTimer(window, kPreviewTimer, c.rate, nullptr);
    else
        KillTimer(window, kPreviewTimer);
}

LRESULT Message(HWND window, Capture& c, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CAP_DRIVER_CONNECT:
        c.connected = DriverListed() && wParam == 0;
        c.size = SourceSize();
        InvalidateRect(window, nullptr, FALSE);
        return c.connected;
    case WM_CAP_DRIVER_DISCONNECT:
        Preview(window, c, false);
        c.connected = false;
        return TRUE;
    case WM_CAP_DRIVER_GET_CAPS: {
        if (!c.connected || wParam < sizeof(CAPDRIVERCAPS))
            return FALSE;
        auto* caps = reinterpret_cast<CAPDRIVERCAPS*>(lParam);
        std::memset(caps, 0, sizeof *caps);
        caps->fHasDlgVideoSource = TRUE;
        caps->fHasDlgVideoFormat = TRUE;
        caps->fCaptureInitialized = TRUE;
        return TRUE;
    }
    case WM_CAP_GET_STATUS: {
        if (!c.connected || wParam < sizeof(CAPSTATUS))
            return FALSE;
        auto* status = reinterpret_cast<CAPSTATUS*>(lParam);
        std::memset(status, 0, sizeof *status);
        status->uiImageWidth = static_cast<UINT>(c.size.cx);
        status->uiImageHeight = static_cast<UINT>(c.size.cy);
        status->fLiveWindow = c.preview;
        status->fScale = c.scale;
        status->ptScroll = c.scroll;
        return TRUE;
    }
    case WM_CAP_SET_SCALE: c.scale = wParam != 0; InvalidateRect(window, nullptr, FALSE); return c.connected;
    case WM_CAP_SET_PREVIEW: Preview(window, c, c.connected && wParam); return c.connected;
    case WM_CAP_SET_PREVIEWRATE: c.rate = static_cast<UINT>(wParam ? wParam : 1); return c.connected;
    case WM_CAP_SET_SCROLL: c.scroll = *reinterpret_cast<POINT*>(lParam); return c.connected;
    case WM_CAP_PAL_OPENA: {
        // A RIFF palette file, as the driver would read it.
        char head[12] = {};
        DWORD read = 0;
        HANDLE file = CreateFileA(reinterpret_cast<const char*>(lParam), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return FALSE;
        const BOOL ok = ReadFile(file, head, sizeof head, &read, nullptr) && read == sizeof head &&
                        std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "PAL ", 4) == 0;
        CloseHandle(file);
        return c.connected && ok;
    }
    case WM_CAP_PAL_PASTE:
    case WM_CAP_PAL_AUTOCREATE:
    case WM_CAP_DLG_VIDEOSOURCE:
    case WM_CAP_DLG_VIDEOFORMAT:
    case WM_CAP_DLG_VIDEODISPLAY: return c.connected;
    case WM_CAP_GET_VIDEOFORMAT: {
        if (!c.connected)
            return 0;
        if (wParam >= sizeof(BITMAPINFOHEADER)) {
            BITMAPINFOHEADER h = Header(c);
            h.biBitCount = static_cast<WORD>(c.bits);
            std::memcpy(reinterpret_cast<void*>(lParam), &h, sizeof h);
        }
        return sizeof(BITMAPINFOHEADER);
    }
    case WM_CAP_SET_VIDEOFORMAT: {
        if (!c.connected || wParam < sizeof(BITMAPINFOHEADER))
            return FALSE;
        const auto* h = reinterpret_cast<const BITMAPINFOHEADER*>(lParam);
        c.size = {h->biWidth, std::abs(h->biHeight)};
        c.bits = h->biBitCount;
        return TRUE;
    }
    case WM_CAP_GRAB_FRAME:
    case WM_CAP_GRAB_FRAME_NOSTOP:
        if (message == WM_CAP_GRAB_FRAME)
            Preview(window, c, false);
        InvalidateRect(window, nullptr, FALSE);
        return c.connected;
    case WM_CAP_FILE_SAVEDIBA: return c.connected && SaveDib(c, reinterpret_cast<const char*>(lParam));
    case WM_CAP_FILE_SET_CAPTURE_FILEA:
        lstrcpynA(c.captureFile, reinterpret_cast<const char*>(lParam), MAX_PATH);
        return TRUE;
    case WM_CAP_GET_SEQUENCE_SETUP: {
        if (wParam < sizeof(CAPTUREPARMS))
            return FALSE;
        auto* p = reinterpret_cast<CAPTUREPARMS*>(lParam);
        std::memset(p, 0, sizeof *p);
        p->dwRequestMicroSecPerFrame = 66667;
        return c.connected;
    }
    case WM_CAP_GET_AUDIOFORMAT:
        if (lParam && wParam >= sizeof(PCMWAVEFORMAT))
            std::memcpy(reinterpret_cast<void*>(lParam), &c.audio, sizeof(PCMWAVEFORMAT));
        return sizeof(WAVEFORMATEX);
    case WM_CAP_SET_AUDIOFORMAT:
        // Plain PCM only, as a simple card takes it.
        if (!c.connected || !lParam || wParam < sizeof(PCMWAVEFORMAT) ||
            reinterpret_cast<const WAVEFORMATEX*>(lParam)->wFormatTag != WAVE_FORMAT_PCM)
            return FALSE;
        std::memcpy(&c.audio, reinterpret_cast<const void*>(lParam), sizeof(PCMWAVEFORMAT));
        return TRUE;
    // A recording is written at once: the sequence "ends" before the message returns.
    case WM_CAP_SEQUENCE: return c.connected && WriteSequence(c);
    case WM_CAP_STOP:
    case WM_CAP_ABORT: return c.connected;
    default:
        if (message >= WM_CAP_START && message <= WM_CAP_END)
            return FALSE;
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Capture* c = Of(window);
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Capture));
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_NCDESTROY:
        delete c;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return 0;
    case WM_PAINT:
        if (c)
            Paint(window, *c);
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_TIMER:
        if (c && wParam == kPreviewTimer) {
            ++c->frame;
            InvalidateRect(window, nullptr, FALSE);
        }
        return 0;
    default: return c ? Message(window, *c, message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

extern "C" HWND WINAPI capCreateCaptureWindowA(LPCSTR title, DWORD style, int x, int y, int width, int height,
                                                HWND parent, int id) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(g_module, kClass, &wc)) {
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = g_module;
        wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
    }
    return CreateWindowExA(0, kClass, title, style, x, y, width, height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_module, nullptr);
}

extern "C" BOOL WINAPI capGetDriverDescriptionA(UINT index, LPSTR name, int nameSize, LPSTR version, int versionSize) {
    if (index != 0 || !DriverListed())
        return FALSE;
    if (name && nameSize > 0)
        lstrcpynA(name, "Pageloom Test Camera", nameSize);
    if (version && versionSize > 0)
        lstrcpynA(version, "1.0", versionSize);
    return TRUE;
}

// The wide forms, which the system's device enumerator imports.
extern "C" HWND WINAPI capCreateCaptureWindowW(LPCWSTR title, DWORD style, int x, int y, int width, int height,
                                                HWND parent, int id) {
    char narrow[256] = {};
    if (title)
        WideCharToMultiByte(CP_ACP, 0, title, -1, narrow, sizeof narrow, nullptr, nullptr);
    return capCreateCaptureWindowA(narrow, style, x, y, width, height, parent, id);
}

extern "C" BOOL WINAPI capGetDriverDescriptionW(UINT index, LPWSTR name, int nameSize, LPWSTR version, int versionSize) {
    char narrowName[128] = {}, narrowVersion[32] = {};
    if (!capGetDriverDescriptionA(index, narrowName, sizeof narrowName, narrowVersion, sizeof narrowVersion))
        return FALSE;
    if (name && nameSize > 0)
        MultiByteToWideChar(CP_ACP, 0, narrowName, -1, name, nameSize);
    if (version && versionSize > 0)
        MultiByteToWideChar(CP_ACP, 0, narrowVersion, -1, version, versionSize);
    return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        g_module = module;
    if (reason == DLL_PROCESS_DETACH)
        UnregisterClassA(kClass, module);
    return TRUE;
}
