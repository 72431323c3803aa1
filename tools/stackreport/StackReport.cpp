// stackreport: reads a stack file with the plug-in's own stack reader and prints, as JSON, what
// it sees (the layout is documented in stack/cards/StackDescribe.cpp): header fields, cards with their
// pictures and objects, resource entries, and every record that was left out.
//   stackreport [--dpi N] [--drive X:\] [--bmp DIR] FILE
// With --bmp every card picture that decodes is also written as DIR/card<id>.bmp (JPEG-stored
// pictures are only described); a picture that cannot be written makes the exit status 1.
// The file is read once, through the plug-in's own opening sequence. A stack the plug-in would
// refuse is still described (with "refusal" naming the alert the plug-in shows), the alert is
// also written to stderr, and the exit status is 2. Status 1: the file cannot be read; 64: usage.
// After the reader's keys comes "sprites": per animation chunk of a button that holds a 'Sprt'
// record, in card and object order, {card, button, length, loaded} and, as the record reader
// reads it, kind (the film's picture kind), frames, pathPoints (null without a path), template,
// pathEnd (the last point, [x, y]) and pathOptions {move, seconds, floatGoing} as the Path
// Options dialog reads them, or reason when it refuses the record. Then "destinations": per button, in card and
// object order, {card, button, destination, transition, speed}. Then "video": per movie or
// videodisc chunk of a button, {card, button, kind, rect [left, top, right, bottom], flags} and
// for a movie its volume and file (the stored path's last name), for a videodisc its
// start and end commands as text.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#include "actions/PathOptionsState.h"
#include "core/memory/ByteReader.h"
#include "core/memory/Handles.h"
#include "core/ui/AlertText.h"
#include "graphics/dib/BmpFile.h"
#include "media/animation/AnimRecord.h"
#include "stack/cards/CardList.h"
#include "format/StackReader.h"
#include "stack/cards/StackDescribe.h"
#include "stack/pictures/CardPictureRows.h"

namespace {

bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path, "rb");
    if (!f)
        return false;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

// The minimum card size below which opening asks alert 2334: the system's minimum window size
// (each at least 40) where there is a window system, else 40. This tool answers Yes.
StackOpenQuestions MachineQuestions() {
    StackOpenQuestions questions;
#ifdef _WIN32
    questions.minCardWidth = MinimumCardExtent(GetSystemMetrics(SM_CXMINTRACK));
    questions.minCardHeight = MinimumCardExtent(GetSystemMetrics(SM_CYMINTRACK));
#endif
    return questions;
}

int Usage() {
    std::fprintf(stderr, "usage: stackreport [--dpi N] [--drive X:\\] [--bmp DIR] FILE\n");
    return 64;
}

bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Writes each decodable card picture of the stack as DIR/card<id>.bmp; false when one that
// decoded could not be written.
bool WriteCardBitmaps(const StackFileContents& contents, const std::string& dir) {
    bool ok = true;
    for (Handle card : contents.cards) {
        HandleLock lock(card);
        if (!lock)
            continue;
        const std::span<const uint8_t> bytes = lock.bytes();
        CardPictureRows picture;
        const char* reason = nullptr;
        const CardPictureResult result = DecodeCardPictureRows(bytes, picture, &reason);
        const std::string path = dir + "/card" + std::to_string(GetU16(bytes, kCardId)) + ".bmp";
        if (result == CardPictureResult::Failed)
            std::fprintf(stderr, "stackreport: %s not written: %s\n", path.c_str(), reason);
        if (result != CardPictureResult::Decoded)
            continue;
        std::vector<DibColor> colors;
        for (const PaletteColor& c : MacColorTableColors(picture.colorTable))
            colors.push_back({c.blue, c.green, c.red, 0});
        const std::vector<uint8_t> bmp = BmpFileFromStoredRows(picture.width, picture.height,
                                                               picture.depth, picture.rows, colors);
        if (bmp.empty() || !WriteWholeFile(path, bmp)) {
            std::fprintf(stderr, "stackreport: cannot write %s\n", path.c_str());
            ok = false;
        }
    }
    return ok;
}

