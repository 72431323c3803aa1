#include "layers/CardView.h"

namespace {

int g_zoom = 1;
bool g_objectsShown = true;

}  // namespace

CardView CardViewOfTool(int tool) {
    CardView view;
    view.tool = tool;
    view.hiddenGraphicsShown = tool == kArrowTool || tool == kGraphicTool;
    view.hiddenButtonsShown = tool == kButtonTool || tool == kArrowTool || tool == kSoundButtonTool;
    view.hiddenTextsShown = tool == kArrowTool || tool == kTextFieldTool;
    view.paletteMode = tool == kSoundButtonTool ? kPaletteModeShowsMarkedButtons : kPaletteModeShowsAllButtons;
    return view;
}

CardView GetCardView() {
    CardView view = CardViewOfTool(static_cast<int>(GetCurrentTool()));
    view.zoom = g_zoom;
    view.objectsShown = g_objectsShown;
    return view;
}

int GetCardZoom() { return g_zoom; }
void SetCardZoom(int zoom) { g_zoom = zoom; }
bool GetCardObjectsShown() { return g_objectsShown; }
void SetCardObjectsShown(bool shown) { g_objectsShown = shown; }
