// Placing a new text object (NewTextObject.h): a temporary field, drawn into the card, that the
// person sizes with its handles, the mouse and the arrows before a click outside fixes it.
#include "authoring/text/NewTextObject.h"

#include <algorithm>

#include "core/memory/HandlesGlobal.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/GdiGuards.h"
#include "layers/PaintGeometry.h"
#include "layers/PaintGeometry_win.h"
#include "paint/Selections.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

enum : uint32_t { kStringSampleText = 4122, kAlertWhereText = 2370 };
constexpr size_t kSampleTextMax = 79;

struct Placing {
    bool active = false;
    int handle = 0;        // dragged: 1..8 corners and edges, 9 inside; 0 none
    RECT rect = {};
    RECT dragRect = {};    // where the drag began
    POINT dragPoint = {};
    LayerHandle layer = nullptr;  // the temporary field, in no list
    std::string file;             // a text file dropped for the new object; empty when none
};

Placing g_placing;
std::string g_sampleText;

// The handle's corner or edges moved by the delta; unlike the paint tools' resize, this may
// collapse the rectangle, which ends placing.
RECT MoveByHandle(const RECT& r, int handle, int dx, int dy) {
    RECT out = r;
    if (handle == 9) {
        OffsetRect(&out, dx, dy);
        return out;
    }
    if (handle == 1 || handle == 7 || handle == 8)
        out.left = std::min<LONG>(r.left + dx, r.right);
    if (handle == 3 || handle == 4 || handle == 5)
        out.right = std::max<LONG>(r.right + dx, r.left);
    if (handle == 1 || handle == 2 || handle == 3)
        out.top = std::min<LONG>(r.top + dy, r.bottom);
    if (handle == 5 || handle == 6 || handle == 7)
        out.bottom = std::max<LONG>(r.bottom + dy, r.top);
    return out;
}

void SetLayerRect(const RECT& rect) {
    {
        LayerLock<FieldLayer> field(g_placing.layer);
        if (!field)
            return;
        field->common.bounds = rect;
    }
    MoveFieldWindow(g_placing.layer);
}

// The card under both rectangles again, then the temporary field over it.
void Redraw(HWND window, const RECT& before, const RECT& after) {
    RECT both;
    UnionRect(&both, &before, &after);
    InflateRect(&both, 2, 2);
    InvalidateRect(window, &both, FALSE);
    UpdateWindow(window);
    if (!g_placing.layer)
        return;
    WindowDC dc(window);
    if (dc)
        DrawFieldLayer(dc.get(), g_placing.layer);
}

void DropTemporaryField(HWND window) {
    RECT erase = g_placing.rect;
    InflateRect(&erase, 2, 2);
    if (window)
        InvalidateRect(window, &erase, FALSE);
    if (g_placing.layer) {
        {
            LayerLock<FieldLayer> field(g_placing.layer);
            if (field)
                DestroyFieldWindow(field.get());
        }
        GlobalFree(g_placing.layer);
    }
    if (GetCapture() == window && window)
        ReleaseCapture();
    g_placing = Placing{};
}

}  // namespace

void LoadSampleText() {
    g_sampleText = ResText(kStringSampleText);
    if (g_sampleText.size() > kSampleTextMax)
        g_sampleText.resize(kSampleTextMax);
}

const std::string& GetSampleText() { return g_sampleText; }


