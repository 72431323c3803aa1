// Stack files from a description: header, card records, object records, resource area.
#include "StackBuilder.h"

#include <algorithm>
#include <cstdio>

#include "format/StackFile.h"

namespace stackbuilder {

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    if (b.size() < at + 2)
        b.resize(at + 2, 0);
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
}
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, static_cast<uint16_t>(v >> 16));
    Put16(b, at + 2, static_cast<uint16_t>(v));
}
void PutMacRect(std::vector<uint8_t>& b, size_t at, Rect r) {
    Put16(b, at, static_cast<uint16_t>(r.top));
    Put16(b, at + 2, static_cast<uint16_t>(r.left));
    Put16(b, at + 4, static_cast<uint16_t>(r.bottom));
    Put16(b, at + 6, static_cast<uint16_t>(r.right));
}
// A length-prefixed text in a field of `size` bytes (text cut to size - 1).
void PutPString(std::vector<uint8_t>& b, size_t at, size_t size, std::string_view text) {
    size_t n = std::min(text.size(), size - 1);
    if (b.size() < at + size)
        b.resize(at + size, 0);
    b[at] = static_cast<uint8_t>(n);
    std::copy(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n), b.begin() + static_cast<std::ptrdiff_t>(at + 1));
}
void PutFields(std::vector<uint8_t>& b, const std::vector<Word>& words, const std::vector<Long>& longs) {
    for (const Word& w : words)
        Put16(b, w.offset, w.value);
    for (const Long& l : longs)
        Put32(b, l.offset, l.value);
}
void Append(std::vector<uint8_t>& b, std::span<const uint8_t> bytes) {
    b.insert(b.end(), bytes.begin(), bytes.end());
}

// The common header: kind, id, rectangle, length (filled at the end), flags.
std::vector<uint8_t> CommonHeader(uint16_t kind, uint16_t id, Rect rect, size_t headerBytes) {
    std::vector<uint8_t> b(headerBytes, 0);
    Put16(b, 0, kind);
    Put16(b, 2, id);
    PutMacRect(b, 4, rect);
    return b;
}

// Pads to even (flag 0x200) and stores length and flags.
void Finish(std::vector<uint8_t>& b, uint16_t flags) {
    flags &= static_cast<uint16_t>(~kObjectPadded);
    if (b.size() & 1) {
        b.push_back(0);
        flags |= kObjectPadded;
    }
    Put32(b, 12, static_cast<uint32_t>(b.size()));
    Put16(b, 22, flags);
}

size_t HeaderBytes(uint16_t kind) {
    switch (kind) {
    case 16: return 80;
    case 48: return 136;
    case 96: return 128;
    default: return 24;
    }
}

}  // namespace

std::vector<uint8_t> BuildChunk(const Chunk& c) {
    std::vector<uint8_t> b = CommonHeader(c.kind, c.id, c.rect, 32);
    Append(b, c.payload);
    PutFields(b, c.words, c.longs);
    Finish(b, c.flags);
    return b;
}

std::vector<uint8_t> BuildObjectRecord(const Object& o) {
    std::vector<uint8_t> b = CommonHeader(o.kind, o.id, o.rect, HeaderBytes(o.kind));
    switch (o.kind) {
    case 16:
        PutPString(b, 38, 16, o.name);
        Append(b, o.data);
        if (!o.mask.empty()) {
            if (o.data.size() & 1)
                b.push_back(0);
            Append(b, o.mask);
            Put32(b, 60, static_cast<uint32_t>(o.mask.size()));
        } else if (o.trailer) {
            Put32(b, 60, 8);
            size_t at = b.size();
            b.resize(at + 8, 0);
            Put16(b, at, o.trailerWidth);
            Put16(b, at + 2, o.trailerHeight);
        }
        break;
    case 48:
        PutPString(b, 28, 32, o.name);
        for (const Chunk& c : o.chunks)
            Append(b, BuildChunk(c));
        break;
    case 96:
        PutPString(b, 72, 16, o.name);
        for (const TextSubRecord& s : o.subRecords) {
            size_t at = b.size();
            b.resize(at + 16, 0);
            Put16(b, at, s.word0);
            Put16(b, at + 2, s.word2);
            Put32(b, at + 4, s.long4);
            Put32(b, at + 8, static_cast<uint32_t>(s.path.size()));
            Put32(b, at + 12, static_cast<uint32_t>(16 + s.path.size() + s.body.size()));
            Append(b, s.path);
            Append(b, s.body);
        }
        break;
    default:
        Append(b, o.extra);
        break;
    }
    PutFields(b, o.words, o.longs);
    if (o.kind == 16 && !o.mask.empty())
        b[29] |= 0x02;  // +28: a mask follows the data
    Finish(b, o.flags);
    return b;
}

