// Atom containers as the effect calls pass them: a flat run of atoms, each a big-endian u32
// length (header included), u32 type and u32 id, then its data. Effect lists hold one "name"
// and one "type" atom per effect (ids 1, 2, ...); effect descriptions hold a "what" atom with
// the effect code and the effect's parameter atoms. Both sides of the library read them here.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

inline constexpr uint32_t kQtAtomHeaderBytes = 12;

constexpr uint32_t QtAtomType(const char (&s)[5]) {
    return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 | uint32_t(uint8_t(s[2])) << 8 |
           uint8_t(s[3]);
}

struct QtAtom {
    uint32_t type = 0;
    uint32_t id = 0;
    std::span<const uint8_t> data;
};

inline uint32_t QtAtomReadBE32(std::span<const uint8_t> b, size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

// The atoms of a container, in order. A length that is too short or runs past the end ends
// the walk: what came before it is kept.
inline std::vector<QtAtom> ReadQtAtoms(std::span<const uint8_t> container) {
    std::vector<QtAtom> atoms;
    size_t at = 0;
    while (container.size() - at >= kQtAtomHeaderBytes) {
        const uint32_t length = QtAtomReadBE32(container, at);
        if (length < kQtAtomHeaderBytes || length > container.size() - at)
            break;
        atoms.push_back({QtAtomReadBE32(container, at + 4), QtAtomReadBE32(container, at + 8),
                         container.subspan(at + kQtAtomHeaderBytes, length - kQtAtomHeaderBytes)});
        at += length;
    }
    return atoms;
}

inline int CountQtAtoms(std::span<const QtAtom> atoms, uint32_t type) {
    int n = 0;
    for (const QtAtom& a : atoms)
        n += a.type == type;
    return n;
}

// The index'th (from 1) atom of the type; null when there are fewer.
inline const QtAtom* FindQtAtom(std::span<const QtAtom> atoms, uint32_t type, int index = 1) {
    for (const QtAtom& a : atoms)
        if (a.type == type && --index == 0)
            return &a;
    return nullptr;
}

// A u32 atom's value, or the fallback when it is missing or short.
inline uint32_t QtAtomU32(std::span<const QtAtom> atoms, uint32_t type, uint32_t fallback) {
    const QtAtom* a = FindQtAtom(atoms, type);
    return a && a->data.size() >= 4 ? QtAtomReadBE32(a->data, 0) : fallback;
}

inline void AppendQtAtom(std::vector<uint8_t>* out, uint32_t type, uint32_t id, std::span<const uint8_t> data) {
    const uint32_t length = kQtAtomHeaderBytes + static_cast<uint32_t>(data.size());
    for (uint32_t v : {length, type, id})
        for (int s = 24; s >= 0; s -= 8)
            out->push_back(static_cast<uint8_t>(v >> s));
    out->insert(out->end(), data.begin(), data.end());
}

inline void AppendQtAtomU32(std::vector<uint8_t>* out, uint32_t type, uint32_t id, uint32_t value) {
    const uint8_t bytes[4] = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
    AppendQtAtom(out, type, id, bytes);
}

// Replaces (or adds) the u32 atom of the type.
inline std::vector<uint8_t> WithQtAtomU32(std::span<const uint8_t> container, uint32_t type, uint32_t value) {
    std::vector<uint8_t> out;
    bool done = false;
    for (const QtAtom& a : ReadQtAtoms(container)) {
        if (a.type == type && !done) {
            AppendQtAtomU32(&out, type, a.id, value);
            done = true;
        } else {
            AppendQtAtom(&out, a.type, a.id, a.data);
        }
    }
    if (!done)
        AppendQtAtomU32(&out, type, 1, value);
    return out;
}
