// The text object record read into its layer, and the window made when the layer is built.
#include "objects/text/TextFields.h"

#include <algorithm>
#include <cstring>

#include "objects/ObjectLayerKinds.h"
#include "stack/format/StackFile.h"

namespace {

uint16_t U16At(std::span<const uint8_t> record, uint32_t offset) {
    uint16_t value = 0;
    if (offset + sizeof value <= record.size())
        std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

}  // namespace

bool ReadFieldLayer(std::span<const uint8_t> record, FieldLayer* layer) {
    // Words past a short record read as 0.
    if (!ReadLayerCommon(record, kObjectText, &layer->common))
        return false;
    layer->objectFlags = RecordFlags(record);
    layer->options = U16At(record, kTextOptions);
    // The stored colour counts from 1 (0: none, taken as the first entry).
    const uint16_t color = U16At(record, kTextColor);
    layer->colorIndex = color ? static_cast<uint16_t>(color - 1) : 0;
    layer->alignment = static_cast<int16_t>(U16At(record, kTextAlignment));
    layer->actionId = U16At(record, kTextAction);
    layer->cursorId = U16At(record, kTextCursor);
    return true;
}

void InitFieldWindowFromRecord(std::span<const uint8_t> record, LayerHandle layer, int show) {
    InitFieldWindow(record, layer, show != 0);
}

std::string FieldRecordName(std::span<const uint8_t> record) {
    if (record.size() < kTextName + kTextNameBytes)
        return {};
    const size_t length = std::min<size_t>(record[kTextName], kTextNameBytes - 1);
    std::string name(1, static_cast<char>(length));
    name.append(reinterpret_cast<const char*>(record.data() + kTextName + 1), length);
    return name;
}
