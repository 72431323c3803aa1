#include "authoring/text/TextStyleDialog_win.h"

#include <commdlg.h>

#include <cstdlib>
#include <string>

#include "core/events/EditorGuard.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PluginModule.h"
#include "core/text/StringRuns.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "cardview/colors/ColorChooser.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/ObjectServices.h"
#include "objects/text/ApplyTextStyle_win.h"
#include "objects/text/CurrentTextStyle_win.h"
#include "objects/fonts/FontTable.h"
#include "objects/text/FormatMenus_win.h"
#include "objects/fonts/TextStyleMenus.h"
#include "objects/text/TextFields.h"
#include "layers/LayerList.h"
#include "stack/StackOpenSession.h"

namespace {

constexpr DWORD kDialogFlags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_ENABLEHOOK | CF_ENABLETEMPLATE;
static_assert(kDialogFlags == 0x159);
constexpr int kMinPoints = 6, kMaxPoints = 72;

// What the hook shows and changes beside the standard controls; extras adds the back colours
// and the alignment. The dialog keeps it as a property.
struct DialogChoice : TextStyleLook {
    bool extras = false;
};
constexpr const char* kChoiceProperty = "LoomStyleChoice";

DialogChoice* ChoiceOf(HWND dialog) { return static_cast<DialogChoice*>(GetPropA(dialog, kChoiceProperty)); }

int AlignmentIndex(int alignment) { return alignment == 1 ? 1 : alignment == -1 ? 2 : 0; }

void ApplyBits(LOGFONTA& font, int bits) {
    font.lfWeight = (bits & 1) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (bits & 2) ? 1 : 0;
    font.lfUnderline = (bits & 4) ? 1 : 0;
}

void ShowStyleChecks(HWND dialog, int styleBits) {
    CheckDlgButton(dialog, kStylePlain, (styleBits & 7) == 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kStyleBold, (styleBits & 1) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kStyleItalic, (styleBits & 2) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, kStyleUnderline, (styleBits & 4) ? BST_CHECKED : BST_UNCHECKED);
}

void RefreshPreview(HWND dialog) { InvalidateRect(GetDlgItem(dialog, kStylePreview), nullptr, TRUE); }

void InitHook(HWND dialog, const CHOOSEFONTA& settings) {
    auto* choice = reinterpret_cast<DialogChoice*>(settings.lCustData);
    SetPropA(dialog, kChoiceProperty, choice);
    ShowStyleChecks(dialog, choice->styleBits);
    HWND align = GetDlgItem(dialog, kStyleAlignment);
    for (int i = 0; i < 3; ++i)
        SendMessageA(align, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(GetAlignmentName(i).c_str()));
    SendMessageA(align, CB_SETCURSEL, static_cast<WPARAM>(AlignmentIndex(choice->alignment)), 0);
    for (int id : {static_cast<int>(kStyleBackColors), static_cast<int>(kStyleAlignment), static_cast<int>(kStyleBackLabel)})
        ShowWindow(GetDlgItem(dialog, id), choice->extras ? SW_SHOW : SW_HIDE);
}

void DrawPreview(HWND dialog, const DRAWITEMSTRUCT& item, const DialogChoice& choice) {
    LOGFONTA font{};
    SendMessageA(dialog, WM_CHOOSEFONT_GETLOGFONT, 0, reinterpret_cast<LPARAM>(&font));
    ApplyBits(font, choice.styleBits);
    OwnedGdiObject<HFONT> made(CreateFontIndirectA(&font));
    const COLORREF back = choice.extras ? PaletteIndexToColor(choice.backColor) : RGB(255, 255, 255);
    OwnedGdiObject<HBRUSH> brush(CreateSolidBrush(back));
    RECT area = item.rcItem;
    FillRect(item.hDC, &area, brush.get());
    SelectedObject selected(item.hDC, made.get());
    SetBkMode(item.hDC, TRANSPARENT);
    SetTextColor(item.hDC, PaletteIndexToColor(choice.textColor));
    const UINT align = choice.alignment == 1 ? DT_CENTER : choice.alignment == -1 ? DT_RIGHT : DT_LEFT;
    InflateRect(&area, -2, -2);
    const std::string sample = GetStyleSampleText();
    DrawTextA(item.hDC, sample.c_str(), -1, &area, DT_WORDBREAK | DT_NOPREFIX | align);
}

void StyleCheckClicked(HWND dialog, int id, DialogChoice& choice) {
    if (id == kStylePlain) {
        choice.styleBits = 0;
    } else {
        const bool on = IsDlgButtonChecked(dialog, id) == BST_CHECKED;
        const int bit = id == kStyleBold ? 1 : id == kStyleItalic ? 2 : 4;
        choice.styleBits = on ? (choice.styleBits | bit) : (choice.styleBits & ~bit);
    }
    ShowStyleChecks(dialog, choice.styleBits);
    RefreshPreview(dialog);
}

UINT_PTR CALLBACK TextStyleHook(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        InitHook(dialog, *reinterpret_cast<const CHOOSEFONTA*>(lParam));
        return TRUE;
    }
    DialogChoice* choice = ChoiceOf(dialog);
    if (!choice)
        return FALSE;
    switch (message) {
    case WM_DESTROY:
        RemovePropA(dialog, kChoiceProperty);
        return FALSE;
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (wParam == kStylePreview)
            DrawPreview(dialog, item, *choice);
        else if (wParam == kStyleTextColors)
            DrawColorGridItem(item.hwndItem, item.hDC, 8, 8, choice->textColor);
        else if (wParam == kStyleBackColors)
            DrawColorGridItem(item.hwndItem, item.hDC, 8, 8, choice->backColor);
        else
            return FALSE;
        return TRUE;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        const BOOL more = message == WM_LBUTTONDBLCLK;
        const DWORD point = static_cast<DWORD>(lParam);
        if (TrackColorPopup(dialog, point, kStyleTextColors, &choice->textColor, more) ||
            (choice->extras && TrackColorPopup(dialog, point, kStyleBackColors, &choice->backColor, more))) {
            RefreshPreview(dialog);
            return TRUE;
        }
        return FALSE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id >= kStylePlain && id <= kStyleUnderline && code == BN_CLICKED) {
            StyleCheckClicked(dialog, id, *choice);
            return TRUE;
        }
        if (id == kStyleAlignment && code == CBN_SELCHANGE) {
            const LRESULT index = SendDlgItemMessageA(dialog, kStyleAlignment, CB_GETCURSEL, 0, 0);
            choice->alignment = index >= 0 && index < 3 ? kAlignments[index] : 0;
            RefreshPreview(dialog);
            return TRUE;
        }
        if ((id == kFontFaceList || id == kFontSizeList) &&
            (code == CBN_SELCHANGE || code == CBN_EDITCHANGE))
            RefreshPreview(dialog);
        return FALSE;
    }
    default: return FALSE;
    }
}

