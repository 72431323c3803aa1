// The test modules' log: one line per call, appended to the file NBA_TEST_LOG names.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "actions/NbaInterface.h"

inline void LogLine(const char* line) {
    char path[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("NBA_TEST_LOG", path, sizeof path))
        return;
    if (FILE* f = std::fopen(path, "a")) {
        std::fputs(line, f);
        std::fputs("\n", f);
        std::fclose(f);
    }
}

// The fields the host fills, as "name=value" words.
inline void LogCall(const char* who, const NbaParamBlock* b) {
    char line[512];
    std::snprintf(line, sizeof line,
                  "%s msg=%u obj=%u card=%u setup=%lu persist=%lu version=%u p1=%lu p2=%lu p3=%lu p4=%lu id=%u "
                  "window=%lu",
                  who, b->message, b->objectId, b->cardId, static_cast<unsigned long>(b->setupWindow),
                  static_cast<unsigned long>(b->persistent), b->version, static_cast<unsigned long>(b->param1),
                  static_cast<unsigned long>(b->param2), static_cast<unsigned long>(b->param3),
                  static_cast<unsigned long>(b->param4), b->nbaId, static_cast<unsigned long>(b->window));
    LogLine(line);
}

inline unsigned long EnvNumber(const char* name, unsigned long fallback) {
    char text[32] = {};
    if (!GetEnvironmentVariableA(name, text, sizeof text))
        return fallback;
    return std::strtoul(text, nullptr, 10);
}
