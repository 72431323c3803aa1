// The AVI and MPEG movie element: a movie played in an MCIWnd window of Video for Windows
// instead of through QuickTime, with still pictures of its movie drawn on the card.
//
//   AVIElement_win.cpp   the element's operations, play, measure and the MCIWnd notifications
//   AVIStills_win.cpp    still frames: AVI files through the AVI file services, MPEG files
//                        through DirectDraw and multimedia streaming
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "media/support/MediaElement.h"

class MCIWindow;

// Extra height of the MCIWnd play bar under an AVI movie.
inline constexpr int kAVIPlayBarHeight = 26;
// The volume an AVI movie is measured with (QuickTime movies: 255).
inline constexpr int16_t kAVIMeasuredVolume = 128;
// MCIWnd's seek message and the position of the movie's start (MCI_SEEK, MCIWND_START).
inline constexpr UINT kMciSeek = 0x0807;
inline constexpr LPARAM kMciWndStart = -1;

class AVIElement : public MediaElement, public MediaDrawable {
public:
    // From a media action record and the movie's path.
    AVIElement(std::span<const uint8_t> record, const char* path);
    explicit AVIElement(const char* path);
    ~AVIElement() override;

    int Open(const Window& target, int mode) override;
    int Idle() override;
    int PrepareStill() override;  // also the drawable's
    int ShowOptions() override;
    int Play() override;
    void Close() override;
    void DrawStill(HDC surface) override;
    int GetVolume() override;
    void SetControllerVisible(int visible) override;
    int Measure(std::span<uint8_t> record) override;
    void Update() override;
    void Resize(int width, int height) override;
    void Show(int command) override;
    void BringToTop() override;

    int OptionsDialog(int fromPlay, int unused) override;
    void GetNaturalBounds() override;
    HBITMAP DrawToDC(HDC dc, HPALETTE palette) override;

    // The user places the rectangle on the card with the still as preview.
    void PlaceOnCard();
    // The MCIWnd window; null when not open.
    HWND MovieWindow() const;

    MCIWindow* window = nullptr;
};

// What the card window's MCIWnd notification does to one element whose window it is: with flag
// 0x8 it is polled (and hidden at the end), with flag 0x20 it plays again from the end.
void AVIOnMCIWndNotify(AVIElement& element, HWND window);

// ---- AVIStills_win.cpp ----
// The frame at position of the file's first video stream as a device bitmap, or null.
HBITMAP AviFrameBitmap(const char* path, LONG position, HDC dc);
// The first frame of an MPEG file as a bitmap, or null (also where no decoder is installed).
HBITMAP MpegFrameBitmap(const char* path, HWND cardWindow);
