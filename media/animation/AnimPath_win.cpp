// A path drawn over the card, and the modal path editor: points selected, dragged, inserted and
// deleted with the mouse and the keys, the path drawn over a snapshot of the card.
#include "media/animation/AnimPlayback.h"

#include <windowsx.h>

#include <algorithm>

#include "core/system/PluginModule.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/palette/CurrentColors.h"
#include "graphics/pixels/CardOffscreen.h"
#include "format/StackFile.h"

namespace {

constexpr COLORREF kEndMark = PALETTERGB(255, 0, 0);
constexpr COLORREF kSelectedMark = PALETTERGB(255, 255, 0);

void DrawMark(HDC dc, const PathPoint& p, int dx, int dy, COLORREF fill) {
    HBRUSH brush = CreateSolidBrush(fill);
    HGDIOBJ previous = SelectObject(dc, brush);
    const Rect32 mark = PathPointMark(p);
    Rectangle(dc, mark.left + dx, mark.top + dy, mark.right + dx, mark.bottom + dy);
    SelectObject(dc, previous);
    DeleteObject(brush);
}

}  // namespace

bool DrawAnimPath(HDC dc, Handle path, RECT* rect, bool offsetMode) {
    const uint32_t count = GetPathPointCount(path);
    if (count == 0)
        return false;
    Rect32 bounds{};
    PathBounds(path, &bounds);
    const int dx = offsetMode && rect ? -rect->left : 0, dy = offsetMode && rect ? -rect->top : 0;
    if (rect && !offsetMode)
        *rect = RECT{bounds.left, bounds.top, bounds.right, bounds.bottom};
    if (count < 2)
        return true;
    CacheBlackWhiteIndices();
    const COLORREF text = PaletteIndexToColor(GetToolColor('t'));
    const COLORREF eraser = PaletteIndexToColor(GetToolColor('e'));
    HPEN pen = CreatePen(PS_SOLID, 1, text);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    // Every line first, then the marks, so that no line crosses a mark.
    PathPoint p;
    for (uint32_t i = 0; i < count && GetPathPoint(path, i, &p); ++i) {
        if (i == 0)
            MoveToEx(dc, p.x + dx, p.y + dy, nullptr);
        else
            LineTo(dc, p.x + dx, p.y + dy);
    }
    for (uint32_t i = 0; i < count && GetPathPoint(path, i, &p); ++i) {
        const COLORREF fill = p.selected ? kSelectedMark : (i == 0 || i + 1 == count) ? kEndMark : eraser;
        DrawMark(dc, p, dx, dy, fill);
    }
    SelectObject(dc, previousPen);
    DeleteObject(pen);
    return true;
}

namespace {

// One edit: the images, the cursors and the modes of the mouse.
class PathEdit {
public:
    PathEdit(Handle sprite, HBITMAP snapshot)
        : sprite_(sprite), path_(GetSpritePath(sprite)), window_(GetCardWindow()), snapshot_(snapshot) {}
    ~PathEdit();
    bool Open();
    void Run();

private:
    void Redraw();
    void Dispatch(const MSG& msg);
    void Key(WPARAM key);
    void Down(int x, int y, bool control);
    void Move(int x, int y, bool control);
    void Up(int x, int y);
    void MoveSelection(int dx, int dy, bool withRect);
    bool InSelection(int x, int y) const;
    bool InPathBounds(int x, int y) const;

