// Arbitrary bytes as a text object record (after a valid common header), as a style scrap and as
// a stack font table: entries stay inside the record, runs inside the scrap and in order inside
// the text; storing a card's text and purging entries keep the record length equal to the bytes
// and the entries whole; the font table reads whole entries only and a new face goes in front.
#include <string_view>
#include <vector>

#include "core/memory/ByteReader.h"
#include "objects/fonts/FontTable.h"
#include "stack/cards/FieldText.h"
#include "format/StackFile.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 14;

void CheckEntries(const std::vector<uint8_t>& object) {
    uint64_t end = kTextHeaderBytes;
    for (const FieldTextEntry& e : ListFieldTextEntries(object)) {
        FuzzCheck(e.offset == end && e.length >= kSubRecordHeaderBytes);
        FuzzCheck(uint64_t{e.offset} + e.length <= object.size());
        FuzzCheck(e.textLength <= e.length - kSubRecordHeaderBytes);
        const auto scrap = FieldEntryScrap(object, e);
        FuzzCheck(FieldEntryText(object, e).size() + scrap.size() <= e.length - kSubRecordHeaderBytes);
        int32_t previous = 0;
        for (const StyleRun& run : ReadStyleScrap(scrap, e.textLength)) {
            FuzzCheck(run.start >= previous && run.start <= static_cast<int64_t>(e.textLength));
            previous = run.start;
        }
        end = uint64_t{e.offset} + e.length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput || size < 4)
        return 0;
    const uint16_t card = static_cast<uint16_t>(data[0] | data[1] << 8);
    const bool background = data[2] & 1;
    std::vector<uint8_t> object(kTextHeaderBytes);
    SetU16(object, kObjectKind, kObjectText);
    SetU16(object, kObjectFlags, background ? kObjectBackground : 0);
    object.insert(object.end(), data + 4, data + size);
    SetU32(object, kObjectLength, data[3] & 1 ? static_cast<uint32_t>(object.size()) : data[3] * 7u);
    CheckEntries(object);
    FuzzCheck(GetFirstStyleRun(object, card, data[3]).size() == kOneRunScrapBytes);
    ReadDiskStyle(object);

    std::vector<uint8_t> stored = object;
    const std::string_view text("Fuzzed\xA5");
    const std::span<const uint8_t> textBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    const std::vector<uint8_t> scrap = WriteStyleScrap(ReadStyleScrap({data + 4, size - 4}, 7));
    if (StoreFieldEntry(stored, card, 0, textBytes, scrap)) {
        CheckEntries(stored);
        FuzzCheck(GetU32(stored, kObjectLength) == stored.size());
        const auto entry = FindFieldTextEntry(stored, card, 0);
        FuzzCheck(entry && FieldEntryText(stored, *entry).size() == text.size());
        FuzzCheck(FieldEntryScrap(stored, *entry).size() == scrap.size());
    }
    for (int mode : {0, 1}) {
        std::vector<uint8_t> purged = stored;
        PurgeFieldEntries(purged, card, mode);
        CheckEntries(purged);
        FuzzCheck(purged.size() >= kEmptyTextRecordBytes || purged.size() == stored.size());
    }
    std::vector<uint8_t> fonts(data, data + size);
    const size_t known = ReadFontTable(fonts).size();
    FuzzCheck(known <= size / kFontEntryBytes);
    for (const FontEntry& e : ReadFontTable(fonts))
        FuzzCheck(e.number != 0 && e.face.size() <= kFontFaceMax);
    const uint16_t number = FontNumberForFace(fonts, "Fuzz Face", 0, 0, 12);
    FontEntry found;
    FuzzCheck(number == 0 || FindFontTableEntry(fonts, number, &found));
    return 0;
}
