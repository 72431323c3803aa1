// Which family of Windows a version number belongs to.
#include "core/system/WindowsFamily.h"

int WindowsFamilyFromVersion(uint32_t packedVersion) {
    const uint32_t major = packedVersion & 0xFF;
    const uint32_t minor = (packedVersion >> 8) & 0xFF;
    if (major != 4 && minor != 95)
        return kWindowsFamilyOther;
    return (packedVersion & 0x80000000u) ? kWindowsFamily9x : kWindowsFamilyNt4;
}
