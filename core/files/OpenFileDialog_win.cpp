// The Open dialog with preview; it also asks the person where a moved file went.
#include "core/files/OpenFileDialog.h"

#include <commdlg.h>
#include <shlobj.h>

#include <cstring>
#include <string>

#include "core/files/FileDialogHooks.h"
#include "core/files/FileTypes.h"
#include "core/system/PluginModule.h"
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
    char name[kFileSpecPathSize] = {};
    if (!startsAside)
        CopyPathText(NameOf(start), name, sizeof name);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = DialogOwner(owner);
    dialog.hInstance = GetAppInstance();
    dialog.lpstrFilter = request.filter;
    dialog.lpstrFile = name;
    dialog.nMaxFile = sizeof name;
    dialog.lpstrInitialDir = folder[0] ? folder : nullptr;
    dialog.lpstrTitle = title[0] ? title : nullptr;
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_ENABLEHOOK;
    if (OpenDialogShowsPreview(request.word)) {
        dialog.Flags |= OFN_ENABLETEMPLATE;
        dialog.lpTemplateName = "OPENPREVIEWDLG";
        dialog.lpfnHook = PreviewOpenHook;
    } else {
        dialog.lpfnHook = CenterOnInitHook;
    }
    ShowCursor(TRUE);
    FocusReturnScope keep(dialog.hwndOwner);
    const BOOL confirmed = GetOpenFileNameA(&dialog);
    ShowCursor(FALSE);
    if (!confirmed)
        return false;
    FileSpec result = start;
    SetFileSpecPath(&result, name);
    result.kind = static_cast<uint32_t>(FileTypeFromExtension(name));
    result.flag = static_cast<uint8_t>(dialog.nFilterIndex);
    *chosen = result;
    return true;
}
