// The picture cropping dialog ("PCROP"): the view of the picture, the rectangle and lasso tools,
// another picture, Scale And Rotate with its undo, and OK with what it applies.
#include "authoring/graphics/PictureCrop.h"

#include <algorithm>
#include <string>

#include "core/events/EditorGuard.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/BitmapSize.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "objects/graphics/GraphicPlacement.h"
#include "objects/graphics/LassoPoints.h"
#include "objects/text/TextFields.h"
#include "resources/graphics_ids.h"

namespace {

constexpr double kLargestShare = 0.9;  // of the full-screen area

// What the open dialog keeps: the placement it crops (its caller's), its purpose, the tool
// bitmaps and the result it ends with.
struct CropDialog {
    GraphicPlacement& p;
    char purpose = 'C';
    HBITMAP rectangleTool = nullptr;
    HBITMAP lassoTool = nullptr;
    SIZE toolSize = {};
    int result = 2;
};

void DeleteBitmap(HBITMAP& bitmap) {
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = nullptr;
}

uint32_t TitleOf(char purpose) {
    switch (purpose) {
    case 'C': return IDS_CROP_CLIP_ART;
    case 'G': return IDS_CROP_GRAPHICS;
    default: return IDS_CROP_ANIMATION;
    }
}

void DrawTools(const DRAWITEMSTRUCT& item, const CropDialog& crop) {
    MemoryDC source(item.hDC);
    if (!source)
        return;
    const bool lasso = crop.p.cropKind == kCropLasso;
    int x = item.rcItem.left;
    for (HBITMAP tool : {crop.rectangleTool, crop.lassoTool}) {
        if (tool) {
            SelectedObject selected(source.get(), tool);
            const bool current = (tool == crop.lassoTool) == lasso;
            BitBlt(item.hDC, x, item.rcItem.top, crop.toolSize.cx, crop.toolSize.cy, source.get(), 0, 0,
                   current ? NOTSRCCOPY : SRCCOPY);
        }
        x += crop.toolSize.cx;
    }
}

// A click strictly inside the two tool bitmaps chooses the tool; a double click also selects
// the whole picture.
bool ToolStripClick(HWND dialog, const CropDialog& crop, LPARAM lParam, bool doubleClick) {
    const RECT strip = DialogItemRect(dialog, PCROP_TOOLS);
    const int x = static_cast<short>(LOWORD(lParam)) - strip.left, y = static_cast<short>(HIWORD(lParam)) - strip.top;
    if (x <= 0 || y <= 0 || x >= 2 * crop.toolSize.cx || y >= crop.toolSize.cy)
        return false;
    GraphicPlacement& p = crop.p;
    HWND view = GetDlgItem(dialog, PCROP_VIEW);
    DropCropSelection(p, view);
    p.cropKind = x > crop.toolSize.cx ? kCropLasso : kCropRectangle;
    InvalidateRect(GetDlgItem(dialog, PCROP_TOOLS), nullptr, FALSE);
    if (!doubleClick || !p.picture)
        return true;
    const SIZE picture = BitmapSizeOf(p.picture);
    if (p.cropKind == kCropRectangle) {
        p.source = {0, 0, picture.cx, picture.cy};
        p.rectShown = true;
    } else {
        LassoBeginPoints(picture.cx, picture.cy);
        LassoAddPoint(0, 0);
        LassoAddPoint(picture.cx, 0);
        LassoAddPoint(picture.cx, picture.cy);
        LassoAddPoint(0, picture.cy);
        MakeCropMaskFromPoints(p, view, false);
    }
    return true;
}

void Init(HWND dialog, CropDialog& crop) {
    GraphicPlacement& p = crop.p;
    const char purpose = crop.purpose;
    HINSTANCE module = GetResModule() ? GetResModule() : GetAppInstance();
    if (!crop.rectangleTool)
        crop.rectangleTool = LoadBitmapA(module, "TOOLSELECTOR");
    if (!crop.lassoTool)
        crop.lassoTool = LoadBitmapA(module, "TOOLLASSO");
    crop.toolSize = BitmapSizeOf(crop.rectangleTool);
    crop.result = 2;
    p.cropKind = kCropRectangle;
    p.purpose = purpose;
    DeleteBitmap(p.undoPicture);
    CreateCropView(dialog, {0, 0, 1, 1}, p);
    ResizeCropDialog(dialog, p);
    EnableWindow(GetDlgItem(dialog, PCROP_UNDO), FALSE);
    SetWindowTextA(dialog, ResText(TitleOf(purpose)).c_str());
    if (purpose == 'A')
        for (int id : {PCROP_ANOTHER, PCROP_SCALE, PCROP_UNDO})
            ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
    SetFocus(GetDlgItem(dialog, IDOK));
}

bool NothingSelected(const GraphicPlacement& p) {
    return p.cropKind == kCropRectangle ? !p.rectShown : !p.mask;
}

void Cancel(HWND dialog, CropDialog& crop) {
    GraphicPlacement& p = crop.p;
    DeleteBitmap(p.picture);
    DeleteBitmap(p.undoPicture);
    DeleteBitmap(p.mask);
    DeleteBitmap(p.outline);
    crop.result = 2;
    LassoFreePoints();
    EndDialog(dialog, 0);
    if (p.cropKind == kCropRectangle)
        ShowTextFieldWindows(true);
}

void Ok(HWND dialog, CropDialog& crop) {
    GraphicPlacement& p = crop.p;
    if (NothingSelected(p)) {
        ShowAlertOn(dialog, IDS_ALERT_NOTHING_CROPPED);
        return;
    }
    DeleteBitmap(p.undoPicture);
    if (!LimitCropToPicture(p)) {
        DeleteBitmap(p.picture);
        DeleteBitmap(p.mask);
        DeleteBitmap(p.outline);
        crop.result = 2;
        EndDialog(dialog, 1);
        return;
    }
    crop.result = 1;
    // The question can be declined: the crop then ends as cancelled, with nothing placed.
    if (p.purpose == 'G' && BigMascotMessageBox(dialog, IDS_WHERE_GRAPHIC, 1, false, true, true) != IDOK) {
        Cancel(dialog, crop);
        return;
    }
    // Applied once the dialog is gone, so that placing starts on the card window.
    EndDialog(dialog, 1);
}

void AfterPictureChange(HWND dialog, GraphicPlacement& p) {
    DropCropSelection(p, GetDlgItem(dialog, PCROP_VIEW));
    ResizeCropDialog(dialog, p);
}

INT_PTR CALLBACK CropDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    CropDialog* crop = KeptDialogState<CropDialog>(dialog, message, lParam);
    if (!crop)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        Init(dialog, *crop);
        return FALSE;
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID != PCROP_TOOLS)
            return FALSE;
        DrawTools(*item, *crop);
        return TRUE;
    }
    case WM_LBUTTONDOWN: return ToolStripClick(dialog, *crop, lParam, false);
    case WM_LBUTTONDBLCLK: return ToolStripClick(dialog, *crop, lParam, true);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: Ok(dialog, *crop); return TRUE;
        case IDCANCEL: Cancel(dialog, *crop); return TRUE;
        case PCROP_ANOTHER:
            if (GetPictureForCropping(dialog, 'R', nullptr, crop->p)) {
                DeleteBitmap(crop->p.undoPicture);
                EnableWindow(GetDlgItem(dialog, PCROP_UNDO), FALSE);
                AfterPictureChange(dialog, crop->p);
            }
            return TRUE;
        case PCROP_SCALE:
            if (DoScaleRotateDialogForCrop(dialog, crop->p) == 1) {
                EnableWindow(GetDlgItem(dialog, PCROP_UNDO), crop->p.undoPicture != nullptr);
                AfterPictureChange(dialog, crop->p);
            }
            return TRUE;
        case PCROP_UNDO: {
            GraphicPlacement& p = crop->p;
            if (p.undoPicture) {
                std::swap(p.picture, p.undoPicture);
                AfterPictureChange(dialog, p);
            }
            return TRUE;
        }
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

