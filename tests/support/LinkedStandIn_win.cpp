// The linked stand-in's entry points, as tools/player hands them to the binding.
#include "tests/support/LinkedStandIn_win.h"

#include <cstring>

#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInEffects.h"
#include "quicktime/dll/StandInMovies.h"

namespace {

int g_linked;

intptr_t LinkedDispatcher(uint32_t selector, const QtWord* args) { return StandInDispatch(selector, args); }
intptr_t LinkedComponent(void* storage, const void* params, QtWord what) {
    return StandInComponentCall(storage, params, what);
}

void* LoadLinked() {
    InstallStandInWindowsProcs();
    InstallStandInMovieOutputs();  // the movie outputs and switches, as the player installs them
    return &g_linked;
}
void* ResolveLinked(void* library, const char* name) {
    if (library != &g_linked)
        return nullptr;
    if (std::strcmp(name, kQtEntryDispatcher) == 0)
        return reinterpret_cast<void*>(LinkedDispatcher);
    return reinterpret_cast<void*>(LinkedComponent);
}
void ReleaseLinked(void*) {}

}  // namespace

QtLibraryOps LinkedStandInOps() { return {LoadLinked, ResolveLinked, ReleaseLinked}; }

QuickTimeVariant::QuickTimeVariant(bool linked) : saved_(GetQtLibraryOps()) {
    if (linked)
        SetQtLibraryOps(LinkedStandInOps());
}
QuickTimeVariant::~QuickTimeVariant() { SetQtLibraryOps(saved_); }

QtMovie OpenMovieAtPath(const std::string& path) {
    QtFSSpec spec{};
    if (NativePathNameToFSSpec(path.c_str(), &spec, 0) != kQtNoErr)
        return nullptr;
    int16_t ref = 0;
    if (OpenMovieFile(&spec, &ref, kQtReadPermission) != kQtNoErr)
        return nullptr;
    QtMovie movie = nullptr;
    const QtErr err = NewMovieFromFile(&movie, ref, nullptr, nullptr, kQtNewMovieActive, nullptr);
    CloseMovieFile(ref);
    return err == kQtNoErr ? movie : nullptr;
}
