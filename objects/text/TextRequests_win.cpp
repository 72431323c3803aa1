// The RichEdit requests the program makes of a field window: selection, text, paragraph and
// character format, text ranges. Sizes go to RichEdit in twips.
#include <richedit.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/ui/GdiGuards.h"
#include "objects/text/TextFields.h"

namespace {

constexpr int kTwipsPerPoint = 20;

// Hides the selection and keeps it; both come back at the end of the scope.
class KeptSelection {
public:
    explicit KeptSelection(HWND window) : window_(window) {
        SendMessageA(window_, EM_HIDESELECTION, TRUE, 0);
        SendMessageA(window_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range_));
    }
    ~KeptSelection() {
        SendMessageA(window_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range_));
        SendMessageA(window_, EM_HIDESELECTION, FALSE, 0);
    }
    KeptSelection(const KeptSelection&) = delete;
    KeptSelection& operator=(const KeptSelection&) = delete;

private:
    HWND window_;
    CHARRANGE range_ = {};
};

WPARAM ScopeFlag(TextScope scope) { return scope == TextScope::All ? SCF_ALL : SCF_SELECTION; }

CHARFORMAT2A Format(DWORD mask) {
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    format.dwMask = mask;
    return format;
}

CHARFORMAT2A GetFormat(HWND window, DWORD mask) {
    CHARFORMAT2A format = Format(mask);
    SendMessageA(window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

void SetFormat(HWND window, const CHARFORMAT2A& format, TextScope scope) {
    SendMessageA(window, EM_SETCHARFORMAT, ScopeFlag(scope), reinterpret_cast<LPARAM>(&format));
}

int VerticalDpi() {
    WindowDC screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    return dpi > 0 ? dpi : 96;
}

}  // namespace

int PointsToPixels(int points) { return static_cast<int>(points * VerticalDpi() * 0.013888889 + 0.5); }
int PixelsToPoints(int pixels) { return static_cast<int>(std::abs(pixels) * 72.0 / VerticalDpi() + 0.5); }
// (twips + 5) / 10 is tenths of a point... halved and rounded to the nearest point.
int TwipsToPoints(int twips) { return ((twips + 5) / 10 + 1) / 2; }

bool TextHasSelection(HWND window) {
    CHARRANGE range = {};
    SendMessageA(window, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMin != range.cpMax;
}

void TextGetSel(HWND window, int32_t* start, int32_t* end) {
    CHARRANGE range = {};
    SendMessageA(window, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const int32_t length = TextGetLength(window);
    if (start)
        *start = range.cpMin;
    if (end)
        *end = range.cpMax < 0 || range.cpMax > length ? length : range.cpMax;
}

void TextSetSel(HWND window, int32_t start, int32_t end, bool scroll) {
    CHARRANGE range = {start, end};
    SendMessageA(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (scroll)
        SendMessageA(window, EM_SCROLLCARET, 0, 0);
}

void TextReplaceSel(HWND window, const char* text) {
    SendMessageA(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text ? text : ""));
}

void TextHideSelection(HWND window, bool hide) { SendMessageA(window, EM_HIDESELECTION, hide, 0); }

int32_t TextCharFromPos(HWND window, POINT point) {
    return static_cast<int32_t>(SendMessageA(window, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&point)));
}

int32_t TextGetLength(HWND window) { return static_cast<int32_t>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0)); }

void TextSetText(HWND window, const char* text) {
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
}

void TextClear(HWND window) {
    const bool readOnly = (GetWindowLongA(window, GWL_STYLE) & ES_READONLY) != 0;
    if (readOnly)
        SendMessageA(window, EM_SETREADONLY, FALSE, 0);
    SendMessageA(window, WM_CLEAR, 0, 0);
    if (readOnly)
        SendMessageA(window, EM_SETREADONLY, TRUE, 0);
}

void TextDeleteForward(HWND window) {
    if (TextHasSelection(window))
        SendMessageA(window, WM_CLEAR, 0, 0);
    else
        SendMessageA(window, WM_KEYDOWN, VK_DELETE, 0);
}

void TextSetBackColor(HWND window, COLORREF color) { SendMessageA(window, EM_SETBKGNDCOLOR, 0, color); }