void ResizeCropDialog(HWND dialog, GraphicPlacement& placement) {
    const SIZE picture = BitmapSizeOf(placement.picture);
    RECT window = {};
    GetWindowRect(dialog, &window);
    const RECT ok = DialogItemRect(dialog, IDOK);
    const int viewTop = ok.top + ok.bottom;
    const int frameX = GetSystemMetrics(SM_CXDLGFRAME), frameY = GetSystemMetrics(SM_CYDLGFRAME);
    const int oldWidth = window.right - window.left, oldHeight = window.bottom - window.top;
    const int screenWidth = GetSystemMetrics(SM_CXFULLSCREEN), screenHeight = GetSystemMetrics(SM_CYFULLSCREEN);
    int width = picture.cx + 2 * (frameX + GetSystemMetrics(SM_CXBORDER));
    int height = picture.cy + GetSystemMetrics(SM_CYMENU) + 2 * (frameY + GetSystemMetrics(SM_CYBORDER)) + viewTop;
    width = std::min(std::max(width, oldWidth), static_cast<int>(screenWidth * kLargestShare));
    height = std::min(std::max(height, oldHeight), static_cast<int>(screenHeight * kLargestShare));
    MoveWindow(dialog, (screenWidth - width) / 2, (screenHeight - height) / 2, width, height, TRUE);
    const int grown = width - oldWidth;
    if (grown != 0)
        for (int id : {IDOK, IDCANCEL, PCROP_ANOTHER, PCROP_SCALE, PCROP_UNDO}) {
            const RECT r = DialogItemRect(dialog, id);
            MoveWindow(GetDlgItem(dialog, id), r.left + grown, r.top, r.right - r.left, r.bottom - r.top, TRUE);
        }
    if (HWND old = GetDlgItem(dialog, PCROP_VIEW))
        DestroyWindow(old);
    RECT client = {};
    GetClientRect(dialog, &client);
    const int viewWidth = width - 2 * frameX, viewHeight = static_cast<int>(height - 1.5 * viewTop);
    const RECT place = {0, viewTop, std::min<int>(viewWidth, client.right), viewTop + viewHeight};
    ResetCropView(CreateCropView(dialog, {place.left, place.top, place.right, std::min<LONG>(place.bottom, client.bottom)},
                                 placement));
}

int RunPictureCropDialog(HWND window, char purpose, GraphicPlacement& p) {
    const EditorGuard guard;
    CropDialog crop{.p = p, .purpose = purpose};
    p.cropDialogOpen = true;
    ResDialogBoxParam(window, CropDialogProc, "PCROP", reinterpret_cast<LPARAM>(&crop));
    p.cropDialogOpen = false;
    DeleteBitmap(crop.rectangleTool);
    DeleteBitmap(crop.lassoTool);
    return crop.result;
}
