// The video source of an action and its dialog: a movie file, a videodisc segment, a live
// picture in a rectangle of the card, or a movie recorded now.
#include <algorithm>
#include <cstring>

#include <windows.h>
#include <vfw.h>

#include "core/events/MessageLoops.h"
#include "core/events/MouseHooks.h"
#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/WaitCursor.h"
#include "media/MediaDialogs.h"
#include "media/MediaManager.h"
#include "media/capture/Capture.h"
#include "media/video/VideoChunks.h"
#include "media/video/VideoSources.h"
#include "media/videodisc/Videodisc.h"
#include "objects/ResizeTracking.h"
#include "stack/cards/CardList.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr int kLiveWindowId = 69;
constexpr uint32_t kAlertPlaceMovie = 2380;
constexpr uint16_t kLiveVideoNoDisc = 3;  // live video shown, no segment played
constexpr int kMoviePathChars = 260;

// ---- the live overlay ----

struct Overlay {
    HWND card = nullptr;
    HWND capture = nullptr;
    RECT rect{};
    RECT pressedRect{};
    HBITMAP preview = nullptr;
    bool ended = false;
};
Overlay g_overlay;

RECT Inset(RECT r) {
    InflateRect(&r, -1, -1);
    return r;
}

void PlaceCapture() {
    const RECT r = Inset(g_overlay.rect);
    SetWindowPos(g_overlay.capture, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOACTIVATE);
}

// Ends the tracker as a press off every handle does (which pops this hook).
void EndOverlay(HWND__* window) {
    g_overlay.ended = true;
    TrackResizeCallback(WM_LBUTTONDOWN, window, -30000, -30000);
}

int OverlayHook(unsigned message, HWND__* window, int x, int y) {
    int handle = 0;
    ReadTrackState(nullptr, nullptr, &handle, nullptr);
    if (message == WM_LBUTTONDOWN) {
        g_overlay.pressedRect = g_overlay.rect;
        const int taken = TrackResizeCallback(message, window, x, y);
        if (CurrentTrackState().rect == nullptr)
            g_overlay.ended = true;  // a press off the rectangle ended it
        return taken;
    }
    if (message == WM_MOUSEMOVE) {
        const int taken = TrackResizeCallback(message, window, x, y);
        if (handle != 0 && !EqualRect(&g_overlay.rect, &g_overlay.pressedRect))
            ShowWindow(g_overlay.capture, SW_HIDE);  // hidden during a drag
        return taken;
    }
    if (message == WM_LBUTTONUP) {
        const bool dragged = handle != 0 && !EqualRect(&g_overlay.rect, &g_overlay.pressedRect);
        TrackResizeCallback(message, window, x, y);
        if (dragged) {
            PlaceCapture();
            ShowWindow(g_overlay.capture, SW_SHOW);
            return 1;
        }
        EndOverlay(window);
        return 1;
    }
    return 0;
}

RECT StartRect(std::span<const uint8_t> chunk, bool editing) {
    const Rect32 stored = VideoChunkRect(chunk);
    if (editing && stored.right > stored.left && stored.bottom > stored.top)
        return {stored.left, stored.top, stored.right, stored.bottom};
    uint16_t width = 0, height = 0;
    CurrentCardSize(&width, &height);
    const int w = width / 2, h = height / 2;
    return {(width - w) / 2, (height - h) / 2, (width - w) / 2 + w, (height - h) / 2 + h};
}

HBITMAP BlackPreview(HWND card, const RECT& r) {
    HDC dc = GetDC(card);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<int>(1, r.right - r.left), std::max<int>(1, r.bottom - r.top));
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ kept = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, r.right - r.left, r.bottom - r.top, BLACKNESS);
    SelectObject(memory, kept);
    DeleteDC(memory);
    ReleaseDC(card, dc);
    return bitmap;
}

// ---- the other sources ----

bool RunDiscDialog(HWND parent, std::span<uint8_t> chunk, int existing) {
    VideodiscCommandText start{}, end{};
    const std::span<uint8_t> startBytes = VideoChunkCommand(chunk, 0), endBytes = VideoChunkCommand(chunk, 1);
    if (startBytes.empty() || endBytes.empty())
        return false;
    std::copy_n(startBytes.begin(), std::min(start.size(), startBytes.size()), start.begin());
    std::copy_n(endBytes.begin(), std::min(end.size(), endBytes.size()), end.begin());
    Rect32 rect = VideoChunkRect(chunk);  // widened for the dialog
    uint16_t flags = GetU16(chunk, kChunkSoundFlags);
    // With a capture driver the dialog runs beside the card, where its live video viewer shows.
    const uint32_t mode = HaveCaptureDriver() ? kVdDialogModeless : 0;
    if (!RunVideodiscDialog(parent, start, end, rect, existing != 0, mode, flags))
        return false;
    std::copy_n(start.begin(), std::min(start.size(), startBytes.size()), startBytes.begin());
    std::copy_n(end.begin(), std::min(end.size(), endBytes.size()), endBytes.begin());
    SetVideoChunkRect(chunk, rect);  // and narrowed back
    SetU16(chunk, kChunkSoundFlags, flags);
    SetU16(chunk, kObjectKind, kTagVideodisc);
    return true;
}

