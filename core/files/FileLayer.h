// The file layer: thin wrappers of the system's file calls with uniform results, the checks
// built on file-spec slots, locating a file that moved, and free space.
//
// Results: 0 success, -1 a failed open, read, write or seek, 16 a missing file or a buffer that
// cannot be locked, -12 refused after an alert was already shown, -2688 a file that cannot be
// written.
//
// A file that replaces another (a saved stack, an exported picture or text) is written whole
// under a new name beside it and only then put in its place in one step (FileReplacement.h).
//
// Every call goes through the active file system (`FileSystemOps`): the Windows build installs
// the system's one when the module loads (FileLayer_win.cpp); elsewhere, and in tests that ask
// for it, a memory file system stands in (FileLayerMemory.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"

using FileRef = int32_t;  // a system file handle
inline constexpr FileRef kNoFile = -1;

enum FileOpenMode : int { kOpenRead = 0, kOpenWrite = 1, kOpenReadWrite = 2 };
enum FileSeekOrigin : int { kSeekStart = 0, kSeekCurrent = 1, kSeekEnd = 2 };

inline constexpr int kFileOk = 0;
inline constexpr int kFileFailed = -1;
inline constexpr int kFileMissing = 16;
inline constexpr int kFileRefused = -12;
inline constexpr int kFileNotWritable = -2688;

// The size and last write time of a file, as another writer would change them.
struct FileStamp {
    uint64_t size = 0;
    uint64_t writeTime = 0;  // the system's units; only compared
    bool operator==(const FileStamp&) const = default;
};

// The platform service under the wrappers. Every member is set.
struct FileSystemOps {
    FileRef (*open)(const char* path, int mode);  // kNoFile on failure
    int32_t (*read)(FileRef file, void* buffer, uint32_t count);         // bytes read, -1 on error
    int32_t (*write)(FileRef file, const void* buffer, uint32_t count);  // bytes written, -1 on error
    int32_t (*seek)(FileRef file, int32_t offset, int origin);           // new position, -1 on error
    int (*truncate)(FileRef file, uint32_t position);                    // 0 or the system's error
    void (*close)(FileRef file);
    void (*remove)(const char* path);  // a file some process holds open (or read-only) stays
    bool (*makeTempName)(const char* prefix, char* buffer, size_t size);  // creates the empty file
    int (*flush)(FileRef file);                        // 0 once the written bytes are on the disk
    // Puts `from` in the place of `to` in one step (an existing `to` is replaced, never first
    // removed); 0 or the system's error. Both paths stay as they were on failure. `from` may
    // still be open from `createNew`.
    int (*replace)(const char* from, const char* to);
    // A new file, never one that exists (nothing is cut or replaced), open for reading and
    // writing. While it is open, `remove` leaves it alone (another process's too) and `replace`
    // may move it. kNoFile when the name exists or the folder takes no new file.
    FileRef (*createNew)(const char* path);
    // The size and last write time of a file; false when there is none (a folder is none).
    bool (*stamp)(const char* path, FileStamp* stamp);
};
void SetFileSystem(const FileSystemOps* ops);  // null: the memory file system
const FileSystemOps& ActiveFileSystem();
const FileSystemOps* SystemFileSystem();       // the Windows one (FileLayer_win.cpp)

// Wrappers (FileLayer.cpp).
int OpenFileSpec(const FileSpec* spec, int mode, FileRef* file);
int OpenFileSlot(int slot, int mode, FileRef* file);
int FileRead(FileRef file, int32_t* count, void* buffer);
int FileWrite(FileRef file, int32_t* count, const void* buffer);
int FileSeek(FileRef file, int origin, int32_t offset);
int FileGetPosition(FileRef file, int32_t* position);
int32_t FileGetLength(FileRef file);  // the position is kept; -1 on error
int FileTruncate(FileRef file, uint32_t position);
int FileFlush(FileRef file);  // 0, or -1 when the bytes could not be made durable
void FileClose(FileRef file);
// One-step replacement of a file by another (see FileSystemOps::replace): 0 or -1.
int ReplaceFilePath(const char* from, const char* to);
// A new file (see FileSystemOps::createNew); kNoFile when the name exists or is refused.
FileRef CreateNewFile(const char* path);
// The file's stamp; false when there is no such file.
bool GetFileStamp(const char* path, FileStamp* stamp);

// The test seam of the wrappers: the Nth call from now (1 the next) of one step fails as the
// system's would (a full disk, a refused name). The wrappers count every call of these steps,
// so that a test can first count a whole save, then fail each step of it in turn.
enum class FileStep : int { Create, Write, Flush, Replace };
inline constexpr int kFileStepKinds = 4;
void FailFileStepAt(FileStep step, int n);  // 0: none fails
void ResetFileStepCounts();                  // also clears the failure
int CountedFileSteps(FileStep step);
bool FileExists(const char* path);  // a file, not a folder
int CheckFileSlotExists(int slot);
void DeleteFilePath(const char* path);
int CopySlotFile(int source, int destination);
bool MakeTempFileName(const char* prefix, char* buffer, size_t size);
// The download cache's folder, in the temporary folder (host/downloads keeps it): what lies
// there is the cache's copy of a file from the web, never an author's own.
inline constexpr char kDownloadCacheFolderName[] = "Pageloom Cache";
int GetFileSizeAndAccess(int slot, uint32_t* size, int* readOnly);
bool TestFileWritable(int slot);
// Reads count bytes at an absolute position: 0, or -1 for a failed seek or a short read.
int FileReadAt(FileRef file, uint32_t position, uint32_t count, void* buffer);

