// What the stack reader sees in a file, as JSON, for the stack report tool and the tests.
//
// The layout is stable; later versions only add keys. Keys always present, in this order:
//   "size"      file size in bytes
//   "refusal"   null, or {"alert": string id, "text": the alert's string-table text,
//               "message": its message part, "reason": the check that failed}
//   "header"    null when no header could be read, else every field by name, host order:
//               autoSave experiencedUser cardCount word6 version nextCardId nextObjectId flags
//               depth word18 timersAndLinks word22 locked cardNumberInTitle password
//               presentationMode presentation50 word52 presentation54 cardWidth cardHeight
//               resourceOffset resourceCount nextResourceId (the 32-bit field at 68)
//               stackActionA closingAction cursorId stackActionB
//   "resourceIdCounter"  the 16-bit word at file offset 68 (the resource manager's counter)
//   "textMacRoman"       whether object texts were converted from Mac Roman
//   "cards"     [] on refusal, else per card: index (from 1), offset, length (in the file), id,
//               kind, name, background, flags, menuBar, depth, width, height, actions [3],
//               cursor, picture (null, or format, blockLength, colorTableSize, colors, padded,
//               dataLength (after the colour table, pad excluded), and for format 2 leadCount,
//               trailCount and stream: "none", "stored" or "compressed"; then image, the
//               picture as the picture readers unpack it: {"decoded": true, width, height,
//               depth (the card's +20, +22, +18), crc32}, or for format 3 {"format": "jpeg",
//               width, height, depth, length (stored bytes: description and JPEG data)}, or
//               {"decoded": false, "reason": why}. crc32 is the CRC-32 (zlib's) of the
//               unpacked rows in stored order: top row first, each ((width + 15) / 16) x depth
//               x 2 bytes, 16-bit pixels high byte first, 32-bit ones as unused, R, G, B),
//               objects
//   objects     per object in list order: kind, id, rect [left, top, right, bottom], flags,
//               length, name ("" for kinds other than 16, 48, 96), and for buttons timer
//               ([mode, value], the words at +26 and +24), chunks
//               (the chunk kinds in order) and frameAnimation: null unless the first animation
//               chunk holds a frame animation, else {width, height, depth, delay, cycles, frames
//               (the header's count), flags, chunkFlags (+22), then "refused": why, or "found":
//               the frames the walk reaches, and "crc32" (zlib's) of the picture after every
//               frame found, played in order: rows padded to 32 bits, top row first}, and look:
//               {shape, options, nameColor, fillColor, iconId, cursorId, fontSize, style};
//               for graphics "graphic": {frameWidth, frameColor
//               (stored: palette index + 1), pictureFlags, depth, transparency, layout (false
//               when the lengths disagree), dataLength, maskLength, then picture: null when disk
//               based, else {"decoded": true, width, height, depth, packed, crc32 (zlib's, of
//               each row's (width x depth + 7) / 8 bytes top row first as stored: 16-bit pixels
//               high byte first, 32-bit ones unused, R, G, B)} or {"decoded": false, reason};
//               mask: null, or {"decoded": true, width, height, white (pixels set)} or
//               {"decoded": false, reason}; file: null unless disk based, then the path, or
//               {"refused": reason} when it does not end inside the data}; for texts
//               options (1 scroll bar, 2 read only, 8 frame, 128 not scrollable), backColor
//               (stored: palette index + 1, 0 for none) and entries:
//               per text entry {card, flags, text, runs: [start, font number, face bits, size,
//               red, green, blue] each}, and when disk based path (the file the first entry
//               names, or null) and diskStyle [font number, face bits, size, red, green, blue]
//   "resources" per entry in file order: offset, type (four characters), id, name, attributes,
//               deleted, length (data bytes after conversion; as stored when deleted), raw
//               (the data did not convert and is kept as stored); a live 'FntL' entry also
//               fonts: per table entry up to the ending one [number, face, Mac face flag];
//               a live 'Actn' entry timer: [mode, value] as for buttons, null when too short
//   "dropped"   per record left out: offset, what, reason
//   "question"  null, or {"alert": 2334, "text"} when the card size is below the minimum and the
//               plug-in asks whether to convert it (the stack is described as if it did)
// Texts are the bytes as held in memory (Windows-1252 once converted), written as UTF-8 with
// JSON escapes for control characters; field text entries, which memory keeps as stored, are
// given as the field shows them (converted when "textMacRoman").
#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>

