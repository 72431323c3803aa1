// A draggable graphic object dragged in browse mode, and the name a clicked graphic gives its
// actions.
#include <algorithm>

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "layers/LayerList.h"
#include "objects/ObjectServices.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

constexpr uint16_t kDraggableInBrowse = 0x80;

struct BrowseDrag {
    bool active = false;
    LayerHandle layer = nullptr;
    POINT anchor = {};
    RECT rect = {};
};
BrowseDrag g_drag;
uint8_t g_clickedName[kGraphicNameBytes] = {};

// The graphic's stored flags and name; false when its record is not found or too short.
bool ReadGraphicRecord(uint16_t id, uint16_t* flags, uint8_t name[kGraphicNameBytes]) {
    return ReadObjectRecord(kObjectGraphic, id, kGraphicName + kGraphicNameBytes, [&](std::span<const uint8_t> r) {
        *flags = GetU16(r, kObjectFlags);
        // The name is length-prefixed within its 16 bytes: at most 15 characters.
        const uint8_t length = std::min<uint8_t>(r[kGraphicName], kGraphicNameBytes - 1);
        std::fill(name, name + kGraphicNameBytes, 0);
        name[0] = length;
        std::copy_n(r.begin() + kGraphicName + 1, length, name + 1);
    });
}

}  // namespace

const uint8_t* ClickedGraphicName() { return g_clickedName; }

int BrowseGraphicMouseDown(HWND window, LayerHandle graphic, int x, int y) {
    uint16_t id = 0;
    RECT bounds{};
    {
        LayerLock<> common(graphic);
        if (!common || common->kind != kObjectGraphic)
            return 0;
        id = common->id;
        bounds = common->bounds;
    }
    uint16_t flags = 0;
    if (!ReadGraphicRecord(id, &flags, g_clickedName) || !(flags & kDraggableInBrowse))
        return 0;
    g_drag = BrowseDrag{true, graphic, POINT{x, y}, bounds};
    // Drawn from the offscreen while it moves, not clipped out of the card.
    {
        LayerLock<> common(graphic);
        if (common->region)
            DeleteObject(common->region);
        common->region = nullptr;
    }
    CreateClipRegion();
    SetCapture(window);
    RedrawRectThroughOffscreen(window, graphic, bounds);
    return 1;
}

int DragGraphicInBrowse(HWND window, int x, int y) {
    if (!g_drag.active)
        return 0;
    const RECT before = g_drag.rect;
    RECT after = before;
    OffsetRect(&after, x - g_drag.anchor.x, y - g_drag.anchor.y);
    g_drag.anchor = POINT{x, y};
    g_drag.rect = after;
    if (LayerLock<> common(g_drag.layer); common)
        common->bounds = after;
    RECT area{};
    UnionRect(&area, &before, &after);
    RedrawRectThroughOffscreen(window, g_drag.layer, area);
    return 1;
}

GraphicDrop DropGraphicInBrowse(HWND window, int x, int y) {
    GraphicDrop drop;
    if (!g_drag.active)
        return drop;
    const BrowseDrag drag = g_drag;
    g_drag = BrowseDrag{};
    if (GetCapture() == window)
        ReleaseCapture();
    drop.taken = true;
    ApplyObjectRect(drag.layer, drag.rect);
    MarkCardChanged();
    if (window)
        InvalidateRect(window, nullptr, FALSE);
    uint16_t graphicAction = 0;
    if (LayerLock<GraphicLayer> graphic(drag.layer); graphic)
        graphicAction = graphic->objectWord;
    // A drop-off-only button under the drop takes the drop: only its actions run.
    const LayerHandle under = HitTestLayers(x, y, false, drag.layer);
    if (LayerLock<ButtonLayer> button(under); button && button->common.kind == kObjectButton &&
                                              (button->flags & kButtonDropOffOnly)) {
        drop.buttonId = button->common.id;
        return drop;
    }
    drop.actionId = graphicAction;
    return drop;
}
