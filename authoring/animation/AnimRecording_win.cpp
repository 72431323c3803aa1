// Recording an animated object's path: the prompt inside the page, an unshown pop-up over the
// screen that holds the mouse, and the object drawn under the pointer over the card as the
// samples are taken.
#include "authoring/animation/AnimRecording.h"

#include <windowsx.h>

#include <algorithm>

#include "core/events/EditorGuard.h"
#include "core/memory/ByteReader.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "layers/PaintGeometry_win.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/animation/AnimPlayback.h"
#include "resources/animedit_ids.h"
#include "authoring/animation/PathRecording.h"
#include "format/StackFile.h"

namespace {

constexpr char kBackgroundClass[] = "LM_Bkgrnd";
constexpr uint32_t kRecordedPathKind = ResType("path");

PathRecorder g_recorder;

ShortRect Union(const ShortRect& a, const ShortRect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// The card (a copy of the animation offscreen, the view's own for the length of the recording:
// whatever frees the offscreen meanwhile takes nothing from under it) with the object drawn over
// it, copied to the window where the object was and is.
class RecordingView {
public:
    RecordingView(HWND window, Handle sprite) : window_(window), film_(GetSpriteFilm(sprite)) {
        const PixMap* offscreen = GetAnimOffscreen();
        if (!offscreen || CopyPixMapRecord(*offscreen, &background_) != 0)
            return;
        ownsBackground_ = true;
        if (NewPixMapForWindow(window, &windowMap_) != 0 || CopyPixMapRecord(background_, &work_) != 0)
            return;
        frames_ = GetFilmFrameCount(film_);
        frame_ = std::min(GetSpriteLong(sprite, kSpriteStartFrame), frames_ ? frames_ - 1 : 0);
        LoadFrame();
        LockFilm(film_);
        ready_ = true;
        const ShortRect b = GetSpriteBounds(sprite);
        Draw({b.left, b.top, static_cast<int16_t>(b.left + Width()), static_cast<int16_t>(b.top + Height())});
    }
    ~RecordingView() {
        if (ready_)
            UnlockFilm(film_);
        DisposeWindowPixMap(&windowMap_);
        DisposePixMap(&work_);
        if (ownsBackground_)
            DisposePixMap(&background_);
    }
    RecordingView(const RecordingView&) = delete;
    RecordingView& operator=(const RecordingView&) = delete;

    // The object's anchor on the point.
    void MoveTo(int x, int y) {
        const int16_t left = static_cast<int16_t>(x + anchor_[0]), top = static_cast<int16_t>(y + anchor_[1]);
        Draw({left, top, static_cast<int16_t>(left + Width()), static_cast<int16_t>(top + Height())});
    }
    void NextFrame() {
        if (frames_ < 2)
            return;
        frame_ = (frame_ + 1) % frames_;
        LoadFrame();
    }
    void Repaint() {
        if (!ready_)
            return;
        const ShortRect all = PixMapBounds(work_);
        BeginPixMapDraw(&work_);
        BeginPixMapDraw(windowMap_);
        CopyPixMapRect(&work_, windowMap_, all, all, nullptr);
        EndPixMapDraw(windowMap_);
        EndPixMapDraw(&work_);
    }

private:
    int16_t Width() const { return static_cast<int16_t>(frameRect_.right - frameRect_.left); }
    int16_t Height() const { return static_cast<int16_t>(frameRect_.bottom - frameRect_.top); }
    void LoadFrame() {
        GetFilmFrameRect(film_, frame_, &frameRect_);
        GetFilmFrameAnchor(film_, frame_, anchor_);
    }
    void Draw(const ShortRect& bounds) {
        if (!ready_)
            return;
        BeginPixMapDraw(&background_);
        BeginPixMapDraw(&work_);
        BeginPixMapDraw(windowMap_);
        if (drawn_)
            CopyPixMapRect(&background_, &work_, bounds_, bounds_, nullptr);
        DrawFilmFrame(film_, frame_, &work_, frameRect_, bounds);
        const ShortRect changed = drawn_ ? Union(bounds_, bounds) : bounds;
        CopyPixMapRect(&work_, windowMap_, changed, changed, nullptr);
        EndPixMapDraw(windowMap_);
        EndPixMapDraw(&work_);
        EndPixMapDraw(&background_);
        bounds_ = bounds;
        drawn_ = true;
    }

    HWND window_;
    Handle film_;
    PixMap background_{};
    PixMap* windowMap_ = nullptr;
    PixMap work_{};
    uint32_t frames_ = 0, frame_ = 0;
    ShortRect frameRect_{}, bounds_{};
    int16_t anchor_[3] = {};
    bool ownsBackground_ = false, ready_ = false, drawn_ = false;
};

// The mouse window: over the whole screen, transparent as it is never shown (a window over the
// card, the page and the prompt shows black through the X server, where it paints nothing), it
// holds the mouse capture, so that the recording takes every press and move wherever the
// pointer goes.
HWND CreateBackgroundWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kBackgroundClass;
        wc.hCursor = nullptr;
        registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    const int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int w = GetSystemMetrics(SM_CXVIRTUALSCREEN), h = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return CreateWindowExA(WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW, kBackgroundClass, "LMW Mouse window", WS_POPUP, x, y, w,
                           h, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

INT_PTR CALLBACK PromptProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// The prompt beside the card's top-left corner, kept inside the page's window: a box of that
// window's own, drawn with it (a window of its own over the page shows black through the X
// server while the recording holds the mouse).
HWND ShowPrompt(HWND card) {
    HWND page = GetAncestor(card, GA_ROOT);
    HWND prompt = ResCreateDialog(card, PromptProc, "ANIMPROMPT");
    if (!prompt)
        return nullptr;
    if (IsAdvancedUser())
        ShowWindow(GetDlgItem(prompt, IDC_ANIMPROMPT_KEY), SW_SHOW);
    RECT box, cardRect, inside;
    GetWindowRect(prompt, &box);
    GetWindowRect(card, &cardRect);
    GetClientRect(page, &inside);
    MapWindowPoints(page, nullptr, reinterpret_cast<POINT*>(&inside), 2);
    const int w = box.right - box.left, h = box.bottom - box.top;
    const int x = std::clamp<int>(cardRect.left, inside.left, std::max<int>(inside.left, inside.right - w));
    const int y = std::clamp<int>(cardRect.top - h, inside.top, std::max<int>(inside.top, inside.bottom - h));
    SetWindowLongA(prompt, GWL_STYLE, static_cast<LONG>((GetWindowLongA(prompt, GWL_STYLE) & ~WS_POPUP) | WS_CHILD |
                                                        WS_CLIPSIBLINGS));
    SetParent(prompt, page);
    POINT at = {x, y};
    ScreenToClient(page, &at);
    SetWindowPos(prompt, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    return prompt;
}

bool IsMouseMessage(UINT m) { return m >= WM_MOUSEFIRST && m <= WM_MOUSELAST; }
bool IsKeyMessage(UINT m) { return m >= WM_KEYFIRST && m <= WM_KEYLAST; }

// The recorded samples as the sprite's new path. False when it cannot be made.
bool GivePath(Handle sprite, std::span<const PathSample> samples) {
    const std::vector<PathPoint> points = BuildRecordedPath(samples);
    if (points.empty())
        return false;
    const AnimPair owner{GetSpriteLong(sprite, kAnimIdentity), GetSpriteLong(sprite, kAnimIdentity + 4)};
    Handle path = 0, block = 0;
    if (NewPathRecord(&path, 1, {kRecordedPathKind, GetTickCount()}, owner) != 0)
        return false;
    if (AnimNewHandle(static_cast<uint32_t>(points.size() * kPathPointBytes), &block) != 0) {
        ReleasePathRecord(path);
        return false;
    }
    {
        HandleLock lock(block);
        const std::span<uint8_t> bytes = lock.bytes();
        for (size_t i = 0; i < points.size(); ++i) {
            const size_t at = i * kPathPointBytes;
            SetU16(bytes, at + kPointX, static_cast<uint16_t>(points[i].x));
            SetU16(bytes, at + kPointY, static_cast<uint16_t>(points[i].y));
            SetU32(bytes, at + kPointTime, points[i].time);
        }
    }
    const int inserted = InsertPathPoints(path, block, 0);
    AnimDisposeHandle(block);
    if (inserted != 0) {
        ReleasePathRecord(path);
        return false;
    }
    SetPathFlag(path, 1);
    const uint16_t templateNumber = GetSpriteWord(sprite, kSpriteTemplate);
    SetSpritePath(sprite, path);
    if (templateNumber == kTemplateFramesFollow)  // frames kept following the movement
        SetSpriteWord(sprite, kSpriteTemplate, kTemplateFramesFollow);
    SetSpriteWord(sprite, kSpriteEndCondition, points.size() == 1 ? kEndsAfterFrameRepeats : kEndsAfterPathRepeats);
    SetSpriteWord(sprite, kSpritePathSource, kPathSourceRecorded);
    SetSpriteLong(sprite, kSpritePathScale, 100);
    return true;
}

}  // namespace

void PlaceNewSprite(Handle sprite, HWND window, const POINT* grabbedCentre) {
    const RECT client = CardAreaInWindow(window);  // the card's centre, whatever the page's size
    ShortRect frame{};
    int16_t anchor[3] = {};
    const Handle film = GetSpriteFilm(sprite);
    GetFilmFrameRect(film, 0, &frame);
    GetFilmFrameAnchor(film, 0, anchor);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    const int x = client.right / 2 - w / 2, y = client.bottom / 2 + h / 2;
    int left = x + anchor[0], top = y + anchor[1];
    if (grabbedCentre) {
        POINT centre = *grabbedCentre;
        ScreenToClient(window, &centre);
        left = centre.x - w / 2;
        top = centre.y - h / 2;
    }
    SetSpriteWord(sprite, kSpriteBounds, static_cast<uint16_t>(left));
    SetSpriteWord(sprite, kSpriteBounds + 2, static_cast<uint16_t>(top));
    SetSpriteWord(sprite, kSpriteBounds + 4, static_cast<uint16_t>(left + w));
    SetSpriteWord(sprite, kSpriteBounds + 6, static_cast<uint16_t>(top + h));
}

void FreePathRecording() {
    g_recorder = PathRecorder{};
}

bool RecordAnimPath(Handle sprite) {
    // The loop below dispatches the card's timer: nothing it runs may leave the card meanwhile.
    const EditorGuard guard;
    HWND card = GetCardWindow();
    if (!sprite || !card || !GetSpriteFilm(sprite) || !MakeAnimOffscreen())  // the card as it shows now
        return false;
    const uint8_t dontErase = GetSpriteByte(sprite, kSpriteDontEraseGoing);
    SetSpriteByte(sprite, kSpriteDontEraseGoing, 0);
    ResetPathRecorder(&g_recorder);  // the buffer's room is taken at the first recording
    bool made = false;
    {
        RecordingView view(card, sprite);
        MSG pending;
        while (PeekMessageA(&pending, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, PM_REMOVE)) {
        }
        HWND prompt = ShowPrompt(card);
        HWND background = CreateBackgroundWindow();
        // Showing those paints the card again: the object goes back over it.
        UpdateWindow(card);
        view.Repaint();
        SetCapture(background ? background : card);
        HWND taker = GetCapture() == background && background ? background : card;
        if (taker == card)
            SetCapture(card);
        ShowCursor(FALSE);
        const bool advanced = IsAdvancedUser();
        bool shift = false, done = false;
        while (!done && IsWindow(card) && !IsPageLeaving()) {
            MSG msg;
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (GetCapture() != taker)
                    SetCapture(taker);
                WaitMessage();
                continue;
            }
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (msg.message == WM_PAINT && msg.hwnd == card) {
                PAINTSTRUCT ps;
                BeginPaint(card, &ps);
                EndPaint(card, &ps);
                view.Repaint();
                continue;
            }
            if (IsKeyMessage(msg.message)) {
                const uint32_t key = static_cast<uint32_t>(msg.wParam);
                const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
                const bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
                if ((down || up) && key == VK_SHIFT)
                    shift = down;
                const bool repeat = !up && (msg.lParam & 0x40000000) != 0;
                const bool character = msg.message == WM_CHAR || msg.message == WM_SYSCHAR;
                if (!repeat && !g_recorder.samples.empty() && (character || ((down || up) && !IsModifierKey(key))))
                    done = true;
                continue;
            }
            if (!IsMouseMessage(msg.message)) {
                DispatchMessageA(&msg);
                continue;
            }
            POINT p = {GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            if (msg.hwnd)
                MapWindowPoints(msg.hwnd, card, &p, 1);
            int x = p.x, y = p.y;
            const bool shiftHeld = shift || (msg.wParam & MK_SHIFT) != 0 || GetKeyState(VK_SHIFT) < 0;
            switch (msg.message) {
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:  // a quick second stroke is a press like any other
                if (RecorderPress(&g_recorder, &x, &y, shiftHeld, msg.time))
                    view.NextFrame();
                view.MoveTo(x, y);
                break;
            case WM_MOUSEMOVE:
                if (RecorderMove(&g_recorder, &x, &y, shiftHeld, msg.time))
                    view.NextFrame();
                view.MoveTo(x, y);
                break;
            case WM_LBUTTONUP:
                RecorderRelease(&g_recorder, &x, &y, shiftHeld, msg.time);
                view.MoveTo(x, y);
                if (!advanced)
                    PostMessageA(card, WM_KEYUP, 0, 0xC0000001);
                break;
            default:
                break;
            }
        }
        // A page that went under the recording drops it.
        made = !IsPageLeaving() && !g_recorder.samples.empty() && GivePath(sprite, g_recorder.samples);
        ReleaseCapture();
        ShowCursor(TRUE);
        if (background)
            DestroyWindow(background);
        if (prompt)
            DestroyWindow(prompt);
    }
    SetSpriteByte(sprite, kSpriteDontEraseGoing, dontErase);
    InvalidateRect(card, nullptr, FALSE);
    return made;
}
