// Styled text entries and font tables, written in file order (big-endian) by hand.
#include <algorithm>

#include "StackBuilder.h"
#include "format/StackFile.h"

namespace stackbuilder {

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v >> 8);
    b[at + 1] = static_cast<uint8_t>(v);
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    Put16(b, at, static_cast<uint16_t>(v >> 16));
    Put16(b, at + 2, static_cast<uint16_t>(v));
}

}  // namespace

TextSubRecord TextEntry(uint16_t card, std::string_view text, const std::vector<TextRun>& runs) {
    TextSubRecord entry;
    entry.word0 = 99;
    entry.word2 = card;
    entry.path.assign(text.begin(), text.end());
    std::vector<uint8_t>& scrap = entry.body;
    scrap.assign(2 + kStyleRunBytes * runs.size(), 0);
    Put16(scrap, 0, static_cast<uint16_t>(runs.size()));
    size_t at = 2;
    for (const TextRun& run : runs) {
        Put32(scrap, at, static_cast<uint32_t>(run.start));
        Put16(scrap, at + 4, static_cast<uint16_t>(run.size + run.size / 6));  // line height
        Put16(scrap, at + 6, static_cast<uint16_t>(run.size * 5 / 6));         // ascent
        Put16(scrap, at + 8, run.font);
        scrap[at + 10] = run.face;
        Put16(scrap, at + 12, static_cast<uint16_t>(run.size));
        Put16(scrap, at + 14, static_cast<uint16_t>(run.colour.red << 8));
        Put16(scrap, at + 16, static_cast<uint16_t>(run.colour.green << 8));
        Put16(scrap, at + 18, static_cast<uint16_t>(run.colour.blue << 8));
        at += kStyleRunBytes;
    }
    if ((entry.path.size() + scrap.size()) % 2) {
        entry.long4 = 0x200;
        scrap.push_back(0);
    }
    return entry;
}

std::vector<uint8_t> FontTable(const std::vector<FontName>& fonts) {
    std::vector<uint8_t> table((fonts.size() + 1) * kFontEntryBytes, 0);
    size_t at = 0;
    for (const FontName& font : fonts) {
        const size_t length = std::min<size_t>(font.face.size(), 63);
        table[at] = static_cast<uint8_t>(length);
        std::copy_n(font.face.begin(), length, table.begin() + static_cast<ptrdiff_t>(at + 1));
        Put16(table, at + 64, font.number);
        Put16(table, at + 66, font.macFace ? 1 : 0);
        Put16(table, at + 90, 400);  // weight
        at += kFontEntryBytes;
    }
    return table;
}

}  // namespace stackbuilder
