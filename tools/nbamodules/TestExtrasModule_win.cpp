// The test Extras module (see CMakeLists.txt).
#include <cstring>

#include "ModuleLog_win.h"

extern "C" __declspec(dllexport) int NBA_CDECL NBAMain(NbaParamBlock* block) {
    LogCall("extra", block);
    switch (block->message) {
    case kNbaMessageSetUp:
        if (block->param1 >= 11)
            std::memcpy(reinterpret_cast<char*>(static_cast<uintptr_t>(block->param2)), "Test Extra", 11);
        return 0;
    case kNbaMessagePerform:
        return static_cast<int>(EnvNumber("NBA_TEST_EXTRA_RESULT", 0));
    default:
        return 0;
    }
}
