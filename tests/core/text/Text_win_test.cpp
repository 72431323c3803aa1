// The Windows side of the text utilities: the printable test against the system's own letter
// and digit classes, the wide-string conversion, and ticks from the system count.
#include "core/system/Ticks.h"
#include "core/text/MacText.h"
#include "core/text/PStrings.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <cstdlib>

namespace {

TEST(TextWin, PrintableAgreesWithTheSystemClasses) {
    if (GetACP() != 1252)
        GTEST_SKIP() << "ANSI code page is " << GetACP();
    for (int c = 1; c < 256; ++c) {
        const bool system = IsCharAlphaNumericA(static_cast<CHAR>(c)) || (c < 128 && std::isprint(c));
        EXPECT_EQ(IsPrintableChar(static_cast<uint8_t>(c)), system) << std::hex << "byte 0x" << c;
    }
}

TEST(TextWin, WideToAnsiDup) {
    EXPECT_EQ(WideToAnsiDup(nullptr), nullptr);
    char* empty = WideToAnsiDup(L"");
    ASSERT_NE(empty, nullptr);
    EXPECT_STREQ(empty, "");
    std::free(empty);

    if (GetACP() != 1252)
        GTEST_SKIP() << "ANSI code page is " << GetACP();
    char* text = WideToAnsiDup(L"Caf\u00e9 \u20ac");
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Caf\xE9 \x80");
    std::free(text);
}

TEST(TextWin, TicksFollowTheSystemCount) {
    const DWORD before = GetTickCount();
    const uint32_t ms = GetMilliseconds();
    const DWORD after = GetTickCount();
    EXPECT_GE(ms - before, 0u);
    EXPECT_LE(ms - before, after - before);
    const uint32_t ticks = GetTicks();
    EXPECT_LE(ticks - before / 17, (GetTickCount() - before) / 17 + 1);
}

}  // namespace
