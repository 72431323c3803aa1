#include "tests/support/LinkedPlugin_win.h"

#include <algorithm>

#include "TestBrowser.h"
#include "core/system/ChangeFlags.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/ScreenDepth.h"
#include "host/browser/EntryLayer.h"
#include "host/menus/MenuCommands.h"
#include "core/files/FileSlots.h"
#include "host/player/CardHistory.h"
#include "host/player/StackOpening.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/ProcessNames_win.h"
#include "stack/cards/CardList.h"

void PumpPageMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

COLORREF WindowPixel(HWND window, int x, int y) {
    WindowDC dc(window);
    return GetPixel(dc.get(), x, y);
}

void DragThrough(HWND window, std::initializer_list<POINT> points) {
    for (auto at = points.begin(); at != points.end(); ++at) {
        const UINT message = at == points.begin() ? WM_LBUTTONDOWN : at + 1 == points.end() ? WM_LBUTTONUP : WM_MOUSEMOVE;
        SendMouse(window, message, at->x, at->y);
    }
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y) {
    MemoryDC memory(nullptr);
    SelectedObject selected(memory.get(), bitmap);
    return GetPixel(memory.get(), x, y);
}

void SendMouse(HWND window, UINT message, int x, int y) {
    SendMessageA(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    PumpPageMessages();
}

void SendScreenMouse(POINT screen, DWORD buttons) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65535LL) / (GetSystemMetrics(SM_CXSCREEN) - 1));
    input.mi.dy = static_cast<LONG>((screen.y * 65535LL) / (GetSystemMetrics(SM_CYSCREEN) - 1));
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    SendInput(1, &input, sizeof input);
}

void ClickScreen(POINT screen, DWORD down, DWORD up) {
    SendScreenMouse(screen, 0);
    SendScreenMouse(screen, down);
    SendScreenMouse(screen, up);
}

void SendScreenKey(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

bool OpenInLinkedPlugin(const stackbuilder::Stack& stack, const std::string& name, LinkedPluginPage* page,
                        void (*afterWiring)()) {
    SetAppInstance(GetModuleHandleA(nullptr));
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    page->file = std::string(temp) + name;
    if (!stackbuilder::WriteFile(page->file, stackbuilder::BuildStack(stack).bytes))
        return false;
    page->workingDepthBefore = GetScreenDepth();
    // A new page starts with no changed stack, as a new browser process would: what an earlier
    // test left changed in this process must not be asked about when this stack replaces it.
    ClearStackChanged();
    ClearCardChanged();
    UseLinkedPlugin(NP_GetEntryPoints, NP_Initialize, NP_Shutdown);
    if (InitializePlugin() != kExitOk)
        return false;
    if (afterWiring)
        afterWiring();
    // The host keeps a pointer to the types for every later stream.
    static PluginTypes types;
    types.mimeTypes = {"application/lmpk"};
    types.extensions = {"stk"};
    SetServer(temp, "http://localhost/", types, 4096, false);
    const int w = stack.cardWidth, h = stack.cardHeight;
    page->page = CreateWindowA("STATIC", "page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, w + 100, h + 100, nullptr,
                               nullptr, nullptr, nullptr);
    page->embed = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, w, h, page->page, nullptr, nullptr, nullptr);
    SetPumpWindow(page->page);
    const int instance = NewInstance("application/lmpk", false, "http://localhost/" + name, w, h);
    if (instance < 0)
        return false;
    SetInstanceWindow(instance, page->embed, 0, 0, w, h);
    RequestStream(instance, "http://localhost/" + name);
    for (int i = 0; i < 10000 && HasStreamWork(); ++i) {
        PumpPageMessages();
        PumpStreams();
    }
    PumpPageMessages();
    return true;
}

void CloseLinkedPlugin(LinkedPluginPage* page) {
    DestroyInstances();
    ShutdownPlugin();
    if (page->page)
        DestroyWindow(page->page);
    DeleteFileA(page->file.c_str());
    // What outlives the plug-in in this process (the working depth it set from the display and
    // its stacks, the cards it went through) is no other test's.
    SetScreenDepth(page->workingDepthBefore);
    FreeCardHistory();
    *page = {};
}

