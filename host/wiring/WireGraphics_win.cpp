// The graphics layers' upward calls, each interface filled whole and in layer order: the paint
// layer's colour sampler, the lasso points of the masks, the card pictures' stack procedures, the layer list's object kinds and
// window state, the QuickTime effects' sources, the card redraw's later subsystems and the
// colour dialogs' floating colours window.
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/CursorCache.h"
#include "core/ui/ToolNumbers.h"
#include "cardview/card/CardRedrawServices.h"
#include "cardview/card/CardUpcalls.h"
#include "cardview/colors/ColorChooserUpcalls.h"
#include "layers/ObjectLayer.h"
#include "graphics/masks/MaskLasso.h"
#include "graphics/pixels/CardPicture.h"
#include "graphics/pixels/CardPictureGdi.h"
#include "graphics/pixels/PixelDepth.h"
#include "cardview/transitions/QtEffect.h"
#include "cardview/transitions/QtEffectResource.h"
#include "host/palettes/FcolorsWindow.h"
#include "host/player/CardRefresh.h"
#include "host/state/CardHandlerState.h"
#include "host/wiring/LayerWiring.h"
#include "media/AnimationStartFrames.h"
#include "media/pictures/PictureFiles.h"
#include "objects/ObjectLayerKinds.h"
#include "objects/buttons/Buttons.h"
#include "objects/graphics/LassoPoints.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/FieldContents_win.h"
#include "objects/text/TextFields.h"
#include "paint/PaintTools.h"
#include "paint/SolidColorSample.h"
#include "stack/cards/CardList.h"
#include "stack/pictures/CardPictureConvert.h"
#include "format/StackFile.h"
#include "stack/pictures/CardPictureStore.h"

namespace {

void WireMasks() { SetLassoPointAccess({LassoClampPoints, LassoGetPoints}); }

void WirePixels() { SetSolidColorSampler(SampleSolidColorPixels); }

void WireCardPictures() {
    SetPictureRecordResolver(ResolvePictureResource);
    SetCardPictureUpcalls({
        .dibFromPictureResource = CardPictureDib,
        .packPicture = PackCardPictureDib,
        .makeColorTableForDepth = MakeColorTableForDepth,
        .replacePictureData = ReplacePictureData,
        .mapBitmapToPalette = MapBitmapToPalette,
    });
}

void WireLayerList() {
    SetLayerKindProcs({
        .readGraphic = ReadGraphicLayer,
        .readButton = ReadButtonLayer,
        .readField = ReadFieldLayer,
        .graphicPictureFile = GraphicPictureFile,
        .makeButtonRegion = MakeButtonRegion,
        .initFieldWindow = InitFieldWindowFromRecord,
        .destroyFieldWindow = DestroyFieldWindow,
        .drawGraphic = DrawGraphicObjectLayer,
        .drawButton = DrawButton,
        .drawField = DrawFieldLayer,
        .drawGraphicMask = DrawGraphicLayerMask,
        .drawButtonShape = DrawButtonLayer,
        .drawButtonHilite = [](const ButtonLayer* layer, HDC dc) { DrawButtonLayerHilite(dc, layer); },
        .invalidateButtonContent = InvalidateButtonContent,
        .saveFieldContents = SaveCurrentFieldContents,
    });
    SetLayerListUpcalls({
        .loadPictureFile = [](const char* path, HPALETTE* palette) {
            return LoadGraphicFile(path, GetMainWindow(), palette, 0);
        },
    });
}

void WireTransitions() {
    SetQtEffectStorage({LoadQTEffectRecord, WriteQTEffectRecord});
    SetQtDataSource(ModuleQtData);
    SetQtEffectListFetcher(FetchQtEffectList);
}

// The plug-in has no frame window, hence no frame menu bar to toggle.
void WireCardRedraw() { SetCardRedrawUpcalls({.refreshCard = RefreshCurrentCard}); }

void WireColors() { SetColorChooserUpcalls({ToggleFcolorsFrame, RedrawFcolorsSwatch}); }

}  // namespace

void WireGraphics() {
    WirePixels();
    WireMasks();
    WireCardPictures();
    WireLayerList();
    WireTransitions();
    WireCardRedraw();
    WireColors();
}
