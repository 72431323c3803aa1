// The component calls of the movie controller and the graphics importer.
#include "quicktime/QtCalls.h"

namespace {

QtWord W(const void* p) { return reinterpret_cast<QtWord>(p); }
int32_t R(intptr_t result) { return static_cast<int32_t>(result); }

}  // namespace

int32_t MCIsPlayerEvent(QtMovieController controller, const QtEventRecord* event) {
    return R(QtCallComponent(controller, kMcSelIsPlayerEvent, {W(event)}));
}
int32_t MCDoAction(QtMovieController controller, int16_t action, QtWord params) {
    return R(QtCallComponent(controller, kMcSelDoAction, {static_cast<QtWord>(action), params}));
}
int32_t MCSetControllerPort(QtMovieController controller, QtGrafPtr port) {
    return R(QtCallComponent(controller, kMcSelSetControllerPort, {W(port)}));
}
int32_t MCSetVisible(QtMovieController controller, bool visible) {
    return R(QtCallComponent(controller, kMcSelSetVisible, {visible ? 1u : 0u}));
}
int32_t MCGetControllerBoundsRect(QtMovieController controller, QtRect* bounds) {
    return R(QtCallComponent(controller, kMcSelGetControllerBoundsRect, {W(bounds)}));
}
int32_t MCDraw(QtMovieController controller, void* window) {
    return R(QtCallComponent(controller, kMcSelDraw, {W(window)}));
}
int32_t MCIdle(QtMovieController controller) { return R(QtCallComponent(controller, kMcSelIdle, {})); }
int32_t MCSetClip(QtMovieController controller, QtRgnHandle clip, QtRgnHandle movieClip) {
    return R(QtCallComponent(controller, kMcSelSetClip, {W(clip), W(movieClip)}));
}
int32_t GraphicsImportGetNaturalBounds(QtGraphicsImporter importer, QtRect* bounds) {
    return R(QtCallComponent(importer, kGiSelGetNaturalBounds, {W(bounds)}));
}
int32_t GraphicsImportDraw(QtGraphicsImporter importer) { return R(QtCallComponent(importer, kGiSelDraw, {})); }
int32_t GraphicsImportSetGWorld(QtGraphicsImporter importer, QtGrafPtr port, QtGDHandle device) {
    return R(QtCallComponent(importer, kGiSelSetGWorld, {W(port), W(device)}));
}
int32_t GraphicsImportSetBoundsRect(QtGraphicsImporter importer, const QtRect* bounds) {
    return R(QtCallComponent(importer, kGiSelSetBoundsRect, {W(bounds)}));
}
