// The graphic appearance dialog: name, frame colour and width, opacity, disk based, features
// and actions of a graphic object, with its preview drawn as the card draws it.
#include "authoring/graphics/GraphicAppearance.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>

#include <commctrl.h>

#include "actions/ActionBlock.h"
#include "actions/ActionsDialog.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/ScreenDepth.h"
#include "core/ui/WindowUtils.h"
#include "layers/LayerList.h"
#include "graphics/masks/Masks.h"
#include "cardview/colors/ColorChooser.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/BitmapCopy.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/buttons/ButtonIcons.h"
#include "objects/ObjectInfo.h"
#include "objects/ObjectLayerKinds.h"
#include "objects/graphics/GraphicPlacement.h"
#include "objects/graphics/GraphicPlacing.h"
#include "objects/text/TextFields.h"
#include "stack/StackOpenSession.h"
#include "resources/graphics_ids.h"
#include "stack/cards/ActionResource.h"
#include "format/ResFile.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"

namespace {

constexpr UINT_PTR kRepeatTimer = 2;
constexpr UINT kRepeatMilliseconds = 250;
constexpr int kMaxOpacity = 100;
constexpr int kNameChars = 15;
constexpr int kPreviewMargin = 5;
constexpr int kUpArrowBitmap = 32753;    // OBM_UPARROW
constexpr int kDownArrowBitmap = 32752;  // OBM_DNARROW
constexpr int kReturnedFromActions = 1, kActionsCancelled = 0x10000;

// The settings that survive a visit to the actions dialog.
struct Settings {
    uint8_t name[16];
    uint16_t frameWidth, frameColorIndex, objectFlags, actionId, cursorId, transparency;
};

struct AppearanceDialog {
    GraphicPlacement& p;      // the placement the dialog edits, its caller's
    Handle actions = 0;       // the copy of the object's action block the actions dialog edits
    bool actionsChanged = false;
    int arrowHeld = 0;        // +1 up, -1 down while a width arrow is held
    SIZE arrow = {};          // one arrow bitmap's size
    // The object by stack, card, kind and id (a new one's: where it is placed); an existing
    // object's layer is found again after the actions dialog, which may leave the card.
    LayerName subject = {};
    bool existing = false;
    Settings backup = {};
    // The card window the dialog runs for. Not the dialog's parent: a dialog's owner is the
    // top-level window (the browser's frame), and redrawing that leaves the card as it was.
    HWND card = nullptr;
    int opening = 0;          // 0 the first time, else kReturnedFromActions (with kActionsCancelled)
};

// The state of the open dialog, kept with it from WM_INITDIALOG on.
AppearanceDialog& DialogOf(HWND dialog) { return *DialogStateOf<AppearanceDialog>(dialog); }

bool OpacityShown() {
    return IsAdvancedUser();
}
bool OpacityEnabled() {
    return GetScreenDepth() > 8 && GetDisplayBitsPerPixel() > 8;
}

// The fields after the name, of the settings or of the placement.
auto SettingFields(auto& s) {
    return std::tie(s.frameWidth, s.frameColorIndex, s.objectFlags, s.actionId, s.cursorId, s.transparency);
}

Settings TakeSettings(const GraphicPlacement& p) {
    Settings s = {};
    std::memcpy(s.name, p.name, sizeof s.name);
    SettingFields(s) = SettingFields(p);
    return s;
}

void GiveSettings(GraphicPlacement& p, const Settings& s) {
    std::memcpy(p.name, s.name, sizeof p.name);
    SettingFields(p) = SettingFields(s);
}

void RedrawPreview(HWND dialog) { InvalidateRect(GetDlgItem(dialog, GAPPEAR_PREVIEW), nullptr, TRUE); }

// The name and the disk-based tick read back into the placement.
void ReadNameAndDisk(HWND dialog) {
    GraphicPlacement& p = DialogOf(dialog).p;
    char text[kNameChars + 1] = {};
    GetDlgItemTextA(dialog, GAPPEAR_NAME, text, sizeof text);
    const size_t length = std::strlen(text);
    std::memset(p.name, 0, sizeof p.name);
    p.name[0] = static_cast<uint8_t>(length);
    std::memcpy(p.name + 1, text, length);
    if (IsDlgButtonChecked(dialog, GAPPEAR_DISK) == BST_CHECKED)
        p.objectFlags |= kObjectHasPath;
    else
        p.objectFlags &= static_cast<uint16_t>(~kObjectHasPath);
}

// A new frame width: the number shown, a lasso's outline remade, the preview drawn again.
void StepFrameWidth(HWND dialog, int step) {
    GraphicPlacement& p = DialogOf(dialog).p;
    const int width = std::clamp(p.frameWidth + step, 0, int{kGraphicMaxFrameWidth});
    if (width == p.frameWidth)
        return;
    p.frameWidth = static_cast<uint16_t>(width);
    SetDlgItemInt(dialog, GAPPEAR_WIDTH, p.frameWidth, FALSE);
    if (p.cropKind == kCropLasso && p.mask) {
        if (p.outline)
            DeleteObject(p.outline);
        p.outline = width > 0 ? MaskOutline(p.mask, width) : nullptr;
    }
    RedrawPreview(dialog);
}

void SetOpacity(HWND dialog, int opacity) {
    GraphicPlacement& p = DialogOf(dialog).p;
    p.transparency = static_cast<uint16_t>(kMaxOpacity - opacity);
    SendDlgItemMessageA(dialog, GAPPEAR_OPACITY_SLIDER, TBM_SETPOS, TRUE, opacity);
    RedrawPreview(dialog);
}

// Where the object stands on the card: what the preview blends with.
RECT ObjectPlace(const GraphicPlacement& p, SIZE size) {
    if (p.editedLayer)
        if (LayerLock<> layer(p.editedLayer); layer)
            return layer->bounds;
    if (p.cropKind == kCropRectangle)
        return p.placed;
    return {p.source.left, p.source.top, p.source.left + size.cx, p.source.top + size.cy};
}

void DrawPreview(const GraphicPlacement& p, const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    RECT area = item.rcItem;
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (!p.picture)
        return;
    BITMAP info = {};
    GetObject(p.picture, sizeof info, &info);
    RECT source = {std::max<LONG>(p.source.left, 0), std::max<LONG>(p.source.top, 0),
                   std::min<LONG>(p.source.right, info.bmWidth), std::min<LONG>(p.source.bottom, info.bmHeight)};
    if (p.cropKind == kCropLasso && p.mask) {
        BITMAP maskInfo = {};
        GetObject(p.mask, sizeof maskInfo, &maskInfo);
        source.right = std::min<LONG>(info.bmWidth, source.left + maskInfo.bmWidth);
        source.bottom = std::min<LONG>(info.bmHeight, source.top + maskInfo.bmHeight);
    }
    const SIZE sourceSize = {source.right - source.left, source.bottom - source.top};
    const SIZE size = p.cropKind == kCropRectangle ? SIZE{p.placed.right - p.placed.left, p.placed.bottom - p.placed.top} : sourceSize;
    if (size.cx <= 0 || size.cy <= 0 || sourceSize.cx <= 0 || sourceSize.cy <= 0)
        return;
    // The picture at its size, then drawn by the card's own routine over the card's pixels.
    OwnedGdiObject<HBITMAP> stretched(CreateCompatibleBitmap(dc, size.cx, size.cy));
    OwnedGdiObject<HBITMAP> composed(CreateCompatibleBitmap(dc, size.cx, size.cy));
    MemoryDC work(dc), from(dc);
    if (!stretched || !composed || !work || !from)
        return;
    {
        SelectedObject into(work.get(), stretched.get());
        SelectedObject picture(from.get(), p.picture);
        StretchBlt(work.get(), 0, 0, size.cx, size.cy, from.get(), source.left, source.top, sourceSize.cx,
                   sourceSize.cy, SRCCOPY);
    }
    const RECT place = ObjectPlace(p, size);
    {
        SelectedObject into(work.get(), composed.get());
        PatBlt(work.get(), 0, 0, size.cx, size.cy, WHITENESS);
        if (HDC offscreen = AcquireOffscreenDC(dc)) {
            BitBlt(work.get(), 0, 0, size.cx, size.cy, offscreen, place.left, place.top, SRCCOPY);
            ReleaseOffscreenDC(offscreen);
        }
        GraphicLayer layer = {};
        layer.common.kind = kObjectGraphic;
        layer.common.bounds = {0, 0, size.cx, size.cy};
        layer.picture = stretched.get();
        layer.mask = p.cropKind == kCropLasso ? p.mask : nullptr;
        layer.outline = p.outline;
        layer.colorIndex = p.frameColorIndex;
        layer.frameWidth = p.frameWidth;
        layer.transparency = p.transparency;
        DrawGraphicObjectLayer(work.get(), &layer);
    }
    InflateRect(&area, -1, -1);
    const int x = area.left + std::max(kPreviewMargin, static_cast<int>(area.right - area.left - size.cx) / 2);
    const int y = area.top + std::max(kPreviewMargin, static_cast<int>(area.bottom - area.top - size.cy) / 2);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
    SelectedObject result(work.get(), composed.get());
    if (p.cropKind == kCropLasso && p.mask) {
        OwnedGdiObject<HBITMAP> masked(CopyBitmapPadded(dc, work.get(), 0, 0, p.mask));
        if (masked)
            DrawBitmapMasked(dc, masked.get(), p.mask, x, y);
    } else {
        BitBlt(dc, x, y, size.cx, size.cy, work.get(), 0, 0, SRCCOPY);
    }
    RestoreDC(dc, saved);
}

void DrawArrows(HWND dialog, const DRAWITEMSTRUCT& item) {
    OwnedGdiObject<HBITMAP> up(LoadBitmapA(nullptr, MAKEINTRESOURCEA(kUpArrowBitmap)));
    OwnedGdiObject<HBITMAP> down(LoadBitmapA(nullptr, MAKEINTRESOURCEA(kDownArrowBitmap)));
    MemoryDC source(item.hDC);
    if (!up || !down || !source)
        return;
    BITMAP info = {};
    GetObject(up.get(), sizeof info, &info);
    DialogOf(dialog).arrow = {info.bmWidth, info.bmHeight};
    {
        SelectedObject selected(source.get(), up.get());
        BitBlt(item.hDC, item.rcItem.left, item.rcItem.top, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
    }
    SelectedObject selected(source.get(), down.get());
    BitBlt(item.hDC, item.rcItem.left, item.rcItem.bottom - info.bmHeight, info.bmWidth, info.bmHeight, source.get(),
           0, 0, SRCCOPY);
}

// +1 in the up arrow, -1 in the down arrow, 0 elsewhere (dialog client coordinates).
int ArrowAt(HWND dialog, int x, int y) {
    const RECT r = DialogItemRect(dialog, GAPPEAR_ARROWS);
    const SIZE arrow = DialogOf(dialog).arrow;
    if (x <= r.left || x >= r.left + arrow.cx)
        return 0;
    if (y > r.top && y < r.top + arrow.cy)
        return 1;
    if (y > r.bottom - arrow.cy && y < r.bottom)
        return -1;
    return 0;
}

bool Inside(HWND dialog, int id, int x, int y) {
    const RECT r = DialogItemRect(dialog, id);
    const POINT point = {x, y};
    return PtInRect(&r, point) != FALSE;
}

void Init(HWND dialog, AppearanceDialog& d) {
    GraphicPlacement& p = d.p;
    const int param = d.opening;
    if (LOWORD(param))
        GiveSettings(p, d.backup);
    if (d.existing) {
        p.editedLayer = FindNamedLayer(d.subject);
        if (LayerLock<GraphicLayer> layer(p.editedLayer); layer) {
            p.picture = layer->picture;
            p.mask = layer->mask;
        }
    }
    CenterWindowOnScreen(dialog);
    SendDlgItemMessageA(dialog, GAPPEAR_NAME, EM_LIMITTEXT, kNameChars, 0);
    const std::string name = p.name[0] ? std::string(reinterpret_cast<const char*>(p.name + 1), std::min<int>(p.name[0], kNameChars))
                                       : ResText(IDS_GRAPHIC_UNTITLED);
    SetDlgItemTextA(dialog, GAPPEAR_NAME, name.c_str());
    SendDlgItemMessageA(dialog, GAPPEAR_NAME, EM_SETSEL, 0, -1);
    SetFocus(GetDlgItem(dialog, GAPPEAR_NAME));
    SetDlgItemInt(dialog, GAPPEAR_WIDTH, p.frameWidth, FALSE);
    SetTimer(dialog, kRepeatTimer, kRepeatMilliseconds, nullptr);
    const bool advanced = IsAdvancedUser();
    ShowWindow(GetDlgItem(dialog, GAPPEAR_FEATURES), advanced ? SW_SHOW : SW_HIDE);
    CheckDlgButton(dialog, GAPPEAR_DISK, (p.objectFlags & kObjectHasPath) ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, GAPPEAR_DISK), !p.editedLayer);
    // A new picture from a live source has no file to name.
    const bool named = p.editedLayer || p.file[0];
    ShowWindow(GetDlgItem(dialog, GAPPEAR_DISK), advanced && !p.fromSelection && named ? SW_SHOW : SW_HIDE);
    if (LOWORD(param) == 0) {
        DisposeHandleAndClear(&d.actions);
        d.actions = LoadActionResource(p.actionId);
        d.actionsChanged = false;
    } else if (HIWORD(param) == 0) {
        d.actionsChanged = true;
    }
    const int opacity = kMaxOpacity - std::min<int>(p.transparency, kMaxOpacity);
    if (OpacityEnabled()) {
        SendDlgItemMessageA(dialog, GAPPEAR_OPACITY_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(0, kMaxOpacity));
        SendDlgItemMessageA(dialog, GAPPEAR_OPACITY_SLIDER, TBM_SETPOS, TRUE, opacity);
        SetDlgItemInt(dialog, GAPPEAR_OPACITY, opacity, FALSE);
    } else {
        for (int id : {GAPPEAR_OPACITY_SLIDER, GAPPEAR_OPACITY, GAPPEAR_OPACITY_LABEL})
            EnableWindow(GetDlgItem(dialog, id), FALSE);
    }
    if (!OpacityShown())
        for (int id : {GAPPEAR_OPACITY_SLIDER, GAPPEAR_OPACITY, GAPPEAR_OPACITY_LABEL})
            ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
}

void Tick(HWND dialog) {
    if (const int held = DialogOf(dialog).arrowHeld) {
        StepFrameWidth(dialog, held);
        return;
    }
    if (!OpacityShown() || !OpacityEnabled())
        return;
    BOOL read = FALSE;
    const int typed = static_cast<int>(GetDlgItemInt(dialog, GAPPEAR_OPACITY, &read, TRUE));
    if (!read)
        return;
    const int opacity = std::clamp(typed, 0, kMaxOpacity);
    if (opacity != kMaxOpacity - DialogOf(dialog).p.transparency)
        SetOpacity(dialog, opacity);
}

void EndWith(HWND dialog, INT_PTR result) {
    KillTimer(dialog, kRepeatTimer);
    DialogOf(dialog).arrowHeld = 0;
    EndDialog(dialog, result);
}

// An existing object's layer, and with it the picture and mask it owns, taken again by the
// object's name: a module's request or a download may have freed or rebuilt the layer under the
// dialog. False when the object is no longer on the card (nothing of the layer is held then).
bool TakeEditedLayerAgain(const AppearanceDialog& d) {
    GraphicPlacement& p = d.p;
    if (!d.existing)
        return true;
    const LayerHandle found = FindNamedLayer(d.subject);
    if (LayerLock<GraphicLayer> layer(found); layer) {
        p.editedLayer = found;
        p.picture = layer->picture;
        p.mask = layer->mask;
        return true;
    }
    p.editedLayer = nullptr;
    p.picture = p.mask = nullptr;
    return false;
}

// An edited object's layer keeps its picture and mask (the outline was the dialog's own copy);
// a new one's placement goes.
void DropEditedOrPlaced(const AppearanceDialog& d, HWND card) {
    GraphicPlacement& p = d.p;
    if (d.existing) {
        if (p.outline)
            DeleteObject(p.outline);
        p.picture = p.mask = p.outline = nullptr;
        p.editedLayer = nullptr;
    } else {
        CancelPlacedGraphic(card);
    }
}

// After the actions dialog: an existing object no longer on the card, or a new one whose card
// was left, is not edited. Nothing of the edit is written; the pictures the dialog held are
// dropped as their owner says (a layer's went with it, a placement's are the placement's).
bool ObjectLeft(const AppearanceDialog& d, HWND card) {
    GraphicPlacement& p = d.p;
    if (d.existing) {
        // Found again, the layer may be a new one (the card left and entered): its bitmaps are.
        if (TakeEditedLayerAgain(d))
            return false;
    } else if (IsNamedCardCurrent(d.subject)) {
        return false;
    }
    ShowAlertOn(card, kAlertEditDropped);
    DropEditedOrPlaced(d, card);
    ClearIconSelection();  // a cursor chosen in the features goes with the edit
    std::memset(p.name, 0, sizeof p.name);
    return true;
}

void Ok(HWND dialog) {
    AppearanceDialog& d = DialogOf(dialog);
    GraphicPlacement& p = d.p;
    KillTimer(dialog, kRepeatTimer);
    if (ObjectLeft(d, d.card ? d.card : GetCardWindow())) {
        EndWith(dialog, IDCANCEL);
        return;
    }
    ReadNameAndDisk(dialog);
    if (d.actionsChanged && d.actions)
        StoreActionResource(&p.actionId, d.actions);
    HWND card = d.card ? d.card : GetCardWindow();
    if (p.editedLayer)
        UpdateEditedGraphic(card, p);
    else
        CommitNewGraphic(card, p);
    std::memset(p.name, 0, sizeof p.name);
    p.editedLayer = nullptr;
    DisposeHandleAndClear(&d.actions);
    EndWith(dialog, IDOK);
}

void Cancel(HWND dialog) {
    AppearanceDialog& d = DialogOf(dialog);
    HWND card = d.card ? d.card : GetCardWindow();
    DropEditedOrPlaced(d, card);
    DisposeHandleAndClear(&d.actions);
    ClearIconSelection();  // a cursor chosen in the features goes with the dialog
    if (card)
        InvalidateRect(card, nullptr, FALSE);
    EndWith(dialog, IDCANCEL);
}

INT_PTR CALLBACK AppearanceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    AppearanceDialog* d = KeptDialogState<AppearanceDialog>(dialog, message, lParam);
    if (!d)
        return FALSE;
    GraphicPlacement& p = d->p;
    switch (message) {
    case WM_INITDIALOG: Init(dialog, *d); return FALSE;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        switch (item->CtlID) {
        case GAPPEAR_COLORS: DrawColorGridItem(item->hwndItem, item->hDC, 8, 8, p.frameColorIndex); return TRUE;
        case GAPPEAR_PREVIEW:
            TakeEditedLayerAgain(*d);  // never a picture of a layer freed meanwhile
            DrawPreview(p, *item);
            return TRUE;
        case GAPPEAR_ARROWS: DrawArrows(dialog, *item); return TRUE;
        default: return FALSE;
        }
    }
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, GAPPEAR_OPACITY_SLIDER)) {
            const int position = static_cast<int>(SendDlgItemMessageA(dialog, GAPPEAR_OPACITY_SLIDER, TBM_GETPOS, 0, 0));
            p.transparency = static_cast<uint16_t>(kMaxOpacity - std::clamp(position, 0, kMaxOpacity));
            SetDlgItemInt(dialog, GAPPEAR_OPACITY, position, FALSE);
            RedrawPreview(dialog);
        }
        return TRUE;
    case WM_TIMER:
        if (wParam == kRepeatTimer)
            Tick(dialog);
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        if (Inside(dialog, GAPPEAR_COLORS, x, y)) {
            const uint16_t before = p.frameColorIndex;
            TrackColorPopup(dialog, static_cast<DWORD>(lParam), GAPPEAR_COLORS, &p.frameColorIndex,
                            message == WM_LBUTTONDBLCLK);
            if (before != p.frameColorIndex || message == WM_LBUTTONDBLCLK)
                RedrawPreview(dialog);
            return TRUE;
        }
        if (const int arrow = ArrowAt(dialog, x, y); arrow && message == WM_LBUTTONDOWN) {
            StepFrameWidth(dialog, arrow);
            d->arrowHeld = arrow;
            SetCapture(dialog);
        }
        return TRUE;
    }
    case WM_LBUTTONUP:
        if (d->arrowHeld && GetCapture() == dialog)
            ReleaseCapture();
        d->arrowHeld = 0;
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: Ok(dialog); return TRUE;
        case IDCANCEL: Cancel(dialog); return TRUE;
        case GAPPEAR_FEATURES: {
            if (ObjectLeft(*d, d->card ? d->card : GetCardWindow())) {
                EndWith(dialog, IDCANCEL);
                return TRUE;
            }
            LayerHandle layer = p.editedLayer;
            const uint16_t id = layer ? LayerLock<>(layer)->id : p.newObjectId;
            ShowItemInfo(dialog, kObjectGraphic, id, &p.objectFlags, &p.cursorId, layer);
            // The features and their cursor chooser are dialogs too.
            if (ObjectLeft(*d, d->card ? d->card : GetCardWindow()))
                EndWith(dialog, IDCANCEL);
            return TRUE;
        }
        case GAPPEAR_ACTIONS:
            ReadNameAndDisk(dialog);
            d->backup = TakeSettings(p);
            // The layer owns an existing object's picture and mask, and leaving the card
            // frees them: they are taken from the layer again when the dialog re-opens.
            if (d->existing) {
                p.editedLayer = nullptr;
                p.picture = p.mask = nullptr;
            }
            EndWith(dialog, GAPPEAR_ACTIONS);
            return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

