// Mac Roman text: the character-set table both ways, case mappings, character classes and the
// case-insensitive comparisons.
#include "core/text/MacText.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A length-prefixed string from raw characters.
std::vector<uint8_t> P(const std::string& text) {
    std::vector<uint8_t> s(1 + text.size());
    s[0] = static_cast<uint8_t>(text.size());
    std::memcpy(s.data() + 1, text.data(), text.size());
    return s;
}

TEST(MacText, EveryByteRoundTripsThroughTheTable) {
    std::vector<uint8_t> bytes(256);
    for (int i = 0; i < 256; ++i)
        bytes[i] = static_cast<uint8_t>(i);

    std::vector<uint8_t> ansi = bytes;
    MacToAnsi(ansi.data(), ansi.size());
    std::vector<bool> hit(256, false);
    for (int i = 0; i < 256; ++i) {
        if (i < 128)
            EXPECT_EQ(ansi[i], i) << "ASCII byte " << i << " changed";
        else
            EXPECT_GE(ansi[i], 128) << "Mac byte " << i << " went below 128";
        EXPECT_FALSE(hit[ansi[i]]) << "two Mac bytes map to " << int(ansi[i]);
        hit[ansi[i]] = true;
        EXPECT_EQ(MacToAnsiChar(static_cast<uint8_t>(i)), ansi[i]) << "byte " << i;
    }

    std::vector<uint8_t> back = ansi;
    AnsiToMac(back.data(), back.size());
    EXPECT_EQ(back, bytes);

    // And the other way round, from Windows bytes.
    std::vector<uint8_t> mac = bytes;
    AnsiToMac(mac.data(), mac.size());
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(AnsiToMacChar(static_cast<uint8_t>(i)), mac[i]) << "byte " << i;
    MacToAnsi(mac.data(), mac.size());
    EXPECT_EQ(mac, bytes);
}

TEST(MacText, TableIsTheStackFormatsNotTheSystemMacCodePage) {
    struct Case { uint8_t mac, ansi; };
    const Case cases[] = {
        {0x8E, 0xE9},  // e acute
        {0x80, 0xC4}, {0xA5, 0x95}, {0xA7, 0xDF}, {0xC9, 0x85}, {0xD2, 0x93}, {0xDB, 0xA4},
        {0xCA, 0x8E},  // the system's Mac code page would give 0xA0
        {0xF5, 0xA0},  // ... and 0x131 (no 1252 byte) here
        {0xFF, 0x9E},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MacToAnsiChar(c.mac), c.ansi) << std::hex << "Mac 0x" << int(c.mac);
        EXPECT_EQ(AnsiToMacChar(c.ansi), c.mac) << std::hex << "Windows 0x" << int(c.ansi);
    }

    char text[] = "Caf\x8E \x8E!";
    MacToAnsi(text, std::strlen(text));
    EXPECT_STREQ(text, "Caf\xE9 \xE9!");
    AnsiToMac(text, 3);  // only the count given is touched
    EXPECT_STREQ(text, "Caf\xE9 \xE9!");
    AnsiToMac(text, std::strlen(text));
    EXPECT_STREQ(text, "Caf\x8E \x8E!");
}

TEST(MacText, CaseMappings) {
    EXPECT_EQ(CharToUpperNoAccent(0x8E), 'E');
    EXPECT_EQ(CharToUpper(0x8E), 0x83);
    EXPECT_EQ(CharToLower(0x83), 0x8E);
    EXPECT_EQ(CharToLower(0x80), 0x8A);       // A diaeresis
    EXPECT_EQ(CharToUpper(0x8A), 0x80);
    EXPECT_EQ(CharToUpperNoAccent(0xD8), 'Y');  // y diaeresis
    EXPECT_EQ(CharToUpperNoAccent(0xA7), 0xA7);  // sharp s stays

    for (int c = 0; c < 128; ++c) {
        const auto b = static_cast<uint8_t>(c);
        const int upper = std::toupper(c);
        const int lower = std::tolower(c);
        EXPECT_EQ(CharToUpper(b), upper) << c;
        EXPECT_EQ(CharToUpperNoAccent(b), upper) << c;
        EXPECT_EQ(CharToLower(b), lower) << c;
    }

    // The three tables agree with one another: changing case never changes the accent-free
    // form, and the accented letters go to the other case and back.
    for (int c = 0; c < 256; ++c) {
        const auto b = static_cast<uint8_t>(c);
        EXPECT_EQ(CharToUpperNoAccent(CharToUpper(b)), CharToUpperNoAccent(b)) << std::hex << c;
        EXPECT_EQ(CharToUpperNoAccent(CharToLower(b)), CharToUpperNoAccent(b)) << std::hex << c;
    }
    for (int c = 0x87; c <= 0x9F; ++c)
        EXPECT_EQ(CharToLower(CharToUpper(static_cast<uint8_t>(c))), c) << std::hex << c;
    for (int c = 0x80; c <= 0x86; ++c)
        EXPECT_EQ(CharToUpper(CharToLower(static_cast<uint8_t>(c))), c) << std::hex << c;

    char a[] = "caf\x8E na\x95ve";
    EXPECT_EQ(StrToUpper(a), a);
    EXPECT_STREQ(a, "CAF\x83 NA\xECVE");
    char b[] = "caf\x8E na\x95ve";
    EXPECT_EQ(StrToUpperNoAccent(b), b);
    EXPECT_STREQ(b, "CAFE NAIVE");
    char empty[] = "";
    EXPECT_EQ(StrToUpper(empty), empty);
    EXPECT_EQ(StrToUpper(nullptr), nullptr);
    EXPECT_EQ(StrToUpperNoAccent(nullptr), nullptr);
}

