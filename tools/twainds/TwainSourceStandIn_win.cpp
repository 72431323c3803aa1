// A TWAIN data source with a small window of its own that transfers a test picture natively.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "media/devices/TwainTypes.h"

namespace {

constexpr int kWidth = 32, kHeight = 24;

std::string Env(const char* name) {
    char text[256] = {};
    return GetEnvironmentVariableA(name, text, sizeof text) ? text : "";
}

void Report(const std::string& line) {
    char text[4096] = {};
    GetEnvironmentVariableA("LOOM_TWAIN_REPORT", text, sizeof text);
    SetEnvironmentVariableA("LOOM_TWAIN_REPORT", (std::string(text) + line + ";").c_str());
}

struct Source {
    TwIdentity self{};
    HWND window = nullptr;
    uint16_t pendingMessage = kMsgNull;  // to hand out with the next event
    int xferCount = -1;                  // as set through CAP_XFERCOUNT
    int stillPending = 0;
    int identityRequests = 0;
};
Source g;

void Name(TwIdentity* id, int which) {
    std::memset(id, 0, sizeof *id);
    id->version.majorNum = 1;
    id->protocolMajor = 1;
    id->protocolMinor = 9;
    id->supportedGroups = kDgControl | kDgImage;
    std::strcpy(id->manufacturer, "Quillmark Test");
    std::strcpy(id->productFamily, "Loom");
    std::strcpy(id->productName, which == 1 ? "Loom Scanner 2" : "Loom Scanner");
}

HGLOBAL TestPicture() {
    const int stride = (kWidth * 3 + 3) & ~3;
    const size_t size = sizeof(BITMAPINFOHEADER) + static_cast<size_t>(stride) * kHeight;
    HGLOBAL block = GlobalAlloc(GHND, size);
    auto* p = static_cast<uint8_t*>(GlobalLock(block));
    if (!p)
        return nullptr;
    BITMAPINFOHEADER h{sizeof h, kWidth, kHeight, 1, 24, BI_RGB, static_cast<DWORD>(stride * kHeight), 2835, 2835, 0, 0};
    std::memcpy(p, &h, sizeof h);
    uint8_t* bits = p + sizeof h;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            uint8_t* px = bits + static_cast<size_t>(kHeight - 1 - y) * stride + x * 3;
            px[0] = 128;
            px[1] = static_cast<uint8_t>(y * 8 & 0xF8);
            px[2] = static_cast<uint8_t>(x * 8 & 0xF8);
        }
    GlobalUnlock(block);
    return block;
}

INT_PTR CALLBACK WindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        g.pendingMessage = LOWORD(wParam) == IDOK ? kMsgXferReady : kMsgCloseDsReq;
        Report(LOWORD(wParam) == IDOK ? "scan" : "close");
        PostMessageA(dialog, WM_NULL, 0, 0);  // the application's loop asks again
        return TRUE;
    }
    return FALSE;
}

// The window: "Loom Scanner" with "Scan" and "Close".
HWND MakeWindow(HWND parent) {
    std::vector<WORD> t(512, 0);
    size_t at = 0;
    auto put = [&](WORD w) { t[at++] = w; };
    auto text = [&](const wchar_t* s) {
        while (*s)
            put(static_cast<WORD>(*s++));
        put(0);
    };
    auto align = [&] { at = (at + 1) & ~size_t{1}; };
    const DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME | DS_SETFONT;
    put(LOWORD(style)); put(HIWORD(style)); put(0); put(0);  // style, extended style
    put(2);                                                  // two controls
    put(40); put(40); put(140); put(40);                     // x, y, cx, cy
    put(0); put(0);                                          // menu, class
    text(L"Loom Scanner");
    put(8);
    text(L"MS Shell Dlg");
    struct Button { const wchar_t* label; WORD id; short x; };
    for (const Button b : {Button{L"Scan", IDOK, 10}, Button{L"Close", IDCANCEL, 76}}) {
        align();
        const DWORD s = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (b.id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        put(LOWORD(s)); put(HIWORD(s)); put(0); put(0);
        put(static_cast<WORD>(b.x)); put(14); put(54); put(14);
        put(b.id);
        put(0xFFFF); put(0x0080);  // button
        text(b.label);
        put(0);
    }
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.data()), parent,
                                      WindowProc, 0);
}