int RunGraphicAppearanceDialog(HWND window, GraphicPlacement& p) {
    AppearanceDialog d{.p = p};
    d.card = window;
    d.existing = p.editedLayer != nullptr;
    d.subject = d.existing ? NameOfLayer(p.editedLayer) : NameOfObject(kObjectGraphic, p.newObjectId);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    INT_PTR result = IDCANCEL;
    const StackResourceMark resources = MarkStackResources();
    for (;;) {
        result = ResDialogBoxParam(window, AppearanceProc, "GAPPEAR", reinterpret_cast<LPARAM>(&d));
        if (result != GAPPEAR_ACTIONS)
            break;
        const bool ok = d.actions && EditObjectActions(d.actions, 0, kActionsOfGraphicOrText) == kActionsDialogOk;
        d.opening = ok ? kReturnedFromActions : kReturnedFromActions | kActionsCancelled;
        if (ObjectLeft(d, window)) {
            result = IDCANCEL;
            break;
        }
    }
    if (result != IDOK && result != IDCANCEL) {
        // The dialog could not be made: as Cancel.
        DropEditedOrPlaced(d, window);
    }
    if (result != IDOK) {
        // What the actions dialog stored on its way goes with the Cancel, and a new graphic
        // gives back the id it was placed with.
        ClearPendingRequests();
        DropStackResourcesSince(resources);
        if (!d.existing) {
            ReturnUniqueObjectId(p.newObjectId);
            p.newObjectId = 0;
        }
    }
    DisposeHandleAndClear(&d.actions);
    const bool rectangle = p.cropKind == kCropRectangle;
    SettlePaintSelection(window, p, result == IDOK);
    if (rectangle)
        ShowTextFieldWindows(true);
    return result == IDOK ? 1 : 2;
}

