// Mac Roman text: conversion to and from the Windows character set (code page 1252), the
// character classes and case mappings of text fields, LoomLogo and the spelling checker, and
// the case-insensitive comparisons.
//
// Stack text is Mac Roman. Bytes 0-127 are the same in both sets; bytes 128-255 go through one
// 128-entry table that is a permutation of 128-255, so a conversion there and back is exact.
// Byte arguments are unsigned; length-prefixed strings are a length byte and that many bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Character set (MacText.cpp). Both convert count bytes in place.
void MacToAnsi(uint8_t* buffer, size_t count);
void AnsiToMac(uint8_t* buffer, size_t count);
inline void MacToAnsi(char* buffer, size_t count) { MacToAnsi(reinterpret_cast<uint8_t*>(buffer), count); }
inline void AnsiToMac(char* buffer, size_t count) { AnsiToMac(reinterpret_cast<uint8_t*>(buffer), count); }
uint8_t MacToAnsiChar(uint8_t mac);
uint8_t AnsiToMacChar(uint8_t ansi);

// Character classes (MacText.cpp).
bool IsAlnumMac(uint8_t c);       // every byte from 128 counts as a letter or digit
bool IsLogoSpace(uint8_t c);      // ASCII white space, and 0xCA (Mac non-breaking space)
bool IsPrintableChar(uint8_t c);  // Windows-1252 letter or digit, or ASCII printable

// Only A-Z folded to a-z; every other byte as it is.
constexpr uint8_t AsciiToLower(uint8_t c) { return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c; }

// Case mappings on Mac Roman bytes (MacText.cpp). ASCII rules below 128.
uint8_t CharToUpperNoAccent(uint8_t c);
uint8_t CharToLower(uint8_t c);
uint8_t CharToUpper(uint8_t c);
char* StrToUpperNoAccent(char* s);  // in place; returns s (null and "" unchanged)
char* StrToUpper(char* s);

// Comparisons (TextCompare.cpp). A null string compares as an empty one.
// Characters mapped with CharToUpperNoAccent, the first difference decided by the mapped bytes
// taken as signed 8-bit numbers (so bytes from 128 sort before ASCII); -1, 0 or 1.
int PStrCompareNoCase(const uint8_t* a, const uint8_t* b);
int StrCmpNoCase(const char* a, const char* b);
// Equal lengths and equal bytes with only A-Z folded to a-z. Two empty strings are equal.
bool EqualAsciiNoCase(std::string_view a, std::string_view b);
bool EqualPStrNoCase(const uint8_t* a, const uint8_t* b);