    Handle sprite_;
    Handle path_;
    HWND window_;
    HBITMAP snapshot_;
    HDC windowDc_ = nullptr, snapshotDc_ = nullptr, workDc_ = nullptr;
    HBITMAP work_ = nullptr;
    HGDIOBJ snapshotPrevious_ = nullptr, workPrevious_ = nullptr;
    int width_ = 0, height_ = 0;
    HCURSOR hand_ = nullptr, grab_ = nullptr, flat_ = nullptr;
    uint32_t oldTool_ = 0;
    RECT selection_ = {};
    RECT bounds_ = {};
    POINT last_ = {};
    int hit_ = -1;
    bool running_ = true, draggingPoints_ = false, draggingSegment_ = false, draggingSelection_ = false;
    bool marquee_ = false, allSelected_ = false, needsRedraw_ = false;
};

HCURSOR LoadOwnCursor(const char* name) {
    return static_cast<HCURSOR>(LoadImageA(GetAppInstance(), name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
}

bool PathEdit::Open() {
    // Cursors, not icons: the family that took icons for these is not the one this runs on.
    hand_ = LoadOwnCursor("HAND");
    grab_ = LoadOwnCursor("GRABHAND");
    flat_ = LoadOwnCursor("FLATHAND");
    oldTool_ = GetCurrentTool();
    SetToolNumberQuietly(kBrowseTool);
    BITMAP info{};
    if (!window_ || !snapshot_ || !GetObjectA(snapshot_, sizeof info, &info))
        return false;
    width_ = info.bmWidth;
    height_ = info.bmHeight;
    windowDc_ = GetDC(window_);
    snapshotDc_ = windowDc_ ? CreateCompatibleDC(windowDc_) : nullptr;
    workDc_ = windowDc_ ? CreateCompatibleDC(windowDc_) : nullptr;
    work_ = windowDc_ ? CreateCompatibleBitmap(windowDc_, width_, height_) : nullptr;
    if (!snapshotDc_ || !workDc_ || !work_)
        return false;
    snapshotPrevious_ = SelectObject(snapshotDc_, snapshot_);
    workPrevious_ = SelectObject(workDc_, work_);
    for (HDC dc : {windowDc_, snapshotDc_, workDc_})
        if (HPALETTE palette = GetAppPalette(); palette && GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) {
            SelectPalette(dc, palette, TRUE);
            RealizePalette(dc);
        }
    BitBlt(workDc_, 0, 0, width_, height_, snapshotDc_, 0, 0, SRCCOPY);
    if (!DrawAnimPath(workDc_, path_, &bounds_, false))
        return false;
    BitBlt(windowDc_, 0, 0, width_, height_, workDc_, 0, 0, SRCCOPY);
    SetCapture(window_);
    return true;
}

PathEdit::~PathEdit() {
    // The point range covers the path as it now is.
    SetSpriteLong(sprite_, kSpriteFirstPoint, 0);
    SetSpriteLong(sprite_, kSpriteEndPoint, GetPathPointCount(path_));
    if (GetCapture() == window_)
        ReleaseCapture();
    if (windowDc_ && snapshotDc_)
        BitBlt(windowDc_, 0, 0, width_, height_, snapshotDc_, 0, 0, SRCCOPY);
    if (snapshotDc_) {
        SelectObject(snapshotDc_, snapshotPrevious_);
        DeleteDC(snapshotDc_);
    }
    if (workDc_) {
        SelectObject(workDc_, workPrevious_);
        DeleteDC(workDc_);
    }
    if (work_)
        DeleteObject(work_);
    if (windowDc_)
        ReleaseDC(window_, windowDc_);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    for (HCURSOR cursor : {hand_, grab_, flat_})
        if (cursor)
            DestroyCursor(cursor);
    SetToolNumberQuietly(oldTool_);
}

void PathEdit::Redraw() {
    needsRedraw_ = false;
    BitBlt(workDc_, 0, 0, width_, height_, snapshotDc_, 0, 0, SRCCOPY);
    bounds_ = {};
    DrawAnimPath(workDc_, path_, &bounds_, false);
    BitBlt(windowDc_, 0, 0, width_, height_, workDc_, 0, 0, SRCCOPY);
    if (!IsRectEmpty(&selection_)) {
        RECT shown = selection_;
        if (shown.right < shown.left)
            std::swap(shown.left, shown.right);
        if (shown.bottom < shown.top)
            std::swap(shown.top, shown.bottom);
        DrawFocusRect(windowDc_, &shown);
    }
}

void PathEdit::Run() {
    while (running_ && !IsPageLeaving()) {  // a page that goes ends the edit
        MSG msg;
        if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
            break;
        }
        const bool got = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        const bool key = got && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
        const bool mouse = got && msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
        // The keys are the edit's wherever the focus lies; the page and its other windows paint
        // and keep time meanwhile.
        if (got && (msg.hwnd == window_ || key))
            Dispatch(msg);
        else if (got && !mouse)
            DispatchMessageA(&msg);
        if (needsRedraw_)
            Redraw();
        if (!got)
            Sleep(1);
    }
}

void PathEdit::Dispatch(const MSG& msg) {
    switch (msg.message) {
    case WM_KEYDOWN:
        Key(msg.wParam);
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window_, &paint);
        BitBlt(dc, 0, 0, width_, height_, workDc_, 0, 0, SRCCOPY);
        EndPaint(window_, &paint);
        break;
    }
    case WM_LBUTTONDOWN:
        Down(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam), msg.wParam & MK_CONTROL);
        break;
    case WM_MOUSEMOVE:
        Move(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam), msg.wParam & MK_CONTROL);
        break;
    case WM_LBUTTONUP:
        Up(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam));
        break;
    default:
        break;  // the card's own messages wait for the edit to end
    }
}

