// Window wrappers of the media layer: `Window` (a window handle and the rectangle it was put
// at), the QuickTime host window `QTWindow` of class "QTWndClass", and the MCIWnd host window
// `MCIWindow`. The media manager is itself a Window over the card window.
//
//   Window_win.cpp      the wrapper's operations
//   QTWindow_win.cpp    the class, its creation and moves; QTWindowProc_win.cpp its procedure
//   MCIWindow_win.cpp   the MCIWnd window
//
// Nothing resizes or deletes a wrapper through the base (each element knows its own window), so
// the wrappers need no dispatch table: QTWindow::Resize and the destructors are plain.
#pragma once

#include <windows.h>

#include <cstdint>

#include "quicktime/QtTypes.h"

class MediaElement;
class QTElement;

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Moves the window to its kept position with the new size and repaints.
    void Resize(int width, int height);

    // Each does nothing (answering 0) without a window.
    void Destroy();
    int Show(int command);
    int Move(int x, int y, int width, int height, bool repaint);
    int SetPos(HWND after, int x, int y, int width, int height, UINT flags);
    int BringToTop();
    LONG_PTR GetLong(int index) const;
    LONG_PTR SetUserData(LONG_PTR value);
    QtGrafPtr GetPort() const;
    void InvalidateAll();
    void Invalidate(const RECT* rect, bool erase);
    void Update();
    RECT ClientRect() const;  // all zero without a window
    HDC WindowDC() const;
    void ReleaseWindowDC(HDC dc) const;
    HWND ParentWindow() const;
    bool SameWindow(const Window& other) const { return window == other.window; }

    HWND window = nullptr;
    RECT rect{};

protected:
    ~Window() = default;
};

// The window class of QTWindow: registered by the media manager when movies are entered and
// unregistered when it goes. False when the system refuses.
inline constexpr char kQTWindowClass[] = "QTWndClass";
bool RegisterQTWindowClass(HINSTANCE instance);
void UnregisterQTWindowClass(HINSTANCE instance);
// Sent to the card window by a movie window the mouse moves over (lParam: the card point, x in
// the low word): the buttons below follow the mouse there.
inline constexpr UINT kButtonsUnderMovieMessage = 1225;
LRESULT CALLBACK QTWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A child window hosting the movie or sound of a QuickTime element, which it keeps as its user
// data; its port becomes QuickTime's current graphics world. No window when creation failed.
class QTWindow : public Window {
public:
    QTWindow(QTElement* element, const Window& parent);
    ~QTWindow();
    // The port follows the rectangle, then the window.
    int Move(const RECT& to, bool repaint);
    void Resize(int width, int height);
};

// An MCIWnd window hosting an AVI element; with the element's controller flag clear it has no
// play bar. No window when MCIWnd is missing or refuses.
inline constexpr DWORD kMCIWindowStyle = 0x40004108;         // child, no error box, mode notices, no menu
inline constexpr DWORD kMCIWindowStyleNoPlayBar = 0x4000410A;
class MCIWindow : public Window {
public:
    MCIWindow(const MediaElement& element, const Window& parent);
    ~MCIWindow();
};

// Placements in a window's client rectangle (MediaRects.h), in place.
void CentreRectInWindow(RECT* rect, HWND window);
void FitRectInWindow(RECT* rect, HWND window, bool margins);
void BottomAlignRectInWindow(RECT* rect, HWND window);

// The current tool's cursor, which a movie window shows over its visible movie;
// host/wiring/WireUpper_win.cpp installs it. Until then the cursor is left as it is.
using MediaToolCursorHook = HCURSOR (*)();
void SetMediaToolCursorHook(MediaToolCursorHook hook);
