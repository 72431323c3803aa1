// Object records in file order as new handles, for the saved-object writer, which needs the
// stored form without converting the record in the card; and the saved-object file header.
#include <cstring>

#include "core/memory/ByteReader.h"
#include "format/StackFile.h"

namespace {

Handle ToFileOrder(std::span<const uint8_t> record, uint16_t kind, const StackConversion& cv) {
    if (record.size() < kObjectCommonBytes || GetU16(record, kObjectKind) != kind)
        return 0;
    std::vector<uint8_t> bytes(record.begin(), record.end());
    if (ConvertObjectRecord(bytes, ByteOrder::ToFile, cv, nullptr) != kStackOk)
        return 0;
    return NewHandleFromBytes(bytes);
}

}  // namespace

Handle ButtonRecordToFileOrder(std::span<const uint8_t> record, const StackConversion& cv) {
    return ToFileOrder(record, kObjectButton, cv);
}

Handle GraphicRecordToFileOrder(std::span<const uint8_t> record, const StackConversion& cv) {
    return ToFileOrder(record, kObjectGraphic, cv);
}

Handle TextRecordToFileOrder(std::span<const uint8_t> record, const StackConversion& cv) {
    return ToFileOrder(record, kObjectText, cv);
}

bool SwapSavedObjectHeader(std::span<uint8_t> header, ByteOrder order, const StackConversion& cv) {
    if (header.size() < kSavedObjectHeaderBytes)
        return false;
    for (uint32_t offset : {0u, 8u, 12u, 16u, 56u})
        SwapField32(header, offset);
    for (uint32_t offset : {4u, 6u, 52u, 54u})
        SwapField16(header, offset);
    ConvertTextField(header.subspan(kSavedName, kSavedNameBytes), order, cv);
    return true;
}
