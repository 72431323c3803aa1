// Length-prefixed and NUL-terminated string operations, the unescaping pass and hex digits.
#include "core/text/PStrings.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint8_t kPoison = 0xEE;

// A 256-byte length-prefixed buffer on the heap (so the sanitizer sees any byte past it),
// poisoned and then holding text.
std::unique_ptr<uint8_t[]> P(const std::string& text, size_t size = 256) {
    std::unique_ptr<uint8_t[]> s(new uint8_t[size]);
    std::memset(s.get(), kPoison, size);
    s[0] = static_cast<uint8_t>(text.size());
    std::memcpy(s.get() + 1, text.data(), text.size());
    return s;
}

std::string Text(const uint8_t* s) {
    return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

TEST(PStrings, CopyAssignAndCopyMax) {
    auto source = P("hello");
    auto destination = P("");
    PStrCopy(source.get(), destination.get());
    EXPECT_EQ(Text(destination.get()), "hello");
    EXPECT_EQ(destination[6], kPoison) << "no terminator is written";

    auto assigned = P("xx");
    PStrAssign(assigned.get(), source.get());
    EXPECT_EQ(Text(assigned.get()), "hello");

    auto bounded = P("old");
    EXPECT_FALSE(PStrCopyMax(source.get(), bounded.get(), 5)) << "length 5 is not below 5";
    EXPECT_EQ(Text(bounded.get()), "old");
    EXPECT_TRUE(PStrCopyMax(source.get(), bounded.get(), 6));
    EXPECT_EQ(Text(bounded.get()), "hello");
}

TEST(PStrings, AppendStopsAt255) {
    auto destination = P(std::string(250, 'd'));
    auto source = P("0123456789");
    PStrAppend(destination.get(), source.get());
    EXPECT_EQ(destination[0], 255);
    EXPECT_EQ(Text(destination.get()), std::string(250, 'd') + "01234");

    auto full = P(std::string(255, 'f'));
    PStrAppend(full.get(), source.get());
    EXPECT_EQ(Text(full.get()), std::string(255, 'f'));

    auto small = P("ab");
    PStrAppend(small.get(), P("cd").get());
    EXPECT_EQ(Text(small.get()), "abcd");
    EXPECT_EQ(small[5], kPoison);
}

TEST(PStrings, ConversionToAndFromNulTerminated) {
    auto s = P("stack");
    char* c = PStrToCStr(s.get());
    EXPECT_EQ(c, reinterpret_cast<char*>(s.get()));
    EXPECT_STREQ(c, "stack");
    uint8_t* p = CStrToPStr(c);
    EXPECT_EQ(p, s.get());
    EXPECT_EQ(Text(p), "stack");

    char empty[1] = {0};
    EXPECT_EQ(CStrToPStr(empty)[0], 0);

    // A text longer than a length byte can say keeps its first 255 characters.
    std::string longText(300, 'a');
    longText[254] = 'z';
    std::vector<char> buffer(longText.begin(), longText.end());
    buffer.push_back(0);
    uint8_t* clamped = CStrToPStr(buffer.data());
    EXPECT_EQ(clamped[0], 255);
    EXPECT_EQ(Text(clamped), longText.substr(0, 255));
}

TEST(PStrings, TrimPStr) {
    struct Case { std::string in, out; };
    const Case cases[] = {
        {"  a ", "a"},
        {"  a", "a"},
        {"   ", "   "},   // blanks only: unchanged
        {"", ""},
        {"a b", "a b"},
        {" a b  ", "a b"},
        {"x", "x"},
    };
    for (const Case& c : cases) {
        auto s = P(c.in);
        TrimPStr(s.get());
        EXPECT_EQ(Text(s.get()), c.out) << "'" << c.in << "'";
    }
}

TEST(PStrings, UnescapePStrings) {
    auto a = P("a\\rb");
    auto b = P("x\\qy");
    auto c = P("plain");
    auto d = P("ab\\");         // a backslash at the end ends the text
    auto e = P("\\\\n\\n");     // an escaped backslash does not start another escape
    uint8_t* strings[] = {a.get(), b.get(), nullptr, c.get(), d.get(), e.get()};
    UnescapePStrings(strings, 6);

    EXPECT_EQ(a[0], 3);
    EXPECT_EQ(Text(a.get()), "a\rb");
    EXPECT_EQ(a[4], 0) << "a NUL follows the text";
    EXPECT_EQ(Text(b.get()), "xqy");
    EXPECT_EQ(Text(c.get()), "plain");
    EXPECT_EQ(c[6], 0);
    EXPECT_EQ(Text(d.get()), "ab");
    EXPECT_EQ(Text(e.get()), "\\n\n");

    // A full string without escapes has no room for a NUL: nothing is written past its 256
    // bytes (the sanitizer reports it) and its text is unchanged.
    const std::string full(255, 'k');
    auto f = P(full, 256);
    uint8_t* one[] = {f.get()};
    UnescapePStrings(one, 1);
    EXPECT_EQ(Text(f.get()), full);

    std::string escaped(253, 'k');
    escaped += "\\n";
    auto g = P(escaped, 256);
    uint8_t* other[] = {g.get()};
    UnescapePStrings(other, 1);
    EXPECT_EQ(Text(g.get()), std::string(253, 'k') + "\n");
    EXPECT_EQ(g[255], 0);

    UnescapePStrings(nullptr, 3);
    UnescapePStrings(strings, 0);
}

TEST(CStrings, RemoveAndAppend) {
    char menu[] = "&File && &Edit";
    EXPECT_EQ(StrRemoveAmpersands(menu), menu);
    EXPECT_STREQ(menu, "File  Edit");
    char text[] = "banana";
    EXPECT_STREQ(StrRemoveChar(text, 'a'), "bnn");
    char none[] = "xyz";
    EXPECT_STREQ(StrRemoveChar(none, 'q'), "xyz");

    char buffer[8];
    std::memset(buffer, kPoison, sizeof buffer);
    std::strcpy(buffer, "ab");
    StrAppendChar(buffer, 'c');
    EXPECT_STREQ(buffer, "abc");

    char small[4] = "ab";
    EXPECT_EQ(StrAppendCharMax(small, 'c', sizeof small), small);
    EXPECT_STREQ(small, "abc");
    StrAppendCharMax(small, 'd', sizeof small);
    EXPECT_STREQ(small, "abc") << "length + 1 is not below the buffer size";
}

TEST(CStrings, ConcatAlloc) {
    const char x[] = "x";
    char* copy = StrConcatAlloc(nullptr, x);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, x);
    EXPECT_STREQ(copy, "x");
    std::free(copy);

    char* left = StrConcatAlloc("left", nullptr);
    EXPECT_STREQ(left, "left");
    std::free(left);

    char* both = StrConcatAlloc("ab", "cd");
    EXPECT_STREQ(both, "abcd");
    std::free(both);

    char* empty = StrConcatAlloc("", "");
    EXPECT_STREQ(empty, "");
    std::free(empty);

    EXPECT_EQ(StrConcatAlloc(nullptr, nullptr), nullptr);
}

TEST(CStrings, HexDigits) {
    const std::string digits = "0123456789ABCDEF";
    for (int c = 0; c < 256; ++c) {
        const auto ch = static_cast<char>(c);
        int expected = -1;
        const size_t upper = digits.find(static_cast<char>(std::toupper(c)));
        if (c != 0 && upper != std::string::npos)
            expected = static_cast<int>(upper);
        EXPECT_EQ(HexDigitValue(ch), expected) << "character " << c;
    }
    for (int v = 0; v < 16; ++v) {
        EXPECT_EQ(HexDigitChar(v), digits[v]);
        EXPECT_EQ(HexDigitValue(HexDigitChar(v)), v);
    }
    EXPECT_EQ(HexDigitChar(0x1A), 'A') << "only the low 4 bits count";
}

}  // namespace
