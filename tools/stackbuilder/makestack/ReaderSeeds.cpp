// Reader seeds: written from the formats by the builder and the plug-in's own writers, each
// kind with a few damaged copies where a length or count is what the reader must check.
#include "ReaderSeeds.h"

#include <cstring>
#include <tuple>

#include "BuilderMedia.h"
#include "LayerSeeds.h"
#include "StackBuilder.h"
#include "actions/NbaInfo.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "cardview/transitions/QtEffectRecord.h"
#include "media/support/Metafile.h"
#include "media/videodisc/VideodiscRecord.h"
#include "quicktime/QtAtoms.h"
#include "quicktime/QtTypes.h"
#include "format/ByteSource.h"
#include "format/StackFile.h"
#include "format/StackReader.h"

namespace {

using Bytes = std::vector<uint8_t>;

void PutLe32(Bytes* b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        (*b)[at + i] = uint8_t(v >> (8 * i));
}

// An AVI of two 8 x 8 frames with a sound stream of every PCM depth and channel count, the
// frames stored and run-length coded, a compressed sound, and copies cut short or with a chunk
// claiming more than the file holds.
Seeds AviSeeds() {
    const stackbuilder::AviColour frames[] = {{255, 0, 0}, {0, 0, 255}};
    Seeds seeds;
    for (uint16_t bits : {0, 1, 4, 7, 8, 12, 16, 24, 32})
        for (uint16_t channels : {1, 2}) {
            stackbuilder::AviSound sound{1, channels, bits, 8000, Bytes(48)};
            for (size_t i = 0; i < sound.samples.size(); ++i)
                sound.samples[i] = uint8_t(i * 37);
            seeds.push_back({"pcm" + std::to_string(bits) + "x" + std::to_string(channels) + ".avi",
                             stackbuilder::AviFile(8, 8, 10, frames, bits % 2 == 0, &sound)});
        }
    stackbuilder::AviSound adpcm{2, 1, 4, 8000, Bytes(32, 0x11)};
    seeds.push_back({"adpcm.avi", stackbuilder::AviFile(8, 8, 10, frames, true, &adpcm)});
    seeds.push_back({"silent.avi", stackbuilder::AviFile(8, 8, 10, frames, false)});
    const Bytes whole = seeds.front().second;
    seeds.push_back({"cut.avi", Bytes(whole.begin(), whole.begin() + long(whole.size() / 2))});
    Bytes longer = whole;
    PutLe32(&longer, 4, 0xFFFFFFF0u);  // the RIFF passes the file
    seeds.push_back({"riff-long.avi", longer});
    Bytes strf = whole;
    for (size_t i = 0; i + 8 <= strf.size(); ++i)
        if (std::memcmp(strf.data() + i, "strf", 4) == 0)
            PutLe32(&strf, i + 4, 0x7FFFFFFFu);  // each format claims the rest of the file
    seeds.push_back({"strf-long.avi", strf});
    return seeds;
}

// An AVI frame as the stand-in reads it: a 16-bit little-endian length, the stream's format of
// that length (a BITMAPINFOHEADER, with the masks and colours it carries), then the frame's
// bytes: stored rows, or a packed DIB a codec made. Every depth stored; a header claiming a
// palette its format does not carry; a colour count past the depth's; sizes that would wrap;
// rows cut short; a codec's 32-bit frame of a run-length coded stream.
Bytes AviFrameInput(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t claimed,
                    size_t carried, size_t rowBytes) {
    Bytes format(40 + (compression == 3 ? 12 : 0) + carried * 4);
    PutLe32(&format, 0, 40);
    PutLe32(&format, 4, uint32_t(width));
    PutLe32(&format, 8, uint32_t(height));
    format[12] = 1;
    format[14] = uint8_t(bits);
    PutLe32(&format, 16, compression);
    PutLe32(&format, 32, claimed);
    if (compression == 3) {
        PutLe32(&format, 40, bits == 16 ? 0xF800 : 0xFF0000);
        PutLe32(&format, 44, bits == 16 ? 0x07E0 : 0xFF00);
        PutLe32(&format, 48, bits == 16 ? 0x001F : 0xFF);
    }
    for (size_t i = 40 + (compression == 3 ? 12 : 0); i < format.size(); ++i)
        format[i] = uint8_t(i * 29);
    Bytes input = {uint8_t(format.size()), uint8_t(format.size() >> 8)};
    input.insert(input.end(), format.begin(), format.end());
    for (size_t i = 0; i < rowBytes; ++i)
        input.push_back(uint8_t(i * 13 + 5));
    return input;
}

Seeds AviFrameSeeds() {
    const auto rows = [](int32_t width, int32_t height, int bits) {
        return size_t((width * bits + 31) / 32 * 4) * size_t(height < 0 ? -height : height);
    };
    Seeds seeds;
    for (uint16_t bits : {1, 4, 8, 16, 24, 32})
        seeds.push_back({"stored" + std::to_string(bits),
                         AviFrameInput(6, 5, bits, 0, 0, bits <= 8 ? size_t(1) << bits : 0, rows(6, 5, bits))});
    seeds.push_back({"topdown8", AviFrameInput(7, -3, 8, 0, 4, 4, rows(7, 3, 8))});
    seeds.push_back({"fields565", AviFrameInput(4, 4, 16, 3, 0, 0, rows(4, 4, 16))});
    seeds.push_back({"fields32", AviFrameInput(4, 4, 32, 3, 0, 0, rows(4, 4, 32))});
    seeds.push_back({"palette-claimed-not-carried", AviFrameInput(8, 8, 8, 0, 256, 0, rows(8, 8, 8))});
    seeds.push_back({"palette-half-carried", AviFrameInput(8, 8, 8, 0, 200, 100, rows(8, 8, 8))});
    seeds.push_back({"colours-past-depth", AviFrameInput(8, 2, 4, 0, 0x40000000, 16, rows(8, 2, 4))});
    seeds.push_back({"wide-wrap", AviFrameInput(0x7FFFFFFF, 2, 32, 0, 0, 0, 64)});
    seeds.push_back({"tall-wrap", AviFrameInput(16, int32_t(0x80000000), 8, 0, 0, 256, 64)});
    seeds.push_back({"rows-short", AviFrameInput(8, 8, 24, 0, 0, 0, rows(8, 8, 24) - 3)});
    // Frames a server could send whole, which the fuzzer makes by repeating these few rows (the
    // length's top bit asks for it): past the 16 M pixels a frame may hold (a 1-bit 16384 by
    // 16384 frame is 32 MiB), and just within.
    for (auto [name, input] : {std::pair{"huge-1bit", AviFrameInput(16384, 16384, 1, 0, 0, 2, 64)},
                               std::pair{"largest-8bit", AviFrameInput(4096, 4096, 8, 0, 0, 256, 64)}}) {
        input[1] |= 0x80;
        seeds.push_back({name, input});
    }
    // A run-length coded stream's format, then the 32-bit frame a codec made of it.
    Bytes coded = AviFrameInput(5, 4, 8, 1, 2, 2, 0);
    Bytes made = AviFrameInput(5, 4, 32, 0, 0, 0, rows(5, 4, 32));
    coded.insert(coded.end(), made.begin() + 2, made.end());
    seeds.push_back({"coded-made32", coded});
    return seeds;
}

// Videodisc chunks as stored in memory order: the header (rectangle, flags), then the start and
// end commands; at normal and other speeds, with live video, and cut.
Seeds VideodiscSeeds() {
    Seeds seeds;
    const struct {
        const char* name;
        const char* speed;
        char audio;
        uint32_t start, end;
        uint16_t flags;
    } actions[] = {{"forward", "060", '3', 150, 300, 0},
                   {"backward", "030", '1', 900, 120, 1},
                   {"live", "120", '2', 0, 99999, 3}};
    for (const auto& a : actions) {
        Bytes chunk(kChunkHeaderBytes, 0);
        SetU16(chunk, 0, 119);
        for (int i = 0; i < 4; ++i)
            SetU16(chunk, kObjectRect + 2 * i, uint16_t(10 + 40 * i));
        SetU16(chunk, kChunkSoundFlags, a.flags);
        const VideodiscCommandText start = MakeStartCommand(a.speed, a.audio, a.start);
        const VideodiscCommandText end = MakeEndCommand(a.start, a.end, "FR");
        chunk.insert(chunk.end(), start.begin(), start.end());
        chunk.insert(chunk.end(), end.begin(), end.end());
        seeds.push_back({std::string("videodisc-") + a.name, chunk});
    }
    Bytes cut = seeds.front().second;
    cut.resize(kChunkHeaderBytes + 20);
    seeds.push_back({"videodisc-cut", cut});
    Bytes overlong = seeds.front().second;
    overlong[kChunkHeaderBytes] = 0xFF;  // a length byte past the text
    seeds.push_back({"videodisc-length", overlong});
    return seeds;
}

// The library's effect list (a "name" and a "type" atom per effect) and effect descriptions
// ("what" and parameter atoms); one with an atom whose length passes the container.
Seeds EffectListSeeds() {
    Seeds seeds;
    Bytes list;
    uint32_t id = 1;
    for (uint32_t code : kListedQtEffectCodes) {
        const std::string name = "Effect " + std::to_string(id);
        AppendQtAtom(&list, QtAtomType("name"), id, {reinterpret_cast<const uint8_t*>(name.c_str()), name.size() + 1});
        AppendQtAtomU32(&list, QtAtomType("type"), id, code);
        ++id;
    }
    AppendQtAtomU32(&list, QtAtomType("type"), id, QtAtomType("blur"));  // not a listed code
    seeds.push_back({"effect-list", list});
    Bytes description;
    AppendQtAtomU32(&description, QtAtomType("what"), 1, QtAtomType("smpt"));
    AppendQtAtomU32(&description, QtAtomType("wpID"), 1, 101);
    AppendQtAtomU32(&description, QtAtomType("pcnt"), 1, 50);
    seeds.push_back({"effect-description", description});
    Bytes damaged = list;
    damaged[3] = 0xFF;
    seeds.push_back({"effect-list-long", damaged});
    return seeds;
}

Seeds FontTableSeeds() {
    using stackbuilder::FontName;
    Seeds seeds = {{"fonts-three", stackbuilder::FontTable({{1000, "Arial"}, {1001, "Geneva", true}, {1002, "Courier New"}})},
                   {"fonts-one", stackbuilder::FontTable({{1000, "Times New Roman"}})}};
    Bytes cut = seeds.front().second;
    cut.resize(cut.size() / 2 + 1);
    seeds.push_back({"fonts-cut", cut});
    return seeds;
}

// Seed stacks after the card asked for: its id (2 bytes, big-endian), then its place.
Seeds StackCardSeeds() {
    Seeds seeds;
    for (const auto& [name, stack] : stackbuilder::SeedStacks()) {
        const Bytes bytes = stackbuilder::BuildStack(stack).bytes;
        const uint16_t last = stack.cards.empty() ? 0 : stack.cards.back().id;
        for (const Bytes& ask : {Bytes{0, 0, 1}, Bytes{uint8_t(last >> 8), uint8_t(last), 0}}) {
            Bytes input = ask;
            input.insert(input.end(), bytes.begin(), bytes.end());
            seeds.push_back({name + "-card" + std::to_string(ask[2] ? 1 : last), input});
        }
    }
    return seeds;
}

// Stack headers in memory order, as the stack reader leaves them.
Seeds StackHeaderSeeds() {
    Seeds seeds;
    if (!InitMemRefs())
        return seeds;
    for (const auto& [name, stack] : stackbuilder::SeedStacks()) {
        const Bytes bytes = stackbuilder::BuildStack(stack).bytes;
        SpanByteSource source(bytes);
        StackConversion cv;
        StackFileContents contents;
        if (ReadStackFile(source, cv, contents).ok() && contents.header)
            seeds.push_back({name + "-header", HandleToBytes(contents.header)});
        DisposeStackFileContents(contents);
    }
    FreeMemRefs();
    return seeds;
}

// Id changes (a count, then type, from and to of each, big-endian) before a button record: the
// sound, icon, module and transition ids of a button with every chunk kind.
Seeds ObjectIdSeeds() {
    const Bytes record = stackbuilder::ActionRecord(stackbuilder::AllChunksButton(1));
    Bytes changes = {4};
    for (const auto& [type, from, to] : {std::tuple{"Snd ", 128, 300}, {"ICON", 129, 301}, {"NBAs", 130, 302}, {"Tran", 200, 303}}) {
        changes.insert(changes.end(), type, type + 4);
        for (uint16_t v : {uint16_t(from), uint16_t(to)})
            changes.insert(changes.end(), {uint8_t(v >> 8), uint8_t(v)});
    }
    Seeds seeds;
    for (const auto& [name, object] : {std::pair{"all-chunks", stackbuilder::AllChunksButton(1)},
                                       {"icon", stackbuilder::ShapedButton(2, {0, 0, 40, 30}, "Go", kButtonShapePencil, 129, -1)}}) {
        Bytes input = changes;
        const Bytes button = stackbuilder::BuildObjectRecord(object);
        input.insert(input.end(), button.begin(), button.end());
        seeds.push_back({"ids-" + std::string(name), input});
    }
    Bytes actions = changes;
    actions.insert(actions.end(), record.begin(), record.end());
    seeds.push_back({"ids-actions", actions});
    return seeds;
}

// Sound descriptions (the machine's order, as callers pass them) after their length and the
// sample count, then samples.
Seeds StandInSoundSeeds() {
    Seeds seeds;
    const struct {
        const char* format;
        int16_t channels, bits;
        uint32_t rate;
    } kinds[] = {{"raw ", 1, 8, 11025}, {"twos", 2, 16, 22050}, {"sowt", 1, 16, 8000}, {"ulaw", 1, 8, 8000},
                 {"in24", 2, 24, 44100}, {"in32", 1, 32, 48000}, {"raw ", 1, 4, 8000}, {"MAC3", 1, 8, 22050}};
    for (const auto& k : kinds) {
        QtSoundDescription d{};
        d.descSize = sizeof d;
        d.dataFormat = QtFourCC(*reinterpret_cast<const char(*)[5]>(k.format));
        d.numChannels = k.channels;
        d.sampleSize = k.bits;
        d.sampleRate = k.rate << 16;
        Bytes input = {uint8_t(sizeof d), 0, 0x80};  // 8 samples
        const auto* p = reinterpret_cast<const uint8_t*>(&d);
        input.insert(input.end(), p, p + sizeof d);
        for (int i = 0; i < 64; ++i)
            input.push_back(uint8_t(i * 11));
        seeds.push_back({"sound-" + std::string(k.format, 4) + "-" + std::to_string(k.bits), input});
    }
    return seeds;
}

// GIF files: one still picture with a transparent colour, and two frames looping.
Seeds GifSeeds() {
    const Bytes still = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 255, 255, 255,
                         0x21, 0xF9, 4, 1, 0, 0, 0, 0, 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 1, 0, 0x3B};
    Bytes animated(still.begin(), still.begin() + 19);
    const Bytes loop = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0};
    animated.insert(animated.end(), loop.begin(), loop.end());
    for (int frame = 0; frame < 2; ++frame)
        animated.insert(animated.end(), still.begin() + 19, still.end() - 1);
    animated.push_back(0x3B);
    Bytes gif87 = still;
    gif87[4] = '7';
    return {{"still.gif", still}, {"animated.gif", animated}, {"old.gif", gif87}};
}