int BeginNewTextField(HWND window, const POINT* at, const char* file) {
    if (!window || ShowAlertOn(window, kAlertWhereText) != 1)
        return 0;
    CancelPlacedTextField(window);
    // Half the card, a quarter in, or at the drop point kept on the card: the window may be
    // larger than the card.
    uint16_t cardWidth = 0, cardHeight = 0;
    CurrentCardSize(&cardWidth, &cardHeight);
    const int width = cardWidth / 2, height = cardHeight / 2;
    const RECT centred = CentredOnCard(window, width, height);
    int left = at ? std::clamp<int>(at->x, 0, cardWidth - width) : centred.left;
    int top = at ? std::clamp<int>(at->y, 0, cardHeight - height) : centred.top;
    SnapPointToGrid(&left, &top);
    const RECT rect = {left, top, left + width, top + height};
    LayerHandle layer = AllocGlobalOrWarn(sizeof(FieldLayer));
    if (!layer)
        return 0;
    {
        LayerLock<FieldLayer> field(layer);
        *field.get() = FieldLayer{};
        field->common.kind = kObjectText;
        field->common.bounds = rect;
        field->options = LastTextAppearance().options;
        field->colorIndex = LastTextAppearance().backColor;
    }
    HWND text = CreateTextFieldWindow(window, layer);
    if (!text) {
        GlobalFree(layer);
        return 0;
    }
    LayerLock<FieldLayer>(layer)->window = text;
    g_placing = Placing{.active = true, .rect = rect, .layer = layer, .file = file ? file : ""};
    Redraw(window, rect, rect);
    return 1;
}

int NewTextFieldMouseDown(HWND window, int x, int y) {
    if (!g_placing.active)
        return 0;
    g_placing.handle = HitTestHandle(PaintRectOf(g_placing.rect), x, y);
    if (g_placing.handle) {
        g_placing.dragRect = g_placing.rect;
        g_placing.dragPoint = {x, y};
        SetCapture(window);
    }
    return 1;
}

int NewTextFieldMouseMove(HWND window, int x, int y) {
    if (!g_placing.active)
        return 0;
    if (!g_placing.handle) {
        SetHandleCursor(g_placing.rect, x, y);
        return 1;
    }
    const RECT before = g_placing.rect;
    g_placing.rect = MoveByHandle(g_placing.dragRect, g_placing.handle, x - g_placing.dragPoint.x,
                                  y - g_placing.dragPoint.y);
    SetLayerRect(g_placing.rect);
    Redraw(window, before, g_placing.rect);
    return 1;
}

int NewTextFieldMouseUp(HWND window) {
    if (!g_placing.active)
        return 0;
    if (g_placing.handle) {
        const RECT before = g_placing.rect;
        g_placing.rect = SnappedByHandle(g_placing.rect, g_placing.handle);
        g_placing.handle = 0;
        if (GetCapture() == window)
            ReleaseCapture();
        if (g_placing.rect.right <= g_placing.rect.left || g_placing.rect.bottom <= g_placing.rect.top) {
            DropTemporaryField(window);
            return 1;
        }
        SetLayerRect(g_placing.rect);
        Redraw(window, before, g_placing.rect);
        return 1;
    }
    const RECT rect = g_placing.rect;
    const std::string file = g_placing.file;
    DropTemporaryField(window);
    TextAppearance appearance = NewObjectAppearance(rect);
    RunTextInfoDialog(window, appearance, file.c_str());
    return 1;
}

int NudgePlacedTextField(WPARAM key, bool shiftLatch) {
    int dx = 0, dy = 0;
    if (!g_placing.active || g_placing.handle || !ArrowKeyDelta(static_cast<unsigned>(key), shiftLatch, &dx, &dy))
        return 0;
    const RECT before = g_placing.rect;
    OffsetRect(&g_placing.rect, dx, dy);
    SetLayerRect(g_placing.rect);
    if (HWND window = GetParent(LayerLock<FieldLayer>(g_placing.layer)->window))
        Redraw(window, before, g_placing.rect);
    return 1;
}

void DrawPlacedTextFieldFrame(HWND window, int phase) {
    if (!IsPlacedTextFieldShown())
        return;
    const RECT& r = g_placing.rect;
    DrawSelectionFrame(window, r.left, r.top, r.right, r.bottom, phase);
}

bool IsPlacedTextFieldShown() { return g_placing.active && !g_placing.handle; }
bool IsPlacingTextField() { return g_placing.active; }
RECT PlacedTextFieldRect() { return g_placing.active ? g_placing.rect : RECT{}; }
LayerHandle PlacedTextFieldLayer() { return g_placing.layer; }

void CancelPlacedTextField(HWND window) {
    if (g_placing.active)
        DropTemporaryField(window);
}
