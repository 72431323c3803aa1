// The tool palettes inside the loaded plug-in: menu commands on the card window open both, a
// click on a cell selects its tool, and shutting the instance down leaves none of their
// windows; a second load of the module opens them again.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/ui/PaletteCaption.h"
#include "host/downloads/NpInterface.h"

namespace {

std::string DllPath() {
    char exe[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe, n < MAX_PATH ? n : 0);
    return path.substr(0, path.find_last_of("\\/") + 1) + "nploom.dll";
}

void* Alloc(uint32_t size) { return std::calloc(1, size); }
void Free(void* block) { std::free(block); }
NPError GetUrl(NPP, const char*, const char*) { return NPERR_NO_ERROR; }

// One load of the module with one attached instance on a child window of a hidden page.
struct LoadedPlugin {
    HMODULE module = LoadLibraryA(DllPath().c_str());
    NPPluginFuncs handlers{};
    NPNetscapeFuncs browser{};
    NPP_t instance{};
    HWND page = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW, 10, 10, 400, 300, nullptr, nullptr, nullptr, nullptr);
    HWND embed = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 160, 120, page, nullptr, nullptr, nullptr);

    bool Start() {
        if (!module)
            return false;
        auto entry = reinterpret_cast<NP_GetEntryPointsProc>(reinterpret_cast<void*>(GetProcAddress(module, "NP_GetEntryPoints")));
        auto init = reinterpret_cast<NP_InitializeProc>(reinterpret_cast<void*>(GetProcAddress(module, "NP_Initialize")));
        handlers.size = sizeof handlers;
        browser.size = sizeof browser;
        browser.version = 0x0013;
        browser.geturl = GetUrl;
        browser.memalloc = Alloc;
        browser.memfree = Free;
        if (!entry || !init || entry(&handlers) != NPERR_NO_ERROR || init(&browser) != NPERR_NO_ERROR)
            return false;
        char type[] = "application/lmpk";
        if (handlers.newp(type, &instance, NP_EMBED, 0, nullptr, nullptr, nullptr) != NPERR_NO_ERROR)
            return false;
        NPWindow w{};
        w.window = embed;
        w.width = 160;
        w.height = 120;
        w.clipRect = {0, 0, 120, 160};
        w.type = 1;
        return handlers.setwindow(&instance, &w) == NPERR_NO_ERROR;
    }
    void Destroy() { handlers.destroy(&instance, nullptr); }
    ~LoadedPlugin() {
        DestroyWindow(page);
        if (module) {
            if (auto shutdown = reinterpret_cast<NP_ShutdownProc>(reinterpret_cast<void*>(GetProcAddress(module, "NP_Shutdown"))))
                shutdown();
            FreeLibrary(module);
        }
    }
};

COLORREF PixelAt(HWND window, int x, int y) {
    UpdateWindow(window);
    HDC dc = GetDC(window);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return c;
}

}  // namespace

TEST(ToolPaletteInPlugin, CommandsOpenBothAndShutDownLeavesNone) {
    for (int load = 0; load < 2; ++load) {
        LoadedPlugin plugin;
        ASSERT_TRUE(plugin.Start()) << "load " << load;
        SendMessageA(plugin.embed, WM_COMMAND, 402, 0);
        SendMessageA(plugin.embed, WM_COMMAND, 250, 0);
        HWND floating = FindWindowA("LM_Ftools", nullptr);
        HWND copy = FindWindowA("LM_Tools", nullptr);
        ASSERT_TRUE(floating && copy) << "load " << load;
        EXPECT_TRUE(IsWindowVisible(floating) && IsWindowVisible(copy));
        const int caption = PaletteCaptionHeight();
        EXPECT_EQ(PixelAt(floating, 26, caption + 56), RGB(255, 255, 255));
        SendMessageA(floating, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, caption + 60));
        EXPECT_EQ(PixelAt(floating, 26, caption + 56), RGB(0, 0, 0)) << "the oval selection's cell inverted";
        EXPECT_EQ(PixelAt(copy, 26, 56), RGB(0, 0, 0)) << "the menu copy shows the same tool";
        plugin.Destroy();
        EXPECT_FALSE(IsWindow(floating) || IsWindow(copy));
        EXPECT_EQ(FindWindowA("LM_Ftools", nullptr), nullptr);
    }
}