// Metafiles: placeable with a box and units, a bare Windows metafile, an enhanced one's header.
Seeds MetafileSeeds() {
    Bytes windows = {1, 0, 9, 0, 0, 3};  // memory metafile, 9-word header, version 3
    windows.resize(kWindowsMetaHeaderBytes, 0);
    const Bytes end = {3, 0, 0, 0, 0, 0};  // the end record
    windows.insert(windows.end(), end.begin(), end.end());
    PutLe32(&windows, 6, uint32_t(windows.size() / 2));
    Bytes placeable(kPlaceableHeaderBytes, 0);
    PutLe32(&placeable, 0, kPlaceableMetafileKey);
    SetU16(placeable, 10, 300);  // right
    SetU16(placeable, 12, 200);  // bottom
    SetU16(placeable, 14, 1440);
    placeable.insert(placeable.end(), windows.begin(), windows.end());
    Bytes enhanced(88, 0);
    PutLe32(&enhanced, 0, 1);
    PutLe32(&enhanced, 40, kEnhancedMetafileSignature);
    Bytes cut = placeable;
    cut.resize(kPlaceableHeaderBytes + 10);
    return {{"placeable.wmf", placeable}, {"windows.wmf", windows}, {"enhanced.emf", enhanced}, {"cut.wmf", cut}};
}

