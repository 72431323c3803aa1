// Arbitrary bytes as an object record handed to the layer builders: what a button, text object
// or graphic takes into its layer stays within the record (its name, freehand or graphic mask,
// picture file name), the numbers stay in their ranges, and a mask found is read as the builder
// reads it.
#include <cstring>

#include "graphics/masks/PackedMask.h"
#include "objects/ObjectLayerFields.h"
#include "format/StackFile.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 15;

void ReadMask(std::span<const uint8_t> mask) {
    if (mask.empty())
        return;
    MaskBits bits;
    uint16_t first = 0, second = 0;
    ReadPackedMaskBits(mask, &bits, &first, &second);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput)
        return 0;
    const std::span<const uint8_t> record(data, size);
    ReadButtonFontFields(record);
    LayerCommonFields common;
    FuzzCheck(ReadLayerCommonFields(record, kObjectButton, &common) == (size >= kObjectCommonBytes && data[0] == kObjectButton && data[1] == 0));

    ButtonLayerFields button;
    if (ReadButtonLayerFields(record, &button)) {
        FuzzCheck(button.shape >= 0 && button.shape <= 7 && button.common.kind == kObjectButton);
        FuzzCheck(button.nameLength <= 31 && button.name[button.nameLength] == '\0');
        FuzzCheck(button.nameLength == 0 || kButtonName + 1u + button.nameLength <= size);
        FuzzCheck(std::memcmp(button.name, data + kButtonName + 1, button.nameLength) == 0);
        FuzzCheck(FuzzInside(button.packedMask, record) && (button.shape >= 5 || button.packedMask.empty()));
        ReadMask(button.packedMask);
    }

    FieldLayerFields field;
    if (ReadFieldLayerFields(record, &field))
        FuzzCheck(field.common.kind == kObjectText);
    const std::string name = FieldRecordName(record);
    FuzzCheck(name.empty() || (name.size() <= kTextNameBytes && static_cast<uint8_t>(name[0]) == name.size() - 1));

    GraphicLayerFields graphic;
    if (ReadGraphicLayerFields(record, &graphic)) {
        FuzzCheck(graphic.frameWidth <= kGraphicMaxFrameWidth && graphic.transparency <= 100);
        FuzzCheck(FuzzInside(graphic.packedMask, record));
        ReadMask(graphic.packedMask);
    }
    std::string_view file;
    int crop[4] = {};
    if (ReadGraphicPictureFile(record, &file, crop)) {
        FuzzCheck(!file.empty() && FuzzInside({reinterpret_cast<const uint8_t*>(file.data()), file.size()}, record));
        FuzzCheck(file.find('\0') == std::string_view::npos);
    }
    return 0;
}
