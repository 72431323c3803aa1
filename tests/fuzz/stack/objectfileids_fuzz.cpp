// Arbitrary bytes as the id changes of a placed object file (a count, then type, from and to of
// each) and the button record they are applied to: the record keeps its length, only words it
// names change, and applying no change leaves it as it was.
#include <vector>

#include "core/memory/ByteReader.h"
#include "authoring/cards/ObjectFile.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > (1 << 16))
        return 0;
    const size_t count = std::min<size_t>(data[0] % 8, (size - 1) / 8);
    std::vector<ObjectFileIdChange> changes(count);
    for (size_t i = 0; i < count; ++i) {
        const std::span<const uint8_t> c(data + 1 + 8 * i, 8);
        changes[i] = {GetBE32(c, 0), GetBE16(c, 4), GetBE16(c, 6)};
    }
    const std::vector<uint8_t> original(data + 1 + 8 * count, data + size);
    std::vector<uint8_t> button = original;
    RemapObjectFileIds(button, {});
    FuzzCheck(button == original);
    RemapObjectFileIds(button, changes);
    FuzzCheck(button.size() == original.size());
    for (size_t at = 0; at < button.size(); ++at)
        if (button[at] != original[at]) {
            // A changed byte belongs to a word that now holds a listed change's new id.
            const size_t word = at & ~size_t(1);
            bool listed = false;
            for (const ObjectFileIdChange& c : changes)
                listed = listed || (word + 2 <= button.size() && GetU16(button, word) == c.to) ||
                         (at >= 1 && GetU16(button, at - 1) == c.to) || (at + 2 <= button.size() && GetU16(button, at) == c.to);
            FuzzCheck(listed);
        }
    return 0;
}
