// The Edit menu on the active field: its nouns, Cut, Copy, Clear and Paste.
#include <algorithm>
#include <cstring>
#include <string>

#include "core/system/ChangeFlags.h"
#include "core/ui/Resources.h"
#include "objects/text/ActiveTextField.h"
#include "stack/clipboard/Clipboard.h"

namespace {

bool PutNoun(char* noun, size_t size, bool named) {
    if (!noun || !size)
        return false;
    noun[0] = '\0';
    if (!named)
        return false;
    const std::string text = ResText(kStringTextNoun);
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(noun, text.data(), n);
    noun[n] = '\0';
    return true;
}

bool ClipboardHoldsText() {
    const UINT rtf = GetRichTextClipboardFormat();
    return IsClipboardFormatAvailable(CF_TEXT) || (rtf && IsClipboardFormatAvailable(rtf));
}

// The selection's rich text under "Rich Text Format", on a clipboard emptied first; a block that
// cannot be had or handed over leaves that format out.
void PutSelectionOnClipboard(HWND owner, HWND field) {
    ClearClipboard();
    HGLOBAL block = TextStreamOutRtf(field, false);
    const UINT rtf = GetRichTextClipboardFormat();
    if (block && rtf && OpenClipboard(owner)) {
        if (SetClipboardData(rtf, block))
            block = nullptr;  // the clipboard's now
        CloseClipboard();
    }
    if (block)
        GlobalFree(block);
}

}  // namespace

bool GetFieldEditNoun(char* noun, size_t size) { return PutNoun(noun, size, ActiveFieldHasSelection() != 0); }

bool GetPasteTextNoun(char* noun, size_t size) {
    return PutNoun(noun, size, ActiveFieldWindow() && ClipboardHoldsText());
}

bool TextFieldEditCommand(HWND window, int command) {
    HWND field = ActiveFieldWindow();
    if (!field)
        return false;
    switch (command) {
    case 151:
    case 152:
        PutSelectionOnClipboard(window ? window : GetParent(field), field);
        SendMessageA(field, command == 151 ? WM_CUT : WM_COPY, 0, 0);
        break;
    case 154: TextDeleteForward(field); break;
    default: return false;
    }
    MarkFieldModified(GetActiveTextField());
    if (command != 152)
        MarkCardChanged();
    return true;
}

bool TextFieldPaste(HWND) {
    HWND field = ActiveFieldWindow();
    if (!field)
        return false;
    const UINT rtf = GetRichTextClipboardFormat();
    if (rtf && IsClipboardFormatAvailable(rtf)) {
        REPASTESPECIAL special = {};
        SendMessageA(field, EM_PASTESPECIAL, rtf, reinterpret_cast<LPARAM>(&special));
    } else if (IsClipboardFormatAvailable(CF_TEXT)) {
        SendMessageA(field, WM_PASTE, 0, 0);
    } else {
        return false;
    }
    // Without the mark the pasted text would be lost when the card is left.
    MarkFieldModified(GetActiveTextField());
    MarkCardChanged();
    return true;
}
