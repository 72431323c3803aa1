// makestack: writes the demo stack, or seed inputs for the fuzzers.
//   makestack OUT.stk                the demo stack (four cards with pictures, objects, resources,
//                                    a movie) and its movie, demo.avi, beside it
//   makestack --seeds DIR            one file per seed stack, DIR/<name>.stk
//   makestack --seeds-for KIND DIR   seeds for one fuzzer, in its own input form:
//     stack       seed stacks, as --seeds (the stack and resource-area fuzzers)
//     cacheindex  download cache indexes ("LOOMA.LOG"): 0 to 50 records, and a few damaged ones
//     downloadnames  lines: the stack's address, the cache's folder, then addresses and paths, each
//                 after a byte choosing what the cache does with it
//     packbits    picture choice (4 bytes) + PackBits runs over whole images, or LZRW1 row records
//     lzrw        destination size (2 bytes) + LZRW1 streams, compressed and stored, or a packed
//                 picture's middle with its run header
//     dib         packed DIBs at 1, 4, 8, 16, 24 and 32 bits (the imaging library's fuzzer)
//     ppak        "PPak" packed pictures, packing types 4 and 6, at 1, 8, 16 and 32 bits
//     packedmask  packed one-bit masks
//     jpegdesc    JPEG picture data: the 86-byte description, then JPEG bytes
//     graphic     graphic object records in memory order, pictures at 4 to 32 bits, with masks
//     cardpicture card records in memory order with pictures at 1 to 32 bits, both stream forms,
//                 and a few with damaged lengths
//     actionrecord button records in memory order carrying every chunk kind, and 'Crsr' data in
//                 file order, still and animated (one input serves both readings)
//     soundfile   WAV, AIFF, AIFC and AU files of each sample width and encoding
//     midi        standard MIDI files: the two-second piece, format 0, SMPTE time
//     movie       movie files: the two-second piece imported, a sound movie, video movies
//     rawvideo    image descriptions and 'raw ' samples at 1 to 32 bits (the decoders' form:
//                 the description, then each sample after its 32-bit length)
//     rlevideo    the same of 'rle ' samples: key frames and line-range updates
//     music       music track samples: the imported piece's events, then its note requests
//     fieldtext   text object records after their header (card, flags first) and font tables
//     animrecord  stored 'Sprt' records: strip films with masks and paths, a picture per frame,
//                 a movie, no path
//     frameanim   frame animations in file order, 4 and 8 bits, both pair forms, one with markers
//     iconfile    icon, cursor and animated cursor files, each after a byte naming its
//                 extension (0 ico, 1 cur, 2 ani)
//     bmp         the dib seeds as BMP files
//     and the kinds of ReaderSeeds.h: avi, aviframe, videodisc, effectlist, fonttable, stackcard,
//     stackheader, objectids, standinsound, gif, metafile, pcxtga, nbainfo, qtfx, soundimport,
//     storedsound, shapes
// Seeds are written from the formats as documented, with the codecs' own packers only where a
// stream needs compressing.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "BuilderMedia.h"
#include "ReaderSeeds.h"
#include "StackBuilder.h"
#include "core/files/JpegDescription.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/ui/CursorImages.h"
#include "graphics/dib/Dib.h"
#include "graphics/masks/MaskBits.h"
#include "graphics/masks/PackedMask.h"
#include "graphics/pixels/Lzrw.h"
#include "graphics/pixels/PackBits.h"
#include "graphics/pixels/PackedPictureHeader.h"
#include "host/downloads/DownloadCache.h"
#include "quicktime/formats/MusicTrack.h"
#include "quicktime/formats/SoundTrack.h"
#include "stack/cards/CardList.h"
#include "format/StackFile.h"
#include "format/StackReader.h"

namespace {

// --- cache index: written by the plug-in's own serializer ---

// A text field of an entry, cut to the field (without a NUL when it fills it).
void SetField(char (&field)[kCachePathSize], const std::string& text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), std::min(text.size(), sizeof field));
}

DownloadCacheEntry Downloaded(int i, bool complete) {
    static const char* kExtensions[] = {"stk", "bmp", "wav", "txt", "tmp"};
    DownloadCacheEntry e{};
    const std::string ext = kExtensions[i % 5];
    SetField(e.url, "http://example.net/stacks/file" + std::to_string(i) + "." + ext);
    SetField(e.localPath, "C:\\WINDOWS\\TEMP\\stk" + std::to_string(1000 + i) + "." + ext);
    e.lastModified = 0x5F000000 + static_cast<uint32_t>(i) * 3600;
    e.useSequence = static_cast<uint16_t>(i % 7);
    e.expectedSize = 1000u * static_cast<uint32_t>(i + 1);
    e.receivedSize = complete ? e.expectedSize : e.expectedSize / 2;
    e.complete = complete;
    e.verifiedThisRun = complete && i % 2;
    return e;
}

std::vector<uint8_t> Index(const std::vector<DownloadCacheEntry>& entries) {
    DownloadCache cache;
    cache.count = static_cast<int16_t>(entries.size());
    std::copy(entries.begin(), entries.end(), cache.entries);
    return SerializeCacheIndex(cache);
}

std::vector<DownloadCacheEntry> Downloads(int count) {
    std::vector<DownloadCacheEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back(Downloaded(i, i % 3 != 2));
    return entries;
}