void TextSetAlignment(HWND window, int alignment) {
    if (TextGetAlignment(window) == alignment)
        return;
    PARAFORMAT2 format = {};
    format.cbSize = sizeof format;
    format.dwMask = PFM_ALIGNMENT;
    format.wAlignment = alignment == -1 ? PFA_RIGHT : alignment == 1 ? PFA_CENTER : PFA_LEFT;
    KeptSelection kept(window);
    TextSetSel(window, 0, -1, false);
    SendMessageA(window, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

int TextGetAlignment(HWND window) {
    PARAFORMAT2 format = {};
    format.cbSize = sizeof format;
    format.dwMask = PFM_ALIGNMENT;
    SendMessageA(window, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
    return format.wAlignment == PFA_RIGHT ? -1 : format.wAlignment == PFA_CENTER ? 1 : 0;
}

void TextSetColor(HWND window, COLORREF color, TextScope scope) {
    CHARFORMAT2A format = Format(CFM_COLOR);
    format.crTextColor = color & 0x00FFFFFF;
    SetFormat(window, format, scope);
}

bool TextFirstCharFormat(HWND window, CHARFORMAT2A* format) {
    if (!format)
        return false;
    KeptSelection kept(window);
    TextSetSel(window, 0, 1, false);
    *format = GetFormat(window, CFM_ALL2);
    return true;
}

COLORREF TextGetColor(HWND window, TextScope scope) {
    if (scope == TextScope::Selection && !TextHasSelection(window) && TextGetLength(window) > 0) {
        CHARFORMAT2A first;
        TextFirstCharFormat(window, &first);
        return first.crTextColor;
    }
    if (scope == TextScope::All) {
        KeptSelection kept(window);
        TextSetSel(window, 0, -1, false);
        return GetFormat(window, CFM_COLOR).crTextColor;
    }
    return GetFormat(window, CFM_COLOR).crTextColor;
}

void TextSetSize(HWND window, int points, TextScope scope) {
    CHARFORMAT2A format = Format(CFM_SIZE);
    format.yHeight = points * kTwipsPerPoint;
    SetFormat(window, format, scope);
}

void TextSetSizePixels(HWND window, int pixels, TextScope scope) { TextSetSize(window, PixelsToPoints(pixels), scope); }

int TextGetSize(HWND window, TextScope scope) {
    if (scope == TextScope::All) {
        KeptSelection kept(window);
        TextSetSel(window, 0, -1, false);
        return TwipsToPoints(GetFormat(window, CFM_SIZE).yHeight);
    }
    return TwipsToPoints(GetFormat(window, CFM_SIZE).yHeight);
}

void TextSetFontName(HWND window, const char* face, TextScope scope) {
    CHARFORMAT2A format = Format(CFM_FACE);
    lstrcpynA(format.szFaceName, face ? face : "", LF_FACESIZE);
    SetFormat(window, format, scope);
}

std::string TextGetFontName(HWND window) { return GetFormat(window, CFM_FACE).szFaceName; }

TextFontInfo TextGetFontInfo(HWND window) {
    const CHARFORMAT2A format = GetFormat(window, CFM_FACE | CFM_CHARSET);
    return {format.szFaceName, format.bCharSet, format.bPitchAndFamily};
}

void TextSetStyle(HWND window, int bits, TextScope scope) {
    CHARFORMAT2A format = Format(CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE);
    format.dwEffects = ((bits & 1) ? CFE_BOLD : 0) | ((bits & 2) ? CFE_ITALIC : 0) | ((bits & 4) ? CFE_UNDERLINE : 0);
    SetFormat(window, format, scope);
}

int TextGetEffects(HWND window) {
    const CHARFORMAT2A format = GetFormat(window, CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE);
    return ((format.dwEffects & CFE_BOLD) ? 1 : 0) | ((format.dwEffects & CFE_ITALIC) ? 2 : 0) |
           ((format.dwEffects & CFE_UNDERLINE) ? 4 : 0);
}

void TextApplyCurrentStyle(HWND window, const TextStyle& style) {
    CHARFORMAT2A format = Format(CFM_SIZE | CFM_FACE | CFM_COLOR | CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE);
    format.yHeight = style.points * kTwipsPerPoint;
    lstrcpynA(format.szFaceName, style.face.c_str(), LF_FACESIZE);
    format.crTextColor = style.color & 0x00FFFFFF;
    format.dwEffects = ((style.bits & 1) ? CFE_BOLD : 0) | ((style.bits & 2) ? CFE_ITALIC : 0) |
                       ((style.bits & 4) ? CFE_UNDERLINE : 0);
    // An empty field takes it as the format of what is typed next.
    SendMessageA(window, EM_SETCHARFORMAT, TextGetLength(window) > 0 ? SCF_ALL : SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&format));
}

std::string TextGetRange(HWND window, int32_t start, int32_t end, int32_t limit) {
    const int32_t length = TextGetLength(window);
    if (end < 0 || end > length)
        end = length;
    start = std::clamp(start, 0, length);
    if (end < start)
        std::swap(start, end);
    if (limit >= 0 && end - start > limit)
        end = start + limit;
    if (end <= start)
        return {};
    std::vector<char> buffer(static_cast<size_t>(end - start) + 1, '\0');
    TEXTRANGEA range = {{start, end}, buffer.data()};
    const LRESULT got = SendMessageA(window, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
    return std::string(buffer.data(), static_cast<size_t>(std::clamp<LRESULT>(got, 0, end - start)));
}

Handle TextGetSelectedText(HWND window) {
    CHARRANGE range = {};
    SendMessageA(window, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMin == range.cpMax)
        return 0;
    const std::string text = TextGetRange(window, range.cpMin, range.cpMax, -1);
    std::vector<uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return NewHandleFromBytes(bytes);
}

Handle TextGetRangeHandle(HWND window, int32_t start, int32_t end) {
    const std::string text = start == end ? TextGetRange(window, 0, -1, -1) : TextGetRange(window, start, end, -1);
    return NewHandleFromBytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
}
