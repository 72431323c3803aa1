// Minimal attach until start-up and the card message handler exist: the handle table, the
// file-spec table and the download services are set up, and the window is kept as the card
// window, which is enough to open a stack into memory.
#include "host/WindowAttach.h"

#include "core/FileSpec.h"
#include "core/Handles.h"
#include "host/DownloadStreams.h"
#include "host/Preferences.h"
#include "core/PluginModule.h"
#include "graphics/AppPalette.h"
#include "stack/CardList.h"
#include "stack/ResFile.h"

bool AttachPluginWindow(HWND window) {
    if (!IsWindow(window) || !InitMemRefs())
        return false;
    SetMainWindow(window);
    InitAppPalette(window);
    if (!InitFolderTable())
        return false;
    LoadUserPreferences();
    InstallDownloadServices();
    return true;
}

void ShutdownPluginInstance(HWND /*window*/) {
    DisposeCards();
    CloseAllResFiles();
    SaveCacheIndex();
    FreeDownloadState();
    FreeFolderTable();
    FreePaletteObjects();
    SetMainWindow(nullptr);
}
