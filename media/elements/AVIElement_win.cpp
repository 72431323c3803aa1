// The AVI element: its MCIWnd window, play, measure, the still picture and the notifications.
#include "media/elements/AVIElement.h"

#include <new>

#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/DibGdi.h"
#include "media/MediaDialogs.h"
#include "media/MediaManager.h"
#include "media/elements/QTElements.h"
#include "media/support/MediaRects.h"
#include "media/support/MediaWindows.h"

namespace {

// MCIWnd messages and MCI commands, as Video for Windows numbers them.
constexpr UINT kMciPlay = 0x0806;
constexpr UINT kMciWndGetPosition = WM_USER + 102;
constexpr UINT kMciWndGetEnd = WM_USER + 105;
constexpr UINT kMciWndGetMode = WM_USER + 106;
constexpr LRESULT kMciModePlay = 526;
constexpr UINT kMciWndSetVolume = WM_USER + 110;
constexpr UINT kMciWndGetVolume = WM_USER + 111;
constexpr UINT kMciWndSetPalette = WM_USER + 127;
constexpr UINT kMciWndChangeStyles = WM_USER + 135;
constexpr UINT kMciWndGetSource = WM_USER + 140;
constexpr UINT kMciWndOpen = WM_USER + 153;
constexpr LPARAM kMciWndNoPlayBar = 0x0002;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return window ? SendMessageA(window, message, wParam, lParam) : 0;
}

// At the end: the position has reached the end, or the movie has stopped on its last frame (where
// some MCIWnd implementations leave a movie played to its end).
bool AtEnd(HWND movie) {
    const LRESULT position = Send(movie, kMciWndGetPosition);
    const LRESULT end = Send(movie, kMciWndGetEnd);
    return position >= end || (position + 1 >= end && Send(movie, kMciWndGetMode) != kMciModePlay);
}

// The card window as the target of an element opened only to be measured or placed.
class CardTarget : public Window {
public:
    CardTarget() {
        window = MediaManagerWindow() ? MediaManagerWindow() : GetCardWindow();
        rect = ClientRect();
    }
};

// The window the movie stands in: its window's parent, else the card window.
HWND CardOf(const AVIElement& element) {
    HWND movie = element.MovieWindow();
    HWND parent = movie ? GetParent(movie) : nullptr;
    return parent ? parent : GetCardWindow();
}

void CentreInCard(const AVIElement& element, RECT* rect) {
    if (HWND card = CardOf(element))
        CentreRectInWindow(rect, card);
}

