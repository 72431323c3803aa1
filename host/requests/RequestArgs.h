// What the request handlers share to read their callers' arguments: pointers handed in the
// block, caller text read within fixed bounds, and the names of objects and cards.
//
//   RequestArgs_win.cpp   caller text and names
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "actions/NbaInterface.h"
#include "core/memory/Handles.h"
#include "stack/cards/ObjectScan.h"  // ObjectNameField

// A pointer handed in a 32-bit field of the block (the plug-in is a 32-bit library).
template <class T>
T* CallerPointer(uint32_t value) {
    return reinterpret_cast<T*>(static_cast<uintptr_t>(value));
}
template <class T>
uint32_t BlockValue(T* pointer) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// Handles a module may free or resize: those it made (request 15) or was handed as its own (a
// field's text, a packed entry, an imported file, a script). The stack's header, its card list
// and records, and every other handle of the host are refused. The handle, or 0.
inline Handle ModulesOwnHandle(uint32_t value) {
    const auto h = static_cast<Handle>(value);
    return IsValidHandle(h) && GetHandleOwner(h) == HandleOwner::kModule ? h : 0;
}
// A handle made for the module, now its own; the handle.
inline Handle GiveToModule(Handle h) {
    if (h)
        SetHandleOwner(h, HandleOwner::kModule);
    return h;
}

// A length-prefixed string of at most 255 characters.
using NameBuffer = std::array<uint8_t, 256>;

// The name at a caller's pointer: length-prefixed when its first byte is below 32, else
// NUL-terminated and read up to 255 bytes; spaces and control characters at both ends trimmed.
// False (and an empty name) for a null pointer.
bool ReadCallerName(uint32_t pointer, NameBuffer* name);
// The length-prefixed string at a caller's pointer, cut at `most` characters.
bool ReadCallerPString(uint32_t pointer, size_t most, NameBuffer* text);
// The NUL-terminated text at a caller's pointer, read up to `most` characters; false when the
// pointer is null or no NUL comes within them.
bool ReadCallerCString(uint32_t pointer, size_t most, std::string* text);
// Equal names ignoring ASCII case, each trimmed as ReadCallerName trims.
bool NamesMatch(const uint8_t* stored, size_t storedRoom, const NameBuffer& wanted);

// The object record at offset of a card record, when offset is where one of its objects begins
// (found by walking them); its kind, length and flags come with it.
bool IsObjectBoundary(Handle record, uint32_t offset, uint16_t* kind = nullptr, uint32_t* length = nullptr);
// The kind of an object kind index (0 button, 1 text object, 2 graphic object); 0 for others.
uint16_t ObjectKindOfIndex(uint32_t kindIndex);
// The kind index of an object kind, -1 for others.
int ObjectIndexOfKind(uint16_t kind);
// A card record handle of the card list (deleted ones too); false for anything else.
bool IsCardInList(Handle record);

// ---- RequestObjectRef_win.cpp ----
// The redraw after a request changed the object ResolveObjectRef found (the block holds its
// results, and [62], [66] the transition and speed of update mode 2).
void UpdateResolvedObject(NbaParamBlock& b);

// ---- RequestsObjects_win.cpp ----
// The name (length-prefixed) of the object of a kind index (0 to 2) performed last: the last
// button's, and the text or graphic object's that request 180 performed; null for others.
const uint8_t* LastPerformedObjectName(int kindIndex);
// The update state of requests 152, 170 and 171 (1 or 2; on while suppressed).
int RequestUpdateMode();
bool RequestUpdatesSuppressed();
