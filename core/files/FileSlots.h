// The file-spec table: 21 fixed slots, each naming one file or folder in a fixed role.
// Operations take a slot number. A file dialog hands its choice back to its caller, who keeps
// it in the slot of its role where the program remembers it.
// The table lives in one handle, locked from start-up to shut-down.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/memory/Handles.h"

inline constexpr int kFileSpecCount = 21;
inline constexpr size_t kFileSpecPathSize = 260;  // bytes of the path field, NUL included
inline constexpr size_t kFileSpecNameSize = 64;   // bytes of the name field, NUL included

// Slot roles.
enum FileSpecSlot : int {
    kSlotScratch = 0,  // lent for a moment where only a slot number will do (FileLayerLocate.cpp)
    kSlotCurrentStack = 1,
    kSlotMediaFolder2 = 2,   // the sound the Open dialog starts from: the last one chosen
    kSlotTextFile = 3,       // the text file the Open dialog starts from: the last one chosen
    kSlotMediaFolder4 = 4,   // the picture the Open dialog starts from: the last one chosen
    kSlotProgram = 6,
    kSlotTargetStack = 8,
    kSlotLaunchProgram = 9,
    kSlotPreviousStack = 10,
    kSlotNbaFolder = 12,
    kSlotHomeStack = 13,
    kSlotMediaFolder14 = 14,  // the movie the Open dialog starts from: the last one chosen
    kSlotLaunchDocument = 15,
    kSlotSaveAs = 16,
    kSlotExtrasFolder = 17,
    kSlotMediaFolder18 = 18,
    kSlotFilterFolder = 19,
    kNoSlot = 0xFFFF,  // no slot: nothing remembered to start from, nowhere to remember a choice
};

// One slot: 368 bytes. Text fields are NUL-terminated ANSI strings and always terminated.
struct FileSpec {
    uint32_t kind;                 // kept for the launch and history code
    char path[kFileSpecPathSize];  // full path of the file or folder
    uint8_t flag;
    uint8_t reserved[33];          // copied with the slot, otherwise untouched
    int16_t volume;                // -1 when unset; carried through packing
    uint32_t folder;               // carried through packing
    char name[kFileSpecNameSize];  // the file name part of the path
};
static_assert(sizeof(FileSpec) == 368);

// Table (FileSlots.cpp). `InitFolderTable` (FileSlots_win.cpp) takes the module path and the
// folder strings from the module; `InitFolderTableAt` is its platform-free body.
using FolderStringLoader = size_t (*)(int stringId, char* buffer, size_t size);
bool InitFolderTable();
bool InitFolderTableAt(const char* modulePath, FolderStringLoader loadString);
void FreeFolderTable();
void SetFileSpecTableHandle(Handle table);  // disposes any earlier table
Handle GetFileSpecTableHandle();
FileSpec* GetFileSpec(int slot);            // null outside 0-20 or without a table

// Slot operations. Buffers are at least `size` bytes; results are always terminated.
void CopyFileSpec(int16_t source, int16_t destination);
void PutFileSpec(int slot, const FileSpec& spec);  // nothing outside the table
void GetFileSpecPath(int slot, int size, char* buffer);
// A path of 260 characters or more is never cut (it would name another file): the slot's path
// and name are left empty and the result is false; callers that take a path from outside say so.
bool SetFileSpecFromPath(int slot, const char* path);
// The same for a spec of one's own; an empty spec is as a cleared slot (volume -1).
bool SetFileSpecPath(FileSpec* spec, const char* path);
FileSpec EmptyFileSpec();
void GetFileSpecFolder(int slot, char* buffer, size_t size);
void GetSpecFolder(const FileSpec& spec, char* buffer, size_t size);  // the same for a spec of one's own
bool SameFileSpecPath(int a, int b);
bool SameSpecPath(const FileSpec& a, const FileSpec& b);  // paths equal but for letter case
// A slot's entry put back when the keeper ends, unless kept: a choice the user cancels leaves
// the slot as it was.
class FileSpecKeeper {
public:
    explicit FileSpecKeeper(int slot) : slot_(slot) {
        if (const FileSpec* spec = GetFileSpec(slot)) {
            saved_ = *spec;
            held_ = true;
        }
    }
    ~FileSpecKeeper() {
        if (FileSpec* spec = held_ ? GetFileSpec(slot_) : nullptr)
            *spec = saved_;
    }
    FileSpecKeeper(const FileSpecKeeper&) = delete;
    FileSpecKeeper& operator=(const FileSpecKeeper&) = delete;
    void Keep() { held_ = false; }

private:
    int slot_;
    bool held_ = false;
    FileSpec saved_{};
};

// Path text (FileSlots.cpp).
// The path's file name replaced by name; false, and the path empty, when the result does not fit.
bool SetPathFileName(const char* name, char* path, size_t size);
void GetPathFileName(const char* path, char* buffer, size_t size);
void GetModuleFolder(char* buffer, size_t size);  // FileSlots_win.cpp
// Bounded copy: at most size - 1 bytes and a NUL; nothing when size is 0.
void CopyPathText(std::string_view text, char* buffer, size_t size);
// The text of a slot's fields, never past the field's end.
std::string_view PathOf(const FileSpec& spec);
std::string_view NameOf(const FileSpec& spec);

// Packed form, kept inside stack chunks: path and NUL, a pad byte when the path's length is
// even, i16 volume, u32 folder (both little-endian), name and NUL.
int PackFileSpec(int slot, Handle* out);  // 1, or 0 when the handle cannot be made
int PackFileSpecOf(const FileSpec& spec, Handle* out);
int PackFilePath(const char* path, Handle* out);  // a path's spec as a cleared slot set to it
// Path and name as `spec` holds them, the numbers as a cleared slot's: what a record stores.
int PackFileSpecPathAndName(const FileSpec& spec, Handle* out);
void UnpackFileSpec(int slot, std::span<const uint8_t> packed);  // restores path and name only
void UnpackFileSpecTo(FileSpec* spec, std::span<const uint8_t> packed);  // the same, into a spec of one's own
void UnpackFileSpec(int slot, Handle packed);
