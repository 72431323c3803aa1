// Arbitrary bytes as a stack header: the stack's settings read from it (refused when short), the
// password kept terminated, and written into a copy and read again the same (the password up to
// its terminator: what follows it is not kept).
#include <cstring>
#include <vector>

#include "host/state/Preferences.h"
#include "stack/format/StackFile.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 12))
        return 0;
    StackPreferences prefs;
    if (!ReadStackPreferences({data, size}, &prefs)) {
        FuzzCheck(size < kStackHeaderBytes);
        return 0;
    }
    FuzzCheck(std::memchr(prefs.password, 0, kPasswordBytes) != nullptr);
    HasPassword(prefs);
    BoxesFromPreferences(prefs, true);
    std::vector<uint8_t> header(data, data + size);
    FuzzCheck(WriteStackPreferences(header, prefs));
    StackPreferences again;
    FuzzCheck(ReadStackPreferences(header, &again));
    FuzzCheck(std::strcmp(again.password, prefs.password) == 0 && again.flags == prefs.flags &&
              again.locked == prefs.locked && again.autoSave == prefs.autoSave);
    return 0;
}