stackbuilder::Stack OneCardStack(uint16_t width, uint16_t height) {
    stackbuilder::Stack stack;
    stack.cardWidth = width;
    stack.cardHeight = height;
    stack.cards = {stackbuilder::PlainCard(1)};
    return stack;
}

stackbuilder::Stack WhiteCards(uint16_t count, uint16_t width, uint16_t height,
                               std::vector<stackbuilder::Object> objects) {
    stackbuilder::Stack stack;
    stack.cardWidth = width;
    stack.cardHeight = height;
    for (uint16_t id = 1; id <= count; ++id) {
        stackbuilder::Card card = stackbuilder::PictureCard(id, stackbuilder::SolidPicture(width, height, 8, 0));
        card.picture->palette = {{255, 255, 255}};
        stack.cards.push_back(card);
    }
    stack.cards[0].objects = std::move(objects);
    return stack;
}

bool LinkedPluginTest::Open(const stackbuilder::Stack& stack, void (*afterWiring)()) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    // A name of its own each time: the download cache keeps what a name brought before.
    std::string stem = std::string(test->test_suite_name()) + "-" + test->name();
    std::replace(stem.begin(), stem.end(), '/', '-');  // parameterised tests' names
    return OpenInLinkedPlugin(stack, ProcessUniqueName(stem, "stk"), &page, afterWiring);
}

void LinkedPluginTest::TearDown() {
    if (!page.file.empty())
        CloseLinkedPlugin(&page);
}

bool SaveAndReadBack(StackFileContents* contents) {
    FileRef file = kNoFile;
    if (SaveStack(kSlotCurrentStack, true) != 0 || OpenFileSlot(kSlotCurrentStack, kOpenRead, &file) != 0)
        return false;
    FileByteSource source(file);
    StackConversion cv;
    const bool read = ReadStackFile(source, cv, *contents).ok();
    FileClose(file);
    return read;
}

std::vector<uint8_t> OpenStackObject(uint16_t cardId, uint16_t kind, uint16_t objectId) {
    Handle record = FindCardById(cardId);
    uint32_t offset = 0;
    if (!record || !FindObjectInCard(kind, objectId, record, &offset))
        return {};
    Handle copy = CopyObjectRecord(record, offset);
    std::vector<uint8_t> bytes = HandleToBytes(copy);
    DisposeHandle(copy);
    return bytes;
}

std::string MapperFace(const char* asked) {
    LOGFONTA font = {};
    font.lfHeight = -24;
    lstrcpynA(font.lfFaceName, asked, LF_FACESIZE);
    OwnedGdiObject<HFONT> made(CreateFontIndirectA(&font));
    WindowDC dc(nullptr);
    SelectedObject selected(dc.get(), made.get());
    char face[64] = {};
    GetTextFaceA(dc.get(), sizeof face, face);
    return face;
}

bool SaveOpenStack(HWND embed, bool namesFilesElsewhere) {
    constexpr int kSaveCommand = 102, kSaveOverOriginal = 53;
    static int saves = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + "saved-" + ProcessTag() + "-" +
                             std::to_string(++saves) + ".stk";
    DialogDriver driver(15000);
    if (StackFileIsDownloadCopy()) {
        driver.Expect(DialogMatch::Caption("Please name this Stack"), [&](DialogView& box) {
            box.SetFileName(path);
            box.Press(IDOK);
        });
        if (namesFilesElsewhere)
            driver.Expect(DialogMatch::Caption("Pageloom"), [](DialogView& box) { box.Press(box.DefaultButton()); });
    } else if (SaveStackCommandAsks()) {  // the pictures were converted for this display
        driver.Expect(DialogMatch::Alert(2340), [](DialogView& box) { box.Press(kSaveOverOriginal); });
    }
    driver.Run([&] { return DoMenuCommand(embed, kSaveCommand, 0, nullptr) ? 1 : 0; });
    return !IsStackChanged() && !StackFileIsDownloadCopy();
}

bool OpenAgainFromThisMachine(const LinkedPluginPage& page) {
    SetFileSpecFromPath(kSlotCurrentStack, page.file.c_str());
    return OpenStack(false) == 0 && !StackFileIsDownloadCopy();
}
