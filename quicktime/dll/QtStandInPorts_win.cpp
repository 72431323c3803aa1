// Window ports: associated with a window and found again from it; the port resize; the current
// port; WinEventToMacEvent.
#include "quicktime/dll/QtStandInPorts.h"

#include <algorithm>
#include <map>
#include <set>

#include "quicktime/QtEffects.h"
#include "quicktime/dll/QtStandIn.h"

namespace {

std::set<QtPortRecord*> g_ports;
std::map<HWND, QtPortRecord*> g_windowPorts;
QtGrafPtr g_current = nullptr;
QtGDHandle g_currentDevice = nullptr;

void ClientSize(HWND window, int* width, int* height) {
    RECT r = {};
    GetClientRect(window, &r);
    *width = r.right - r.left;
    *height = r.bottom - r.top;
}

intptr_t DoCreatePortAssociation(const QtWord* args) {
    HWND window = reinterpret_cast<HWND>(args[0]);
    if (!IsWindow(window))
        return 0;
    if (QtPortRecord* existing = StandInWindowPort(window))
        return reinterpret_cast<intptr_t>(existing);
    auto* port = new QtPortRecord;
    port->window = window;
    port->windowDc = GetDC(window);
    ClientSize(window, &port->width, &port->height);
    g_ports.insert(port);
    g_windowPorts[window] = port;
    return reinterpret_cast<intptr_t>(port);
}

intptr_t DoDestroyPortAssociation(const QtWord* args) {
    QtPortRecord* port = StandInLivePort(reinterpret_cast<QtGrafPtr>(args[0]));
    if (!port || !port->window)
        return kQtParamErr;
    if (port->windowDc)
        ReleaseDC(port->window, port->windowDc);
    g_windowPorts.erase(port->window);
    g_ports.erase(port);
    if (g_current == port)
        g_current = nullptr;
    delete port;
    return kQtNoErr;
}

intptr_t DoGetNativeWindowPort(const QtWord* args) {
    return reinterpret_cast<intptr_t>(StandInWindowPort(reinterpret_cast<HWND>(args[0])));
}

intptr_t DoResizeWindowPort(const QtWord* args) {
    QtPortRecord* port = StandInLivePort(reinterpret_cast<QtGrafPtr>(args[0]));
    if (!port || !port->window)
        return kQtParamErr;
    port->width = std::max(0, static_cast<int>(static_cast<int16_t>(args[1])));
    port->height = std::max(0, static_cast<int>(static_cast<int16_t>(args[2])));
    return kQtNoErr;
}

uint16_t Modifiers(bool buttonUp) {
    uint16_t m = buttonUp ? 0x80 : 0;  // btnState: the button is up
    if (GetKeyState(VK_SHIFT) < 0)
        m |= 0x200;
    if (GetKeyState(VK_CONTROL) < 0)
        m |= 0x100;  // the command key
    if (GetKeyState(VK_MENU) < 0)
        m |= 0x800;  // option
    return m;
}

// The event a window message is for the controller: presses, releases, keys, updates and
// activations; anything else is a null event (still with its time and place).
intptr_t DoWinEventToMacEvent(const QtWord* args) {
    const auto* msg = reinterpret_cast<const MSG*>(args[0]);
    auto* event = reinterpret_cast<QtEventRecord*>(args[1]);
    if (!msg || !event)
        return 0;
    *event = {};
    event->when = static_cast<uint32_t>(static_cast<uint64_t>(msg->time) * 60 / 1000);
    event->where = {static_cast<int16_t>(msg->pt.y), static_cast<int16_t>(msg->pt.x)};
    bool buttonUp = GetKeyState(VK_LBUTTON) >= 0;
    switch (msg->message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        event->what = kQtMouseDown;
        buttonUp = false;
        break;
    case WM_LBUTTONUP:
        event->what = kQtMouseUp;
        buttonUp = true;
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        event->what = (msg->lParam & (1 << 30)) ? kQtAutoKey : kQtKeyDown;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        event->what = kQtKeyUp;
        break;
    case WM_PAINT:
        event->what = kQtUpdateEvt;
        event->message = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(StandInWindowPort(msg->hwnd)));
        break;
    case WM_ACTIVATE:
        event->what = kQtActivateEvt;
        event->message = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(StandInWindowPort(msg->hwnd)));
        if (LOWORD(msg->wParam) != WA_INACTIVE)
            event->modifiers |= 1;  // activeFlag
        break;
    default:
        event->what = kQtNullEvent;
        break;
    }
    if (event->what == kQtKeyDown || event->what == kQtKeyUp || event->what == kQtAutoKey) {
        const UINT character = MapVirtualKeyA(static_cast<UINT>(msg->wParam), MAPVK_VK_TO_CHAR) & 0xFF;
        const UINT scan = (static_cast<UINT>(msg->lParam) >> 16) & 0xFF;
        event->message = character | (scan << 8);
    }
    event->modifiers |= Modifiers(buttonUp);
    return event->what != kQtNullEvent ? 1 : 0;
}

intptr_t DoGetGWorld(const QtWord* args) {
    if (auto* port = reinterpret_cast<QtGrafPtr*>(args[0]))
        *port = g_current;
    if (auto* device = reinterpret_cast<QtGDHandle*>(args[1]))
        *device = g_currentDevice;
    return kQtNoErr;
}

