// NUL-terminated strings and hexadecimal digits.
#include "core/text/PStrings.h"

#include <cstdlib>
#include <cstring>

char* StrRemoveChar(char* s, char c) {
    if (!s)
        return s;
    char* write = s;
    for (const char* read = s; *read; ++read)
        if (*read != c)
            *write++ = *read;
    *write = 0;
    return s;
}

char* StrRemoveAmpersands(char* s) {
    return StrRemoveChar(s, '&');
}

void StrAppendChar(char* s, char c) {
    if (!s)
        return;
    const size_t length = std::strlen(s);
    s[length] = c;
    s[length + 1] = 0;
}

char* StrAppendCharMax(char* s, char c, size_t bufferSize) {
    if (s && std::strlen(s) + 1 < bufferSize)
        StrAppendChar(s, c);
    return s;
}

char* StrConcatAlloc(const char* a, const char* b) {
    if (!a && !b)
        return nullptr;
    const size_t lengthA = a ? std::strlen(a) : 0;
    const size_t lengthB = b ? std::strlen(b) : 0;
    auto* result = static_cast<char*>(std::malloc(lengthA + lengthB + 1));
    if (!result)
        return nullptr;
    if (lengthA)
        std::memcpy(result, a, lengthA);
    if (lengthB)
        std::memcpy(result + lengthA, b, lengthB);
    result[lengthA + lengthB] = 0;
    return result;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

char HexDigitChar(int value) {
    return "0123456789ABCDEF"[value & 15];
}
