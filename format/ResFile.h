// The resource manager: the resource areas of open stack files, kept whole in memory.
//
// Each open area is a `ResFile` record in a handle, linked newest first into the open list, with
// a table of `ResEntry` records. Every live entry's data is read when the file opens; new and
// changed data stays in memory until the stack is saved (`WriteResourceArea`), and so does the
// id counter. Lookups work on the current resource file. Results follow the file layer: 0
// success, 16 not found or no memory, -1 allocation failure, or a file error.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "format/ByteSource.h"
#include "format/StackFile.h"

// Types are four characters as big-endian numbers (ResType in StackFile.h); attribute bit 31
// (kResDeleted) marks a deleted entry.
inline constexpr uint32_t kResFileScratch = 1;        // flags bit 0: deleted when closed
inline constexpr size_t kResNameSize = kResNameBytes; // length-prefixed, at most 31 characters

// One open resource file.
struct ResFile {
    uint32_t refNum;
    uint32_t flags;
    uint32_t areaOffset;           // file offset of the first entry
    uint32_t count;                // entries in the table, deleted ones included until a save
    uint16_t nextId;               // the id counter
    uint16_t unused;
    uint32_t countPosition;
    uint32_t idPosition;
    Handle entries;                // count x ResEntry
    Handle next;                   // next ResFile in the open list
    FileSpec spec;                 // names the file
    // How this file's resource data is converted on reading and writing: its own texts, drive
    // and the screen's resolution, never another file's.
    StackConversion conversion;
};

// Request flags of `ResRequest`.
inline constexpr uint32_t kResRequestCarryOut = 1;
inline constexpr uint32_t kResRequestReplace = 2;
inline constexpr uint32_t kResRequestRenameOnly = 4;
inline constexpr uint32_t kResRequestCopyData = 8;  // store a copy; keep the flags afterwards

// How every subsystem stores a stack resource.
struct ResRequest {
    uint32_t type;
    uint16_t id;                   // in: wanted id (0 any); out: the id used
    uint32_t attributes;
    Handle data;
    uint32_t flags;
    uint8_t name[kResNameSize];    // length-prefixed
    uint16_t ownerKind;
    uint16_t ownerId;
};

// Lookup modes of `LookupResource`.
enum ResLookupMode : int { kLookupById = 0, kLookupByName = 1, kLookupByIndex = 2, kLookupByHandle = 3 };

// Open list (ResourceManager.cpp).
// Opens the file and reads its resource area (ResourceArea.cpp); the reference number or 0.
// Resource data is converted with the file's own settings: the Mac Roman flag of its header,
// the drive of its path, and the screen resolution set below.
int32_t OpenResFileAt(const FileSpec* spec, uint32_t areaOffset);
// The screen's vertical resolution under which button font sizes in resources convert (96
// until set).
void SetResourceScreenDpi(int dpi);
int ResourceScreenDpi();
// A record not yet in the open list, with an empty table; it names the file by spec (may be
// null) and converts with cv. 0 when memory runs out.
Handle NewResFileRecord(const FileSpec* spec, const StackConversion& cv);
// Links a record made by NewResFileRecord (and filled by ReadResourceArea) first in the open
// list and makes it current: its reference number.
int32_t LinkResFile(Handle resFile);
// Frees every data handle, the table and the record (the record must not be in the list).
void DisposeResFileRecord(Handle resFile);
// Copies of the entries of a record (the data handles stay the record's), for reports.
std::vector<ResEntry> CopyResEntries(Handle resFile);
int32_t OpenStackResources(int slot);
uint32_t GetStackResourceBase(int slot);
uint32_t GetStackResourceBaseOf(const FileSpec* spec);  // the same for a spec of one's own
int32_t OpenSamplesStack();       // ResourceManager_win.cpp: alert 2292 when there is none
int32_t CreateScratchResFile();
void CloseResFile(int32_t refNum);
void CloseAllResFiles();
Handle FindResFile(int32_t refNum);
int32_t CurrentResFile();
void UseResFile(int32_t refNum);  // makes an open file current
int32_t GetStackResFile();        // the open stack's own file, 0 when none
void SetStackResFile(int32_t refNum);
// Makes the stack's resource file the current one for a scope, then the previous one again.
class StackResFileCurrent {
public:
    StackResFileCurrent() : previous_(CurrentResFile()) { UseResFile(GetStackResFile()); }
    ~StackResFileCurrent() {
        if (previous_)
            UseResFile(previous_);
    }
    StackResFileCurrent(const StackResFileCurrent&) = delete;
    StackResFileCurrent& operator=(const StackResFileCurrent&) = delete;
private:
    int32_t previous_;
};