std::vector<uint8_t> PackedMaskBlock(int width, int height, bool (*white)(int x, int y)) {
    const size_t rowBytes = static_cast<size_t>((width + 31) / 32 * 4);
    std::vector<uint8_t> b(24 + rowBytes * height + 1, 0);
    Put16(b, 0, static_cast<uint16_t>(width));
    Put16(b, 2, static_cast<uint16_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (white(x, y))
                b[24 + y * rowBytes + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    return b;
}

std::vector<uint8_t> BuildPictureBlock(const Picture& p) {
    std::vector<uint8_t> table = p.rawColorTable ? *p.rawColorTable : MacColorTable(p);
    std::vector<uint8_t> data = p.rawData ? *p.rawData : PackPictureRows(MacRows(p), p.stream);
    const bool pad = ((table.size() + data.size()) & 1) != 0;
    std::vector<uint8_t> b(24, 0);
    Put16(b, 0, 8);
    Put16(b, 2, p.format);
    Put16(b, 10, pad ? kObjectPadded : 0);
    Put32(b, 12, static_cast<uint32_t>(24 + table.size() + data.size() + (pad ? 1 : 0)));
    Put32(b, 16, static_cast<uint32_t>(table.size()));
    Append(b, table);
    Append(b, data);
    if (pad)
        b.push_back(0);
    return b;
}

std::vector<uint8_t> BuildCardRecord(const Card& c, const Stack& s, std::vector<uint32_t>* objectOffsets) {
    std::vector<uint8_t> b(96, 0);
    const int kind = c.kind >= 0 ? c.kind : (c.picture ? 1 : 0);
    Put16(b, 0, c.id);
    Put16(b, 6, static_cast<uint16_t>(kind));
    Put16(b, 8, c.background);
    Put16(b, 10, c.flags);
    Put16(b, 16, c.menuBar);
    Put16(b, 18, c.depth ? c.depth : s.depth);
    Put16(b, 20, c.width ? c.width : s.cardWidth);
    Put16(b, 22, c.height ? c.height : s.cardHeight);
    PutPString(b, 32, 16, c.name);
    for (size_t i = 0; i < 3; ++i)
        Put16(b, 48 + 2 * i, c.actions[i]);
    Put16(b, 54, c.cursor);
    Put16(b, 56, c.word56);
    if (c.picture)
        Append(b, BuildPictureBlock(*c.picture));
    for (const Object& o : c.objects) {
        if (objectOffsets)
            objectOffsets->push_back(static_cast<uint32_t>(b.size()));
        Append(b, BuildObjectRecord(o));
    }
    const uint8_t trailer[4] = {0x00, 0x00, 0xFA, 0xCE};
    Append(b, trailer);
    Put32(b, 2, static_cast<uint32_t>(b.size()));
    return b;
}

Built BuildStack(const Stack& s) {
    Built built;
    std::vector<uint8_t>& b = built.bytes;
    b.assign(128, 0);
    uint16_t highestCard = 0;
    for (const Card& c : s.cards)
        highestCard = std::max(highestCard, c.id);
    for (const Card& c : s.cards) {
        built.cardOffsets.push_back(static_cast<uint32_t>(b.size()));
        std::vector<uint32_t> objects;
        std::vector<uint8_t> record = BuildCardRecord(c, s, &objects);
        for (uint32_t& offset : objects)
            offset += static_cast<uint32_t>(b.size());
        built.objectOffsets.push_back(std::move(objects));
        Append(b, record);
    }
    const auto resourceOffset = static_cast<uint32_t>(b.size());
    for (const Resource& r : s.resources) {
        built.resourceOffsets.push_back(static_cast<uint32_t>(b.size()));
        std::vector<uint8_t> e(68, 0);
        for (size_t i = 0; i < 4; ++i)
            e[i] = i < r.type.size() ? static_cast<uint8_t>(r.type[i]) : ' ';
        Put16(e, 4, r.id);
        Put16(e, 6, r.word6);
        PutPString(e, 8, 32, r.name);
        Put32(e, 40, r.attributes);
        Put32(e, 44, static_cast<uint32_t>(r.data.size()));
        const size_t padded = (r.data.size() + 3) & ~size_t{3};
        Put32(e, 48, static_cast<uint32_t>(padded));
        Append(b, e);
        Append(b, r.data);
        b.resize(b.size() + padded - r.data.size(), 0);
    }

    Put16(b, 0, s.autoSave);
    Put16(b, 2, s.experiencedUser);
    Put16(b, 4, static_cast<uint16_t>(s.cards.size()));
    Put16(b, 6, s.word6);
    Put16(b, 8, s.version);
    Put16(b, 10, s.nextCardId ? s.nextCardId : static_cast<uint16_t>(highestCard + 1));
    Put16(b, 12, s.nextObjectId);
    Put16(b, 14, s.flags);
    Put16(b, 16, s.depth);
    Put16(b, 18, s.word18);
    Put16(b, 20, s.timersAndLinks);
    Put16(b, 22, s.word22);
    Put16(b, 24, s.locked);
    Put16(b, 26, s.cardNumberInTitle);
    for (size_t i = 0; i < s.password.size() && i < 15; ++i)
        b[32 + i] = static_cast<uint8_t>(s.password[i]);
    Put16(b, 48, s.presentationMode);
    Put16(b, 50, s.presentation50);
    Put16(b, 52, s.word52);
    Put16(b, 54, s.presentation54);
    Put16(b, 56, s.cardWidth);
    Put16(b, 58, s.cardHeight);
    Put32(b, 60, resourceOffset);
    Put32(b, 64, static_cast<uint32_t>(s.resources.size()));
    Put32(b, 68, s.nextResourceId);
    Put16(b, 72, s.stackActionA);
    Put16(b, 74, s.closingAction);
    Put16(b, 76, s.cursorId);
    Put16(b, 78, s.stackActionB);
    PutFields(b, s.headerWords, s.headerLongs);
    return built;
}

Object Button(uint16_t id, Rect rect, std::string name) {
    Object o;
    o.kind = 48;
    o.id = id;
    o.rect = rect;
    o.name = std::move(name);
    o.words.push_back({86, 16});  // font size in pixels: 12 points at 96 dpi
    return o;
}

Object TextField(uint16_t id, Rect rect, std::string name, std::string text) {
    Object o;
    o.kind = 96;
    o.id = id;
    o.rect = rect;
    o.name = std::move(name);
    TextSubRecord s;
    s.word0 = 99;  // a text entry: the text counted by +8, no style scrap
    s.path.assign(text.begin(), text.end());
    o.subRecords.push_back(std::move(s));
    return o;
}

Object Graphic(uint16_t id, Rect rect, std::string name) {
    Object o;
    o.kind = 16;
    o.id = id;
    o.rect = rect;
    o.name = std::move(name);
    o.words.push_back({54, 8});  // picture depth
    o.mask = PackedMaskBlock(std::max(rect.right - rect.left, 0), std::max(rect.bottom - rect.top, 0),
                             [](int, int) { return true; });
    return o;
}

std::vector<uint8_t> MacPath(std::string_view path) {
    std::vector<uint8_t> b;
    b.push_back(static_cast<uint8_t>(std::min<size_t>(path.size(), 255)));
    b.insert(b.end(), path.begin(), path.begin() + b[0]);
    return b;
}

Chunk PathChunk(uint16_t kind, std::string_view macPath) {
    Chunk c;
    c.kind = kind;
    c.payload = MacPath(macPath);
    return c;
}

std::vector<uint8_t> ActionRecord(const Object& button) {
    Object b = button;
    b.kind = 48;
    return BuildObjectRecord(b);
}

std::vector<uint8_t> LinkData(std::string_view text, const std::vector<uint8_t>& other,
                              const Object* button) {
    std::vector<uint8_t> b(24, 0);
    Put16(b, 0, 1);
    Put16(b, 2, 0);
    Put16(b, 4, static_cast<uint16_t>(other.size()));
    Put16(b, 6, static_cast<uint16_t>(text.size()));
    Put16(b, 8, button ? 1 : 0);
    // The text starts at +23 in the file and at +24 in memory, where the other bytes follow it
    // at +24 + length in both; the file's byte between text and other bytes is 0.
    b.resize(23);
    b.insert(b.end(), text.begin(), text.end());
    b.push_back(0);
    Append(b, other);
    if (button)
        Append(b, ActionRecord(*button));
    return b;
}

Stack EditableStack(uint16_t cardWidth, uint16_t cardHeight, uint16_t depth) {
    Stack s;
    s.cardWidth = cardWidth;
    s.cardHeight = cardHeight;
    s.depth = depth;
    s.experiencedUser = 1;
    return s;
}

Card PlainCard(uint16_t id) {
    Card c;
    c.id = id;
    return c;
}

Card PictureCard(uint16_t id, Picture picture) {
    Card c;
    c.id = id;
    c.depth = static_cast<uint16_t>(picture.depth);
    // The card's size is its picture's, as the program keeps it.
    c.width = static_cast<uint16_t>(picture.width);
    c.height = static_cast<uint16_t>(picture.height);
    c.picture = std::move(picture);
    return c;
}

Card SharedCard(uint16_t id, uint16_t holderId) {
    Card c;
    c.id = id;
    c.kind = 3;
    c.background = holderId;
    return c;
}

bool WriteFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace stackbuilder
