// New text objects and their appearance: placing the rectangle of a new one on the card, the
// Text Appearance dialog ("TEXTINFO") that makes it or edits an existing one, and the Style...
// and Actions... commands of a selected text object.
//
//   NewTextPlacing_win.cpp   the sample text, the pending field file, placing and its frame
//   TextInfoDialog_win.cpp   the appearance kept from the last opening, the dialog, making and
//                            changing the object, the commands
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "core/memory/Handles.h"
#include "layers/ObjectLayer.h"
#include "objects/text/TextFields.h"

// ---- NewTextPlacing_win.cpp ----
// String 4122, shown in the preview of a new object (at most 79 characters).
void LoadSampleText();
const std::string& GetSampleText();

// Asks where (alert 2370), then shows a temporary field of half the client's size at the point,
// or a quarter in when there is none; the new object's preview then shows the text file dropped
// for it (null or "" for none). 1 when placing has begun.
int BeginNewTextField(HWND window, const POINT* at, const char* file);
// Each gives 1 while placing (NewTextFieldMouseUp: when the field was fixed or collapsed).
int NewTextFieldMouseDown(HWND window, int x, int y);
int NewTextFieldMouseMove(HWND window, int x, int y);
int NewTextFieldMouseUp(HWND window);
// Arrows move the placed rectangle by the arrow-key step; nonzero when it moved.
int NudgePlacedTextField(WPARAM key, bool shiftLatch);
// The periodic tick's dashed frame around the placed rectangle while no drag is under way.
void DrawPlacedTextFieldFrame(HWND window, int phase);
bool IsPlacedTextFieldShown();  // placing and no drag
bool IsPlacingTextField();
// The rectangle being placed (empty when not placing) and its temporary layer.
RECT PlacedTextFieldRect();
LayerHandle PlacedTextFieldLayer();
void CancelPlacedTextField(HWND window);

// ---- TextInfoDialog_win.cpp ----
// A text object's appearance as the dialog and the commands fill and read it: each opening
// works on its caller's own.
struct TextAppearance {
    uint16_t options = 9;      // TextOptions
    uint16_t objectFlags = 0;  // as the record's flags
    uint16_t actionId = 0;
    uint16_t objectId = 0;
    uint16_t textColor = 0;  // palette indexes
    uint16_t backColor = 1;
    int alignment = 0;
    std::string face;
    int size = 12;  // points
    int fontType = 0;
    int styleBits = 0;
    uint16_t cursorId = 0;
    std::string name;  // at most 15 characters
    RECT rect = {};    // a new object's
    LayerHandle field = nullptr;  // the layer edited; none for a new object
    Handle pendingActions = 0;
    bool textColorChanged = false, backColorChanged = false, styleChanged = false, actionsChanged = false;
    bool fileLoaded = false;
    std::string file;  // the text file the preview was loaded from; a disk-based object reads it
};
// The appearance the last dialog or Style... left: a new object's placing shows its options and
// background, and the next new object takes its cursor.
const TextAppearance& LastTextAppearance();
// The appearance of a new object of the rectangle: options 9, a fresh id, the current style,
// the cursor last used.
TextAppearance NewObjectAppearance(const RECT& rect);
// The stack closes: a cursor of its own, kept for the next new object, names nothing (or
// another cursor) in the stack opened next; the built-in cursors stay.
void ForgetStackTextCursor();
// The appearance loaded from the layer and its record, then the dialog. 1 OK, 2 Cancel.
int EditTextObjectAppearance(HWND window, LayerHandle field);
// The dialog over the appearance (again after each Actions...), a new object's preview showing
// the dropped text file (null or "" for none); the appearance is kept as the last one after
// it. 1 OK, 2 Cancel.
int RunTextInfoDialog(HWND window, TextAppearance& appearance, const char* droppedFile);
// The commands of a selected text object; each 1 when something changed.
int EditTextObjectStyle(HWND window, LayerHandle field);
int EditTextObjectActions(LayerHandle field);
// The object features dialog on a text object's flags and cursor; 1 when changed.
int EditTextObjectFeatures(HWND window, LayerHandle field);
