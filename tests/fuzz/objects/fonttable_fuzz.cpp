// Arbitrary bytes as an opened stack's font table ('FntL' 128): loaded as the program's table,
// walked, looked up by number and face (the program's entries read once, the bytes walked in
// place, both finding the same first entry), given a new face and a free number, none of it
// reading past the table. The table is reset after each input, its counter of numbers with it.
#include "objects/fonts/FontTable.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 14))
        return 0;
    LoadFontTableBytes({data, size});
    const std::vector<uint8_t>& table = FontTableBytes();
    FuzzCheck(size == 0 || table.size() == size);
    for (const FontEntry& e : FontTableEntries()) {
        FuzzCheck(e.face.size() <= 63 && e.number != 0);
        const FontEntry* first = FindFontByNumber(e.number);
        FontEntry found;
        FuzzCheck(first && FindFontTableEntry(table, e.number, &found) && found.face == first->face);
        FuzzCheck(FindFontEntryByFace(table, e.face, &found));
        MapMacFace(e.face);
    }
    NextFreeFontNumber(table);
    const uint16_t number = FontNumberForFace("Loom Fuzz Face", 0, 0, 12);
    const FontEntry* made = FindFontByNumber(number);
    FuzzCheck(number == 0 || (made && made->face == "Loom Fuzz Face"));
    ResetFontTable();
    return 0;
}
