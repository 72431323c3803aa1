#include "core/ui/UiOps.h"

#include "core/system/DefaultProcs.h"

UiOps DefaultUiOps() {
    UiOps o{};
    o.showAlert = [](uint32_t) { return 0; };
    o.showAlertNaming = [](uint32_t, const char*) { return 0; };
    o.showErrorMessage = [](int32_t) {};
    o.wait = [](bool) {};
    return o;
}

const UiOps& GetUiOps() { return InstalledTable<UiOps, DefaultUiOps>(); }

void SetUiOps(const UiOps& ops) {
    InstalledTable<UiOps, DefaultUiOps>() = FilledFrom(ops, DefaultUiOps(), &UiOps::showAlert, &UiOps::showAlertNaming,
                                                       &UiOps::showErrorMessage, &UiOps::wait);
}