// Calls visit(card id, button id, chunk kind, chunk bytes) for every chunk of every button, in
// card and object order.
template <typename Visit>
void ForEachButtonChunk(const StackFileContents& contents, Visit visit) {
    for (Handle card : contents.cards) {
        HandleLock lock(card);
        const std::span<const uint8_t> bytes = lock.bytes();
        CardObjectWalk objects(bytes);
        ObjectPlace object;
        while (objects.Next(object)) {
            if (object.kind != kObjectButton)
                continue;
            const std::span<const uint8_t> button = bytes.subspan(object.offset, object.length);
            ButtonChunkWalk chunks(button);
            ObjectPlace chunk;
            while (chunks.Next(chunk))
                visit(GetU16(bytes, kCardId), object.id, chunk.kind, button.subspan(chunk.offset, chunk.length));
        }
    }
}

// The "sprites" key: every button's animated-object record as the record reader reads it.
std::string DescribeSprites(const StackFileContents& contents) {
    std::string out = "\"sprites\":[";
    bool first = true;
    ForEachButtonChunk(contents, [&](uint16_t card, uint16_t button, uint16_t kind, std::span<const uint8_t> chunk) {
        const std::span<const uint8_t> payload = chunk.subspan(kChunkHeaderBytes);
        if (kind != kTagAnimation || payload.size() < 4 || GetBE32(payload, 0) != kSprt)
            return;
        Handle sprite = 0;
        AnimRecordFault fault = AnimRecordFault::None;
        const bool loaded = ReadStoredAnimRecord(payload, &sprite, &fault) == 0;
        out += first ? "{" : ",{";
        first = false;
        out += "\"card\":" + std::to_string(card) + ",\"button\":" + std::to_string(button) +
               ",\"length\":" + std::to_string(payload.size()) + ",\"loaded\":" + (loaded ? "true" : "false");
        if (loaded) {
            const Handle film = GetSpriteFilm(sprite), path = GetSpritePath(sprite);
            out += ",\"kind\":" + std::to_string(GetFilmKind(film)) + ",\"frames\":" +
                   std::to_string(GetFilmFrameCount(film)) + ",\"pathPoints\":" +
                   (path ? std::to_string(GetPathPointCount(path)) : std::string("null")) + ",\"template\":" +
                   std::to_string(GetSpriteWord(sprite, kSpriteTemplate));
            PathPoint last{};
            if (path && GetPathPointCount(path) > 0 && GetPathPoint(path, GetPathPointCount(path) - 1, &last))
                out += ",\"pathEnd\":[" + std::to_string(last.x) + "," + std::to_string(last.y) + "]";
            const PathOptionsState options = ReadPathOptions(sprite, kEndStop);
            out += ",\"pathOptions\":{\"move\":" + std::to_string(options.move) + ",\"seconds\":" +
                   std::to_string(options.seconds) + ",\"floatGoing\":" + (options.floatGoing ? "true" : "false") +
                   "}";
            AnimDisposeHandle(DisposeSpriteKeepFilm(sprite));
        } else {
            out += std::string(",\"reason\":\"") + AnimRecordFaultText(fault) + "\"";
        }
        out += "}";
    });
    return out + "]";
}

// The "destinations" key: where each button goes, by which transition at which speed.
std::string DescribeDestinations(const StackFileContents& contents) {
    std::string out = "\"destinations\":[";
    bool first = true;
    for (Handle card : contents.cards) {
        HandleLock lock(card);
        const std::span<const uint8_t> bytes = lock.bytes();
        CardObjectWalk objects(bytes);
        ObjectPlace object;
        while (objects.Next(object)) {
            if (object.kind != kObjectButton || object.length < kButtonHeaderBytes)
                continue;
            const std::span<const uint8_t> button = bytes.subspan(object.offset, object.length);
            out += first ? "{" : ",{";
            first = false;
            out += "\"card\":" + std::to_string(GetU16(bytes, kCardId)) + ",\"button\":" + std::to_string(object.id) +
                   ",\"destination\":" + std::to_string(GetI16(button, kButtonDestination)) +
                   ",\"transition\":" + std::to_string(GetU16(button, kButtonTransition)) +
                   ",\"speed\":" + std::to_string(GetU16(button, kButtonSpeed)) + "}";
        }
    }
    return out + "]";
}

// Printable text of stored bytes: after a leading length byte, up to the first byte that is
// not printable.
std::string PrintableText(std::span<const uint8_t> bytes) {
    std::string text;
    if (!bytes.empty() && bytes[0] < 0x20)
        bytes = bytes.subspan(1);
    for (const uint8_t c : bytes) {
        if (c < 0x20 || c > 0x7E)
            break;
        text += c == '"' || c == '\\' ? '.' : static_cast<char>(c);
    }
    return text;
}

