// Length-prefixed strings: copies, appends, conversion to and from NUL-terminated form,
// trimming and the unescaping pass of the LoomLogo vocabulary.
#include "core/text/PStrings.h"

#include <cstring>

namespace {

constexpr uint8_t kBlank = ' ';

}  // namespace

size_t UnescapeText(uint8_t* text, size_t length) {
    size_t read = 0;
    size_t write = 0;
    while (read < length) {
        uint8_t c = text[read];
        if (c == '\\') {
            if (read + 1 == length)
                break;  // a lone backslash at the end ends the text
            c = text[read + 1];
            if (c == 'r')
                c = 13;
            else if (c == 'n')
                c = 10;
            read += 2;
        } else {
            ++read;
        }
        text[write++] = c;
    }
    return write;
}

void PStrCopy(const uint8_t* source, uint8_t* destination) {
    if (source && destination)
        std::memmove(destination, source, source[0] + 1u);
}

void PStrAssign(uint8_t* destination, const uint8_t* source) {
    PStrCopy(source, destination);
}

bool PStrCopyMax(const uint8_t* source, uint8_t* destination, size_t maximum) {
    if (!source || !destination || source[0] >= maximum)
        return false;
    std::memmove(destination, source, source[0] + 1u);
    return true;
}

void PStrAppend(uint8_t* destination, const uint8_t* source) {
    if (!source || !destination)
        return;
    const unsigned have = destination[0];
    unsigned add = source[0];
    if (have + add > 255)
        add = 255 - have;
    std::memmove(destination + 1 + have, source + 1, add);
    destination[0] = static_cast<uint8_t>(have + add);
}

char* PStrToCStr(uint8_t* s) {
    if (!s)
        return nullptr;
    const uint8_t length = s[0];
    std::memmove(s, s + 1, length);
    s[length] = 0;
    return reinterpret_cast<char*>(s);
}

uint8_t* CStrToPStr(char* s) {
    if (!s)
        return nullptr;
    // The length byte holds at most 255, so only that much text is kept (and looked at).
    size_t length = 0;
    while (length < 255 && s[length] != 0)
        ++length;
    std::memmove(s + 1, s, length);
    auto* p = reinterpret_cast<uint8_t*>(s);
    p[0] = static_cast<uint8_t>(length);
    return p;
}

void TrimPStr(uint8_t* s) {
    if (!s)
        return;
    int length = s[0];
    int first = 1;
    while (first <= length && s[first] == kBlank)
        ++first;
    if (first > length)
        return;  // empty or all blanks: left as it is
    const int leading = first - 1;
    if (leading > 0) {
        std::memmove(s + 1, s + first, length - leading);
        length -= leading;
    }
    while (length > 0 && s[length] == kBlank)
        --length;
    s[0] = static_cast<uint8_t>(length);
}

void UnescapePStrings(uint8_t* const* strings, int count) {
    if (!strings)
        return;
    for (int i = 0; i < count; ++i) {
        uint8_t* s = strings[i];
        if (!s)
            continue;
        const auto length = static_cast<uint8_t>(UnescapeText(s + 1, s[0]));
        s[0] = length;
        // A full 255-character string has no room for a terminator in its 256 bytes.
        if (length < 255)
            s[length + 1] = 0;
    }
}
