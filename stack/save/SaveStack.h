// Saving the open stack to its file, and the small whole-file operations beside it.
//
// The resource area is written first, at the offset the cards will end at, then the header and
// the cards from offset 0 through the 64 KB write buffer (core/files/SaveBuffer.h). When the disk has
// room for a second copy the stack is written to a temporary file "LMTMPnnn.TMP" beside it,
// flushed, and put in the stack's place in one step, so the person's stack is never gone: it is
// either the old file or the new one. Without that room it is written in place. Either way the
// save first removes the temporary files that saves cut short (the process ended) left there.
//
//   SaveStackWrite.cpp   the header and card records as the file holds them (WriteStackFile)
//   SaveStack.cpp        SaveStack and its steps; the temporary name; Save As by path
//   SaveFiles.cpp        reading and writing whole files, bitmap files
//   SaveDialogNames.cpp  default names and remembered folders of the save dialog
//   SaveStack_win.cpp    the Save and Save As commands with their questions
//   SaveDialogs_win.cpp  the Open dialog with preview and the Save dialog in its modes
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/memory/Handles.h"
#include "format/StackFile.h"

inline constexpr uint32_t kSaveSpareBytes = 2048;  // kept free on the disk beyond the stack
inline constexpr int kAlertDiskLocked = 2689;
inline constexpr int kAlertDiskFull = 2264;
// Saved, but paths the stack names were longer than the file keeps (255 characters).
inline constexpr int kAlertStoredPathsCut = 2883;
inline constexpr int kAlertConvertedStack = 2339;
inline constexpr int kAlertColorsChanged = 2340;
inline constexpr int kErrorStackWrite = 2694;

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
// as Mac-made, the card count of the list, the resource area offset, the resource count and
// next resource id of the stack's resource file (0 and 1 without one), in file order.
std::vector<uint8_t> StackHeaderFileBytes(uint32_t resourceOffset, StackConversion& cv);
// One host-order card record as the file holds it; false when it does not convert.
bool CardRecordFileBytes(Handle card, StackConversion& cv, std::vector<uint8_t>& out);
// Writes the header through the buffer.
int WriteStackHeader(FileRef file, uint32_t resourceOffset, Handle buffer, StackConversion& cv);
// From offset 0: the header and every card of the list through the buffer, then the flush.
// 0, or the error (kStackDamaged when a record does not convert).
int WriteStackFile(FileRef file, uint32_t resourceOffset, Handle buffer, StackConversion& cv);

// ---- SaveStack.cpp ----
// Steps of a save. `slot` names the target (1 the stack itself, 16 a Save As target).
struct SavePlan {
    uint32_t total = 0;           // bytes the file will have
    uint32_t resourceOffset = 0;  // where the resource area starts
    bool useTemporary = false;
    char target[260] = {};        // the stack's path
    char written[260] = {};       // the file actually written (the temporary one, or target)
};
int SaveStack(int slot, bool samePath);
int PrepareStackSave(int slot, SavePlan& plan);
// The file to write: the temporary one beside plan.target, or the target itself.
int CreateSaveTempFile(SavePlan& plan, FileRef* file);
int FinishStackSave(int slot, bool samePath, SavePlan& plan, Handle buffer);
// The first free temporary name in the folder of `stackPath`: "LMTMP000.TMP", counting the
// last three digits up; false when all thousand exist.
inline constexpr int kSaveTempNames = 1000;
bool NextSaveTempName(const char* stackPath, char* out, size_t size);
// Removes the temporary files that earlier saves, cut short during their write (the process
// ended), left in the folder of `stackPath`: only names of the save's own pattern, and only those
// no process holds open (a save still writing keeps its file). The count removed. Each save
// does this before it writes.
int RemoveStaleSaveTempFiles(const char* stackPath);
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

// ---- SaveFiles.cpp ----
int ReadFileToHandle(int slot, Handle* out, uint32_t limit);  // 0 or an error
int ReadFilePathToHandle(const char* path, Handle* out, uint32_t limit);  // the same for a path
int ReadFileSpecToHandle(const FileSpec* spec, Handle* out, uint32_t limit);
int WriteHandleToFile(Handle data, int slot, uint32_t count);  // 0 or -1
int WriteHandleToPath(Handle data, const char* path, uint32_t count);  // the same for a path
// A bitmap file of a packed DIB (BITMAPINFOHEADER, colours, pixels): the 14-byte file header
// then the DIB, written in pieces of at most 32767 bytes. 1 when the whole file was written.
int SaveDibAsBmp(Handle dib, const char* path);
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
