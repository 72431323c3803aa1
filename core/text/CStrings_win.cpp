// Wide strings from the system, converted for the ANSI side of the plug-in.
#include "core/text/PStrings.h"

#include <windows.h>

#include <cstdlib>

char* WideToAnsiDup(const wchar_t* s) {
    if (!s)
        return nullptr;
    const int size = WideCharToMultiByte(CP_ACP, 0, s, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return nullptr;
    auto* result = static_cast<char*>(std::malloc(size));
    if (!result)
        return nullptr;
    if (WideCharToMultiByte(CP_ACP, 0, s, -1, result, size, nullptr, nullptr) != size) {
        std::free(result);
        return nullptr;
    }
    return result;
}
