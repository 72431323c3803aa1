// Arbitrary bytes as the library's effect list and as an effect description: the atom walk keeps
// inside the container, and the listed effects are named within their atoms, each with one of
// the known codes.
#include "cardview/transitions/QtEffectState.h"
#include "quicktime/QtAtoms.h"
#include "tests/fuzz/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 16))
        return 0;
    const std::span<const uint8_t> container(data, size);
    const std::vector<QtAtom> atoms = ReadQtAtoms(container);
    size_t used = 0;
    for (const QtAtom& a : atoms) {
        FuzzCheck(a.data.data() >= data + used + kQtAtomHeaderBytes && a.data.data() + a.data.size() <= data + size);
        used = size_t(a.data.data() + a.data.size() - data);
    }
    QtAtomU32(atoms, QtAtomType("what"), 0);
    const std::vector<uint8_t> again = WithQtAtomU32(container, QtAtomType("what"), 1);
    FuzzCheck(QtAtomU32(ReadQtAtoms(again), QtAtomType("what"), 0) == 1);
    const std::vector<QtEffectListEntry> listed = ParseQtEffectList(container);
    FuzzCheck(listed.size() <= size_t(CountQtAtoms(atoms, QtAtomType("name"))));
    for (const QtEffectListEntry& e : listed)
        FuzzCheck(e.name.size() <= 254 && e.name.size() <= size && e.code != 0);
    return 0;
}
