// The layer list of the current card: order, hit testing, drawing, clip region and mask.
#include "layers/LayerList.h"

#include "core/ui/Alerts.h"
#include "core/ui/CursorCache.h"
#include "core/ui/GdiGuards.h"
#include "graphics/masks/Masks.h"
#include "graphics/pixels/CardOffscreen.h"
#include "graphics/pixels/GraphicsErrors.h"
#include "stack/StackOpenSession.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

constexpr uint32_t kStringCombineFailed = 4033;  // "CreateClipRegion: CombineRgn failed"

LayerHandle g_head = nullptr;
LayerHandle g_saved = nullptr;
int g_showAllHilites = 0;

// Calls visit(layer handle, locked layer) for each layer in list order while it returns true;
// the walk ends at a layer that cannot be locked and after kMaxLayerWalk layers.
template <typename Visit>
void WalkLayers(Visit visit) {
    int steps = 0;
    for (LayerHandle at = g_head; at && steps < kMaxLayerWalk; ++steps) {
        LayerLock<> lock(at);
        if (!lock || !visit(at, lock.get()))
            break;
        at = lock->next;
    }
}

// The same over the buttons only, each as its button layer.
template <typename Visit>
void WalkButtons(Visit visit) {
    WalkLayers([&](LayerHandle, ObjectLayer* layer) {
        return layer->kind != kObjectButton || visit(reinterpret_cast<ButtonLayer*>(layer));
    });
}

LayerHandle NextOf(LayerHandle layer) {
    LayerLock<> lock(layer);
    return lock ? lock->next : nullptr;
}

void SetNext(LayerHandle layer, LayerHandle next) {
    LayerLock<> lock(layer);
    if (lock)
        lock->next = next;
}

// The layer before this one (null for the head); false when it is not in the list.
bool FindPrevious(LayerHandle layer, LayerHandle* previous) {
    *previous = nullptr;
    int steps = 0;
    for (LayerHandle at = g_head; at && steps < kMaxLayerWalk; at = NextOf(at), ++steps) {
        if (at == layer)
            return true;
        *previous = at;
    }
    return false;
}

void LinkAfter(LayerHandle layer, LayerHandle previous) {
    if (!previous) {
        SetNext(layer, g_head);
        g_head = layer;
    } else {
        SetNext(layer, NextOf(previous));
        SetNext(previous, layer);
    }
}

LayerHandle LastLayer() {
    LayerHandle last = nullptr;
    int steps = 0;
    for (LayerHandle at = g_head; at && steps < kMaxLayerWalk; at = NextOf(at), ++steps)
        last = at;
    return last;
}

bool Unlink(LayerHandle layer) {
    LayerHandle previous = nullptr;
    if (!layer || !FindPrevious(layer, &previous))
        return false;
    LayerHandle next = NextOf(layer);
    if (previous)
        SetNext(previous, next);
    else
        g_head = next;
    SetNext(layer, nullptr);
    return true;
}

void FreeLayerBlock(LayerHandle layer) {
    if (layer && layer == GetActiveTextField())
        SetActiveTextField(nullptr);
    {
        LayerLock<> lock(layer);
        FreeLayerResources(lock.get());
    }
    GlobalFree(layer);
}

bool MaskPixelSet(HBITMAP mask, const RECT& bounds, int x, int y) {
    return mask && BitmapPixelIsSet(GetCardWindow(), mask, x - bounds.left, y - bounds.top);
}

bool InRegion(HRGN region, int x, int y) { return region && PtInRegion(region, x, y); }

bool LayerHit(ObjectLayer* layer, int x, int y, bool mouseOverOnly) {
    switch (layer->kind) {
    case kObjectGraphic: {
        if (mouseOverOnly)
            return false;
        auto* graphic = reinterpret_cast<GraphicLayer*>(layer);
        return graphic->mask ? MaskPixelSet(graphic->mask, layer->bounds, x, y) : InRegion(layer->region, x, y);
    }
    case kObjectButton: {
        auto* button = reinterpret_cast<ButtonLayer*>(layer);
        if (mouseOverOnly && !(button->flags & kButtonNoClick))
            return false;
        if (button->shape == kButtonShapeInvisible) {
            const POINT point = {x, y};
            return PtInRect(&layer->bounds, point) != FALSE;
        }
        if (IsMaskedButtonShape(button->shape))
            return MaskPixelSet(button->freehandMask, layer->bounds, x, y);
        return InRegion(layer->region, x, y);
    }
    case kObjectText: return !mouseOverOnly && InRegion(layer->region, x, y);
    default: return false;
    }
}

bool Meets(const RECT& a, const RECT& b) {
    RECT common;
    return IntersectRect(&common, &a, &b) != FALSE;
}

}  // namespace

LayerHandle GetLayerListHead() { return g_head; }