void PathEdit::Key(WPARAM key) {
    switch (key) {
    case VK_RETURN:
    case VK_ESCAPE:
        running_ = false;
        return;
    case VK_LEFT: MoveSelection(-1, 0, true); break;
    case VK_RIGHT: MoveSelection(1, 0, true); break;
    case VK_UP: MoveSelection(0, -1, true); break;
    case VK_DOWN: MoveSelection(0, 1, true); break;
    case 'A':
        // Only the letter: 97 is the keypad's 1.
        if (GetKeyState(VK_CONTROL) < 0) {
            allSelected_ = !allSelected_;
            SelectAllPathPoints(path_, allSelected_);
        }
        break;
    default:
        return;
    }
    needsRedraw_ = true;
}

void PathEdit::MoveSelection(int dx, int dy, bool withRect) {
    OffsetSelectedPathPoints(path_, dx, dy);
    if (withRect && !IsRectEmpty(&selection_))
        OffsetRect(&selection_, dx, dy);
}

bool PathEdit::InSelection(int x, int y) const {
    return !IsRectEmpty(&selection_) && PtInRect(&selection_, POINT{x, y});
}

bool PathEdit::InPathBounds(int x, int y) const { return PtInRect(&bounds_, POINT{x, y}); }

void PathEdit::Down(int x, int y, bool control) {
    PathPoint point;
    uint32_t segment = 0;
    needsRedraw_ = true;
    if (const int index = HitTestPathPoints(path_, x, y, &point); index >= 0) {
        if (!IsRectEmpty(&selection_)) {
            selection_ = {};
            SelectAllPathPoints(path_, false);
        }
        if (control) {
            DeletePathPoint(path_, static_cast<uint32_t>(index));
            return;
        }
        SetPathPointSelected(path_, static_cast<uint32_t>(index), !point.selected);
        SetCursor(grab_);
        last_ = {point.x, point.y};
        hit_ = index;
        draggingPoints_ = true;
    } else if (HitTestPathSegments(path_, x, y, &segment)) {
        SelectAllPathPoints(path_, false);
        selection_ = {};
        SetCursor(grab_);
        if (control) {
            PathPoint inserted;
            inserted.x = static_cast<int16_t>(x);
            inserted.y = static_cast<int16_t>(y);
            inserted.time = GetPathPointTime(path_, segment);
            InsertPathPointAfter(path_, static_cast<int32_t>(segment), inserted);
            return;
        }
        SetPathPointSelected(path_, segment, true);
        SetPathPointSelected(path_, segment + 1, true);
        last_ = {x, y};
        hit_ = static_cast<int>(segment);
        draggingSegment_ = true;
    } else {
        int width = 0, height = 0;
        GetOffscreenSize(&width, &height, nullptr);
        if (x < 0 || y < 0 || x >= width || y >= height) {
            running_ = false;  // as Return does
            return;
        }
        if (control) {
            SelectAllPathPoints(path_, true);
            selection_ = bounds_;
        }
        last_ = {x, y};
        if (InSelection(x, y)) {
            draggingSelection_ = true;
            SetCursor(grab_);
        } else {
            SelectAllPathPoints(path_, false);
            SetCursor(LoadCursorA(nullptr, IDC_CROSS));
            marquee_ = true;
            selection_ = {x, y, x, y};
        }
    }
}

