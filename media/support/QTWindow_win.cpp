#include "media/support/MediaWindows.h"

#include "core/system/PluginModule.h"
#include "media/support/MediaElement.h"
#include "quicktime/QtCalls.h"

namespace {

constexpr UINT kQTWindowClassStyle = CS_VREDRAW | CS_HREDRAW | CS_OWNDC | CS_SAVEBITS;  // 0x823
constexpr int kQTWindowExtraBytes = 4;

// Control ids of movie windows, one more for each window made.
int g_nextControlId = 0;

}  // namespace

bool RegisterQTWindowClass(HINSTANCE instance) {
    WNDCLASSA wc{};
    wc.style = kQTWindowClassStyle;
    wc.lpfnWndProc = QTWindowProc;
    wc.cbWndExtra = kQTWindowExtraBytes;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kQTWindowClass;
    return RegisterClassA(&wc) != 0;
}

void UnregisterQTWindowClass(HINSTANCE instance) { UnregisterClassA(kQTWindowClass, instance); }

QTWindow::QTWindow(QTElement* element, const Window& parent) {
    rect = element->rect;
    window = CreateWindowExA(WS_EX_TRANSPARENT, kQTWindowClass, "", WS_CHILD | WS_CLIPSIBLINGS, rect.left, rect.top,
                             rect.right - rect.left, rect.bottom - rect.top, parent.window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(++g_nextControlId)), GetAppInstance(), nullptr);
    if (!window)
        return;
    SetUserData(reinterpret_cast<LONG_PTR>(element));
    SetGWorld(GetPort(), nullptr);
}

QTWindow::~QTWindow() {
    SetUserData(0);
    Destroy();
}

int QTWindow::Move(const RECT& to, bool repaint) {
    if (!window)
        return 0;
    const int width = to.right - to.left;
    const int height = to.bottom - to.top;
    ResizeWindowPort(GetPort(), static_cast<int16_t>(width), static_cast<int16_t>(height));
    return Window::Move(to.left, to.top, width, height, repaint);
}

void QTWindow::Resize(int width, int height) {
    if (!window)
        return;
    ResizeWindowPort(GetPort(), static_cast<int16_t>(width), static_cast<int16_t>(height));
    MoveWindow(window, rect.left, rect.top, width, height, TRUE);
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
}
