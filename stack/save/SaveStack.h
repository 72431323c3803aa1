// Saving the open stack to its file, and the small whole-file operations beside it.
//
// The resource area is written first, at the offset the cards will end at, then the header and
// the cards from offset 0 through the 64 KB write buffer (core/files/SaveBuffer.h). The stack is
// always written whole into a new file beside it, flushed, and put in the stack's place in one
// step (core/files/FileReplacement.h), so the person's stack is never touched until the new one
// is complete: it is either the old file, byte for byte, or the new one. A folder without room
// for the whole new file refuses the save before anything is written (never in place: a failed
// write there would leave half an old stack). Every failure is told, naming the file, and keeps
// the stack's change marks. The save first removes the new files that saves cut short (the
// process ended) left there.
//
//   SaveStackWrite.cpp   the header and card records as the file holds them (WriteStackFile)
//   SaveStack.cpp        SaveStack and its steps; another writer noticed; Save As by path
//   SaveFiles.cpp        reading and writing whole files, bitmap files
//   SaveDialogNames.cpp  default names and remembered folders of the save dialog
//   SaveStack_win.cpp    the Save and Save As commands with their questions
//   SaveDialogs_win.cpp  the Open dialog with preview and the Save dialog in its modes
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/files/FileReplacement.h"
#include "core/memory/Handles.h"
#include "format/StackFile.h"
#include "stack/cards/StoredRecords.h"

inline constexpr uint32_t kSaveSpareBytes = 2048;  // kept free on the disk beyond the stack
inline constexpr int kAlertDiskLocked = 2689;
inline constexpr int kAlertDiskFull = 2264;
// Saved, but paths the stack names were longer than the file keeps (255 characters).
inline constexpr int kAlertStoredPathsCut = 2883;
inline constexpr int kAlertConvertedStack = 2339;
inline constexpr int kAlertColorsChanged = 2340;
inline constexpr int kErrorStackWrite = 2694;
// Alerts naming the file a save could not write (the old file is as it was in each case).
inline constexpr uint32_t kAlertNoNewFile = 2695;         // the folder takes no new file
inline constexpr uint32_t kAlertWriteFailed = 2696;       // a write or the flush failed
inline constexpr uint32_t kAlertReplaceRefused = 2697;    // the old file would not give way
inline constexpr uint32_t kAlertNotSavedAs = 2698;        // Save As to another file failed
inline constexpr uint32_t kAlertExportFailed = 2699;      // an exported file was not written
inline constexpr uint32_t kAlertChangedElsewhere = 2700;  // Save over it, Save As, Cancel

// ---- SaveStackWrite.cpp ----
// Cards and objects marked deleted leave the stack for good (what discarding the undo step
// does; it runs again here so that a save never writes a marked record): a deleted card that
// holds the picture of live cards first hands it to the first of them. A stack whose every card
// is marked (only a damaged file has one) keeps its first card.
void DropDeletedRecords();
// The conversion a save writes with: the stack resource file's (Mac Roman decision, drive,
// resolution), else the machine's defaults with the drive of `stackPath`.
StackConversion SaveConversion(const char* stackPath);
// The 128-byte header as written: the open header with flag 0x10 when the stack was detected
// as Mac-made, the card count of the list, the resource area offset, the live resource count and
// next resource id of the stack's resource file (0 and 1 without one), in file order.
std::vector<uint8_t> StackHeaderFileBytes(uint32_t resourceOffset, StackConversion& cv);
// One host-order card record as the file holds it; false when it does not convert.
bool CardRecordFileBytes(Handle card, StackConversion& cv, std::vector<uint8_t>& out);
// Writes the header through the buffer.
int WriteStackHeader(FileRef file, uint32_t resourceOffset, Handle buffer, StackConversion& cv);
// From offset 0: the header and every card of the list through the buffer, then the flush. A
// record the save keeps as stored goes out as the file held it; `records` is told what went out
// for each. 0, or the error (kStackDamaged when a record does not convert).
int WriteStackFile(FileRef file, uint32_t resourceOffset, Handle buffer, StackConversion& cv, RecordWriter& records);

