// What the stack format asks of the layers above it: host/wiring/WireStack_win.cpp fills it,
// whole, when the layers are wired. Until then (native builds, tools, fuzzers, tests) the
// defaults do nothing: resource errors are not shown and 'Crsr' data stays as stored.
#pragma once

#include <cstdint>

struct FormatUpcalls {
    // The alert of a resource error code (while error reporting is on).
    void (*reportResourceError)(int32_t code);
    // The icon and cursor converter of the objects area: (data, size, 0 to memory / 1 to file)
    // returns non-zero on success.
    int (*convertIconData)(uint8_t* data, uint32_t size, int direction);
};

const FormatUpcalls& GetFormatUpcalls();
void SetFormatUpcalls(const FormatUpcalls& upcalls);
FormatUpcalls DefaultFormatUpcalls();
