#include "ProcessNames_win.h"

#include <windows.h>

#include <cstdio>

const std::string& ProcessTag() {
    static const std::string tag = [] {
        FILETIME created{}, exited{}, kernel{}, user{};
        GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
        // Milliseconds of the start are plenty: two processes with one id never start together.
        const unsigned long long ms =
            ((static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime) / 10000;
        char text[32];
        std::snprintf(text, sizeof text, "%lu-%08llx", GetCurrentProcessId(), ms & 0xFFFFFFFFull);
        return std::string(text);
    }();
    return tag;
}

std::string ProcessUniqueName(std::string_view stem, std::string_view extension) {
    std::string name(stem);
    name += '-';
    name += ProcessTag();
    static int made = 0;
    name += '-';
    name += std::to_string(++made);
    if (!extension.empty()) {
        name += '.';
        name += extension;
    }
    return name;
}