uint16_t Control(TwIdentity* origin, uint16_t data, uint16_t message, void* payload) {
    switch (data) {
    case kDatIdentity:
        if (message == kMsgGet) {
            const int which = Env("LOOM_TWAIN_SOURCES") == "2" ? g.identityRequests++ % 2 : 0;
            Name(static_cast<TwIdentity*>(payload), which);
            return kTwrcSuccess;
        }
        if (message == kMsgOpenDs) {
            g = Source{};
            g.self = *static_cast<TwIdentity*>(payload);
            char line[256];
            std::snprintf(line, sizeof line, "open by %s of %s %u.%u protocol %u.%u groups %lu", origin->productName,
                          origin->manufacturer, origin->version.majorNum, origin->version.minorNum,
                          origin->protocolMajor, origin->protocolMinor,
                          static_cast<unsigned long>(origin->supportedGroups));
            Report(line);
            return kTwrcSuccess;
        }
        if (message == kMsgCloseDs) {
            if (g.window)
                DestroyWindow(g.window);
            g.window = nullptr;
            Report("closeds");
            return kTwrcSuccess;
        }
        return kTwrcFailure;
    case kDatCapability: {
        auto* cap = static_cast<TwCapability*>(payload);
        if (message != kMsgSet || cap->cap != kCapXferCount || cap->conType != kTwonOneValue)
            return kTwrcFailure;
        const auto* one = static_cast<const TwOneValue*>(GlobalLock(cap->container));
        if (!one)
            return kTwrcFailure;
        g.xferCount = static_cast<int16_t>(one->item);
        GlobalUnlock(cap->container);
        return kTwrcSuccess;
    }
    case kDatUserInterface: {
        auto* ui = static_cast<TwUserInterface*>(payload);
        if (message == kMsgEnableDs) {
            Report("enable xfercount " + std::to_string(g.xferCount));
            g.window = MakeWindow(static_cast<HWND>(ui->parent));
            const std::string automatic = Env("LOOM_TWAIN_AUTO");
            if (automatic == "scan" || automatic == "close")
                PostMessageA(g.window, WM_COMMAND, automatic == "scan" ? IDOK : IDCANCEL, 0);
            return g.window ? kTwrcSuccess : kTwrcFailure;
        }
        if (message == kMsgDisableDs) {
            if (g.window)
                DestroyWindow(g.window);
            g.window = nullptr;
            Report("disable");
            return kTwrcSuccess;
        }
        return kTwrcFailure;
    }
    case kDatEvent: {
        auto* event = static_cast<TwEvent*>(payload);
        auto* msg = static_cast<MSG*>(event->event);
        const bool ours = g.window && msg && (msg->hwnd == g.window || IsChild(g.window, msg->hwnd));
        if (ours)
            IsDialogMessageA(g.window, msg);
        event->message = g.pendingMessage;
        g.pendingMessage = kMsgNull;
        return ours || event->message != kMsgNull ? kTwrcDsEvent : kTwrcNotDsEvent;
    }
    case kDatPendingXfers: {
        auto* pending = static_cast<TwPendingXfers*>(payload);
        if (message == kMsgEndXfer) {
            pending->count = static_cast<uint16_t>(g.stillPending);
            Report("endxfer " + std::to_string(g.stillPending));
            return kTwrcSuccess;
        }
        if (message == kMsgReset) {
            g.stillPending = 0;
            pending->count = 0;
            Report("reset");
            return kTwrcSuccess;
        }
        return kTwrcFailure;
    }
    default: return kTwrcFailure;
    }
}

}  // namespace

extern "C" __declspec(dllexport) uint16_t WINAPI DS_Entry(TwIdentity* origin, uint32_t group, uint16_t data,
                                                          uint16_t message, void* payload) {
    if (group == kDgControl)
        return Control(origin, data, message, payload);
    if (group == kDgImage && data == kDatImageNativeXfer && message == kMsgGet) {
        HGLOBAL picture = TestPicture();
        if (!picture)
            return kTwrcFailure;
        *static_cast<uint32_t*>(payload) = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(picture));
        g.stillPending = std::atoi(Env("LOOM_TWAIN_PENDING").c_str());
        Report("transfer");
        return kTwrcXferDone;
    }
    return kTwrcFailure;
}
