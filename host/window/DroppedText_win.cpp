// Text and rich text dropped into a text object: a field without text imports the whole file;
// one with text takes the file at the character under the drop, its own text kept on both
// sides (rich text is streamed in at the caret, so the field's styles stay as they were).
#include <windows.h>
#include <richedit.h>

#include <string>

#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "layers/ObjectLayer.h"
#include "host/window/DroppedFiles.h"
#include "objects/text/ActiveTextField.h"

namespace {

// Past this a dropped text is cut: a field is no place for more.
constexpr DWORD kMaxDroppedText = 16u << 20;

struct FileStream {
    HANDLE file;
};

DWORD CALLBACK ReadFileChunk(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* read) {
    auto* stream = reinterpret_cast<FileStream*>(cookie);
    DWORD got = 0;
    if (!ReadFile(stream->file, buffer, static_cast<DWORD>(count), &got, nullptr))
        return 1;
    *read = static_cast<LONG>(got);
    return 0;
}

void MakeActive(LayerHandle layer, HWND window) {
    if (GetActiveTextField() != layer)
        EndTextEditing(GetActiveTextField());
    SetActiveTextField(layer);
    SetFocus(window);
}

}  // namespace

bool DropTextIntoField(LayerHandle field, const char* path, bool rich, POINT point) {
    HWND window = nullptr;
    {
        LayerLock<FieldLayer> lock(field);
        if (!lock)
            return false;
        window = lock->window;
    }
    if (!window || !path)
        return false;
    MakeActive(field, window);
    if (GetWindowTextLengthA(window) == 0) {
        SetFileSpecFromPath(kSlotTextFile, path);  // remembered for the next text file chosen
        ImportTextIntoField(window, path);
        return true;
    }
    POINT local = point;
    MapWindowPoints(GetParent(window), window, &local, 1);
    POINTL at{local.x, local.y};
    const LRESULT found = SendMessageA(window, EM_CHARFROMPOS, 0, reinterpret_cast<LPARAM>(&at));
    const LONG caret = static_cast<LONG>(LOWORD(found)) | (static_cast<LONG>(HIWORD(found)) << 16);
    CHARRANGE range{caret, caret};
    SendMessageA(window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool done = false;
    if (rich) {
        FileStream stream{file};
        EDITSTREAM edit{reinterpret_cast<DWORD_PTR>(&stream), 0, ReadFileChunk};
        SendMessageA(window, EM_STREAMIN, SF_RTF | SFF_SELECTION, reinterpret_cast<LPARAM>(&edit));
        done = edit.dwError == 0;
    } else {
        const DWORD size = GetFileSize(file, nullptr);
        std::string text(std::min(size, kMaxDroppedText), '\0');
        DWORD read = 0;
        done = ReadFile(file, text.data(), static_cast<DWORD>(text.size()), &read, nullptr) != 0;
        text.resize(read);
        if (done)
            SendMessageA(window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
    }
    CloseHandle(file);
    if (done) {
        // The field's text is stored from its window only when the field is marked modified.
        MarkFieldModified(field);
        MarkCardChanged();
    }
    return done;
}
