// A rectangle of the paint picture dropped off the card, saved as a 24-bit bitmap file beside the
// stack or in the media library.
#include <windows.h>

#include "core/files/FileLayer.h"
#include "core/ui/Resources.h"
#include "graphics/pixels/DibGdi.h"
#include "media/library/MediaLibServices.h"
#include "authoring/cards/ObjectFile.h"
#include "authoring/cards/ObjectFileBmp.h"
#include "stack/save/SaveStack.h"

namespace {

constexpr uint32_t kDefaultPictureName = 2520;
constexpr size_t kPictureNameSize = 17;

}  // namespace

int SavePictureAsBmp(HBITMAP bitmap, HPALETTE palette, POINT drop) {
    const bool overMediaLib = IsPointOverMediaLib(nullptr, drop);
    ScopedHandle dib(DibFromDeviceBitmap(bitmap, 24, palette));
    if (!dib.get())
        return 0;
    char name[kPictureNameSize] = {};
    LoadResString(kDefaultPictureName, name, sizeof name);
    char path[kObjectFilePathSize] = {};
    const int made = overMediaLib ? MakeUniqueMediaLibPath(path, name, ".bmp", sizeof path)
                                  : MakeUniqueSavePath(path, sizeof path, name, ".bmp");
    if (!made || !path[0])
        return 0;
    // Written whole or not at all (told by SaveDibAsBmp).
    const int written = SaveDibAsBmp(dib.get(), path);
    if (written && overMediaLib)
        AddMediaLibItem(kMediaCodeBitmap, path);
    return written;
}
