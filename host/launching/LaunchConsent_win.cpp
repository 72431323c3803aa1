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

// A path as this machine resolves it: full (relative parts and "..", "\\?\", "\\.\" and this
// machine's administrative shares resolved), with long names, and, for a file or folder that
// exists, where its links lead. Text prefixes of other forms of one path never match.
std::string CanonicalPath(const std::string& path) {
    if (path.empty())
        return path;
    const std::string plain = PlainPathForm(path);
    char buffer[4 * MAX_PATH] = {};
    DWORD length = GetFullPathNameA(plain.c_str(), sizeof buffer, buffer, nullptr);
    if (length == 0 || length >= sizeof buffer)
        return plain;
    const std::string full(buffer, length);
    HANDLE file = CreateFileA(full.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        length = GetFinalPathNameByHandleA(file, buffer, sizeof buffer, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        CloseHandle(file);
        if (length > 0 && length < sizeof buffer)
            return PlainPathForm(std::string(buffer, length));
    }
    // Not there (yet): the long name of the folder it would lie in.
    const size_t cut = full.find_last_of('\\');
    if (cut == std::string::npos || cut < 2 || cut + 1 == full.size())
        return full;
    const bool driveRoot = cut == 2 && full[1] == ':';
    const std::string folder = driveRoot ? full.substr(0, 3) : CanonicalPath(full.substr(0, cut));
    return folder + (folder.empty() || folder.back() != '\\' ? "\\" : "") + full.substr(cut + 1);
}

DownloadOrigin CurrentOrigin() {
    DownloadOrigin origin;
    if (const DownloadCache* cache = GetDownloadCache()) {
        const int count = cache->count < 0 ? 0 : (cache->count > kMaxCacheEntries ? kMaxCacheEntries : cache->count);
        for (int i = 0; i < count; ++i)
            origin.cachedPaths.push_back(CanonicalPath(
                std::string(cache->entries[i].localPath, strnlen(cache->entries[i].localPath, kCachePathSize))));
    }
    origin.tempFolder = CanonicalPath(TempFolder());
    if (const FileSpec* stack = GetFileSpec(kSlotCurrentStack))
        origin.stackPath = CanonicalPath(std::string(PathOf(*stack)));
    origin.stackFromWeb = OpenStackIsFromTheWeb();
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

bool IsDownloadedFile(const char* path) { return path && IsDownloadedPath(CanonicalPath(path), CurrentOrigin()); }

bool IsStackFromWeb() { return CurrentOrigin().stackFromWeb; }
