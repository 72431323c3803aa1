// The font table loaded from and saved to the stack, and stored font numbers made into fonts.
#include "objects/fonts/FontTable_win.h"

#include <algorithm>

#include "core/ui/GdiGuards.h"
#include "graphics/pixels/CardOffscreen.h"
#include "format/ResFile.h"

void InitFontTable() { ResetFontTable(); }

void LoadFontTable() {
    const Handle data = GetResource(kFntL, kFontTableResId);
    LoadFontTableBytes(HandleToBytes(data));
}

int SaveFontTable() {
    ResRequest request = {};
    request.type = kFntL;
    request.id = kFontTableResId;
    // The stack stores a copy and the request then names that copy: ours is freed by its own name.
    const Handle table = NewHandleFromBytes(FontTableBytes());
    if (!table)
        return 0;
    request.data = table;
    request.flags = kResRequestCarryOut | kResRequestReplace | kResRequestCopyData;  // 128 itself, not a new id
    SetResourceErrorReporting(false);
    const int result = WriteStackResource(&request);
    SetResourceErrorReporting(true);
    DisposeHandle(table);
    return result;
}

void CreateFontFromStyle(uint16_t number, LOGFONTA* font, int size) {
    const FontEntry arial{.face = "Arial"};
    const FontEntry* found = FindFontByNumber(number);
    const FontEntry& entry = found ? *found : arial;
    const std::string face = entry.macFace ? MapMacFace(entry.face) : entry.face;
    *font = LOGFONTA{};
    font->lfHeight = -std::abs(size);
    font->lfWidth = entry.width;
    font->lfWeight = entry.weight;
    font->lfCharSet = entry.charSet;
    font->lfOutPrecision = OUT_TT_PRECIS;
    font->lfClipPrecision = entry.clipPrecision;
    font->lfQuality = entry.quality;
    font->lfPitchAndFamily = entry.pitchAndFamily;
    lstrcpynA(font->lfFaceName, face.empty() ? "Arial" : face.c_str(), LF_FACESIZE);
    // The face Windows actually gives for the name.
    OwnedGdiObject<HFONT> made(CreateFontIndirectA(font));
    WindowDC dc(GetCardWindow());
    if (!made || !dc)
        return;
    SelectedObject selected(dc.get(), made.get());
    char chosen[64] = {};
    if (GetTextFaceA(dc.get(), sizeof chosen, chosen) > 0)
        lstrcpynA(font->lfFaceName, chosen, LF_FACESIZE);
}

std::string FontFaceOfNumber(uint16_t number, int size) {
    LOGFONTA font;
    CreateFontFromStyle(number, &font, size);
    return font.lfFaceName;
}
