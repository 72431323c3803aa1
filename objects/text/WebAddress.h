// Finding a web address just typed into a text field (no Windows: WebAddress.cpp).
#pragma once

#include <string>
#include <string_view>

// At most this many characters before the caret are looked at.
inline constexpr int kWebAddressLookBack = 255;

// The word of a typed web address ending the range (the characters before the caret), or
// empty: the word begins after the last white space, '<', '"' or ';' (the first character is
// never a stop) and must begin with "www.", "http:", "ftp.", "ftp:" or "mailto:", any case.
std::string FindWebAddressWord(std::string_view range);
// Space, tab, line feed, vertical tab, form feed, carriage return.
bool IsWhiteSpaceCharacter(unsigned character);
