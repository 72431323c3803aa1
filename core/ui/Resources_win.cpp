// Resource lookup: the resource module first, then the plug-in's own module.
#include "core/ui/Resources.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <span>

#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/ui/dialogs/DialogOwner.h"

namespace {

// No operation sets it; a translated resource module would be kept here.
HMODULE g_resModule = nullptr;

constexpr int kMaxRunString = 255;

// The modules to ask, in order; a null module is skipped (a null instance would make the
// loaders look in the program file instead).
template <typename Lookup>
auto FirstFound(Lookup lookup, decltype(lookup(HMODULE{})) nothing) {
    for (HMODULE module : {g_resModule, static_cast<HMODULE>(GetAppInstance())}) {
        if (!module)
            continue;
        auto found = lookup(module);
        if (found != nothing)
            return found;
    }
    return nothing;
}

}  // namespace

HMODULE GetResModule() { return g_resModule; }

int LoadResString(uint32_t id, char* buffer, int bufferSize) {
    if (!buffer || bufferSize < 1)
        return 0;
    buffer[0] = 0;
    const int length = FirstFound(
        [&](HMODULE module) { return LoadStringA(module, id, buffer, bufferSize); }, 0);
    if (length <= 0) {
        buffer[0] = 0;
        return 0;
    }
    return length;
}

void LoadResStringN(uint16_t id, char* buffer, uint16_t size) {
    LoadResString(id, buffer, size);
}

std::string ResText(uint32_t id) {
    char text[kMaxRunString + 1] = {};
    LoadResString(id, text, sizeof text);
    return text;
}

char* DupResString(uint32_t id) {
    char text[kMaxRunString + 1];
    const int length = LoadResString(id, text, sizeof text);
    if (length <= 0)
        return nullptr;
    auto* copy = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (copy)
        std::memcpy(copy, text, static_cast<size_t>(length) + 1);
    return copy;
}

int LoadStringRun(uint32_t firstId, char** strings, int count) {
    if (!strings)
        return count < 1 ? 1 : 0;
    int allLoaded = 1;
    for (int i = 0; i < count; ++i) {
        strings[i] = DupResString(firstId + static_cast<uint32_t>(i));
        if (!strings[i])
            allLoaded = 0;
    }
    return allLoaded;
}

const void* LoadResData(const char* name, const char* type, uint32_t* size) {
    if (size)
        *size = 0;
    HMODULE owner = nullptr;
    HRSRC info = FirstFound(
        [&](HMODULE module) {
            HRSRC found = FindResourceA(module, name, type);
            if (found)
                owner = module;
            return found;
        },
        HRSRC{});
    if (!info)
        return nullptr;
    HGLOBAL loaded = LoadResource(owner, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (data && size)
        *size = SizeofResource(owner, info);
    return data;
}

INT_PTR ResDialogBox(HWND parent, DLGPROC proc, const char* templateName) {
    return ResDialogBoxParam(parent, proc, templateName, 0);
}

INT_PTR ResDialogBoxParam(HWND parent, DLGPROC proc, const char* templateName, LPARAM param) {
    return FirstFound(
        [&](HMODULE module) { return RunOwnedDialog(module, templateName, parent, proc, param); },
        INT_PTR{-1});
}

HWND ResCreateDialog(HWND parent, DLGPROC proc, const char* templateName) {
    return ResCreateDialogParam(parent, proc, templateName, 0);
}

HWND ResCreateDialogParam(HWND parent, DLGPROC proc, const char* templateName, LPARAM param) {
    return FirstFound(
        [&](HMODULE module) { return CreateOwnedDialog(module, templateName, parent, proc, param); },
        HWND{});
}

HMENU ResLoadMenu(const char* name) {
    return FirstFound([&](HMODULE module) { return LoadMenuA(module, name); }, HMENU{});
}

HBITMAP ResLoadBitmap(const char* name) {
    return FirstFound([&](HMODULE module) { return LoadBitmapA(module, name); }, HBITMAP{});
}

SIZE GetDibResourceSize(const char* name) {
    SIZE size = {0, 0};
    HINSTANCE module = GetAppInstance();
    HRSRC found = name ? FindResourceA(module, name, "DIB") : nullptr;
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!data)
        return size;
    const std::span<const uint8_t> bytes(data, SizeofResource(module, found));
    ByteReader reader(bytes, 18);
    const uint32_t width = reader.U32LE();
    const uint32_t height = reader.U32LE();
    if (reader.ok()) {
        size.cx = static_cast<LONG>(width);
        size.cy = static_cast<LONG>(height);
    }
    return size;
}
