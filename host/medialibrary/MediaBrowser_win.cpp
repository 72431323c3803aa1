// The media library's life and the command that opens and toggles its browser.
#include <windows.h>

#include <cstring>

#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "host/medialibrary/MediaBrowser.h"
#include "media/library/MediaLibServices.h"
#include "objects/text/TextFields.h"

namespace {

constexpr uint32_t kShowText = 4189;  // "Show Media Window\tCtrl+D"
constexpr uint32_t kHideText = 4190;

// A half-made opening: the window goes and the library is given up for the run.
void GiveUp(HWND window) {
    if (window)
        DestroyWindow(window);
    CloseMediaLibPreview();
    DestroyMediaLibIcons();
    FreeMediaLibRecord(true);
}

}  // namespace

bool AllocMediaLib() { return AllocMediaLibRecord(); }

void CloseMediaLib() {
    HWND window = GetMediaLibWindow();
    const bool fieldPreview = [] {
        MediaLibLock record;
        return record && record->previewKind == static_cast<uint32_t>(kMediaTextObject);
    }();
    CloseMediaLibPreview();
    // The field windows' class outlived the layers only for the preview's field.
    if (fieldPreview && IsTextFieldClassRegistered())
        UnregisterTextFieldClass();
    if (window && IsWindow(window))
        DestroyWindow(window);
    char className[64] = {};
    LoadResString(1013, className, sizeof className);
    UnregisterClassA(className, GetAppInstance());
    DestroyMediaLibIcons();
    FreeMediaLibRecord(false);
}

void OpenMediaLib() {
    if (!HasMediaLib())
        return;
    if (HWND window = GetMediaLibWindow()) {
        ShowWindow(window, IsWindowVisible(window) ? SW_HIDE : SW_SHOW);
        return;
    }
    // Without a library the user is told where to make it; the next opening looks again.
    char folder[kMediaLibFolderBytes] = {};
    if (!FindMediaLibFolder(folder, kMediaLibMaxPath + 1))
        return;
    HWND window = CreateMediaLibWindow();
    if (!window) {
        GiveUp(nullptr);
        return;
    }
    {
        MediaLibLock record;
        record->window = window;
    }
    if (!FillMediaLibCategories(window, folder, kMediaLibMaxPath + 1)) {
        DestroyWindow(window);
        {
            MediaLibLock record;
            record->window = nullptr;
        }
        ExplainMissingMediaLib();
        return;
    }
    {
        MediaLibLock record;
        std::memcpy(record->folder, folder, sizeof folder);
        record->sortKey = kSortByName;
        record->searchIndex = -1;
        record->focusedKey = -1;
        record->tracking = 0;
        record->splitterCursor = nullptr;
        std::memset(record->band, 0, sizeof record->band);
    }
    SetupMediaLibList(window, folder);
    ShowMediaLibPreview(0, 0);
    ShowWindow(window, SW_SHOW);
}

void UpdateMediaLibMenuItem(HMENU menu) {
    if (!menu)
        return;
    HWND window = GetMediaLibWindow();
    char text[64] = {};
    LoadResString(window && IsWindowVisible(window) ? kHideText : kShowText, text, sizeof text);
    ModifyMenuA(menu, kMediaLibCommand, MF_BYCOMMAND | MF_STRING, kMediaLibCommand, text);
    EnableMenuItem(menu, kMediaLibCommand, MF_BYCOMMAND | (HasMediaLib() ? MF_ENABLED : MF_GRAYED));
}
