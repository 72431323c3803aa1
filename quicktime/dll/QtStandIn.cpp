// The stand-in's start and end, and its version.
#include "quicktime/dll/QtStandIn.h"

namespace {

bool g_initialized = false;
bool g_moviesEntered = false;

intptr_t DoInitializeQTML(const QtWord*) {
    g_initialized = true;
    return kQtNoErr;
}

intptr_t DoTerminateQTML(const QtWord*) {
    g_initialized = false;
    g_moviesEntered = false;
    return kQtNoErr;
}

intptr_t DoGestalt(const QtWord* args) {
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

intptr_t DoEnterMovies(const QtWord*) {
    if (!g_initialized)
        return kQtNotInitialized;
    g_moviesEntered = true;
    return kQtNoErr;
}

intptr_t DoExitMovies(const QtWord*) {
    g_moviesEntered = false;
    return kQtNoErr;
}

constexpr StandInRow kStartRows[] = {
    {kQtSelInitializeQTML, DoInitializeQTML},
    {kQtSelTerminateQTML, DoTerminateQTML},
    {kQtSelGestalt, DoGestalt},
    {kQtSelEnterMovies, DoEnterMovies},
    {kQtSelExitMovies, DoExitMovies},
};

}  // namespace

std::span<const StandInRow> StandInStartRows() { return kStartRows; }

bool StandInInitialized() { return g_initialized; }
bool StandInMoviesEntered() { return g_moviesEntered; }
