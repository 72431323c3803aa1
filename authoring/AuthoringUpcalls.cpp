// The upcalls of authoring (card import and saved object files), and their defaults.
#include "authoring/AuthoringUpcalls.h"

namespace {

AuthoringUpcalls& Installed() {
    static AuthoringUpcalls upcalls = DefaultAuthoringUpcalls();
    return upcalls;
}

}  // namespace

AuthoringUpcalls DefaultAuthoringUpcalls() {
    AuthoringUpcalls u{};
    u.stackIsFresh = [] { return false; };
    u.openInsteadOfImport = [](const char*) { return -1; };
    u.showImportedCards = [](uint16_t, const char*, int) {};
    return u;
}

const AuthoringUpcalls& GetAuthoringUpcalls() { return Installed(); }
void SetAuthoringUpcalls(const AuthoringUpcalls& upcalls) { Installed() = upcalls; }
