// Captures a window's client area as it shows on screen and writes it as a PNG file through
// the Windows Imaging Component; takes the X server's picture of the whole screen, and of one
// window by itself, in xwd's format.
#include <windows.h>
#include <wincodec.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "TestBrowser.h"

namespace {

// Owns one COM interface pointer.
template <typename T>
struct ComRef {
    T* p = nullptr;
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p)
            p->Release();
    }
    T* operator->() const { return p; }
    T** operator&() { return &p; }
};

struct WindowDc {
    HWND window;
    HDC dc;
    explicit WindowDc(HWND w) : window(w), dc(GetDC(w)) {}
    ~WindowDc() {
        if (dc)
            ReleaseDC(window, dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
};

struct MemoryDc {
    HDC dc;
    explicit MemoryDc(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc)
            DeleteDC(dc);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
};

struct SelectedBitmap {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
    SelectedBitmap(HDC d, HBITMAP b) : dc(d), bitmap(b), previous(b ? SelectObject(d, b) : nullptr) {}
    ~SelectedBitmap() {
        if (previous)
            SelectObject(dc, previous);
        if (bitmap)
            DeleteObject(bitmap);
    }
    SelectedBitmap(const SelectedBitmap&) = delete;
    SelectedBitmap& operator=(const SelectedBitmap&) = delete;
};

struct ComApartment {
    HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComApartment() {
        if (SUCCEEDED(hr))
            CoUninitialize();
    }
};

bool WritePng(const std::string& fileName, int width, int height, int stride, const BYTE* pixels) {
    ComApartment apartment;
    ComRef<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory))))
        return false;
    int chars = MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), -1, nullptr, 0);
    if (chars <= 0)
        return false;
    std::vector<wchar_t> wideName(static_cast<size_t>(chars));
    MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), -1, wideName.data(), chars);

    ComRef<IWICStream> stream;
    ComRef<IWICBitmapEncoder> encoder;
    ComRef<IWICBitmapFrameEncode> frame;
    ComRef<IPropertyBag2> properties;
    if (FAILED(factory->CreateStream(&stream)) || FAILED(stream->InitializeFromFilename(wideName.data(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, &properties)) || FAILED(frame->Initialize(properties.p)) ||
        FAILED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))))
        return false;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (FAILED(frame->SetPixelFormat(&format)) || !IsEqualGUID(format, GUID_WICPixelFormat24bppBGR))
        return false;
    UINT size = static_cast<UINT>(stride) * static_cast<UINT>(height);
    return SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(stride), size,
                                        const_cast<BYTE*>(pixels))) &&
           SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
}

}  // namespace

bool SaveWindowPng(void* hwnd, const std::string& fileName) {
    HWND window = static_cast<HWND>(hwnd);
    RECT client;
    if (!IsWindow(window) || !GetClientRect(window, &client))
        return false;
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return false;
    // Let pending paints land first, so the picture shows what the plug-in drew.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);

    WindowDc screen(window);
    if (!screen.dc)
        return false;
    MemoryDc memory(screen.dc);
    if (!memory.dc)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows, as the encoder takes them
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    SelectedBitmap dib(memory.dc, CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib.bitmap || !bits)
        return false;
    if (!BitBlt(memory.dc, 0, 0, width, height, screen.dc, 0, 0, SRCCOPY))
        return false;
    GdiFlush();
    int stride = (width * 3 + 3) & ~3;
    return WritePng(fileName, width, height, stride, static_cast<const BYTE*>(bits));
}

