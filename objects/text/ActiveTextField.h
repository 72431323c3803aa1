// The text field being edited (the layer list keeps it: GetActiveTextField) and what the Edit and
// File menus do with it; the field windows are objects/text/TextFields.h. Every command here
// does nothing without an active field.
//
//   ActiveTextField_win.cpp  its selection, its id, the current field name, ending its editing
//   FieldEditing_win.cpp     the menus' nouns, Cut, Copy, Clear and Paste, colours
//   FieldImport_win.cpp      importing a text or RTF file into it, exporting its text
// Typing on the card into the field lies in the host (host/window/FieldTyping.h): it keeps the
// modules' request block around the field's window procedure.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "layers/ObjectLayer.h"
#include "objects/text/TextFields.h"

inline constexpr uint32_t kStringTextNoun = 4046;       // "text"
inline constexpr uint32_t kStringSelectTextFile = 2408;  // "Please select a text file"

// ---- ActiveTextField_win.cpp ----
// Nonzero when the active field's selection is not empty.
int ActiveFieldHasSelection();
// The active field's object id; else the selected object's of any kind; else 0.
uint16_t GetActiveFieldId();
// The active field's window; null when there is none or it has no window.
HWND ActiveFieldWindow();
// The current field name (length-prefixed): the name of the field last activated, read by the
// actions performed from a field and the host requests. From the layer's text object record,
// or as given.
void SetCurrentFieldName(LayerHandle field);
void SetCurrentFieldName(const std::string& name);
const std::string& GetCurrentFieldName();
// The field's editing ends: its selection is hidden and, when it is the active field, there is
// none any more. Its text goes to the record later, with the card's fields.
void EndTextEditing(LayerHandle field);
// Sets the field's modified mark, so that its text reaches the record.
void MarkFieldModified(LayerHandle field);

// ---- FieldEditing_win.cpp ----
// "text" into the buffer (at most size - 1 characters) when the active field has a selection,
// for Cut, Copy and Clear; false and an empty buffer otherwise.
bool GetFieldEditNoun(char* noun, size_t size);
// "text" for Paste when there is an active field and the clipboard holds rich or plain text.
bool GetPasteTextNoun(char* noun, size_t size);
// 151 Cut, 152 Copy (the selection as rich text on the cleared clipboard, then the field's own
// formats), 154 Clear (the selection, or the character after the caret). The field is marked
// modified; Cut and Clear mark the card changed. False without an active field.
bool TextFieldEditCommand(HWND window, int command);
// Rich text when the clipboard offers it, else plain text, into the active field; the field
// and the card are marked changed. False when nothing was pasted.
bool TextFieldPaste(HWND window);

// ---- FieldImport_win.cpp ----
// Imports the file at the path (asked for first when null) into the active field: rich text
// when it begins "{\rtf", else plain text replacing the whole text. 1 for an RTF import, else
// 0. The field and the card are marked changed either way.
int ImportTextIntoField(HWND window, const char* path);
// The Open dialog for a text, plain or rich, starting from file-spec slot 3's file, which keeps
// the choice; true when a file that opens was chosen, its path then in `path` (size bytes).
bool AskTextFileToImport(HWND window, char* path, size_t size);
// Whether the open file's first five bytes are exactly "{\rtf"; its position is kept.
bool IsRtfFile(HANDLE file);
// The rich text of the open file, kept only as far as style runs hold it (faces, sizes, fonts,
// colours); paragraph formats are dropped.
int ImportRtfFileToField(HWND window, HANDLE file);
// The active field's selection, or its whole text when none is selected, as plain text into a
// file named in the save dialog.
void ExportFieldText(HWND window);
