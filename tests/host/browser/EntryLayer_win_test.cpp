// Drives the built plug-in DLL through its exports as a browser does, with a browser table of
// the test's own that records every allocation and release. Each test loads the DLL afresh,
// so the module-wide state starts clean.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/system/PluginModule.h"
#include "host/browser/EntryLayer.h"
#include "host/downloads/NpInterface.h"

namespace {

std::string PluginDllPath() {
    std::string path;
    if (const char* env = std::getenv("LOOM_DLL"); env && *env) {
        path = env;
    } else {
        char exe[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
        path.assign(exe, n < MAX_PATH ? n : 0);
        path = path.substr(0, path.find_last_of("\\/") + 1) + "nploom.dll";
    }
    if (!path.empty() && path[0] == '/') {  // a Unix path handed over by ctest: Wine's Z: drive
        for (char& c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
    return path;
}

// What the plug-in asked of the browser.
struct BrowserRecord {
    std::vector<uint32_t> allocSizes;
    std::vector<void*> allocated;
    std::vector<void*> freed;
    int secondTableAllocs = 0;
    bool failAlloc = false;
};
BrowserRecord g_browser;

void* TestMemAlloc(uint32_t size) {
    g_browser.allocSizes.push_back(size);
    if (g_browser.failAlloc)
        return nullptr;
    void* block = std::malloc(size);
    std::memset(block, 0xCD, size);  // poison: fields the plug-in leaves unset show
    g_browser.allocated.push_back(block);
    return block;
}

void* SecondTableMemAlloc(uint32_t size) {
    ++g_browser.secondTableAllocs;
    return TestMemAlloc(size);
}

void TestMemFree(void* block) {
    g_browser.freed.push_back(block);
    std::free(block);
}

NPError TestGetURL(NPP, const char*, const char*) { return NPERR_NO_ERROR; }

NPNetscapeFuncs MakeBrowserTable(uint16_t size = sizeof(NPNetscapeFuncs), uint16_t version = 0x0013) {
    NPNetscapeFuncs table = {};
    table.size = size;
    table.version = version;
    table.geturl = TestGetURL;
    table.memalloc = TestMemAlloc;
    table.memfree = TestMemFree;
    return table;
}

// A page window with child windows standing for embeds. The page stays hidden: focus works
// the same, and Wine destroys a hidden top-level window without waiting on the X server.
struct TestWindows {
    HWND page = nullptr;
    std::vector<HWND> embeds;
    TestWindows() {
        page = CreateWindowA("STATIC", "entry layer test page", WS_OVERLAPPEDWINDOW, 10, 10, 700, 500, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    HWND NewEmbed(int x, int y, int width, int height) {
        HWND w = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, x, y, width, height, page, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
        embeds.push_back(w);
        return w;
    }
    ~TestWindows() {
        for (HWND w : embeds)
            if (IsWindow(w))
                DestroyWindow(w);
        if (IsWindow(page))
            DestroyWindow(page);
    }
};

class EntryLayerTest : public ::testing::Test {
protected:
    HMODULE module = nullptr;
    NP_GetEntryPointsProc getEntryPoints = nullptr;
    NP_InitializeProc initialize = nullptr;
    NP_ShutdownProc shutdown = nullptr;
    NPPluginFuncs handlers = {};
    NPNetscapeFuncs browser = MakeBrowserTable();
    std::unique_ptr<TestWindows> windows;

    void SetUp() override {
        g_browser = {};
        std::string path = PluginDllPath();
        module = LoadLibraryA(path.c_str());
        ASSERT_NE(module, nullptr) << "cannot load " << path << " (error " << GetLastError() << ")";
        getEntryPoints = reinterpret_cast<NP_GetEntryPointsProc>(
            reinterpret_cast<void*>(GetProcAddress(module, "NP_GetEntryPoints")));
        initialize = reinterpret_cast<NP_InitializeProc>(reinterpret_cast<void*>(GetProcAddress(module, "NP_Initialize")));
        shutdown = reinterpret_cast<NP_ShutdownProc>(reinterpret_cast<void*>(GetProcAddress(module, "NP_Shutdown")));
        ASSERT_NE(getEntryPoints, nullptr);
        ASSERT_NE(initialize, nullptr);
        ASSERT_NE(shutdown, nullptr);
        handlers.size = sizeof handlers;
        ASSERT_EQ(getEntryPoints(&handlers), NPERR_NO_ERROR);
        windows = std::make_unique<TestWindows>();
        ASSERT_NE(windows->page, nullptr);
    }

    void TearDown() override {
        // Windows go before the module: the plug-in may have subclassed them.
        windows.reset();
        if (module) {
            shutdown();
            FreeLibrary(module);
        }
    }

    void Initialize() { ASSERT_EQ(initialize(&browser), NPERR_NO_ERROR); }

    NPError New(NPP_t& instance, uint16_t mode = NP_EMBED) {
        char type[] = "application/lmpk";
        return handlers.newp(type, &instance, mode, 0, nullptr, nullptr, nullptr);
    }

    NPError SetWindow(NPP_t& instance, HWND hwnd, int width = 320, int height = 200) {
        NPWindow w = {};
        w.window = hwnd;
        w.x = 5;
        w.y = 6;
        w.width = static_cast<uint32_t>(width);
        w.height = static_cast<uint32_t>(height);
        w.clipRect = {0, 0, static_cast<uint16_t>(height), static_cast<uint16_t>(width)};
        w.type = 1;
        return handlers.setwindow(&instance, &w);
    }

    static uint32_t RecordWindow(const NPP_t& instance) {
        uint32_t window;
        std::memcpy(&window, instance.pdata, 4);
        return window;
    }

    static uint16_t RecordMode(const NPP_t& instance) {
        uint16_t mode;
        std::memcpy(&mode, static_cast<const char*>(instance.pdata) + 4, 2);
        return mode;
    }

    // The plug-in gives the window the keyboard focus when it attaches the system to it, and
    // only then; the focus tells from outside whether an attach happened.
    HWND ParkFocus() {
        HWND parking = windows->NewEmbed(600, 400, 20, 20);
        SetFocus(parking);
        return parking;
    }
};

uint32_t HandleValue(HWND hwnd) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd)); }

bool IsInsideModule(const void* address, HMODULE module) {
    MEMORY_BASIC_INFORMATION info;
    return address && VirtualQuery(address, &info, sizeof info) && info.AllocationBase == module;
}

TEST_F(EntryLayerTest, GetEntryPointsFillsOnlyTheFirst44Bytes) {
    EXPECT_EQ(getEntryPoints(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);
    struct Case {
        uint16_t size;
        NPError result;
    };
    constexpr std::array<Case, 4> kCases = {{{0, 3}, {43, 3}, {44, 0}, {60, 0}}};
    constexpr unsigned char kPattern = 0x5A;
    for (const Case& c : kCases) {
        SCOPED_TRACE("table size " + std::to_string(c.size));
        alignas(4) std::array<unsigned char, 64> table;
        table.fill(kPattern);
        std::memcpy(table.data(), &c.size, 2);
        ASSERT_EQ(getEntryPoints(reinterpret_cast<NPPluginFuncs*>(table.data())), c.result);
        uint16_t size;
        std::memcpy(&size, table.data(), 2);
        EXPECT_EQ(size, c.size) << "the size field is the browser's";
        size_t untouchedFrom = 2;
        if (c.result == NPERR_NO_ERROR) {
            uint16_t version;
            std::memcpy(&version, table.data() + 2, 2);
            EXPECT_EQ(version, 6);
            for (size_t offset = 4; offset <= 36; offset += 4) {
                void* slot;
                std::memcpy(&slot, table.data() + offset, 4);
                EXPECT_TRUE(IsInsideModule(slot, module)) << "slot at offset " << offset << " = " << slot;
            }
            void* event;
            std::memcpy(&event, table.data() + 40, 4);
            EXPECT_EQ(event, nullptr) << "no event handler";
            untouchedFrom = 44;
        }
        for (size_t i = untouchedFrom; i < table.size(); ++i)
            ASSERT_EQ(table[i], kPattern) << "byte " << i << " was written";
    }
    // The slots are the handlers themselves.
    EXPECT_EQ(handlers.writeready(nullptr, nullptr), 0x0FFFFFFF);
}

TEST_F(EntryLayerTest, InitializeStoresTheTableBeforeCheckingIt) {
    EXPECT_EQ(initialize(nullptr), NPERR_INVALID_FUNCTABLE_ERROR);

    // Major version 1 is refused, yet the plug-in already uses this table.
    NPNetscapeFuncs major1 = MakeBrowserTable(sizeof(NPNetscapeFuncs), 0x0113);
    EXPECT_EQ(initialize(&major1), NPERR_INCOMPATIBLE_VERSION_ERROR);
    NPP_t first = {};
    EXPECT_EQ(New(first), NPERR_NO_ERROR);
    ASSERT_EQ(g_browser.allocSizes.size(), 1u) << "NPP_New allocates through the stored table";
    EXPECT_EQ(first.pdata, g_browser.allocated[0]);

    // Too short a table is refused after it is stored too.
    NPNetscapeFuncs short51 = MakeBrowserTable(51);
    short51.memalloc = SecondTableMemAlloc;
    EXPECT_EQ(initialize(&short51), NPERR_INVALID_FUNCTABLE_ERROR);
    NPP_t second = {};
    EXPECT_EQ(New(second), NPERR_NO_ERROR);
    EXPECT_EQ(g_browser.secondTableAllocs, 1);

    NPNetscapeFuncs exact52 = MakeBrowserTable(52);
    EXPECT_EQ(initialize(&exact52), NPERR_NO_ERROR);
    NPNetscapeFuncs minor99 = MakeBrowserTable(sizeof(NPNetscapeFuncs), 0x0063);
    EXPECT_EQ(initialize(&minor99), NPERR_NO_ERROR) << "only the major version matters";
}

TEST_F(EntryLayerTest, NewAllocatesASixByteRecord) {
    Initialize();
    char type[] = "application/lmpk";
    EXPECT_EQ(handlers.newp(type, nullptr, NP_EMBED, 0, nullptr, nullptr, nullptr), NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_TRUE(g_browser.allocSizes.empty()) << "nothing allocated for a null instance";

    for (uint16_t mode : {NP_EMBED, NP_FULL}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        g_browser.allocSizes.clear();
        g_browser.allocated.clear();
        NPP_t instance = {};
        ASSERT_EQ(New(instance, mode), NPERR_NO_ERROR);
        ASSERT_EQ(g_browser.allocSizes, std::vector<uint32_t>{6});
        ASSERT_EQ(instance.pdata, g_browser.allocated[0]);
        EXPECT_EQ(RecordWindow(instance), 0u);
        EXPECT_EQ(RecordMode(instance), mode);
        EXPECT_EQ(handlers.destroy(&instance, nullptr), NPERR_NO_ERROR);
    }

    g_browser.failAlloc = true;
    g_browser.freed.clear();
    NPP_t starved = {reinterpret_cast<void*>(1), nullptr};
    EXPECT_EQ(New(starved), NPERR_OUT_OF_MEMORY_ERROR);
    EXPECT_EQ(starved.pdata, nullptr);
    HWND embed = windows->NewEmbed(10, 10, 50, 50);
    NPWindow w = {};
    w.window = embed;
    EXPECT_EQ(handlers.setwindow(&starved, &w), NPERR_GENERIC_ERROR) << "no record to attach";
    NPSavedData* saved = nullptr;
    EXPECT_EQ(handlers.destroy(&starved, &saved), NPERR_NO_ERROR);
    EXPECT_TRUE(g_browser.freed.empty());
}

TEST_F(EntryLayerTest, SetWindowAttachesToTheFirstRealWindowOnly) {
    Initialize();
    NPP_t instance = {};
    ASSERT_EQ(New(instance), NPERR_NO_ERROR);
    HWND embed = windows->NewEmbed(10, 10, 320, 200);
    NPWindow w = {};
    w.window = embed;
    EXPECT_EQ(handlers.setwindow(nullptr, &w), NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_EQ(handlers.setwindow(&instance, nullptr), NPERR_GENERIC_ERROR);
    NPP_t noRecord = {};
    EXPECT_EQ(handlers.setwindow(&noRecord, &w), NPERR_GENERIC_ERROR);

    HWND parking = ParkFocus();
    ASSERT_EQ(GetFocus(), parking);
    EXPECT_EQ(SetWindow(instance, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(RecordWindow(instance), 0u) << "a null handle leaves the instance unattached";
    EXPECT_EQ(GetFocus(), parking);

    EXPECT_EQ(SetWindow(instance, embed), NPERR_NO_ERROR);
    EXPECT_EQ(RecordWindow(instance), HandleValue(embed));
    EXPECT_EQ(GetFocus(), embed) << "attaching gives the window the focus";

    // Resizes and other windows change nothing.
    RECT before;
    GetWindowRect(embed, &before);
    SetFocus(parking);
    HWND other = windows->NewEmbed(340, 10, 100, 100);
    EXPECT_EQ(SetWindow(instance, embed, 640, 480), NPERR_NO_ERROR);
    EXPECT_EQ(SetWindow(instance, other, 100, 100), NPERR_NO_ERROR);
    EXPECT_EQ(RecordWindow(instance), HandleValue(embed));
    EXPECT_EQ(GetFocus(), parking);
    RECT after;
    GetWindowRect(embed, &after);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(EntryLayerTest, DestroyFreesTheRecordOnce) {
    Initialize();
    NPSavedData* saved = reinterpret_cast<NPSavedData*>(1);
    EXPECT_EQ(handlers.destroy(nullptr, &saved), NPERR_INVALID_INSTANCE_ERROR);

    NPP_t instance = {};
    ASSERT_EQ(New(instance), NPERR_NO_ERROR);
    HWND embed = windows->NewEmbed(10, 10, 320, 200);
    ASSERT_EQ(SetWindow(instance, embed), NPERR_NO_ERROR);
    void* record = instance.pdata;
    saved = nullptr;
    EXPECT_EQ(handlers.destroy(&instance, &saved), NPERR_NO_ERROR);
    EXPECT_EQ(g_browser.freed, std::vector<void*>{record});
    EXPECT_EQ(instance.pdata, nullptr);
    EXPECT_EQ(saved, nullptr) << "nothing is saved for the browser";
    EXPECT_EQ(handlers.destroy(&instance, &saved), NPERR_NO_ERROR);
    EXPECT_EQ(g_browser.freed.size(), 1u) << "a second destroy frees nothing";
}

// Only the instance the system is attached to shuts it down; a second instance in the same
// module, created while the first is alive, frees only its own record.
TEST_F(EntryLayerTest, OnlyTheAttachedInstanceShutsTheSystemDown) {
    Initialize();
    NPP_t first = {}, second = {};
    ASSERT_EQ(New(first), NPERR_NO_ERROR);
    ASSERT_EQ(New(second), NPERR_NO_ERROR);
    HWND firstWindow = windows->NewEmbed(10, 10, 200, 150);
    HWND secondWindow = windows->NewEmbed(220, 10, 200, 150);
    ASSERT_EQ(SetWindow(first, firstWindow), NPERR_NO_ERROR);
    ASSERT_EQ(GetFocus(), firstWindow);

    HWND parking = ParkFocus();
    ASSERT_EQ(SetWindow(second, secondWindow), NPERR_NO_ERROR);
    EXPECT_EQ(RecordWindow(second), HandleValue(secondWindow)) << "the second instance keeps its window";
    EXPECT_EQ(GetFocus(), parking) << "the system stays with the first window";

    void* secondRecord = second.pdata;
    EXPECT_EQ(handlers.destroy(&second, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(g_browser.freed, std::vector<void*>{secondRecord});
    EXPECT_TRUE(IsWindow(secondWindow)) << "no shut-down ran on the second window";

    // Still attached: a further instance's window is not taken over either.
    NPP_t third = {};
    ASSERT_EQ(New(third), NPERR_NO_ERROR);
    HWND thirdWindow = windows->NewEmbed(430, 10, 200, 150);
    ASSERT_EQ(SetWindow(third, thirdWindow), NPERR_NO_ERROR);
    EXPECT_EQ(GetFocus(), parking) << "destroying the second instance shut the system down";

    // The attached instance shuts it down; destroying the third after that frees its record only.
    void* firstRecord = first.pdata;
    EXPECT_EQ(handlers.destroy(&first, nullptr), NPERR_NO_ERROR);
    void* thirdRecord = third.pdata;
    EXPECT_EQ(handlers.destroy(&third, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(g_browser.freed, (std::vector<void*>{secondRecord, firstRecord, thirdRecord}));
    EXPECT_TRUE(IsWindow(thirdWindow));

    // A later page in the same module gets the system again.
    NPP_t later = {};
    ASSERT_EQ(New(later), NPERR_NO_ERROR);
    HWND laterWindow = windows->NewEmbed(10, 200, 200, 150);
    SetFocus(parking);
    ASSERT_EQ(SetWindow(later, laterWindow), NPERR_NO_ERROR);
    EXPECT_EQ(GetFocus(), laterWindow);
    EXPECT_EQ(handlers.destroy(&later, nullptr), NPERR_NO_ERROR);
}

// The stream handlers look at what they are given before they use it: a stream they did not
// take, or took for another instance, is ended rather than written through.
TEST_F(EntryLayerTest, StreamHandlersCheckWhatTheyAreGiven) {
    Initialize();
    NPP_t instance = {}, other = {}, noRecord = {};
    ASSERT_EQ(New(instance), NPERR_NO_ERROR);
    ASSERT_EQ(New(other), NPERR_NO_ERROR);
    char type[] = "application/lmpk";
    uint16_t stype = NP_NORMAL;
    int marker = 0;
    NPStream noUrl = {&marker, nullptr, nullptr, 8, 0, nullptr};
    NPStream good = {nullptr, nullptr, "http://localhost/entry-layer-test.dat", 8, 0, nullptr};
    struct Case {
        const char* what;
        NPP npp;
        NPStream* stream;
        NPError result;
    };
    const Case cases[] = {
        {"null instance", nullptr, &good, NPERR_INVALID_INSTANCE_ERROR},
        {"instance without a record", &noRecord, &good, NPERR_INVALID_INSTANCE_ERROR},
        {"null stream", &instance, nullptr, NPERR_GENERIC_ERROR},
        {"stream without a URL", &instance, &noUrl, NPERR_GENERIC_ERROR},
    };
    for (const Case& c : cases)
        EXPECT_EQ(handlers.newstream(c.npp, type, c.stream, false, &stype), c.result) << c.what;
    EXPECT_EQ(good.pdata, nullptr);
    EXPECT_EQ(noUrl.pdata, &marker) << "a refused stream's data is the browser's";

    char bytes[4] = {1, 2, 3, 4};
    NPStream foreign = {&marker, nullptr, "http://localhost/foreign.dat", 8, 0, nullptr};
    EXPECT_EQ(handlers.write(&instance, &foreign, 0, 4, bytes), -1);
    EXPECT_EQ(handlers.write(&instance, nullptr, 0, 4, bytes), -1);
    EXPECT_EQ(handlers.write(nullptr, &foreign, 0, 4, bytes), -1);
    EXPECT_EQ(handlers.destroystream(&instance, &foreign, 0), NPERR_NO_ERROR);
    EXPECT_EQ(handlers.destroystream(&instance, nullptr, 0), NPERR_NO_ERROR);
    EXPECT_EQ(handlers.destroystream(nullptr, &foreign, 0), NPERR_INVALID_INSTANCE_ERROR);
    EXPECT_EQ(foreign.pdata, &marker);

    ASSERT_EQ(handlers.newstream(&instance, type, &good, false, &stype), NPERR_NO_ERROR);
    EXPECT_NE(good.pdata, nullptr);
    EXPECT_EQ(handlers.write(&other, &good, 0, 4, bytes), -1) << "another instance's stream";
    EXPECT_EQ(handlers.write(&instance, &good, 0, 4, bytes), 4);
    EXPECT_EQ(handlers.destroystream(&other, &good, 0), NPERR_NO_ERROR);
    EXPECT_NE(good.pdata, nullptr) << "still the first instance's";
    EXPECT_EQ(handlers.destroystream(&instance, &good, 0), NPERR_NO_ERROR);  // short: dropped
    EXPECT_EQ(good.pdata, nullptr);
    EXPECT_EQ(handlers.write(&instance, &good, 4, 4, bytes), -1) << "an ended stream takes nothing";
    EXPECT_EQ(handlers.destroy(&other, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(handlers.destroy(&instance, nullptr), NPERR_NO_ERROR);
}

// A white 512 x 512 bitmap in a memory DC, large enough for the whole printed line.
struct MemoryCanvas {
    static constexpr int kSize = 512;
    HDC dc = CreateCompatibleDC(nullptr);
    uint32_t* pixels = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
    MemoryCanvas() {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kSize;
        info.bmiHeader.biHeight = -kSize;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<uint32_t*>(bits);
        previous = SelectObject(dc, bitmap);
        std::fill(pixels, pixels + kSize * kSize, 0x00FFFFFFu);
    }
    ~MemoryCanvas() {
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    uint32_t At(int x, int y) {
        GdiFlush();
        return pixels[y * kSize + x] & 0x00FFFFFFu;
    }
};

TEST_F(EntryLayerTest, PrintSetsFullPageFlagOrDrawsALine) {
    static_assert(offsetof(NPPrint, print) == 2);
    Initialize();
    NPP_t instance = {};
    ASSERT_EQ(New(instance), NPERR_NO_ERROR);
    MemoryCanvas canvas;
    ASSERT_NE(canvas.pixels, nullptr);

    handlers.print(&instance, nullptr);
    NPPrint full = {};
    full.mode = NP_FULL;
    full.print.fullPrint.pluginPrinted = 0xAA;
    full.print.fullPrint.printOne = 0xBB;
    full.print.fullPrint.platformPrint = canvas.dc;
    handlers.print(nullptr, &full);
    EXPECT_EQ(full.print.fullPrint.pluginPrinted, 0xAA) << "a null instance is left alone";
    handlers.print(&instance, &full);
    EXPECT_EQ(full.print.fullPrint.pluginPrinted, 0) << "the browser prints the page itself";
    EXPECT_EQ(full.print.fullPrint.printOne, 0xBB);
    for (int i = 0; i < MemoryCanvas::kSize; ++i)
        ASSERT_EQ(canvas.At(i, i), 0xFFFFFFu) << "full-page printing draws nothing, pixel " << i;

    NPPrint embedded = {};
    embedded.mode = NP_EMBED;
    embedded.print.embedPrint.window.window = canvas.dc;  // carries the printer DC
    handlers.print(&instance, &embedded);
    for (int i = 0; i < MemoryCanvas::kSize; ++i) {
        // From (0, 0) to (500, 500), the end point excluded as lines are drawn.
        ASSERT_EQ(canvas.At(i, i), i < 500 ? 0u : 0xFFFFFFu) << "diagonal pixel " << i;
        if (i + 3 < MemoryCanvas::kSize) {
            ASSERT_EQ(canvas.At(i + 3, i), 0xFFFFFFu) << "off-line pixel " << i;
        }
    }
    EXPECT_EQ(handlers.destroy(&instance, nullptr), NPERR_NO_ERROR);
}

// The instance used for downloads cannot be seen through the exports, so this case drives the
// entry layer linked into the test program itself.
TEST(EntryLayerInProcess, DownloadsStayWithTheAttachedInstance) {
    SetAppInstance(GetModuleHandleA(nullptr));  // what the DLL entry does for the plug-in itself
    g_browser = {};
    NPNetscapeFuncs table = MakeBrowserTable();
    ASSERT_EQ(NP_Initialize(&table), NPERR_NO_ERROR);
    TestWindows windows;
    HWND embed = windows.NewEmbed(10, 10, 200, 150);
    char type[] = "application/lmpk";
    NPP_t first = {}, second = {};
    ASSERT_EQ(NPP_New(type, &first, NP_EMBED, 0, nullptr, nullptr, nullptr), NPERR_NO_ERROR);
    NPWindow w = {};
    w.window = embed;
    w.width = 200;
    w.height = 150;
    ASSERT_EQ(NPP_SetWindow(&first, &w), NPERR_NO_ERROR);
    ASSERT_EQ(NPP_New(type, &second, NP_EMBED, 0, nullptr, nullptr, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(GetPluginInstance(), &second) << "the last instance made asks for downloads";

    EXPECT_EQ(NPP_Destroy(&second, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(GetPluginInstance(), &first) << "not a destroyed instance, but the one the system serves";
    EXPECT_EQ(NPP_Destroy(&first, nullptr), NPERR_NO_ERROR);
    EXPECT_EQ(GetPluginInstance(), nullptr);
    EXPECT_EQ(g_browser.freed.size(), 2u);
    EXPECT_EQ(NP_Shutdown(), NPERR_NO_ERROR);
}

}  // namespace
