// The stand-in's dispatch table.
#include "quicktime/dll/QtStandIn.h"

#include "quicktime/dll/QtStandInEffects.h"

#include <array>

namespace {

bool g_initialized = false;
bool g_moviesEntered = false;

int32_t DoInitializeQTML(const QtWord*) {
    g_initialized = true;
    return kQtNoErr;
}

int32_t DoTerminateQTML(const QtWord*) {
    g_initialized = false;
    g_moviesEntered = false;
    return kQtNoErr;
}

int32_t DoGestalt(const QtWord* args) {
    auto* response = reinterpret_cast<int32_t*>(args[1]);
    if (static_cast<uint32_t>(args[0]) != kGestaltQuickTime) {
        if (response)
            *response = 0;
        return kQtGestaltUndefined;
    }
    if (response)
        *response = kQtStandInVersion;
    return kQtNoErr;
}

int32_t DoEnterMovies(const QtWord*) {
    if (!g_initialized)
        return kQtNotInitialized;
    g_moviesEntered = true;
    return kQtNoErr;
}

int32_t DoExitMovies(const QtWord*) {
    g_moviesEntered = false;
    return kQtNoErr;
}

struct Row {
    uint32_t selector;
    int32_t (*call)(const QtWord* args);
};
constexpr std::array kTable = {
    Row{kQtSelInitializeQTML, DoInitializeQTML},
    Row{kQtSelTerminateQTML, DoTerminateQTML},
    Row{kQtSelGestalt, DoGestalt},
    Row{kQtSelEnterMovies, DoEnterMovies},
    Row{kQtSelExitMovies, DoExitMovies},
    Row{kQtSelGetEffectsList, DoGetEffectsList},
    Row{kQtSelEffectSequenceBegin, DoEffectSequenceBegin},
    Row{kQtSelEffectDecompressFrame, DoEffectDecompressFrame},
    Row{kQtSelEffectSequenceEnd, DoEffectSequenceEnd},
    Row{kQtSelEffectParameterDialog, DoEffectParameterDialog},
};

}  // namespace

int32_t StandInDispatch(uint32_t selector, const QtWord* args) {
    static constexpr QtWord kNoArgs[16] = {};
    for (const Row& row : kTable)
        if (row.selector == selector)
            return row.call(args ? args : kNoArgs);
    return kQtUnimplemented;
}

int32_t StandInComponentCall(void*, const void*, QtWord) { return kQtUnimplemented; }

bool StandInInitialized() { return g_initialized; }
bool StandInMoviesEntered() { return g_moviesEntered; }
