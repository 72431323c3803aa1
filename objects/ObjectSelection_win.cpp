// The object tools: which object a click takes, moving and resizing it with the mouse and the
// arrow keys, its order, cut and clear, the Edit menu's words for it, its frame and the live
// redraw while it moves.
#include <cstdlib>

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "layers/GridDraw.h"
#include "layers/LayerList.h"
#include "layers/PaintGeometry.h"
#include "layers/PaintGeometry_win.h"
#include "graphics/masks/Masks.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/ObjectLayerKinds.h"
#include "objects/ObjectServices.h"
#include "objects/buttons/Buttons.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/TextFields.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "stack/undo/Undo.h"

namespace {

constexpr uint32_t kAlertLockedItem = 2210;
constexpr uint32_t kStringEditObject = 2800;  // 2801 button, 2802 graphic, 2803 text object
constexpr uint32_t kStringButtonWord = 4071;  // 4072 graphic, 4073 text object
constexpr int kSmallestSide = 8;
constexpr int kCutCommand = 151, kCopyCommand = 152, kClearCommand = 154;

bool g_dragOut = false;
LayerHandle g_dragOutLayer = nullptr;
POINT g_dragOutPoint = {};
int g_framePhase = 0;

struct LayerFacts {
    uint16_t kind = 0;
    uint16_t id = 0;
    RECT bounds = {};
    HBITMAP mask = nullptr;  // a graphic's mask or a freehand button's
    int16_t shape = 0;
    uint16_t flags = 0;      // a button's or text object's flag word from its layer
    uint16_t actionId = 0;   // a graphic's or text object's 'Actn'
};

LayerFacts ReadFacts(LayerHandle layer) {
    LayerFacts f;
    LayerLock<> common(layer);
    if (!common)
        return f;
    f.kind = common->kind;
    f.id = common->id;
    f.bounds = common->bounds;
    if (f.kind == kObjectGraphic) {
        const auto* g = reinterpret_cast<const GraphicLayer*>(common.get());
        f.mask = g->mask;
        f.actionId = g->objectWord;
    } else if (f.kind == kObjectButton) {
        const auto* b = reinterpret_cast<const ButtonLayer*>(common.get());
        f.mask = b->freehandMask;
        f.shape = b->shape;
        f.flags = b->flags;
    } else if (f.kind == kObjectText) {
        const auto* t = reinterpret_cast<const FieldLayer*>(common.get());
        f.flags = t->objectFlags;
        f.actionId = t->actionId;
    }
    return f;
}

// A word of the object's stored record; 0 when it is not there.
uint16_t RecordWord(uint16_t kind, uint16_t id, uint32_t at) {
    Handle card = 0;
    uint32_t offset = 0;
    if (!FindObject(kind, id, &card, &offset))
        return 0;
    HandleLock lock(card);
    const std::span<const uint8_t> bytes = lock.bytes();
    if (!lock || offset > bytes.size() || bytes.size() - offset < at + 2)
        return 0;
    return GetU16(bytes, offset + at);
}

bool Contains(const RECT& r, int x, int y) { return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom; }

bool ButtonPlaysSound(uint16_t id) {
    return (RecordWord(kObjectButton, id, kButtonActionFlags) & (kActSoundFile | kActSoundResource)) != 0;
}

// Buttons of shapes 0 to 4 take handles; the freehand shapes only move.
bool ButtonResizes(int16_t shape) { return shape >= kButtonShapeRounded && shape <= kButtonShapeInvisible; }

bool IsLocked(const LayerFacts& f) {
    if (f.kind == kObjectGraphic)
        return (RecordWord(f.kind, f.id, kObjectFlags) & kObjectLocked) != 0;
    return (f.flags & kObjectLocked) != 0;
}

void Unlock(LayerHandle layer, const LayerFacts& f) {
    Handle card = 0;
    uint32_t offset = 0;
    if (FindObject(f.kind, f.id, &card, &offset))
        SetObjectFlags(card, offset, 0, kObjectLocked);
    LayerLock<> common(layer);
    if (!common)
        return;
    if (f.kind == kObjectButton)
        reinterpret_cast<ButtonLayer*>(common.get())->flags &= static_cast<uint16_t>(~kObjectLocked);
    else if (f.kind == kObjectText)
        reinterpret_cast<FieldLayer*>(common.get())->objectFlags &= static_cast<uint16_t>(~kObjectLocked);
}

void InvalidateGrown(HWND window, RECT r) {
    if (!window)
        return;
    InflateRect(&r, 2, 2);
    InvalidateRect(window, &r, FALSE);
}

bool IsObjectTool(int tool) { return tool >= kButtonTool && tool <= kSoundButtonTool; }

// A drop over the card window's client area keeps the object on the card.
bool OverlapsCard(HWND window, const RECT& rect) {
    RECT client{}, meet{};
    if (!window || !GetClientRect(window, &client))
        return true;
    return IntersectRect(&meet, &client, &rect) != 0;
}

void SetBounds(LayerHandle layer, const RECT& rect) {
    LayerLock<> common(layer);
    if (common)
        common->bounds = rect;
}

}  // namespace