std::string SystemPaletteText(void* hwnd) {
    WindowDc screen(static_cast<HWND>(hwnd));
    if (!screen.dc || !(GetDeviceCaps(screen.dc, RASTERCAPS) & RC_PALETTE))
        return "";
    PALETTEENTRY entries[256] = {};
    const UINT count = GetSystemPaletteEntries(screen.dc, 0, 256, entries);
    std::string text;
    for (UINT i = 0; i < count && i < 256; ++i) {
        char word[8];
        std::snprintf(word, sizeof word, "%02x%02x%02x", entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
        text += (i ? " " : "") + std::string(word);
    }
    return text;
}

namespace {

// The Unix path of a Windows one, through Wine's own export; empty elsewhere.
std::string UnixPath(const std::string& path) {
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    const auto toUnix =
        reinterpret_cast<ToUnix>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    const int chars = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (!toUnix || chars <= 0)
        return {};
    std::vector<wchar_t> wide(static_cast<size_t>(chars));
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), chars);
    char* unix = toUnix(wide.data());
    if (!unix)
        return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Starts "sh -c LINE" on the Unix side. Wine starts a Unix program as its own process, without
// a handle to wait on; it splits the line by Windows' rules. The handles it hands back for such a
// program are whatever its stack held (often one of ours, such as standard output): never closed.
bool StartShell(const std::string& line) {
    std::string command = "sh -c \"" + line + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    return CreateProcessA("Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process);
}

// On a palette display the screen's DC reads each pixel through Wine's own idea of its colours,
// not through the colour map the display has installed, which is what a person sees: our X
// client (LOOM_XDISPLAY, tools/xdisplay) reads it. The file appears whole under its name; waited
// for, up to 10 seconds.
bool SaveDisplayedScreen(const std::string& fileName) {
    const std::string target = UnixPath(fileName);
    if (!GetEnvironmentVariableA("LOOM_XDISPLAY", nullptr, 0) || target.empty() ||
        target.find_first_of("'\"") != std::string::npos)
        return false;
    DeleteFileA(fileName.c_str());
    if (!StartShell("\\\"$LOOM_XDISPLAY\\\" screen '" + target + "'"))
        return false;
    for (int i = 0; i < 200; ++i) {
        if (GetFileAttributesA(fileName.c_str()) != INVALID_FILE_ATTRIBUTES)
            return true;
        Sleep(50);
    }
    return false;
}

// A big-endian 32-bit word of an xwd header.
void PutWord(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>(value >> shift & 0xFF);
}

}  // namespace

// Read through the screen's DC: Wine reads the X root window with the windows on it, which is
// the server's picture whatever each window holds. xwd of the root is not used for it: once
// the windows have a colour map other than the root's (Wine gives each program one of its
// own), it reads each colour map's windows apart, and a window lying wholly inside another of
// its program (a dialog over the page, a menu, a drop-down list) comes out black. A palette
// display is read by our X client, through the colour map it has installed.
bool SaveScreenXwd(const std::string& fileName) {
    WindowDc screen(nullptr);
    if (!screen.dc)
        return false;
    if (GetDeviceCaps(screen.dc, RASTERCAPS) & RC_PALETTE)
        return SaveDisplayedScreen(fileName);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0)
        return false;
    MemoryDc memory(screen.dc);
    if (!memory.dc)
        return false;
    // A 16-bit display keeps its own pixels (5-6-5), so that they read as the window's own
    // picture does; deeper displays are read as 8-bit channels.
    const bool sixteen = GetDeviceCaps(screen.dc, BITSPIXEL) == 16;
    struct {
        BITMAPINFOHEADER header;
        DWORD masks[3];
    } info = {};
    info.header.biSize = sizeof info.header;
    info.header.biWidth = width;
    info.header.biHeight = -height;
    info.header.biPlanes = 1;
    info.header.biBitCount = sixteen ? 16 : 32;
    info.header.biCompression = sixteen ? BI_BITFIELDS : BI_RGB;
    const DWORD masks[3] = {sixteen ? 0xF800u : 0xFF0000u, sixteen ? 0x07E0u : 0xFF00u, sixteen ? 0x001Fu : 0xFFu};
    std::memcpy(info.masks, masks, sizeof masks);
    void* bits = nullptr;
    SelectedBitmap dib(memory.dc, CreateDIBSection(screen.dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                                   &bits, nullptr, 0));
    if (!dib.bitmap || !bits || !BitBlt(memory.dc, 0, 0, width, height, screen.dc, 0, 0, SRCCOPY | CAPTUREBLT))
        return false;
    GdiFlush();
    const uint32_t bitsPerPixel = sixteen ? 16 : 32, stride = (uint32_t(width) * bitsPerPixel / 8 + 3) & ~3u;
    constexpr char kName[] = "screen";
    constexpr uint32_t kZPixmap = 2, kLsbFirst = 0, kTrueColor = 4;
    const uint32_t header[25] = {100 + sizeof kName, 7, kZPixmap, sixteen ? 16u : 24u, uint32_t(width),
                                 uint32_t(height), 0, kLsbFirst, 32, kLsbFirst, 32, bitsPerPixel, stride, kTrueColor,
                                 masks[0], masks[1], masks[2], 8, 0, 0, uint32_t(width), uint32_t(height), 0, 0, 0};
    std::string out;
    for (uint32_t word : header)
        PutWord(out, word);
    out.append(kName, sizeof kName);
    out.append(static_cast<const char*>(bits), size_t(stride) * size_t(height));
    std::ofstream file(fileName, std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    return !file.fail();
}

bool StartXwd(const std::string& fileName, void* window) {
    const std::string target = UnixPath(fileName);
    if (target.empty() || target.find_first_of("'\"") != std::string::npos)
        return false;
    // Wine names a top-level window's X window in a property.
    const auto xWindow =
        window ? reinterpret_cast<uintptr_t>(GetPropA(static_cast<HWND>(window), "__wine_x11_whole_window")) : 0;
    if (window && !xWindow)
        return false;
    const std::string which = window ? "-id " + std::to_string(xWindow) : "-root";
    // The file appears whole under its name once xwd is done.
    return StartShell("xwd " + which + " -silent -out '" + target + ".part' && mv '" + target + ".part' '" + target +
                      "'");
}
