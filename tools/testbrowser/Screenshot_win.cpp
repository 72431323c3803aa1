// Captures a window's client area as it shows on screen and writes it as a PNG file through
// the Windows Imaging Component.
#include <windows.h>
#include <wincodec.h>

#include <cstdio>
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
        reinterpret_cast<ToUnix>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"));
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

}  // namespace

bool StartXShot(const std::string& fileName, void* page) {
    const std::string target = UnixPath(fileName);
    if (target.empty() || target.find_first_of("'\"") != std::string::npos)
        return false;
    // The page's own X window (Wine names it in a property) tells what its pixels mean: the
    // root's dump of a 16-bit display does not.
    const auto xWindow = reinterpret_cast<uintptr_t>(
        GetPropA(GetAncestor(static_cast<HWND>(page), GA_ROOT), "__wine_x11_whole_window"));
    const std::string map = xWindow ? "xwd -id " + std::to_string(xWindow) + " -silent -out '" + target + ".map'; " : "";
    // Wine starts a Unix program as its own process, without a handle to wait on: the file
    // appears whole under its name once xwd is done. Wine splits the line by Windows' rules.
    std::string command = "sh -c \"" + map + "xwd -root -silent -out '" + target + ".part' && mv '" + target +
                          ".part' '" + target + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    return true;
}