LayerHandle HitTestObjectAtPoint(HWND window, int x, int y, bool* onMask, RECT* rect) {
    const int tool = static_cast<int>(GetCurrentTool());
    LayerHandle found = nullptr;
    bool foundOnMask = false;
    RECT foundRect{};
    int walked = 0;
    for (LayerHandle layer = GetLayerListHead(); layer && walked < kMaxLayerWalk; ++walked) {
        LayerHandle next = nullptr;
        {
            LayerLock<> common(layer);
            if (!common)
                break;
            next = common->next;
        }
        const LayerFacts f = ReadFacts(layer);
        bool match = false, masked = false;
        if (Contains(f.bounds, x, y)) {
            if (f.kind == kObjectGraphic && (tool == kArrowTool || tool == kGraphicTool)) {
                match = !f.mask || BitmapPixelIsSet(window, f.mask, x - f.bounds.left, y - f.bounds.top);
                masked = f.mask != nullptr;
            } else if (f.kind == kObjectButton &&
                       (tool == kButtonTool || tool == kArrowTool || tool == kSoundButtonTool)) {
                match = !f.mask || BitmapPixelIsSet(window, f.mask, x - f.bounds.left, y - f.bounds.top);
                masked = f.mask != nullptr;
                if (match && tool == kSoundButtonTool)
                    match = ButtonPlaysSound(f.id);
            } else if (f.kind == kObjectText && (tool == kArrowTool || tool == kTextFieldTool)) {
                match = true;
            }
        }
        // Later layers lie on top: the last match wins.
        if (match) {
            found = layer;
            foundOnMask = masked;
            foundRect = f.bounds;
        }
        layer = next;
    }
    if (onMask)
        *onMask = found && foundOnMask;
    if (rect)
        *rect = foundRect;
    return found;
}

void ApplyObjectRect(LayerHandle layer, const RECT& rect) {
    const LayerFacts f = ReadFacts(layer);
    if (!f.kind)
        return;
    {
        LayerLock<> common(layer);
        common->bounds = rect;
        if (common->region)
            DeleteObject(common->region);
        common->region = f.kind == kObjectButton
                             ? MakeButtonRegion(GetCardWindow(), reinterpret_cast<const ButtonLayer*>(common.get()))
                             : CreateRectRgnIndirect(&rect);
    }
    if (f.kind == kObjectText)
        MoveFieldWindow(layer);
    SetObjectRect(f.kind, f.id, rect.left, rect.top, rect.right, rect.bottom);
    CreateClipRegion();
}

