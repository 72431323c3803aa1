// The Open dialog with preview; it also asks the person where a moved file went.
#include "core/files/OpenFileDialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "core/files/FileDialogHooks.h"
#include "core/files/FileTypes.h"
#include "core/system/PluginModule.h"
#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"
#include "core/ui/dialogs/DialogOwner.h"

namespace {

constexpr uint16_t kFirstFindTitle = 2413, kLastFindTitle = 2418;

bool InTemporaryFolder(const std::string& folder) {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof temp, temp);
    std::string inside = folder;
    if (!inside.empty() && inside.back() != '\\')
        inside += '\\';
    return length > 0 && length < sizeof temp && inside.size() >= length &&
           _strnicmp(inside.c_str(), temp, length) == 0;
}

// Inside the download cache's folder: a copy of the cache's.
bool InCacheFolder(const std::string& folder) {
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp)
        return false;
    std::string cache = std::string(temp, length);
    if (cache.back() != '\\')
        cache += '\\';
    cache += kDownloadCacheFolderName;
    return folder.size() >= cache.size() && _strnicmp(folder.c_str(), cache.c_str(), cache.size()) == 0 &&
           (folder.size() == cache.size() || folder[cache.size()] == '\\');
}

std::string DocumentsFolder() {
    char documents[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents)))
        return documents;
    return {};
}

}  // namespace

std::string AuthorsFolder() {
    char folder[kFileSpecPathSize] = {};
    GetFileSpecFolder(kSlotCurrentStack, folder, sizeof folder);
    if (!folder[0] || InTemporaryFolder(folder))
        return DocumentsFolder();
    return folder;
}

bool AskForFile(const FileRequest& request, const FileSpec& start, FileSpec* chosen) {
    return ChooseOpenFile(GetMainWindow(), request, start, chosen);
}

bool OpenDialogShowsPreview(int fileType) {
    return fileType == kMoviePreview || fileType == kSoundPreview || fileType == kPicturePreview;
}

bool GetOpenFileWithPreview(HWND owner, const FileRequest& request, FileSpec* chosen) {
    const FileSpec* start = GetFileSpec(request.slot);
    return ChooseOpenFile(owner, request, start ? *start : EmptyFileSpec(), chosen);
}

namespace {

// The wide text in the ANSI code page; empty when a character has no form there.
std::string InCodePage(const std::wstring& wide) {
    if (wide.empty())
        return {};
    BOOL lost = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &lost);
    if (n <= 1 || lost)
        return {};
    std::string text(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, text.data(), n, nullptr, &lost);
    text.resize(static_cast<size_t>(n - 1));
    return lost ? std::string() : text;
}

std::wstring WideText(const char* text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1)
        return {};
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), n);
    wide.resize(static_cast<size_t>(n - 1));
    return wide;
}

// Where the chosen name is refused: the alert names it as far as the code page can.
constexpr uint32_t kAlertPathUnreachable = 2882;

void ReportUnreachable(const wchar_t* path) {
    BOOL lost = FALSE;
    char shown[kFileSpecPathSize * 2] = {};
    WideCharToMultiByte(CP_ACP, 0, path, -1, shown, sizeof shown - 1, nullptr, &lost);
    std::string text = ResText(kAlertPathUnreachable);
    if (const size_t at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, shown);
    ShowAlertText(nullptr, text.c_str());
}

}  // namespace

std::string AnsiPathFor(const wchar_t* path) {
    if (!path || !path[0])
        return {};
    const std::wstring full(path);
    std::string ansi = InCodePage(full);
    if (!ansi.empty() && ansi.size() < kFileSpecPathSize)
        return ansi;
    const DWORD needed = GetShortPathNameW(path, nullptr, 0);
    if (needed == 0)
        return {};
    std::wstring shortForm(needed, L'\0');
    const DWORD got = GetShortPathNameW(path, shortForm.data(), needed);
    if (got == 0 || got >= needed)
        return {};
    shortForm.resize(got);
    ansi = InCodePage(shortForm);
    return ansi.size() < kFileSpecPathSize ? ansi : std::string();
}

bool ChooseOpenFile(HWND owner, const FileRequest& request, const FileSpec& start, FileSpec* chosen) {
    if (!chosen)
        return false;
    char folder[kFileSpecPathSize] = {};
    GetSpecFolder(start, folder, sizeof folder);
    // A start in the download cache is the cache's copy, not the author's file, and a folder
    // that is not there (the media library's before it is made) would leave the dialog in the
    // program's current folder: the dialog starts where the author's files are, with no name.
    const DWORD attributes = folder[0] ? GetFileAttributesA(folder) : INVALID_FILE_ATTRIBUTES;
    const bool startsAside = attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
                             InCacheFolder(folder);
    if (startsAside)
        CopyPathText(AuthorsFolder(), folder, sizeof folder);
    char title[300] = {};
    LoadResString(request.titleStringId, title, 256);
    if (request.titleStringId >= kFirstFindTitle && request.titleStringId <= kLastFindTitle) {
        const std::string full = std::string(title) + std::string(NameOf(start));
        CopyPathText(full, title, sizeof title);
    }
    // Wide, so that a name outside the code page comes back whole rather than with '?' in it.
    std::wstring name = startsAside ? std::wstring() : WideText(std::string(NameOf(start)).c_str());
    name.resize(32768, L'\0');
    const std::wstring wideFolder = WideText(folder), wideTitle = WideText(title);
    std::wstring filter;
    for (const char* f = request.filter; f && *f; f += std::strlen(f) + 1)
        filter += WideText(f) + L'\0';
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = DialogOwner(owner);
    dialog.hInstance = GetAppInstance();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = wideFolder.empty() ? nullptr : wideFolder.c_str();
    dialog.lpstrTitle = wideTitle.empty() ? nullptr : wideTitle.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLEHOOK;
    if (OpenDialogShowsPreview(request.word)) {
        dialog.Flags |= OFN_ENABLETEMPLATE;
        dialog.lpTemplateName = L"OPENPREVIEWDLG";
        dialog.lpfnHook = PreviewOpenHook;
    } else {
        dialog.lpfnHook = CenterOnInitHook;
    }
    ShowCursor(TRUE);
    FocusReturnScope keep(dialog.hwndOwner);
    const BOOL confirmed = GetOpenFileNameW(&dialog);
    ShowCursor(FALSE);
    if (!confirmed)
        return false;
    // A name the program's file calls cannot take is refused here, before anything is let go.
    const std::string path = AnsiPathFor(name.c_str());
    if (path.empty()) {
        ReportUnreachable(name.c_str());
        return false;
    }
    FileSpec result = start;
    SetFileSpecPath(&result, path.c_str());
    result.kind = static_cast<uint32_t>(FileTypeFromExtension(path.c_str()));
    result.flag = static_cast<uint8_t>(dialog.nFilterIndex);
    *chosen = result;
    return true;
}
