// The one selected object of the object tools: kept, made and cleared (see ObjectServices.h).
#include "objects/ObjectServices.h"

#include "layers/LayerList.h"
#include "graphics/masks/Masks.h"

namespace {
ObjectSelection g_selection;
}  // namespace

ObjectSelection& CurrentSelection() { return g_selection; }

LayerHandle GetSelectedObject() {
    // A card change frees the list under the selection: a layer no longer in it is no selection.
    for (LayerHandle layer = GetLayerListHead(); layer && g_selection.layer;) {
        if (layer == g_selection.layer)
            return layer;
        LayerLock<> lock(layer);
        layer = lock ? lock->next : nullptr;
    }
    return nullptr;
}

void SelectObjectLayer(LayerHandle layer) {
    if (g_selection.outline)
        DeleteObject(g_selection.outline);
    g_selection = ObjectSelection{};
    LayerLock<> common(layer);
    if (!common)
        return;
    g_selection.layer = layer;
    g_selection.rect = g_selection.anchor = common->bounds;
    HBITMAP mask = nullptr;
    if (common->kind == kObjectGraphic)
        mask = LayerLock<GraphicLayer>(layer)->mask;
    else if (common->kind == kObjectButton)
        mask = LayerLock<ButtonLayer>(layer)->freehandMask;
    if (mask)
        g_selection.outline = MaskOutlineThin(mask);
    g_selection.frameShown = true;
}

void DeselectObject(HWND window) {
    // Another tool than browse ends the field being typed into too.
    if (GetActiveTextField() && !IsBrowseMode())
        ClearActiveTextField();
    if (!g_selection.layer)
        return;
    RECT frame = g_selection.rect;
    InflateRect(&frame, 2, 2);
    if (window)
        InvalidateRect(window, &frame, FALSE);
    SelectObjectLayer(nullptr);
}

void ClearActiveTextField() { SetActiveTextField(nullptr); }


