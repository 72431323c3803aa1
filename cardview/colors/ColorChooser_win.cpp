// EditPaletteEntry: the chooser's palette and cursor around the "CPICK" dialog, and the chosen
// colour stored into the application palette.
#include <vector>

#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "cardview/card/CardRedrawServices.h"
#include "cardview/colors/ColorChooser.h"
#include "graphics/palette/AppPalette.h"
#include "paint/Selections.h"
#include "resources/colors_ids.h"
#include "stack/cards/CardList.h"
#include "stack/depth/StackDepth.h"

namespace {

// A palette of the chooser's colours, every entry reserved so that it can be animated.
HPALETTE MakeChooserPalette(const ChooserState& state) {
    const std::vector<ChooserRgb> colors =
        ChooserPaletteColors(state.divisions, state.original, state.current, state.hsb.brightness);
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY));
    auto* logical = reinterpret_cast<LOGPALETTE*>(block.data());
    logical->palVersion = 0x300;
    logical->palNumEntries = static_cast<WORD>(colors.size());
    for (size_t i = 0; i < colors.size(); ++i)
        logical->palPalEntry[i] = {colors[i].red, colors[i].green, colors[i].blue, PC_RESERVED};
    return CreatePalette(logical);
}

// On an 8-bit display the system's reserved entries cannot change.
bool IsChangeableEntry(int index) {
    if (GetDisplayBitsPerPixel() != 8)
        return true;
    WindowDC screen(nullptr);
    const int changeable = GetDeviceCaps(screen.get(), SIZEPALETTE) - GetDeviceCaps(screen.get(), NUMRESERVED);
    return index != 0 && index < changeable;
}

void StoreChosenColor(HPALETTE app, const ChooserState& state) {
    PALETTEENTRY entry = {state.current.red, state.current.green, state.current.blue, PC_RESERVED};
    const int depth = GetDisplayBitsPerPixel();
    SnapColorsToDisplay(1, &entry);  // only a 16-bit display changes it
    SetPaletteEntries(app, static_cast<UINT>(state.index), 1, &entry);
    if (depth <= 8) {
        // The new entry reaches the screen through the palette realized in the card window.
        WindowDC dc(GetMainWindow());
        SelectedPalette chosen(dc.get(), app, SelectedPalette::kAlways);
        RealizePalette(dc.get());
    }
    MarkStackChanged();
    if (depth > 8 && GetStackDepth() != depth) {
        const ChooserRgb& o = state.original;
        ReplaceColorsInPicture(82, 1, static_cast<int>(RGB(o.red, o.green, o.blue)),
                                 static_cast<int>(RGB(entry.peRed, entry.peGreen, entry.peBlue)));
    }
    StorePaletteInPictureResource(GetCurrentCardRecord(), app);
}

}  // namespace

int EditPaletteEntry(int index) {
    if (!IsAdvancedUser())
        return 0;
    HPALETTE app = GetAppPalette();
    if (index < 0 || index > 255 || !app)
        return 0;
    if (!IsChangeableEntry(index)) {
        ShowAlert(IDA_SYSTEM_COLOR);
        return 0;
    }
    PALETTEENTRY entry{};
    if (GetPaletteEntries(app, static_cast<UINT>(index), 1, &entry) != 1)
        return 0;
    ChooserState state;
    state.index = index;
    state.divisions = GetDisplayBitsPerPixel() == 8 ? 5 : 12;
    state.original = state.current = {entry.peRed, entry.peGreen, entry.peBlue};
    state.hsb = RgbToHsb(state.current);
    state.palette = MakeChooserPalette(state);
    if (!state.palette)
        return 0;
    state.cursor = static_cast<HCURSOR>(LoadImageA(GetAppInstance(), "CPICKCUR", IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
    const INT_PTR result =
        ResDialogBoxParam(GetMainWindow(), ColorChooserDlgProc, "CPICK", reinterpret_cast<LPARAM>(&state));
    if (state.cursor)
        DestroyCursor(state.cursor);
    DeleteObject(state.palette);
    state.cursor = nullptr;
    state.palette = nullptr;
    if (result != IDOK)
        return 0;
    StoreChosenColor(app, state);
    return 1;
}