// Closes a file at the end of a scope; a file that never opened is left alone.
class FileCloser {
public:
    explicit FileCloser(FileRef file) : file_(file) {}
    ~FileCloser() { FileClose(file_); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    FileRef get() const { return file_; }
    void Close() {
        FileClose(file_);
        file_ = kNoFile;
    }
private:
    FileRef file_;
};

// Windows-only services (FileLayerDrive_win.cpp).
void* LoadLibraryFromSlot(const char* name, int slot);  // the module, or null
bool OpenStackForSave(int slot, uint32_t newSize, FileRef* file);
// The room in the folder of a path (a folder that is a mounted volume, a quota or a share has
// its own): kFileOk with *freeBytes, or kFileMissing when it cannot be read.
int CheckDriveSpace(const char* path, uint32_t* freeBytes);

// The root whose free space counts for a path: "X:\" for a drive path; for a network path
// the path cut after its fourth backslash ("\\server\share\"); empty when neither. Only the 95/98
// family, which must map a share to a letter, asks the root.
void DriveSpaceRoot(const char* path, char* root, size_t size);
// The folder of a path with its final backslash ("" for a bare name).
std::string FolderOfPath(std::string_view path);
// Free bytes clamped to 32 bits.
uint32_t ClampFreeBytes(uint64_t freeBytes);

// Locating a file that moved (FileLayerLocate.cpp). The request is the one the Open dialog
// also takes: `slot` holds the path remembered in the stack.
struct FileRequest {
    uint16_t titleStringId;
    const char* filter;  // description and pattern pairs, each NUL-terminated, a final NUL
    uint16_t flags;
    uint16_t word;
    uint16_t slot;
    uint16_t secondSlot;
};
// Where a stack's files are looked for belongs to the stack: the remote requester (the download
// queue) asks the site of a stack from the web, and answers kStackFilesAreHere for a stack of this
// machine, whose files are then searched on its disks and finally asked of the user. What the user
// chose on this machine for the open stack is looked for here (LocateFile's `here`) in either case.
inline constexpr int kStackFilesAreHere = -1;
// A request's flag: the requester binds a copy it keeps already and asks nothing.
inline constexpr uint16_t kRequestKeptOnly = 0x0001;
using RemoteFileRequester = int (*)(const FileRequest& request, int destinationSlot);
// The download queue's request and the Open dialog; host/wiring/WireCore_win.cpp installs both.
void SetRemoteFileRequester(RemoteFileRequester requester);
// Asks the user for the file, starting at `start`: true with the choice in *chosen when confirmed.
using LocateFileDialog = bool (*)(const FileRequest& request, const FileSpec& start, FileSpec* chosen);
void SetLocateFileDialog(LocateFileDialog dialog);
// While one lives, a file not found is not asked of the user (a card being painted asks no one).
class LocateFileWithoutAsking {
public:
    LocateFileWithoutAsking();
    ~LocateFileWithoutAsking();
    LocateFileWithoutAsking(const LocateFileWithoutAsking&) = delete;
    LocateFileWithoutAsking& operator=(const LocateFileWithoutAsking&) = delete;

private:
    LocateFileDialog saved_;
};
// The copy the open stack's source keeps of the file a stored path names, asked of no one: 1 with
// its path in `copy` (size bytes), 0 when it keeps none, kStackFilesAreHere for a stack of this
// machine (whose files are where its paths say).
int KeptCopyFromStacksSource(const char* storedPath, char* copy, size_t size);
// A file the user gave the plug-in on this machine (dropped on the card): while the plug-in
// runs, LocateFile looks for it here for the stack it was given to (the one open now), even one
// from the web; another stack naming the same path has it asked of its own site.
void RememberFileChosenHere(const char* path);
// here: a file the user chose on this machine, looked for here even for a stack from the web.
int LocateFile(const FileRequest& request, int destinationSlot, bool preferNear, bool here = false);
// The same for a file a caller remembers (the request's slot is not read: kNoSlot): true with
// where it was found in `found`.
bool LocateRememberedFile(FileRequest request, const FileSpec& remembered, FileSpec* found, bool preferNear,
                          bool here = false);
// The same for a remembered path: the found path into `found` (size bytes, empty when not found).
bool LocateRememberedPath(const FileRequest& request, const char* remembered, char* found, size_t size, bool preferNear,
                          bool here = false);
// The near search alone: true with the candidate's path in `found` (size bytes, empty when there
// is none).
bool FindFileNearStackPath(const char* remembered, const char* stackPath, char* found, size_t size);