// A well-formed index whose count word is then made to disagree with its records.
std::vector<uint8_t> WithCount(std::vector<uint8_t> index, int16_t count) {
    index[0] = static_cast<uint8_t>(count);
    index[1] = static_cast<uint8_t>(static_cast<uint16_t>(count) >> 8);
    return index;
}

Seeds CacheIndexSeeds() {
    Seeds seeds;
    for (int count : {0, 1, 2, 5, 17, 50})
        seeds.push_back({"index-" + std::to_string(count), Index(Downloads(count))});
    DownloadCacheEntry odd = Downloaded(3, true);
    SetField(odd.url, std::string(259, 'u'));        // fills its field but for the NUL
    SetField(odd.localPath, std::string(260, 'p'));  // no NUL at all
    odd.receivedSize = odd.expectedSize + 5;         // more than announced
    odd.complete = 7;
    seeds.push_back({"index-odd-fields", Index({odd, Downloaded(4, false)})});
    std::vector<uint8_t> cut = Index(Downloads(3));
    cut.resize(cut.size() - 100);
    seeds.push_back({"index-cut-short", cut});
    seeds.push_back({"index-count-51", WithCount(Index(Downloads(1)), 51)});
    seeds.push_back({"index-count-negative", WithCount(Index(Downloads(1)), -1)});
    return seeds;
}

// --- download addresses and cache names: site, folder, then an operation byte and a text per line ---

std::vector<uint8_t> Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    return {text.begin(), text.end()};
}

Seeds DownloadNameSeeds() {
    const std::string site = "http://example.net/stacks/home.stk";
    const std::string folder = "C:\\WINDOWS\\TEMP\\Pageloom Cache\\";
    // Operation bytes: '0' add, '1' lookup, '2' received and bound, '3' arrived, '4' evict, '5'
    // forget, '6' enqueue, '7' advance (by the byte modulo 9).
    const auto op = [](int n, const std::string& text) { return std::string(1, static_cast<char>('0' + n)) + text; };
    Seeds seeds;
    seeds.push_back({"names-plain", Lines({site, folder, op(0, "http://example.net/stacks/chime.wav"),
                                           op(2, "http://example.net/stacks/chime.wav"), op(3, "chime.wav"),
                                           op(1, "http://example.net/stacks/chime.wav")})});
    seeds.push_back({"names-escapes", Lines({site, folder, op(0, "http://example.net/a/My%20Demo.stk?x=1#y"),
                                             op(0, "http://example.net/a/%2e%2e%5c%5Cwin.ini"),
                                             op(8, "..\\..\\boot.ini"), op(8, "Macintosh HD:Sounds:chime.wav"),
                                             op(8, "C:%5Cwindows%5Cwin.ini"), op(1, "%zz%4")})});
    seeds.push_back({"names-sites", Lines({site, folder, op(0, "https://other.example:8080/x/stk1234.wav"),
                                           op(0, "HTTP://EXAMPLE.NET/stacks/b.bmp"), op(6, "http://example.net/q.wav"),
                                           op(6, "http://example.net/q.wav"), op(7, ""), op(5, folder + "stk1234.wav")})});
    std::vector<std::string> full = {site, folder};
    for (int i = 0; i < 60; ++i)
        full.push_back(op(i % 4 == 3 ? 3 : i % 3 == 0 ? 0 : 2, "http://example.net/stacks/f" + std::to_string(i) + ".wav"));
    full.push_back(op(4, ""));
    seeds.push_back({"names-full-cache", Lines(full)});
    seeds.push_back({"names-odd-folders", Lines({"no-slash", "relative", op(0, std::string(300, 'u')),
                                                 op(8, "\\\\?\\C:\\x\\..\\y"), op(5, "relative\\.."),
                                                 op(4, "relative\\x:stream")})});
    return seeds;
}

// --- PackBits and LZRW1 row records under the picture fuzzer's 4-byte choice ---

constexpr int kFuzzDepths[] = {1, 4, 8, 16, 24, 32};

// Rows with runs, short repeats and noise, as pictures have them.
std::vector<uint8_t> Pattern(size_t size, unsigned seed) {
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        size_t band = (i / 24) % 3;
        bytes[i] = band == 0 ? 0xFF : band == 1 ? static_cast<uint8_t>(i / 3) : static_cast<uint8_t>(seed >> 16);
    }
    return bytes;
}

std::vector<uint8_t> Noise(size_t size, unsigned seed) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<uint8_t>(seed >> 16);
    }
    return bytes;
}

std::vector<uint8_t> PictureChoice(int depthIndex, int width, int height) {
    return {static_cast<uint8_t>(depthIndex), static_cast<uint8_t>((width - 1) & 0xFF),
            static_cast<uint8_t>((width - 1) >> 8), static_cast<uint8_t>(height - 1)};
}

std::vector<uint8_t> Lzrw(std::span<const uint8_t> input) {
    std::vector<uint8_t> work(kLzrwWorkAreaBytes), out(LzrwCompressBound(input.size()));
    size_t length = 0;
    if (!LzrwCompress(work, input, out, length))
        return {};
    out.resize(length);
    return out;
}

