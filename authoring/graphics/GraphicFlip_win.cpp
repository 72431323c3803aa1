// The selected graphic flipped (see GraphicFlip.h).
#include "authoring/graphics/GraphicFlip.h"

#include "core/ui/GdiGuards.h"
#include "layers/LayerList.h"
#include "objects/ObjectServices.h"
#include "authoring/cards/UndoObjects.h"

namespace {

// A mirrored copy of the bitmap in its own format: a mask stays one bit, a picture keeps the
// card window's format, so that no pixel goes through a colour conversion.
HBITMAP Mirrored(HBITMAP bitmap, char letter) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0)
        return nullptr;
    const int w = info.bmWidth, h = info.bmHeight;
    WindowDC screen(nullptr);
    MemoryDC from(screen.get()), to(screen.get());
    if (!screen || !from || !to)
        return nullptr;
    HBITMAP mirrored = info.bmBitsPixel == 1 ? CreateBitmap(w, h, 1, 1, nullptr) : CreateCompatibleBitmap(screen.get(), w, h);
    if (!mirrored)
        return nullptr;
    bool drawn = false;
    {
        SelectedObject source(from.get(), bitmap), target(to.get(), mirrored);
        drawn = letter == 'U' ? StretchBlt(to.get(), 0, h - 1, w, -h, from.get(), 0, 0, w, h, SRCCOPY)
                              : StretchBlt(to.get(), w - 1, 0, -w, h, from.get(), 0, 0, w, h, SRCCOPY);
    }
    if (!drawn) {
        DeleteObject(mirrored);
        return nullptr;
    }
    return mirrored;
}

}  // namespace

bool CanFlipSelectedGraphic() { return GraphicObjectPicture() != nullptr; }

bool FlipSelectedGraphic(char letter) {
    const HBITMAP picture = GraphicObjectPicture();
    const LayerHandle selected = GetSelectedObject();
    if (!picture || !selected)
        return false;
    const HBITMAP mask = LayerLock<GraphicLayer>(selected)->mask;
    const HBITMAP flipped = Mirrored(picture, letter), flippedMask = mask ? Mirrored(mask, letter) : nullptr;
    if (flipped && (flippedMask || !mask)) {
        SetUndoKindByLetter(selected, letter);
        if (SetGraphicObjectPicture(flipped, flippedMask))
            return true;
    }
    if (flipped)
        DeleteObject(flipped);
    if (flippedMask)
        DeleteObject(flippedMask);
    return false;
}