TEST(MacText, CharacterClasses) {
    for (int c = 0; c < 256; ++c) {
        const auto b = static_cast<uint8_t>(c);
        if (c >= 128) {
            EXPECT_TRUE(IsAlnumMac(b)) << c;
            EXPECT_EQ(IsLogoSpace(b), c == 0xCA) << c;
        } else {
            EXPECT_EQ(IsAlnumMac(b), std::isalnum(c) != 0) << c;
            EXPECT_EQ(IsLogoSpace(b), std::isspace(c) != 0) << c;
            EXPECT_EQ(IsPrintableChar(b), std::isprint(c) != 0) << c;
        }
    }
    struct Case { uint8_t c; bool printable; };
    const Case cases[] = {
        {0xE9, true}, {0xC0, true}, {0xFF, true}, {0x88, true}, {0x8A, true}, {0x9F, true}, {0xB5, true},
        {0xD7, false}, {0xF7, false}, {0xA0, false}, {0x80, false}, {0xA9, false}, {0x85, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsPrintableChar(c.c), c.printable) << std::hex << int(c.c);
}

TEST(MacText, PStrCompareNoCase) {
    struct Case { std::string a, b; int expected; };
    const Case cases[] = {
        {"abc", "ABCD", -1},
        {"ABCD", "abc", 1},
        {"b", "A", 1},
        {"A", "b", -1},
        {"abc", "ABC", 0},
        {"", "", 0},
        {"", "a", -1},
        {"caf\x8E", "CAFE", 0},      // accents are dropped
        {"\xA0", "A", -1},            // signed: bytes from 128 sort before ASCII
        {"A", "\xA0", 1},
        {"x\xA5", "xz", -1},
        {"[", "{", -1},               // only letters fold
    };
    for (const Case& c : cases)
        EXPECT_EQ(PStrCompareNoCase(P(c.a).data(), P(c.b).data()), c.expected) << c.a << " / " << c.b;
}

TEST(MacText, StrCmpNoCase) {
    struct Case { const char* a; const char* b; int expected; };
    const Case cases[] = {
        {"abc", "ABCD", -1}, {"ABCD", "abc", 1}, {"abc", "ABC", 0}, {"", "", 0},
        {"b", "A", 1}, {"\xA0", "A", -1}, {"A", "\xA0", 1}, {"na\x95ve", "NAIVE", 0},
        {"", "a", -1}, {"a", "", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrCmpNoCase(c.a, c.b), c.expected) << c.a << " / " << c.b;
    EXPECT_EQ(StrCmpNoCase(nullptr, ""), 0);
}

TEST(MacText, EqualPStrNoCase) {
    struct Case { std::string a, b; bool equal; };
    const Case cases[] = {
        {"", "", true},
        {"Card 1", "cARD 1", true},
        {"abc", "abcd", false},
        {"a", "b", false},
        {"[", "{", false},           // 0x5B and 0x7B are no letters
        {"@", "`", false},
        {"\x8E", "\x83", false},     // only ASCII letters fold
        {"\x8E", "\x8E", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EqualPStrNoCase(P(c.a).data(), P(c.b).data()), c.equal) << c.a << " / " << c.b;
}

}  // namespace