Seeds PackBitsSeeds() {
    struct Shape {
        int depthIndex, width, height;
    };
    const Shape shapes[] = {{0, 16, 4}, {1, 10, 3}, {2, 33, 8}, {3, 7, 5}, {4, 5, 2}, {5, 3, 2}, {2, 300, 2}};
    Seeds seeds;
    for (const Shape& s : shapes) {
        const int depth = kFuzzDepths[s.depthIndex];
        const size_t macRow = static_cast<size_t>((s.width + 15) / 16 * depth * 2);
        const std::vector<uint8_t> rows =
            Pattern(macRow * static_cast<size_t>(s.height), static_cast<unsigned>(s.width));
        const std::string name = "d" + std::to_string(depth) + "-w" + std::to_string(s.width) + "-h" +
                                 std::to_string(s.height);

        std::vector<uint8_t> runs = PictureChoice(s.depthIndex, s.width, s.height);
        const std::vector<uint8_t> packed = PackBitsEncode(rows);
        runs.insert(runs.end(), packed.begin(), packed.end());
        seeds.push_back({"packbits-" + name, runs});

        // One record per row: the row's LZRW1 stream with its length in bytes 2..3.
        std::vector<uint8_t> records = PictureChoice(s.depthIndex, s.width, s.height);
        for (int r = 0; r < s.height; ++r) {
            std::vector<uint8_t> record = Lzrw({rows.data() + r * macRow, macRow});
            if (record.size() < kLzrwHeaderBytes)
                return {};
            SetBE16(record, 2, static_cast<uint16_t>(record.size()));
            records.insert(records.end(), record.begin(), record.end());
        }
        seeds.push_back({"lzrwrows-" + name, records});
    }
    return seeds;
}

// --- LZRW1 streams under the codec fuzzer's 2-byte destination size (in units of 4) ---

std::vector<uint8_t> WithCapacity(size_t bytes, const std::vector<uint8_t>& body) {
    const size_t units = (bytes + 3) / 4;
    std::vector<uint8_t> seed = {static_cast<uint8_t>(units >> 8), static_cast<uint8_t>(units)};
    seed.insert(seed.end(), body.begin(), body.end());
    return seed;
}

Seeds LzrwSeeds() {
    Seeds seeds;
    const std::string text = "the quick brown fox jumps over the lazy dog; the lazy dog sleeps on. ";
    std::vector<uint8_t> prose;
    for (int i = 0; i < 12; ++i)
        prose.insert(prose.end(), text.begin(), text.end());
    const std::vector<std::pair<std::string, std::vector<uint8_t>>> inputs = {
        {"prose", prose},
        {"picture", Pattern(2000, 5)},
        {"one-value", std::vector<uint8_t>(700, 0x2A)},
        {"noise", Noise(72, 9)},  // does not shrink: a stored copy
        {"tiny", {1, 2, 3}},
    };
    for (const auto& [name, input] : inputs)
        seeds.push_back({"lzrw-" + name, WithCapacity(input.size(), Lzrw(input))});

    // Damaged: a copy from before the output's start, and a stream cut inside an item.
    seeds.push_back({"lzrw-copy-before-start",
                     WithCapacity(64, {kLzrwFlagCompressed, 0, 0, 0, 0x02, 0x00, 'a', 0x10, 0x00})});
    std::vector<uint8_t> cut = Lzrw(prose);
    cut.pop_back();
    seeds.push_back({"lzrw-cut", WithCapacity(prose.size(), cut)});

    std::vector<uint8_t> stored = {kLzrwFlagStored, 0, 0, 0};
    stored.insert(stored.end(), prose.begin(), prose.begin() + 100);
    seeds.push_back({"lzrw-stored", WithCapacity(100, stored)});

    // A packed picture: lead run, LZRW1 middle, trail run; little-endian counts as in memory.
    const size_t lead = 16, middle = 200, trail = 8;
    std::vector<uint8_t> picture;
    ByteWriter w(picture);
    w.Bytes(std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0x00});
    w.U32LE(lead);
    w.Bytes(std::vector<uint8_t>{0x10, 0x20, 0x30, 0x40});
    w.U32LE(trail);
    w.Bytes(Lzrw({prose.data(), middle}));
    seeds.push_back({"packed-picture", WithCapacity(lead + middle + trail, picture)});
    return seeds;
}

// --- Pictures in handles: packed DIBs, "PPak" pictures and packed masks ---

// A DIB of the depth whose pixel bytes follow a pattern (and whose table, up to 8 bits, is a
// grey ramp); 0 when it cannot be made.
DibHandle PatternDib(int width, int height, int depth) {
    DibHandle dib = NewDib(width, height, depth);
    LockedDib locked(dib);
    if (!locked) {
        DisposeHandle(dib);
        return 0;
    }
    const std::span<uint8_t> table = locked.table();
    for (size_t i = 0; i + 4 <= table.size(); i += 4)
        table[i] = table[i + 1] = table[i + 2] = static_cast<uint8_t>(i * 255 / std::max<size_t>(table.size(), 4));
    const std::vector<uint8_t> pattern = Pattern(locked.image().size(), static_cast<unsigned>(width + depth));
    std::copy(pattern.begin(), pattern.end(), locked.image().begin());
    return dib;
}

Seeds DibSeeds() {
    Seeds seeds;
    if (!InitMemRefs())
        return {};
    for (const auto& [width, height, depth] : {std::tuple{16, 4, 8}, {7, 3, 24}, {5, 5, 4}, {33, 2, 1}, {9, 4, 32}, {6, 6, 16}}) {
        DibHandle dib = PatternDib(width, height, depth);
        seeds.push_back({"dib-" + std::to_string(depth) + "-" + std::to_string(width), HandleToBytes(dib)});
        DisposeHandle(dib);
    }
    FreeMemRefs();
    return seeds;
}

