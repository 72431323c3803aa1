// Case-insensitive comparisons of Mac Roman strings (card and object names, sorting, LoomLogo).
#include "core/text/MacText.h"

namespace {

constexpr uint8_t kEmpty[1] = {0};

const uint8_t* OrEmpty(const uint8_t* p) { return p ? p : kEmpty; }

// The first difference decides by the mapped bytes taken as signed, so every byte from 128
// sorts before the ASCII characters.
int OrderOfMapped(uint8_t a, uint8_t b) {
    return static_cast<int8_t>(CharToUpperNoAccent(a)) < static_cast<int8_t>(CharToUpperNoAccent(b)) ? -1 : 1;
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

bool EqualAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiToLower(static_cast<uint8_t>(a[i])) != AsciiToLower(static_cast<uint8_t>(b[i])))
            return false;
    return true;  // two empty strings are equal; name lookups skip empty names themselves
}

bool EqualPStrNoCase(const uint8_t* a, const uint8_t* b) {
    a = OrEmpty(a);
    b = OrEmpty(b);
    return EqualAsciiNoCase({reinterpret_cast<const char*>(a + 1), a[0]},
                            {reinterpret_cast<const char*>(b + 1), b[0]});
}