// PCX (8-bit run-length coded with its palette, 24-bit in three planes) and TGA files
// (colour-mapped, true colour, run-length coded).
Seeds PcxTgaSeeds() {
    const auto pcx = [](uint8_t planes) {
        Bytes b(128, 0);
        b[0] = 10;
        b[1] = 5;
        b[2] = 1;
        b[3] = 8;
        SetU16(b, 8, 3);  // 4 x 4
        SetU16(b, 10, 3);
        b[65] = planes;
        SetU16(b, 66, 4);
        for (int row = 0; row < 4 * planes; ++row)
            b.insert(b.end(), {0xC4, uint8_t(row * 40)});
        if (planes == 1) {
            b.push_back(12);
            for (int i = 0; i < 768; ++i)
                b.push_back(uint8_t(i / 3));
        }
        return b;
    };
    const auto tga = [](uint8_t type, uint8_t depth) {
        Bytes b(18, 0);
        b[1] = type == 1 ? 1 : 0;
        b[2] = type;
        if (type == 1) {
            SetU16(b, 5, 4);
            b[7] = 24;
        }
        SetU16(b, 12, 4);
        SetU16(b, 14, 3);
        b[16] = depth;
        if (type == 1)
            for (int i = 0; i < 12; ++i)
                b.push_back(uint8_t(i * 20));
        const size_t pixel = depth / 8u;
        if (type == 10) {
            for (int row = 0; row < 3; ++row) {
                b.push_back(0x83);
                for (size_t i = 0; i < pixel; ++i)
                    b.push_back(uint8_t(row * 60 + i));
            }
        } else {
            for (size_t i = 0; i < 12 * pixel; ++i)
                b.push_back(uint8_t(i * 7));
        }
        return b;
    };
    return {{"palette.pcx", pcx(1)}, {"rgb.pcx", pcx(3)}, {"mapped.tga", tga(1, 8)},
            {"rgb24.tga", tga(2, 24)}, {"rgb32.tga", tga(2, 32)}, {"rle24.tga", tga(10, 24)}};
}

