// The one current text style of the program (what new text, paint text and the Format menu and
// Text Style dialog show and change), and the fonts installed on the system.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <string>

// One installed font as enumerated: the font type, its logical font and its metrics.
#pragma pack(push, 1)
struct InstalledFont {
    uint16_t fontType;
    LOGFONTA logFont;
    TEXTMETRICA metrics;
};
#pragma pack(pop)
static_assert(sizeof(InstalledFont) == 118);

// What a text style holds beside its font: colours (palette indexes), style and alignment.
struct TextStyleLook {
    uint16_t textColor = 0;
    uint16_t backColor = 0;
    int styleBits = 0;  // 1 bold, 2 italic, 4 underline
    int alignment = 0;  // 0 left, 1 centre, -1 right
};

struct CurrentStyleInfo : TextStyleLook {
    std::string face;
    int fontType = 0;
    int size = 12;  // points
};

// Start-up: the sample and alignment strings, the default font, the installed fonts.
void InitTextStyle(HWND window);
// Text colour: nearest to black; background: nearest to white.
void InitTextColorIndexes();
// Both of the above (card window creation).
void ResetTextColorsAndStyle();
// The font, the name lists and the font list.
void FreeTextStyleResources();

HFONT GetCurrentTextFont();
int GetTextLineHeight();
uint16_t GetTextColorIndex();
void SetTextColorIndex(uint16_t index);
void GetCurrentLogFont(LOGFONTA* font);
CurrentStyleInfo GetCurrentStyleInfo();
void SetStyleColorsAndAlignment(uint16_t textColor, uint16_t backColor, int alignment);
// The pieces the menus and the dialog change.
void SetCurrentLogFont(const LOGFONTA& font);
void SetCurrentFace(std::string_view face);
void SetCurrentFontType(int fontType);
// Size in points; the height follows as -pixels.
void SetCurrentSize(int points);
// Weight, italic and underline of the logical font follow the bits.
void SetCurrentStyleBits(int bits);
void SetCurrentAlignment(int alignment);
// The font made again from the logical font; the line height follows.
void RemakeCurrentFont();

// The whole style kept around a dialog that borrows it.
struct SavedTextStyle {
    LOGFONTA logFont;
    CurrentStyleInfo info;
};
SavedTextStyle SaveTextStyle();
void RestoreTextStyle(const SavedTextStyle& saved);

// Strings 4001-4004: two lines joined by spaces, two ended by line breaks; 4005-4007 the
// alignment names.
std::string GetStyleSampleText();
std::string GetAlignmentName(int index);

// Installed families (sorted, without duplicates) and fonts, gathered once.
std::span<const std::string> GetInstalledFamilies();
std::span<const InstalledFont> GetInstalledFonts();
// The first installed font of the face, else of the face the font mapper gives for it; null
// when neither is installed.
const InstalledFont* FindInstalledFont(std::string_view face);

// From the field's selection (or whole text): style bits, face, size, text colour, alignment,
// with the given background colour.
void SyncStyleFromField(HWND window, bool wholeText, uint16_t backColor);