// The same pictures as BMP files: the file header before each.
Seeds BmpSeeds() {
    Seeds seeds = DibSeeds();
    for (auto& [name, dib] : seeds) {
        std::vector<uint8_t> file(14, 0);
        file[0] = 'B';
        file[1] = 'M';
        const uint32_t size = static_cast<uint32_t>(file.size() + dib.size());
        const uint32_t bits = GetU32(dib, 0);
        const uint32_t table = GetU16(dib, 14) <= 8 ? (GetU32(dib, 32) ? GetU32(dib, 32) : 1u << GetU16(dib, 14)) * 4 : 0;
        SetU32(file, 2, size);
        SetU32(file, 10, 14 + bits + table);
        file.insert(file.end(), dib.begin(), dib.end());
        dib = file;
        name = "bmp" + name.substr(3) + ".bmp";
    }
    return seeds;
}

Seeds PPakSeeds() {
    Seeds seeds;
    if (!InitMemRefs())
        return {};
    for (const uint16_t type : {uint16_t{4}, uint16_t{6}}) {
        for (const auto& [width, height, depth] : {std::tuple{8, 2, 8}, {12, 3, 16}, {5, 4, 32}, {20, 2, 1}}) {
            DibHandle dib = PatternDib(width, height, depth);
            const std::vector<DibColor> grey(depth <= 8 ? size_t{1} << depth : 0, DibColor{0x80, 0x80, 0x80, 0});
            const std::vector<uint8_t> table = MacColorTableFromColors(grey);
            Handle packed = 0;
            uint32_t total = 0;
            if (PackDibAsPackedPicture(dib, type, DibRowBytes(depth, width), table, &packed, &total) == 0)
                seeds.push_back({"ppak-t" + std::to_string(type) + "-d" + std::to_string(depth), HandleToBytes(packed)});
            DisposeHandle(packed);
            DisposeHandle(dib);
        }
    }
    FreeMemRefs();
    return seeds;
}

