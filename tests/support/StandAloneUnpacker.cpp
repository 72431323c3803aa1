#include "StandAloneUnpacker.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

uint32_t Le(std::span<const uint8_t> b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

bool ReadRecord(std::span<const uint8_t> p, uint64_t at, UnpackedFile* file, uint32_t* length, std::string* error) {
    if (at + 68 > p.size()) {
        *error = "record header past the end at " + std::to_string(at);
        return false;
    }
    const char* name = reinterpret_cast<const char*>(p.data() + at);
    file->name.assign(name, strnlen(name, 64));
    if (file->name.size() == 64) {
        *error = "record name without its NUL at " + std::to_string(at);
        return false;
    }
    *length = Le(p, at + 64);
    if (at + 68 + *length > p.size()) {
        *error = "record data past the end at " + std::to_string(at);
        return false;
    }
    file->bytes.assign(p.begin() + at + 68, p.begin() + at + 68 + *length);
    return true;
}

}  // namespace

UnpackedPackage UnpackStandAlone(std::span<const uint8_t> p) {
    UnpackedPackage u;
    if (p.size() < 44 || std::memcmp(p.data() + p.size() - 8, "_STACK_\0", 8) != 0) {
        u.error = "no trailer";
        return u;
    }
    const auto t = p.subspan(p.size() - 44);
    u.playerOffset = Le(t, 0);
    u.libraryOffset = Le(t, 4);
    u.zeroField = Le(t, 8);
    for (int g = 0; g < 3; ++g) {
        u.counts[g] = Le(t, 12 + 8 * g);
        u.starts[g] = Le(t, 16 + 8 * g);
    }
    if (u.libraryOffset > p.size()) {
        u.error = "library offset past the end";
        return u;
    }
    u.launcher.assign(p.begin(), p.begin() + u.libraryOffset);
    uint32_t length = 0;
    if (!ReadRecord(p, u.libraryOffset, &u.library, &length, &u.error))
        return u;
    UnpackedFile whole;
    if (!ReadRecord(p, u.playerOffset, &whole, &u.playerLength, &u.error))
        return u;
    if (u.starts[0] > whole.bytes.size()) {
        u.error = "group 1 starts past the player's data";
        return u;
    }
    u.player.name = whole.name;
    u.player.bytes.assign(whole.bytes.begin(), whole.bytes.begin() + u.starts[0]);
    const uint64_t data = uint64_t{u.playerOffset} + 68;
    for (int g = 0; g < 3; ++g) {
        uint64_t at = data + u.starts[g];
        for (uint32_t i = 0; i < u.counts[g]; ++i) {
            UnpackedFile file;
            if (!ReadRecord(p, at, &file, &length, &u.error))
                return u;
            u.groups[g].push_back(std::move(file));
            at += 68 + length;
        }
    }
    return u;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