// Lookups on the current file (ResourceManager.cpp).
Handle LookupResource(int mode, uint32_t type, uint16_t id, const uint8_t* name, int index, Handle data);
Handle GetResource(uint32_t type, uint16_t id);
Handle GetNamedResource(uint32_t type, const uint8_t* name);
Handle GetIndResource(uint32_t type, int index);
void SetResLoad(bool load);
bool GetResLoad();
int CountResources(uint32_t type);
int GetResIndexById(int32_t refNum, uint32_t type, uint16_t id);
uint32_t GetResSize(int32_t refNum, uint32_t type, uint16_t id);
uint32_t GetResAreaSize(int32_t refNum);
int GetResInfo(Handle data, uint32_t* type, uint16_t* id, uint8_t* name, uint32_t* attributes);
void SetResName(uint32_t type, uint16_t id, const uint8_t* name);
void GetResName(uint32_t type, uint16_t id, uint8_t* name);
uint16_t GetIndResourceId(uint32_t type, int index);
uint16_t GetNamedResourceId(uint32_t type, const uint8_t* name);
int GetStackResIndex(uint32_t type, uint16_t id);

// Changes in memory (ResourceManager.cpp).
int AddResource(Handle data, uint32_t attributes, uint32_t type, uint16_t* id, const uint8_t* name);
void RemoveResourceEntry(uint32_t type, uint16_t id);
int ReplaceResourceData(Handle oldData, Handle newData);
void ReleaseResource(Handle data);
// The next id that no entry of the file uses (deleted ones included): the counter goes up by
// one, wrapping past 65535 to 1. 1 without a table; 0 when every id is taken.
uint16_t NextUniqueResId(Handle resFile);
uint16_t GetResFileNextId(int32_t refNum);
uint32_t GetResFileCount(int32_t refNum);

// Reading (ResourceArea.cpp): the resource area of a stack file (the count at 64, the id
// counter at 68, the entries from areaOffset) into a record's table; each live entry's data is
// read and converted with the record's settings, and data that does not convert is kept raw.
// The area must lie whole in the file: an entry header or data past its end, or a count the
// file does not hold, fails the area (kFileFailed, *reason says what), as does a lack of
// memory (kFileMissing). The table is then left empty.
int ReadResourceArea(ByteSource& source, uint32_t areaOffset, Handle resFile, std::string* reason);

// Saving (ResourceArea.cpp), in two steps, so that the table points at the new file only once it
// is in its place. WriteResourceArea writes every live entry at `offset` of the open (new) file
// and cuts the file behind the last one; *places gets where each went, and the table still
// names the old file. Once the new file has taken the stack's place, NoteResourceAreaSaved
// drops deleted entries from the table and points every entry at its new place; the resource
// file then names `savedPath` (without one, the current stack's path in slot 1). A scratch
// file is then deleted and stops being scratch. After a failed save nothing is noted: the
// table reads on from the old file.
struct ResourceAreaPlaces {
    uint32_t offset = 0;
    std::vector<uint32_t> positions;  // of each live entry, in table order
};
int WriteResourceArea(FileRef file, uint32_t offset, int32_t refNum, ResourceAreaPlaces* places);
void NoteResourceAreaSaved(int32_t refNum, const ResourceAreaPlaces& places, const char* savedPath = nullptr);

// Stack resource requests (ResourceRequest.cpp).
int WriteStackResource(ResRequest* request);
// What the open stack's resources were when a dialog opened: the resources a cancelled dialog
// (or a dialog inside it) stored since are dropped again and the id counter put back, so that
// Cancel leaves the stack as it was.
struct StackResourceMark {
    int32_t refNum = 0;
    uint32_t count = 0;
    uint16_t nextId = 0;
};
StackResourceMark MarkStackResources();
void DropStackResourcesSince(const StackResourceMark& mark);
void SetResourceErrorReporting(bool report);
