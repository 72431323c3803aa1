// Card records as the stack's file holds them. Each record read keeps the file's bytes beside it
// and the bytes it had once read and brought to the display; while it still has those, it is
// not edited, and a save writes the file's bytes again instead of converting the record back.
// So a save never rewrites what nobody changed: what the reader fills in (a mask size of 0 read
// as the object's size, the card size words, an older path form), and pictures brought to the
// display's depth and back, stay as the file had them. An edited record is converted as always.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/memory/Handles.h"

// Once a stack's records are read and brought to the display (before any is shown or edited):
// fileBytes[i] is what the file held for cards[i], at the depth its header gave (fileDepth).
void NoteRecordsAsRead(std::span<const Handle> cards, std::vector<std::vector<uint8_t>> fileBytes, int fileDepth);

// One save's writing of the records, handed down to the code that writes them: which records go
// out as the file held them (those not edited since they were read, when the file keeps the
// depth they were stored at), and what was written for each.
struct WrittenRecord {
    Handle card = 0;
    std::vector<uint8_t> file;  // as written
    std::vector<uint8_t> read;  // as the record stood when the save began
};
class RecordWriter {
public:
    // The bytes to write for a record kept as stored, else nullptr.
    const std::vector<uint8_t>* StoredFileBytes(Handle card) const;
    // The length a record takes in the file being written (its stored length when kept as stored).
    uint32_t FileRecordLength(Handle card, uint32_t hostLength) const;
    // For a record written anew: the objects nobody changed since reading go out as the file
    // held them (see KeepUnchangedObjects, StackFile.h).
    void KeepStoredObjects(Handle card, std::vector<uint8_t>& file) const;
    // What the save wrote for one record (the writer tells each).
    void NoteRecordWritten(Handle card, std::span<const uint8_t> bytes);

private:
    friend RecordWriter BeginWritingRecords(int depth);
    friend void EndWritingRecords(RecordWriter&& writer, bool written);
    uint32_t session_ = 0;
    int depth_ = 0;  // the file's
    bool sameDepth_ = false;  // the records' file bytes are at the file's depth
    std::vector<Handle> asStored_;
    std::vector<WrittenRecord> next_;
};

// A save, before it converts anything for the file: `depth` is the header's, 0 when the save
// converts the stack to another one (then every record is written anew).
RecordWriter BeginWritingRecords(int depth);
// After the save. When the file was written whole and is in its place, each record's file
// bytes are what was written and it counts as read as it stood when the save began; otherwise
// nothing changes.
void EndWritingRecords(RecordWriter&& writer, bool written);
