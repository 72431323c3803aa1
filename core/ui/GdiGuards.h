// Scoped ownership of device contexts, of GDI objects and of objects selected into them: each
// guard releases or restores exactly what it took, on every path.
#pragma once

#include <windows.h>

#include "core/memory/SafeRelease.h"
#include "core/ui/DisplayUtils.h"

// GetDC / ReleaseDC of a window (the screen when the window is null).
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// CreateCompatibleDC / DeleteDC.
class MemoryDC : public OwnedHandle<HDC, DeleteDC> {
public:
    explicit MemoryDC(HDC compatibleWith) : OwnedHandle(CreateCompatibleDC(compatibleWith)) {}
};

// DeleteObject of a bitmap, brush, pen, font or palette, unless released first.
template <class T>
class OwnedGdiObject : public OwnedHandle<T, DeleteObject> {
public:
    explicit OwnedGdiObject(T object) : OwnedHandle<T, DeleteObject>(object) {}
};

// SelectObject, and the previous object selected back. False when nothing was selected (no
// DC, no object, or SelectObject failed).
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc) {
        HGDIOBJ previous = dc && object ? SelectObject(dc, object) : nullptr;
        previous_ = previous == HGDI_ERROR ? nullptr : previous;
    }
    ~SelectedObject() {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    explicit operator bool() const { return previous_ != nullptr; }
    // What was selected before (and comes back at the end of the scope).
    HGDIOBJ previous() const { return previous_; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A palette selected (always, or through SelectPaletteIfIndexed only on an 8-bit display) and
// the previous one selected back the same way.
class SelectedPalette {
public:
    enum Mode { kAlways, kIfIndexed };
    SelectedPalette(HDC dc, HPALETTE palette, Mode mode) : dc_(dc), mode_(mode) {
        if (!dc || !palette)
            return;
        if (mode == kAlways) {
            previous_ = SelectPalette(dc, palette, FALSE);
        } else {
            HPALETTE previous = SelectPaletteIfIndexed(dc, palette, FALSE);
            if (previous != palette)  // selected: something to restore
                previous_ = previous;
        }
    }
    ~SelectedPalette() {
        if (!previous_)
            return;
        if (mode_ == kAlways)
            SelectPalette(dc_, previous_, FALSE);
        else
            SelectPaletteIfIndexed(dc_, previous_, FALSE);
    }
    SelectedPalette(const SelectedPalette&) = delete;
    SelectedPalette& operator=(const SelectedPalette&) = delete;

private:
    HDC dc_;
    Mode mode_;
    HPALETTE previous_ = nullptr;
};