// ---- SaveStack.cpp ----
// Steps of a save. `slot` names the target (1 the stack itself, 16 a Save As target); samePath:
// a Save As onto the stack's own file.
struct SavePlan {
    uint32_t total = 0;           // bytes the file will have
    uint32_t resourceOffset = 0;  // where the resource area starts
    std::string target;           // the stack's path
};
int SaveStack(int slot, bool samePath);
// The target, the sizes of the file to come, and room for it beside the old one (alert 2264
// and kFileRefused when the folder lacks it).
int PrepareStackSave(int slot, const RecordWriter& records, SavePlan& plan);
// The file is written at the display depth when the working depth is 24, differs from the
// display's, or the stack keeps deep pictures as JPEG on a display of 9 bits or more.
bool SaveConvertsDepth(int workingDepth, int screenDepth, bool jpegFlag);
// Save As to a path: slots 16 and 1 set, the stack saved, and on success the new name taken;
// on failure slot 1 and the stack's name are as they were. The SaveStack result.
int SaveStackAsPath(const char* path);

// The stack-changed state that saving keeps. Setting whether the stack has a file (a load, a
// save) makes that file the stack's own until the player says it is only a downloaded copy: a
// stack from the web is read from the download cache, whose copy is never the author's file
// (the cache replaces or evicts it), so Save asks where to save it, as Save As does.
bool StackHasFile();
void SetStackHasFile(bool hasFile);
bool StackFileIsDownloadCopy();
void SetStackFileIsDownloadCopy(bool copy);
bool IsSavingStack();
// Whether another program (another browser's page) changed the stack's file since it was read or
// last saved here: its size or last write time, taken when the stack got its file, differ now.
// False for a stack without a file of its own, and for a file that is gone (it is written anew).
bool StackFileChangedElsewhere();

// ---- SaveFiles.cpp ----
int ReadFileToHandle(int slot, Handle* out, uint32_t limit);  // 0 or an error
int ReadFilePathToHandle(const char* path, Handle* out, uint32_t limit);  // the same for a path
int ReadFileSpecToHandle(const FileSpec* spec, Handle* out, uint32_t limit);
// Exports: each file is written whole as a new file and only then put in the place of one the
// path names (core/files/FileReplacement.h); a failure is told (alert 2699 naming the file) and
// leaves any file there as it was.
int WriteHandleToFile(Handle data, int slot, uint32_t count);  // 0 or -1
int WriteHandleToPath(Handle data, const char* path, uint32_t count);  // the same for a path
int WriteBytesToPath(std::span<const uint8_t> bytes, const char* path);  // the same for bytes
// A bitmap file of a packed DIB (BITMAPINFOHEADER, colours, pixels): the 14-byte file header
// then the DIB. 1 when the whole file was written and put in place.
int SaveDibAsBmp(Handle dib, const char* path);
// A writer that works by path (the imaging library's) writes into `newPath`, a new file beside
// `path`; true when it did, and the file then takes the place of `path`. False after the alert.
bool ExportThroughPath(const char* path, const std::function<bool(const char* newPath)>& write);
// The 14-byte file header of a packed DIB; empty when the DIB is not plausible.
std::vector<uint8_t> BmpFileHeader(std::span<const uint8_t> packedDib);

// ---- SaveDialogNames.cpp ----
// Modes of the save dialog.
enum SaveDialogMode : int { kSaveStack = 0, kSaveScreen = 1, kSaveText = 2, kSaveSound = 3, kSaveMovie = 4, kSaveMidi = 5 };
struct SaveDialogSpec {
    uint32_t titleString;
    const char* extension;
    uint32_t filterStrings[4];  // description and pattern string ids (0: none)
    int slot;                   // where the chosen name is remembered (kNoSlot: nowhere)
};
const SaveDialogSpec& SaveDialogSpecFor(int mode);
// The numbered default name of a mode ("01.BMP", "wav03.WAV"); the counters are kept per mode
// (one shared by sounds and MIDI) and run 1..99, then 1 again. Empty for unnumbered modes.
std::string NextNumberedSaveName(int mode);
void ResetSaveNameCounters();
// The folder the stack save dialog starts in: the remembered one whenever the user set one;
// else empty (the platform's default, beside the stack). `remembered` is the preference value
// ("Bad" counts as empty).
std::string SuggestSaveFolder(int mode, int fileKind, const char* remembered);