struct FontDialogResult {
    LOGFONTA font{};
    int pointSize10 = 0;
    int fontType = 0;
};

// The dialog over the choice; the font and size come in and go out through the result.
bool RunFontDialog(HWND owner, FontDialogResult& result, DialogChoice& choice) {
    CHOOSEFONTA settings{};
    settings.lStructSize = sizeof settings;
    settings.hwndOwner = DialogOwner(owner);
    settings.lpLogFont = &result.font;
    settings.iPointSize = result.pointSize10;
    settings.Flags = kDialogFlags;
    settings.rgbColors = PaletteIndexToColor(choice.textColor);
    settings.lCustData = reinterpret_cast<LPARAM>(&choice);
    settings.lpfnHook = TextStyleHook;
    settings.lpTemplateName = MAKEINTRESOURCEA(kTextStyleTemplate);
    // The template lies in the plug-in itself.
    settings.hInstance = GetAppInstance();
    settings.nSizeMin = kMinPoints;
    settings.nSizeMax = kMaxPoints;
    if (!ChooseFontA(&settings))
        return false;
    result.pointSize10 = settings.iPointSize;
    result.fontType = settings.nFontType;
    return true;
}

int PointsOfHeight(LONG height) { return PixelsToPoints(std::abs(static_cast<int>(height))); }

DialogChoice ChoiceFromCurrent(bool extras) {
    DialogChoice choice{GetCurrentStyleInfo()};
    choice.extras = extras;
    return choice;
}

// On OK: the chosen font with the chosen style, colours and alignment become current.
void TakeDialogResult(const FontDialogResult& result, const DialogChoice& choice, bool keepSizeAndType) {
    LOGFONTA font = result.font;
    if (IsHebrewLanguage())
        font.lfCharSet = HEBREW_CHARSET;
    SetCurrentLogFont(font);
    SetCurrentFace(font.lfFaceName);
    SetCurrentStyleBits(choice.styleBits);
    SetStyleColorsAndAlignment(choice.textColor, choice.backColor, choice.alignment);
    // A dialog that reports no size keeps the current one.
    if (result.pointSize10 >= 10)
        SetCurrentSize(result.pointSize10 / 10);
    if (keepSizeAndType)
        SetCurrentFontType(result.fontType);
    RemakeCurrentFont();
    AddRecentFont(font.lfFaceName);
}

FontDialogResult CurrentDialogFont() {
    FontDialogResult result;
    GetCurrentLogFont(&result.font);
    result.pointSize10 = PointsOfHeight(result.font.lfHeight) * 10;
    return result;
}

// The layer the Text Style command works on as a field: the active field, else a selected
// text object; with whether it is the whole text.
LayerHandle StyledField(bool* whole) {
    if (LayerHandle active = GetActiveTextField()) {
        *whole = false;
        return active;
    }
    const LayerHandle selected = GetSelectedObject();
    LayerLock<ObjectLayer> layer(selected);
    *whole = true;
    return layer && layer->kind == kObjectText ? selected : nullptr;
}

}  // namespace

