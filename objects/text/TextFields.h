// Text fields: one "LMText" child window of the card window for each text object of the card, a
// superclass of RichEdit 2.0 that is live in the browse and text tools and otherwise renders
// itself into the card.
//
//   TextFields_win.cpp        the text object record into its layer and its window (its fields
//                             read without Windows: ../ObjectLayerFields.h)
//   FieldContents_win.cpp     text entries into the window and back (FieldContents_win.h)
//   fonts/                    the stack font table and the Format menu's rules (below this)
//   CurrentTextStyle_win.cpp  the current text style, the Format menu and applying a style
//   FormatMenus_win.cpp       to the field being edited (CurrentTextStyle_win.h,
//   ApplyTextStyle_win.cpp    FormatMenus_win.h, ApplyTextStyle_win.h); the Text Style dialog
//                             is authoring's (authoring/text/TextStyleDialog_win.h)
//   TextFieldWindows_win.cpp  the class, making, moving, showing and clipping the windows, the
//                             style switches, the cursor
//   TextRequests_win.cpp      the RichEdit requests the rest of the program makes of a field
//   TextStreams_win.cpp       streaming out and in through memory and files
//   TextFieldDraw_win.cpp     drawing into the card and printing the client into a DC
//   TextFieldScroll_win.cpp   the smooth scroll of a field, vertical or as a marquee
//   WebAddress.cpp            finding a typed web address (WebAddress.h, no Windows)
//   ActiveTextField.h         the field being edited and the Edit menu's commands on it
//   FindText.h                Find Text
//   TextLinks.cpp             text links: the records, their matching (TextLinks.h, no Windows)
//   TextLinks_win.cpp         the link under a click, its flash (TextLinks_win.h)
// The window procedure lies in the host (host/window/TextFieldProc_win.cpp): it calls the
// modules, LoomLogo, the performer and the browser, all above this layer.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/memory/Handles.h"
#include "layers/ObjectLayer.h"
#include "objects/ObjectLayerFields.h"
#include "objects/text/WebAddress.h"

inline constexpr char kTextFieldClass[] = "LMText";

// ---- TextFields_win.cpp ----
// ReadFieldLayer is declared with the other kinds' readers (ObjectLayerKinds.h).
// The layer kinds' field window: made over the layer under construction, filled and shown.
void InitFieldWindowFromRecord(std::span<const uint8_t> record, LayerHandle layer, int show);
// The card's text and runs, or a disk-based field's file (FieldContents_win.cpp).
void FillFieldFromRecord(HWND window, std::span<const uint8_t> record);
// FieldRecordName, the text object's name, is with the record's other fields (ObjectLayerFields.h).

