#include "core/ui/UiOps.h"

#include "core/system/DefaultProcs.h"

namespace {

void Nothing() {}

UiOps& Installed() {
    static UiOps ops = DefaultUiOps();
    return ops;
}

}  // namespace

UiOps DefaultUiOps() {
    UiOps o{};
    o.showAlert = [](uint32_t) { return 0; };
    o.showErrorMessage = [](int32_t) {};
    o.beginWait = Nothing;
    o.endWait = Nothing;
    return o;
}

const UiOps& GetUiOps() { return Installed(); }

void SetUiOps(const UiOps& ops) {
    const UiOps d = DefaultUiOps();
    UiOps o = ops;
    FillIfNull(o.showAlert, d.showAlert);
    FillIfNull(o.showErrorMessage, d.showErrorMessage);
    FillIfNull(o.beginWait, d.beginWait);
    FillIfNull(o.endWait, d.endWait);
    Installed() = o;
}
