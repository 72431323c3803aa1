// An object file read back for placing: every length comes from the bounded layout, and the
// record is converted within its own length.
#include "stack/edit/ObjectFile.h"

const char* ReadObjectFileRecord(std::span<const uint8_t> file, const StackConversion& cv, ObjectFileContents& out) {
    out = ObjectFileContents{};
    ObjectFileLayout layout;
    if (const char* failed = ParseObjectFile(file, layout))
        return failed;
    out.kind = layout.kind;
    out.record.assign(file.begin() + layout.recordOffset, file.begin() + layout.recordOffset + layout.recordLength);
    const char* reason = nullptr;
    if (ConvertObjectRecord(out.record, ByteOrder::ToHost, cv, &reason) != kStackOk)
        return reason ? reason : "record does not convert";
    for (const ObjectFileEntry& entry : layout.entries) {
        std::vector<uint8_t> data(file.begin() + entry.dataOffset, file.begin() + entry.dataOffset + entry.length);
        if (entry.type == kActn) {
            if (!out.actions.empty())
                continue;  // one action record per object
            if (SwapResourceDataBytes(kActn, data, ByteOrder::ToHost, cv, &reason) != kStackOk)
                return reason ? reason : "actions do not convert";
            out.actions = std::move(data);
        } else {
            out.held.push_back(ObjectFileHeld{entry.type, entry.name, std::move(data)});
        }
    }
    return nullptr;
}