Seeds PackedMaskSeeds() {
    Seeds seeds;
    for (const auto& [width, height] : {std::pair{10, 3}, {4, 4}, {33, 7}, {1, 1}}) {
        MaskBits mask(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                mask.Set(x, y, (x + y) % 3 != 0);
        seeds.push_back({"mask-" + std::to_string(width) + "x" + std::to_string(height),
                         WritePackedMask(mask, static_cast<uint16_t>(width), 7)});
    }
    return seeds;
}

// JPEG picture data as a card picture stores it: the 86-byte description, then JPEG bytes (a
// start-of-image marker and filler: the reader looks at the description and the size only).
Seeds JpegDescSeeds() {
    Seeds seeds;
    for (const auto& [width, height, depth] : {std::tuple{16, 2, 32}, {512, 384, 16}, {1, 1, 24}, {4096, 4096, 8}}) {
        std::vector<uint8_t> data(kJpegImageDescSize, 0);
        if (!BuildJpegImageDesc(std::span<uint8_t, kJpegImageDescSize>(data.data(), kJpegImageDescSize), width,
                                height, depth))
            return {};
        data.insert(data.end(), {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0xFF, 0xD9});
        seeds.push_back({"jpeg-" + std::to_string(width) + "x" + std::to_string(height) + "-" + std::to_string(depth), data});
    }
    return seeds;
}

// Graphic object records in memory order, as the graphic-picture reader takes them: built into
// a stack and read back through the stack reader, at each depth, with and without a mask.
// The card records of a built stack as the reader leaves them in memory; none when it is refused.
std::vector<std::vector<uint8_t>> HostCardRecords(const stackbuilder::Stack& stack) {
    const std::vector<uint8_t> bytes = stackbuilder::BuildStack(stack).bytes;
    SpanByteSource source(bytes);
    StackConversion cv;
    StackFileContents contents;
    std::vector<std::vector<uint8_t>> cards;
    if (ReadStackFile(source, cv, contents).ok())
        for (const Handle card : contents.cards)
            cards.push_back(HandleToBytes(card));
    DisposeStackFileContents(contents);
    return cards;
}

// The object records of a kind in the stack's cards, in memory order, one seed each.
void AddObjectSeeds(Seeds& seeds, const stackbuilder::Stack& stack, uint16_t kind, const std::string& prefix) {
    for (const std::vector<uint8_t>& record : HostCardRecords(stack)) {
        CardObjectWalk walk(record);
        ObjectPlace place;
        while (walk.Next(place))
            if (place.kind == kind)
                seeds.push_back({prefix + std::to_string(place.id),
                                 {record.begin() + place.offset, record.begin() + place.offset + place.length}});
    }
}

Seeds GraphicSeeds() {
    if (!InitMemRefs())
        return {};
    constexpr int kW = 12, kH = 5;
    stackbuilder::Stack stack;
    stackbuilder::Card card = stackbuilder::PlainCard(1);
    uint16_t id = 1;
    for (const int depth : {4, 8, 16, 32}) {
        for (const bool mask : {false, true}) {
            stackbuilder::Object g = stackbuilder::Graphic(id++, {10, 10, 10 + kW, 10 + kH}, "g");
            g.trailer = false;
            g.words = {{54, static_cast<uint16_t>(depth)}, {34, kH}, {36, kW}};
            g.data = Pattern(static_cast<size_t>((kW + 15) / 16 * depth * 2) * kH, static_cast<unsigned>(depth));
            if (mask) {
                std::vector<uint8_t> m(24 + 4 * kH + 1, 0);
                m[1] = kW;
                m[3] = kH;
                for (int y = 0; y < kH; ++y)
                    m[24 + 4 * y] = static_cast<uint8_t>(0xF0 >> y);
                g.data.insert(g.data.end(), m.begin(), m.end());
                g.words.push_back({28, 0x02});
                g.longs.push_back({60, static_cast<uint32_t>(m.size())});
            }
            card.objects.push_back(g);
        }
    }
    stack.cards.push_back(card);
    Seeds seeds;
    AddObjectSeeds(seeds, stack, kObjectGraphic, "graphic-");
    FreeMemRefs();
    return seeds;
}

Seeds CardPictureSeeds() {
    if (!InitMemRefs())
        return {};
    stackbuilder::Stack stack;
    uint16_t id = 1;
    for (const int depth : {1, 4, 8, 16, 32}) {
        for (const auto stream : {stackbuilder::PictureStream::Compressed, stackbuilder::PictureStream::StoredCopy}) {
            stackbuilder::Picture picture = stackbuilder::GradientPicture(21, 9, depth);
            picture.stream = stream;
            stack.cards.push_back(stackbuilder::PictureCard(id++, picture));
        }
    }
    Seeds seeds;
    for (const std::vector<uint8_t>& record : HostCardRecords(stack)) {
        const std::string name =
            "card-" + std::to_string(GetU16(record, kCardId)) + "-depth-" + std::to_string(GetU16(record, kCardDepth));
        seeds.push_back({name, record});
        // The same with lengths that do not fit: a table past the block, runs past the picture.
        std::vector<uint8_t> damaged = record;
        SetU32(damaged, kPictureBlockOffset + kBlockTableSize, 0xFFFFFF00u);
        seeds.push_back({name + "-table", damaged});
        damaged = record;
        SetU32(damaged, kPictureTableOffset + GetU32(record, kPictureBlockOffset + kBlockTableSize) + kRunLeadCount,
               0xFFFFFFFCu);
        seeds.push_back({name + "-lead", damaged});
    }
    FreeMemRefs();
    return seeds;
}

Seeds IconFileSeeds() {
    using stackbuilder::AnimatedCursorFile;
    using stackbuilder::CursorFile;
    auto with = [](uint8_t extension, std::vector<uint8_t> file) {
        file.insert(file.begin(), extension);
        return file;
    };
    const std::vector<std::vector<uint8_t>> frames = {CursorFile(16, {255, 0, 0}, 3, 4), CursorFile(16, {0, 0, 255})};
    return {{"icon.bin", with(0, stackbuilder::IconFile(32, {0, 128, 0}))},
            {"cursor.bin", with(1, CursorFile(32, {0, 0, 0}, 5, 6))},
            {"plain.bin", with(2, AnimatedCursorFile(frames, 2, 6, {}, {}))},
            {"sequenced.bin", with(2, AnimatedCursorFile(frames, 3, 6, {0, 2, 4}, {1, 0, 1}, 3))}};
}

Seeds AnimRecordSeeds() {
    using stackbuilder::Picture;
    using stackbuilder::Sprite;
    const Picture strip = stackbuilder::GradientPicture(24, 6, 8);
    Sprite moving;
    moving.number = 1;
    moving.path = {{10, 10, 40}, {60, 30, 40}, {90, 5, 80}};
    moving.film.strip = strip;
    moving.film.frames = {{0, 0, 8, 6}, {8, 0, 16, 6}, {16, 0, 24, 6}};
    moving.film.mask = stackbuilder::SolidPicture(24, 6, 1, 1);
    moving.film.maskState = 2;
    moving.film.transparent = {255, 0, 0};
    Sprite still = moving;
    still.number = 2;
    still.hasPath = false;
    still.film.mask.reset();
    still.film.maskState = 0;
    still.film.frames.resize(1);
    Sprite perFrame;
    perFrame.number = 3;
    perFrame.film.kind = 2;
    perFrame.film.strip = stackbuilder::SolidPicture(6, 4, 16, 0x7C00);
    perFrame.film.framePictures = {stackbuilder::SolidPicture(6, 4, 16, 0x03E0), stackbuilder::SolidPicture(6, 4, 16, 0x001F)};
    perFrame.path = {{1, 1, 10}, {2, 2, 10}};
    Sprite movie;
    movie.number = 4;
    movie.hasPath = false;
    movie.film.kind = 3;
    // The path (odd: no pad byte), six zero bytes of numbers, the name.
    for (const char* part : {"C:\\clip.avi", "", "", "", "", "", "", "clip.avi"})
        for (const char* c = part;; ++c) {
            movie.film.movieRef.push_back(static_cast<uint8_t>(*c));
            if (!*c)
                break;
        }
    Seeds seeds;
    for (const auto& [name, sprite] : {std::pair{"sprite-moving", moving}, {"sprite-still", still},
                                       {"sprite-perframe", perFrame}, {"sprite-movie", movie}})
        seeds.push_back({name, stackbuilder::SpriteRecord(sprite)});
    return seeds;
}

Seeds ActionRecordSeeds() {
    if (!InitMemRefs())
        return {};
    stackbuilder::Stack stack;
    stackbuilder::Card card = stackbuilder::PlainCard(1);
    card.objects = {stackbuilder::AllChunksButton(1), stackbuilder::ShapedButton(2, {0, 0, 40, 30}, "Go", kButtonShapePencil, 9, -1),
                    stackbuilder::Button(3, {0, 0, 9, 9}, "")};
    stack.cards.push_back(card);
    Seeds seeds;
    AddObjectSeeds(seeds, stack, kObjectButton, "button-");
    // Cursors: a still one, then three frames of it as an animated one.
    std::vector<uint8_t> still = MakeStillCursorData(stackbuilder::IconFile(32, {200, 10, 10}));
    const std::vector<uint8_t> frame(still.begin() + kCursorHeaderBytes, still.end());
    std::vector<uint8_t> animated(kCursorHeaderBytes + 36 + 3 * 12, 0);
    SetU16(animated, 0, kCursorAnimated);
    SetU32(animated, kCursorHeaderBytes + 8, 3);
    for (uint32_t i = 0; i < 3; ++i) {
        SetU32(animated, kCursorHeaderBytes + 36 + 4 * i, i);
        SetU32(animated, kCursorHeaderBytes + 48 + 4 * i, 2 - i);
        SetU32(animated, kCursorHeaderBytes + 60 + 4 * i, static_cast<uint32_t>(frame.size()));
    }
    for (int i = 0; i < 3; ++i)
        animated.insert(animated.end(), frame.begin(), frame.end());
    SetU32(animated, 2, static_cast<uint32_t>(animated.size() - kCursorHeaderBytes));
    for (auto* cursor : {&still, &animated})
        if (SwapCursorResourceData(cursor->data(), static_cast<uint32_t>(cursor->size()), 1))
            seeds.push_back({cursor == &still ? "cursor-still" : "cursor-animated", *cursor});
    FreeMemRefs();
    return seeds;
}

// Saved object files: a bare button, and a drawn graphic with a colour table and an action.
Seeds ObjectFileSeeds() {
    auto header = [](const char* kind) {
        std::vector<uint8_t> bytes = {'L', 'M', 'P', 'K'};
        bytes.insert(bytes.end(), kind, kind + 4);
        const uint8_t version[4] = {0, 1, 0, 0};
        bytes.insert(bytes.end(), version, version + 4);
        bytes.resize(32, 0);
        return bytes;
    };
    Seeds seeds;
    std::vector<uint8_t> button = header("Bttn");
    const std::vector<uint8_t> record = stackbuilder::BuildObjectRecord(stackbuilder::Button(1, {0, 0, 40, 20}, "OK"));
    button.insert(button.end(), record.begin(), record.end());
    seeds.push_back({"button.bttn", button});
    std::vector<uint8_t> graphic = header("Grfc");
    stackbuilder::Object object = stackbuilder::Graphic(2, {0, 0, 20, 20}, "G");
    const std::vector<uint8_t> drawn = stackbuilder::BuildObjectRecord(object);
    graphic.insert(graphic.end(), drawn.begin(), drawn.end());
    const std::vector<uint8_t> table = stackbuilder::MacColorTable(stackbuilder::SolidPicture(2, 2, 4, 1));
    graphic.insert(graphic.end(), table.begin(), table.end());
    const std::vector<uint8_t> action = stackbuilder::ActionRecord(stackbuilder::Button(0, {0, 0, 9, 9}, "a"));
    std::vector<uint8_t> entry(56, 0);
    const char type[4] = {'A', 'c', 't', 'n'};
    std::copy(type, type + 4, entry.begin());
    for (int i = 0; i < 4; ++i)
        entry[8 + i] = static_cast<uint8_t>(action.size() >> (24 - 8 * i));
    entry[49] = 16;
    entry[51] = 2;
    graphic.insert(graphic.end(), entry.begin(), entry.end());
    graphic.insert(graphic.end(), action.begin(), action.end());
    seeds.push_back({"graphic.grfc", graphic});
    return seeds;
}

// --- media: files written byte by byte; movies by the stand-in's own import ---

Seeds SoundFileSeeds() {
    const std::vector<uint8_t> s = {0x00, 0x7F, 0x80, 0xFF, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    return {{"mono8.wav", stackbuilder::WaveFile(1, 11025, 8, s)},
            {"stereo16.wav", stackbuilder::WaveFile(2, 44100, 16, s)},
            {"mono24.wav", stackbuilder::WaveFile(1, 48000, 24, s)},
            {"stereo16.aif", stackbuilder::AiffFile(false, "NONE", 2, 22050, 16, s, 3)},
            {"mono8.aif", stackbuilder::AiffFile(false, "NONE", 1, 8000, 8, s)},
            {"sowt.aifc", stackbuilder::AiffFile(true, "sowt", 1, 8000, 16, s)},
            {"ima4.aifc", stackbuilder::AiffFile(true, "ima4", 1, 8000, 16, s)},
            {"mulaw.au", stackbuilder::AuFile(1, 8000, 1, s)},
            {"linear16.au", stackbuilder::AuFile(3, 8000, 2, s)}};
}

Seeds MidiSeeds() {
    const std::vector<uint8_t> piece = stackbuilder::TwoSecondMidiFile();
    std::vector<uint8_t> format0 = piece;
    format0[9] = 0;  // the tempo track alone, as format 0
    format0[11] = 1;
    std::vector<uint8_t> smpte = piece;
    smpte[12] = 0xE7;  // 25 frames of 40 ticks
    smpte[13] = 40;
    return {{"piece.mid", piece}, {"format0.mid", format0}, {"smpte.mid", smpte}};
}

// Small movies of every depth: a pattern, then frames that change a few lines each.
std::vector<stackbuilder::MovVideo> SeedVideos(stackbuilder::MovCodec codec) {
    std::vector<stackbuilder::MovVideo> videos;
    for (uint16_t depth : {1, 2, 4, 8, 16, 24, 32}) {
        stackbuilder::MovVideo v;
        v.codec = codec;
        v.depth = depth;
        v.width = 19;
        v.height = 9;
        v.keyEvery = 3;
        const uint32_t mask = depth <= 8 ? (1u << depth) - 1 : 0xFFFFFF;
        std::vector<uint32_t> f(19 * 9);
        for (size_t i = 0; i < f.size(); ++i)
            f[i] = uint32_t(i / 3 * 0x10305) & mask;
        for (uint32_t k = 0; k < 4; ++k) {
            for (uint32_t x = 0; x < 19; ++x)
                f[(k * 2) * 19 + x] = (k * 0x3F1F0F + (x > 9 ? x : 0)) & mask;
            v.frames.push_back(f);
        }
        if (depth == 8)
            for (uint32_t i = 0; i < 256; ++i)
                v.colours.push_back(i * 0x010101);
        videos.push_back(v);
    }
    return videos;
}

Seeds MovieSeeds() {
    std::vector<uint8_t> music;
    MidiFileToMovieFile(stackbuilder::TwoSecondMidiFile(), &music);
    WavePcm pcm{16, 2, 8000, 4, std::vector<uint8_t>(16, 0x40)};
    const MovieTrackSpec both[] = {SoundTrackSpec(pcm), SoundTrackSpec(WavePcm{8, 1, 11025, 3, {1, 2, 3}})};
    Seeds seeds = {{"piece.mov", music}, {"sound.mov", WriteMovieFile(both)}};
    for (const stackbuilder::MovVideo& v : SeedVideos(stackbuilder::MovCodec::Rle))
        if (v.depth == 8 || v.depth == 24) {
            const stackbuilder::MovSound sound{8000, std::vector<uint8_t>(400, 0x80)};
            seeds.push_back({"rle" + std::to_string(v.depth) + ".mov", stackbuilder::MovFile(v, &sound)});
        }
    return seeds;
}

// What the video decoders' fuzzers take: the description, then each sample after its length.
Seeds VideoSeeds(stackbuilder::MovCodec codec) {
    Seeds seeds;
    for (const stackbuilder::MovVideo& v : SeedVideos(codec)) {
        const std::vector<uint8_t> file = stackbuilder::MovFile(v);
        MovieFileInfo info;
        if (ReadMovieFile(file, &info) != MovieRefusal::None || info.tracks.empty() || info.tracks[0].descriptions.empty())
            continue;
        const std::span<const uint8_t> d = info.tracks[0].descriptions[0].bytes;
        std::vector<uint8_t> input(d.begin(), d.end());
        for (const std::vector<uint8_t>& sample : stackbuilder::MovVideoSamples(v)) {
            for (int shift = 24; shift >= 0; shift -= 8)
                input.push_back(uint8_t(sample.size() >> shift));
            input.insert(input.end(), sample.begin(), sample.end());
        }
        seeds.push_back({"depth" + std::to_string(v.depth) + (v.colours.empty() ? "" : "-table"), input});
    }
    return seeds;
}

Seeds MusicSeeds() {
    std::vector<uint8_t> movie;
    MidiFileToMovieFile(stackbuilder::TwoSecondMidiFile(), &movie);
    MovieFileInfo info;
    if (ReadMovieFile(movie, &info) != MovieRefusal::None || info.tracks.empty() || info.tracks[0].descriptions.empty())
        return {};
    const std::vector<MovieSample> samples = TrackSamples(info.tracks[0], 1);
    const std::span<const uint8_t> events = samples.empty() ? std::span<const uint8_t>() : SampleBytes(movie, samples[0]);
    const std::span<const uint8_t> description = info.tracks[0].descriptions[0].bytes;
    return {{"events", {events.begin(), events.end()}}, {"description", {description.begin(), description.end()}}};
}

// Text object records as the field-text fuzzer takes them (the card, 2 bytes little-endian; the
// background flag; 1 for the record's own length; the record after its common header), from
// the seed stacks' and the demo's text objects in memory order; and their 'FntL' tables alone.
Seeds FieldTextSeeds() {
    if (!InitMemRefs())
        return {};
    Seeds seeds;
    auto stacks = stackbuilder::SeedStacks();
    stacks.emplace_back("demo", stackbuilder::DemoStack());
    for (const auto& [name, stack] : stacks) {
        Seeds objects;
        AddObjectSeeds(objects, stack, kObjectText, name + "-text");
        for (const auto& [object, record] : objects) {
            if (record.size() < kTextHeaderBytes)
                continue;
            const bool background = GetU16(record, kObjectFlags) & kObjectBackground;
            for (const uint8_t card : {1, 2}) {
                std::vector<uint8_t> input = {card, 0, static_cast<uint8_t>(background), 1};
                input.insert(input.end(), record.begin() + kTextHeaderBytes, record.end());
                seeds.push_back({object + "-card" + std::to_string(card), input});
            }
        }
        for (const stackbuilder::Resource& r : stack.resources)
            if (r.type == "FntL")
                seeds.push_back({name + "-fonts", r.data});
    }
    return seeds;
}

Seeds StackSeeds() {
    Seeds seeds;
    for (const auto& [name, stack] : stackbuilder::SeedStacks())
        seeds.push_back({name + ".stk", stackbuilder::BuildStack(stack).bytes});
    return seeds;
}

Seeds FrameAnimSeeds() {
    Seeds seeds;
    for (const auto& [width, height, depth, shortPairs] :
         std::vector<std::tuple<int, int, int, bool>>{{10, 6, 8, true}, {10, 6, 8, false}, {13, 7, 4, true},
                                                      {9, 5, 4, false}, {200, 170, 8, true}}) {
        stackbuilder::FrameAnimation a;
        a.width = width;
        a.height = height;
        a.depth = depth;
        a.shortPairs = shortPairs;
        for (int n = 0; n < 3; ++n) {
            std::vector<uint8_t> frame(size_t(width) * height);
            for (size_t i = 0; i < frame.size(); ++i)
                frame[i] = static_cast<uint8_t>(i % (depth == 4 ? 16 : 256));
            // A few changes near the end: past 32767 bytes in the largest, reached through markers.
            for (size_t i = 0; i < size_t(n) * 4; ++i)
                frame[frame.size() - 1 - i * 3] ^= 1;
            a.frames.push_back(frame);
        }
        seeds.push_back({"frames-" + std::to_string(width) + "x" + std::to_string(height) + "-" + std::to_string(depth) +
                             (shortPairs ? "-short" : "-long"),
                         stackbuilder::FrameAnimationPayload(a)});
    }
    return seeds;
}

int WriteSeeds(const Seeds& seeds, const std::string& dir) {
    if (seeds.empty()) {
        std::fprintf(stderr, "makestack: no seeds made\n");
        return 1;
    }
    for (const auto& [name, bytes] : seeds) {
        std::string path = dir + "/" + name;
        if (!stackbuilder::WriteFile(path, bytes)) {
            std::fprintf(stderr, "makestack: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--seeds") == 0)
        return WriteSeeds(StackSeeds(), argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "--seeds-for") == 0) {
        const std::string kind = argv[2];
        if (kind == "stack")
            return WriteSeeds(StackSeeds(), argv[3]);
        if (kind == "cacheindex")
            return WriteSeeds(CacheIndexSeeds(), argv[3]);
        if (kind == "downloadnames")
            return WriteSeeds(DownloadNameSeeds(), argv[3]);
        if (kind == "packbits")
            return WriteSeeds(PackBitsSeeds(), argv[3]);
        if (kind == "lzrw")
            return WriteSeeds(LzrwSeeds(), argv[3]);
        if (kind == "dib")
            return WriteSeeds(DibSeeds(), argv[3]);
        if (kind == "ppak")
            return WriteSeeds(PPakSeeds(), argv[3]);
        if (kind == "packedmask")
            return WriteSeeds(PackedMaskSeeds(), argv[3]);
        if (kind == "jpegdesc")
            return WriteSeeds(JpegDescSeeds(), argv[3]);
        if (kind == "graphic")
            return WriteSeeds(GraphicSeeds(), argv[3]);
        if (kind == "cardpicture")
            return WriteSeeds(CardPictureSeeds(), argv[3]);
        if (kind == "actionrecord")
            return WriteSeeds(ActionRecordSeeds(), argv[3]);
        if (kind == "objectfile")
            return WriteSeeds(ObjectFileSeeds(), argv[3]);
        if (kind == "soundfile")
            return WriteSeeds(SoundFileSeeds(), argv[3]);
        if (kind == "midi")
            return WriteSeeds(MidiSeeds(), argv[3]);
        if (kind == "movie")
            return WriteSeeds(MovieSeeds(), argv[3]);
        if (kind == "music")
            return WriteSeeds(MusicSeeds(), argv[3]);
        if (kind == "rawvideo")
            return WriteSeeds(VideoSeeds(stackbuilder::MovCodec::Raw), argv[3]);
        if (kind == "rlevideo")
            return WriteSeeds(VideoSeeds(stackbuilder::MovCodec::Rle), argv[3]);
        if (kind == "fieldtext")
            return WriteSeeds(FieldTextSeeds(), argv[3]);
        if (kind == "animrecord")
            return WriteSeeds(AnimRecordSeeds(), argv[3]);
        if (kind == "frameanim")
            return WriteSeeds(FrameAnimSeeds(), argv[3]);
        if (kind == "iconfile")
            return WriteSeeds(IconFileSeeds(), argv[3]);
        if (kind == "bmp")
            return WriteSeeds(BmpSeeds(), argv[3]);
        if (const std::optional<Seeds> seeds = ReaderSeeds(kind))
            return WriteSeeds(*seeds, argv[3]);
        std::fprintf(stderr, "makestack: no seeds for %s\n", kind.c_str());
        return 2;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: makestack OUT.stk | makestack --seeds DIR | makestack --seeds-for KIND DIR\n");
        return 2;
    }
    if (!stackbuilder::WriteFile(argv[1], stackbuilder::BuildStack(stackbuilder::DemoStack()).bytes)) {
        std::fprintf(stderr, "makestack: cannot write %s\n", argv[1]);
        return 1;
    }
    const std::string stack = argv[1];
    const size_t slash = stack.find_last_of("/\\");
    const std::string movie = (slash == std::string::npos ? std::string() : stack.substr(0, slash + 1)) +
                              stackbuilder::kDemoMovieName;
    if (!stackbuilder::WriteFile(movie, stackbuilder::DemoMovie())) {
        std::fprintf(stderr, "makestack: cannot write %s\n", movie.c_str());
        return 1;
    }
    return 0;
}