#include "core/memory/ByteReader.h"
#include "core/memory/Crc32.h"
#include "core/text/MacText.h"
#include "graphics/masks/PackedMask.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "stack/cards/FontTableEntries.h"
#include "format/ResFile.h"
#include "stack/cards/StackDescribe.h"
#include "stack/pictures/CardPictureRows.h"
#include "stack/pictures/FrameAnimFrames.h"
#include "stack/pictures/GraphicPicture.h"

namespace {

// Windows-1252 code points of bytes 0x80-0x9F (0 where the code page has none).
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0, 0x017D, 0, 0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178,
};

class Json {
public:
    std::string text;

    void Raw(const char* s) { text += s; }
    void Key(const char* key) {
        Comma();
        String(reinterpret_cast<const uint8_t*>(key), std::char_traits<char>::length(key));
        text += ':';
        pendingComma_ = false;
    }
    void Number(int64_t v) {
        Comma();
        text += std::to_string(v);
    }
    void Bool(bool v) {
        Comma();
        text += v ? "true" : "false";
    }
    void Null() {
        Comma();
        text += "null";
    }
    void Str(std::string_view s) { Bytes(reinterpret_cast<const uint8_t*>(s.data()), s.size()); }
    void Bytes(const uint8_t* s, size_t n) {
        Comma();
        String(s, n);
    }
    void Open(char c) {
        Comma();
        text += c;
        pendingComma_ = false;
    }
    void Close(char c) {
        text += c;
        pendingComma_ = true;
    }
    // A key followed by a value: the value's Comma() must not add one.
    void Field(const char* key, int64_t v) {
        Key(key);
        Number(v);
    }
    // Word fields of a record, each by its key and offset.
    struct Word {
        const char* key;
        uint32_t at;
    };
    void Words(std::span<const uint8_t> record, std::initializer_list<Word> words) {
        for (const Word& w : words)
            Field(w.key, GetU16(record, w.at));
    }

private:
    void Comma() {
        if (pendingComma_)
            text += ',';
        pendingComma_ = true;
    }
    void Utf8(uint32_t cp) {
        if (cp < 0x80) {
            text += static_cast<char>(cp);
        } else if (cp < 0x800) {
            text += static_cast<char>(0xC0 | cp >> 6);
            text += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | cp >> 12);
            text += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            text += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    void String(const uint8_t* s, size_t n) {
        text += '"';
        for (size_t i = 0; i < n; ++i) {
            uint8_t c = s[i];
            if (c == '"' || c == '\\') {
                text += '\\';
                text += static_cast<char>(c);
            } else if (c == '\n') {
                text += "\\n";
            } else if (c == '\r') {
                text += "\\r";
            } else if (c == '\t') {
                text += "\\t";
            } else if (c < 0x20 || c == 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                text += buf;
            } else if (c >= 0x80 && c < 0xA0) {
                uint16_t cp = kCp1252High[c - 0x80];
                Utf8(cp ? cp : c);
            } else {
                Utf8(c);
            }
        }
        text += '"';
    }

    bool pendingComma_ = false;
};

void PString(Json& j, const char* key, std::span<const uint8_t> field) {
    j.Key(key);
    if (field.empty()) {
        j.Str("");
        return;
    }
    size_t n = std::min<size_t>(field[0], field.size() - 1);
    j.Bytes(field.data() + 1, n);
}

void DescribeHeader(Json& j, std::span<const uint8_t> h) {
    struct Word {
        const char* name;
        uint32_t offset;
    };
    static constexpr Word kWords[] = {
        {"autoSave", kHeaderAutoSave}, {"experiencedUser", kHeaderExperiencedUser},
        {"cardCount", kHeaderCardCount}, {"word6", kHeaderWord6}, {"version", kHeaderVersion},
        {"nextCardId", kHeaderNextCardId}, {"nextObjectId", kHeaderNextObjectId},
        {"flags", kHeaderFlags}, {"depth", kHeaderDepth}, {"word18", kHeaderWord18},
        {"timersAndLinks", kHeaderTimersAndLinks}, {"word22", kHeaderWord22},
        {"locked", kHeaderLocked}, {"cardNumberInTitle", kHeaderCardNumberInTitle},
    };
    static constexpr Word kWords2[] = {
        {"presentationMode", kHeaderPresentationMode}, {"presentation50", kHeaderPresentation50},
        {"word52", kHeaderWord52}, {"presentation54", kHeaderPresentation54},
        {"cardWidth", kHeaderCardWidth}, {"cardHeight", kHeaderCardHeight},
    };
    static constexpr Word kLongs[] = {
        {"resourceOffset", kHeaderResourceOffset}, {"resourceCount", kHeaderResourceCount},
        {"nextResourceId", kHeaderNextResourceId},
    };
    static constexpr Word kWords3[] = {
        {"stackActionA", kHeaderStackActionA}, {"closingAction", kHeaderClosingAction},
        {"cursorId", kHeaderCursorId}, {"stackActionB", kHeaderStackActionB},
    };
    j.Open('{');
    for (const Word& w : kWords)
        j.Field(w.name, GetU16(h, w.offset));
    j.Key("password");
    size_t n = 0;
    while (n < 16 && h[kHeaderPassword + n] != 0)
        ++n;
    j.Bytes(h.data() + kHeaderPassword, n);
    for (const Word& w : kWords2)
        j.Field(w.name, GetU16(h, w.offset));
    for (const Word& w : kLongs)
        j.Field(w.name, GetU32(h, w.offset));
    for (const Word& w : kWords3)
        j.Field(w.name, GetU16(h, w.offset));
    j.Close('}');
}

// Each text entry: its card, its text and its runs (start, font number, face bits, size, colour).
void DescribeTextEntries(Json& j, std::span<const uint8_t> o, bool macRoman) {
    j.Key("entries");
    j.Open('[');
    for (const FieldTextEntry& e : ListFieldTextEntries(o)) {
        j.Open('{');
        j.Field("card", e.cardId);
        j.Field("flags", e.flags);
        j.Key("text");
        // Entries stay as stored in memory; the field shows them converted.
        const std::span<const uint8_t> stored = FieldEntryText(o, e);
        std::string text(stored.begin(), stored.end());
        if (macRoman && !(GetU16(o, kObjectFlags) & kObjectHasPath))  // a path is converted on reading
            MacToAnsi(text.data(), text.size());
        j.Str(text);
        j.Key("runs");
        j.Open('[');
        for (const StyleRun& run : ReadStyleScrap(FieldEntryScrap(o, e), e.textLength)) {
            j.Open('[');
            for (int64_t v : {int64_t{run.start}, int64_t{run.fontNumber}, int64_t{run.face}, int64_t{run.size},
                              int64_t{run.red >> 8}, int64_t{run.green >> 8}, int64_t{run.blue >> 8}})
                j.Number(v);
            j.Close(']');
        }
        j.Close(']');
        j.Close('}');
    }
    j.Close(']');
    // A disk-based text: the file its first entry names, and the one style of its 12-byte block.
    if (!(GetU16(o, kObjectFlags) & kObjectHasPath))
        return;
    const std::vector<FieldTextEntry> entries = ListFieldTextEntries(o);
    j.Key("path");
    if (entries.empty()) {
        j.Null();
    } else {
        const std::span<const uint8_t> path = FieldEntryText(o, entries[0]);
        j.Bytes(path.data(), static_cast<size_t>(std::find(path.begin(), path.end(), 0) - path.begin()));
    }
    const StyleRun style = ReadDiskStyle(o);
    j.Key("diskStyle");
    j.Open('[');
    for (int64_t v : {int64_t{style.fontNumber}, int64_t{style.face}, int64_t{style.size}, int64_t{style.red >> 8},
                      int64_t{style.green >> 8}, int64_t{style.blue >> 8}})
        j.Number(v);
    j.Close(']');
}

void DescribeGraphicPicture(Json& j, std::span<const uint8_t> o) {
    j.Key("picture");
    if (GetU16(o, kObjectFlags) & kObjectHasPath) {
        j.Null();
        return;
    }
    GraphicPictureView view;
    const GraphicPictureRefusal refusal = ReadGraphicPicture(o, view);
    DibHandle dib = refusal == GraphicPictureRefusal::None ? GraphicPictureToDib(view) : 0;
    j.Open('{');
    j.Key("decoded");
    j.Bool(dib != 0);
    if (LockedDib locked(dib); locked) {
        j.Field("width", view.width);
        j.Field("height", view.height);
        j.Field("depth", view.depth);
        j.Key("packed");
        j.Bool(view.packedRows);
        const size_t pixelBytes = (static_cast<size_t>(view.width) * static_cast<size_t>(view.depth) + 7) / 8;
        uint32_t crc = 0;
        for (int y = 0; y < view.height; ++y)
            crc = Crc32(locked.row(y).first(pixelBytes), crc);
        j.Field("crc32", crc);
    } else {
        j.Key("reason");
        j.Str(refusal != GraphicPictureRefusal::None ? GraphicPictureRefusalText(refusal) : "rows damaged");
    }
    DisposeHandleAndClear(&dib);
    j.Close('}');
}

void DescribeGraphic(Json& j, std::span<const uint8_t> o) {
    j.Key("graphic");
    j.Open('{');
    j.Words(o, {{"frameWidth", kGraphicFrameWidth}, {"frameColor", kGraphicColor},
                {"pictureFlags", kGraphicPictureFlags}, {"depth", kGraphicPictureDepth},
                {"transparency", kGraphicTransparency}});
    GraphicRecordLayout layout;
    const bool laidOut = ReadGraphicRecordLayout(o, layout);
    j.Key("layout");
    j.Bool(laidOut);
    j.Field("dataLength", static_cast<int64_t>(layout.data.size()));
    j.Field("maskLength", static_cast<int64_t>(layout.mask.size()));
    DescribeGraphicPicture(j, o);
    j.Key("mask");
    if (layout.mask.empty()) {
        j.Null();
    } else {
        MaskBits bits;
        uint16_t first = 0, second = 0;
        const PackedMaskRefusal refusal = ReadPackedMaskBits(layout.mask, &bits, &first, &second);
        j.Open('{');
        j.Key("decoded");
        j.Bool(refusal == PackedMaskRefusal::None);
        if (refusal == PackedMaskRefusal::None) {
            j.Field("width", bits.width());
            j.Field("height", bits.height());
            j.Field("white", bits.CountSet());
        } else {
            j.Key("reason");
            j.Str(PackedMaskRefusalText(refusal));
        }
        j.Close('}');
    }
    j.Key("file");
    if (!(GetU16(o, kObjectFlags) & kObjectHasPath)) {
        j.Null();
    } else if (!layout.fileReference.empty()) {
        j.Str(layout.fileReference);
    } else {
        j.Open('{');
        j.Key("refused");
        j.Str(laidOut ? "no NUL inside the data" : "lengths disagree");
        j.Close('}');
    }
    j.Close('}');
}

// The frames are played as the queue plays them, over one picture.
void DescribeFrameAnimation(Json& j, std::span<const uint8_t> button) {
    j.Key("frameAnimation");
    ButtonChunkWalk walk(button);
    ObjectPlace chunk;
    std::span<const uint8_t> payload;
    while (walk.Next(chunk)) {
        if (chunk.kind != kTagAnimation)
            continue;
        const uint32_t pad = (chunk.flags & kObjectPadded) ? 1 : 0;
        if (chunk.length >= kChunkHeaderBytes + pad)
            payload = button.subspan(chunk.offset + kChunkHeaderBytes, chunk.length - kChunkHeaderBytes - pad);
        break;
    }
    if (payload.size() < kFrameAnimHeaderBytes || GetBE32(payload, 0) == kSprt) {
        j.Null();
        return;
    }
    j.Open('{');
    FrameAnimHeader header;
    const FrameAnimRefusal refusal = CheckFrameAnim(payload, &header);
    j.Words(payload, {{"width", kFrameAnimWidth}, {"height", kFrameAnimHeight}, {"depth", kFrameAnimDepth},
                      {"delay", kFrameAnimDelay}, {"cycles", kFrameAnimCycles}});
    j.Field("frames", GetI16(payload, kFrameAnimCount));
    j.Field("flags", GetU16(payload, kFrameAnimFlags));
    if (refusal != FrameAnimRefusal::None) {
        j.Key("refused");
        j.Str(FrameAnimRefusalText(refusal));
    } else {
        std::vector<uint8_t> picture(size_t{header.pictureRowBytes} * header.height);
        int found = 0;
        while (found < header.frameCount && DecodeAnimFrame(payload, found + 1, header, picture))
            ++found;
        j.Field("found", found);
        j.Field("crc32", Crc32(picture));
    }
    j.Close('}');
}

// An action record's timer: [mode, value] as stored (+26, +24).
void DescribeTimer(Json& j, std::span<const uint8_t> record) {
    j.Key("timer");
    if (record.size() < kButtonTimerMode + 2) {
        j.Null();
        return;
    }
    j.Open('[');
    j.Number(GetU16(record, kButtonTimerMode));
    j.Number(GetU16(record, kButtonTimerValue));
    j.Close(']');
}

void DescribeObject(Json& j, std::span<const uint8_t> o, bool macRoman) {
    const uint16_t kind = GetU16(o, kObjectKind);
    j.Open('{');
    j.Field("kind", kind);
    j.Field("id", GetU16(o, kObjectId));
    j.Key("rect");
    j.Open('[');
    for (uint32_t i = 0; i < 4; ++i)
        j.Number(GetI16(o, kObjectRect + 2 * i));
    j.Close(']');
    j.Field("flags", GetU16(o, kObjectFlags));
    j.Field("length", GetU32(o, kObjectLength));
    switch (kind) {
    case kObjectGraphic: PString(j, "name", o.subspan(kGraphicName, kGraphicNameBytes)); break;
    case kObjectButton: PString(j, "name", o.subspan(kButtonName, kButtonNameBytes)); break;
    case kObjectText: PString(j, "name", o.subspan(kTextName, kTextNameBytes)); break;
    default: j.Key("name"); j.Str(""); break;
    }
    if (kind == kObjectButton) {
        DescribeTimer(j, o);
        j.Key("chunks");
        j.Open('[');
        ButtonChunkWalk walk(o);
        ObjectPlace chunk;
        while (walk.Next(chunk))
            j.Number(chunk.kind);
        j.Close(']');
        DescribeFrameAnimation(j, o);
        j.Key("look");
        j.Open('{');
        for (const auto& [key, offset] : {std::pair<const char*, uint32_t>{"shape", kButtonShape}, {"options", kButtonOptions},
                                          {"nameColor", kButtonNameColor}, {"fillColor", kButtonFillColor},
                                          {"iconId", kButtonIconId}, {"cursorId", kButtonCursorId},
                                          {"fontSize", kButtonFontSize}, {"style", kButtonStyle}})
            j.Field(key, GetU16(o, offset));
        j.Close('}');
    }
    if (kind == kObjectText) {
        j.Field("options", GetU16(o, kTextOptions));
        j.Field("backColor", GetU16(o, kTextColor));
        DescribeTextEntries(j, o, macRoman);
    }
    if (kind == kObjectGraphic)
        DescribeGraphic(j, o);
    j.Close('}');
}

// A picture that does not decode is reported, never a reason to stop describing the stack.
void DescribePictureImage(Json& j, std::span<const uint8_t> card) {
    CardPictureRows picture;
    const char* reason = nullptr;
    const CardPictureResult result = DecodeCardPictureRows(card, picture, &reason);
    j.Key("image");
    j.Open('{');
    if (result == CardPictureResult::Jpeg) {
        j.Key("format");
        j.Str("jpeg");
    } else {
        j.Key("decoded");
        j.Bool(result == CardPictureResult::Decoded);
    }
    if (result == CardPictureResult::Decoded || result == CardPictureResult::Jpeg) {
        j.Field("width", picture.width);
        j.Field("height", picture.height);
        j.Field("depth", picture.depth);
    }
    if (result == CardPictureResult::Decoded) {
        j.Field("crc32", Crc32(picture.rows));
    } else if (result == CardPictureResult::Jpeg) {
        j.Field("length", picture.dataLength);
    } else {
        j.Key("reason");
        j.Str(reason ? reason : "");
    }
    j.Close('}');
}

void DescribePicture(Json& j, std::span<const uint8_t> card) {
    j.Key("picture");
    if (GetU16(card, kCardKind) != kCardKindPicture) {
        j.Null();
        return;
    }
    std::span<const uint8_t> block = card.subspan(kPictureBlockOffset);
    const uint16_t format = GetU16(block, kBlockFormat);
    const uint32_t length = GetU32(block, kBlockLength);
    const uint32_t table = GetU32(block, kBlockTableSize);
    const bool padded = (GetU16(block, kBlockFlags) & kPicturePadFlag) != 0;
    const uint32_t data = length - kPictureBlockHeaderBytes - table - (padded ? 1 : 0);
    j.Open('{');
    j.Field("format", format);
    j.Field("blockLength", length);
    j.Field("colorTableSize", table);
    j.Field("colors", MacColorTableCount(block.subspan(kPictureBlockHeaderBytes, table)));
    j.Key("padded");
    j.Bool(padded);
    j.Field("dataLength", data);
    if (format == kPictureFormatPacked) {
        std::span<const uint8_t> run = block.subspan(kPictureBlockHeaderBytes + table);
        j.Field("leadCount", GetU32(run, kRunLeadCount));
        j.Field("trailCount", GetU32(run, kRunTrailCount));
        j.Key("stream");
        if (data == kRunHeaderBytes)
            j.Str("none");
        else
            j.Str(run[kRunHeaderBytes] == 1 ? "stored" : "compressed");
    }
    DescribePictureImage(j, card);
    j.Close('}');
}

void DescribeCard(Json& j, size_t index, uint32_t offset, uint32_t fileLength, std::span<const uint8_t> c,
                  bool macRoman) {
    j.Open('{');
    j.Field("index", static_cast<int64_t>(index));
    j.Field("offset", offset);
    j.Field("length", fileLength);
    j.Words(c, {{"id", kCardId}, {"kind", kCardKind}});
    PString(j, "name", c.subspan(kCardName, kCardNameBytes));
    j.Words(c, {{"background", kCardBackgroundId}, {"flags", kCardFlags}, {"menuBar", kCardMenuBar},
                {"depth", kCardDepth}, {"width", kCardWidth}, {"height", kCardHeight}});
    j.Key("actions");
    j.Open('[');
    j.Number(GetU16(c, kCardAction1));
    j.Number(GetU16(c, kCardAction2));
    j.Number(GetU16(c, kCardAction3));
    j.Close(']');
    j.Field("cursor", GetU16(c, kCardCursor));
    DescribePicture(j, c);
    j.Key("objects");
    j.Open('[');
    CardObjectWalk walk(c);
    ObjectPlace place;
    while (walk.Next(place))
        DescribeObject(j, c.subspan(place.offset, place.length), macRoman);
    j.Close(']');
    j.Close('}');
}

void DescribeResource(Json& j, const ResEntry& e) {
    j.Open('{');
    j.Field("offset", e.filePosition);
    j.Key("type");
    const uint8_t type[4] = {static_cast<uint8_t>(e.type >> 24), static_cast<uint8_t>(e.type >> 16),
                             static_cast<uint8_t>(e.type >> 8), static_cast<uint8_t>(e.type)};
    j.Bytes(type, 4);
    j.Field("id", e.id);
    PString(j, "name", e.name);
    j.Field("attributes", e.attributes);
    j.Key("deleted");
    j.Bool((e.attributes & kResDeleted) != 0);
    j.Field("length", e.dataLength);
    j.Key("raw");
    j.Bool(e.raw != 0);
    if (e.type == kActn && !(e.attributes & kResDeleted) && e.data) {
        HandleLock lock(e.data);
        DescribeTimer(j, lock.bytes());
    }
    if (e.type == kFntL && !(e.attributes & kResDeleted) && e.data) {
        HandleLock lock(e.data);
        j.Key("fonts");
        j.Open('[');
        for (const FontEntry& font : ReadFontTable(lock.bytes())) {
            j.Open('[');
            j.Number(font.number);
            j.Str(font.face);
            j.Number(font.macFace ? 1 : 0);
            j.Close(']');
        }
        j.Close(']');
    }
    j.Close('}');
}

}  // namespace