void InsertLayerAt(LayerHandle layer, int position) {
    if (!layer)
        return;
    const int walk = position < 0 || position >= kLayerAtEnd ? kMaxLayerWalk : position - 1;
    LayerHandle previous = nullptr;
    LayerHandle at = g_head;
    for (int steps = 0; steps < walk && at; ++steps) {
        previous = at;
        at = NextOf(at);
    }
    LinkAfter(layer, previous);
}

LayerHandle FindLayer(uint16_t kind, uint16_t id) {
    LayerHandle found = nullptr;
    WalkLayers([&](LayerHandle at, ObjectLayer* layer) {
        if (layer->kind == kind && layer->id == id)
            found = at;
        return !found;
    });
    return found;
}

LayerName NameOfObject(uint16_t kind, uint16_t id) {
    return {CurrentStackIdentity(), GetCurrentCardId(), kind, id};
}

LayerName NameOfLayer(LayerHandle layer) {
    LayerLock<> lock(layer);
    if (!lock)
        return {};
    return NameOfObject(lock->kind, lock->id);
}

bool IsNamedCardCurrent(const LayerName& name) {
    return name.card && name.card == GetCurrentCardId() && IsCurrentStack(name.stack);
}

LayerHandle FindNamedLayer(const LayerName& name) {
    return name.kind && IsNamedCardCurrent(name) ? FindLayer(name.kind, name.id) : nullptr;
}

LayerHandle FindNamedLayerOrSay(const LayerName& name, HWND owner) {
    const LayerHandle layer = FindNamedLayer(name);
    if (!layer && name.kind)
        ShowAlertOn(owner, kAlertEditDropped);
    return layer;
}

void RemoveLayer(LayerHandle layer) {
    if (Unlink(layer))
        FreeLayerBlock(layer);
}

void FreeLayerList() {
    LayerHandle at = g_head;
    g_head = nullptr;
    SetActiveTextField(nullptr);
    for (int steps = 0; at && steps < kMaxLayerWalk; ++steps) {
        LayerHandle next = NextOf(at);
        FreeLayerBlock(at);
        at = next;
    }
    int width = 0, height = 0;
    GetOffscreenSize(&width, &height, nullptr);
    SetCardClipRegion(CreateRectRgn(0, 0, width, height));
}

void ReorderLayer(LayerHandle layer, char direction, bool all) {
    LayerHandle previous = nullptr;
    if (!layer || !FindPrevious(layer, &previous))
        return;
    LayerHandle next = NextOf(layer);
    LayerHandle beforePrevious = nullptr;
    if (previous)
        FindPrevious(previous, &beforePrevious);
    Unlink(layer);
    if (direction == 'C') {
        if (all || !next)
            LinkAfter(layer, LastLayer());
        else
            LinkAfter(layer, next);
    } else if (direction == 'F') {
        if (all || !previous)
            LinkAfter(layer, nullptr);
        else
            LinkAfter(layer, beforePrevious);
    } else {
        LinkAfter(layer, previous);  // an unknown letter leaves it where it was
    }
}

LayerHandle HitTestLayers(int x, int y, bool mouseOverOnly, LayerHandle skip) {
    if (GetCardView().zoom != 1 || !g_head)
        return nullptr;
    LayerHandle hit = nullptr;
    WalkLayers([&](LayerHandle at, ObjectLayer* layer) {
        if (at != skip && LayerHit(layer, x, y, mouseOverOnly))
            hit = at;
        return true;
    });
    return hit;
}

void DrawLayersInRect(HDC dc, const RECT& rect, LayerHandle skip, bool behindOnly) {
    if (GetCardView().zoom != 1)
        return;
    const LayerKindProcs& kinds = GetLayerKindProcs();
    bool drawing = skip ? behindOnly : true;
    WalkLayers([&](LayerHandle at, ObjectLayer* layer) {
        if (at == skip) {
            drawing = !drawing;
        } else if (drawing && Meets(layer->bounds, rect)) {
            switch (layer->kind) {
            case kObjectGraphic: kinds.drawGraphic(dc, reinterpret_cast<GraphicLayer*>(layer)); break;
            case kObjectButton: kinds.drawButton(dc, reinterpret_cast<ButtonLayer*>(layer), GetCardWindow()); break;
            case kObjectText: kinds.drawField(dc, at); break;
            default: break;
            }
        }
        return true;
    });
}

bool AnyLayerIntersects(const RECT& rect) {
    bool meets = false;
    WalkLayers([&](LayerHandle, ObjectLayer* layer) {
        meets = Meets(layer->bounds, rect);
        return !meets;
    });
    return meets;
}

void InvalidateLayersInRect(HWND window, const RECT& rect) {
    if (!GetCardView().objectsShown)
        return;
    WalkLayers([&](LayerHandle, ObjectLayer* layer) {
        if (layer->kind == kObjectGraphic && reinterpret_cast<GraphicLayer*>(layer)->mask &&
            Meets(layer->bounds, rect))
            InvalidateRect(window, &layer->bounds, FALSE);
        else if (layer->kind == kObjectButton)
            GetLayerKindProcs().invalidateButtonContent(window, reinterpret_cast<ButtonLayer*>(layer), rect);
        return true;
    });
}