// The "video" key: every button's movie and videodisc chunks as they are stored.
std::string DescribeVideo(const StackFileContents& contents) {
    std::string out = "\"video\":[";
    bool first = true;
    ForEachButtonChunk(contents, [&](uint16_t card, uint16_t button, uint16_t kind, std::span<const uint8_t> c) {
        if (kind != kTagMovie && kind != kTagVideodisc)
            return;
        const std::span<const uint8_t> payload = c.subspan(kChunkHeaderBytes);
        out += first ? "{" : ",{";
        first = false;
        out += "\"card\":" + std::to_string(card) + ",\"button\":" + std::to_string(button) +
               ",\"kind\":" + std::to_string(kind) + ",\"rect\":[";
        for (int i = 0; i < 4; ++i)
            out += (i ? "," : "") + std::to_string(GetI16(c, kObjectRect + 2 * i));
        if (kind == kTagMovie) {
            // The reference is a length-prefixed path, its folders separated by colons.
            std::span<const uint8_t> name =
                payload.empty() ? payload : payload.subspan(1, std::min<size_t>(payload[0], payload.size() - 1));
            for (size_t i = name.size(); i-- > 0;)
                if (name[i] == ':' || name[i] == '\\') {
                    name = name.subspan(i + 1);
                    break;
                }
            out += "],\"flags\":" + std::to_string(GetU32(c, kChunkValue)) +
                   ",\"volume\":" + std::to_string(GetU16(c, kChunkOptionWord)) + ",\"file\":\"" +
                   PrintableText(name) + "\"}";
        } else {
            const auto command = [&](size_t at) {
                return at < payload.size() ? payload.subspan(at, std::min<size_t>(payload.size() - at, 32))
                                           : std::span<const uint8_t>{};
            };
            out += "],\"flags\":" + std::to_string(GetU16(c, kChunkSoundFlags)) + ",\"start\":\"" +
                   PrintableText(command(0)) + "\",\"end\":\"" + PrintableText(command(32)) + "\"}";
        }
    });
    return out + "]";
}

}  // namespace

int main(int argc, char** argv) {
    StackConversion settings;
    const char* path = nullptr;
    const char* bmpDir = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dpi") == 0 && i + 1 < argc) {
            settings.verticalDpi = std::atoi(argv[++i]);
            if (settings.verticalDpi <= 0)
                return Usage();
        } else if (std::strcmp(argv[i], "--drive") == 0 && i + 1 < argc) {
            std::strncpy(settings.stackDrive, argv[++i], 3);
            settings.stackDrive[3] = 0;
        } else if (std::strcmp(argv[i], "--bmp") == 0 && i + 1 < argc) {
            bmpDir = argv[++i];
        } else if (argv[i][0] == '-' || path) {
            return Usage();
        } else {
            path = argv[i];
        }
    }
    if (!path)
        return Usage();
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) {
        std::fprintf(stderr, "stackreport: cannot read %s\n", path);
        return 1;
    }
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // the same bytes on every system
#endif
    InitMemRefs();
    // Read once, through the plug-in's own opening sequence; the description, the bitmaps and
    // the exit status all come from this one read.
    StackConversion cv = settings;
    SpanByteSource source(bytes);
    StackFileContents contents;
    const StackReadResult result = ReadStackFile(source, cv, contents, MachineQuestions());
    std::string json = DescribeStackJson(bytes, result, contents, cv);
    // The record reader's keys go inside the reader's object, after its own.
    const size_t end = json.rfind('}');
    if (end != std::string::npos)
        json.insert(end, "," + DescribeSprites(contents) + "," + DescribeDestinations(contents) + "," +
                             DescribeVideo(contents));
    std::fwrite(json.data(), 1, json.size(), stdout);
    const bool bitmapsWritten = !bmpDir || WriteCardBitmaps(contents, bmpDir);
    DisposeStackFileContents(contents);
    FreeMemRefs();
    if (!result.ok()) {
        // The refusal once more, as the user would see it.
        const char* text = StackAlertText(result.alertId);
        std::fprintf(stderr, "stackreport: %s refused with alert %d: %s (%s)\n", path,
                     result.alertId, text ? text : "no alert", result.reason.c_str());
        return 2;
    }
    return bitmapsWritten ? 0 : 1;
}
