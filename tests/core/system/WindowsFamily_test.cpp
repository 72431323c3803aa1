// Telling the Windows families apart from the packed version value.
#include "core/system/WindowsFamily.h"

#include <gtest/gtest.h>

namespace {

TEST(WindowsFamily, FromPackedVersion) {
    const struct {
        uint32_t version;
        int family;
        const char* what;
    } cases[] = {
        {0xC0000004u, kWindowsFamily9x, "95: 4.0, high bit"},
        {0xC0000A04u, kWindowsFamily9x, "98: 4.10, high bit"},
        {0x05650004u, kWindowsFamilyNt4, "NT 4.0"},
        {0x80005F03u, kWindowsFamily9x, "3.95 with the high bit"},
        {0x00005F03u, kWindowsFamilyNt4, "3.95 without"},
        {0x0A280005u, kWindowsFamilyOther, "2000"},
        {0x1DB10106u, kWindowsFamilyOther, "7"},
        {0x4A61000Au, kWindowsFamilyOther, "10"},
        {0x00000000u, kWindowsFamilyOther, "nothing"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WindowsFamilyFromVersion(c.version), c.family) << c.what;
}

}  // namespace