void InvalidateSpecialButtons(HWND window) {
    WalkButtons([&](ButtonLayer* button) {
        if (button->shape == kButtonShapeInvisible || IsMaskedButtonShape(button->shape)) {
            RECT r = button->common.bounds;
            InflateRect(&r, 2, 2);
            InvalidateRect(window, &r, FALSE);
        }
        return true;
    });
}

void RebuildLayerMask() {
    SetLayerMaskBitmap(nullptr);
    int width = 0, height = 0;
    GetOffscreenSize(&width, &height, nullptr);
    if (width <= 0 || height <= 0)
        return;
    HBITMAP mask = CreateBitmap(width, height, 1, 1, nullptr);
    if (!mask)
        return;
    {
        MemoryDC dc(nullptr);
        SelectedObject selected(dc.get(), mask);
        if (selected) {
            PatBlt(dc.get(), 0, 0, width, height, WHITENESS);
            SelectedObject pen(dc.get(), GetStockObject(BLACK_PEN));
            SelectedObject brush(dc.get(), GetStockObject(BLACK_BRUSH));
            const LayerKindProcs& kinds = GetLayerKindProcs();
            WalkLayers([&](LayerHandle, ObjectLayer* layer) {
                const RECT& r = layer->bounds;
                switch (layer->kind) {
                case kObjectGraphic: kinds.drawGraphicMask(dc.get(), reinterpret_cast<GraphicLayer*>(layer)); break;
                case kObjectButton: kinds.drawButtonShape(dc.get(), reinterpret_cast<ButtonLayer*>(layer)); break;
                case kObjectText: Rectangle(dc.get(), r.left, r.top, r.right, r.bottom); break;
                default: break;
                }
                return true;
            });
        }
    }
    SetLayerMaskBitmap(mask);
}

void CreateClipRegion() {
    RebuildLayerMask();
    int width = 0, height = 0;
    {
        WindowDC dc(GetCardWindow());
        width = dc ? GetDeviceCaps(dc.get(), HORZRES) : 0;
        height = dc ? GetDeviceCaps(dc.get(), VERTRES) : 0;
    }
    HRGN clip = CreateRectRgn(0, 0, width, height);
    SetCardClipRegion(clip);
    if (!clip) {
        ShowGraphicsError(kStringNoBitmap);
        return;
    }
    WalkLayers([](LayerHandle, ObjectLayer* layer) {
        if (layer->region) {
            HRGN next = CreateRectRgn(0, 0, 0, 0);
            if (!next || CombineRgn(next, GetCardClipRegion(), layer->region, RGN_DIFF) == ERROR)
                ShowGraphicsError(kStringCombineFailed);
            // A failed combination is used all the same; without a region the old one stays.
            if (next)
                SetCardClipRegion(next);
        }
        return true;
    });
}

void SaveLayerListHead(LayerHandle head) { g_saved = head; }

void TakeSavedLayerList(LayerHandle* head) {
    if (head)
        *head = g_saved;
    g_saved = nullptr;
}

void SetLayerListHead(LayerHandle head) { g_head = head; }

void SetShowAllButtonHilites(HWND window, int state) {
    if (state == g_showAllHilites)
        return;
    g_showAllHilites = state;
    WindowDC dc(window);
    if (!dc)
        return;
    WalkButtons([&](ButtonLayer* button) {
        GetLayerKindProcs().drawButtonHilite(button, dc.get());
        return true;
    });
}

bool FindDefaultButton(uint16_t* buttonId) {
    if (!IsBrowseMode() || GetActiveTextField())
        return false;
    bool found = false;
    WalkButtons([&](ButtonLayer* button) {
        found = button->shape == kButtonShapeDefault;
        if (found)
            *buttonId = button->common.id;
        return !found;
    });
    return found;
}

HCURSOR CurrentCardCursor() {
    const Handle card = GetCurrentCardRecord();
    if (!card)
        return nullptr;
    uint16_t id = GetHandleWord(card, kCardCursor);
    if (!id)
        if (const uint16_t background = GetHandleWord(card, kCardBackgroundId))
            if (const Handle record = background != GetHandleWord(card, kCardId) ? FindCardById(background) : 0)
                id = GetHandleWord(record, kCardCursor);
    return id ? GetCursorById(id) : nullptr;
}

HCURSOR SetBrowseCursorAt(int x, int y) {
    RECT client = {};
    const POINT point = {x, y};
    if (IsBrowseMode() && GetClientRect(GetCardWindow(), &client) && PtInRect(&client, point)) {
        HCURSOR cursor = nullptr;
        if (LayerHandle layer = HitTestLayers(x, y, false, nullptr))
            cursor = LayerCursorAt(layer);
        if (!cursor)
            cursor = CurrentCardCursor();
        if (cursor)
            return cursor;
    }
    StopAnimatedCursor();
    return nullptr;
}

void SyncCardFromLayers() { GetLayerKindProcs().saveFieldContents(); }
