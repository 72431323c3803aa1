#include "objects/text/CurrentTextStyle_win.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/text/StringRuns.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/Resources.h"
#include "graphics/palette/AppPalette.h"
#include "objects/text/FormatMenus_win.h"
#include "objects/fonts/TextStyleMenus.h"
#include "objects/text/TextFields.h"

namespace {

constexpr int kDefaultPoints = 12, kDefaultHeight = -16;

struct StyleState : TextStyleLook {
    LOGFONTA logFont{};
    std::string face;
    int size = kDefaultPoints;
    int fontType = 0;
    HFONT font = nullptr;
    int lineHeight = 16;
};

StyleState g_style;
std::string g_sample;
std::string g_alignNames[3];
std::vector<std::string> g_families;
std::vector<InstalledFont> g_fonts;

int CALLBACK AddFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM) {
    const std::string name = font->lfFaceName;
    if (!name.empty() && name.front() != '@' && FindFamilyNoCase(g_families, name).empty())
        g_families.push_back(name);
    return 1;
}

int CALLBACK AddFont(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD type, LPARAM) {
    InstalledFont entry{};
    entry.fontType = static_cast<uint16_t>(type);
    entry.logFont = *font;
    entry.metrics = *metrics;
    // Raster sizes are kept as character heights, as the TrueType ones are asked for.
    if (type != TRUETYPE_FONTTYPE && entry.logFont.lfHeight > 0)
        entry.logFont.lfHeight = metrics->tmInternalLeading - entry.logFont.lfHeight;
    g_fonts.push_back(entry);
    return 1;
}

void EnumerateInstalledFonts() {
    if (!g_families.empty())
        return;
    WindowDC dc(nullptr);
    if (!dc)
        return;
    EnumFontFamiliesA(dc.get(), nullptr, AddFamily, 0);
    std::ranges::sort(g_families, FontNameLess);
    for (const std::string& family : g_families)
        EnumFontFamiliesA(dc.get(), family.c_str(), AddFont, 0);
}

void DefaultLogFont() {
    g_style.logFont = LOGFONTA{};
    g_style.logFont.lfHeight = kDefaultHeight;
    g_style.logFont.lfOrientation = 10;
    g_style.logFont.lfWeight = FW_NORMAL;
    g_style.logFont.lfCharSet = IsHebrewLanguage() ? HEBREW_CHARSET : 0;
    lstrcpynA(g_style.logFont.lfFaceName, "Arial", LF_FACESIZE);
}

std::string MappedFace(std::string_view face) {
    LOGFONTA wanted{};
    wanted.lfHeight = -16;
    lstrcpynA(wanted.lfFaceName, std::string(face).c_str(), LF_FACESIZE);
    OwnedGdiObject<HFONT> made(CreateFontIndirectA(&wanted));
    WindowDC dc(nullptr);
    if (!made || !dc)
        return {};
    SelectedObject selected(dc.get(), made.get());
    char chosen[LF_FACESIZE] = {};
    GetTextFaceA(dc.get(), sizeof chosen, chosen);
    return chosen;
}

// The first installed font of the family named so (case aside).
const InstalledFont* FindFamilyFont(std::string_view name) {
    const std::string family = FindFamilyNoCase(g_families, name);
    if (family.empty())
        return nullptr;
    const auto found = std::ranges::find_if(g_fonts, [&](const InstalledFont& f) { return family == f.logFont.lfFaceName; });
    return found == g_fonts.end() ? nullptr : &*found;
}

}  // namespace

void InitTextStyle(HWND) {
    g_sample.clear();
    for (uint32_t id = 4001; id <= 4004; ++id)
        g_sample += ResText(id) + (id < 4003 ? " " : "\r\n");
    for (int i = 0; i < 3; ++i)
        g_alignNames[i] = ResText(4005 + i);
    DefaultLogFont();
    g_style.face.clear();
    g_style.styleBits = 0;
    g_style.fontType = 0;
    g_style.size = kDefaultPoints;
    g_style.alignment = IsHebrewLanguage() ? -1 : 0;
    RemakeCurrentFont();
    EnumerateInstalledFonts();
}

void InitTextColorIndexes() {
    g_style.textColor = FindPaletteIndexOfColor(GetAppPalette(), RGB(0, 0, 0));
    g_style.backColor = FindPaletteIndexOfColor(GetAppPalette(), RGB(255, 255, 255));
}

void ResetTextColorsAndStyle() {
    InitTextColorIndexes();
    InitTextStyle(nullptr);
}

