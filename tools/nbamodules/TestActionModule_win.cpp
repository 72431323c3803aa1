// The test action module (see CMakeLists.txt).
#include <cstring>

#include "IdleRequests_win.h"
#include "ModuleLog_win.h"
#include "RequestList_win.h"

namespace {

constexpr uint16_t kTestResultMessage = 20;
bool g_calledBack = false;
unsigned long g_waits = 0;

}  // namespace

extern "C" __declspec(dllexport) int NBA_CDECL NBAMain(NbaParamBlock* block) {
    LogCall("action", block);
    // Perform data that is a request list is made, request by request, through the callback.
    if (block->message == kNbaMessagePerform && RunRequestList(block))
        return 0;
    if (!g_calledBack && block->callback) {
        g_calledBack = true;
        // Request 12 (the interface version) changes nothing but the block's answer fields.
        const NbaParamBlock before = *block;
        block->message = 12;
        reinterpret_cast<NbaHostCallback>(static_cast<uintptr_t>(block->callback))(block);
        *block = before;
        LogLine("action called back");
    }
    ++block->persistent;
    switch (block->message) {
    case kNbaMessageSetUp: {
        const unsigned long answer = EnvNumber("NBA_TEST_SETUP", kNbaSetUpKeepData);
        if (answer == kNbaSetUpNewData)
            block->param2 = block->param1;
        block->param1 = answer;
        break;
    }
    case kNbaMessagePerform:
        g_waits = EnvNumber("NBA_TEST_WAITS", 0);
        break;
    case kNbaMessageIdle:
        RunIdleRequests(block);
        break;
    case kNbaMessageWaitPoll:
        if (g_waits) {
            --g_waits;
            block->param1 = kNbaKeepWaiting;
        }
        break;
    case kNbaMessageWindow:
        if (block->param2 == WM_CHAR && block->param3 == 'K') {
            block->handled = 1;
            LogLine("action consumed K");
        }
        break;
    case kTestResultMessage:
        // Sent through host request 67: the module answers with the handle NBA_TEST_RESULT names.
        block->resultHandle = static_cast<uint32_t>(EnvNumber("NBA_TEST_RESULT", 0));
        break;
    default:
        break;
    }
    return 0;
}
