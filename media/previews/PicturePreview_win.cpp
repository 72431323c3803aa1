// The still preview of a picture file or a placeable metafile, drawn once into the control.
#include "core/files/FileTypes.h"
#include "core/ui/GdiGuards.h"
#include "graphics/pixels/DibGdi.h"
#include "media/previews/Previewers.h"

PicturePreview::PicturePreview(const char* file) : picture(file) {}

PicturePreview::~PicturePreview() {
    if (bitmap)
        DeleteObject(bitmap);
}

void PicturePreview::ShowPreview(const Window& control, int fileType, int mode) {
    // The control is cleared at once, so that a failure leaves it empty.
    InvalidateRect(control.window, nullptr, TRUE);
    UpdateWindow(control.window);
    if (bitmap)
        DeleteObject(bitmap);
    bitmap = nullptr;
    if (fileType == kFileTypeWmf) {
        bitmap = picture.DrawMetafile(control.window);
    } else if (picture.Open(control.window)) {
        DibHolder holder;
        bitmap = picture.DrawToBitmap(&holder);
        DibFree(&holder);
        picture.Close();
    }
    if (!bitmap)
        return;
    BITMAP info{};
    if (!GetObjectA(bitmap, sizeof info, &info))
        return;
    RECT placed{0, 0, info.bmWidth, info.bmHeight};
    PlacePreviewRect(&placed, control.window, mode);
    WindowDC dc(control.window);
    ImageRectToDC(dc.get(), bitmap, placed.left, placed.top, placed.right, placed.bottom, 0, 0);
}
