// Saved object files: one card object (graphic, button or text object) written to a file of its
// own with copies of the resources it uses, so it can be dropped onto another card later.
//
// The file is big-endian: a 32-byte header ("LMPK", the kind code, version 0x00010000, 20
// zeros), the object record as the stack file stores it, for a graphic that draws its own
// picture a Mac colour table of the palette, then resource entries, each a 56-byte header and
// its data, the last one with continuation 0. There is no length field for the body: it runs
// to the end of the file.
//
//   ObjectFile.cpp        the writer and the layout parser (no Windows code)
//   ObjectFileRead.cpp    an object file read back for placing (no Windows code)
//   ObjectFilePlace_win.cpp  an object file placed on the card
//   ObjectFile_win.cpp    the drop of a paint selection as a .bmp
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/memory/Handles.h"
#include "format/StackFile.h"

inline constexpr uint32_t kObjectFileEntryBytes = 56;
inline constexpr uint32_t kObjectFileVersion = 0x00010000;
inline constexpr size_t kObjectFilePathSize = 256;

// What a drag off the card carries: the object's card layer (kind, id, and for a graphic or
// text object the action id the layer holds).
struct ObjectDragBlock {
    uint16_t kind = 0;
    uint16_t id = 0;
    uint16_t actionId = 0;
};

// The kind code of a record kind ('Grfc', 'Bttn', 'TFld'), 0 for another kind; the extension
// (".grfc", ".bttn", ".tfld"), empty for another kind.
uint32_t ObjectFileKindCode(uint16_t kind);
const char* ObjectFileExtension(uint16_t kind);
// The 32-byte header of a kind in file order; false for another kind.
bool BuildObjectFileHeader(uint16_t kind, std::span<uint8_t, kObjectFileHeaderBytes> header);

// The object's name as a file name: the record's length-prefixed name (bounded by its field),
// characters a file name cannot hold turned into '_'. Empty for an unnamed object.
std::string ObjectFileBaseName(std::span<const uint8_t> record, uint16_t kind);
// The path for a saved object: [user] SaveStackPath when set (the name follows it directly),
// else the current stack's folder; then name + extension, or name + n + extension for the
// first n = 1, 2, ... of a file that does not exist yet. 1, or 0 when an argument is missing,
// the name is empty or the path would not fit `size` (the out path is then empty).
int MakeUniqueSavePath(char* out, size_t size, const char* name, const char* extension);
// Chooses the file name of an object record (host order): 0 when the record or the buffer is
// missing, else the path step's result (the media library's when `mediaLib`).
int WriteObjectToFile(std::span<const uint8_t> record, uint16_t kind, char* out, size_t size, bool mediaLib);

// A copy of the record of the dragged object of the open stack (FindObject), empty when it
// cannot be made; false when there is no such object.
bool CopyDraggedRecord(const ObjectDragBlock& drag, std::vector<uint8_t>* record);
// The header into an open file: true when all 32 bytes were written.
bool WriteObjectFileHeader(FileRef file, const ObjectDragBlock& drag);
// The body bytes of the dragged object of the open stack: the record in file order, the colour
// table, the held resources (newest first). False when the object is missing or anything
// fails to convert or hold.
bool BuildObjectFileBody(const ObjectDragBlock& drag, std::vector<uint8_t>& body);
bool WriteObjectFileBody(FileRef file, const ObjectDragBlock& drag);
// Creates the file and writes it whole; a failed write deletes the file. Nonzero on success.
int WriteObjectFile(const ObjectDragBlock& drag, const char* path);

// ---- the layout, read back (bounded; for tests and the object placer) ----
struct ObjectFileEntry {
    uint32_t type = 0;
    uint16_t id = 0;
    uint16_t attributes = 0;  // upper half of the attribute word
    uint32_t length = 0;
    std::string name;
    uint16_t ownerKind = 0, ownerId = 0;
    uint32_t continuation = 0;
    uint32_t dataOffset = 0;  // in the file
};
struct ObjectFileLayout {
    uint32_t kindCode = 0;
    uint16_t kind = 0;            // the record's kind word
    uint32_t version = 0;
    uint32_t recordOffset = kObjectFileHeaderBytes;
    uint32_t recordLength = 0;
    uint32_t colorTableOffset = 0;  // 0: none
    uint32_t colorTableBytes = 0;
    std::vector<ObjectFileEntry> entries;
};
inline constexpr size_t kMaxObjectFileEntries = 4096;
// Reads the layout; null when it holds, else what failed. Every length is checked against the
// file; entries end at the one with continuation 0 or at the end of the file.
const char* ParseObjectFile(std::span<const uint8_t> file, ObjectFileLayout& layout);

// ---- ObjectFileRead.cpp ----
// What an object file gives the card: the record and its action record in host order, and the
// copies of the other resources it holds (their data as stored, and the id each had in the
// stack it came from: 0 in files written before ids were kept).
struct ObjectFileHeld {
    uint32_t type = 0;
    std::string name;
    std::vector<uint8_t> data;
    uint16_t id = 0;
};
struct ObjectFileContents {
    uint16_t kind = 0;
    std::vector<uint8_t> record;
    std::vector<uint8_t> actions;  // empty: none
    std::vector<ObjectFileHeld> held;
};
// Reads and converts the file within its layout (ParseObjectFile bounds every length): the
// record within its own length, the colour table skipped, one 'Actn' entry as the actions.
// Null when it holds, else what failed (contents then partly filled).
const char* ReadObjectFileRecord(std::span<const uint8_t> file, const StackConversion& cv, ObjectFileContents& out);

// A held copy's id in the file and the id its resource got in the stack it was placed on.
struct ObjectFileIdChange {
    uint32_t type = 0;
    uint16_t from = 0;
    uint16_t to = 0;
};
// The ids a host-order button or action record names (the shown icon, the stored sound or
// stroke, the extension module's data, the transition) changed to the ids their copies got.
// A reference with no change listed stays as it is.
void RemapObjectFileIds(std::span<uint8_t> button, std::span<const ObjectFileIdChange> changes);

// ---- ObjectFilePlace_win.cpp ----
// The object of an object file placed on the current card centred on the point (card
// coordinates), with a new id, its resources and actions stored, its layer made and selected.
// False, the card unchanged, when the file does not read or convert or cannot be stored.
bool PlaceObjectFileAtPoint(std::span<const uint8_t> file, int x, int y);
// An object file's bytes, read whole; empty when it cannot be read or passes 16 MiB.
std::vector<uint8_t> ReadObjectFileBytes(const char* path);

// What an object (kind, id) or an action record uses, held onto the chain as the clipboard
// gathers it: 0, or -1 on failure.
int GatherObjectFileResources(uint16_t kind, uint16_t id, Handle* chain);
int GatherActionFileResources(Handle action, Handle* chain);
