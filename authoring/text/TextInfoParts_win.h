// What the parts of the Text Appearance dialog share: TextInfoDialog_win.cpp the dialog itself,
// TextInfoWrite_win.cpp what it writes into a new object's record or an existing field, and
// TextInfoCommands_win.cpp the commands that run it (NewTextObject.h). Private to them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "authoring/text/NewTextObject.h"
#include "format/StackFile.h"
#include "layers/LayerList.h"
#include "objects/text/TextFields.h"

namespace text_info {

// The dialog's items.
enum : int {
    kTextGrid = 50, kBackGrid = 51, kStyleButton = 52, kPreviewBox = 53, kNameEdit = 54, kScrollBarBox = 55,
    kScrollableBox = 56, kDiskBasedBox = 57, kReadOnlyBox = 58, kFrameBox = 59, kGetFileButton = 60,
    kFeaturesButton = 61, kActionsButton = 63,
};
constexpr size_t kNameMax = kTextNameBytes - 1;

// What one appearance leaves for the next, kept between openings: the appearance last edited or
// made (a new object's placing shows its options and background, and the next new object takes
// its cursor), whether a new object has taken the current style's background yet, and how many
// stacks have closed (a stack closed under a dialog takes its own cursor from that dialog too).
struct KeptAppearance {
    TextAppearance last;
    bool styleTaken = false;
    unsigned stacksClosed = 0;
};
extern KeptAppearance g_kept;  // TextInfoDialog_win.cpp

// The dialog's own state across the reopenings after Actions..., handed to each opening with
// the appearance it edits, which its caller owns.
struct DialogPass {
    TextAppearance& state;
    unsigned stacksClosed = 0;   // as counted when the dialog first opened
    bool reopened = false;
    bool actionsCancelled = false;
    HGLOBAL keptText = nullptr;  // the preview's rich text while the actions dialog runs
    std::string droppedFile;     // a text file dropped for a new object
    LayerName subject = {};      // an existing object, found again after each dialog over this one
};

// ---- TextInfoDialog_win.cpp ----
TextAppearance& StateOf(HWND dialog);
// A palette index as a colour the preview and the fields take.
COLORREF ColorOf(uint16_t index);
// The window of a text object's layer; null without one.
HWND FieldWindow(LayerHandle field);
bool IsNewObject(const TextAppearance& s);
// The current text style's face, size, type, style bits, colour and alignment into s.
void TakeCurrentStyle(TextAppearance& s);
void FreePendingActions(TextAppearance& s);
// The appearance's face, size, text colour and style bits as fields take them.
TextStyle AppearanceStyle(const TextAppearance& s);
// A cursor of the stack's own (not built in) is dropped.
void ForgetOwnCursor(TextAppearance& s);
// After a dialog over this one: an existing object's layer found again, or a new one's card
// still the current one; otherwise a word that the edit is dropped.
bool FoundAgain(DialogPass& pass, HWND owner);
void Cancel(HWND dialog);
INT_PTR CALLBACK TextInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// ---- TextInfoWrite_win.cpp ----
// OK on a new object: its record made from the appearance and placed on the card.
void CreateTextObjectFromInfo(HWND dialog);
// OK on an existing object: the appearance written into its record, layer and window.
void ApplyTextInfoToField(HWND dialog);
int RestyleField(HWND window, LayerHandle field, TextAppearance& s);
// The rich edit class of the preview, loaded with the first opening and kept.
void LoadRichEditClass();

}  // namespace text_info
