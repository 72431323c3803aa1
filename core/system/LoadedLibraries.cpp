// The table of libraries loaded at run time.
#include "core/system/LoadedLibraries.h"

#include <algorithm>

bool LoadedLibraryTable::HasRoom() const { return std::find(slots.begin(), slots.end(), nullptr) != slots.end(); }

bool LoadedLibraryTable::Record(void* module) {
    auto free = std::find(slots.begin(), slots.end(), nullptr);
    if (!module || free == slots.end())
        return false;
    *free = module;
    return true;
}

bool LoadedLibraryTable::Holds(void* module) const {
    return module && std::find(slots.begin(), slots.end(), module) != slots.end();
}

bool LoadedLibraryTable::Forget(void* module) {
    auto at = std::find(slots.begin(), slots.end(), module);
    if (!module || at == slots.end())
        return false;
    std::move(at + 1, slots.end(), at);
    slots.back() = nullptr;
    return true;
}

void LoadedLibraryTable::ReleaseAll(void (*release)(void* module)) {
    for (void* module : slots) {
        if (!module)
            break;
        release(module);
    }
    slots.fill(nullptr);
}

LoadedLibraryTable& LoadedLibraries() {
    static LoadedLibraryTable table;
    return table;
}
