// Mac colour tables into the colour tables of DibHandles.
#include "graphics/pixels/DibPalette.h"

#include <algorithm>

#include "core/memory/ByteReader.h"
#include "graphics/pixels/CardPicture.h"

namespace {

constexpr uint32_t kMaxMacTableEntries = 256;
constexpr size_t kCountAt = 6;

}  // namespace

std::vector<DibColor> ReadMacColorTable(std::span<const uint8_t> table) {
    if (table.size() < kMacColorTableHeaderBytes)
        return {};
    const uint32_t count = uint32_t{GetBE16(table, kCountAt)} + 1;
    if (count > kMaxMacTableEntries || kMacColorTableHeaderBytes + count * kMacColorTableEntryBytes > table.size())
        return {};
    std::vector<DibColor> colors(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = table.data() + kMacColorTableHeaderBytes + i * kMacColorTableEntryBytes;
        colors[i] = {e[6], e[4], e[2], 0};
    }
    return colors;
}

int DibSetColorsFromMacTable(DibHandle dib, std::span<const uint8_t> table) {
    const std::vector<DibColor> colors = ReadMacColorTable(table);
    LockedDib locked(dib);
    if (!locked)
        return -1;
    const size_t count = std::min<size_t>(colors.size(), locked.layout().tableEntries);
    uint8_t* e = locked.table().data();
    for (size_t i = 0; i < count; ++i, e += 4) {
        e[0] = colors[i].blue;
        e[1] = colors[i].green;
        e[2] = colors[i].red;
        e[3] = 0;
    }
    return static_cast<int>(count);
}

bool DibTableFromPictureRecord(Handle pictureRecord, DibHandle dib) {
    {
        HandleLock lock(pictureRecord);
        if (!lock)
            return false;
        const std::span<const uint8_t> record = lock.bytes();
        if (!FieldFits(record, kPictureRecordHolderId, 2) ||
            GetU16(record, kPictureRecordHolderId) == kNoPictureRecord)
            return false;
    }
    const Handle holder = ResolvePictureRecord(pictureRecord);
    HandleLock lock(holder);
    if (!lock)
        return false;
    const std::span<const uint8_t> table =
        PictureRecordColorTable(lock.bytes());
    return DibSetColorsFromMacTable(dib, table) > 0;
}