int EditGraphicAppearance(HWND window, LayerHandle layer) {
    // An existing object is edited apart from the placement of a new one, which may be under way.
    GraphicPlacement p = {};
    uint16_t id = 0;
    {
        LayerLock<GraphicLayer> graphic(layer);
        if (!graphic || graphic->common.kind != kObjectGraphic)
            return 2;
        p.editedLayer = layer;
        p.frameWidth = graphic->frameWidth;
        p.frameColorIndex = graphic->colorIndex;
        p.actionId = graphic->objectWord;
        p.cursorId = graphic->cursorId;
        p.transparency = graphic->transparency;
        p.picture = graphic->picture;
        BITMAP info = {};
        GetObject(p.picture, sizeof info, &info);
        p.source = {0, 0, info.bmWidth, info.bmHeight};
        p.mask = graphic->mask;
        p.outline = graphic->outline ? DuplicateBitmap(graphic->outline) : nullptr;
        p.cropKind = p.mask ? kCropLasso : kCropRectangle;
        p.placed = p.mask ? p.source : graphic->common.bounds;
        p.fromSelection = false;
        id = graphic->common.id;
    }
    Handle card = 0;
    uint32_t offset = 0;
    std::memset(p.name, 0, sizeof p.name);
    p.objectFlags = 0;
    if (FindObject(kObjectGraphic, id, &card, &offset)) {
        HandleLock lock(card);
        const std::span<const uint8_t> bytes = lock.bytes();
        if (lock && offset + kGraphicHeaderBytes <= bytes.size()) {
            const std::span<const uint8_t> record = bytes.subspan(offset);
            std::memcpy(p.name, record.data() + kGraphicName, kGraphicNameBytes);
            p.name[0] = std::min<uint8_t>(p.name[0], kNameChars);
            p.objectFlags = GetU16(record, kObjectFlags);
            p.actionId = GetU16(record, kGraphicAction);
        }
    }
    return RunGraphicAppearanceDialog(window, p);
}