bool IsRectEmptyOrZero(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

AVIElement::AVIElement(std::span<const uint8_t> record, const char* file) {
    CopyPathText(file ? file : "", path, sizeof path);
    objectId = GetI16(record, kObjectId);
    rect = RECT{GetI16(record, kObjectRect), GetI16(record, kObjectRect + 2), GetI16(record, kObjectRect + 4),
                GetI16(record, kObjectRect + 6)};
    flags = GetU32(record, kChunkValue);
    volume = static_cast<int16_t>(GetU16(record, kChunkOptionWord));
    state |= kMediaStateOwnWindow;
}

AVIElement::AVIElement(const char* file) {
    CopyPathText(file ? file : "", path, sizeof path);
    objectId = 0;
    volume = 255;
    state |= kMediaStateOwnWindow;
}

AVIElement::~AVIElement() { Close(); }

HWND AVIElement::MovieWindow() const { return window ? window->window : nullptr; }

int AVIElement::Open(const Window& target, int) {
    Close();
    window = new (std::nothrow) MCIWindow(*this, target);
    if (!window || !window->window)
        return 0;
    if (Send(window->window, kMciWndOpen, 0, reinterpret_cast<LPARAM>(path)) != 0) {
        Close();
        return 0;
    }
    if (IsRectZero(rect))
        GetNaturalBounds();
    window->rect = rect;  // the window stands at the element's rectangle
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    Resize(width, (flags & kMediaFlagController) ? height + kAVIPlayBarHeight : height);
    return 1;
}

int AVIElement::Idle() {
    HWND movie = MovieWindow();
    if (movie && !AtEnd(movie))
        return 0;
    state |= kMediaStateDone;
    if (flags & kMediaFlagEraseWhenDone)
        Show(kMediaHide);
    return 1;
}

int AVIElement::Play() {
    HWND movie = MovieWindow();
    if (!movie)
        return kMediaOpenFailed;
    if (flags & kMediaFlagApplyVolume)
        Send(movie, kMciWndSetVolume, 0, volume);
    if (const LRESULT error = Send(movie, kMciSeek, 0, kMciWndStart))
        return static_cast<int>(error);
    state &= ~kMediaStateDone;
    Send(movie, kMciWndSetPalette, reinterpret_cast<WPARAM>(GetAppPalette()));
    Show(kMediaShow);
    BringToTop();
    Send(movie, kMciPlay);
    return 0;
}

void AVIElement::Close() {
    delete window;
    window = nullptr;
}

void AVIElement::DrawStill(HDC surface) {
    if (!(flags & kMediaFlagFirstFrame) || (state & kMediaStateDone))
        return;
    HBITMAP bitmap = DrawToDC(surface, GetAppPalette());
    if (!bitmap)
        return;
    ImageRectToDC(surface, bitmap, rect.left, rect.top, rect.right, rect.bottom, 0, 0);
    DeleteObject(bitmap);
}

int AVIElement::GetVolume() { return static_cast<int>(Send(MovieWindow(), kMciWndGetVolume)); }

void AVIElement::SetControllerVisible(int visible) {
    Send(MovieWindow(), kMciWndChangeStyles, kMciWndNoPlayBar, visible ? 0 : kMciWndNoPlayBar);
}

int AVIElement::Measure(std::span<uint8_t> record) {
    if (record.size() < kMediaRecordMinBytes)
        return 0;
    objectId = 0;
    CardTarget target;
    if (!Open(target, 0))
        return 0;
    uint32_t recordFlags = GetU32(record, kChunkValue);
    if (IsRectEmptyOrZero(rect)) {
        recordFlags |= kMediaStateSoundOnly;
        rect = RECT{0, 0, 220, 0};
    }
    CentreInCard(*this, &rect);
    SetU16(record, kChunkOptionWord, static_cast<uint16_t>(kAVIMeasuredVolume));
    SetU32(record, kChunkValue, recordFlags | kMediaFlagController | kMediaFlagOverObjects | kMediaFlagApplyVolume);
    const int32_t values[] = {rect.left, rect.top, rect.right, rect.bottom};
    for (size_t i = 0; i < 4; ++i)
        SetU16(record, kObjectRect + 2 * i, static_cast<uint16_t>(static_cast<int16_t>(values[i])));
    return 1;
}

void AVIElement::Update() {
    if (HWND movie = MovieWindow())
        UpdateWindow(movie);
}

void AVIElement::Resize(int width, int height) {
    if (window)
        window->Resize(width, height);
}

void AVIElement::Show(int command) {
    HWND movie = MovieWindow();
    if (!movie)
        return;
    ShowWindow(movie, command);
    if (command != kMediaHide)
        return;
    if (HWND card = CardOf(*this)) {
        InvalidateRect(card, &rect, TRUE);
        UpdateWindow(card);
    }
}

void AVIElement::BringToTop() {
    if (window)
        window->BringToTop();
}

// The user drags the movie's rectangle on the card with its still as the preview.
void AVIElement::PlaceOnCard() {
    HWND card = CardOf(*this);
    if (!still) {
        WindowDC dc(card);
        still = DrawToDC(dc.get(), GetAppPalette());
    }
    PlaceMovieRect(card, &rect, still);
    if (card)
        InvalidateRect(card, &rect, TRUE);
}

int AVIElement::PrepareStill() {
    objectId = -1;
    flags |= kMediaFlagOverObjects;
    CardTarget target;
    if (!Open(target, 1))
        return 0;
    RemeasureWithoutStill();
    PlaceOnCard();
    Close();
    return 1;
}

int AVIElement::ShowOptions() { return OptionsDialog(1, 0); }

int AVIElement::OptionsDialog(int, int) {
    return RunMovieOptionsPlacing(CardOf(*this), this, [this] { PlaceOnCard(); });
}

void AVIElement::GetNaturalBounds() {
    RECT source{};
    Send(MovieWindow(), kMciWndGetSource, 0, reinterpret_cast<LPARAM>(&source));
    rect = source;
    CentreInCard(*this, &rect);
}

HBITMAP AVIElement::DrawToDC(HDC dc, HPALETTE palette) {
    SelectedPalette selected(dc, palette, SelectedPalette::kIfIndexed);
    if (HasExtension(path, "mpg") || HasExtension(path, "mpeg"))
        return MpegFrameBitmap(path, GetCardWindow());
    HBITMAP bitmap = AviFrameBitmap(path, static_cast<LONG>(Send(MovieWindow(), kMciWndGetPosition)), dc);
    if (bitmap && IsRectZero(rect)) {
        BITMAP info{};
        if (GetObjectA(bitmap, sizeof info, &info))
            rect = RECT{0, 0, info.bmWidth, info.bmHeight};
    }
    return bitmap;
}

void AVIOnMCIWndNotify(AVIElement& element, HWND window) {
    if (!(element.state & kMediaStateOwnWindow) || !window || element.MovieWindow() != window)
        return;
    if (element.flags & kMediaFlagEraseWhenDone)
        element.Idle();
    if ((element.flags & kMediaFlagLoop) && AtEnd(window))
        element.Play();
}
