// Requests of drawing: the card offscreen and its drawing context, masks, the tool state, card
// renders, tools, pictures chosen or loaded, the palette and the background picture.
#include <windows.h>

#include <cstring>
#include <string>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/files/FileTypes.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "core/ui/ToolNumbers.h"
#include "cardview/card/CardRender.h"
#include "layers/LayerList.h"
#include "graphics/masks/Masks.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/palette/CurrentColors.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestSupport.h"
#include "host/state/MenuOptions.h"
#include "media/pictures/GraphicSource.h"
#include "media/pictures/PictureFiles.h"
#include "stack/cards/CardEdit.h"
#include "stack/cards/CardList.h"
#include "stack/undo/Undo.h"
#include "stack/pictures/CardPicturePaint.h"

namespace {

constexpr uint16_t kPromptFindPicture = 2415;
constexpr uint16_t kToolLineWidth = 1;  // the paint line sizes are not built yet

// The contexts handed out by request 86 and not yet given back: 85 and 161 release only those,
// so that a module cannot unbalance the offscreen's count.
int g_requestDCs = 0;
HDC g_requestDC = nullptr;

bool IsBitmap(uint32_t value) {
    return value && GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(value))) == OBJ_BITMAP;
}

void ReleaseRequestDC() {
    if (g_requestDCs <= 0)
        return;
    ReleaseOffscreenDC(g_requestDC);
    if (--g_requestDCs == 0)
        g_requestDC = nullptr;
}

// The tool-state record of request 103: tool, line width, three colours, three options.
#pragma pack(push, 1)
struct ToolStateRecord {
    uint16_t tool;
    uint16_t lineWidth;
    int32_t textColor;
    int32_t fillColor;
    int32_t eraserColor;
    uint32_t drawMultiple;
    uint32_t drawFilled;
    uint32_t drawCentered;
};
#pragma pack(pop)
static_assert(sizeof(ToolStateRecord) == 28);

// A path a caller keeps in a handle: its bytes up to the first NUL, at most MAX_PATH - 1.
std::string PathInHandle(Handle h) {
    HandleLock lock(h);
    const std::span<uint8_t> bytes = lock.bytes();
    size_t n = 0;
    while (n < bytes.size() && n < MAX_PATH - 1 && bytes[n])
        ++n;
    return std::string(reinterpret_cast<const char*>(bytes.data()), n);
}

}  // namespace

// A module handed the offscreen may paint the card picture with it.
void CbGetDrawingTargets(NbaParamBlock& b) {
    NoteCardPicturePainted();
    b.param1 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetOffscreenBitmap()));
    b.param2 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetMainWindow()));
    b.param3 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetLayerMaskBitmap()));
}

void CbAutoMaskBitmap(NbaParamBlock& b) {
    b.param2 = 0;
    if (!IsBitmap(b.param1))
        return;
    HBITMAP mask = AutoMaskBitmap(reinterpret_cast<HBITMAP>(static_cast<uintptr_t>(b.param1)));
    b.param2 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(mask));
}

void CbDrawToScreen(NbaParamBlock&) { ReleaseRequestDC(); }

void CbDrawToOffscreen(NbaParamBlock& b) {
    HDC dc = AcquireOffscreenDC(nullptr);
    if (dc) {
        NoteCardPicturePainted();
        g_requestDC = dc;
        ++g_requestDCs;
    }
    b.param1 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(dc));
}

void CbReleaseOffscreenDC(NbaParamBlock& b) {
    if (g_requestDCs > 0 && reinterpret_cast<HDC>(static_cast<uintptr_t>(b.param1)) == g_requestDC)
        ReleaseRequestDC();
}

void CbRecordPaintUndo(NbaParamBlock&) { RecordPaintUndo(); }

void CbGetToolState(NbaParamBlock& b) {
    auto* record = CallerPointer<ToolStateRecord>(b.param1);
    if (!record)
        return;
    ToolStateRecord state{};
    state.tool = static_cast<uint16_t>(GetCurrentTool());
    state.lineWidth = kToolLineWidth;
    state.textColor = GetToolColor('t');
    state.fillColor = GetToolColor('g');
    state.eraserColor = GetToolColor('e');
    state.drawMultiple = IsDrawMultiple() ? 1 : 0;
    state.drawFilled = IsDrawFilled() ? 1 : 0;
    state.drawCentered = IsDrawCentered() ? 1 : 0;
    std::memcpy(record, &state, sizeof state);
}

void CbRenderCardToDib(NbaParamBlock& b) {
    Handle card = static_cast<Handle>(b.param1);
    if (card == 0)
        card = GetCurrentCardRecord();
    b.param1 = 0;
    if (!card || GetCardIndex(card) > CountCards())
        return;
    SyncCardFromLayers();
    DibHandle dib = 0;
    if (RenderCardToDib(card, &dib))
        b.param1 = static_cast<uint32_t>(dib);
}

void CbSelectTool(NbaParamBlock& b) {
    const uint32_t current = GetCurrentTool();
    if (b.param1 != 1) {
        b.param1 = current;
        b.param2 = 0;
        return;
    }
    const uint32_t tool = b.param2;
    b.param2 = current;
    if (tool >= kRectangleTool && tool <= kLastTool)
        SelectToolNumber(tool);
}

void CbChoosePicture(NbaParamBlock& b) {
    b.param1 = 0;
    char path[MAX_PATH] = {};
    HWND window = GetMainWindow();
    if (!AskGraphicFileName(window, path, sizeof path, 0, kSlotMediaFolder4))
        return;
    HPALETTE palette = nullptr;
    HBITMAP bitmap = LoadGraphicFile(path, window, &palette, 0);
    if (!bitmap) {
        if (palette)
            DeleteObject(palette);
        return;
    }
    HDC screen = GetDC(window);
    const DibHandle dib = BitmapToPackedDIB(screen, bitmap, palette ? palette : GetAppPalette());
    ReleaseDC(window, screen);
    DeleteObject(bitmap);
    if (palette)
        DeleteObject(palette);
    b.param1 = static_cast<uint32_t>(dib);
}

void CbGetAppPalette(NbaParamBlock& b) {
    b.param1 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetAppPalette()));
}

void CbSaveBackground(NbaParamBlock&) {
    if (const Handle card = GetCurrentCardRecord())
        SaveBackgroundPicture(card);
}

void CbLoadGraphicFile(NbaParamBlock& b) {
    const Handle pathHandle = CallerHandle(b.param1);
    HWND window = reinterpret_cast<HWND>(static_cast<uintptr_t>(b.param2));
    b.param3 = 0;
    b.param4 = 0;
    if (!pathHandle)
        return;
    const std::string path = PathInHandle(pathHandle);
    if (path.empty())
        return;
    if (!window || !IsWindow(window))
        window = GetMainWindow();
    if (!IsPictureFileType(path.c_str()))
        return;
    char filter[300] = {};
    LoadResString(kStringPictureFilter, filter, sizeof filter - 2);
    if (char* space = std::strchr(filter, ' '))
        *space = '\0';
    const FileRequest request = {kPromptFindPicture, filter, 0, 0, kNoSlot, 0};
    char found[MAX_PATH] = {};
    if (!LocateRememberedPath(request, path.c_str(), found, sizeof found, true))
        return;
    HPALETTE palette = nullptr;
    HBITMAP bitmap = LoadGraphicFile(found, window, &palette, 0);
    b.param3 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(bitmap));
    b.param4 = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(palette));
}
