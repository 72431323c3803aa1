#include "media/support/MediaWindows.h"

#include "quicktime/QtCalls.h"

void Window::Resize(int width, int height) {
    if (!window)
        return;
    MoveWindow(window, rect.left, rect.top, width, height, TRUE);
}

void Window::Destroy() {
    if (!window)
        return;
    DestroyWindow(window);
    window = nullptr;
}

int Window::Show(int command) { return window ? ShowWindow(window, command) : 0; }

int Window::Move(int x, int y, int width, int height, bool repaint) {
    if (!window)
        return 0;
    rect = RECT{x, y, x + width, y + height};
    return MoveWindow(window, x, y, width, height, repaint ? TRUE : FALSE);
}

int Window::SetPos(HWND after, int x, int y, int width, int height, UINT flags) {
    return window ? SetWindowPos(window, after, x, y, width, height, flags) : 0;
}

int Window::BringToTop() {
    return window ? SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) : 0;
}

LONG_PTR Window::GetLong(int index) const { return window ? GetWindowLongPtrA(window, index) : 0; }

LONG_PTR Window::SetUserData(LONG_PTR value) {
    return window ? SetWindowLongPtrA(window, GWLP_USERDATA, value) : 0;
}

QtGrafPtr Window::GetPort() const { return window ? GetNativeWindowPort(window) : nullptr; }

void Window::InvalidateAll() {
    if (window)
        InvalidateRect(window, nullptr, TRUE);
}

void Window::Invalidate(const RECT* area, bool erase) {
    if (window)
        InvalidateRect(window, area, erase ? TRUE : FALSE);
}

void Window::Update() {
    if (window)
        UpdateWindow(window);
}

RECT Window::ClientRect() const {
    RECT r{};
    if (window)
        GetClientRect(window, &r);
    return r;
}

HDC Window::WindowDC() const { return window ? GetDC(window) : nullptr; }

void Window::ReleaseWindowDC(HDC dc) const {
    if (window && dc)
        ReleaseDC(window, dc);
}

HWND Window::ParentWindow() const { return window ? GetParent(window) : nullptr; }
