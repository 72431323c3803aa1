// The question before anything is started, and where downloaded files lie.
#include "host/launching/LaunchConsent.h"

#include <cstring>

#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "host/downloads/DownloadCache.h"
#include "host/downloads/DownloadStreams.h"
#include "host/launching/LaunchPrograms.h"
#include "resources/launch_ids.h"

namespace {

INT_PTR CALLBACK ConsentProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemTextA(dialog, IDC_LAUNCHASK_TEXT, reinterpret_cast<const char*>(lParam));
        CenterWindowOnScreen(dialog);
        SetFocus(GetDlgItem(dialog, IDNO));
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDYES:
            EndDialog(dialog, IDYES);
            return TRUE;
        case IDNO:
        case IDCANCEL:
            EndDialog(dialog, IDNO);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

std::string TempFolder() {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    return length > 0 && length < sizeof folder ? std::string(folder, length) : std::string();
}

DownloadOrigin CurrentOrigin() {
    DownloadOrigin origin;
    if (const DownloadCache* cache = GetDownloadCache()) {
        const int count = cache->count < 0 ? 0 : (cache->count > kMaxCacheEntries ? kMaxCacheEntries : cache->count);
        for (int i = 0; i < count; ++i)
            origin.cachedPaths.emplace_back(cache->entries[i].localPath,
                                            strnlen(cache->entries[i].localPath, kCachePathSize));
    }
    origin.tempFolder = TempFolder();
    if (const FileSpec* stack = GetFileSpec(kSlotCurrentStack))
        origin.stackPath = std::string(PathOf(*stack));
    origin.stackFromWeb = false;
    for (const std::string& cached : origin.cachedPaths)
        if (!origin.stackPath.empty() && lstrcmpiA(cached.c_str(), origin.stackPath.c_str()) == 0)
            origin.stackFromWeb = true;
    if (PathInFolder(origin.stackPath, origin.tempFolder))
        origin.stackFromWeb = true;
    return origin;
}

}  // namespace

bool AskLaunchConsent(const std::string& program, const std::string& document) {
    std::string text;
    if (!program.empty()) {
        text = "Program:\r\n" + program + "\r\n\r\nDocument:\r\n" + (document.empty() ? "(none)" : document);
    } else {
        text = "Open:\r\n" + document;
    }
    const INT_PTR answer = ResDialogBoxParam(GetMainWindow(), ConsentProc, "LAUNCHASK",
                                             reinterpret_cast<LPARAM>(text.c_str()));
    return answer == IDYES;
}

bool IsDownloadedFile(const char* path) { return path && IsDownloadedPath(path, CurrentOrigin()); }

bool IsStackFromWeb() { return CurrentOrigin().stackFromWeb; }