bool RecordMovie(HWND parent, std::span<uint8_t> movieChunk, FileSpec* movie) {
    char path[kMoviePathChars] = {};
    if (!AskSaveStackFile(parent, kSaveMovie, path, sizeof path))
        return false;
    if (!path[0] || RunMovieRecordDialog(parent, path) != IDOK)
        return false;
    // The recorded file is offered in the Open dialog, then placed by the user, then its options.
    SetFileSpecFromPath(kSlotMediaFolder14, path);
    BigMascotMessageBox(parent, kAlertPlaceMovie, 1, false, true, false);
    return MediaChooseMovie(movieChunk, movie) != 0;
}

}  // namespace

int ExistingVideoSource(std::span<const uint8_t> videodiscChunk) {
    if (videodiscChunk.size() < kChunkHeaderBytes || GetU32(videodiscChunk, 0) == 0)
        return kVideoMovieFile;
    return (GetU16(videodiscChunk, kChunkSoundFlags) & kVideodiscPlayFlag) ? kVideoLive : kVideoDisc;
}

HWND GetLiveVideoWindow() { return g_overlay.capture; }

bool RunLiveVideoOverlay(HWND card, std::span<uint8_t> chunk, bool editing) {
    if (!card || chunk.size() < kChunkHeaderBytes || g_overlay.capture || !PushMouseHook(OverlayHook))
        return false;
    g_overlay = Overlay{card};
    {
        WaitCursor wait;
        g_overlay.rect = StartRect(chunk, editing);
        SetVideoClickRect(g_overlay.rect);
        g_overlay.preview = BlackPreview(card, g_overlay.rect);
        if (!BeginObjectResizeTracking(&g_overlay.rect, &g_overlay.preview, nullptr, nullptr, 0)) {
            DeleteObject(g_overlay.preview);
            PopMouseHook();
            SetVideoClickRect({});  // no overlay: presses there are the card's own
            return false;
        }
        PopMouseHook();  // the tracker's own hook: this one calls it
        const RECT r = Inset(g_overlay.rect);
        g_overlay.capture = CreateConnectedCaptureWindow("LMCapture", WS_CHILD | WS_VISIBLE, r, card, kLiveWindowId);
    }
    SetMouseToParentWindow(g_overlay.capture);
    RunHookMessageLoop(card);
    SetMouseToParentWindow(nullptr);
    if (CurrentTrackState().rect)  // the loop ended otherwise (the window went): end the tracker
        EndOverlay(card);
    if (g_overlay.capture) {
        SendMessageA(g_overlay.capture, WM_CAP_DRIVER_DISCONNECT, 0, 0);
        DestroyWindow(g_overlay.capture);
    }
    g_overlay.capture = nullptr;
    SetVideoClickRect({});  // presses there are the card's own again
    const RECT& r = g_overlay.rect;
    SetVideoChunkRect(chunk, {r.left, r.top, r.right, r.bottom});
    SetU16(chunk, kChunkSoundFlags, kLiveVideoNoDisc);
    SetU16(chunk, kObjectKind, kTagVideodisc);
    InvalidateRect(card, &r, TRUE);
    UpdateWindow(card);
    return true;
}

int ChooseAndInsertVideo(HWND parent, std::span<uint8_t> videodiscChunk, std::span<uint8_t> movieChunk, FileSpec* movie,
                         int existing, int* chosen) {
    if (chosen)
        *chosen = 0;
    const int source = existing ? ExistingVideoSource(videodiscChunk) : RunVideoSourceDialog(parent, GetMediaFlags());
    if (source == kVideoCancelled)
        return kVideoCancelled;
    CloseCaptureWindow();
    bool done = false;
    switch (source) {
    case kVideoMovieFile:
        done = MediaMovieOptions(movieChunk, existing && GetU16(movieChunk, kObjectKind) == kTagMovie, movie) != 0;
        if (done && chosen)
            *chosen = 1;
        break;
    case kVideoDisc: done = RunDiscDialog(parent, videodiscChunk, existing); break;
    case kVideoLive: done = RunLiveVideoOverlay(GetCardWindow(), videodiscChunk, existing != 0); break;
    case kVideoRecorded:
        done = RecordMovie(parent, movieChunk, movie);
        if (done && chosen)
            *chosen = 1;
        break;
    default: break;
    }
    return done ? source : kVideoCancelled;
}
