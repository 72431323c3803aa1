// One native image transfer through the TWAIN source manager, loaded at run time.
#include <cstring>

#include "core/system/LoadedLibraries.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "media/devices/Twain.h"
#include "media/devices/TwainTypes.h"

namespace {

using DsmEntryProc = uint16_t(WINAPI*)(TwIdentity* origin, TwIdentity* dest, uint32_t group, uint16_t data,
                                       uint16_t message, void* payload);

struct TwainState {
    HMODULE library = nullptr;
    DsmEntryProc entry = nullptr;
    uint16_t lastCode = kTwrcFailure;
    HGLOBAL image = nullptr;
    // Done with the transfer; the first use's choice of source is behind us.
    bool done = false, sourceChosen = false;
};
TwainState g_twain;
TwIdentity g_app{};
TwIdentity g_source{};

void CopyText(TwStr32& to, const char* text) {
    std::memset(to, 0, sizeof to);
    std::strncpy(to, text, sizeof to - 1);
}

// The fixed identity of this program.
void FillAppIdentity() {
    g_app = TwIdentity{};
    g_app.version.majorNum = 1;
    g_app.version.minorNum = 5;
    g_app.version.language = 13;
    g_app.version.country = 1;
    CopyText(g_app.version.info, "<?>");
    g_app.protocolMajor = 1;
    g_app.protocolMinor = 5;
    g_app.supportedGroups = kDgControl | kDgImage;
    CopyText(g_app.manufacturer, "Quillmark");
    CopyText(g_app.productFamily, "<?>");
    CopyText(g_app.productName, "Pageloom");
}

bool Call(TwIdentity* dest, uint32_t group, uint16_t data, uint16_t message, void* payload) {
    if (!g_twain.entry) {
        g_twain.lastCode = kTwrcFailure;
        return false;
    }
    g_twain.lastCode = g_twain.entry(&g_app, dest, group, data, message, payload);
    return g_twain.lastCode == kTwrcSuccess;
}

// To the source manager.
bool CallDsm(uint32_t group, uint16_t data, uint16_t message, void* payload) {
    return Call(nullptr, group, data, message, payload);
}

// To the open source.
bool CallSource(uint32_t group, uint16_t data, uint16_t message, void* payload) {
    return Call(&g_source, group, data, message, payload);
}

bool OpenDsm(HWND parent) {
    HWND window = parent;
    return CallDsm(kDgControl, kDatParent, kMsgOpenDsm, &window);
}

void CloseDsm(HWND parent) {
    HWND window = parent;
    CallDsm(kDgControl, kDatParent, kMsgCloseDsm, &window);
}

// The first use: with more than one source the user picks one. False when that was cancelled.
bool ChooseSourceOnce(HWND parent) {
    if (!OpenDsm(parent))
        return false;
    TwIdentity listed{};
    CallDsm(kDgControl, kDatIdentity, kMsgGetFirst, &listed);
    CallDsm(kDgControl, kDatIdentity, kMsgGetNext, &listed);
    if (g_twain.lastCode != kTwrcEndOfList) {
        CallDsm(kDgControl, kDatIdentity, kMsgGetDefault, &g_source);
        if (!CallDsm(kDgControl, kDatIdentity, kMsgUserSelect, &g_source)) {
            // No source was opened: only the manager is closed.
            CloseDsm(parent);
            return false;
        }
    }
    CloseDsm(parent);
    return true;
}

// Exactly one transfer is wanted: the source is told before it is enabled.
void AskForOneTransfer() {
    HGLOBAL container = GlobalAlloc(GHND, sizeof(TwOneValue));
    if (!container)
        return;
    if (auto* one = static_cast<TwOneValue*>(GlobalLock(container))) {
        one->itemType = kTwtyInt16;
        one->item = 1;
        GlobalUnlock(container);
        TwCapability capability{kCapXferCount, kTwonOneValue, container};
        CallSource(kDgControl, kDatCapability, kMsgSet, &capability);
    }
    GlobalFree(container);
}

void Transfer() {
    uint32_t handle = 0;
    Call(&g_source, kDgImage, kDatImageNativeXfer, kMsgGet, &handle);
    g_twain.image =
        g_twain.lastCode == kTwrcXferDone ? reinterpret_cast<HGLOBAL>(static_cast<uintptr_t>(handle)) : nullptr;
    TwPendingXfers pending{};
    CallSource(kDgControl, kDatPendingXfers, kMsgEndXfer, &pending);
    if (pending.count != 0) {
        pending = {};
        CallSource(kDgControl, kDatPendingXfers, kMsgReset, &pending);
    }
}

// Messages go to the source first until an image came, the source asked to close, or a quit
// arrived (posted again for the loop outside).
void RunEventLoop() {
    g_twain.image = nullptr;
    g_twain.done = false;
    MSG msg;
    while (!g_twain.image && !g_twain.done) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got < 0)
            break;
        TwEvent event{&msg, kMsgNull};
        CallSource(kDgControl, kDatEvent, kMsgProcessEvent, &event);
        if (g_twain.lastCode != kTwrcDsEvent) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (event.message == kMsgXferReady) {
            Transfer();
            g_twain.done = true;
        } else if (event.message == kMsgCloseDsReq) {
            g_twain.done = true;
        }
    }
}

// The entry point, unless the library was freed with the others since it was loaded.
bool HaveEntry() {
    if (g_twain.entry && !LoadedLibraries().Holds(g_twain.library)) {
        g_twain.entry = nullptr;
        g_twain.library = nullptr;
        g_twain.sourceChosen = false;
    }
    return g_twain.entry != nullptr;
}

}  // namespace

bool LoadTwainDSM() {
    if (HaveEntry())
        return true;
    HMODULE library = SafeLoadLibrary("TWAIN_32.DLL");
    if (!library)
        return false;
    g_twain.entry = reinterpret_cast<DsmEntryProc>(reinterpret_cast<void*>(GetProcAddress(library, MAKEINTRESOURCEA(1))));
    if (!g_twain.entry) {
        SafeFreeLibrary(library);
        return false;
    }
    g_twain.library = library;
    FillAppIdentity();
    return true;
}

void ForgetTwainSourceChoice() { g_twain.sourceChosen = false; }

uint16_t LastTwainReturnCode() { return g_twain.lastCode; }

HGLOBAL AcquireTwainImage(HWND parent) {
    if (!HaveEntry()) {
        g_twain.lastCode = kTwrcFailure;
        return nullptr;
    }
    FillAppIdentity();
    // The source's windows are owned by the browser's frame, which their closing leaves the focus.
    FocusReturnScope keep(DialogOwner(parent));
    if (!g_twain.sourceChosen) {
        if (!ChooseSourceOnce(parent))
            return nullptr;
        g_twain.sourceChosen = true;
    }
    if (!OpenDsm(parent))
        return nullptr;
    g_source = TwIdentity{};  // Id 0 and no name: the default source
    if (!CallDsm(kDgControl, kDatIdentity, kMsgOpenDs, &g_source)) {
        CloseDsm(parent);
        return nullptr;
    }
    AskForOneTransfer();
    TwUserInterface ui{1, 0, parent};
    CallSource(kDgControl, kDatUserInterface, kMsgEnableDs, &ui);
    if (g_twain.lastCode != kTwrcFailure) {
        RunEventLoop();
        CallSource(kDgControl, kDatUserInterface, kMsgDisableDs, &ui);
    }
    CallDsm(kDgControl, kDatIdentity, kMsgCloseDs, &g_source);
    CloseDsm(parent);
    HGLOBAL image = g_twain.image;
    g_twain.image = nullptr;
    return image;
}
