// The stack format's upcalls and their defaults.
#include "format/FormatUpcalls.h"

namespace {

FormatUpcalls& Installed() {
    static FormatUpcalls upcalls = DefaultFormatUpcalls();
    return upcalls;
}

}  // namespace

FormatUpcalls DefaultFormatUpcalls() {
    return {[](int32_t) {}, [](uint8_t*, uint32_t, int) { return 1; }};
}

const FormatUpcalls& GetFormatUpcalls() { return Installed(); }
void SetFormatUpcalls(const FormatUpcalls& upcalls) { Installed() = upcalls; }
