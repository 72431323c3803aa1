// Importing a text or RTF file into the active field, and exporting its text to a file.
#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/files/OpenFileDialog.h"
#include "core/memory/SafeRelease.h"
#include "core/system/ChangeFlags.h"
#include "core/ui/Resources.h"
#include "core/ui/WaitCursor.h"
#include "objects/text/ActiveTextField.h"
#include "objects/text/FieldContents_win.h"
#include "stack/save/SaveDialogs.h"
#include "stack/save/SaveStack.h"

namespace {

// The Open dialog's filter pairs: plain text, all files, rich text.
constexpr uint32_t kTextFilterStrings[] = {4123, 4124, 4125, 4126, 4135, 4183};
constexpr char kRtfSignature[] = "{\\rtf";
// RichEdit takes rich text that grows on the way in: room for five times the file.
constexpr DWORD kRtfGrowth = 5;

// A file opened for the whole of one import or export; null when it could not be opened.
class FileHandle : public OwnedHandle<HANDLE, CloseHandle> {
public:
    FileHandle(const char* path, DWORD access, DWORD creation)
        : OwnedHandle(NullIfInvalid(
              CreateFileA(path, access, FILE_SHARE_READ, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr))) {}

private:
    static HANDLE NullIfInvalid(HANDLE file) { return file == INVALID_HANDLE_VALUE ? nullptr : file; }
};

std::string TextFilter() {
    std::string filter;
    for (uint32_t id : kTextFilterStrings)
        filter += ResText(id) + '\0';
    return filter + '\0';
}

void MarkChanged() {
    MarkFieldModified(GetActiveTextField());
    MarkCardChanged();
}

// The field's own alignment, which an RTF file's paragraphs must not replace.
int FieldAlignment(LayerHandle layer) {
    LayerLock<FieldLayer> field(layer);
    return field ? field->alignment : 0;
}

}  // namespace

int ImportTextIntoField(HWND window, const char* path) {
    HWND field = ActiveFieldWindow();
    if (!field)
        return 0;
    char chosen[kFileSpecPathSize] = {};
    if (!path && !AskTextFileToImport(window, chosen, sizeof chosen))
        return 0;
    FileHandle file(path ? path : chosen, GENERIC_READ, OPEN_EXISTING);
    if (!file)
        return 0;
    int rtf = 0;
    if (IsRtfFile(file.get()))
        rtf = ImportRtfFileToField(field, file.get());
    else
        TextStreamInPlainFile(field, file.get());
    // A plain import changes the text as much as a rich one: both reach the record.
    MarkChanged();
    return rtf;
}

bool AskTextFileToImport(HWND window, char* path, size_t size) {
    const std::string filter = TextFilter();
    const FileRequest request{static_cast<uint16_t>(kStringSelectTextFile), filter.c_str(), 0, 0, kSlotTextFile, 0};
    FileSpec chosen;
    if (!path || size == 0 || !GetOpenFileWithPreview(window, request, &chosen))
        return false;
    PutFileSpec(kSlotTextFile, chosen);  // the next text dialog starts from it
    FileRef opened = kNoFile;
    if (OpenFileSlot(kSlotTextFile, kOpenRead, &opened) != kFileOk)
        return false;
    FileClose(opened);
    GetFileSpecPath(kSlotTextFile, static_cast<int>(size), path);
    return true;
}

bool IsRtfFile(HANDLE file) {
    const DWORD at = SetFilePointer(file, 0, nullptr, FILE_CURRENT);
    if (at == INVALID_SET_FILE_POINTER)
        return false;
    char head[sizeof kRtfSignature - 1] = {};
    DWORD read = 0;
    const bool ok = ReadFile(file, head, sizeof head, &read, nullptr) && read == sizeof head;
    SetFilePointer(file, static_cast<LONG>(at), nullptr, FILE_BEGIN);
    return ok && std::memcmp(head, kRtfSignature, sizeof head) == 0;
}

int ImportRtfFileToField(HWND window, HANDLE file) {
    WaitCursor wait;
    if (HWND card = GetParent(window))
        UpdateWindow(card);
    const DWORD bytes = GetFileSize(file, nullptr);
    if (bytes != INVALID_FILE_SIZE)
        SendMessageA(window, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(bytes * kRtfGrowth));
    const bool shown = IsWindowVisible(window) != 0;
    ShowWindow(window, SW_HIDE);
    TextStreamInRtfFile(window, file);
    // The runs of the whole text, then the text again alone: what a run does not hold (the
    // paragraphs' formats) goes.
    const Handle whole = TextGetRangeHandle(window, 0, 0);
    std::vector<uint8_t> text = HandleToBytes(whole);
    DisposeHandle(whole);
    // The paragraph mark that ends the file's last paragraph is no text of its own.
    if (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    const std::vector<uint8_t> scrap = CollectStyleScrap(window, false);
    const std::string plain(text.begin(), text.end());
    TextSetText(window, "");
    TextSetText(window, plain.c_str());
    const auto length = static_cast<int32_t>(plain.size());
    ApplyStyleRuns(window, ReadStyleScrap(scrap, static_cast<uint32_t>(length)), length);
    TextSetAlignment(window, FieldAlignment(FieldLayerOfWindow(window)));
    if (shown)
        ShowWindow(window, SW_SHOWNA);
    return 1;
}

void ExportFieldText(HWND window) {
    HWND field = ActiveFieldWindow();
    char path[kFileSpecPathSize] = {};
    if (!field || !AskSaveStackFile(window, kSaveText, path, sizeof path))
        return;
    HGLOBAL block = TextStreamOutPlain(field, true);
    if (!block)
        return;
    std::vector<uint8_t> text;
    if (const auto* bytes = static_cast<const uint8_t*>(GlobalLock(block))) {
        text.assign(bytes, bytes + strnlen(reinterpret_cast<const char*>(bytes), GlobalSize(block)));
        GlobalUnlock(block);
    }
    GlobalFree(block);
    // Written whole, then put in the place of any file of that name; a failure is told.
    WriteBytesToPath(text, path);
}