intptr_t DoSetGWorld(const QtWord* args) {
    QtGrafPtr port = reinterpret_cast<QtGrafPtr>(args[0]);
    if (port && !StandInLivePort(port))
        return kQtParamErr;
    g_current = port;
    g_currentDevice = reinterpret_cast<QtGDHandle>(args[1]);
    return kQtNoErr;
}

intptr_t DoGetPortHDC(const QtWord* args) {
    return reinterpret_cast<intptr_t>(StandInPortDC(reinterpret_cast<QtGrafPtr>(args[0])));
}

intptr_t DoGetPortHBITMAP(const QtWord* args) {
    const QtPortRecord* port = StandInLivePort(reinterpret_cast<QtGrafPtr>(args[0]));
    return port ? reinterpret_cast<intptr_t>(port->bitmap) : 0;
}

intptr_t DoGetPortBitMapForCopyBits(const QtWord* args) {
    QtPortRecord* port = StandInLivePort(reinterpret_cast<QtGrafPtr>(args[0]));
    return port && port->bitmap ? reinterpret_cast<intptr_t>(&port->bitMap) : 0;
}

constexpr StandInRow kPortRows[] = {
    {kQtSelCreatePortAssociation, DoCreatePortAssociation},
    {kQtSelDestroyPortAssociation, DoDestroyPortAssociation},
    {kQtSelGetNativeWindowPort, DoGetNativeWindowPort},
    {kQtSelResizeWindowPort, DoResizeWindowPort},
    {kQtSelWinEventToMacEvent, DoWinEventToMacEvent},
    {kQtSelGetGWorld, DoGetGWorld},
    {kQtSelSetGWorld, DoSetGWorld},
    {kQtSelGetPortHDC, DoGetPortHDC},
    {kQtSelGetPortHBITMAP, DoGetPortHBITMAP},
    {kQtSelGetPortBitMapForCopyBits, DoGetPortBitMapForCopyBits},
};

}  // namespace

std::span<const StandInRow> StandInPortRows() { return kPortRows; }

void StandInAddPort(QtPortRecord* port) { g_ports.insert(port); }
void StandInRemovePort(QtPortRecord* port) {
    g_ports.erase(port);
    if (g_current == port)
        g_current = nullptr;
}

QtPortRecord* StandInLivePort(QtGrafPtr port) { return g_ports.count(port) ? port : nullptr; }

QtPortRecord* StandInWindowPort(HWND window) {
    const auto found = g_windowPorts.find(window);
    if (found == g_windowPorts.end())
        return nullptr;
    if (!IsWindow(window)) {
        // The window went without its association: the port goes too, so a later window that
        // gets the same handle does not find it.
        QtPortRecord* stale = found->second;
        g_windowPorts.erase(found);
        StandInRemovePort(stale);
        delete stale;
        return nullptr;
    }
    return found->second;
}

HDC StandInPortDC(QtGrafPtr port) {
    const QtPortRecord* p = StandInLivePort(port);
    if (!p)
        return nullptr;
    return p->memoryDc ? p->memoryDc : p->windowDc;
}

QtGrafPtr StandInCurrentPort() { return g_current; }

bool StandInPortSize(QtGrafPtr port, int* width, int* height) {
    const QtPortRecord* p = StandInLivePort(port);
    if (!p)
        return false;
    *width = p->width;
    *height = p->height;
    return true;
}

bool StandInPortPixels(QtGrafPtr port, StandInPixels* pixels) {
    const QtPortRecord* p = StandInLivePort(port);
    if (!p || !p->bitmap)
        return false;
    DIBSECTION section = {};
    if (GetObjectA(p->bitmap, sizeof section, &section) != sizeof section || !section.dsBm.bmBits)
        return false;
    GdiFlush();
    const ptrdiff_t rowBytes = section.dsBm.bmWidthBytes;
    auto* bits = static_cast<uint8_t*>(section.dsBm.bmBits);
    pixels->width = section.dsBm.bmWidth;
    pixels->height = section.dsBm.bmHeight;
    pixels->bitsPerPixel = section.dsBm.bmBitsPixel;
    if (p->topDown) {
        pixels->top = bits;
        pixels->stride = rowBytes;
    } else {
        pixels->top = bits + rowBytes * (pixels->height - 1);
        pixels->stride = -rowBytes;
    }
    return StandInPixelsUsable(*pixels);
}

bool StandInDrawIntoPort(QtGrafPtr port, const uint8_t* bgra, int width, int height, const QtRect& where) {
    if (!bgra || width <= 0 || height <= 0)
        return false;
    const QtRect all = {0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
    StandInPixels target;
    if (StandInPortPixels(port, &target)) {
        const StandInPixels source = {const_cast<uint8_t*>(bgra), ptrdiff_t(width) * 4, width, height, 32};
        return StandInCopyPixels(source, target, all, where, kQtSrcCopyMode, {}, nullptr);
    }
    HDC dc = StandInPortDC(port);
    if (!dc)
        return false;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    const int lines = StretchDIBits(dc, where.left, where.top, where.right - where.left, where.bottom - where.top, 0, 0,
                                    width, height, bgra, &info, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc, oldMode);
    return lines != 0;
}
