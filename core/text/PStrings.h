// String operations: length-prefixed strings (a length byte and at most 255 characters, no
// terminator unless an operation says so), NUL-terminated strings and hexadecimal digits.
// Mac Roman conversion, case mappings and comparisons are in core/text/MacText.h.
#pragma once

#include <cstddef>
#include <cstdint>

using Str255 = uint8_t[256];

// Length-prefixed strings (PStrings.cpp). Destinations hold 256 bytes unless stated otherwise.
void PStrCopy(const uint8_t* source, uint8_t* destination);
void PStrAssign(uint8_t* destination, const uint8_t* source);
// Copies only when the source's length is below maximum (the destination's size in bytes);
// otherwise leaves the destination untouched. True when it copied.
bool PStrCopyMax(const uint8_t* source, uint8_t* destination, size_t maximum);
// Appends as much of the source as keeps the result within 255 characters.
void PStrAppend(uint8_t* destination, const uint8_t* source);
char* PStrToCStr(uint8_t* s);   // in place; returns s as a C string
uint8_t* CStrToPStr(char* s);   // in place; text past 255 characters is dropped
void TrimPStr(uint8_t* s);      // drops leading and trailing blanks unless it is all blanks
// Rewrites length bytes of text in place: backslash r -> 13, backslash n -> 10, backslash x
// -> x; a backslash at the end ends the text. Returns the new length. UnescapePStrings and
// UnescapeCStrings (core/text/StringRuns.h) run it over whole arrays of strings.
size_t UnescapeText(uint8_t* text, size_t length);
// Each escape shortens the length by one. A NUL follows the result when it fits in the
// string's 256 bytes. Null entries are skipped.
void UnescapePStrings(uint8_t* const* strings, int count);

// NUL-terminated strings and hexadecimal digits (CStrings.cpp).
char* StrRemoveChar(char* s, char c);  // every occurrence, in place; returns s
char* StrRemoveAmpersands(char* s);    // menu texts
void StrAppendChar(char* s, char c);
// Appends only when length + 1 is below bufferSize; returns s.
char* StrAppendCharMax(char* s, char c, size_t bufferSize);
// A new heap string (free with std::free) holding a then b; with one of them null a copy of
// the other; null when both are null or memory runs out.
char* StrConcatAlloc(const char* a, const char* b);
int HexDigitValue(char c);  // 0-15, or -1 for a character that is no hexadecimal digit
char HexDigitChar(int value);  // '0'-'9', 'A'-'F' for the low 4 bits

// Windows only (CStrings_win.cpp): a new heap string (free with std::free) converted to the
// ANSI code page; null when the conversion or the allocation fails.
char* WideToAnsiDup(const wchar_t* s);