bool RunTextStyleDialog(HWND owner) {
    DialogChoice choice = ChoiceFromCurrent(false);
    FontDialogResult result = CurrentDialogFont();
    if (!RunFontDialog(owner, result, choice))
        return false;
    TakeDialogResult(result, choice, false);
    return true;
}

int RunChooseFontForField(HWND owner) {
    DialogChoice choice = ChoiceFromCurrent(true);
    FontDialogResult result = CurrentDialogFont();
    if (!RunFontDialog(owner, result, choice))
        return 2;
    TakeDialogResult(result, choice, true);
    return 1;
}

bool DoChooseFontCommand(HWND window) {
    bool whole = false;
    if (const LayerHandle field = StyledField(&whole)) {
        HWND text = nullptr;
        uint16_t back = 0;
        {
            LayerLock<FieldLayer> layer(field);
            if (!layer || !layer->window)
                return false;
            text = layer->window;
            back = layer->colorIndex;
        }
        SyncStyleFromField(text, whole, back);
        if (RunChooseFontForField(window) == 1) {
            const CurrentStyleInfo style = GetCurrentStyleInfo();
            ApplyTextStyleToField(style.styleBits, style.size, style.fontType, style.textColor, style.backColor,
                                  style.alignment);
        }
        MarkCardChanged();
        return true;
    }
    const LayerHandle selected = GetSelectedObject();
    {
        LayerLock<ObjectLayer> layer(selected);
        if (!layer || layer->kind != kObjectButton)
            return false;
    }
    EditButtonFont(window, selected);
    MarkCardChanged();
    return true;
}

bool ChooseButtonNameFont(HWND window, LOGFONTA* font, uint16_t* colorIndex, int* points) {
    const SavedTextStyle kept = SaveTextStyle();
    const CurrentStyleInfo& saved = kept.info;
    FontDialogResult result;
    result.font = *font;
    result.pointSize10 = PointsOfHeight(font->lfHeight) * 10;
    TextStyleLook look = saved;  // its back colour and alignment
    look.textColor = *colorIndex;
    look.styleBits = (font->lfWeight >= FW_BOLD ? 1 : 0) | (font->lfItalic ? 2 : 0) | (font->lfUnderline ? 4 : 0);
    DialogChoice choice{look};
    const bool chosen = RunFontDialog(window, result, choice);
    if (chosen) {
        *font = result.font;
        ApplyBits(*font, choice.styleBits);
        *colorIndex = choice.textColor;
        if (points)
            *points = result.pointSize10 > 0 ? result.pointSize10 / 10 : PointsOfHeight(font->lfHeight);
    }
    RestoreTextStyle(kept);
    return chosen;
}

void EditButtonFont(HWND window, LayerHandle button) {
    // Nothing but the chooser changes the card meanwhile; the button is found again afterwards
    // by its stack, card and id, and not written when any of them is gone.
    const EditorGuard guard;
    LOGFONTA font{};
    uint16_t color = 0, id = 0;
    {
        LayerLock<ButtonLayer> layer(button);
        if (!layer)
            return;
        font = layer->font;
        color = layer->colorIndex;
        id = layer->common.id;
    }
    const StackIdentity stack = CurrentStackIdentity();
    const uint16_t card = GetCurrentCardId();
    int points = 0;
    if (!ChooseButtonNameFont(window, &font, &color, &points))
        return;
    if (!IsCurrentStack(stack) || GetCurrentCardId() != card || !(button = FindLayer(kObjectButton, id)))
        return;
    {
        LayerLock<ButtonLayer> layer(button);
        if (layer) {
            layer->font = font;
            layer->colorIndex = color;
        }
    }
    const uint16_t number =
        FontNumberForFace(font.lfFaceName, font.lfCharSet, font.lfPitchAndFamily, static_cast<int16_t>(points));
    const uint16_t style = (font.lfWeight >= FW_BOLD ? 1 : 0) | (font.lfItalic ? 2 : 0) | (font.lfUnderline ? 4 : 0);
    SetObjectRecordWord(kObjectButton, id, kButtonFontNumber, number);
    SetObjectRecordWord(kObjectButton, id, kButtonStyle, style);
    SetObjectRecordWord(kObjectButton, id, kButtonFontSize, static_cast<uint16_t>(points));
    SetObjectRecordWord(kObjectButton, id, kButtonNameColor, static_cast<uint16_t>(color + 1));
    LayerLock<ObjectLayer> layer(button);
    if (layer && GetCardWindow())
        InvalidateRect(GetCardWindow(), &layer->bounds, FALSE);
}

void RunTextStyleCommand(HWND window) {
    // A field's style is taken from its window before the chooser and put back into it after:
    // nothing may rebuild the card between.
    const EditorGuard guard;
    if (!DoChooseFontCommand(window))
        RunTextStyleDialog(window);
}
