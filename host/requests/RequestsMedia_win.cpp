// Requests of media and modules: window messages and the message wait, the testing score,
// sounds, calls to other modules, whether media are done, movie commands and LoomLogo.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "actions/Animations.h"
#include "actions/NbaModules.h"
#include "actions/TestingButtons.h"
#include "core/events/MessageLoops.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "core/system/PluginModule.h"
#include "core/text/MacText.h"
#include "host/requests/HostRequests.h"
#include "host/requests/RequestHandlers.h"
#include "host/requests/RequestSupport.h"
#include "logo/Logo.h"
#include "media/MediaManager.h"
#include "media/animation/AnimPlayback.h"
#include "format/ResFile.h"
#include "format/StackFile.h"

namespace {

constexpr size_t kUserNameBytes = 33;
uint8_t g_userName[kUserNameBytes] = {};

// The id of a resource named by the caller's length-prefixed name; 0 when none.
uint16_t NamedResourceId(uint32_t type, uint32_t nameAddress) {
    const std::string name = CallerPString(nameAddress);
    if (name.empty())
        return 0;
    uint8_t counted[256] = {};
    counted[0] = static_cast<uint8_t>(name.size());
    std::memcpy(counted + 1, name.data(), name.size());
    return GetNamedResourceId(type, counted);
}

}  // namespace

void CbDispatchMessage(NbaParamBlock& b) {
    if (const MSG* message = CallerPointer<const MSG>(b.param1))
        DispatchMessageA(message);
}

void CbWaitWithMessages(NbaParamBlock&) { WaitWithMessages(); }

void CbGetCurrentScore(NbaParamBlock& b) {
    const TestingScore score = GetCurrentScore();
    b.param1 = static_cast<uint32_t>(score.answered);
    b.param2 = static_cast<uint32_t>(score.correct);
    const std::string_view name = GetTestingUserName();
    b.param3 = KeepPString(g_userName, name);
}

void CbPlaySoundFile(NbaParamBlock& b) {
    const auto* entry = CallerPointer<const FileSpec>(b.param1);
    if (!entry)
        return;
    // The caller's path is kept terminated, as every slot's is.
    char path[sizeof entry->path] = {};
    std::memcpy(path, entry->path, sizeof path - 1);
    PlaySoundFromFile(path, 0, static_cast<int16_t>(b.param2 & 0xFFFF));
}

void CbPlaySoundResource(NbaParamBlock& b) {
    uint16_t id = static_cast<uint16_t>(b.param1 & 0xFFFF);
    if (id == 0)
        id = NamedResourceId(ResType("Snd "), b.param3);
    if (id == 0)
        return;
    PlaySoundResource(static_cast<int16_t>(id), 0, static_cast<int>(b.param2));
}

void CbCallNba(NbaParamBlock& b) {
    uint16_t nbaId = static_cast<uint16_t>(b.param1 & 0xFFFF);
    if (nbaId == 0)
        nbaId = NamedResourceId(ResType("NBAs"), b.param3);
    const Handle data = CallerHandle(b.param2);
    const uint16_t message = static_cast<uint16_t>(b.param4 & 0xFFFF);
    if (nbaId == 0)
        return;
    SavedRequestBlock saved(b);
    ClearNbaParamBlock();
    NbaParamBlock& call = *GetNbaParamBlock();
    call.param1 = static_cast<uint32_t>(data);
    call.param2 = data ? GetHandleSize(data) : 0;
    SendToNBA(nbaId, message, false);
    const Handle result = static_cast<Handle>(call.resultHandle);
    saved.Restore();
    if (result) {
        // The data handle gives way to the answer: freed when it is the caller's own.
        if (data != result && ModulesOwnHandle(static_cast<uint32_t>(data)))
            DisposeHandle(data);
        b.param2 = static_cast<uint32_t>(result);
    } else {
        b.param2 = static_cast<uint32_t>(data);
    }
}

void CbIsMediaDone(NbaParamBlock& b) {
    // [50] is 1 while a movie is still playing: modules test it for "busy".
    b.param1 = MediaAllMoviesDone() ? 0 : 1;
    b.param2 = MediaIsPlaying() ? 1 : 0;
    // [58]: any flip-book or animated object still running, whoever started it.
    b.param3 = (AllFrameAnimsDone() && AnimatedObjectsDoneFor(0)) ? 0 : 1;
}

void CbMovieAction(NbaParamBlock& b) { MediaMovieCommand(static_cast<int>(b.param1)); }

void CbRunLogoScript(NbaParamBlock& b) {
    if (b.param3 || b.param4 || b.handled)
        return;
    const auto* text = CallerPointer<const uint8_t>(b.param1);
    if (!text || b.param2 == 0)
        return;
    std::vector<uint8_t> bytes(text, text + b.param2);
    AnsiToMac(bytes.data(), bytes.size());
    const Handle script = NewHandleFromBytes(bytes);
    if (!script)
        return;
    SavedRequestBlock saved(b);
    Rect32 rect{};
    RunLogoAction(GetMainWindow(), script, 0, &rect);
    saved.Restore();
    DisposeHandle(script);
}

void CbOpenLogoRunBox(NbaParamBlock&) { OpenLogoRunBox(GetMainWindow()); }
