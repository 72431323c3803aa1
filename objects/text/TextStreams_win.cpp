// Streaming a field's text out into and in from memory blocks and files.
#include <richedit.h>

#include <cstring>

#include "objects/text/TextFields.h"

namespace {

// The stream buffer: a movable block and its byte count.
struct StreamBuffer {
    HGLOBAL block = nullptr;
    LONG count = 0;
};

DWORD CALLBACK StreamOut(DWORD_PTR cookie, LPBYTE bytes, LONG count, LONG* done) {
    auto* buffer = reinterpret_cast<StreamBuffer*>(cookie);
    *done = 0;
    if (count <= 0)
        return 0;
    HGLOBAL grown = buffer->block ? GlobalReAlloc(buffer->block, buffer->count + count, GMEM_MOVEABLE)
                                  : GlobalAlloc(GMEM_MOVEABLE, count);
    if (!grown)
        return 1;  // stops the stream
    buffer->block = grown;
    if (auto* at = static_cast<BYTE*>(GlobalLock(grown))) {
        std::memcpy(at + buffer->count, bytes, count);
        GlobalUnlock(grown);
    }
    buffer->count += count;
    *done = count;
    return 0;
}

// Hands out the front of the block and shifts the rest down.
DWORD CALLBACK StreamInMemory(DWORD_PTR cookie, LPBYTE bytes, LONG count, LONG* done) {
    auto* buffer = reinterpret_cast<StreamBuffer*>(cookie);
    const LONG given = count < buffer->count ? count : buffer->count;
    *done = 0;
    if (given <= 0)
        return 0;
    auto* at = static_cast<BYTE*>(GlobalLock(buffer->block));
    if (!at)
        return 1;
    std::memcpy(bytes, at, given);
    std::memmove(at, at + given, buffer->count - given);
    GlobalUnlock(buffer->block);
    buffer->count -= given;
    *done = given;
    return 0;
}

struct FileStream {
    HANDLE file = nullptr;
    DWORD length = 0;
    bool started = false;
};

DWORD CALLBACK StreamInFile(DWORD_PTR cookie, LPBYTE bytes, LONG count, LONG* done) {
    auto* stream = reinterpret_cast<FileStream*>(cookie);
    if (!stream->started) {
        stream->length = GetFileSize(stream->file, nullptr);
        stream->started = true;
    }
    DWORD read = 0;
    *done = 0;
    if (count > 0 && !ReadFile(stream->file, bytes, static_cast<DWORD>(count), &read, nullptr))
        return 1;
    *done = static_cast<LONG>(read);
    if (read == 0) {
        stream->length = 0;
        stream->started = false;
    }
    return 0;
}

HGLOBAL StreamOutAs(HWND window, WPARAM format) {
    StreamBuffer buffer;
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&buffer), 0, StreamOut};
    SendMessageA(window, EM_STREAMOUT, format, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError && buffer.block) {
        GlobalFree(buffer.block);
        return nullptr;
    }
    return buffer.block ? buffer.block : GlobalAlloc(GMEM_MOVEABLE, 0);
}

bool StreamInFileAs(HWND window, HANDLE file, WPARAM format) {
    if (!file || file == INVALID_HANDLE_VALUE)
        return false;
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    FileStream source{file};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&source), 0, StreamInFile};
    SendMessageA(window, EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError == 0;
}

}  // namespace

HGLOBAL TextStreamOutRtf(HWND window, bool whole) { return StreamOutAs(window, SF_RTF | (whole ? 0 : SFF_SELECTION)); }

HGLOBAL TextStreamOutPlain(HWND window, bool selectionOnly) {
    const bool selection = selectionOnly && TextHasSelection(window);
    return StreamOutAs(window, SF_TEXT | (selection ? SFF_SELECTION : 0));
}

bool TextStreamInBlock(HWND window, HGLOBAL block, bool rtf, bool selection) {
    if (!block)
        return false;
    StreamBuffer buffer{block, static_cast<LONG>(GlobalSize(block))};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&buffer), 0, StreamInMemory};
    SendMessageA(window, EM_STREAMIN, (rtf ? SF_RTF : SF_TEXT) | (selection ? SFF_SELECTION : 0),
                 reinterpret_cast<LPARAM>(&stream));
    return stream.dwError == 0;
}

bool CopyFieldRichText(HWND from, HWND to) {
    HGLOBAL block = StreamOutAs(from, SF_RTF);
    if (!block)
        return false;
    const SIZE_T bytes = GlobalSize(block);
    SendMessageA(to, EM_EXLIMITTEXT, 0, static_cast<LPARAM>(bytes * 5));
    StreamBuffer buffer{block, static_cast<LONG>(bytes)};
    EDITSTREAM stream = {reinterpret_cast<DWORD_PTR>(&buffer), 0, StreamInMemory};
    SendMessageA(to, EM_STREAMIN, SF_RTF | SFF_PLAINRTF, reinterpret_cast<LPARAM>(&stream));
    GlobalFree(buffer.block);
    return stream.dwError == 0;
}

bool TextStreamInPlainFile(HWND window, HANDLE file) { return StreamInFileAs(window, file, SF_TEXT); }

bool TextStreamInRtfFile(HWND window, HANDLE file) { return StreamInFileAs(window, file, SF_RTF | SFF_PLAINRTF); }