Seeds NbaInfoSeeds() {
    NbaModuleFacts facts;
    facts.aboutFlags = 1;
    facts.nbaId = 7;
    facts.shortName = "Clock";
    facts.fileName = "CLOCK.NBA";
    facts.aboutText = "A clock on the card";
    const Bytes record = MakeNbaInfoRecord(facts);
    facts.fileName = "..\\outside.nba";
    Bytes cut = record;
    cut.resize(cut.size() / 2);
    return {{"nba-clock", record}, {"nba-unsafe-name", MakeNbaInfoRecord(facts)}, {"nba-cut", cut}};
}

Seeds QtfxSeeds() {
    Seeds seeds;
    QtEffectRecord record;
    std::strcpy(record.name.data(), "Push");
    record.code = QtAtomType("push");
    Bytes description;
    AppendQtAtomU32(&description, QtAtomType("what"), 1, record.code);
    record.descriptionLength = static_cast<uint32_t>(description.size());
    seeds.push_back({"qtfx-push", PackQtEffectFields(record, description)});
    record.descriptionLength = 0;
    seeds.push_back({"qtfx-bare", PackQtEffectFields(record, {})});
    return seeds;
}

// The sound import fuzzer's forms: a byte naming the reader (0 AIFF, 1 AU, 2 a wave's chunks,
// 3 a stored sound to export), then its bytes.
Seeds SoundImportSeeds() {
    const Bytes s = {0x00, 0x7F, 0x80, 0xFF, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    const auto with = [](uint8_t reader, Bytes bytes) {
        bytes.insert(bytes.begin(), reader);
        return bytes;
    };
    // The wave form: the format chunk's length and bytes, the data chunk's place, the file.
    const Bytes wave = stackbuilder::WaveFile(2, 22050, 16, s);
    Bytes chunks = {16};
    chunks.insert(chunks.end(), wave.begin() + 20, wave.begin() + 36);
    chunks.insert(chunks.end(), {40, 0, 0, 0, 0, 0});
    chunks[17 + 2] = uint8_t(s.size());
    return {{"import-aiff", with(0, stackbuilder::AiffFile(false, "NONE", 1, 8000, 8, s))},
            {"import-aifc", with(0, stackbuilder::AiffFile(true, "sowt", 2, 8000, 16, s))},
            {"import-au", with(1, stackbuilder::AuFile(3, 8000, 1, s))},
            {"import-mulaw", with(1, stackbuilder::AuFile(1, 8000, 1, s))},
            {"import-wave", with(2, chunks)},
            {"export-stored", with(3, stackbuilder::StoredSound(11025, s))}};
}

Seeds StoredSoundSeeds() {
    const Bytes tone = stackbuilder::ToneSamples();
    const Bytes shortTone(tone.begin(), tone.begin() + 200);
    Bytes cut = stackbuilder::StoredSound(22050, shortTone);
    cut.resize(cut.size() - 150);
    return {{"snd-11k", stackbuilder::StoredSound(11025, shortTone)}, {"snd-22k", stackbuilder::StoredSound(22050, shortTone)},
            {"snd-cut", cut}};
}

// The shape fuzzer takes its numbers from the input's end backwards: small rectangles, pens and
// angles, and one of the largest shapes.
Seeds ShapeSeeds() {
    Seeds seeds;
    for (uint8_t k = 0; k < 6; ++k) {
        Bytes b(48);
        for (size_t i = 0; i < b.size(); ++i)
            b[i] = uint8_t((i * (k * 29 + 7)) ^ (k * 50));
        seeds.push_back({"shape-" + std::to_string(k), b});
    }
    return seeds;
}

}  // namespace

std::optional<Seeds> ReaderSeeds(std::string_view kind) {
    static const std::pair<std::string_view, Seeds (*)()> kKinds[] = {
        {"avi", AviSeeds},           {"aviframe", AviFrameSeeds},       {"videodisc", VideodiscSeeds},     {"effectlist", EffectListSeeds},
        {"fonttable", FontTableSeeds}, {"stackcard", StackCardSeeds},     {"stackheader", StackHeaderSeeds},
        {"objectids", ObjectIdSeeds},  {"standinsound", StandInSoundSeeds}, {"gif", GifSeeds},
        {"metafile", MetafileSeeds},   {"pcxtga", PcxTgaSeeds},           {"nbainfo", NbaInfoSeeds},
        {"qtfx", QtfxSeeds},           {"soundimport", SoundImportSeeds}, {"storedsound", StoredSoundSeeds},
        {"shapes", ShapeSeeds}};
    for (const auto& [name, make] : kKinds)
        if (name == kind)
            return make();
    return LayerReaderSeeds(kind);
}
