// Fuzz target of the saved object file layout: any bytes are parsed within their length.
//
// Invariants checked beyond the sanitizers:
//   - a layout that holds accounts for every byte: header, record, colour table and entries
//     follow each other to the end of the file;
//   - only the last entry has continuation 0;
//   - the placer's read of a file converts the record within its length: a record that reads
//     keeps the length its header states, and the held copies are the non-action entries.
#include <cstdint>
#include <span>

#include "FuzzCheck.h"
#include "authoring/cards/ObjectFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ObjectFileLayout layout;
    if (ParseObjectFile({data, size}, layout) != nullptr)
        return 0;
    uint64_t at = uint64_t{layout.recordOffset} + layout.recordLength;
    if (layout.colorTableOffset) {
        FuzzCheck(layout.colorTableOffset == at);
        at += layout.colorTableBytes;
    }
    for (size_t i = 0; i < layout.entries.size(); ++i) {
        const ObjectFileEntry& entry = layout.entries[i];
        FuzzCheck(entry.dataOffset == at + kObjectFileEntryBytes);
        at = uint64_t{entry.dataOffset} + entry.length;
        FuzzCheck((entry.continuation == 0) == (i + 1 == layout.entries.size()));
    }
    FuzzCheck(at == size);

    ObjectFileContents contents;
    if (ReadObjectFileRecord({data, size}, StackConversion{}, contents) == nullptr) {
        FuzzCheck(contents.record.size() >= kObjectCommonBytes);
        FuzzCheck(contents.held.size() <= layout.entries.size());
    }
    return 0;
}