void PathEdit::Move(int x, int y, bool control) {
    if (draggingPoints_ || draggingSegment_ || draggingSelection_) {
        MoveSelection(x - last_.x, y - last_.y, draggingSelection_);
        last_ = {x, y};
        needsRedraw_ = true;
        return;
    }
    if (marquee_) {
        selection_.right = x;
        selection_.bottom = y;
        needsRedraw_ = true;
        return;
    }
    uint32_t segment = 0;
    const bool onPoint = HitTestPathPoints(path_, x, y, nullptr) >= 0;
    const bool onSegment = !onPoint && HitTestPathSegments(path_, x, y, &segment);
    if (control && onPoint)
        SetCursor(LoadCursorA(GetAppInstance(), "ERASEPEN"));
    else if (control && onSegment)
        SetCursor(LoadCursorA(GetAppInstance(), "PEN"));
    else if (onPoint || onSegment)
        SetCursor(hand_);
    else if (InSelection(x, y) || (control && InPathBounds(x, y)))
        SetCursor(flat_);
    else
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

void PathEdit::Up(int x, int y) {
    if (draggingSelection_) {
        MoveSelection(x - last_.x, y - last_.y, true);
        SetCursor(flat_);
        Rect32 moved{};
        PathBounds(path_, &moved);
        const RECT whole = {moved.left, moved.top, moved.right, moved.bottom};
        if (EqualRect(&selection_, &whole)) {
            SelectAllPathPoints(path_, false);
            selection_ = {};
        }
    } else if (draggingPoints_) {
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    } else if (draggingSegment_) {
        SetPathPointSelected(path_, static_cast<uint32_t>(hit_), false);
        SetPathPointSelected(path_, static_cast<uint32_t>(hit_) + 1, false);
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    } else if (marquee_) {
        const Rect32 area = {std::min<LONG>(selection_.left, selection_.right), std::min<LONG>(selection_.top, selection_.bottom),
                             std::max<LONG>(selection_.left, selection_.right), std::max<LONG>(selection_.top, selection_.bottom)};
        SelectPathPointsInRect(path_, area);
        selection_ = {area.left, area.top, area.right, area.bottom};
        SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
    hit_ = -1;
    draggingPoints_ = draggingSegment_ = draggingSelection_ = marquee_ = false;
    needsRedraw_ = true;
}

}  // namespace

bool EditAnimPath(Handle sprite, HBITMAP snapshot) {
    const Handle path = GetSpritePath(sprite);
    if (!path || GetPathPointCount(path) == 0)
        return false;
    // The edit moves the path's points in place: a page that goes under it takes the path back
    // as it was, so that nothing half-edited is left in the sprite.
    const std::vector<uint8_t> before = HandleToBytes(path);
    const uint32_t firstPoint = GetSpriteLong(sprite, kSpriteFirstPoint);
    const uint32_t endPoint = GetSpriteLong(sprite, kSpriteEndPoint);
    {
        PathEdit edit(sprite, snapshot);
        if (edit.Open())
            edit.Run();
        else if (!IsPageLeaving())
            return false;
    }
    if (!IsPageLeaving())
        return true;
    SetHandleBytes(path, before);
    SetSpriteLong(sprite, kSpriteFirstPoint, firstPoint);
    SetSpriteLong(sprite, kSpriteEndPoint, endPoint);
    return false;
}