// ---- TextFieldWindows_win.cpp ----
// Loads RichEdit 2.0 and registers "LMText" over "RichEdit20A" with the given procedure; false
// when RichEdit's class is missing.
bool RegisterTextFieldClass(WNDPROC procedure);
// Unregisters the class once no field window is left (the procedure lives in this module).
void UnregisterTextFieldClass();
bool IsTextFieldClassRegistered();
// The "Rich Text Format" clipboard format; 0 before the registration.
UINT GetRichTextClipboardFormat();
// RichEdit's own procedure, for the messages the field does not take.
LRESULT CallRichEdit(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND CreateTextFieldWindow(HWND parent, LayerHandle layer);
void InitFieldWindow(std::span<const uint8_t> record, LayerHandle layer, bool show);
void MoveFieldWindow(LayerHandle layer);
void DestroyFieldWindow(FieldLayer* layer);
bool IsTextFieldWindow(HWND window);
// The layer kept in the window's extra word; 0 when none.
LayerHandle FieldLayerOfWindow(HWND window);
void SetFieldLayerOfWindow(HWND window, LayerHandle layer);
// Shown in the browse and text tools while objects are shown; hidden otherwise.
void ShowTextFieldWindows(bool show);
// While a transition brings in a part of the card: the card window clips its children out of
// its drawing, so a field window standing there would show whole before the wipe reached it.
// The shown field windows meeting the area (card coordinates) are hidden, leaving the screen as
// it is, and a field window made meanwhile is not shown yet; all of them show, and the keys go
// back where they were (to the last field made, as showing it would have given them), when the
// hold ends. The fields are drawn into the card meanwhile (DrawFieldLayer).
class TextFieldWindowsHeld {
public:
    explicit TextFieldWindowsHeld(const RECT& area);
    ~TextFieldWindowsHeld();
    TextFieldWindowsHeld(const TextFieldWindowsHeld&) = delete;
    TextFieldWindowsHeld& operator=(const TextFieldWindowsHeld&) = delete;
    // A field window made while held, which would have been shown (and given the keys).
    void Keep(HWND window, bool focus);

private:
    TextFieldWindowsHeld* outer_;
    std::vector<HWND> windows_;
    HWND focus_ = nullptr;
};
// The field windows meeting the rectangle get the region MakeFieldWindowRegion gives them, each
// only when it differs from the one it has (setting one redraws the window).
void ClipTextFieldWindows(const RECT& rect);
// What lies above the field (not other fields) cut out of its client rectangle; 0 when nothing.
HRGN MakeFieldWindowRegion(LayerHandle layer);
HCURSOR GetFieldCursor(HWND window);
void SetFieldScrollBar(HWND window, bool scrollBar, bool scrollable);
// The text laid out inside the window's client area, left of its scroll bar, whenever that
// area changes (RichEdit keeps the width the window had when it was made).
void FitFieldTextArea(HWND window);
void SetFieldBorder(HWND window, bool on);
void SetFieldTransparent(HWND window, bool on);
void SetFieldReadOnlyStyle(HWND window, bool on);
void RefreshFieldPalette(HWND window);
// EM_SETPALETTE with the card picture's palette, else the application's.
void GiveFieldPalette(HWND window);
// Read-only or disk based: the caret stays hidden.
bool FieldHidesCaret(const FieldLayer& field);

// ---- TextRequests_win.cpp ----
// Scope of the format requests: the selection, or all the text.
enum class TextScope { Selection, All };
bool TextHasSelection(HWND window);
void TextGetSel(HWND window, int32_t* start, int32_t* end);
void TextSetSel(HWND window, int32_t start, int32_t end, bool scroll);
void TextReplaceSel(HWND window, const char* text);
void TextHideSelection(HWND window, bool hide);
int32_t TextCharFromPos(HWND window, POINT point);
int32_t TextGetLength(HWND window);
void TextSetText(HWND window, const char* text);
void TextClear(HWND window);
void TextDeleteForward(HWND window);
void TextSetBackColor(HWND window, COLORREF color);
void TextSetAlignment(HWND window, int alignment);
int TextGetAlignment(HWND window);
void TextSetColor(HWND window, COLORREF color, TextScope scope);
COLORREF TextGetColor(HWND window, TextScope scope);
void TextSetSize(HWND window, int points, TextScope scope);
void TextSetSizePixels(HWND window, int pixels, TextScope scope);
int TextGetSize(HWND window, TextScope scope);
void TextSetFontName(HWND window, const char* face, TextScope scope);
std::string TextGetFontName(HWND window);
struct TextFontInfo {
    std::string face;
    BYTE charSet = 0;
    BYTE pitchAndFamily = 0;
};
TextFontInfo TextGetFontInfo(HWND window);
// Bits 1 bold, 2 italic, 4 underline.
void TextSetStyle(HWND window, int bits, TextScope scope);
int TextGetEffects(HWND window);
struct TextStyle {
    std::string face;
    int points = 12;
    int bits = 0;
    COLORREF color = 0;
};
// The current text style (the text appearance's, passed in until it is built here) to all the
// text, or as the format of what is typed next in an empty field.
void TextApplyCurrentStyle(HWND window, const TextStyle& style);
// The first character's format (the selection kept); false when it cannot be read.
bool TextFirstCharFormat(HWND window, CHARFORMAT2A* format);
// A new handle with the selected characters and a terminator; 0 when the selection is empty.
Handle TextGetSelectedText(HWND window);
// A new handle with the range's characters (the whole text when start equals end), no terminator.
Handle TextGetRangeHandle(HWND window, int32_t start, int32_t end);
// The range's characters, clamped to the text and to at most `limit` of them.
std::string TextGetRange(HWND window, int32_t start, int32_t end, int32_t limit);
// Twips and points and pixels at the screen's vertical resolution.
int PointsToPixels(int points);
int PixelsToPoints(int pixels);
int TwipsToPoints(int twips);

// ---- TextStreams_win.cpp ----
// A new movable global block with the field's rich text (the selection unless whole).
HGLOBAL TextStreamOutRtf(HWND window, bool whole);
HGLOBAL TextStreamOutPlain(HWND window, bool selectionOnly);
// The whole rich text of one field into another; false when streaming failed.
bool CopyFieldRichText(HWND from, HWND to);
// Plain text from an open file, from its start, replacing the field's text.
bool TextStreamInPlainFile(HWND window, HANDLE file);
// Rich text (SF_RTF with SFF_PLAINRTF) from an open file, from its start, replacing the text.
bool TextStreamInRtfFile(HWND window, HANDLE file);
// Rich or plain text from a block; the block is the caller's.
bool TextStreamInBlock(HWND window, HGLOBAL block, bool rtf, bool selection);

// ---- TextFieldDraw_win.cpp ----
// The layer kinds' field drawing into the card context.
void DrawFieldLayer(HDC cardDC, LayerHandle layer);
// WM_PRINTCLIENT: the field's text formatted into the context at the client's place.
void RenderFieldInto(HWND window, HDC dc);
// RichEdit's own painting of the client into the context at (x, y); keyed: its background
// left out, so that what the context holds shows through (RichEdits that paint the background
// of a transparent window).
void PrintRichEditClient(HWND window, HDC dc, int x, int y, bool keyed);
// WM_PAINT of a transparent field: the card offscreen under it, then its text; false for an
// opaque field, which RichEdit paints.
bool PaintTransparentField(HWND window, HDC dc);
// WM_PRINT of the frame: the one-pixel border of a framed field (RichEdits that print no
// frame of their own get it this way).
void PrintFieldFrame(HWND window, HDC dc);
// WM_PRINT of the scroll bar: a bar and its two arrows where the field has one (RichEdits that
// print no scroll bar of their own leave the new bitmap's black there).
void PrintFieldScrollBar(HWND window, HDC dc);

// ---- TextFieldScroll_win.cpp ----
// mode 2 begins, 0 steps by delta, others end; true when done (the end reached).
bool ScrollTextField(HWND window, int delta, int mode, bool vertical, bool byHalfCharacter);
bool ScrollFieldLineDown(HWND window, bool go);
