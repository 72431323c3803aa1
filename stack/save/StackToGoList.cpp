// The list behind the packager's tree: items, check states and the running total.
#include <cctype>
#include <cstdio>

#include "stack/save/StackToGo.h"

uint32_t SizeTenths(uint64_t bytes) {
    const uint64_t tenths = bytes * 10 / 1024;
    return tenths > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(tenths);
}

std::string FormatTenths(uint32_t tenths) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%1uK", tenths / 10, tenths % 10);
    return text;
}

std::string_view PathFileName(std::string_view path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool RecordNameFits(std::string_view path) {
    const std::string_view name = PathFileName(path);
    return !name.empty() && name.size() < kToGoNameBytes;
}

bool SamePathText(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (std::tolower(x) != std::tolower(y))
            return false;
    }
    return true;
}

bool IsModulePath(std::string_view path) {
    return path.size() >= 4 && SamePathText(path.substr(path.size() - 4), ".nba");
}

int FindTopItem(const StackToGoList& list, std::string_view path) {
    for (size_t i = 0; i < list.items.size(); ++i)
        if (list.items[i].parent < 0 && list.items[i].path == path)
            return static_cast<int>(i);
    return -1;
}

int FindChildItem(const StackToGoList& list, int parent, std::string_view path) {
    for (size_t i = 0; i < list.items.size(); ++i)
        if (list.items[i].parent == parent && list.items[i].path == path)
            return static_cast<int>(i);
    return -1;
}

namespace {

int Add(StackToGoList& list, int parent, int kind, std::string_view path, uint32_t tenths, int state) {
    StackToGoItem item;
    item.parent = parent;
    item.kind = kind;
    item.path = std::string(path);
    item.tenths = tenths;
    item.nameTooLong = !RecordNameFits(path);
    item.state = state == kToGoMissing ? kToGoMissing : kToGoUnchecked;
    if (item.state == kToGoMissing)
        list.missingFiles = true;
    list.items.push_back(std::move(item));
    const int index = static_cast<int>(list.items.size() - 1);
    if (state != kToGoMissing && state != kToGoUnchecked)
        SetItemState(list, index, state);
    return index;
}

bool Checkable(const StackToGoItem& item) { return item.state != kToGoMissing && !item.nameTooLong; }

}  // namespace

int AddTopItem(StackToGoList& list, std::string_view path, uint32_t tenths, int state) {
    return Add(list, -1, kToGoStack, path, tenths, state);
}

int AddChildItem(StackToGoList& list, int parent, int kind, std::string_view path, uint32_t tenths, int state) {
    return Add(list, parent, kind, path, tenths, state);
}

std::vector<int> ChildrenOf(const StackToGoList& list, int parent) {
    std::vector<int> children;
    for (size_t i = 0; i < list.items.size(); ++i)
        if (list.items[i].parent == parent)
            children.push_back(static_cast<int>(i));
    return children;
}

void SetItemState(StackToGoList& list, int index, int state) {
    if (index < 0 || static_cast<size_t>(index) >= list.items.size())
        return;
    StackToGoItem& item = list.items[index];
    if (!Checkable(item) || state == kToGoMissing)
        return;
    const bool wasIn = item.state == kToGoChecked || item.state == kToGoPartly;
    const bool isIn = state == kToGoChecked || state == kToGoPartly;
    if (wasIn && !isIn)
        list.totalTenths = list.totalTenths >= item.tenths ? list.totalTenths - item.tenths : 0;
    else if (!wasIn && isIn)
        list.totalTenths += item.tenths;
    item.state = state;
}

void ClickItem(StackToGoList& list, int index) {
    if (index < 0 || static_cast<size_t>(index) >= list.items.size() || !Checkable(list.items[index]))
        return;
    const int state = list.items[index].state == kToGoChecked ? kToGoUnchecked : kToGoChecked;
    SetItemState(list, index, state);
    for (int child : ChildrenOf(list, index))
        SetItemState(list, child, state);
    const int parent = list.items[index].parent;
    if (parent < 0)
        return;
    bool differs = false;
    for (int child : ChildrenOf(list, parent))
        if (Checkable(list.items[child]) && list.items[child].state != state)
            differs = true;
    SetItemState(list, parent, differs ? kToGoPartly : state);
}

void SetAllItems(StackToGoList& list, int state) {
    for (size_t i = 0; i < list.items.size(); ++i)
        SetItemState(list, static_cast<int>(i), state);
}
