// A saved button, graphic or text object dropped on the card: placed centred on the drop point.
#include <windows.h>

#include "host/window/DroppedFiles.h"
#include "authoring/cards/ObjectFile.h"

bool PlaceDroppedObjectFile(HWND window, const char* path, POINT point) {
    const std::vector<uint8_t> file = ReadObjectFileBytes(path);
    if (file.empty() || !PlaceObjectFileAtPoint(file, point.x, point.y))
        return false;
    InvalidateRect(window, nullptr, FALSE);
    return true;
}
