// The upcalls of card import and saved object files, and their defaults.
#include "stack/edit/EditUpcalls.h"

namespace {

EditUpcalls& Installed() {
    static EditUpcalls upcalls = DefaultEditUpcalls();
    return upcalls;
}

}  // namespace

EditUpcalls DefaultEditUpcalls() {
    EditUpcalls u{};
    u.stackIsFresh = [] { return false; };
    u.openInsteadOfImport = [] { return -1; };
    u.showImportCount = [](const char*, int) {};
    return u;
}

const EditUpcalls& GetEditUpcalls() { return Installed(); }
void SetEditUpcalls(const EditUpcalls& upcalls) { Installed() = upcalls; }