std::string DescribeStackJson(std::span<const uint8_t> file, const StackReadResult& result,
                              const StackFileContents& contents, const StackConversion& cv) {
    Json j;
    j.Open('{');
    j.Field("size", static_cast<int64_t>(file.size()));
    j.Key("refusal");
    if (result.ok()) {
        j.Null();
    } else {
        j.Open('{');
        j.Field("alert", result.alertId);
        const char* text = StackAlertText(result.alertId);
        std::string_view full = text ? text : "";
        j.Key("text");
        j.Str(full);
        std::string_view message = full.size() >= 2 ? full.substr(2) : full;
        message = message.substr(0, message.find('~'));
        j.Key("message");
        j.Str(message);
        j.Key("reason");
        j.Str(result.reason);
        j.Close('}');
    }

    // The header as the reader converts it, also when the stack is refused.
    j.Key("header");
    if (file.size() >= kStackHeaderBytes) {
        std::vector<uint8_t> header(file.begin(), file.begin() + kStackHeaderBytes);
        StackConversion scratch = cv;
        SwapStackHeader(header, ByteOrder::ToHost, scratch);
        DescribeHeader(j, header);
    } else {
        j.Null();
    }
    j.Field("resourceIdCounter", file.size() >= 70 ? GetBE16(file, kHeaderNextResourceId) : 0);
    j.Key("textMacRoman");
    j.Bool(result.ok() && StackTextIsMacRoman(cv));

    j.Key("cards");
    j.Open('[');
    for (size_t i = 0; i < contents.cards.size(); ++i) {
        HandleLock lock(contents.cards[i]);
        std::span<const uint8_t> card = lock.bytes();
        const uint32_t offset = contents.cardOffsets[i];
        DescribeCard(j, i + 1, offset, contents.cardLengths[i], card, result.ok() && StackTextIsMacRoman(cv));
    }
    j.Close(']');

    j.Key("resources");
    j.Open('[');
    for (const ResEntry& e : CopyResEntries(contents.resFile))
        DescribeResource(j, e);
    j.Close(']');

    j.Key("dropped");
    j.Open('[');
    for (const StackDrop& d : contents.drops) {
        j.Open('{');
        j.Field("offset", d.offset);
        j.Key("what");
        j.Str(d.what);
        j.Key("reason");
        j.Str(d.reason);
        j.Close('}');
    }
    j.Close(']');

    j.Key("question");
    if (result.askedSmallCards) {
        j.Open('{');
        j.Field("alert", kAlertSmallCards);
        j.Key("text");
        j.Str(StackAlertText(kAlertSmallCards));
        j.Close('}');
    } else {
        j.Null();
    }
    j.Close('}');
    j.text += '\n';
    return j.text;
}

std::string DescribeStackJson(std::span<const uint8_t> file, const StackConversion& settings) {
    StackConversion cv = settings;
    SpanByteSource source(file);
    StackFileContents contents;
    const StackReadResult result = ReadStackFile(source, cv, contents);
    std::string json = DescribeStackJson(file, result, contents, cv);
    DisposeStackFileContents(contents);
    return json;
}
