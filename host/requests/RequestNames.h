// The names request 71 hands out: the button performed last (kept by the performer), the text
// and graphic objects whose actions request 180 performed last, and the text of the text link
// performed last. Each is a length-prefixed copy of at most 31 characters in a 32-byte buffer.
#pragma once

#include <string_view>

inline constexpr int kPerformedText = 1;     // kind indexes of the object reference
inline constexpr int kPerformedGraphic = 2;

void KeepPerformedObjectName(int kindIndex, std::string_view name);
void KeepPerformedLinkText(std::string_view text);
