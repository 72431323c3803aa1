#include "tests/support/TestMetafiles.h"

#include <algorithm>

namespace {

using Bytes = std::vector<uint8_t>;

void U16(Bytes* b, uint16_t v) {
    b->push_back(static_cast<uint8_t>(v));
    b->push_back(static_cast<uint8_t>(v >> 8));
}
void U32(Bytes* b, uint32_t v) {
    U16(b, static_cast<uint16_t>(v));
    U16(b, static_cast<uint16_t>(v >> 16));
}

// A record of the function with its 16-bit parameters.
void Record(Bytes* b, uint16_t function, std::initializer_list<uint16_t> params) {
    U32(b, static_cast<uint32_t>(3 + params.size()));
    U16(b, function);
    for (const uint16_t p : params)
        U16(b, p);
}

}  // namespace

Bytes WindowsMetafile(const std::vector<MetafileFill>& fills) {
    Bytes records;
    for (const MetafileFill& f : fills) {
        const auto lo = static_cast<uint16_t>(f.colour), hi = static_cast<uint16_t>(f.colour >> 16);
        Record(&records, 0x02FA, {0, 1, 0, lo, hi});  // solid pen, one wide: object 0
        Record(&records, 0x02FC, {0, lo, hi, 0});     // solid brush: object 1
        Record(&records, 0x012D, {0});
        Record(&records, 0x012D, {1});
        Record(&records, 0x041B, {static_cast<uint16_t>(f.bottom), static_cast<uint16_t>(f.right),
                                  static_cast<uint16_t>(f.top), static_cast<uint16_t>(f.left)});
        Record(&records, 0x01F0, {0});  // delete both again
        Record(&records, 0x01F0, {1});
    }
    Record(&records, 0x0000, {});
    Bytes b;
    U16(&b, 1);
    U16(&b, 9);
    U16(&b, 0x0300);
    U32(&b, static_cast<uint32_t>((18 + records.size()) / 2));
    U16(&b, 2);
    U32(&b, 8);
    U16(&b, 0);
    b.insert(b.end(), records.begin(), records.end());
    return b;
}

Bytes PlaceableMetafile(int16_t left, int16_t top, int16_t right, int16_t bottom, uint16_t unitsPerInch,
                        const std::vector<MetafileFill>& fills) {
    Bytes b;
    U32(&b, 0x9AC6CDD7);
    U16(&b, 0);
    for (const int16_t side : {left, top, right, bottom})
        U16(&b, static_cast<uint16_t>(side));
    U16(&b, unitsPerInch);
    U32(&b, 0);
    uint16_t sum = 0;
    for (size_t i = 0; i + 1 < b.size(); i += 2)
        sum ^= static_cast<uint16_t>(b[i] | b[i + 1] << 8);
    U16(&b, sum);
    const Bytes metafile = WindowsMetafile(fills);
    b.insert(b.end(), metafile.begin(), metafile.end());
    return b;
}
