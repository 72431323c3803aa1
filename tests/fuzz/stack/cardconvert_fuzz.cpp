// Arbitrary bytes as a card record in memory order, converted as a change of depth converts it:
// the route its picture takes, the colour words of its objects (each inside its object)
// translated through a table, and the walk over its graphics, each given new data as the pixel
// conversion would, which meets every graphic once and ends.
#include <array>

#include "core/memory/ByteReader.h"
#include "stack/pictures/CardConvertRecords.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

constexpr size_t kMaxInput = 1 << 15;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput || size < 1)
        return 0;
    // The depths from the record's last byte (a trailer byte the conversion does not read).
    const uint8_t pick = data[size - 1];
    const int depths[] = {1, 4, 8, 16, 24, 32};
    const int newDepth = depths[pick % 6], oldDepth = depths[pick / 6 % 6];
    const std::vector<uint8_t> original(data, data + size);
    const CardPictureCase c = ReadCardPictureCase(original, oldDepth, newDepth, 64, 48, 24, pick & 0x80);
    for (bool force : {false, true}) {
        ConversionSwitches s;
        s.force = force;
        ChooseCardPictureRoute(c, s);
    }

    std::vector<ObjectPlace> places;
    for (const ObjectColorWord& word : ObjectColorWords(original, &places))
        FuzzCheck(uint64_t{word.place.offset} + word.place.length <= original.size() && word.at + 2 <= word.place.length);
    std::array<uint8_t, 256> table;
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<uint8_t>(255 - i);
    std::vector<uint8_t> record = original;
    const std::vector<ObjectPlace> translated = TranslateObjectColors(record, table);
    FuzzCheck(translated.size() == places.size() && record.size() == original.size());

    // Each graphic found gets data of its own length again (odd ones gain a pad byte), or is
    // left alone, as the pixel conversion does; the walk must pass each once.
    record = original;
    uint32_t position = 0;
    size_t steps = 0;
    ObjectPlace place;
    while (NextGraphicToConvert(record, position, newDepth, &place)) {
        FuzzCheck(++steps <= places.size());
        FuzzCheck(place.offset >= position && place.kind == kObjectGraphic);
        if (place.length % 3 == 0) {
            position = place.offset + place.length;
            continue;
        }
        const std::vector<uint8_t> converted(place.length % 64, 0x5A);
        uint32_t next = 0;
        if (!StoreConvertedGraphic(record, place, converted, 0, newDepth, &next))
            break;
        FuzzCheck(next > place.offset && next <= record.size());
        FuzzCheck(GetU32(std::span<const uint8_t>(record).subspan(place.offset), kObjectLength) ==
                  kGraphicHeaderBytes + converted.size() + (converted.size() & 1));
        position = next;
    }
    return 0;
}
