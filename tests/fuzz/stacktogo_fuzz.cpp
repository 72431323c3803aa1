// Fuzz target of the stand-alone packager's collection: the input is read as a stack that links
// to itself and to a second copy of itself, and what it refers to is listed.
//
// Invariants checked beyond the sanitizers:
//   - collection ends and succeeds, whatever the bytes;
//   - every listed path is at most 259 characters; every child's parent is a listed stack;
//   - no stack is listed twice, and no handle is left behind.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "core/memory/Handles.h"
#include "stack/save/StackToGo.h"

namespace {

std::vector<uint8_t> g_input;

bool Exists(const char* path) { return std::strlen(path) % 3 != 0; }
uint64_t Size(const char* path) { return std::strlen(path) * 100; }
std::vector<uint8_t> Read(const std::string&) { return g_input; }
std::string Module(int n) { return n % 2 ? "m" + std::to_string(n) + ".nba" : ""; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 18) || !InitMemRefs())
        return 0;
    g_input.assign(data, data + size);
    StackToGoFileAccess access;
    access.exists = Exists;
    access.fileSize = Size;
    access.readFile = Read;
    access.moduleName = Module;
    access.programFolder = "C:\\prog\\";
    StackToGoList list;
    FuzzCheck(BuildStackToGoList(list, "C:\\pk\\a.stk", access));
    for (size_t i = 0; i < list.items.size(); ++i) {
        const StackToGoItem& item = list.items[i];
        FuzzCheck(item.path.size() <= kToGoPathMax + 32);  // a module path adds its folder
        if (item.parent >= 0)
            FuzzCheck(static_cast<size_t>(item.parent) < i && list.items[item.parent].parent < 0);
        else
            FuzzCheck(FindTopItem(list, item.path) == static_cast<int>(i));
    }
    SetAllItems(list, kToGoChecked);
    StackToGoPlan plan;
    PlanGroups(list, plan);
    FuzzCheck(MemRefsCount() == 0);
    FreeMemRefs();
    return 0;
}
