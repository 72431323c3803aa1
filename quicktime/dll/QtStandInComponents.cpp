// Component instances: each is a record of its kind and the state the kind made. Calls reach
// the kind's handler only for an instance that is alive.
#include "quicktime/dll/QtStandIn.h"

#include <set>

#include "quicktime/QtEffects.h"

struct QtComponentRecord {
    const StandInComponentKind* kind;
    void* state;
};

namespace {

std::set<QtComponentRecord*> g_instances;

QtComponentRecord* Live(QtComponentInstance instance) {
    return g_instances.count(instance) ? instance : nullptr;
}

intptr_t DoOpenDefaultComponent(const QtWord* args) {
    const auto type = static_cast<QtOSType>(args[0]);
    const auto subType = static_cast<QtOSType>(args[1]);
    for (const StandInComponentKind* kind : StandInComponentKinds()) {
        if (!kind || kind->type != type || !kind->openDefault)
            continue;
        if (void* state = kind->openDefault(subType))
            return reinterpret_cast<intptr_t>(StandInNewInstance(kind, state));
    }
    return 0;
}

intptr_t DoCloseComponent(const QtWord* args) {
    QtComponentRecord* record = Live(reinterpret_cast<QtComponentInstance>(args[0]));
    if (!record)
        return kQtBadComponentInstance;
    g_instances.erase(record);
    if (record->kind->close)
        record->kind->close(record->state);
    delete record;
    return kQtNoErr;
}

intptr_t DoCallComponent(const QtWord* args) {
    return StandInComponentCall(nullptr, reinterpret_cast<const void*>(args[0]), 0);
}

constexpr StandInRow kComponentRows[] = {
    {kQtSelCallComponent, DoCallComponent},
    {kQtSelCloseComponent, DoCloseComponent},
    {kQtSelOpenDefaultComponent, DoOpenDefaultComponent},
};

}  // namespace

std::span<const StandInRow> StandInComponentRows() { return kComponentRows; }

QtComponentInstance StandInNewInstance(const StandInComponentKind* kind, void* state) {
    if (!kind)
        return nullptr;
    auto* record = new QtComponentRecord{kind, state};
    g_instances.insert(record);
    return record;
}

void* StandInInstanceState(QtComponentInstance instance, const StandInComponentKind* kind) {
    QtComponentRecord* record = Live(instance);
    return record && record->kind == kind ? record->state : nullptr;
}

int StandInOpenInstances() { return static_cast<int>(g_instances.size()); }

intptr_t StandInComponentCall(void*, const void* params, QtWord) {
    const auto* block = static_cast<const QtComponentParams*>(params);
    if (!block)
        return kQtParamErr;
    QtComponentRecord* record = Live(QtComponentParamsInstance(*block));
    if (!record)
        return kQtBadComponentInstance;
    if (!record->kind->call)
        return kQtBadComponentSelector;
    return record->kind->call(record->state, block->what, block->params, QtComponentParamCount(*block));
}
