// The stand-alone packager: a stack, the stacks it links to and the data files its actions and
// objects name, written out as one Windows program.
//
// The package is the launcher (resource RUNSTACK), a record for "vic32.dll", a record for the
// player application, then three groups of records (stacks, data files, extension modules) and
// a 44-byte trailer. A record is a 64-byte NUL-terminated file name, a 32-bit little-endian
// length and the file's bytes. The launcher finds the trailer at its own end.
//
//   StackToGoList.cpp     the list behind the dialog's tree: states, checking, the total
//   StackToGoCollect.cpp  what a stack file refers to, read beside the open stack
//   StackToGoWrite.cpp    writing the package (byte layout only, no Windows API)
//   StackToGo_win.cpp     the dialog, its tree and header, and the Save As hand-over
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "format/StackReader.h"

// ---- the list (StackToGoList.cpp) ----
enum StackToGoKind : int { kToGoStack = 0, kToGoMovie = 1, kToGoSound = 2, kToGoText = 3, kToGoPicture = 4, kToGoModule = 5 };
enum StackToGoState : int { kToGoUnchecked = 1, kToGoChecked = 2, kToGoMissing = 3, kToGoPartly = 4 };

inline constexpr size_t kToGoNameBytes = 64;     // record name field, NUL included
inline constexpr size_t kToGoPathMax = 259;      // characters of a path read from a record
inline constexpr uint32_t kToGoHeaderBytes = 68; // record header
inline constexpr uint32_t kToGoTrailerBytes = 44;
inline constexpr char kToGoMark[8] = {'_', 'S', 'T', 'A', 'C', 'K', '_', 0};

struct StackToGoItem {
    int parent = -1;        // index of the stack it is listed under; -1 for a stack
    int kind = kToGoStack;
    std::string path;
    uint32_t tenths = 0;    // size in tenths of a kilobyte; 0 when the file cannot be opened
    int state = kToGoUnchecked;
    bool nameTooLong = false;  // listed but never checked: the record could not hold its name
    std::string source;        // the file its bytes are read from; empty: the path itself
};

struct StackToGoList {
    std::vector<StackToGoItem> items;
    bool missingFiles = false;  // an item was added as missing
    uint32_t totalTenths = 0;   // of the checked and partly checked items
};

// Size in tenths of a kilobyte, truncated.
uint32_t SizeTenths(uint64_t bytes);
// "%d.%1dK".
std::string FormatTenths(uint32_t tenths);
// The part after the last backslash (or slash).
std::string_view PathFileName(std::string_view path);
// Whether the record's 64-byte name field can hold the file name.
bool RecordNameFits(std::string_view path);
// An extension module: the name ends ".NBA" in any case.
bool IsModulePath(std::string_view path);
bool SamePathText(std::string_view a, std::string_view b);  // ASCII case ignored

int FindTopItem(const StackToGoList& list, std::string_view path);                // -1 none
int FindChildItem(const StackToGoList& list, int parent, std::string_view path);  // -1 none
// New items: a missing one sets the list's flag. The index.
int AddTopItem(StackToGoList& list, std::string_view path, uint32_t tenths, int state);
int AddChildItem(StackToGoList& list, int parent, int kind, std::string_view path, uint32_t tenths, int state);
std::vector<int> ChildrenOf(const StackToGoList& list, int parent);
// A new state with the total kept: 1 on an item that was 2 or 4 takes its size off, 2 or 4 on
// one that was 1 adds it. Missing items and names too long to record stay as they are.
void SetItemState(StackToGoList& list, int index, int state);
// A click on the check box: 2 becomes 1, anything else 2; the children follow and the parent
// becomes partly checked when its children no longer agree.
void ClickItem(StackToGoList& list, int index);
// Select All (2) and Clear All (1): every item that can be checked.
void SetAllItems(StackToGoList& list, int state);

// ---- collecting (StackToGoCollect.cpp) ----
// What collecting asks of the machine; tests put their own.
struct StackToGoFileAccess {
    bool (*exists)(const char* path) = nullptr;
    uint64_t (*fileSize)(const char* path) = nullptr;  // 0 when it cannot be opened
    // Looks for a moved file of a media kind (11 stacks, 13 movies, 26 sounds, 14 text, 10
    // pictures); on success the found path replaces the input.
    bool (*locate)(std::string& path, int mediaKind) = nullptr;
    // String 50000 + n: the file name of module n; empty when there is none.
    std::string (*moduleName)(int n) = nullptr;
    // The bytes of a stack file; null reads the file itself.
    std::vector<uint8_t> (*readFile)(const std::string& path) = nullptr;
    std::string programFolder;  // ends with a backslash
};
// Reads the stack file and lists under `parent` what it refers to (stacks linked to go to the
// top level). False only when an item could not be added; a file that is no stack adds nothing.
bool CollectStackFile(StackToGoList& list, int parent, const std::string& path, const StackToGoFileAccess& access);
// The same over a stack already read.
bool CollectStackFiles(StackToGoList& list, int parent, const StackFileContents& stack,
                       const StackToGoFileAccess& access);
// One action record (a button record: flags at +20, chunks after 136 bytes).
bool CollectActionFiles(StackToGoList& list, int parent, std::span<const uint8_t> action,
                        const StackToGoFileAccess& access);
// The whole tree: the first stack and every stack found on the way. False when a collection
// failed.
bool BuildStackToGoList(StackToGoList& list, const std::string& firstStack, const StackToGoFileAccess& access);

// The names of the files the stack file names (sounds, movies, pictures, text files, linked
// stacks) that `access.exists` finds no file of in the stack's folder, each once, in the order
// found; a stack opened from the web asks for them there.
std::vector<std::string> NamedFilesNotBeside(const std::string& stackPath, const StackToGoFileAccess& access);

// ---- writing (StackToGoWrite.cpp) ----
enum StackToGoResult : int {
    kToGoOk = 0,
    kToGoNoLibrary,      // alert 2400
    kToGoNoPlayer,       // alert 2398
    kToGoCannotCreate,
    kToGoWriteFailed,    // the package was deleted
    kToGoPackagePacked,  // the package path names a file to be packed
};
struct StackToGoPlan {
    std::string packagePath;
    std::span<const uint8_t> launcher;
    std::string libraryPath;
    std::string playerPath;
    std::vector<std::string> groups[3];   // stacks, data files, modules: named by these paths
    std::vector<std::string> sources[3];  // the same, the files read (empty: the path)
    std::vector<std::string> listed;     // every listed file, checked or not: never overwritten
};
// The trailer as written (host values).
struct StackToGoTrailer {
    uint32_t playerOffset = 0;
    uint32_t libraryOffset = 0;
    uint32_t counts[3] = {};
    uint32_t starts[3] = {};  // from the first data byte of the player record
};
std::vector<uint8_t> StackToGoRecord(std::string_view name, uint32_t length);  // the 68-byte header
std::vector<uint8_t> StackToGoTrailerBytes(const StackToGoTrailer& trailer);
// What the checked items of the list pack, in tree order.
void PlanGroups(const StackToGoList& list, StackToGoPlan& plan);
StackToGoResult WriteStackToGo(const StackToGoPlan& plan, StackToGoTrailer* written = nullptr);

// ---- the dialog (StackToGo_win.cpp) ----
// Save As with the stand-alone filter: slot 1 the open stack, slot 16 the package.
void ShowStackToGoDialog();