void SelectObjectMouseDown(HWND window, int x, int y, WPARAM keyState) {
    ObjectSelection& s = CurrentSelection();
    if (s.nudging)
        return;
    DeselectObject(window);
    const LayerHandle hit = HitTestObjectAtPoint(window, x, y, nullptr, nullptr);
    if (!hit)
        return;
    SelectObjectLayer(hit);
    const LayerFacts f = ReadFacts(hit);
    if (IsLocked(f)) {
        // Refused, the object stays locked and selected.
        if (ShowAlert(kAlertLockedItem) != 1)
            return;
        Unlock(hit, f);
        MarkCardChanged();
        // The alert took the button's release.
        PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    s.anchorPoint = POINT{x, y};
    s.rect = s.anchor = f.bounds;
    s.constrain = (keyState & MK_SHIFT) != 0;
    s.axis = 0;
    s.firstMove = true;
    // While it moves the object is drawn from the offscreen, not clipped out of the card.
    {
        LayerLock<> common(hit);
        if (common->region)
            DeleteObject(common->region);
        common->region = nullptr;
    }
    CreateClipRegion();
    const int handle = HitTestHandle(PaintRectOf(f.bounds), x, y);
    if (f.kind == kObjectGraphic) {
        s.style = 2;
        s.handle = f.mask ? 9 : handle;
    } else if (f.kind == kObjectButton) {
        s.style = 1;
        s.handle = ButtonResizes(f.shape) ? handle : 9;
    } else {
        s.style = 3;
        s.handle = handle;
    }
    if (!s.handle)
        s.handle = 9;
    SetCapture(window);
    if (s.style != 3)
        RedrawRectThroughOffscreen(window, hit, f.bounds);
}

int SelectObjectMouseMove(HWND window, int x, int y) {
    ObjectSelection& s = CurrentSelection();
    if (s.nudging || !s.handle || !s.layer)
        return 0;
    int dx = x - s.anchorPoint.x, dy = y - s.anchorPoint.y;
    if (s.constrain) {
        if (!s.axis) {
            if (!dx && !dy)
                return 1;
            s.axis = std::abs(dx) > std::abs(dy) ? 'h' : 'v';
        }
        const bool corner = s.handle == 1 || s.handle == 3 || s.handle == 5 || s.handle == 7;
        if (corner) {
            if (s.axis == 'v')
                dx = dy;
            else
                dy = dx;
        } else if (s.handle == 9) {
            if (s.axis == 'h')
                dy = 0;
            else
                dx = 0;
        }
    }
    const RECT before = s.rect;
    const RECT after = RectOf(ResizeRectByHandle(PaintRectOf(before), s.handle, dx, dy));
    s.firstMove = false;
    if (std::abs(after.right - after.left) < kSmallestSide || std::abs(after.bottom - after.top) < kSmallestSide)
        return 1;  // refused: the rectangle stays as it was
    s.anchorPoint = POINT{x, y};
    s.rect = after;
    SetBounds(s.layer, after);
    RECT area{};
    UnionRect(&area, &before, &after);
    RedrawRectThroughOffscreen(window, s.layer, area);
    return 1;
}

int SelectObjectMouseUp(HWND window, LPARAM lParam, bool overMediaLib) {
    ObjectSelection& s = CurrentSelection();
    if (!s.handle || !s.layer)
        return 0;
    if (GetCapture() == window)
        ReleaseCapture();
    const LayerHandle layer = s.layer;
    const LayerFacts f = ReadFacts(layer);
    RECT rect = NormalisedRect(s.rect);
    const bool snaps = f.kind == kObjectText || (f.kind == kObjectGraphic && !f.mask) ||
                       (f.kind == kObjectButton && ButtonResizes(f.shape));
    if (snaps) {
        PaintRect snapped = PaintRectOf(rect);
        SnapHandleToGrid(s.handle, &snapped);
        rect = RectOf(snapped);
    }
    const POINT point = {static_cast<int16_t>(LOWORD(lParam)), static_cast<int16_t>(HIWORD(lParam))};
    const RECT anchor = s.anchor;
    const bool dragOut = IsAdvancedUser() && (!OverlapsCard(window, rect) || overMediaLib);
    if (dragOut) {
        // Dragged off the card: the object goes back, and is written out by the caller.
        ApplyObjectRect(layer, anchor);
        ClearUndo();
        g_dragOut = true;
        g_dragOutLayer = layer;
        g_dragOutPoint = point;
    } else {
        ApplyObjectRect(layer, rect);
    }
    const RECT tracked = s.rect;
    SelectObjectLayer(layer);  // the rectangle and a new outline of the mask; no handle
    InvalidateGrown(window, tracked);
    InvalidateGrown(window, anchor);
    InvalidateGrown(window, rect);
    // A click that only selected the object leaves the card as it was, and the step Undo
    // offers (a press records no move: Undo would name a move that never was and drop the
    // step before it).
    if (!dragOut && !EqualRect(&rect, &anchor)) {
        const int32_t old[4] = {anchor.left, anchor.top, anchor.right, anchor.bottom};
        RecordObjectMoveUndoFor(f.kind, f.id, old);
        MarkCardChanged();
    }
    return 1;
}

bool TakeObjectDragOut(LayerHandle* layer, POINT* point) {
    if (!g_dragOut)
        return false;
    g_dragOut = false;
    if (layer)
        *layer = g_dragOutLayer;
    if (point)
        *point = g_dragOutPoint;
    g_dragOutLayer = nullptr;
    return true;
}

int NudgeSelectedObject(HWND window, WPARAM key, bool shiftLatch) {
    ObjectSelection& s = CurrentSelection();
    const LayerHandle layer = GetSelectedObject();
    int dx = 0, dy = 0;
    if (!layer || s.handle || !ArrowKeyDelta(static_cast<unsigned>(key), shiftLatch, &dx, &dy))
        return 0;
    const LayerFacts f = ReadFacts(layer);
    if (!s.nudging) {
        const int32_t old[4] = {f.bounds.left, f.bounds.top, f.bounds.right, f.bounds.bottom};
        RecordObjectMoveUndoFor(f.kind, f.id, old);
        s.nudging = true;
    }
    RECT moved = f.bounds;
    OffsetRect(&moved, dx, dy);
    ApplyObjectRect(layer, moved);
    s.rect = s.anchor = moved;
    MarkCardChanged();
    InvalidateGrown(window, f.bounds);
    InvalidateGrown(window, moved);
    return 1;
}

void EndObjectNudge() { CurrentSelection().nudging = false; }

void ReorderSelectedObject(HWND window, char direction) {
    const LayerHandle layer = GetSelectedObject();
    if (!layer)
        return;
    const LayerFacts f = ReadFacts(layer);
    Handle card = 0;
    uint32_t offset = 0;
    SyncCardFromLayers();
    // The record moves in its list, the layer in the card's drawing order.
    if (!FindObject(f.kind, f.id, &card, &offset) || !MoveObjectInList(card, offset, direction == 'C', false))
        return;
    ReorderLayer(layer, direction, false);
    CreateClipRegion();
    MarkCardChanged();
    InvalidateGrown(window, f.bounds);
}

void SelectedObjectEditCommand(HWND window, int command) {
    const LayerHandle layer = GetSelectedObject();
    if (!layer || (command != kCutCommand && command != kClearCommand))
        return;  // Copy (and Cut's copy) is the Edit menu's, through CopyObjectToClipboard
    const LayerFacts f = ReadFacts(layer);
    SyncCardFromLayers();
    RecordObjectDeleteUndo(f.kind, f.id);
    Handle card = 0;
    uint32_t offset = 0;
    if (FindObject(f.kind, f.id, &card, &offset))
        SetObjectFlags(card, offset, kObjectDeletedFlag, 0);
    // The object's 'Actn' stays: Undo brings the object back with its actions, and a save drops
    // an 'Actn' that no live object names.
    if (GetActiveTextField() == layer)
        ClearActiveTextField();
    SelectObjectLayer(nullptr);
    RemoveLayer(layer);
    CreateClipRegion();
    InvalidateGrown(window, f.bounds);
    MarkCardChanged();
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
}

bool GetObjectMenuItemText(char* buffer, int size) {
    if (!buffer || size <= 0)
        return true;
    const LayerHandle layer = GetSelectedObject();
    const uint16_t kind = layer ? ReadFacts(layer).kind : 0;
    const uint32_t id = kind == kObjectButton    ? kStringEditObject + 1
                        : kind == kObjectGraphic ? kStringEditObject + 2
                        : kind == kObjectText    ? kStringEditObject + 3
                                                 : kStringEditObject;
    const bool loaded = LoadResString(id, buffer, size) > 0;
    if (!loaded && id != kStringEditObject)
        LoadResString(kStringEditObject, buffer, size);
    return id == kStringEditObject || !loaded;
}

void GetSelectedObjectNoun(char* buffer, int size) {
    if (!buffer || size <= 0)
        return;
    buffer[0] = 0;
    const LayerHandle layer = GetSelectedObject();
    const uint16_t kind = layer ? ReadFacts(layer).kind : 0;
    const uint32_t id = kind == kObjectButton    ? kStringButtonWord
                        : kind == kObjectGraphic ? kStringButtonWord + 1
                        : kind == kObjectText    ? kStringButtonWord + 2
                                                 : 0;
    if (id && LoadResString(id, buffer, size) <= 0)
        buffer[0] = 0;
}

void DrawSelectedObjectFrame(HWND window, int /*phase*/) {
    const ObjectSelection& s = CurrentSelection();
    const LayerHandle layer = GetSelectedObject();
    const int tool = static_cast<int>(GetCurrentTool());
    if (!window || !layer || !s.frameShown || s.handle || !IsObjectTool(tool))
        return;
    g_framePhase = (g_framePhase + 1) % 8;
    RECT r = s.rect;
    InflateRect(&r, 1, 1);
    WindowDC dc(window);
    if (!dc)
        return;
    ClipToCard(window, dc.get());
    DrawMarchingOutline(dc.get(), r, g_framePhase);
}

void RedrawRectThroughOffscreen(HWND window, LayerHandle layer, const RECT& rect) {
    RECT area = rect;
    ++area.right;
    ++area.bottom;
    RECT client{};
    GetClientRect(window, &client);
    if (!IntersectRect(&area, &area, &client))
        return;
    // Beyond the card the offscreen has nothing: that part is the page's, painted again.
    const RECT card = CardBoundsInWindow(window);
    RECT onCard{};
    IntersectRect(&onCard, &area, &card);
    if (!EqualRect(&onCard, &area))
        InvalidateRect(window, &area, FALSE);
    if (IsRectEmpty(&onCard))
        return;
    area = onCard;
    WindowDC target(window);
    MemoryDC work(target.get());
    if (!target || !work)
        return;
    const HBITMAP bitmap = CreateCompatibleBitmap(target.get(), area.right, area.bottom);
    if (!bitmap)
        return;
    {
        SelectedObject into(work.get(), bitmap);
        SelectedPalette workPalette(work.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        SelectedPalette targetPalette(target.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
        const int width = area.right - area.left, height = area.bottom - area.top;
        if (HDC offscreen = AcquireOffscreenDC(target.get())) {
            BitBlt(work.get(), area.left, area.top, width, height, offscreen, area.left, area.top, SRCCOPY);
            ReleaseOffscreenDC(offscreen);
        }
        DrawGrid(work.get(), area);
        DrawLayersInRect(work.get(), area, layer, true);
        DrawLayersInRect(work.get(), area, layer, false);
        // The dragged object last, over the others.
        const LayerFacts f = ReadFacts(layer);
        if (f.kind == kObjectText) {
            MoveFieldWindow(layer);
            bool framed = false;
            if (LayerLock<FieldLayer> field(layer); field)
                framed = (field->options & kTextFrame) != 0;
            if (!framed)
                FrameRect(work.get(), &f.bounds, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        } else if (LayerLock<> common(layer); common && f.kind == kObjectGraphic) {
            DrawGraphicObjectLayer(work.get(), reinterpret_cast<const GraphicLayer*>(common.get()));
        } else if (common && f.kind == kObjectButton) {
            DrawButton(work.get(), reinterpret_cast<const ButtonLayer*>(common.get()), window);
        }
        BitBlt(target.get(), area.left, area.top, width, height, work.get(), area.left, area.top, SRCCOPY);
    }
    DeleteObject(bitmap);
}
