// Finding a web address just typed into a field: the word before the caret.
#include "objects/text/WebAddress.h"

#include <array>
#include <cctype>
#include <string>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 5> kPrefixes = {"www.", "http:", "ftp.", "ftp:", "mailto:"};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

bool EndsWord(char c) { return IsWhiteSpaceCharacter(static_cast<unsigned char>(c)) || c == '<' || c == '"' || c == ';'; }

}  // namespace

bool IsWhiteSpaceCharacter(unsigned character) { return character == ' ' || (character >= 9 && character <= 13); }

std::string FindWebAddressWord(std::string_view range) {
    if (range.empty())
        return {};
    size_t begin = 0;
    // The first character is never taken as a stop: the word may begin there.
    for (size_t i = range.size() - 1; i >= 1; --i) {
        if (EndsWord(range[i])) {
            begin = i + 1;
            break;
        }
    }
    const std::string_view word = range.substr(begin);
    for (std::string_view prefix : kPrefixes)
        if (StartsWithNoCase(word, prefix))
            return std::string(word);
    return {};
}
