// Saved object files and BMP picture files, as the program writes and reads them.
#include <algorithm>
#include <string>

#include "StackBuilder.h"

namespace stackbuilder {

namespace {

void Be16(std::vector<uint8_t>& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
void Be32(std::vector<uint8_t>& b, uint32_t v) {
    Be16(b, static_cast<uint16_t>(v >> 16));
    Be16(b, static_cast<uint16_t>(v));
}
void Le32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

const char* KindCode(uint16_t kind) {
    switch (kind) {
    case 16: return "Grfc";
    case 48: return "Bttn";
    case 96: return "TFld";
    default: return "????";
    }
}

}  // namespace

std::vector<uint8_t> ObjectFile(const Object& object, const std::vector<Resource>& held, const Picture& colours) {
    const std::string head = std::string("LMPK") + KindCode(object.kind);
    std::vector<uint8_t> f(head.begin(), head.end());
    Be32(f, 0x00010000);
    f.resize(32, 0);
    const std::vector<uint8_t> record = BuildObjectRecord(object);
    f.insert(f.end(), record.begin(), record.end());
    if (object.kind == 16 && !(object.flags & 0x40)) {
        const std::vector<uint8_t> table = MacColorTable(colours);
        f.insert(f.end(), table.begin(), table.end());
    }
    for (size_t i = 0; i < held.size(); ++i) {
        const Resource& r = held[i];
        std::vector<uint8_t> entry(r.type.begin(), r.type.end());
        entry.resize(4, ' ');
        Be16(entry, r.id);
        Be16(entry, 0);
        Be32(entry, static_cast<uint32_t>(r.data.size()));
        Be16(entry, 0);
        std::vector<uint8_t> name(32, 0);
        name[0] = static_cast<uint8_t>(std::min<size_t>(r.name.size(), 31));
        std::copy(r.name.begin(), r.name.begin() + name[0], name.begin() + 1);
        entry.insert(entry.end(), name.begin(), name.end());
        Be16(entry, 0);
        Be16(entry, object.kind);
        Be16(entry, object.id);
        Be32(entry, i + 1 < held.size() ? 1 : 0);
        f.insert(f.end(), entry.begin(), entry.end());
        f.insert(f.end(), r.data.begin(), r.data.end());
    }
    return f;
}

std::vector<uint8_t> BmpFile(const Picture& picture) {
    const uint32_t rowBytes = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
    const uint32_t size = 54 + rowBytes * static_cast<uint32_t>(picture.height);
    std::vector<uint8_t> bmp(size, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    Le32(bmp, 2, size);
    Le32(bmp, 10, 54);
    Le32(bmp, 14, 40);
    Le32(bmp, 18, static_cast<uint32_t>(picture.width));
    Le32(bmp, 22, static_cast<uint32_t>(picture.height));
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t pixel = picture.pixels[static_cast<size_t>(y) * picture.width + x];
            const size_t at = 54 + static_cast<size_t>(picture.height - 1 - y) * rowBytes + static_cast<size_t>(x) * 3;
            bmp[at] = static_cast<uint8_t>(pixel);
            bmp[at + 1] = static_cast<uint8_t>(pixel >> 8);
            bmp[at + 2] = static_cast<uint8_t>(pixel >> 16);
        }
    return bmp;
}

}  // namespace stackbuilder
