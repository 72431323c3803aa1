// Test helpers of the media library and dropped files: a folder of files in the temporary
// folder, shell shortcuts, and a real shell drop record sent to a window.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include "tests/support/ProcessNames_win.h"

inline std::string MakeTestFolder(const std::string& name) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "loom-" + name + "-" + ProcessTag();
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

inline void RemoveTestFolder(const std::string& folder) {
    std::string from = folder + '\0';
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&op);
}

inline std::string WriteTestFile(const std::string& folder, const std::string& name, const std::string& bytes) {
    const std::string path = folder + "\\" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    return path;
}

// A shortcut at path to target (written over any earlier one); the path.
inline std::string MakeShortcut(const std::string& path, const std::string& target) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return path;
    link->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
        file->Save(wide, TRUE);
        file->Release();
    }
    link->Release();
    return path;
}

// A shell drop record of the files at a client point of the window, sent as WM_DROPFILES;
// the window's answer.
inline LRESULT DropFiles(HWND window, std::initializer_list<std::string> files, POINT point) {
    std::string list;
    for (const std::string& file : files)
        list += file + '\0';
    list += '\0';
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size());
    auto* record = static_cast<DROPFILES*>(GlobalLock(drop));
    record->pFiles = sizeof(DROPFILES);
    record->pt = point;
    record->fNC = FALSE;
    record->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(record) + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(drop);
    return SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
}

// Holds a key down (or lets it go) in this thread's key state, as GetKeyState reads it.
inline void HoldKey(int key, bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[key] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}
