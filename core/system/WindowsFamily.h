// Which family of Windows a version number belongs to (platform-free part of GetWindowsFamily).
#pragma once

#include <cstdint>

inline constexpr int kWindowsFamilyOther = 0;
inline constexpr int kWindowsFamily9x = 1;  // Windows 95/98
inline constexpr int kWindowsFamilyNt4 = 2;

// From the packed version value of the system (major version in the low byte, minor version in
// the next byte, the high bit set on the 95/98 family): major version 4 or minor version 95
// picks 9x or NT 4 by the high bit; any other version is neither.
int WindowsFamilyFromVersion(uint32_t packedVersion);
