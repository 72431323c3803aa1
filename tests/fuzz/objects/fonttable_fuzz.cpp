// Arbitrary bytes as an opened stack's font table ('FntL' 128): loaded as the program's table,
// walked, looked up by number and face, given a new face and a free number, none of it reading
// past the table.
#include "objects/fonts/FontTable.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 14))
        return 0;
    LoadFontTableBytes({data, size});
    std::vector<uint8_t>& table = FontTableBytes();
    FuzzCheck(size == 0 || table.size() == size);
    const std::vector<FontEntry> entries = ReadFontTable(table);
    for (const FontEntry& e : entries) {
        FuzzCheck(e.face.size() <= 63 && e.number != 0);
        FontEntry found;
        FuzzCheck(FindFontTableEntry(table, e.number, &found));
        FuzzCheck(FindFontEntryByFace(table, e.face, &found));
        MapMacFace(e.face);
    }
    NextFreeFontNumber(table);
    const uint16_t number = FontNumberForFace(table, "Loom Fuzz Face", 0, 0, 12);
    FontEntry made;
    FuzzCheck(number == 0 || (FindFontTableEntry(table, number, &made) && made.face == "Loom Fuzz Face"));
    ResetFontTable();
    return 0;
}