void FreeTextStyleResources() {
    if (g_style.font)
        DeleteObject(g_style.font);
    g_style.font = nullptr;
    g_families = {};
    g_fonts = {};
    FreeFontMenuLists();
}

HFONT GetCurrentTextFont() { return g_style.font; }
int GetTextLineHeight() { return g_style.lineHeight; }
uint16_t GetTextColorIndex() { return g_style.textColor; }
void SetTextColorIndex(uint16_t index) { g_style.textColor = index; }
void GetCurrentLogFont(LOGFONTA* font) { *font = g_style.logFont; }

CurrentStyleInfo GetCurrentStyleInfo() {
    // The face last chosen by name; the logical font may hold the face the system gave for it.
    return {g_style, g_style.face.empty() ? std::string(g_style.logFont.lfFaceName) : g_style.face, g_style.fontType,
            g_style.size};
}

void SetStyleColorsAndAlignment(uint16_t textColor, uint16_t backColor, int alignment) {
    g_style.textColor = textColor;
    g_style.backColor = backColor;
    g_style.alignment = alignment;
}

void SetCurrentLogFont(const LOGFONTA& font) { g_style.logFont = font; }

void SetCurrentFace(std::string_view face) {
    lstrcpynA(g_style.logFont.lfFaceName, std::string(face).c_str(), LF_FACESIZE);
    g_style.face = std::string(face.substr(0, 31));
}

void SetCurrentFontType(int fontType) { g_style.fontType = fontType; }

void SetCurrentSize(int points) {
    g_style.size = points;
    g_style.logFont.lfHeight = -std::abs(PointsToPixels(points));
}

void SetCurrentStyleBits(int bits) {
    g_style.styleBits = bits & 7;
    g_style.logFont.lfWeight = (bits & 1) ? FW_BOLD : FW_NORMAL;
    g_style.logFont.lfItalic = (bits & 2) ? 1 : 0;
    g_style.logFont.lfUnderline = (bits & 4) ? 1 : 0;
}

void SetCurrentAlignment(int alignment) { g_style.alignment = alignment; }

void RemakeCurrentFont() {
    if (g_style.font)
        DeleteObject(g_style.font);
    g_style.font = CreateFontIndirectA(&g_style.logFont);
    g_style.lineHeight = std::abs(static_cast<int>(g_style.logFont.lfHeight));
}

SavedTextStyle SaveTextStyle() { return {g_style.logFont, GetCurrentStyleInfo()}; }

void RestoreTextStyle(const SavedTextStyle& saved) {
    g_style.logFont = saved.logFont;
    g_style.face = saved.info.face;
    g_style.fontType = saved.info.fontType;
    g_style.size = saved.info.size;
    static_cast<TextStyleLook&>(g_style) = saved.info;
    RemakeCurrentFont();
}

std::string GetStyleSampleText() { return g_sample; }
std::string GetAlignmentName(int index) { return index >= 0 && index < 3 ? g_alignNames[index] : std::string(); }

std::span<const std::string> GetInstalledFamilies() {
    EnumerateInstalledFonts();
    return g_families;
}

std::span<const InstalledFont> GetInstalledFonts() {
    EnumerateInstalledFonts();
    return g_fonts;
}

const InstalledFont* FindInstalledFont(std::string_view face) {
    EnumerateInstalledFonts();
    if (const InstalledFont* font = FindFamilyFont(face))
        return font;
    // A face the system lacks (Arial under some systems) draws in the mapper's choice.
    return face.empty() ? nullptr : FindFamilyFont(MappedFace(face));
}

void SyncStyleFromField(HWND window, bool wholeText, uint16_t backColor) {
    if (!window)
        return;
    const TextScope scope = wholeText ? TextScope::All : TextScope::Selection;
    // The effects and face are read from the selection: for the whole text, select it all.
    int32_t start = 0, end = 0;
    TextGetSel(window, &start, &end);
    if (wholeText)
        TextSetSel(window, 0, -1, false);
    SetCurrentStyleBits(TextGetEffects(window));
    const std::string face = TextGetFontName(window);
    if (wholeText)
        TextSetSel(window, start, end, false);
    if (!face.empty())
        SetCurrentFace(face);
    if (const int points = TextGetSize(window, scope); points > 0)
        SetCurrentSize(points);
    g_style.textColor = FindPaletteIndexOfColor(GetAppPalette(), TextGetColor(window, scope));
    g_style.backColor = backColor;
    g_style.alignment = TextGetAlignment(window);
}
