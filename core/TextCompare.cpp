// Case-insensitive comparisons of Mac Roman strings (card and object names, sorting, LoomLogo).
#include "core/MacText.h"

namespace {

constexpr uint8_t kEmpty[1] = {0};

const uint8_t* OrEmpty(const uint8_t* p) { return p ? p : kEmpty; }

// The first difference decides by the mapped bytes taken as signed, so every byte from 128
// sorts before the ASCII characters.
int OrderOfMapped(uint8_t a, uint8_t b) {
    return static_cast<int8_t>(CharToUpperNoAccent(a)) < static_cast<int8_t>(CharToUpperNoAccent(b)) ? -1 : 1;
}

constexpr uint8_t FoldAsciiLetter(uint8_t c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<uint8_t>(c + 32) : c;
}

}  // namespace

int PStrCompareNoCase(const uint8_t* a, const uint8_t* b) {
    a = OrEmpty(a);
    b = OrEmpty(b);
    const int lengthA = a[0];
    const int lengthB = b[0];
    const int shorter = lengthA < lengthB ? lengthA : lengthB;
    for (int i = 1; i <= shorter; ++i)
        if (CharToUpperNoAccent(a[i]) != CharToUpperNoAccent(b[i]))
            return OrderOfMapped(a[i], b[i]);
    if (lengthA == lengthB)
        return 0;
    return lengthA < lengthB ? -1 : 1;
}

int StrCmpNoCase(const char* a, const char* b) {
    const auto* pa = reinterpret_cast<const uint8_t*>(a ? a : "");
    const auto* pb = reinterpret_cast<const uint8_t*>(b ? b : "");
    for (;; ++pa, ++pb) {
        if (*pa == 0)
            return *pb == 0 ? 0 : -1;
        if (*pb == 0)
            return 1;
        if (CharToUpperNoAccent(*pa) != CharToUpperNoAccent(*pb))
            return OrderOfMapped(*pa, *pb);
    }
}

bool EqualPStrNoCase(const uint8_t* a, const uint8_t* b) {
    a = OrEmpty(a);
    b = OrEmpty(b);
    if (a[0] != b[0])
        return false;
    for (int i = 1; i <= a[0]; ++i)
        if (FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i]))
            return false;
    return true;  // two empty strings are equal; name lookups skip empty names themselves
}
